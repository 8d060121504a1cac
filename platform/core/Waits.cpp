#include "Waits.h"

#include "Clock.h"

#include <utility>

namespace platform {

namespace {

WaitHandler Handler;
// Program-clock time of the handler's last run; far in the past so that the
// first poll round of a wait runs it.
constexpr int64_t Never = INT64_MIN / 2;
int64_t LastCallUs = Never;
bool Running = false;

} // namespace

bool WhileWaiting() {
    if (!Handler || Running)
        return false;
    const int64_t now = CurrentClock().NowUs();
    if (now - LastCallUs < static_cast<int64_t>(WaitHandlerPeriodMs) * 1000)
        return false;
    LastCallUs = now;
    Running = true;
    bool ended = false;
    try {
        ended = Handler();
    } catch (...) {
        ended = false; // nothing leaves a wait of the link
    }
    Running = false;
    return ended;
}

bool InsideWait() {
    return Running;
}

ScopedWaitHandler::ScopedWaitHandler(WaitHandler handler)
    : Previous(std::exchange(Handler, std::move(handler))),
      PreviousCallUs(std::exchange(LastCallUs, Never)) {}

ScopedWaitHandler::~ScopedWaitHandler() {
    Handler = std::move(Previous);
    LastCallUs = PreviousCallUs;
}

} // namespace platform
