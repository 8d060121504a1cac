#include "d2xx/sim/PeopleScenario.h"

#include "d2xx/sim/Sim.h"
#include "d2xx/sim/fixtures.h"

#include <cstdlib>

namespace sim {

std::unique_ptr<d2xx::Driver> CreatePeopleScenarioDriver() {
    const char* second = std::getenv(SecondSensorVariable);
    return CreatePeopleScenarioDriver(second ? second : "");
}

std::unique_ptr<d2xx::Driver> CreatePeopleScenarioDriver(std::string_view secondSensor) {
    auto bus = std::make_unique<SimBus>();
    SimDevice& device = bus->AddDevice(DefaultDescription);
    for (int ch = 0; ch < 2; ++ch) {
        device.Plug(ch, FixtureA);
        device.SetGenerator(ch, ClassroomSignal(ch));
    }
    if (secondSensor == "oxymetre" || secondSensor == "oxymetre-mgl") {
        device.Plug(1, secondSensor == "oxymetre" ? FixtureC : FixtureM);
        device.SetGenerator(1, Generator::Dc(700).WithNoise(0.8, 3));
    }
    // A long session must not grow its logs without end.
    device.Log().MaxRecords = 4096;
    return std::make_unique<SimD2xx>(std::move(bus));
}

Generator ClassroomSignal(int ch) {
    constexpr double FrequencyHz = 47;
    constexpr double NoiseCounts = 3;
    return ch == 0 ? Generator::Sine(512, 300, FrequencyHz, 0).WithNoise(NoiseCounts, 1)
                   : Generator::Sine(512, 200, FrequencyHz, 90).WithNoise(NoiseCounts, 2);
}

} // namespace sim
