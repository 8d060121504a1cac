#include "Backends.h"

#include "d2xx/ftdi/FtdiDriver.h"
#include "d2xx/sim/FaultPlanFile.h"
#include "d2xx/sim/PeopleScenario.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace d2xx {

namespace {

// Owns the installed driver; uninstalls it before releasing it, so that no
// call reaches a destroyed driver when the program ends.
struct InstalledDriver {
    std::unique_ptr<Driver> Owned;

    void Replace(std::unique_ptr<Driver> driver) {
        SetDriver(driver.get());
        Owned = std::move(driver);
    }
    ~InstalledDriver() {
        if (&CurrentDriver() == Owned.get())
            SetDriver(nullptr);
    }
};

InstalledDriver& Holder() {
    static InstalledDriver holder;
    return holder;
}

// The simulated driver, watching the fault plan that INTERFACE_MESURE_PANNES
// names, when it names one.
std::unique_ptr<Driver> WithFaultPlan(std::unique_ptr<Driver> driver) {
    const char* planFile = std::getenv(sim::FaultPlanVariable);
    if (!planFile || !*planFile || !dynamic_cast<sim::SimD2xx*>(driver.get()))
        return driver;
    std::unique_ptr<sim::SimD2xx> simulated(static_cast<sim::SimD2xx*>(driver.release()));
    return std::make_unique<sim::FaultPlanDriver>(std::move(simulated), planFile);
}

} // namespace

Backend BackendFromEnvironment() {
    const char* value = std::getenv(BackendVariable);
    return value && std::strcmp(value, SimulatedBackend) == 0 ? Backend::Simulated : Backend::Real;
}

Driver& InstallDriverFromEnvironment() {
    std::unique_ptr<Driver> driver;
    if (BackendFromEnvironment() == Backend::Simulated)
        driver = WithFaultPlan(sim::CreatePeopleScenarioDriver());
    else
        driver = std::make_unique<FtdiDriver>();
    if (!driver)
        return CurrentDriver();
    Driver& installed = *driver;
    Holder().Replace(std::move(driver));
    return installed;
}

} // namespace d2xx
