// The program's wait handler inside the link's waits: called often enough to
// keep a window alive, and able to end any wait at once without the interface
// being taken for silent.
#include "LinkFixture.h"

#include "core/Waits.h"

#include <functional>
#include <vector>

using sim::Command;
using sim::Scope;

namespace {

class LinkWaitHandler : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        PlugBothSensors();
        Rig.Bus().SetCallCostUs(50);
    }

    // A handler that records when it ran and ends the wait once endAfterMs
    // have passed since it was installed (never when negative).
    platform::WaitHandler EndingAfter(double endAfterMs) {
        const double start = NowMs();
        return [this, start, endAfterMs] {
            Calls.push_back(NowMs());
            const bool ended = endAfterMs >= 0 && NowMs() - start >= endAfterMs;
            if (ended)
                EndedUs = Rig.NowUs();
            return ended;
        };
    }

    // The longest stretch between two handler calls, from start to the end.
    double LongestGap(double start, double end) const {
        double longest = 0;
        double last = start;
        for (double t : Calls) {
            longest = std::max(longest, t - last);
            last = t;
        }
        return std::max(longest, end - last);
    }

    std::vector<double> Calls;
    int64_t EndedUs = 0;
};

// The longest stretch without a handler call: the 10 ms pause of a presence
// try before its first poll, plus one poll pause.
constexpr double LongestGapMs = 21;

struct Exchange {
    const char* What;
    std::function<void(sim::SimRig&)> Silence; // makes the exchange wait
    std::function<LinkResult()> Run;
};

SampleBlock Block{};
RawPair Raw{};

const Exchange Exchanges[] = {
    {"trigger that never comes", [](sim::SimRig&) {},
     [] { return AcquireBlock(6, 160, 8, 0, 512, 0, Block); }},
    {"untriggered block", [](sim::SimRig& rig) { rig.Faults().NoAnswer(Command::Any); },
     [] { return AcquireBlock(6, 160, 8, 0, 0, 0, Block); }},
    {"raw pair", [](sim::SimRig& rig) { rig.Faults().NoAnswer(Command::Any); },
     [] { return ReadRawPair(Raw); }},
    {"memory write", [](sim::SimRig& rig) { rig.Faults().NoAnswer(Command::Any); },
     [] { return WriteSensorByte(0, 39, '0'); }},
    {"memory read", [](sim::SimRig& rig) { rig.Faults().NoAnswer(Command::Any); },
     [] { return ReadSensorMemory(1); }},
    {"presence", [](sim::SimRig& rig) { rig.Faults().NoAnswer(Command::Any); },
     [] {
         LinkResult result = LinkResult::Answered;
         EXPECT_EQ(DetectSensor2(&result), 1) << "the last known presence";
         return result;
     }},
    {"identification", [](sim::SimRig& rig) { rig.Faults().NoAnswer(Command::EE); },
     [] {
         LinkResult result = LinkResult::Answered;
         EXPECT_TRUE(IdentifySensor(1, &result)) << "the channel as it was";
         return result;
     }},
};

TEST_F(LinkWaitHandler, EndsEveryWaitAtOnceAndLeavesTheLinkAsItWas) {
    constexpr double EndAfterMs = 230;
    for (const Exchange& e : Exchanges) {
        SCOPED_TRACE(e.What);
        Rig.Faults().Clear();
        e.Silence(Rig);
        Block[0][0] = 42;
        Raw = {3, 4};
        Calls.clear();
        const std::string label = ChannelLabel[1];
        LinkResult result = LinkResult::Answered;
        const double start = NowMs();
        {
            platform::ScopedWaitHandler handler(EndingAfter(EndAfterMs));
            result = e.Run();
        }
        const double ms = NowMs() - start;
        EXPECT_EQ(result, LinkResult::Ended);
        EXPECT_TRUE(ExchangeEnded());
        EXPECT_GE(ms, EndAfterMs);
        EXPECT_LT(ms, EndAfterMs + LongestGapMs);
        EXPECT_FALSE(InterfaceSilent()) << "nothing is known about the interface";
        EXPECT_EQ(Block[0][0], 42);
        EXPECT_EQ(Raw, (RawPair{3, 4}));
        EXPECT_TRUE(SensorOnChannel[1]);
        EXPECT_EQ(ChannelLabel[1], label);
        EXPECT_TRUE(FramesSince(EndedUs).empty()) << "nothing sent after the end";
        EXPECT_TRUE(Boxes().empty()) << "the link tells nothing";
    }
    // The next exchange starts afresh and is answered.
    Rig.Faults().Clear();
    EXPECT_EQ(AcquireBlock(5, 128, 1, 0, 0, 0, Block), LinkResult::Answered);
    EXPECT_FALSE(ExchangeEnded());
}

TEST_F(LinkWaitHandler, RunsEveryFewMillisecondsOfAWholeWait) {
    const double start = NowMs();
    LinkResult result = LinkResult::Answered;
    {
        platform::ScopedWaitHandler handler(EndingAfter(-1));
        result = AcquireBlock(6, 160, 8, 0, 512, 0, Block);
    }
    const double end = NowMs();
    EXPECT_EQ(result, LinkResult::NoTrigger) << "a handler that ends nothing changes nothing";
    EXPECT_GE(end - start, 3900);
    EXPECT_GT(Calls.size(), 300u);
    EXPECT_LE(LongestGap(start, end), LongestGapMs);
}

TEST_F(LinkWaitHandler, NoExchangeStartsFromInsideTheHandler) {
    int inside = 0;
    LinkResult result = LinkResult::Answered;
    {
        platform::ScopedWaitHandler handler([&] {
            ++inside;
            RawPair raw{};
            EXPECT_EQ(ReadRawPair(raw), LinkResult::Busy);
            return inside == 3;
        });
        result = AcquireBlock(6, 160, 8, 0, 512, 0, Block);
    }
    EXPECT_EQ(result, LinkResult::Ended);
    EXPECT_EQ(inside, 3);
    EXPECT_EQ(ReadRawPair(Raw), LinkResult::Answered) << "the handler is gone with its scope";
}

} // namespace
