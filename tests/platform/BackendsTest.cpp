#include "d2xx/Backends.h"

#include "TestFiles.h"
#include "core/Clock.h"
#include "d2xx/ftdi/FtdiDriver.h"
#include "d2xx/sim/FaultPlanFile.h"

#include <cstdio>

#include <gtest/gtest.h>

using d2xx::Backend;
using d2xx::BackendFromEnvironment;
using d2xx::InstallDriverFromEnvironment;

namespace {

class BackendSelection : public ::testing::Test {
protected:
    void TearDown() override { d2xx::SetDriver(nullptr); }
    platform::VirtualClock Clock;
    platform::ScopedClock UseClock{Clock};
};

TEST_F(BackendSelection, SimulateurSelectsTheSimulatedInterface) {
    testfiles::ScopedEnv env(d2xx::BackendVariable, std::string("simulateur"));
    EXPECT_EQ(BackendFromEnvironment(), Backend::Simulated);

    d2xx::Driver& installed = InstallDriverFromEnvironment();
    EXPECT_EQ(&d2xx::CurrentDriver(), &installed);
    EXPECT_EQ(dynamic_cast<d2xx::FtdiDriver*>(&installed), nullptr);

    // The driver calls now reach the simulated interface.
    DWORD count = 0;
    ASSERT_EQ(FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    EXPECT_EQ(count, 1u);
    char description[FT_DESCRIPTION_SIZE] = {};
    ASSERT_EQ(FT_ListDevices(reinterpret_cast<void*>(uintptr_t{0}), description,
                             FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
              FT_OK);
    EXPECT_STREQ(description, "Interface de mesure (simulée)");
    FT_HANDLE handle = nullptr;
    ASSERT_EQ(FT_OpenEx(description, FT_OPEN_BY_DESCRIPTION, &handle), FT_OK);
    EXPECT_EQ(FT_Close(handle), FT_OK);
}

// A person's fault plan: read at start, followed as time passes, read again
// when the file changes while the program runs.
TEST_F(BackendSelection, FaultPlanFileIsFollowedFromStartAndWhileRunning) {
    testfiles::ScratchDir folder;
    const std::string plan = folder.File("pannes.txt");
    testfiles::WriteBytes(plan, "at 1 DeviceGone\n");
    testfiles::ScopedEnv backend(d2xx::BackendVariable, std::string("simulateur"));
    testfiles::ScopedEnv faults(sim::FaultPlanVariable, plan);
    InstallDriverFromEnvironment();
    auto listed = [] {
        DWORD count = 99;
        const FT_STATUS status = FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY);
        return status == FT_OK ? static_cast<int>(count) : -1;
    };
    EXPECT_EQ(listed(), 1);
    Clock.AdvanceUs(999'000);
    EXPECT_EQ(listed(), 1);
    Clock.AdvanceUs(1'000);
    EXPECT_EQ(listed(), 0) << "unplugged 1 s after the start";

    testfiles::WriteBytes(plan, "DeviceBack\nListFails next 1\n");
    Clock.AdvanceUs(200'000);
    EXPECT_EQ(listed(), -1) << "the changed plan applies at once";
    EXPECT_EQ(listed(), 1);

    // A removed file leaves no fault armed.
    testfiles::WriteBytes(plan, "ListFails\n");
    Clock.AdvanceUs(200'000);
    EXPECT_EQ(listed(), -1);
    std::remove(plan.c_str());
    Clock.AdvanceUs(200'000);
    EXPECT_EQ(listed(), 1);
}

TEST_F(BackendSelection, AnythingElseSelectsTheRealDriverWithoutFallBack) {
    const std::optional<std::string> values[] = {std::nullopt, std::string(""),
                                                 std::string("Simulateur"),
                                                 std::string("simulateur "), std::string("ftdi")};
    for (const auto& value : values) {
        testfiles::ScopedEnv env(d2xx::BackendVariable, value);
        const std::string shown = value ? "\"" + *value + "\"" : "unset";
        EXPECT_EQ(BackendFromEnvironment(), Backend::Real) << shown;
        d2xx::Driver& installed = InstallDriverFromEnvironment();
        EXPECT_EQ(&d2xx::CurrentDriver(), &installed) << shown;
        EXPECT_NE(dynamic_cast<d2xx::FtdiDriver*>(&installed), nullptr) << shown;
    }
}

TEST_F(BackendSelection, ANewInstallReplacesThePreviousDriver) {
    {
        testfiles::ScopedEnv env(d2xx::BackendVariable, std::string("simulateur"));
        InstallDriverFromEnvironment();
    }
    testfiles::ScopedEnv env(d2xx::BackendVariable, std::nullopt);
    d2xx::Driver& real = InstallDriverFromEnvironment();
    EXPECT_EQ(&d2xx::CurrentDriver(), &real);
    DWORD count = 99;
    EXPECT_EQ(FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
}

} // namespace
