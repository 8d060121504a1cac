// The device's frame parser: resynchronisation, rejected frames, the 20 ms
// gap inside a frame, and the spin guard on polls that never end.
#include "SimHost.h"

#include "d2xx/sim/fixtures.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using simtest::Bytes;
using simtest::Frame;
using simtest::Host;

struct ParserCase {
    const char* Name;
    Bytes Fed;
    std::vector<std::string> Reasons; // outcome per frame record: "" = answered
    Bytes Answers;                    // all answer bytes
    int64_t Resync;
};

TEST(Parser, ResynchronisesAndRejectsMalformedFrames) {
    const ParserCase cases[] = {
        {"junk before a frame", {0x00, 0xFF, 0x07, 0x01, 0xE1, 0xE0}, {""}, {0x55, 1}, 3},
        {"wrong check byte, then a good frame",
         {0x01, 0xE1, 0xE1, 0x01, 0xE1, 0xE0},
         {"check", ""},
         {0x55, 1},
         0},
        {"unknown code", {0x01, 0xE2, 0xE3}, {"code"}, {}, 0},
        {"length that does not fit the code", {0x02, 0xE1, 0x00, 0xE3}, {"length"}, {}, 0},
        {"memory of channel 2", {0x02, 0xEE, 0x02, 0xEE}, {"channel"}, {}, 0},
        {"check covers the length byte", {0x02, 0xEE, 0x01, 0xED}, {""}, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        sim::SimRig rig;
        rig.Device().AnswerUnpluggedMemory = false; // keeps the answers short
        rig.Plug(0, sim::FixtureA);
        rig.Device().FeedParser(c.Fed);
        rig.AdvanceMs(100);
        const auto& frames = rig.Log().Frames();
        ASSERT_EQ(frames.size(), c.Reasons.size());
        for (std::size_t i = 0; i < frames.size(); ++i) {
            if (c.Reasons[i].empty()) {
                EXPECT_NE(frames[i].Outcome, sim::FrameOutcome::Rejected);
            } else {
                EXPECT_EQ(frames[i].Outcome, sim::FrameOutcome::Rejected);
                EXPECT_EQ(frames[i].Reason, c.Reasons[i]);
            }
        }
        Host host(rig);
        EXPECT_EQ(host.Read(host.Poll()), c.Answers);
        EXPECT_EQ(rig.Log().ResyncBytes, c.Resync);
    }
}

TEST(Parser, GapOfMoreThan20MsDropsThePartialFrame) {
    struct Case {
        int64_t GapUs;
        bool Answered;
    };
    for (Case c : {Case{20000, true}, Case{20001, false}}) {
        SCOPED_TRACE(c.GapUs);
        sim::SimRig rig;
        rig.Plug(0, sim::FixtureA);
        rig.Device().FeedParser({0x01, 0xE1}, sim::Ms(1));
        rig.Device().FeedParser({0xE0}, sim::Ms(1) + c.GapUs);
        rig.Device().FeedParser({0x01, 0xE5, 0xE4}, sim::Ms(30));
        rig.AdvanceMs(40);
        Host host(rig);
        if (c.Answered) {
            EXPECT_EQ(rig.Log().ExpectFrames({"01 E1 E0", "01 E5 E4"}), "");
            EXPECT_EQ(host.Read(10), (Bytes{0x55, 1, 0x55, 0}));
        } else {
            // The partial frame goes; its last byte alone is not a length byte.
            EXPECT_EQ(rig.Log().ExpectFrames({"01 E1", "01 E5 E4"}), "");
            EXPECT_EQ(rig.Log().Frames()[0].Reason, "gap");
            EXPECT_EQ(rig.Log().ResyncBytes, 1);
            EXPECT_EQ(host.Read(10), (Bytes{0x55, 0}));
        }
    }
}

// A test that polls for ever against a trigger that never comes ends with a
// diagnostic instead of hanging.
TEST(SpinGuardDeathTest, EndlessPollingAbortsWithADiagnostic) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            sim::SimRig rig;
            rig.Device().SpinGuardMs = 50;
            Host host(rig);
            host.Send(simtest::BlockFrame(0, 5, 128, 1, 512, 0));
            for (;;)
                host.Poll();
        },
        "queue polls without pause since t = 0.010 ms.*last frame written: 08 C0 00 05 80 01 "
        "00 02 00 4E");
}

TEST(SpinGuard, PollsWithPausesOrOtherCallsAreNotARun) {
    sim::SimRig rig;
    rig.Device().SpinGuardMs = 50;
    Host host(rig);
    host.Send(simtest::BlockFrame(0, 5, 128, 1, 512, 0));
    // 100 ms of polling, 10 ms apart, then polling broken up by other calls.
    for (int i = 0; i < 10; ++i) {
        for (int j = 0; j < 100; ++j)
            host.Poll();
        rig.AdvanceMs(10);
    }
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 8000; ++j) // 40 ms
            host.Poll();
        host.Read(1);
    }
    EXPECT_GT(rig.NowMs(), 300);
}

} // namespace
