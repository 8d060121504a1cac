// Every fault the simulated interface can inject, on every exchange of the
// sweeps: the screen never shows a block that is stale or cut from two
// answers, no message is shown twice, and the loop either goes on or ends
// with the one message that says why.
#include "ScopeFixture.h"

#include "AnsweringDialogs.h"
#include "FaultCases.h"

#include <functional>
#include <string>
#include <tuple>
#include <vector>

using namespace trevalume;

namespace {

class ScopeFaultMatrix : public ScopeTest,
                         public ::testing::WithParamInterface<std::tuple<int, sim::Command>> {};

TEST_P(ScopeFaultMatrix, NoStaleBlockAndNoMessageTwice) {
    const faultcases::FaultCase& fault = faultcases::Faults()[std::get<0>(GetParam())];
    const sim::Command kind = std::get<1>(GetParam());
    // Raw counts: channel a gives 1, 2, 3, ... for its successive samples and
    // channel b 1000 minus channel a's, so that an old block or one cut from
    // two answers shows.
    PlugBoth(sim::Generator::Indexed([](int64_t n) { return static_cast<double>(n); }),
             sim::Generator::Indexed([](int64_t n) { return 1000.0 - static_cast<double>(n); }));
    Rig.Replace(0, sim::FixtureU);
    Rig.Replace(1, sim::FixtureU);
    Create();
    Click(Form->synchroauto, QPoint(8, 12)); // untriggered blocks
    AnsweringDialogs dialogs(Guard.Dialogs);

    std::vector<std::string> wrong;
    float lastShown = 0;
    SampleBlock shown{};
    Sweep(8, [&](int n) {
        if (n == 1)
            fault.Arm(Rig.Faults(), kind, Rig.NowUs());
        if (Form->HeldBlock == shown)
            return;
        shown = Form->HeldBlock;
        for (int k = 0; k < BlockSampleCount; ++k)
            if (shown[0][k] + shown[1][k] != 1000.0f ||
                (k > 0 && shown[0][k] != shown[0][k - 1] + 1))
                wrong.push_back("sweep " + std::to_string(n) + ": mixed block");
        if (shown[0][0] <= lastShown)
            wrong.push_back("sweep " + std::to_string(n) + ": stale block");
        lastShown = shown[0][BlockSampleCount - 1];
    });

    EXPECT_TRUE(wrong.empty()) << wrong.front();
    EXPECT_FALSE(Form->Acquiring);
    for (const auto& [text, count] : dialogs.Shown)
        EXPECT_EQ(count, 1) << text;
    // (Channel b's query has 10 tries, 1,1 s: an answer held up longer than
    // that by a late one fails it, which is told once.)
    if (fault.GoesOn && kind != sim::Command::E5) {
        EXPECT_TRUE(dialogs.Shown.empty()) << dialogs.Shown.begin()->first;
        EXPECT_EQ(Form->SweepCount, 8);
    }
    if (Form->SweepCount < 8) {
        // Ended by itself: one message, that says why.
        EXPECT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(dialogs.Shown.count(InterfaceSilentText) + dialogs.Shown.count(NoSensorPrompt),
                  1u);
    }
    // Nothing more afterwards, while idle.
    const auto before = dialogs.Shown;
    RunFor(10'000);
    for (const auto& [text, count] : dialogs.Shown)
        EXPECT_LE(count, 1) << text;
    EXPECT_LE(dialogs.Shown.size(), before.size() + 1);
}

INSTANTIATE_TEST_SUITE_P(Faults, ScopeFaultMatrix,
                         ::testing::ValuesIn(faultcases::Cases({sim::Command::E1, sim::Command::E5,
                                                                sim::Command::EE, sim::Command::C0,
                                                                sim::Command::Any})),
                         [](const auto& info) { return faultcases::CaseName(info.param); });

} // namespace
