// The fault plan that people write: its lines, and the steps applied to the
// simulated interface as their times come.
#include "d2xx/sim/FaultPlanFile.h"
#include "d2xx/sim/SimRig.h"
#include "d2xx/sim/fixtures.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using sim::Command;
using sim::FaultKind;
using sim::PlanStep;

TEST(FaultPlanFile, EachLineGivesOneStep) {
    struct Case {
        const char* Line;
        PlanStep::Action What;
        int64_t AtUs;
        FaultKind Kind;
        Command Target;
        int64_t Param;
        int NextCount;
        int64_t DurationUs;
    };
    const auto Arm = PlanStep::Action::ArmFault;
    const Case cases[] = {
        {"NoAnswer AA next 3", Arm, 0, FaultKind::NoAnswer, Command::AA, 0, 3, 0},
        {"noanswer", Arm, 0, FaultKind::NoAnswer, Command::Any, 0, 0, 0},
        {"at 2,5 GarbageStatus 0xAA E1 for 4", Arm, 2'500'000, FaultKind::GarbageStatus,
         Command::E1, 0xAA, 0, 4'000'000},
        {"LateAnswer 800 C0", Arm, 0, FaultKind::LateAnswer, Command::C0, 800'000, 0, 0},
        {"TruncatedAnswer 3 EE  # cut memory reads", Arm, 0, FaultKind::TruncatedAnswer,
         Command::EE, 3, 0, 0},
        {"WriteProtect silent E3/E6", Arm, 0, FaultKind::WriteProtect, Command::E3E6, 1, 0, 0},
        {"PresenceByte 2 E5 next 1", Arm, 0, FaultKind::PresenceByte, Command::E5, 2, 1, 0},
        {"at 0.2 PollFails for 1.5", Arm, 200'000, FaultKind::PollFails, Command::Any, 0, 0,
         1'500'000},
        {"at 5 DeviceGone", PlanStep::Action::DeviceGone, 5'000'000, FaultKind::NoAnswer,
         Command::Any, 0, 0, 0},
        {"at 12 deviceback", PlanStep::Action::DeviceBack, 12'000'000, FaultKind::NoAnswer,
         Command::Any, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const sim::ParsedPlan plan = sim::ParseFaultPlan(c.Line);
        ASSERT_TRUE(plan.Errors.empty()) << c.Line << ": " << plan.Errors.front();
        ASSERT_EQ(plan.Steps.size(), 1u) << c.Line;
        const PlanStep& step = plan.Steps[0];
        EXPECT_EQ(step.What, c.What) << c.Line;
        EXPECT_EQ(step.AtUs, c.AtUs) << c.Line;
        if (c.What != Arm)
            continue;
        EXPECT_EQ(step.Armed.Kind, c.Kind) << c.Line;
        EXPECT_EQ(step.Armed.Target, c.Target) << c.Line;
        EXPECT_EQ(step.Armed.Param, c.Param) << c.Line;
        EXPECT_EQ(step.NextCount, c.NextCount) << c.Line;
        EXPECT_EQ(step.DurationUs, c.DurationUs) << c.Line;
    }

    const sim::ParsedPlan sensors =
        sim::ParseFaultPlan("at 8 Swap 1 B\r\n\r\n# pulled out\nat 9 Unplug 2\nPlug 2 c2\n");
    ASSERT_TRUE(sensors.Errors.empty());
    ASSERT_EQ(sensors.Steps.size(), 3u);
    EXPECT_EQ(sensors.Steps[0].What, PlanStep::Action::Swap);
    EXPECT_EQ(sensors.Steps[0].Channel, 0);
    EXPECT_EQ(sensors.Steps[0].Memory, sim::FixtureB);
    EXPECT_EQ(sensors.Steps[1].What, PlanStep::Action::Unplug);
    EXPECT_EQ(sensors.Steps[1].Channel, 1);
    EXPECT_EQ(sensors.Steps[2].Memory, sim::FixtureC2);
}

TEST(FaultPlanFile, LinesThatCannotBeReadAreLeftOutAndNamed) {
    const sim::ParsedPlan plan = sim::ParseFaultPlan("NoAnswr AA\n"
                                                     "at soon DeviceGone\n"
                                                     "LateAnswer C0\n"
                                                     "GarbageStatus 0xAA E1 next\n"
                                                     "Swap 3 A\n"
                                                     "Plug 1 Z\n"
                                                     "WriteProtect maybe\n"
                                                     "NoAnswer AA later\n"
                                                     "DeviceGone now\n"
                                                     "at -1 DeviceBack\n"
                                                     "NoAnswer E1\n");
    ASSERT_EQ(plan.Steps.size(), 1u); // only the last line
    EXPECT_EQ(plan.Steps[0].Armed.Target, Command::E1);
    ASSERT_EQ(plan.Errors.size(), 10u);
    EXPECT_EQ(plan.Errors[0], "line 1: unknown fault \"NoAnswr\"");
    EXPECT_EQ(plan.Errors[9].rfind("line 10: ", 0), 0u) << plan.Errors[9];
}

TEST(FaultPlanFile, StepsApplyAsTheirTimesComeAndANewPlanReplacesTheFaults) {
    sim::SimRig rig;
    rig.Plug(0, sim::FixtureA);
    rig.Plug(1, sim::FixtureA);
    sim::PlanRunner runner(rig.Device());
    rig.AdvanceMs(1000);
    runner.Start(sim::ParseFaultPlan("NoAnswer AA next 2\n"
                                     "at 2 Swap 1 B\n"
                                     "at 1 DeviceGone\n"
                                     "at 3 DeviceBack\n"
                                     "at 3 Unplug 2\n"),
                 rig.NowUs());
    auto armed = [&](FaultKind kind, Command command) {
        return rig.Faults().Has(kind, command, rig.NowUs(), false);
    };
    EXPECT_TRUE(armed(FaultKind::NoAnswer, Command::AA));
    EXPECT_FALSE(armed(FaultKind::NoAnswer, Command::E1));
    EXPECT_TRUE(rig.Device().Present());

    rig.AdvanceMs(999);
    runner.Update(rig.NowUs());
    EXPECT_TRUE(rig.Device().Present());
    rig.AdvanceMs(1);
    runner.Update(rig.NowUs());
    EXPECT_FALSE(rig.Device().Present());
    rig.AdvanceMs(1000);
    runner.Update(rig.NowUs());
    EXPECT_EQ(rig.Memory(0), sim::FixtureB);
    rig.AdvanceMs(1000);
    runner.Update(rig.NowUs());
    EXPECT_TRUE(rig.Device().Present());
    EXPECT_FALSE(rig.Device().Slot(1).Plugged());

    // A new plan: the faults of the old one are disarmed, its times count
    // from now, and what happened stays.
    runner.Start(sim::ParseFaultPlan("at 0,5 GarbageStatus 0 E1 for 1\n"), rig.NowUs());
    EXPECT_FALSE(armed(FaultKind::NoAnswer, Command::AA));
    EXPECT_FALSE(armed(FaultKind::GarbageStatus, Command::E1));
    rig.AdvanceMs(500);
    runner.Update(rig.NowUs());
    EXPECT_TRUE(armed(FaultKind::GarbageStatus, Command::E1));
    rig.AdvanceMs(1000);
    EXPECT_FALSE(armed(FaultKind::GarbageStatus, Command::E1)) << "the window has ended";
    EXPECT_EQ(rig.Memory(0), sim::FixtureB);
}

} // namespace
