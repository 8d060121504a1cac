// Blocks: exact sample instants for the block table's rows, trigger search on
// rising and falling edges, a trigger that never comes, and what a frame does
// while a block is pending.
#include "SimHost.h"

#include "d2xx/sim/fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

using simtest::BlockFrame;
using simtest::Bytes;
using simtest::Frame;
using simtest::Host;

constexpr int64_t UnitsPerUs = 1024; // sample instants in 1/1024 µs

// Channel 1's signal records the instants it is sampled at (in 1/1024 µs
// since the bus started) and gives 1000 minus the sample's rank.
struct Recorder {
    std::shared_ptr<std::vector<int64_t>> Times = std::make_shared<std::vector<int64_t>>();
    sim::Generator Signal() const {
        auto times = Times;
        return sim::Generator::OfTime([times](double t) {
            times->push_back(std::llround(t * 1e6 * UnitsPerUs));
            return 1000.0 - static_cast<double>(times->size());
        });
    }
};

int Sample(const Bytes& answer, int k, int ch) {
    return answer[static_cast<std::size_t>(4 * k - 3 + 2 * ch)] |
           answer[static_cast<std::size_t>(4 * k - 2 + 2 * ch)] << 8;
}

struct RowCase {
    uint8_t A, B, C;
    int64_t DeltaUnits;
};

TEST(Blocks, UntriggeredSamplesFallOnExactInstantsForEveryRow) {
    const RowCase rows[] = {
        {5, 128, 1, 500 * UnitsPerUs},
        {5, 128, 2, 1000 * UnitsPerUs},
        {6, 128, 1, 2000 * UnitsPerUs},
        {5, 160, 8, 5000 * UnitsPerUs},
        {5, 160, 16, 10000 * UnitsPerUs},
        {6, 160, 8, 20000 * UnitsPerUs},
        {4, 255, 2, 510000}, // 0.498046875 ms
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "row " << int(row.A) << "," << int(row.B) << "," << int(row.C));
        sim::SimRig rig;
        Recorder recorder;
        rig.Plug(0, sim::FixtureA, sim::Generator::Indexed([](int64_t n) { return n; }));
        rig.Plug(1, sim::FixtureA, recorder.Signal());
        Host host(rig);
        const int64_t sentAt = 1000;
        host.SendAt(sentAt, BlockFrame(0, row.A, row.B, row.C, 0, 0));
        const int64_t first = (sentAt + 100 + 100) * UnitsPerUs;
        const int64_t readyUnits = first + 94 * row.DeltaUnits + 200 * UnitsPerUs;
        const int64_t ready = (readyUnits + UnitsPerUs - 1) / UnitsPerUs;

        rig.Clock().AdvanceToUs(ready - 1);
        EXPECT_TRUE(rig.Device().BlockPending());
        EXPECT_EQ(host.Poll(), 0u);
        Bytes answer = host.ReadAllAt(ready + 6000);
        ASSERT_EQ(answer.size(), 381u);
        EXPECT_EQ(answer[0], 0x55);
        ASSERT_EQ(recorder.Times->size(), 95u);
        for (int k = 1; k <= 95; ++k) {
            ASSERT_EQ((*recorder.Times)[static_cast<std::size_t>(k - 1)],
                      first + (k - 1) * row.DeltaUnits)
                << "sample " << k;
            ASSERT_EQ(Sample(answer, k, 0), k);
            ASSERT_EQ(Sample(answer, k, 1), 1000 - k);
        }
        EXPECT_FALSE(rig.Device().BlockPending());
    }
}

TEST(Blocks, UnknownTimingOrChannelGetsNoAnswer) {
    const Bytes frames[] = {BlockFrame(2, 5, 128, 1, 0, 0), BlockFrame(0, 7, 128, 1, 0, 0),
                            BlockFrame(0, 3, 128, 1, 0, 0), BlockFrame(0, 5, 0, 1, 0, 0),
                            BlockFrame(0, 5, 128, 0, 0, 0)};
    for (const auto& frame : frames) {
        sim::SimRig rig;
        Host host(rig);
        host.Send(frame);
        EXPECT_EQ(host.ReadAllAt(sim::Ms(2000)), Bytes{});
        EXPECT_EQ(rig.Log().Count(sim::Command::C0, sim::FrameOutcome::Rejected), 1);
        EXPECT_FALSE(rig.Device().BlockPending());
    }
}

