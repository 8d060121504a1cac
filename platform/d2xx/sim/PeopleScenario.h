// The simulated interface that people get with INTERFACE_MESURE=simulateur.
#pragma once

#include "d2xx/ftd2xx.h"
#include "d2xx/sim/Sim.h"

#include <memory>
#include <string_view>

namespace sim {

// One device "Interface de mesure (simulée)"; both channels carry a voltage
// sensor (-10..10 V) reading ClassroomSignal; default latencies, chunked transfer,
// a frame during a pending block cancels it, no auto-trigger, no faults.
// Runs on whatever clock is current (the real one in programs); memory writes
// stay in the process. The returned driver owns its bus; install it with
// d2xx::SetDriver and keep it alive while installed.
//
// INTERFACE_MESURE_VOIE2 puts another sensor on voie 2: "oxymetre", an oxygen
// probe in % (fixture C), "oxymetre-mgl" one in mg/L (fixture M); both read a
// steady count near 700, a probe at rest, so that it can be calibrated and
// its memory written. Any other value keeps the voltage sensor.
std::unique_ptr<d2xx::Driver> CreatePeopleScenarioDriver();
std::unique_ptr<d2xx::Driver> CreatePeopleScenarioDriver(std::string_view secondSensor);
constexpr const char* SecondSensorVariable = "INTERFACE_MESURE_VOIE2";

// The signal of channel ch (0: voie 1, 1: voie 2): sines around mid-scale,
// 300 and 200 counts, 90 degrees apart (an ellipse in XY), at 47 Hz with a
// little noise. 47 Hz is a multiple of no sampling interval's frequency nor of
// its half, so that every time base triggers and shows a moving wave (an
// aliased one at the slow time bases, as on a real instrument).
Generator ClassroomSignal(int ch);

} // namespace sim
