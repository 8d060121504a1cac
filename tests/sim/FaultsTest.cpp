// Fault injection: answer faults per command kind and scope, driver-call
// faults, device loss, listing faults, stray bytes, a second device.
#include "SimHost.h"

#include "d2xx/sim/fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

namespace {

using simtest::Bytes;
using simtest::Frame;
using simtest::Host;

struct AnswerFaultCase {
    const char* Name;
    std::function<void(sim::FaultPlan&)> Arm;
    Bytes Sent;
    Bytes Expected;  // everything received within 3 s
    int64_t ReadyUs; // when the answer starts arriving (-1: never)
    sim::FrameOutcome Outcome;
};

TEST(Faults, AnswerFaultsAlterTheTargetedAnswers) {
    using sim::Command;
    Bytes memoryA{0x55};
    memoryA.insert(memoryA.end(), sim::FixtureA.begin(), sim::FixtureA.end());
    const int64_t t = 1100; // frames sent at 1 ms
    const AnswerFaultCase cases[] = {
        {"no answer",
         [](auto& f) { f.NoAnswer(Command::E1); },
         Frame({0xE1}),
         {},
         -1,
         sim::FrameOutcome::Dropped},
        {"no answer for another kind",
         [](auto& f) { f.NoAnswer(Command::E5); },
         Frame({0xE1}),
         {0x55, 1},
         t + 2000,
         sim::FrameOutcome::Answered},
        {"late memory answer", [](auto& f) { f.LateAnswer(1500, Command::EE); }, Frame({0xEE, 0}),
         memoryA, t + 15000 + 1500000, sim::FrameOutcome::Answered},
        {"garbage status on the raw pair",
         [](auto& f) { f.GarbageStatus(0xAA, Command::AA); },
         Frame({0xAA}),
         {0xAA, 0x00, 0x02, 0x00, 0x00},
         t + 1000,
         sim::FrameOutcome::Answered},
        {"garbage status for any command",
         [](auto& f) { f.GarbageStatus(0x00, Command::Any); },
         Frame({0xE1}),
         {0x00, 1},
         t + 2000,
         sim::FrameOutcome::Answered},
        {"truncated memory answer",
         [](auto& f) { f.TruncatedAnswer(3, Command::EE); },
         Frame({0xEE, 0}),
         {0x55, 0x20, 0x20},
         t + 15000,
         sim::FrameOutcome::Answered},
        {"extra bytes after a presence answer",
         [](auto& f) { f.ExtraBytes(3, Command::E1); },
         Frame({0xE1}),
         {0x55, 1, 0xA5, 0xA5, 0xA5},
         t + 2000,
         sim::FrameOutcome::Answered},
        {"presence byte",
         [](auto& f) { f.PresenceByte(2, Command::E1); },
         Frame({0xE1}),
         {0x55, 2},
         t + 2000,
         sim::FrameOutcome::Answered},
        {"write refused",
         [](auto& f) { f.WriteProtect(sim::WriteProtectMode::Nak); },
         Frame({0xE3, 1, 0x41}),
         {0x00},
         t + 5000,
         sim::FrameOutcome::Answered},
        {"write acknowledged but not stored",
         [](auto& f) { f.WriteProtect(sim::WriteProtectMode::Silent); },
         Frame({0xE3, 1, 0x41}),
         {0x55},
         t + 5000,
         sim::FrameOutcome::Answered},
        {"unanswered write still stored",
         [](auto& f) { f.NoAnswer(Command::E3E6); },
         Frame({0xE3, 1, 0x41}),
         {},
         -1,
         sim::FrameOutcome::Dropped},
        {"unanswered block",
         [](auto& f) { f.NoAnswer(Command::C0); },
         simtest::BlockFrame(0, 5, 128, 1, 0, 0),
         {},
         -1,
         sim::FrameOutcome::Dropped},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        sim::SimRig rig;
        rig.Device().Transfer = sim::TransferMode::Whole;
        rig.Plug(0, sim::FixtureA, sim::Generator::Dc(512));
        c.Arm(rig.Faults());
        Host host(rig);
        host.SendAt(1000, c.Sent);
        if (c.ReadyUs >= 0) {
            rig.Clock().AdvanceToUs(c.ReadyUs - 1);
            EXPECT_EQ(host.Poll(), 0u);
            rig.Clock().AdvanceToUs(c.ReadyUs);
            EXPECT_EQ(host.Poll(), c.Expected.size());
        }
        EXPECT_EQ(host.ReadAllAt(sim::Ms(3000)), c.Expected);
        ASSERT_EQ(rig.Log().Frames().size(), 1u);
        EXPECT_EQ(rig.Log().Frames()[0].Outcome, c.Outcome);
        if (c.Outcome == sim::FrameOutcome::Dropped) {
            EXPECT_EQ(rig.Log().Frames()[0].Reason, "NoAnswer");
        }
    }
}

TEST(Faults, WriteFaultsDecideWhatIsStored) {
    struct Case {
        std::function<void(sim::FaultPlan&)> Arm;
        uint8_t Stored;
    };
    const Case cases[] = {
        {[](auto&) {}, 0x41},
        {[](auto& f) { f.NoAnswer(sim::Command::E3); }, 0x41},
        {[](auto& f) { f.WriteProtect(sim::WriteProtectMode::Nak); }, sim::FixtureA[0]},
        {[](auto& f) { f.WriteProtect(sim::WriteProtectMode::Silent); }, sim::FixtureA[0]},
    };
    for (const auto& c : cases) {
        sim::SimRig rig;
        rig.Plug(0, sim::FixtureA);
        c.Arm(rig.Faults());
        Host host(rig);
        host.Send(Frame({0xE3, 1, 0x41}));
        rig.AdvanceMs(10);
        EXPECT_EQ(rig.Memory(0)[0], c.Stored);
    }
}

TEST(Faults, ScopesLimitWhichFramesAreHit) {
    sim::SimRig rig;
    rig.Plug(0, sim::FixtureA);
    rig.Faults().NoAnswer(sim::Command::E1, sim::Scope::Next(2));
    rig.Faults().GarbageStatus(0x00, sim::Command::E5,
                               sim::Scope::Window(sim::Ms(100), sim::Ms(200)));
    Host host(rig);
    struct Step {
        int64_t AtMs;
        uint8_t Code;
        Bytes Answer;
    };
    const Step steps[] = {
        {10, 0xE1, {}},         {20, 0xE1, {}},         {30, 0xE1, {0x55, 1}},
        {40, 0xE1, {0x55, 1}},  {90, 0xE5, {0x55, 0}},  {100, 0xE5, {0x00, 0}},
        {190, 0xE5, {0x00, 0}}, {200, 0xE5, {0x55, 0}},
    };
    for (const auto& step : steps) {
        // The window is judged on T, 0.1 ms after the write.
        host.SendAt(sim::Ms(step.AtMs) - 100, Frame({step.Code}));
        EXPECT_EQ(host.ReadAllAt(sim::Ms(step.AtMs) + 3000), step.Answer) << step.AtMs << " ms";
    }
}

TEST(Faults, DriverCallFaults) {
    sim::SimRig rig;
    rig.Plug(0, sim::FixtureA);
    sim::FaultPlan& faults = rig.Faults();
    Host host(rig);
    uint8_t e1[] = {0x01, 0xE1, 0xE0};
    uint8_t c0[] = {0x08, 0xC0, 0x00, 0x05, 0x80, 0x01, 0x00, 0x02, 0x00, 0x4E};

    // Write fails for presence frames only, once.
    faults.WriteFails(sim::Command::E1, sim::Scope::Next(1));
    DWORD n = 99;
    EXPECT_EQ(FT_Write(host.Handle, e1, 3, &n), FT_IO_ERROR);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(FT_Write(host.Handle, e1, 3, &n), FT_OK);
    EXPECT_EQ(n, 3u);
    rig.AdvanceMs(5);

    // A failed poll leaves the count unwritten; a failed read moves nothing.
    faults.PollFails(sim::Command::Any, sim::Scope::Next(1));
    n = 99;
    EXPECT_EQ(FT_GetQueueStatus(host.Handle, &n), FT_IO_ERROR);
    EXPECT_EQ(n, 99u);
    faults.ReadFails(sim::Command::E1, sim::Scope::Next(1));
    uint8_t buffer[400];
    EXPECT_EQ(FT_Read(host.Handle, buffer, 2, &n), FT_IO_ERROR);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(host.Poll(), 2u);
    faults.ResetFails(sim::Scope::Next(1));
    faults.PurgeFails(sim::Scope::Next(1));
    EXPECT_EQ(FT_ResetDevice(host.Handle), FT_IO_ERROR);
    EXPECT_EQ(FT_Purge(host.Handle, FT_PURGE_RX), FT_IO_ERROR);
    EXPECT_EQ(host.Poll(), 2u);
    EXPECT_EQ(FT_Purge(host.Handle, FT_PURGE_RX), FT_OK);
    EXPECT_EQ(host.Poll(), 0u);

    // A short write of a block frame: the parser drops the partial frame
    // after 20 ms and recovers on the next frame.
    faults.ShortWrite(4, sim::Command::C0, sim::Scope::Next(1));
    EXPECT_EQ(FT_Write(host.Handle, c0, 10, &n), FT_OK);
    EXPECT_EQ(n, 4u);
    rig.AdvanceMs(25);
    EXPECT_EQ(host.Send(Frame({0xE1})), 3u);
    EXPECT_EQ(host.ReadAllAt(rig.NowUs() + 3000), (Bytes{0x55, 1}));
    EXPECT_EQ(rig.Log().ExpectFrames({"01 E1 E0", "08 C0 00 05", "01 E1 E0"}), "");
    EXPECT_EQ(rig.Log().Frames()[1].Reason, "gap");
}

TEST(Faults, DeviceGoneAndBack) {
    sim::SimRig rig;
    rig.Plug(0, sim::FixtureA);
    rig.Faults().DeviceGone(sim::Ms(100));
    rig.Faults().DeviceBack(sim::Ms(200));
    Host host(rig);
    host.SendAt(sim::Ms(99) - 100, simtest::BlockFrame(0, 5, 128, 1, 0, 0));
    rig.Clock().AdvanceToUs(sim::Ms(99) + 550);
    EXPECT_TRUE(rig.Device().BlockPending());
    host.SendAt(sim::Ms(99) + 950, Frame({0xE1})); // still in flight at the loss

    rig.Clock().AdvanceToUs(sim::Ms(100));
    DWORD n = 42;
    EXPECT_EQ(FT_GetQueueStatus(host.Handle, &n), FT_IO_ERROR);
    EXPECT_EQ(n, 42u);
    uint8_t e1[] = {0x01, 0xE1, 0xE0};
    EXPECT_EQ(FT_Write(host.Handle, e1, 3, &n), FT_IO_ERROR);
    EXPECT_EQ(n, 0u);
    DWORD count = 9;
    EXPECT_EQ(FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    EXPECT_EQ(count, 0u);
    FT_HANDLE other = nullptr;
    EXPECT_EQ(FT_OpenEx(const_cast<char*>(sim::DefaultDescription), FT_OPEN_BY_DESCRIPTION, &other),
              FT_DEVICE_NOT_FOUND);
    EXPECT_FALSE(rig.Device().Opened());
    EXPECT_FALSE(rig.Device().BlockPending());
    EXPECT_EQ(rig.Log().ExpectFrames({"08 C0 00 05 80 01 00 00 00 4C"}), "");
    EXPECT_EQ(rig.Log().Frames()[0].Reason, "gone");

    rig.Clock().AdvanceToUs(sim::Ms(200));
    EXPECT_EQ(FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(FT_GetQueueStatus(host.Handle, &n), FT_IO_ERROR); // the old handle stays dead
    Host again(rig);
    EXPECT_EQ(again.Poll(), 0u); // nothing from before the loss
    again.Send(Frame({0xE1}));
    EXPECT_EQ(again.ReadAllAt(sim::Ms(210)), (Bytes{0x55, 1}));
    EXPECT_EQ(FT_Close(host.Handle), FT_OK);
    EXPECT_TRUE(rig.Device().Opened());
}

TEST(Faults, ListingAndOpeningFaults) {
    struct Case {
        const char* Name;
        std::function<void(sim::FaultPlan&)> Arm;
        FT_STATUS Count, Describe, Open;
    };
    const Case cases[] = {
        {"none", [](auto&) {}, FT_OK, FT_OK, FT_OK},
        {"list", [](auto& f) { f.ListFails(); }, FT_IO_ERROR, FT_OK, FT_OK},
        {"description", [](auto& f) { f.DescriptionFails(); }, FT_OK, FT_DEVICE_NOT_FOUND, FT_OK},
        {"open", [](auto& f) { f.OpenFails(); }, FT_OK, FT_OK, FT_DEVICE_NOT_OPENED},
        {"busy", [](auto& f) { f.Busy(); }, FT_OK, FT_OK, FT_DEVICE_NOT_OPENED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        sim::SimRig rig;
        c.Arm(rig.Faults());
        DWORD count = 77;
        EXPECT_EQ(FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), c.Count);
        EXPECT_EQ(count, c.Count == FT_OK ? 1u : 77u);
        char description[FT_DESCRIPTION_SIZE] = "";
        EXPECT_EQ(FT_ListDevices(nullptr, description, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
                  c.Describe);
        FT_HANDLE handle = nullptr;
        EXPECT_EQ(
            FT_OpenEx(const_cast<char*>(sim::DefaultDescription), FT_OPEN_BY_DESCRIPTION, &handle),
            c.Open);
        EXPECT_EQ(rig.Device().Opened(), c.Open == FT_OK);
    }
}

TEST(Faults, LongDescriptionsFitTheDriverBuffer) {
    for (int length : {49, 50, 63, 64, 100}) {
        SCOPED_TRACE(length);
        sim::SimRig rig;
        rig.Faults().LongDescription(length);
        char description[FT_DESCRIPTION_SIZE + 8];
        std::memset(description, 'Z', sizeof description);
        ASSERT_EQ(FT_ListDevices(nullptr, description, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
                  FT_OK);
        std::size_t expected = static_cast<std::size_t>(std::min(length, 63));
        EXPECT_EQ(std::strlen(description), expected);
        EXPECT_EQ(description[FT_DESCRIPTION_SIZE], 'Z');
        EXPECT_EQ(std::string(description).rfind("Interface de mesure (simul", 0), 0u);
        FT_HANDLE handle = nullptr;
        EXPECT_EQ(FT_OpenEx(description, FT_OPEN_BY_DESCRIPTION, &handle), FT_OK);
        // The first 49 characters alone do not name it.
        if (length > 49) {
            description[49] = 0;
            FT_Close(handle);
            EXPECT_EQ(FT_OpenEx(description, FT_OPEN_BY_DESCRIPTION, &handle), FT_DEVICE_NOT_FOUND);
        }
    }
}

TEST(Faults, StrayByteEntersTheQueueAtItsTime) {
    sim::SimRig rig;
    rig.Faults().StrayByte(sim::Ms(50), 0x3C);
    Host host(rig);
    rig.Clock().AdvanceToUs(sim::Ms(50) - 1);
    EXPECT_EQ(host.Poll(), 0u);
    EXPECT_EQ(host.ReadAllAt(sim::Ms(50)), (Bytes{0x3C}));
}

TEST(Faults, SecondDeviceIsListedButNeverSpokenTo) {
    sim::SimRig rig;
    sim::SimDevice& second = rig.AddDevice("Autre interface");
    rig.Plug(0, sim::FixtureA);
    DWORD count = 0;
    EXPECT_EQ(FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    EXPECT_EQ(count, 2u);
    char description[FT_DESCRIPTION_SIZE];
    EXPECT_EQ(FT_ListDevices(reinterpret_cast<void*>(1), description,
                             FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
              FT_OK);
    EXPECT_STREQ(description, "Autre interface");
    Host host(rig);
    host.Send(Frame({0xE1}));
    EXPECT_EQ(host.ReadAllAt(sim::Ms(5)), (Bytes{0x55, 1}));
    EXPECT_EQ(rig.Log().Count(sim::Command::Any), 1);
    EXPECT_EQ(second.Log().Count(sim::Command::Any), 0);
    EXPECT_FALSE(second.Opened());
}

} // namespace
