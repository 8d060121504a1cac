// A simulated interface ready for a test: a virtual clock installed as the
// program clock, a bus with one device, and the simulated driver installed as
// the D2XX backend, all for the rig's lifetime.
//
//     sim::SimRig rig;
//     rig.Plug(0, sim::FixtureA);
//     rig.Device().SetGenerator(0, sim::Generator::Dc(512));
//     ... run the code under test; assert on rig.NowMs(), rig.Log() ...
#pragma once

#include "core/Clock.h"
#include "d2xx/sim/Sim.h"

#include <string>

namespace sim {

class SimRig {
public:
    // One device described as `description`, no sensor plugged.
    explicit SimRig(std::string description = DefaultDescription);
    ~SimRig();
    SimRig(const SimRig&) = delete;
    SimRig& operator=(const SimRig&) = delete;

    platform::VirtualClock& Clock() { return VirtualTime; }
    SimBus& Bus() { return TheBus; }
    SimDevice& Device(std::size_t index = 0) { return TheBus.Device(index); }
    SimD2xx& Driver() { return TheDriver; }

    // Shortcuts on device 0.
    void Plug(int ch, const MemoryImage& memory) { Device().Plug(ch, memory); }
    MemoryImage Unplug(int ch) { return Device().Unplug(ch); }
    void Replace(int ch, const MemoryImage& memory) { Device().Replace(ch, memory); }
    const MemoryImage& Memory(int ch) { return Device().Memory(ch); }
    void SetGenerator(int ch, Generator generator) {
        Device().SetGenerator(ch, std::move(generator));
    }
    // Plugs `memory` on channel ch with `generator` as its signal.
    void Plug(int ch, const MemoryImage& memory, Generator generator) {
        Plug(ch, memory);
        SetGenerator(ch, std::move(generator));
    }
    FaultPlan& Faults() { return Device().Faults(); }
    SimLog& Log() { return Device().Log(); }

    // Adds a second device to the bus (TwoDevices).
    SimDevice& AddDevice(std::string description = DefaultDescription) {
        return TheBus.AddDevice(std::move(description));
    }

    // Virtual time.
    int64_t NowUs() { return VirtualTime.NowUs(); }
    double NowMs() { return static_cast<double>(VirtualTime.NowUs()) / 1000.0; }
    void AdvanceMs(int64_t ms) { VirtualTime.AdvanceUs(ms * 1000); }
    void AdvanceUs(int64_t us) { VirtualTime.AdvanceUs(us); }

private:
    platform::VirtualClock VirtualTime;
    platform::ScopedClock InstalledClock;
    SimBus TheBus;
    SimD2xx TheDriver;
    d2xx::Driver* PreviousDriver;
};

} // namespace sim
