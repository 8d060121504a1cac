// The program clock: every wait, tick count and timer of both programs goes
// through it. Programs run on the real clock; tests install a VirtualClock so
// that waits, retries and time-outs run instantly and deterministically.
#pragma once

#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Microseconds since the clock started (monotonic).
    virtual int64_t NowUs() = 0;
    // Waits ms milliseconds. Never processes window messages.
    virtual void SleepMs(uint32_t ms) = 0;
    virtual bool IsVirtual() const = 0;

    // GetTickCount: milliseconds since "boot", wrapping at 2^32.
    uint32_t TickCountMs() { return static_cast<uint32_t>(BootOffsetMs + NowUs() / 1000); }
    // Settable so that tests can put the tick counter just before its wrap-around.
    uint64_t BootOffsetMs = 0;
};

class RealClock final : public Clock {
public:
    RealClock();
    int64_t NowUs() override;
    void SleepMs(uint32_t ms) override;
    bool IsVirtual() const override { return false; }

private:
    int64_t StartNs;
};

// Time moves only when somebody moves it: SleepMs, AdvanceUs (the simulated
// interface charges a small cost per driver call) or the test's event pump.
class VirtualClock final : public Clock {
public:
    int64_t NowUs() override { return Now; }
    void SleepMs(uint32_t ms) override { Now += static_cast<int64_t>(ms) * 1000; }
    bool IsVirtual() const override { return true; }
    void AdvanceUs(int64_t us) { Now += us; }
    // Moves the clock forward to usAbsolute (never backwards).
    void AdvanceToUs(int64_t usAbsolute) {
        if (usAbsolute > Now)
            Now = usAbsolute;
    }

private:
    int64_t Now = 0;
};

// The clock in use; the real clock unless a test installed another one.
Clock& CurrentClock();
// Installs clock (nullptr: back to the real clock). The caller keeps ownership.
void SetClock(Clock* clock);
// The installed virtual clock, or nullptr on the real clock.
VirtualClock* CurrentVirtualClock();

// Installs a clock for the lifetime of a scope (tests).
class ScopedClock {
public:
    explicit ScopedClock(Clock& clock);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    Clock* Previous;
};

} // namespace platform

// The two kernel calls of the programs, on the program clock.
void Sleep(uint32_t ms);
uint32_t GetTickCount();
