// Chooses the driver backend at program start: INTERFACE_MESURE=simulateur
// selects the simulated interface (its classroom scenario), anything else the
// libftdi1 driver for a real interface. There is no fall-back from one to the
// other: without a real interface the programs prompt as usual. With the
// simulated interface, INTERFACE_MESURE_PANNES=<file> names a fault plan that
// the simulated interface follows (d2xx/sim/FaultPlanFile.h).
#pragma once

#include "d2xx/ftd2xx.h"

namespace d2xx {

enum class Backend { Real, Simulated };

// The backend that the environment asks for.
Backend BackendFromEnvironment();

// Creates that backend's driver, installs it (SetDriver) and keeps it until
// the program ends or the next call replaces it. Returns the installed driver.
Driver& InstallDriverFromEnvironment();

} // namespace d2xx
