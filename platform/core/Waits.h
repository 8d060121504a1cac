// What the programs do while the link waits for the interface. The link calls
// WhileWaiting() once per poll round of each of its waits; the program's
// handler keeps the windows alive (repaints, the one control that ends the
// measurement) and says whether the user ended the measurement, in which case
// the wait gives up at once. The link itself knows nothing of windows.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// Returns true when the user ended what the wait is for.
using WaitHandler = std::function<bool()>;

// The handler runs at most once per WaitHandlerPeriodMs of program-clock time
// (a wait that polls without pause would otherwise spend its time in it).
// Waits that pause 10 ms between polls run it at every poll.
constexpr uint32_t WaitHandlerPeriodMs = 5;

// Called by the link's waits once per poll round. true: give up the wait, the
// user ended the measurement. Without a handler, or inside the handler itself
// (a wait started from it), always false.
bool WhileWaiting();

// True while the handler runs (inside a wait of the link). The window
// layer's timers hold their ticks meanwhile: a tick that falls in a wait
// fires once after it.
bool InsideWait();

// Installs handler for the lifetime of the object (the one before comes back
// afterwards). A measurement loop holds one while it asks for blocks.
class ScopedWaitHandler {
public:
    explicit ScopedWaitHandler(WaitHandler handler);
    ~ScopedWaitHandler();
    ScopedWaitHandler(const ScopedWaitHandler&) = delete;
    ScopedWaitHandler& operator=(const ScopedWaitHandler&) = delete;

private:
    WaitHandler Previous;
    int64_t PreviousCallUs;
};

} // namespace platform
