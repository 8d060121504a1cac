#include "gui/Timers.h"

#include "core/Clock.h"
#include "core/Waits.h"
#include "gui/Controls.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace vcl {

struct TimerRegistry {
    static std::vector<TTimer*>& All() {
        static std::vector<TTimer*> timers;
        return timers;
    }
    static uint64_t NextSequence() {
        static uint64_t sequence = 0;
        return ++sequence;
    }

    static bool Armed(const TTimer* timer) {
        return timer->Virtual && timer->EnabledFlag && timer->IntervalMs > 0;
    }

    // Whether timer may fire now: outside a wait of the link, or made for it.
    static bool MayFire(const TTimer* timer) {
        return timer->FiresDuringWaits || !platform::InsideWait();
    }

    // Fires once each real-clock timer whose tick fell in a wait.
    static void FireHeld() {
        std::vector<QPointer<TTimer>> held;
        for (TTimer* timer : All())
            if (timer->Held)
                held.emplace_back(timer);
        for (const QPointer<TTimer>& timer : held) {
            if (!timer)
                continue;
            timer->Held = false;
            if (timer->EnabledFlag && timer->IntervalMs > 0)
                timer->Fire();
        }
    }

    // Timers started on the real clock before a test installed its virtual
    // clock go over to it.
    static void Adopt() {
        for (TTimer* timer : All())
            if (!timer->Virtual && timer->EnabledFlag && timer->IntervalMs > 0)
                timer->Restart();
    }

    // Fires every virtual timer that is due now, earliest first, each once.
    static void FireDue(platform::VirtualClock& clock) {
        Adopt();
        const int64_t now = clock.NowUs();
        std::vector<QPointer<TTimer>> due;
        for (TTimer* timer : All())
            if (Armed(timer) && MayFire(timer) && !timer->InHandler && timer->NextDueUs <= now)
                due.emplace_back(timer);
        std::sort(due.begin(), due.end(), [](const QPointer<TTimer>& a, const QPointer<TTimer>& b) {
            return a->NextDueUs != b->NextDueUs ? a->NextDueUs < b->NextDueUs
                                                : a->Sequence < b->Sequence;
        });
        for (const QPointer<TTimer>& timer : due) {
            // An earlier handler may have stopped, restarted or deleted it.
            if (!timer || !Armed(timer) || timer->InHandler || timer->NextDueUs > clock.NowUs())
                continue;
            const int64_t period = static_cast<int64_t>(timer->IntervalMs) * 1000;
            const int64_t late = clock.NowUs() - timer->NextDueUs;
            timer->NextDueUs += period * (late / period + 1);
            timer->Fire();
        }
    }

    // The earliest due time of the timers that can fire, or -1.
    static int64_t NextDue() {
        int64_t next = -1;
        for (TTimer* timer : All())
            if (Armed(timer) && !timer->InHandler && (next < 0 || timer->NextDueUs < next))
                next = timer->NextDueUs;
        return next;
    }
};

TTimer::TTimer(QObject* owner) : QObject(owner), Sequence(TimerRegistry::NextSequence()) {
    TimerRegistry::All().push_back(this);
    Restart();
}

TTimer::~TTimer() {
    auto& all = TimerRegistry::All();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

void TTimer::SetInterval(uint32_t ms) {
    if (ms == IntervalMs)
        return;
    IntervalMs = ms;
    Restart();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == EnabledFlag)
        return;
    EnabledFlag = enabled;
    Restart();
}

void TTimer::Restart() {
    Held = false;
    if (RealTimer)
        RealTimer->stop();
    platform::VirtualClock* clock = platform::CurrentVirtualClock();
    Virtual = clock != nullptr;
    if (!EnabledFlag || IntervalMs == 0)
        return;
    if (Virtual) {
        NextDueUs = clock->NowUs() + static_cast<int64_t>(IntervalMs) * 1000;
        return;
    }
    if (!RealTimer) {
        RealTimer = new QTimer(this);
        RealTimer->setTimerType(Qt::PreciseTimer);
        connect(RealTimer, &QTimer::timeout, this, [this] {
            if (TimerRegistry::MayFire(this))
                Fire();
            else
                Held = true;
        });
    }
    RealTimer->start(static_cast<int>(IntervalMs));
}

int64_t TTimer::DueUs() const {
    return TimerRegistry::Armed(this) ? NextDueUs : -1;
}

void TTimer::Fire() {
    if (InHandler)
        return; // never nested inside its own handler
    QPointer<TTimer> self(this);
    InHandler = true;
    SafeCall(OnTimer);
    if (self)
        InHandler = false;
}

void ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (platform::VirtualClock* clock = platform::CurrentVirtualClock())
        TimerRegistry::FireDue(*clock);
    if (!platform::InsideWait())
        TimerRegistry::FireHeld();
}

namespace {

// Steps the virtual clock from timer to timer until stop() or the end.
bool Pump(const std::function<bool()>& stop, uint32_t maxMs) {
    platform::VirtualClock* clock = platform::CurrentVirtualClock();
    if (!clock) {
        ProcessMessages();
        return stop();
    }
    const int64_t end = clock->NowUs() + static_cast<int64_t>(maxMs) * 1000;
    for (;;) {
        ProcessMessages();
        if (stop())
            return true;
        const int64_t next = TimerRegistry::NextDue();
        if (next < 0 || next > end)
            break;
        clock->AdvanceToUs(next);
    }
    clock->AdvanceToUs(end);
    ProcessMessages();
    return stop();
}

} // namespace

void RunFor(uint32_t ms) {
    Pump([] { return false; }, ms);
}

bool RunUntil(const std::function<bool()>& predicate, uint32_t maxMs) {
    return Pump(predicate, maxMs);
}

int ActiveVirtualTimerCount() {
    TimerRegistry::Adopt();
    return static_cast<int>(std::count_if(TimerRegistry::All().begin(), TimerRegistry::All().end(),
                                          [](TTimer* t) { return TimerRegistry::Armed(t); }));
}

} // namespace vcl
