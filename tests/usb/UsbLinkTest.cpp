// The link over the real driver path: libusb, libftdi1 and the libftdi
// backend, unchanged, against FT232R chips emulated at the USB level (the
// process runs under umockdev-wrapper), with the simulated interface's device
// answering the frames on the virtual clock.
#include "Ft232rEmulator.h"
#include "blocktable.h"
#include "tampon.h"

#include "ScriptedDialogsFixture.h"
#include "core/Clock.h"
#include "d2xx/ftdi/FtdiDriver.h"
#include "d2xx/sim/fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

using namespace tampon;
using usbtest::ChipSetup;
using usbtest::Ft232rChip;

namespace {

constexpr uint8_t RequestReset = 0x00;
constexpr uint8_t RequestBaudRate = 0x03;
constexpr uint8_t RequestSetLatency = 0x09;

class UsbLink : public ::testing::Test {
protected:
    UsbLink() { ResetLinkState(); }
    ~UsbLink() override {
        d2xx::SetDriver(nullptr);
        ResetLinkState();
    }
    void SetUp() override {
        if (!usbtest::UsbBed::Available())
            GTEST_SKIP() << "not running under umockdev-wrapper";
        if (OnVirtualClock())
            InstalledClock.emplace(Time);
        Bed = std::make_unique<usbtest::UsbBed>();
        Driver = std::make_unique<d2xx::FtdiDriver>();
        d2xx::SetDriver(Driver.get());
    }
    void TearDown() override {
        d2xx::SetDriver(nullptr);
        Driver.reset(); // closes what is still open before the chips go
        Bed.reset();
        InstalledClock.reset();
    }
    virtual bool OnVirtualClock() const { return true; }

    // One chip with sensors A and B plugged, opened as the start-up opens it.
    Ft232rChip& OpenOneChip() {
        Ft232rChip& chip = Bed->AddChip();
        chip.Device().Plug(0, sim::FixtureA);
        chip.Device().Plug(1, sim::FixtureB);
        EXPECT_EQ(GetDeviceCount(), 1);
        EXPECT_EQ(OpenFirstInterface(), OpenOutcome::Opened);
        return chip;
    }

