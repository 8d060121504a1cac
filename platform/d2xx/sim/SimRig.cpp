#include "d2xx/sim/SimRig.h"

namespace sim {

SimRig::SimRig(std::string description)
    : InstalledClock(VirtualTime), TheDriver(TheBus), PreviousDriver(&d2xx::CurrentDriver()) {
    TheBus.AddDevice(std::move(description));
    d2xx::SetDriver(&TheDriver);
}

SimRig::~SimRig() {
    d2xx::SetDriver(PreviousDriver);
}

} // namespace sim
