// Driver calls and the answer of every command: bytes, lengths, latencies,
// chunked transfer, persistence of memory writes, reset and purge, handles.
#include "SimHost.h"

#include "d2xx/sim/PeopleScenario.h"
#include "d2xx/sim/fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

using simtest::Bytes;
using simtest::Frame;
using simtest::Host;

Bytes MemoryAnswer(const sim::MemoryImage& memory) {
    Bytes answer(1 + memory.size(), 0x55);
    std::copy(memory.begin(), memory.end(), answer.begin() + 1);
    return answer;
}

TEST(DriverCalls, ListsDescribesAndOpensTheDevice) {
    sim::SimRig rig;
    DWORD count = 99;
    EXPECT_EQ(FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    EXPECT_EQ(count, 1u);
    char description[FT_DESCRIPTION_SIZE];
    EXPECT_EQ(FT_ListDevices(reinterpret_cast<void*>(0), description,
                             FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
              FT_OK);
    EXPECT_STREQ(description, "Interface de mesure (simulée)");
    EXPECT_EQ(FT_ListDevices(reinterpret_cast<void*>(1), description,
                             FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
              FT_DEVICE_NOT_FOUND);

    FT_HANDLE handle = nullptr;
    EXPECT_EQ(FT_OpenEx(const_cast<char*>("Interface de mesure"), FT_OPEN_BY_DESCRIPTION, &handle),
              FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(FT_OpenEx(description, FT_OPEN_BY_DESCRIPTION, &handle), FT_OK);
    EXPECT_NE(handle, nullptr);
    EXPECT_TRUE(rig.Device().Opened());
    FT_HANDLE second = nullptr;
    EXPECT_EQ(FT_OpenEx(description, FT_OPEN_BY_DESCRIPTION, &second), FT_DEVICE_NOT_OPENED);
    EXPECT_EQ(FT_Close(handle), FT_OK);
    EXPECT_FALSE(rig.Device().Opened());
}

TEST(DriverCalls, ClosedHandleIsInvalidForEveryCall) {
    sim::SimRig rig;
    Host host(rig);
    FT_HANDLE h = host.Handle;
    ASSERT_EQ(FT_Close(h), FT_OK);
    DWORD n = 77;
    uint8_t buffer[8] = {1, 0xE1, 0xE0};
    EXPECT_EQ(FT_Close(h), FT_INVALID_HANDLE);
    EXPECT_EQ(FT_ResetDevice(h), FT_INVALID_HANDLE);
    EXPECT_EQ(FT_Purge(h, FT_PURGE_RX | FT_PURGE_TX), FT_INVALID_HANDLE);
    EXPECT_EQ(FT_GetQueueStatus(h, &n), FT_INVALID_HANDLE);
    EXPECT_EQ(n, 77u);
    EXPECT_EQ(FT_Write(h, buffer, 3, &n), FT_INVALID_HANDLE);
    EXPECT_EQ(n, 0u);
    n = 77;
    EXPECT_EQ(FT_Read(h, buffer, 3, &n), FT_INVALID_HANDLE);
    EXPECT_EQ(n, 0u);
    int notAHandle = 0;
    EXPECT_EQ(FT_GetQueueStatus(&notAHandle, &n), FT_INVALID_HANDLE);
    EXPECT_EQ(rig.Log().Count(sim::Command::Any), 0);

    // A new open gives a new, working handle; the old one stays invalid.
    Host again(rig);
    EXPECT_NE(again.Handle, h);
    EXPECT_EQ(again.Poll(), 0u);
    EXPECT_EQ(FT_GetQueueStatus(h, &n), FT_INVALID_HANDLE);
}

struct AnswerCase {
    const char* Name;
    std::function<void(sim::SimDevice&)> Setup;
    Bytes Sent;
    Bytes Answer; // empty: no answer
    int64_t LatencyUs;
};

TEST(Answers, EveryCommandAnswersWithItsBytesAfterItsLatency) {
    using sim::FixtureA;
    using sim::FixtureB;
    auto plugBoth = [](sim::SimDevice& d) {
        d.Plug(0, FixtureA);
        d.Plug(1, FixtureB);
    };
    const AnswerCase cases[] = {
        {"presence 0, plugged", plugBoth, Frame({0xE1}), {0x55, 1}, 2000},
        {"presence 1, plugged", plugBoth, Frame({0xE5}), {0x55, 1}, 2000},
        {"presence 0, empty", [](sim::SimDevice&) {}, Frame({0xE1}), {0x55, 0}, 2000},
        {"presence 1 only channel 0 plugged",
         [](sim::SimDevice& d) { d.Plug(0, FixtureA); },
         Frame({0xE5}),
         {0x55, 0},
         2000},
        {"presence override",
         [](sim::SimDevice& d) {
             d.Plug(1, FixtureA);
             d.Slot(1).PresenceOverride = 2;
         },
         Frame({0xE5}),
         {0x55, 2},
         2000},
        {"memory 0", plugBoth, Frame({0xEE, 0}), MemoryAnswer(FixtureA), 15000},
        {"memory 1", plugBoth, Frame({0xEE, 1}), MemoryAnswer(FixtureB), 15000},
        {"memory of an empty channel", [](sim::SimDevice&) {}, Frame({0xEE, 0}),
         MemoryAnswer(sim::FixtureU0), 15000},
        {"memory of an empty channel, silent option",
         [](sim::SimDevice& d) { d.AnswerUnpluggedMemory = false; },
         Frame({0xEE, 1}),
         {},
         0},
        {"memory of channel 2", plugBoth, Frame({0xEE, 2}), {}, 0},
        {"raw pair",
         [](sim::SimDevice& d) {
             d.Plug(0, FixtureA);
             d.SetGenerator(0, sim::Generator::Dc(0x3FF));
             d.Plug(1, FixtureA);
             d.SetGenerator(1, sim::Generator::Dc(0x102));
         },
         Frame({0xAA}),
         {0x55, 0xFF, 0x03, 0x02, 0x01},
         1000},
        {"raw pair, 16-bit values and an unplugged channel",
         [](sim::SimDevice& d) {
             d.Plug(0, FixtureA);
             d.SetGenerator(0, sim::Generator::Raw16(65535));
             d.Slot(1).UnpluggedValue = 1024;
         },
         Frame({0xAA}),
         {0x55, 0xFF, 0xFF, 0x00, 0x04},
         1000},
        {"write channel 0", plugBoth, Frame({0xE3, 39, 0x30}), {0x55}, 5000},
        {"write channel 1, last position", plugBoth, Frame({0xE6, 126, 0x41}), {0x55}, 5000},
        {"write position 0", plugBoth, Frame({0xE3, 0, 0x30}), {0x00}, 5000},
        {"write position 127", plugBoth, Frame({0xE6, 127, 0x30}), {0x00}, 5000},
        {"write on an empty channel", [](sim::SimDevice&) {}, Frame({0xE3, 1, 0x30}), {0x00}, 5000},
        {"write protected (nak)",
         [&](sim::SimDevice& d) {
             plugBoth(d);
             d.Slot(0).WriteProtect = sim::WriteProtectMode::Nak;
         },
         Frame({0xE3, 1, 0x30}),
         {0x00},
         5000},
        {"write protected (silent)",
         [&](sim::SimDevice& d) {
             plugBoth(d);
             d.Slot(0).WriteProtect = sim::WriteProtectMode::Silent;
         },
         Frame({0xE3, 1, 0x30}),
         {0x55},
         5000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        sim::SimRig rig;
        rig.Device().Transfer = sim::TransferMode::Whole;
        c.Setup(rig.Device());
        Host host(rig);
        const int64_t sentAt = 1000;
        EXPECT_EQ(host.SendAt(sentAt, c.Sent), c.Sent.size());
        const int64_t t = sentAt + 100; // delivery of the check byte
        if (c.Answer.empty()) {
            EXPECT_EQ(host.ReadAllAt(sim::Ms(100)), Bytes{});
            continue;
        }
        rig.Clock().AdvanceToUs(t + c.LatencyUs - 1);
        EXPECT_EQ(rig.Device().QueueSize(), 0u);
        EXPECT_EQ(host.ReadAllAt(t + c.LatencyUs), c.Answer);
        ASSERT_EQ(rig.Log().Frames().size(), 1u);
        EXPECT_EQ(rig.Log().Frames()[0].TimeUs, t);
        EXPECT_EQ(rig.Log().Frames()[0].Outcome, sim::FrameOutcome::Answered);
    }
}

TEST(Answers, MemoryWritesPersistWithTheSensor) {
    sim::SimRig rig;
    rig.Plug(0, sim::FixtureC);
    Host host(rig);
    host.Send(Frame({0xE3, 39, 0x30}));
    host.Send(Frame({0xE3, 40, 0x32}));
    host.Send(Frame({0xE6, 1, 0x30})); // channel 1 is empty: refused
    EXPECT_EQ(host.ReadAllAt(sim::Ms(20)), (Bytes{0x55, 0x55, 0x00}));
    EXPECT_EQ(rig.Memory(0)[38], 0x30);
    EXPECT_EQ(rig.Memory(0)[39], 0x32);

    // The sensor moves to channel 1 with its bytes.
    sim::MemoryImage moved = rig.Unplug(0);
    EXPECT_EQ(moved[38], 0x30);
    rig.Plug(1, moved);
    host.Send(Frame({0xEE, 1}));
    Bytes answer = host.ReadAllAt(sim::Ms(60));
    ASSERT_EQ(answer.size(), 127u);
    EXPECT_EQ(answer[39], 0x30);
    EXPECT_EQ(answer[40], 0x32);
    EXPECT_EQ(answer[41], sim::FixtureC[40]);

    // Replace swaps sensors with no empty moment; the presence query sees it.
    rig.Replace(1, sim::FixtureB);
    host.Send(Frame({0xE5}));
    host.Send(Frame({0xEE, 1}));
    answer = host.ReadAllAt(sim::Ms(100));
    ASSERT_EQ(answer.size(), 129u);
    EXPECT_EQ(Bytes(answer.begin() + 2, answer.end()), MemoryAnswer(sim::FixtureB));
}

TEST(Transfer, BlockAnswerEntersTheQueueIn62ByteChunksOneEveryTick) {
    sim::SimRig rig;
    Host host(rig);
    host.SendAt(1000, simtest::BlockFrame(0, 5, 128, 1, 0, 0)); // 0.5 ms, untriggered
    const int64_t ready = 1000 + 100 + 100 + 94 * 500 + 200;
    struct Step {
        int64_t AtUs;
        DWORD Waiting;
    };
    const Step steps[] = {{ready - 1, 0},      {ready, 62},         {ready + 999, 62},
                          {ready + 1000, 124}, {ready + 5000, 372}, {ready + 5999, 372},
                          {ready + 6000, 381}, {ready + 60000, 381}};
    for (const auto& step : steps) {
        rig.Clock().AdvanceToUs(step.AtUs);
        EXPECT_EQ(host.Poll(), step.Waiting) << "at " << step.AtUs;
    }
    EXPECT_EQ(rig.Log().Frames()[0].AnswerReadyUs, ready);
}

TEST(Transfer, SlowTickDelaysEveryPieceAfterTheFirst) {
    sim::SimRig rig;
    rig.Device().UsbTickMs = 16;
    rig.Plug(0, sim::FixtureA);
    Host host(rig);
    host.SendAt(1000, Frame({0xEE, 0}));
    rig.Clock().AdvanceToUs(16100 + 31999);
    EXPECT_EQ(host.Poll(), 124u);
    rig.Clock().AdvanceToUs(16100 + 32000);
    EXPECT_EQ(host.Poll(), 127u);
}

TEST(Transfer, ResetClearsTheUsbSideButNotAPendingBlock) {
    sim::SimRig rig;
    rig.Plug(0, sim::FixtureA);
    Host host(rig);
    host.SendAt(1000, Frame({0xE1}));
    host.SendAt(sim::Ms(5), simtest::BlockFrame(0, 5, 128, 2, 0, 0)); // 1 ms
    host.SendAt(sim::Ms(6), Frame({0xE1})); // cancels the block (default)...
    host.SendAt(sim::Ms(10), simtest::BlockFrame(0, 5, 128, 2, 0, 0)); // ...this one stays
    rig.Clock().AdvanceToUs(sim::Ms(20));
    EXPECT_EQ(host.Poll(), 4u);
    uint8_t half[] = {0x01, 0xE5}; // a frame cut short, then the reset
    DWORD written = 0;
    FT_Write(host.Handle, half, 2, &written);
    EXPECT_EQ(FT_ResetDevice(host.Handle), FT_OK);
    EXPECT_EQ(host.Poll(), 0u);
    EXPECT_TRUE(rig.Device().BlockPending());
    // The block's answer still comes, and the parser starts afresh.
    const int64_t ready = sim::Ms(10) + 100 + 100 + 94 * 1000 + 200;
    EXPECT_EQ(host.ReadAllAt(ready + 6000).size(), 381u);
    host.Send(Frame({0xE1}));
    EXPECT_EQ(host.ReadAllAt(ready + 9000), (Bytes{0x55, 1}));
}

TEST(Transfer, PurgeDropsWhatIsReadableAndKeepsLaterChunks) {
    sim::SimRig rig;
    Host host(rig);
    host.SendAt(1000, simtest::BlockFrame(0, 5, 128, 1, 0, 0));
    const int64_t ready = 1000 + 100 + 100 + 94 * 500 + 200;
    rig.Clock().AdvanceToUs(ready + 2500);
    EXPECT_EQ(host.Poll(), 186u);
    EXPECT_EQ(FT_Purge(host.Handle, FT_PURGE_RX), FT_OK);
    EXPECT_EQ(host.Poll(), 0u);
    rig.Clock().AdvanceToUs(ready + 6000);
    EXPECT_EQ(host.Poll(), 381u - 186u);

    // TX purge drops bytes still on their way (a slow link).
    rig.Faults().SlowTx(30);
    host.Send(Frame({0xE1}));
    rig.Clock().AdvanceUs(sim::Ms(10));
    EXPECT_EQ(FT_Purge(host.Handle, FT_PURGE_TX), FT_OK);
    rig.Clock().AdvanceUs(sim::Ms(100));
    EXPECT_EQ(rig.Log().Count(sim::Command::E1), 0);
    EXPECT_EQ(FT_Purge(host.Handle, 0), FT_INVALID_PARAMETER);
}

TEST(Transfer, ReadsTakeExactlyWhatIsAskedAndNeverBlock) {
    sim::SimRig rig;
    rig.Plug(0, sim::FixtureA);
    Host host(rig);
    EXPECT_EQ(host.Read(10), Bytes{});
    host.Send(Frame({0xE1}));
    host.Send(Frame({0xE5}));
    rig.Clock().AdvanceUs(sim::Ms(10));
    EXPECT_EQ(host.Read(3), (Bytes{0x55, 1, 0x55}));
    EXPECT_EQ(host.Read(5), (Bytes{0}));
}

TEST(CallCost, EveryCallAdvancesTheVirtualClock) {
    sim::SimRig rig;
    Host host(rig);
    host.SendAt(1000, Frame({0xAA}));
    // Answer due 1.1 ms after the write: about 220 polls at 5 µs.
    int64_t polls = host.PollUntil(5);
    EXPECT_GE(polls, 215);
    EXPECT_LE(polls, 222);
    EXPECT_GE(rig.NowUs(), 2100);
    EXPECT_LE(rig.NowUs(), 2110);

    rig.Bus().SetCallCostUs(0);
    EXPECT_EQ(rig.Bus().CallCostUs(), 1u);
    rig.Bus().SetCallCostUs(1000);
    EXPECT_EQ(rig.Bus().CallCostUs(), 100u);
    int64_t before = rig.NowUs();
    host.Poll();
    EXPECT_EQ(rig.NowUs(), before + 100);
    // Driving the simulator from the test is free.
    rig.Plug(0, sim::FixtureA);
    rig.Device().QueueSize();
    rig.Log().Count(sim::Command::Any);
    EXPECT_EQ(rig.NowUs(), before + 100);
}

TEST(Logs, RecordCallsFramesAndBlockRequests) {
    sim::SimRig rig;
    rig.Plug(0, sim::FixtureA);
    rig.Plug(1, sim::FixtureA);
    Host host(rig);
    host.SendAt(sim::Ms(1), Frame({0xE1}));
    host.SendAt(sim::Ms(5), Frame({0xEE, 0}));
    host.SendAt(sim::Ms(30), Frame({0xE5}));
    host.SendAt(sim::Ms(40), simtest::BlockFrame(1, 6, 160, 8, 512, 1));
    for (int i = 0; i < 50; ++i)
        host.Poll();
    const sim::SimLog& log = rig.Log();
    EXPECT_EQ(
        log.ExpectFrames({"01 E1 E0", "02 ee 00 ec", "01 E5 E4", "08 C0 01 06 A0 08 00 02 01 64"}),
        "");
    EXPECT_NE(log.ExpectFrames({"01 E1 E0"}), "");
    EXPECT_EQ(log.ExpectFrames({"01 E5 E4", "08 C0 01 06 A0 08 00 02 01 64"}, sim::Ms(30)), "");
    EXPECT_EQ(log.FramesSince(sim::Ms(5)).size(), 3u);
    EXPECT_EQ(log.FramesSince(sim::Ms(5) + 100).size(), 3u);
    EXPECT_EQ(log.FramesSince(sim::Ms(5) + 101).size(), 2u);
    auto block = log.LastBlockRequest();
    ASSERT_TRUE(block);
    EXPECT_EQ(block->TriggerChannel, 1);
    EXPECT_EQ(block->A, 6);
    EXPECT_EQ(block->B, 160);
    EXPECT_EQ(block->C, 8);
    EXPECT_EQ(block->Level, 512);
    EXPECT_EQ(block->Edge, 1);
    EXPECT_EQ(log.Count(sim::Command::Any), 4);
    EXPECT_EQ(log.Count(sim::Command::C0, sim::FrameOutcome::Pending), 1);
    EXPECT_EQ(log.CallCount(sim::ApiCall::Write), 4);
    EXPECT_EQ(log.CallCount(sim::ApiCall::GetQueueStatus), 50);
    // Identical polls in a row are kept as one record.
    EXPECT_EQ(log.Api().back().Call, sim::ApiCall::GetQueueStatus);
    EXPECT_EQ(log.Api().back().Repeat, 50);
    EXPECT_EQ(log.Api()[1].Text, "01 E1 E0");
    EXPECT_EQ(log.Api()[1].TimeUs, sim::Ms(1));
}

// A clock that tests move by hand but that the simulator treats as the real
// one: calls cost nothing and the spin guard is off.
class HandClock final : public platform::Clock {
public:
    int64_t NowUs() override { return Now; }
    void SleepMs(uint32_t ms) override { Now += static_cast<int64_t>(ms) * 1000; }
    bool IsVirtual() const override { return false; }
    int64_t Now = 123456;
};

TEST(PeopleScenario, AnswersWithTheirLatenciesOnANonVirtualClock) {
    HandClock clock;
    platform::ScopedClock installed(clock);
    std::unique_ptr<d2xx::Driver> driver = sim::CreatePeopleScenarioDriver();
    d2xx::Driver& d = *driver;
    DWORD count = 0;
    ASSERT_EQ(d.ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    EXPECT_EQ(count, 1u);
    char description[FT_DESCRIPTION_SIZE];
    ASSERT_EQ(d.ListDevices(nullptr, description, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
              FT_OK);
    EXPECT_STREQ(description, "Interface de mesure (simulée)");
    FT_HANDLE h = nullptr;
    ASSERT_EQ(d.OpenEx(description, FT_OPEN_BY_DESCRIPTION, &h), FT_OK);

    auto send = [&](Bytes frame) {
        DWORD written = 0;
        EXPECT_EQ(d.Write(h, frame.data(), static_cast<DWORD>(frame.size()), &written), FT_OK);
    };
    auto waiting = [&] {
        DWORD n = 0;
        EXPECT_EQ(d.GetQueueStatus(h, &n), FT_OK);
        return n;
    };
    send(Frame({0xE1}));
    send(Frame({0xE5}));
    for (int i = 0; i < 1000; ++i) // polls cost nothing on this clock
        waiting();
    EXPECT_EQ(clock.Now, 123456);
    EXPECT_EQ(waiting(), 0u);
    clock.Now += 2099;
    EXPECT_EQ(waiting(), 0u);
    clock.Now += 1;
    EXPECT_EQ(waiting(), 4u);
    Bytes answer(4);
    DWORD read = 0;
    d.Read(h, answer.data(), 4, &read);
    EXPECT_EQ(answer, (Bytes{0x55, 1, 0x55, 1}));

    // The oscilloscope's default sweep: trigger at 512, rising, on voie 1,
    // 0.5 ms per sample. The 47 Hz sine with its noise fires within one
    // period; the whole answer comes 95 samples and its transfer later.
    send(simtest::BlockFrame(0, 5, 128, 1, 512, 0));
    const int64_t sent = clock.Now;
    while (waiting() < 381u && clock.Now - sent < 100000)
        clock.Now += 100;
    EXPECT_GE(clock.Now - sent, 94 * 500 + 200);
    ASSERT_EQ(waiting(), 381u);
    Bytes block(381);
    d.Read(h, block.data(), 381, &read);
    auto sample = [&](int k, int ch) {
        return block[4 * k - 3 + 2 * ch] | block[4 * k - 2 + 2 * ch] << 8;
    };
    // Just past a rising crossing of 512: one step of the sine and the noise.
    EXPECT_GE(sample(1, 0), 512);
    EXPECT_LE(sample(1, 0), 560);
    EXPECT_GE(sample(1, 1), 690); // 90 degrees ahead: near its crest
    int low = 1023, high = 0;
    for (int k = 1; k <= 95; ++k) {
        low = std::min(low, sample(k, 0));
        high = std::max(high, sample(k, 0));
    }
    EXPECT_NEAR(low, 212, 4);
    EXPECT_NEAR(high, 812, 4);
    EXPECT_EQ(d.Close(h), FT_OK);
}

// With an oxygen probe asked for on voie 2: its memory, a steady count near
// 700, and the memory writes kept in the probe (read back by the next memory
// read). Voie 1 keeps its voltage sensor.
TEST(PeopleScenario, AnOxygenProbeOnVoie2KeepsWhatIsWrittenIntoIt) {
    const struct {
        const char* Choice;
        const sim::MemoryImage* Memory;
    } cases[] = {
        {"oxymetre", &sim::FixtureC}, {"oxymetre-mgl", &sim::FixtureM}, {"autre", &sim::FixtureA}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Choice);
        HandClock clock;
        platform::ScopedClock installed(clock);
        std::unique_ptr<d2xx::Driver> driver = sim::CreatePeopleScenarioDriver(c.Choice);
        d2xx::Driver& d = *driver;
        char description[FT_DESCRIPTION_SIZE];
        ASSERT_EQ(d.ListDevices(nullptr, description, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
                  FT_OK);
        FT_HANDLE h = nullptr;
        ASSERT_EQ(d.OpenEx(description, FT_OPEN_BY_DESCRIPTION, &h), FT_OK);
        // One exchange: the frame, then the whole answer of `length` bytes.
        auto exchange = [&](Bytes frame, size_t length) {
            DWORD written = 0;
            EXPECT_EQ(d.Write(h, frame.data(), static_cast<DWORD>(frame.size()), &written), FT_OK);
            clock.Now += 100000;
            Bytes answer(length);
            DWORD read = 0;
            EXPECT_EQ(d.Read(h, answer.data(), static_cast<DWORD>(length), &read), FT_OK);
            EXPECT_EQ(read, length);
            return answer;
        };
        EXPECT_EQ(exchange(Frame({0xEE, 0}), 127), MemoryAnswer(sim::FixtureA));
        EXPECT_EQ(exchange(Frame({0xEE, 1}), 127), MemoryAnswer(*c.Memory));
        if (c.Memory == &sim::FixtureA)
            continue;
        for (int i = 0; i < 20; ++i) {
            const Bytes raw = exchange(Frame({0xAA}), 5);
            EXPECT_NEAR(raw[3] | raw[4] << 8, 700, 1);
        }
        EXPECT_EQ(exchange(Frame({0xE6, 39, '0'}), 1), Bytes{0x55});
        EXPECT_EQ(exchange(Frame({0xE6, 40, '2'}), 1), Bytes{0x55});
        sim::MemoryImage written = *c.Memory;
        written[38] = '0';
        written[39] = '2';
        EXPECT_EQ(exchange(Frame({0xEE, 1}), 127), MemoryAnswer(written));
        EXPECT_EQ(d.Close(h), FT_OK);
    }
}

} // namespace
