// Timers on the virtual clock: when they fire, what restarts them, overdue
// ticks, and handlers that pump messages.
#include "gui/Timers.h"
#include "ScriptedDialogsFixture.h"
#include "core/Clock.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace vcl;

namespace {

class TimersTest : public ::testing::Test {
protected:
    platform::VirtualClock Clock;
    platform::ScopedClock Scope{Clock};
    int64_t NowMs() { return Clock.NowUs() / 1000; }
};

TEST_F(TimersTest, FiresEveryIntervalOnlyWhenPumped) {
    TTimer timer;
    timer.SetInterval(750);
    std::vector<int64_t> fired;
    timer.OnTimer = [&] { fired.push_back(NowMs()); };

    Clock.SleepMs(5000); // time passing without a pump fires nothing
    EXPECT_TRUE(fired.empty());
    ProcessMessages(); // overdue by several periods: once
    EXPECT_EQ(fired, (std::vector<int64_t>{5000}));

    fired.clear();
    RunFor(2000); // the period keeps its phase: 750 x 7 = 5250, then 6000, 6750
    EXPECT_EQ(fired, (std::vector<int64_t>{5250, 6000, 6750}));
    EXPECT_EQ(NowMs(), 7000);
}

TEST_F(TimersTest, ChangingEnabledOrIntervalRestartsThePeriodSettingItAgainDoesNot) {
    TTimer timer;
    timer.SetEnabled(false);
    timer.SetInterval(100);
    std::vector<int64_t> fired;
    timer.OnTimer = [&] { fired.push_back(NowMs()); };

    RunFor(250);
    EXPECT_TRUE(fired.empty());
    timer.SetEnabled(true); // at 250
    RunFor(160);
    EXPECT_EQ(fired, (std::vector<int64_t>{350}));
    // At 410 the values it already has: the period goes on (450, 550).
    timer.SetEnabled(true);
    timer.SetInterval(100);
    RunFor(150);
    EXPECT_EQ(fired, (std::vector<int64_t>{350, 450, 550}));
    timer.SetInterval(200); // at 560: a new interval starts from now
    RunFor(250);
    EXPECT_EQ(fired, (std::vector<int64_t>{350, 450, 550, 760}));
    timer.SetInterval(0); // never fires
    RunFor(1000);
    EXPECT_EQ(fired.size(), 4u);
}

TEST_F(TimersTest, DueTimersFireInOrderAndAHandlerMayStopAnother) {
    TTimer slow, fast;
    slow.SetInterval(300);
    fast.SetInterval(200);
    std::vector<std::string> fired;
    slow.OnTimer = [&] { fired.push_back("slow " + std::to_string(NowMs())); };
    fast.OnTimer = [&] {
        fired.push_back("fast " + std::to_string(NowMs()));
        if (NowMs() >= 400)
            slow.SetEnabled(false);
    };
    RunFor(1000);
    EXPECT_EQ(fired, (std::vector<std::string>{"fast 200", "slow 300", "fast 400", "fast 600",
                                               "fast 800", "fast 1000"}));
}

TEST_F(TimersTest, AHandlerPumpingMessagesIsNotReentered) {
    // A tick that runs a message loop while time passes (a block loop, a
    // modal box): its own timer stays out, the others go on.
    TTimer loop, other;
    loop.SetInterval(100);
    other.SetInterval(50);
    int depth = 0, maxDepth = 0, loopTicks = 0;
    std::vector<int64_t> otherTicks;
    loop.OnTimer = [&] {
        ++loopTicks;
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        if (loopTicks == 1)
            for (int i = 0; i < 10; ++i) {
                Clock.SleepMs(50);
                ProcessMessages();
            }
        --depth;
    };
    other.OnTimer = [&] { otherTicks.push_back(NowMs()); };

    ASSERT_TRUE(RunUntil([&] { return loopTicks == 1; }, 1000));
    EXPECT_EQ(NowMs(), 600); // the first tick at 100 ran for 500 ms
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(otherTicks,
              (std::vector<int64_t>{50, 150, 200, 250, 300, 350, 400, 450, 500, 550, 600}));
    EXPECT_TRUE(loop.Firing() == false);
    RunFor(1); // overdue during its own handler: fires once afterwards
    EXPECT_EQ(loopTicks, 2);
    EXPECT_EQ(maxDepth, 1);
}

TEST_F(TimersTest, RunUntilStopsAtThePredicateOrTheLimit) {
    TTimer timer;
    timer.SetInterval(300);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    EXPECT_TRUE(RunUntil([&] { return ticks == 2; }, 10000));
    EXPECT_EQ(NowMs(), 600);
    EXPECT_FALSE(RunUntil([&] { return ticks == 100; }, 1000));
    EXPECT_EQ(NowMs(), 1600);
    EXPECT_EQ(ticks, 5);
}

} // namespace

namespace {

TEST_F(TimersTest, AnErrorInATickIsShownAndTheTimerGoesOn) {
    ScriptedDialogsGuard guard;
    guard.Dialogs.Answer(platform::ModalResult::Ok, "capteur illisible")
        .Answer(platform::ModalResult::Ok, "capteur illisible");
    TTimer timer;
    timer.SetInterval(750);
    int ticks = 0;
    timer.OnTimer = [&] {
        ++ticks;
        throw std::runtime_error("Mémoire du capteur illisible");
    };
    RunFor(1500);
    EXPECT_EQ(ticks, 2);
    ASSERT_EQ(guard.Dialogs.Records().size(), 2u);
    EXPECT_EQ(guard.Dialogs.Records()[0].TimeUs, 750'000);
    EXPECT_EQ(guard.Dialogs.Records()[1].Message.Type, platform::MsgType::Error);
}

} // namespace
