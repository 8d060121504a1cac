// Answers that come late, cut, twice or not at all: what the link reads, when
// it takes the interface for silent, and what it tells the user.
#include "LinkFixture.h"

#include <functional>

using namespace tampon;

using platform::ModalResult;
using sim::Command;
using sim::Scope;

namespace {

// Both channels read raw counts (uncalibrated sensors): a block holds the
// counts themselves. Channel 0 gives 1, 2, 3, ... for its successive samples
// and channel 1 gives 1000 minus channel 0's, so that a block cut from two
// answers, or an old one, shows.
class LinkLostAnswers : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        PresetTables();
        Rig.Plug(0, sim::FixtureU,
                 sim::Generator::Indexed([](int64_t n) { return static_cast<double>(n); }));
        Rig.Plug(1, sim::FixtureU, sim::Generator::Indexed([](int64_t n) {
                     return 1000.0 - static_cast<double>(n);
                 }));
        ASSERT_TRUE(IdentifySensor(0));
        ASSERT_TRUE(IdentifySensor(1));
    }

    // "" when block is one whole answer taken after every sample shown so
    // far, else what is wrong with it.
    std::string Fresh(const SampleBlock& block) {
        for (int k = 0; k < BlockSampleCount; ++k) {
            if (block[0][k] + block[1][k] != 1000.0f)
                return "mixed at sample " + std::to_string(k + 1);
            if (k > 0 && block[0][k] != block[0][k - 1] + 1)
                return "not in order at sample " + std::to_string(k + 1);
        }
        if (block[0][0] <= LastShown)
            return "stale: starts at " + std::to_string(block[0][0]) + " after " +
                   std::to_string(LastShown);
        LastShown = block[0][BlockSampleCount - 1];
        return "";
    }

    float LastShown = 0;
};

// A block answer that comes around its bound (95 x 0,5 ms + 1 s = 1048 ms
// after the request; the answer itself is ready 47,3 ms after it and takes
// 6 ms to come): the three requests that follow each give a whole block taken
// after the last one shown, or no answer; the interface is never taken for
// silent, and the third request is answered. Answers come in USB packets or
// whole.
class LinkLateBlock : public LinkLostAnswers,
                      public ::testing::WithParamInterface<std::tuple<int, sim::TransferMode>> {};

