#include "LinkFixture.h"

#include <bit>
#include <functional>

using namespace tampon;

namespace {

class LinkConvert : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        PresetTables();
    }

    static void SetTables(int ch, float slope, float offset, int decimals, int rawLow = -100000,
                          int rawHigh = 100000) {
        ChannelSlope[ch] = slope;
        ChannelOffset[ch] = offset;
        ChannelDecimals[ch] = decimals;
        RangeRawLow[ch] = rawLow;
        RangeRawHigh[ch] = rawHigh;
    }
};

TEST_F(LinkConvert, OutOfRangeValuesAsHeld) {
    EXPECT_EQ(std::bit_cast<uint32_t>(OverRangeValue), 0x542E9F7Cu);
    EXPECT_EQ(std::bit_cast<uint32_t>(UnderRangeValue), 0xD42E9F7Cu);
    EXPECT_EQ(static_cast<double>(OverRangeValue), 3000000053248.0);
}

TEST_F(LinkConvert, UncalibratedChannelReadsEveryCountAsItself) {
    ResetCalibration(0);
    ChannelDecimals[0] = 0;
    for (int raw = 0; raw <= 1023; ++raw)
        ASSERT_EQ(ConvertRawCount(0, raw), static_cast<float>(raw)) << raw;
    EXPECT_EQ(ConvertRawCount(0, -1), UnderRangeValue);
    EXPECT_EQ(ConvertRawCount(0, 1024), OverRangeValue);
    EXPECT_EQ(ConvertRawCount(0, 65535), OverRangeValue);
}

TEST_F(LinkConvert, RangeLimitsAndRoundingToTheSensorDecimals) {
    struct Case {
        float Slope, Offset;
        int Decimals, RawLow, RawHigh, Raw;
        float Value;
    };
    const Case cases[] = {
        {0.125f, 0, 2, 0, 1023, 1, 0.13f},       // 0.125 half away from zero
        {0.125f, -0.25f, 2, 0, 1023, 1, -0.13f}, // -0.125
        {0.5f, 0, 0, 0, 1023, 5, 3.0f},          // 2.5
        {0.5f, -5, 0, 0, 1023, 5, -3.0f},        // -2.5
        {0.1f, 0, 1, 0, 1023, 3, 0.3f},
        {1, 0, 0, 100, 900, 100, 100.0f}, // the limits themselves convert
        {1, 0, 0, 100, 900, 900, 900.0f},
        {1, 0, 0, 100, 900, 99, UnderRangeValue},
        {1, 0, 0, 100, 900, 901, OverRangeValue},
        {1e6f, 0, 2, 0, 1023, 1000, 1e9f}, // beyond 8 integer digits
        // At most 8 significant digits, even when the decimals allow more:
        // 1000.00006103515625 is written "1000,0001".
        {1, 1000.00006f, 9, 0, 1023, 0, 1000.00012f},
        // Nine integer digits: "1,0000002E8" reads back as another single.
        {1, 100000024.0f, 2, 0, 1023, 0, 100000016.0f},
    };
    for (const auto& c : cases) {
        SetTables(0, c.Slope, c.Offset, c.Decimals, c.RawLow, c.RawHigh);
        EXPECT_EQ(ConvertRawCount(0, c.Raw), c.Value)
            << c.Slope << " x " << c.Raw << " + " << c.Offset << ", " << c.Decimals << " places";
    }
}

TEST_F(LinkConvert, BlockSamplesInTimeOrderChannelZeroFirst) {
    Rig.Plug(0, sim::FixtureU, sim::Generator::Indexed([](int64_t n) { return double(n); }));
    Rig.Plug(1, sim::FixtureU, sim::Generator::Indexed([](int64_t n) { return 1000.0 - n; }));
    ASSERT_TRUE(IdentifySensor(0));
    ASSERT_TRUE(IdentifySensor(1));
    SampleBlock block{};
    const double start = NowMs();
    ASSERT_EQ(AcquireBlock(5, 128, 1, 0, 0, 0, block), LinkResult::Answered);
    // 94 intervals of 0.5 ms, then the 381 bytes in 62-byte pieces.
    EXPECT_GE(NowMs() - start, 47.0);
    EXPECT_LT(NowMs() - start, 60.0);
    for (int k = 0; k < BlockSampleCount; ++k) {
        ASSERT_EQ(block[0][k], float(k + 1)) << k;
        ASSERT_EQ(block[1][k], float(1000 - (k + 1))) << k;
    }
}

