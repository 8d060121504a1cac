// Every fault the simulated interface can inject on the exchanges of a block
// loop: the graph never gets a block that is stale or cut from two answers, no
// message is shown twice, and the measurement either goes on or ends with the
// one message that says why.
#include "AcquisitionFixture.h"

#include "WindowRules.h"

#include "AnsweringDialogs.h"
#include "FaultCases.h"

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace acqtest {
namespace {

class BlockLoopFaults : public AcquisitionTest,
                        public ::testing::WithParamInterface<std::tuple<int, sim::Command>> {};

TEST_P(BlockLoopFaults, NoStaleBlockAndNoMessageTwice) {
    const faultcases::FaultCase& fault = faultcases::Faults()[std::get<0>(GetParam())];
    const sim::Command kind = std::get<1>(GetParam());
    // Raw counts: sample n of a channel reads n mod 1000 on channel 0 and
    // n div 1000 on channel 1, so that every sample of a block tells its
    // number: an old block, or one cut from two answers, shows.
    StartWithSensors(&sim::FixtureU, &sim::FixtureU);
    Rig.SetGenerator(0, sim::Generator::Indexed([](int64_t n) { return n % 1000; }));
    Rig.SetGenerator(1, sim::Generator::Indexed([](int64_t n) { return n / 1000; }));
    ChooseMode("YY");
    AnsweringDialogs dialogs(Guard.Dialogs);

    std::vector<std::string> wrong;
    double lastShown = 0;
    std::vector<double> shown;
    EveryRound([&](int round) {
        if (round == 2)
            fault.Arm(Rig.Faults(), kind, Rig.NowUs());
        const int s = Form1->MeasuredSeries - 1;
        if (s < 0 || MeasurementRecord.PointCount[s] != BlockSampleCount)
            return;
        std::vector<double> samples;
        for (int k = 0; k < BlockSampleCount; ++k)
            samples.push_back(MeasurementRecord.PointValue[s][0][k] +
                              1000.0 * MeasurementRecord.PointValue[s][1][k]);
        if (samples == shown)
            return;
        shown = samples;
        for (int k = 1; k < BlockSampleCount; ++k)
            if (samples[k] != samples[k - 1] + 1)
                wrong.push_back("round " + std::to_string(round) + ": mixed block");
        if (samples[0] <= lastShown)
            wrong.push_back("round " + std::to_string(round) + ": stale block");
        lastShown = samples.back();
    });
    const double started = Rig.NowMs();
    bool endedByUser = false;
    At(1500, [&] { endedByUser = Run(Form1->ActionFinMesures); });
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    EXPECT_TRUE(wrong.empty()) << wrong.front();
    EXPECT_EQ(Form1->AcqState, 0);
    EXPECT_FALSE(shown.empty()) << "the first block came before the fault";
    if (!endedByUser) {
        // Ended by itself: one message, that says why.
        EXPECT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(dialogs.Shown.count(workbench::InterfaceSilentText), 1u);
    }
    if (fault.GoesOn) {
        EXPECT_TRUE(dialogs.Shown.empty()) << dialogs.Shown.begin()->first;
        EXPECT_GE(Rig.NowMs() - started, 1500) << "ended by the user only";
    }
    for (const auto& [text, count] : dialogs.Shown)
        EXPECT_EQ(count, 1) << text;
    // Idle afterwards: nothing is told twice.
    RunFor(5000);
    for (const auto& [text, count] : dialogs.Shown)
        EXPECT_EQ(count, 1) << text;
}

INSTANTIATE_TEST_SUITE_P(Faults, BlockLoopFaults,
                         ::testing::ValuesIn(faultcases::Cases({sim::Command::C0, sim::Command::E1,
                                                                sim::Command::Any})),
                         [](const auto& info) { return faultcases::CaseName(info.param); });

} // namespace
} // namespace acqtest
