#include "d2xx/sim/PeopleScenario.h"

#include "d2xx/sim/Sim.h"
#include "d2xx/sim/fixtures.h"

namespace sim {

std::unique_ptr<d2xx::Driver> CreatePeopleScenarioDriver() {
    auto bus = std::make_unique<SimBus>();
    SimDevice& device = bus->AddDevice(DefaultDescription);
    device.Plug(0, FixtureA);
    device.SetGenerator(0, Generator::Sine(512, 300, 50, 0));
    device.Plug(1, FixtureA);
    device.SetGenerator(1, Generator::Sine(512, 200, 50, 90));
    // A long session must not grow its logs without end.
    device.Log().MaxRecords = 4096;
    return std::make_unique<SimD2xx>(std::move(bus));
}

} // namespace sim
