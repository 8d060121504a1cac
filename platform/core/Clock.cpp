#include "Clock.h"

#include <chrono>
#include <thread>

namespace platform {

namespace {
Clock* Installed = nullptr;

RealClock& TheRealClock() {
    static RealClock clock;
    return clock;
}

int64_t SteadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

RealClock::RealClock() : StartNs(SteadyNs()) {}

int64_t RealClock::NowUs() { return (SteadyNs() - StartNs) / 1000; }

void RealClock::SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

Clock& CurrentClock() { return Installed ? *Installed : TheRealClock(); }

void SetClock(Clock* clock) { Installed = clock; }

VirtualClock* CurrentVirtualClock() { return dynamic_cast<VirtualClock*>(Installed); }

ScopedClock::ScopedClock(Clock& clock) : Previous(Installed) { Installed = &clock; }

ScopedClock::~ScopedClock() { Installed = Previous; }

} // namespace platform

void Sleep(uint32_t ms) { platform::CurrentClock().SleepMs(ms); }

uint32_t GetTickCount() { return platform::CurrentClock().TickCountMs(); }
