// Timers and the message pump on the program clock.
//
// On the real clock a TTimer is a QTimer. On a virtual clock (tests) timers
// never fire by themselves: they fire only from ProcessMessages() (Qt events
// first, then each due timer once, earliest first) or from RunFor/RunUntil,
// which move the virtual clock to the next due timer, fire it and process Qt
// events in between. A timer that is overdue by several periods fires once,
// and its next period keeps the phase of the first (as window timers do).
//
// Changing Enabled or Interval restarts the period from now; setting the
// value it already has changes nothing (a running period goes on). Interval
// 0 never fires. A timer whose handler is running never fires again inside it (for
// example from a nested ProcessMessages): the tick is dropped on the real
// clock, and on a virtual clock it stays due and fires once after the
// handler returned.
//
// Inside a wait of the link (core/Waits.h) timers do not fire: a tick that
// falls in a wait fires once at the first ProcessMessages after it, so that
// nothing starts inside the wait. A timer with FiresDuringWaits set fires
// there too (tests use it for what the user does during a wait).
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>

class QTimer;

namespace vcl {

class TTimer : public QObject {
    Q_OBJECT
public:
    explicit TTimer(QObject* owner = nullptr);
    ~TTimer() override;

    uint32_t Interval() const { return IntervalMs; }
    void SetInterval(uint32_t ms);
    bool Enabled() const { return EnabledFlag; }
    void SetEnabled(bool enabled);
    // Runs the handler as a tick would (guarded against re-entry).
    void Fire();
    // true while the handler runs.
    bool Firing() const { return InHandler; }
    // Next due time in virtual microseconds (virtual clock, enabled), else -1.
    int64_t DueUs() const;

    std::function<void()> OnTimer;
    bool FiresDuringWaits = false;

private:
    friend struct TimerRegistry;
    void Restart();
    uint32_t IntervalMs = 1000;
    bool EnabledFlag = true;
    bool InHandler = false;
    bool Virtual = false;
    bool Held = false; // a real tick that fell in a wait
    int64_t NextDueUs = 0;
    uint64_t Sequence = 0;
    QTimer* RealTimer = nullptr;
};

// Application->ProcessMessages: Qt events, then (virtual clock) the due
// virtual timers. Never waits and never moves the clock.
void ProcessMessages();

// Tests, virtual clock only. RunFor moves the clock ms milliseconds forward,
// stopping at every due timer to fire it, with Qt events processed between
// steps; the clock ends exactly ms later. RunUntil does the same until
// predicate() is true (checked before the first step and after each one) or
// maxMs have passed; it returns predicate()'s last value.
void RunFor(uint32_t ms);
bool RunUntil(const std::function<bool()>& predicate, uint32_t maxMs);
// The virtual timers that are enabled, for diagnostics.
int ActiveVirtualTimerCount();

} // namespace vcl