TEST_F(LinkConvert, BlockSamplesAreConvertedAndRounded) {
    Rig.Plug(0, sim::FixtureB, sim::Generator::Sequence({19, 20, 98, 270, 981}));
    Rig.Plug(1, sim::FixtureA, sim::Generator::Raw16(1024));
    ASSERT_TRUE(IdentifySensor(0));
    ASSERT_TRUE(IdentifySensor(1));
    SampleBlock block{};
    ASSERT_EQ(AcquireBlock(5, 128, 2, 0, 0, 0, block), LinkResult::Answered);
    const float expected[] = {UnderRangeValue, -10.0f, -0.3f, 21.3f, OverRangeValue};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(block[0][k], expected[k]) << k;
    EXPECT_EQ(block[0][94], OverRangeValue);
    EXPECT_EQ(block[1][0], OverRangeValue);
}

TEST_F(LinkConvert, ReadChannelsConvertsOneReadingOfBoth) {
    Rig.Plug(0, sim::FixtureA, sim::Generator::Dc(511));
    Rig.Plug(1, sim::FixtureB, sim::Generator::Dc(270));
    ASSERT_TRUE(IdentifySensor(0));
    ASSERT_TRUE(IdentifySensor(1));
    ValuePair values{};
    const int64_t start = Rig.NowUs();
    ASSERT_EQ(ReadChannels(values), LinkResult::Answered);
    EXPECT_EQ(values, (ValuePair{-0.01f, 21.3f}));
    EXPECT_EQ(Rig.Log().ExpectFrames({"01 AA AB"}, start), "");
}

// Each channel zeroes on its own input: the two steady inputs differ, and
// only the adjusted channel's working offset changes.
class ZeroAdjustment : public LinkConvert, public ::testing::WithParamInterface<int> {};

TEST_P(ZeroAdjustment, MakesTheSteadyInputOfItsChannelReadZero) {
    const int ch = GetParam();
    const int other = 1 - ch;
    const int counts[2] = {512, 256};
    Rig.Plug(0, sim::FixtureA, sim::Generator::Dc(counts[0]));
    Rig.Plug(1, sim::FixtureA, sim::Generator::Dc(counts[1]));
    ASSERT_TRUE(IdentifySensor(0));
    ASSERT_TRUE(IdentifySensor(1));
    ChannelSlope[0] = ChannelSlope[1] = 0.02f;
    const float otherOffset = ChannelOffset[other];
    const int64_t start = Rig.NowUs();
    LinkResult result = LinkResult::NoAnswer;
    const float offset = ZeroChannel(ch, &result);
    EXPECT_EQ(result, LinkResult::Answered);
    EXPECT_EQ(offset, -0.02f * static_cast<float>(counts[ch]));
    EXPECT_EQ(ChannelOffset[ch], offset);
    EXPECT_EQ(ConvertRawCount(ch, counts[ch]), 0.0f);
    EXPECT_EQ(ChannelOffset[other], otherOffset);
    EXPECT_EQ(Rig.Log().FramesHexSince(start), std::vector<std::string>(25, "01 AA AB"));
    EXPECT_GE(Rig.NowUs() - start, sim::Ms(250));
    // Only the working offset changes.
    EXPECT_EQ(ChannelSlope[ch], 0.02f);
    EXPECT_EQ(StoredOffset[ch], -10.0f);
    EXPECT_EQ(RangeRawLow[ch], 0);
    EXPECT_EQ(RangeRawHigh[ch], 1023);
}

INSTANTIATE_TEST_SUITE_P(EachChannel, ZeroAdjustment, ::testing::Values(0, 1));

TEST_F(LinkConvert, ZeroAdjustmentSumsAndScalesInSinglePrecision) {
    // Four readings of 513 then 512: a mean of 512.16. In single precision
    // the offset is -10.0129023; in double it would be -10.0129032.
    Rig.Plug(0, sim::FixtureA, sim::Generator::Sequence({513, 513, 513, 513, 512}));
    ASSERT_TRUE(IdentifySensor(0));
    ASSERT_EQ(ChannelSlope[0], 0.0195503421f);
    EXPECT_EQ(ZeroChannel(0), -10.0129023f);
    EXPECT_EQ(ChannelOffset[0], -10.0129023f);
}

TEST_F(LinkConvert, ZeroAdjustmentWithoutAnswerKeepsTheOffset) {
    Rig.Plug(0, sim::FixtureA, sim::Generator::Dc(512));
    ASSERT_TRUE(IdentifySensor(0));
    Rig.Faults().NoAnswer(sim::Command::AA, sim::Scope::Window(Rig.NowUs() + sim::Ms(100),
                                                               Rig.NowUs() + sim::Ms(5000)));
    LinkResult result = LinkResult::Answered;
    EXPECT_EQ(ZeroChannel(0, &result), -10.0f);
    EXPECT_EQ(result, LinkResult::NoAnswer);
    EXPECT_EQ(ChannelOffset[0], -10.0f);
    ASSERT_TRUE(IdentifySensor(0));
    EXPECT_EQ(ChannelOffset[0], -10.0f) << "no zero remembered";
}

} // namespace
