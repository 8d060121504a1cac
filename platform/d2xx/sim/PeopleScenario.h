// The simulated interface that people get with INTERFACE_MESURE=simulateur.
#pragma once

#include "d2xx/ftd2xx.h"

#include <memory>

namespace sim {

// One device "Interface de mesure (simulée)"; voie 1: a voltage sensor
// (-10..10 V) reading Sine(512, 300, 50 Hz, 0 deg); voie 2: the same sensor
// reading Sine(512, 200, 50 Hz, 90 deg); default latencies, chunked transfer,
// a frame during a pending block cancels it, no auto-trigger, no faults.
// Runs on whatever clock is current (the real one in programs); memory writes
// stay in the process. The returned driver owns its bus; install it with
// d2xx::SetDriver and keep it alive while installed.
std::unique_ptr<d2xx::Driver> CreatePeopleScenarioDriver();

} // namespace sim