struct TriggerCase {
    const char* Name;
    sim::Generator Watched;
    uint16_t Level;
    uint8_t Edge;
    int64_t FirstSampleUs; // -1: never
    int FirstValue;
};

TEST(Blocks, TriggerSearchStartsSamplingAtTheFiringLook) {
    // Triangle 0..1000 at 10 Hz: 500 upwards at 25 ms, downwards at 75 ms.
    // Looks every 1 ms from T = 1.1 ms.
    const TriggerCase cases[] = {
        {"rising", sim::Generator::Triangle(0, 1000, 10), 500, 0, 25100, 502},
        {"falling", sim::Generator::Triangle(0, 1000, 10), 500, 1, 75100, 498},
        {"edge byte other than 1 is rising", sim::Generator::Triangle(0, 1000, 10), 500, 7, 25100,
         502},
        {"level reached exactly", sim::Generator::Triangle(0, 1000, 10), 502, 0, 25100, 502},
        {"first look already past the level needs a crossing",
         sim::Generator::Sequence({600, 400, 600, 600}), 500, 0, 3100, 600},
        {"falling onto the level fires", sim::Generator::Sequence({520, 510, 500, 500}), 500, 1,
         3100, 500},
        {"falling to just above the level does not", sim::Generator::Sequence({520, 510, 501}), 500,
         1, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        sim::SimRig rig;
        Recorder recorder;
        rig.Plug(0, sim::FixtureA, c.Watched);
        rig.Plug(1, sim::FixtureA, recorder.Signal());
        Host host(rig);
        host.SendAt(1000, BlockFrame(0, 5, 128, 2, c.Level, c.Edge));
        if (c.FirstSampleUs < 0) {
            EXPECT_EQ(host.ReadAllAt(sim::Ms(5000)), Bytes{});
            EXPECT_TRUE(rig.Device().BlockPending());
            EXPECT_TRUE(recorder.Times->empty());
            continue;
        }
        const int64_t ready = c.FirstSampleUs + 94 * 1000 + 200;
        rig.Clock().AdvanceToUs(ready - 1);
        EXPECT_EQ(host.Poll(), 0u);
        Bytes answer = host.ReadAllAt(ready + 6000);
        ASSERT_EQ(answer.size(), 381u);
        ASSERT_EQ(recorder.Times->size(), 95u);
        EXPECT_EQ(recorder.Times->front(), c.FirstSampleUs * UnitsPerUs);
        EXPECT_EQ(recorder.Times->back(), (c.FirstSampleUs + 94000) * UnitsPerUs);
        EXPECT_EQ(Sample(answer, 1, 0), c.FirstValue);
    }
}

TEST(Blocks, TriggerOnChannelOneWatchesChannelOne) {
    sim::SimRig rig;
    rig.Plug(0, sim::FixtureA, sim::Generator::Dc(300));
    rig.Plug(1, sim::FixtureA, sim::Generator::Triangle(0, 1000, 10));
    Host host(rig);
    host.SendAt(1000, BlockFrame(1, 5, 128, 2, 500, 0));
    const int64_t ready = 25100 + 94 * 1000 + 200;
    EXPECT_EQ(host.ReadAllAt(ready + 6000).size(), 381u);
}

TEST(Blocks, ATriggerThatNeverComesWaitsUnlessAutoTriggerIsSet) {
    for (bool automatic : {false, true}) {
        SCOPED_TRACE(automatic ? "auto-trigger after 100 ms" : "no auto-trigger");
        sim::SimRig rig;
        if (automatic)
            rig.Device().AutoTriggerAfterMs = 100;
        Recorder recorder;
        rig.Plug(0, sim::FixtureA, sim::Generator::Dc(300));
        rig.Plug(1, sim::FixtureA, recorder.Signal());
        Host host(rig);
        host.SendAt(1000, BlockFrame(0, 5, 128, 2, 512, 0));
        const int64_t ready = 1100 + 100000 + 94 * 1000 + 200;
        if (!automatic) {
            EXPECT_EQ(host.ReadAllAt(sim::Ms(60000)), Bytes{});
            EXPECT_TRUE(rig.Device().BlockPending());
            EXPECT_EQ(rig.Log().Count(sim::Command::C0, sim::FrameOutcome::Pending), 1);
            continue;
        }
        rig.Clock().AdvanceToUs(ready - 1);
        EXPECT_EQ(host.Poll(), 0u);
        EXPECT_EQ(host.ReadAllAt(ready + 6000).size(), 381u);
        EXPECT_EQ(recorder.Times->front(), 101100 * UnitsPerUs);
    }
}

// Below: a block sent at 1 ms, sampling from 1.2 ms to 48.2 ms (ready at
// 48.4 ms), and a presence query sent at 10 ms.

TEST(Blocks, FrameDuringAPendingBlockCancelsIt) {
    sim::SimRig rig;
    rig.Plug(0, sim::FixtureA);
    Host host(rig);
    host.SendAt(1000, BlockFrame(0, 5, 128, 1, 0, 0));
    host.SendAt(sim::Ms(10), Frame({0xE1}));
    EXPECT_EQ(host.ReadAllAt(sim::Ms(10) + 2100), (Bytes{0x55, 1}));
    EXPECT_EQ(host.ReadAllAt(sim::Ms(1000)), Bytes{});
    EXPECT_FALSE(rig.Device().BlockPending());
    EXPECT_EQ(rig.Log().Frames()[0].Outcome, sim::FrameOutcome::Cancelled);
    EXPECT_EQ(rig.Log().Frames()[1].Outcome, sim::FrameOutcome::Answered);
}

TEST(Blocks, DeafDeviceDiscardsBytesUntilTheBlockIsReady) {
    sim::SimRig rig;
    rig.Device().WhileArmed = sim::ArmedPolicy::Discard;
    rig.Plug(0, sim::FixtureA);
    Host host(rig);
    host.SendAt(1000, BlockFrame(0, 5, 128, 1, 0, 0));
    host.SendAt(sim::Ms(10), Frame({0xE1}));
    const int64_t ready = 48400;
    EXPECT_EQ(host.ReadAllAt(ready + 6000).size(), 381u);
    EXPECT_EQ(rig.Log().DeafBytes, 3);
    EXPECT_EQ(rig.Log().Count(sim::Command::E1), 0);
    host.SendAt(sim::Ms(60), Frame({0xE1}));
    EXPECT_EQ(host.ReadAllAt(sim::Ms(63)), (Bytes{0x55, 1}));
}

TEST(Blocks, QueuedFrameIsHandledOnceTheBlockIsReady) {
    sim::SimRig rig;
    rig.Device().WhileArmed = sim::ArmedPolicy::Queue;
    rig.Plug(0, sim::FixtureA);
    Host host(rig);
    host.SendAt(1000, BlockFrame(0, 5, 128, 1, 0, 0));
    host.SendAt(sim::Ms(10), Frame({0xE1}));
    host.SendAt(sim::Ms(11), BlockFrame(0, 5, 128, 1, 0, 0)); // queued as well
    const int64_t ready = 48400;
    rig.Clock().AdvanceToUs(ready + 6000);
    // The presence answer (ready at 50.4 ms) follows the whole block answer.
    EXPECT_EQ(host.Poll(), 383u);
    Bytes all = host.Read(383);
    EXPECT_EQ(Bytes(all.end() - 2, all.end()), (Bytes{0x55, 1}));
    const auto& frames = rig.Log().Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1].TimeUs, sim::Ms(10) + 100);
    EXPECT_EQ(frames[1].HandledUs, ready);
    // The second block starts when handled: samples from 48.5 ms.
    EXPECT_EQ(frames[2].Outcome, sim::FrameOutcome::Pending);
    const int64_t secondReady = ready + 100 + 94 * 500 + 200;
    EXPECT_EQ(host.ReadAllAt(secondReady + 6000).size(), 381u);
    EXPECT_EQ(frames[2].Outcome, sim::FrameOutcome::Answered);
}

} // namespace
