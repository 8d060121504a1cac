#include "d2xx/sim/Sim.h"
#include "d2xx/sim/PeopleScenario.h"
#include "d2xx/sim/SimRig.h"
#include "d2xx/sim/fixtures.h"
