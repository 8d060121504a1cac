#include "LinkFixture.h"

#include <cstring>
#include <vector>

using namespace tampon;

namespace {

// Driver access before any opening.
class LinkDriverAccess : public LinkTest {
protected:
    void SetUp() override {}
};

TEST_F(LinkDriverAccess, CountIsZeroWithoutDeviceAndMinusOneOnDriverFailure) {
    EXPECT_EQ(GetDeviceCount(), 1);
    EXPECT_EQ(DeviceCount, 1);
    Rig.Bus().Faults().ListFails(sim::Scope::Next());
    EXPECT_EQ(GetDeviceCount(), -1) << "never the stale count";
    Rig.Device().Disconnect();
    EXPECT_EQ(GetDeviceCount(), 0);
}

TEST_F(LinkDriverAccess, TheFirstListedOfTwoDevicesIsOpened) {
    Rig.AddDevice("Autre interface");
    ASSERT_EQ(GetDeviceCount(), 2);
    OpenInterfaceAsStartUpDoes();
    EXPECT_STREQ(DescriptionBuffer, sim::DefaultDescription);
    EXPECT_TRUE(Rig.Device(0).Opened());
    EXPECT_FALSE(Rig.Device(1).Opened());
    Rig.Plug(0, sim::FixtureA);
    EXPECT_TRUE(IdentifySensor(0));
    EXPECT_EQ(Rig.Device(1).Log().Count(sim::Command::Any), 0);
}

TEST_F(LinkDriverAccess, OpeningOpensTheFirstDescriptionThenResetsTwice100MsApart) {
    Rig.Faults().DescriptionFails(sim::Scope::Next());
    size_t before = Rig.Log().Api().size();
    EXPECT_EQ(OpenFirstInterface(), OpenOutcome::NoDescription);
    EXPECT_EQ(Rig.Log().Api().size(), before + 1) << "nothing after a failed description";
    EXPECT_FALSE(Rig.Device().Opened());

    Rig.Faults().OpenFails(sim::Scope::Next());
    EXPECT_EQ(OpenFirstInterface(), OpenOutcome::OpenFailed);
    EXPECT_EQ(Rig.Log().Api().back().Call, sim::ApiCall::OpenEx) << "no reset after a failed open";

    before = Rig.Log().Api().size();
    const int64_t start = Rig.NowUs();
    EXPECT_EQ(OpenFirstInterface(), OpenOutcome::Opened);
    EXPECT_GE(Rig.NowUs() - start, sim::Ms(200));
    EXPECT_LT(Rig.NowUs() - start, sim::Ms(201));
    const std::vector<sim::ApiRecord> calls(Rig.Log().Api().begin() + before,
                                            Rig.Log().Api().end());
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].Call, sim::ApiCall::ListDevices);
    EXPECT_EQ(calls[0].Arg1, 0u);
    EXPECT_EQ(calls[1].Call, sim::ApiCall::OpenEx);
    EXPECT_EQ(calls[1].Text, sim::DefaultDescription);
    EXPECT_EQ(calls[2].Call, sim::ApiCall::ResetDevice);
    EXPECT_EQ(calls[3].Call, sim::ApiCall::ResetDevice);
    EXPECT_GE(calls[3].TimeUs - calls[2].TimeUs, sim::Ms(100));
    EXPECT_LT(calls[3].TimeUs - calls[2].TimeUs, sim::Ms(101));
    EXPECT_TRUE(Rig.Device().Opened());
    EXPECT_EQ(Rig.Log().Count(sim::Command::Any), 0) << "no frame is sent by the opening";
}

TEST_F(LinkDriverAccess, DescriptionIsCutTo49Characters) {
    struct Case {
        int Length;
        size_t Used;
    };
    for (Case c : {Case{20, 20}, Case{49, 49}, Case{50, 49}, Case{63, 49}}) {
        Rig.Faults().LongDescription(c.Length);
        std::memset(DescriptionBuffer, 'x', sizeof DescriptionBuffer);
        ASSERT_EQ(GetDeviceDescription(0), FT_OK);
        EXPECT_EQ(std::strlen(DescriptionBuffer), c.Used) << c.Length;
        EXPECT_EQ(std::string(DescriptionBuffer),
                  Rig.Device().ReportedDescription().substr(0, c.Used));
    }
    // A description of exactly 49 characters opens the device.
    Rig.Faults().LongDescription(49);
    ASSERT_EQ(GetDeviceDescription(0), FT_OK);
    EXPECT_EQ(OpenInterface(DescriptionBuffer), FT_OK);
}

TEST_F(LinkDriverAccess, FailuresComeBackAsStatusesAndZeroCounts) {
    Rig.Faults().DescriptionFails(sim::Scope::Next());
    EXPECT_NE(GetDeviceDescription(0), FT_OK);
    EXPECT_NE(GetDeviceDescription(5), FT_OK);
    OpenInterfaceAsStartUpDoes();

    const int32_t length = BuildCommand(0xE1, nullptr, 0);
    Rig.Faults().WriteFails(sim::Command::Any, sim::Scope::Next());
    EXPECT_EQ(SendCommand(length), 0);
    EXPECT_EQ(SendCommand(length), 3);
    Sleep(20);
    ASSERT_EQ(PollQueue(), FT_OK);
    ASSERT_EQ(RxQueueCount, 2u);
    Rig.Faults().PollFails(sim::Command::Any, sim::Scope::Next());
    EXPECT_NE(PollQueue(), FT_OK);
    EXPECT_EQ(RxQueueCount, 0u) << "a failed poll counts no waiting byte";
    Rig.Faults().ReadFails(sim::Command::Any, sim::Scope::Next());
    EXPECT_EQ(ReceiveAnswer(2), 0);
    EXPECT_EQ(ReceiveAnswer(2), 2);
    EXPECT_EQ(AnswerBuffer[0], 0x55);
    EXPECT_EQ(CloseInterface(), FT_OK);
    EXPECT_FALSE(Rig.Device().Opened());
}

} // namespace

namespace {

TEST(LinkWithoutDriver, ExchangesEndEvenOnAClockThatNeverMoves) {
    ResetLinkState();
    platform::VirtualClock frozen;
    platform::ScopedClock use(frozen);
    EXPECT_EQ(GetDeviceCount(), 0);
    RawPair raw{1, 2};
    EXPECT_EQ(ReadRawPair(raw), LinkResult::NoAnswer);
    EXPECT_EQ(raw, (RawPair{1, 2}));
    ResetLinkState();
}

} // namespace