    platform::VirtualClock Time;
    std::optional<platform::ScopedClock> InstalledClock;
    ScriptedDialogsGuard Guard;
    std::unique_ptr<usbtest::UsbBed> Bed;
    std::unique_ptr<d2xx::FtdiDriver> Driver;
};

TEST_F(UsbLink, EveryFtdiDeviceIsListedInBusOrderWhateverItsProductId) {
    ChipSetup stock;
    stock.Product = "Interface B";
    stock.SysName = "1-3";
    stock.Address = 5;
    ChipSetup own = stock;
    own.Product = "Interface A";
    own.ProductId = 0xE0D8; // an interface's own product id
    own.SysName = "1-1";
    own.Address = 7;
    ChipSetup other = stock;
    other.Product = "Souris";
    other.VendorId = 0x046D;
    other.SysName = "1-2";
    other.Address = 6;
    Bed->AddChip(stock);
    Bed->AddChip(other);
    Bed->AddChip(own);

    ASSERT_EQ(GetDeviceCount(), 2);
    ASSERT_EQ(GetDeviceDescription(0), FT_OK);
    EXPECT_STREQ(DescriptionBuffer, "Interface A");
    ASSERT_EQ(GetDeviceDescription(1), FT_OK);
    EXPECT_STREQ(DescriptionBuffer, "Interface B");
    EXPECT_EQ(GetDeviceDescription(2), FT_DEVICE_NOT_FOUND);
}

TEST_F(UsbLink, TheOpeningSetsTheChipUpAndTheCloseGivesTheSerialDriverBack) {
    Ft232rChip& chip = OpenOneChip();
    usbtest::ChipEvents seen = chip.Events();
    EXPECT_EQ(seen.Claims, 1);
    EXPECT_EQ(seen.KernelDetaches, 1);
    EXPECT_EQ(seen.KernelReattaches, 0);
    EXPECT_EQ(seen.LatencyMs, 2);
    for (uint8_t request : {RequestReset, RequestBaudRate, RequestSetLatency})
        EXPECT_NE(std::find(seen.Requests.begin(), seen.Requests.end(), request),
                  seen.Requests.end())
            << "request " << int(request);

    EXPECT_EQ(CloseInterface(), FT_OK);
    seen = chip.Events();
    EXPECT_EQ(seen.KernelReattaches, 1);
}

TEST_F(UsbLink, EveryExchangeOfTheLinkGoesThroughTheRealDriver) {
    Ft232rChip& chip = OpenOneChip();
    chip.Device().SetGenerator(0, sim::Generator::Dc(512));
    chip.Device().SetGenerator(1, sim::Generator::Dc(270));
    for (int ch = 0; ch < 2; ++ch) {
        RangeHigh[ch] = StoredRangeHigh[ch] = 10;
        RangeLow[ch] = StoredRangeLow[ch] = -10;
    }

    // Presence queries and memory reads.
    LinkResult result = LinkResult::NoAnswer;
    ASSERT_TRUE(IdentifySensor(0, &result));
    EXPECT_EQ(result, LinkResult::Answered);
    ASSERT_TRUE(IdentifySensor(1, &result));
    EXPECT_NE(ChannelName[0].find("Voltmètre -10 V / +10 V"), std::string::npos);
    EXPECT_TRUE(std::equal(SensorImage[1], SensorImage[1] + SensorMemorySize,
                           chip.Device().Memory(1).begin()));

    // The raw pair.
    RawPair raw{};
    ASSERT_EQ(ReadRawPair(raw), LinkResult::Answered);
    EXPECT_EQ(raw, (RawPair{512, 270}));

    // A memory byte written and acknowledged.
    ASSERT_EQ(WriteSensorByte(0, 126, 'R'), LinkResult::Answered);
    EXPECT_EQ(chip.Device().Memory(0)[125], 'R');
    EXPECT_TRUE(Guard.Dialogs.Messages().empty());
}

// An answer that came after its bound waits in the chip; the purge before the
// next request (libftdi's flush of what waits for the host) drops it, so the
// next reading is the new one.
TEST_F(UsbLink, ALateAnswerIsDroppedByThePurgeBeforeTheNextRequest) {
    Ft232rChip& chip = OpenOneChip();
    chip.Device().SetGenerator(0, sim::Generator::Sequence({100, 300}));
    chip.Device().SetGenerator(1, sim::Generator::Sequence({200, 400}));
    chip.Device().Faults().LateAnswer(700, sim::Command::AA, sim::Scope::Next(1));
    RawPair raw{1, 2};
    EXPECT_EQ(ReadRawPair(raw), LinkResult::NoAnswer);
    EXPECT_EQ(raw, (RawPair{1, 2}));
    Sleep(400); // the late answer is now in the chip
    ASSERT_EQ(ReadRawPair(raw), LinkResult::Answered);
    EXPECT_EQ(raw, (RawPair{300, 400}));
}

// Blocks at the six rows the block loops send, samples counted on each
// channel so that any byte lost or misplaced across the USB packets shows.
class UsbBlocks : public UsbLink, public ::testing::WithParamInterface<int> {};

TEST_P(UsbBlocks, ABlockArrivesWholeAcrossThePackets) {
    Ft232rChip& chip = OpenOneChip();
    chip.Device().SetGenerator(0, sim::Generator::Indexed([](int64_t n) { return n % 1000; }));
    chip.Device().SetGenerator(1,
                               sim::Generator::Indexed([](int64_t n) { return 1000 - n % 1000; }));
    ResetCalibration(0);
    ResetCalibration(1);

    const int row = GetParam();
    SampleBlock block{};
    const int64_t start = Time.NowUs();
    ASSERT_EQ(AcquireBlock(BlockCodeA[row], BlockCodeB[row], BlockCodeC[row], 0, 0, 0, block),
              LinkResult::Answered);
    const float first = block[0][0];
    for (int k = 0; k < BlockSampleCount; ++k) {
        EXPECT_EQ(block[0][k], first + static_cast<float>(k)) << "sample " << k;
        EXPECT_EQ(block[1][k], 1000 - (first + static_cast<float>(k))) << "sample " << k;
    }
    // The answer came in the block's own time, not after a time-out.
    const double tookMs = static_cast<double>(Time.NowUs() - start) / 1000.0;
    EXPECT_GE(tookMs, 94 * TimeBaseMs[row]);
    EXPECT_LT(tookMs, 95 * TimeBaseMs[row] + 30);
    // The answer crossed several packets in one transfer at least.
    const usbtest::ChipEvents seen = chip.Events();
    EXPECT_GT(*std::max_element(seen.InLengths.begin(), seen.InLengths.end()), 64);
}

INSTANTIATE_TEST_SUITE_P(Rows, UsbBlocks, ::testing::Range(0, FastTimeBaseCount));

TEST_F(UsbLink, AnInterfaceUnpluggedDuringABlockEndsItWithNoAnswer) {
    Ft232rChip& chip = OpenOneChip();
    ResetCalibration(0);
    ResetCalibration(1);
    chip.UnplugAt(Time.NowUs() + 20'000);
    SampleBlock block{};
    block[0][0] = 7;
    const int64_t start = Time.NowUs();
    EXPECT_EQ(AcquireBlock(BlockCodeA[5], BlockCodeB[5], BlockCodeC[5], 0, 0, 0, block),
              LinkResult::NoAnswer);
    EXPECT_EQ(block[0][0], 7) << "the output is left untouched";
    EXPECT_TRUE(InterfaceSilent());
    // Within the block's bound (95 x 20 ms + 1 s) and one presence try that
    // tells a silent interface from a lost block.
    EXPECT_LE(Time.NowUs() - start, (95 * 20 + 1000 + 200) * 1000);

    chip.Unplug();
    EXPECT_EQ(GetDeviceCount(), 0);
}

TEST_F(UsbLink, ABusyInterfaceIsReportedWithItsReason) {
    Ft232rChip& chip = Bed->AddChip();
    chip.SetBusy(true);
    ASSERT_EQ(GetDeviceCount(), 1);
    EXPECT_EQ(OpenFirstInterface(), OpenOutcome::OpenFailed);
    EXPECT_EQ(OpenFailureMessage(),
              "Port  non ouvert\r\npériphérique occupé par un autre programme.");
}

TEST_F(UsbLink, AnInterfaceGoneBetweenListingAndOpeningIsSaidUnplugged) {
    Ft232rChip& chip = Bed->AddChip();
    ASSERT_EQ(GetDeviceCount(), 1);
    chip.UnplugAt(0); // still listed, no longer answering
    EXPECT_EQ(OpenFirstInterface(), OpenOutcome::NoDescription);
    EXPECT_EQ(InterfaceFailureReason(), "périphérique débranché");
}

// linkcheck, the program, against an emulated interface: the chip's handler
// in this process answers the child's USB requests, both on the real clock.
class UsbLinkcheck : public UsbLink {
protected:
    bool OnVirtualClock() const override { return false; }
};

TEST_F(UsbLinkcheck, ReadsEverythingFromTheInterface) {
    Ft232rChip& chip = Bed->AddChip();
    chip.Device().Plug(0, sim::FixtureA);
    chip.Device().SetGenerator(0, sim::Generator::Dc(512));
    FILE* pipe = popen(LINKCHECK_PATH " 2>&1", "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char line[512];
    while (std::fgets(line, sizeof line, pipe))
        output += line;
    const int status = pclose(pipe);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("Interfaces : 1 ; ouverture de « Interface de mesure »"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("Voltmètre -10 V / +10 V"), std::string::npos) << output;
    EXPECT_NE(output.find("Voie 2 : pas de capteur"), std::string::npos) << output;
    EXPECT_NE(output.find("Bloc \"0,5 ms\""), std::string::npos) << output;
}

} // namespace