TEST_P(LinkLateBlock, NeverStaleNorMixed) {
    const auto [lateMs, transfer] = GetParam();
    Rig.Device().Transfer = transfer;
    Rig.Faults().LateAnswer(lateMs, Command::C0, Scope::Next());
    SampleBlock block{};
    for (int request = 0; request < 4; ++request) {
        SCOPED_TRACE("request " + std::to_string(request));
        block[0].fill(-1);
        const LinkResult result = AcquireBlock(5, 128, 1, 0, 0, 0, block);
        EXPECT_FALSE(InterfaceSilent());
        if (result == LinkResult::Answered) {
            EXPECT_EQ(Fresh(block), "");
        } else {
            EXPECT_EQ(result, LinkResult::NoAnswer);
        }
        if (request == 3) {
            EXPECT_EQ(result, LinkResult::Answered);
        }
    }
    EXPECT_TRUE(Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    AroundTheBound, LinkLateBlock,
    ::testing::Combine(::testing::Values(900,   // whole before the bound
                                         994,   // its last bytes at the bound
                                         1000,  // cut by the bound
                                         1001,  // just after: nothing by the bound
                                         1040,  // during the next request's samples
                                         1042,  // its tail meeting the next answer
                                         1048,  // one bound later
                                         1096), // one interval after that
                       ::testing::Values(sim::TransferMode::Chunked, sim::TransferMode::Whole)));

// After a memory read that timed out the interface still answers: the next
// presence query has all its tries.
TEST_F(LinkLostAnswers, MemoryTimeOutLeavesThePresenceQueryItsTries) {
    Rig.Faults().NoAnswer(Command::EE, Scope::Next());
    LinkResult result = LinkResult::Answered;
    EXPECT_FALSE(IdentifySensor(0, &result));
    EXPECT_EQ(result, LinkResult::NoAnswer);
    EXPECT_FALSE(InterfaceSilent());
    Rig.Faults().NoAnswer(Command::E1, Scope::Next(14));
    const int64_t start = Rig.NowUs();
    EXPECT_EQ(DetectSensor1(&result), 1);
    EXPECT_EQ(result, LinkResult::Answered);
    EXPECT_EQ(FramesSince(start).size(), 15u);
    EXPECT_TRUE(Boxes().empty());
}

// A channel whose presence query keeps failing in every way it can is told
// once, until it answers again; the other channel answers meanwhile, so the
// interface is not silent.
TEST_F(LinkLostAnswers, FailingChannelIsToldOncePerEpisode) {
    const std::function<int(sim::FaultPlan&)> faults[] = {
        [](sim::FaultPlan& f) { return f.NoAnswer(Command::E1); },
        [](sim::FaultPlan& f) { return f.GarbageStatus(0xAA, Command::E1); },
        [](sim::FaultPlan& f) { return f.TruncatedAnswer(1, Command::E1); },
        [](sim::FaultPlan& f) { return f.ShortWrite(2, Command::E1); },
        [](sim::FaultPlan& f) { return f.WriteFails(Command::E1); },
        [](sim::FaultPlan& f) { return f.ReadFails(Command::E1); },
        [](sim::FaultPlan& f) { return f.PollFails(Command::E1); },
    };
    size_t told = 0;
    for (const auto& arm : faults) {
        SCOPED_TRACE("fault " + std::to_string(told));
        const int fault = arm(Rig.Faults());
        Dialogs().Answer(ModalResult::Ok, "Problème de lecture sur la voie 1");
        for (int sweep = 0; sweep < 3; ++sweep) {
            LinkResult result = LinkResult::Answered;
            EXPECT_EQ(DetectSensor1(&result), 0);
            EXPECT_EQ(result, LinkResult::NoAnswer);
            EXPECT_EQ(DetectSensor2(), 1);
            EXPECT_FALSE(InterfaceSilent());
        }
        EXPECT_EQ(Boxes().size(), ++told);
        Rig.Faults().Remove(fault);
        Sleep(50); // a cut frame is dropped by the device after a pause
        EXPECT_EQ(DetectSensor1(), 1) << "answers again: the episode ends";
    }
}

// Every answer carrying a wrong status byte, or none coming at all: the
// interface has stopped answering; the link shows nothing (the caller tells
// it once) and gives up quickly from then on.
TEST_F(LinkLostAnswers, NoAcknowledgedAnswerAnywhereIsASilentInterface) {
    for (const bool garbage : {true, false}) {
        SCOPED_TRACE(garbage ? "wrong status" : "no answer");
        const int fault = garbage ? Rig.Faults().GarbageStatus(0x00, Command::Any)
                                  : Rig.Faults().NoAnswer(Command::Any);
        LinkResult result = LinkResult::Answered;
        EXPECT_EQ(DetectSensor1(&result), 0);
        EXPECT_EQ(result, LinkResult::NoAnswer);
        EXPECT_TRUE(InterfaceSilent());
        const int64_t start = Rig.NowUs();
        EXPECT_FALSE(IdentifySensor(1, &result));
        EXPECT_LE(Rig.NowUs() - start, sim::Ms(111)) << "one try";
        EXPECT_TRUE(Boxes().empty());
        Rig.Faults().Remove(fault);
        EXPECT_EQ(DetectSensor1(), 1);
        EXPECT_FALSE(InterfaceSilent());
        ASSERT_TRUE(IdentifySensor(1));
    }
}

// Block requests that never reach the device whole: each beeps and is lost
// while presence queries answer; LostBlocksLimit of them in a row and the
// interface counts as no longer answering. An answered block starts the count
// again.
TEST_F(LinkLostAnswers, PersistentShortWritesEndAsASilentInterface) {
    Rig.Faults().ShortWrite(4, Command::C0);
    SampleBlock block{};
    for (int request = 1; request <= LostBlocksLimit; ++request) {
        EXPECT_EQ(AcquireBlock(5, 128, 1, 0, 0, 0, block), LinkResult::NoAnswer);
        EXPECT_EQ(InterfaceSilent(), request == LostBlocksLimit) << request;
        EXPECT_EQ(Dialogs().BeepCount(), request);
    }
    Rig.Faults().Clear();
    Sleep(50);
    EXPECT_EQ(AcquireBlock(5, 128, 1, 0, 0, 0, block), LinkResult::Answered);
    EXPECT_FALSE(InterfaceSilent());
    Rig.Faults().NoAnswer(Command::C0, Scope::Next(LostBlocksLimit - 1));
    for (int request = 1; request < LostBlocksLimit; ++request)
        EXPECT_EQ(AcquireBlock(5, 128, 1, 0, 0, 0, block), LinkResult::NoAnswer);
    EXPECT_FALSE(InterfaceSilent());
    EXPECT_EQ(AcquireBlock(5, 128, 1, 0, 0, 0, block), LinkResult::Answered);
    EXPECT_TRUE(Boxes().empty());
}

// A trigger that never comes (a constant below the level) under each of the
// device's ways of treating frames while a block is armed: the block gives no
// trigger, and the exchanges that follow neither take the interface for
// silent nor report anything, though a device that ignores or holds frames
// answers none of them. Once the trigger comes the device answers again; a
// device that leaves the bus meanwhile is gone.
class LinkArmed : public LinkLostAnswers, public ::testing::WithParamInterface<sim::ArmedPolicy> {};

TEST_P(LinkArmed, NoTriggerIsNoDeadInterface) {
    Rig.Device().WhileArmed = GetParam();
    Rig.SetGenerator(0, sim::Generator::Dc(300));
    SampleBlock block{};
    block[0][0] = 42;
    for (int sweep = 0; sweep < 3; ++sweep) {
        LinkResult result = LinkResult::Answered;
        EXPECT_EQ(DetectSensor1(&result), 1);
        EXPECT_EQ(DetectSensor2(&result), 1);
        EXPECT_EQ(AcquireBlock(5, 128, 1, 0, 512, 0, block), LinkResult::NoTrigger);
        EXPECT_EQ(block[0][0], 42);
        EXPECT_FALSE(InterfaceSilent());
    }
    EXPECT_TRUE(SensorOnChannel[0]);
    EXPECT_TRUE(SensorOnChannel[1]);
    EXPECT_TRUE(Boxes().empty());

    // The trigger comes: the device answers again.
    Rig.SetGenerator(0, sim::Generator::Sine(512, 300, 50));
    LinkResult result = LinkResult::NoAnswer;
    for (int again = 0; again < 3 && result != LinkResult::Answered; ++again)
        DetectSensor1(&result);
    EXPECT_EQ(result, LinkResult::Answered);
    EXPECT_EQ(AcquireBlock(5, 128, 1, 0, 512, 0, block), LinkResult::Answered);

    // Armed again, then unplugged: gone.
    Rig.SetGenerator(0, sim::Generator::Dc(300));
    EXPECT_EQ(AcquireBlock(5, 128, 1, 0, 512, 0, block), LinkResult::NoTrigger);
    Rig.Faults().DeviceGone(Rig.NowUs());
    EXPECT_EQ(DetectSensor1(&result), 0);
    EXPECT_EQ(result, LinkResult::NoAnswer);
    EXPECT_TRUE(InterfaceSilent());
    EXPECT_TRUE(Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Policies, LinkArmed,
                         ::testing::Values(sim::ArmedPolicy::Cancel, sim::ArmedPolicy::Discard,
                                           sim::ArmedPolicy::Queue),
                         [](const auto& info) { return sim::PolicyName(info.param); });

} // namespace
