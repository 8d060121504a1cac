// The oscilloscope's build of the link: double-precision tables, no rounding.
#include "LinkFixture.h"

#include <cmath>
#include <type_traits>
#include <utility>

using namespace tampon;

namespace {

static_assert(std::is_same_v<TamponReal, double>);

class LinkScope : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        PresetTables();
    }
};

TEST_F(LinkScope, IdentifiesInDoublePrecision) {
    Rig.Plug(0, sim::FixtureA);
    Rig.Plug(1, sim::FixtureD);
    ASSERT_TRUE(IdentifySensor(0));
    ASSERT_TRUE(IdentifySensor(1));
    EXPECT_EQ(ChannelSlope[0], static_cast<double>(20.0L / 1023));
    EXPECT_EQ(StoredSlope[0], ChannelSlope[0]);
    EXPECT_EQ(RangeRawLow[0], 0);
    EXPECT_EQ(RangeRawHigh[0], 1023);
    EXPECT_EQ(RangeRawLow[1], 101);
    EXPECT_EQ(RangeRawHigh[1], 920);
    EXPECT_EQ(ChannelName[0], "Voltmètre -10 V / +10 V");
}

TEST_F(LinkScope, SamplesAreNotRounded) {
    Rig.Plug(0, sim::FixtureA, sim::Generator::Sequence({511, 512, 0, 1023}));
    Rig.Plug(1, sim::FixtureB, sim::Generator::Sequence({98, 101, 102, 270, 19, 20, 980, 981}));
    ASSERT_TRUE(IdentifySensor(0));
    ASSERT_TRUE(IdentifySensor(1));
    EXPECT_EQ(ChannelSlope[1], 0.125);
    EXPECT_EQ(ChannelOffset[1], -12.5);
    SampleBlock block{};
    ASSERT_EQ(AcquireBlock(5, 128, 1, 0, 0, 0, block), LinkResult::Answered);
    const float channel0[] = {-0.00977517106f, 0.00977517106f, -10.0f, 10.0f};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(block[0][k], channel0[k]) << k;
    const float channel1[] = {-0.25f,          0.125f, 0.25f,  21.25f,
                              UnderRangeValue, -10.0f, 110.0f, OverRangeValue};
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(block[1][k], channel1[k]) << k;
}

TEST_F(LinkScope, UncalibratedSensorReadsRawCounts) {
    Rig.Plug(0, sim::FixtureU);
    ASSERT_TRUE(IdentifySensor(0));
    EXPECT_FALSE(SensorCalibrated[0]);
    for (int raw : {0, 1, 512, 1023})
        EXPECT_EQ(ConvertRawCount(0, raw), static_cast<float>(raw));
    EXPECT_EQ(ConvertRawCount(0, 1024), OverRangeValue);
}

// Calibration numbers that double precision holds but single precision does
// not (converted values are single precision): the sensor reads raw counts,
// told once per memory content, as in the workbench; no value converts to an
// infinite one.
TEST_F(LinkScope, CalibrationBeyondSinglePrecisionReadsRawCounts) {
    const std::pair<const char*, sim::MemoryImage> memories[] = {
        {"high value 1E39", sim::fixture_detail::With(sim::FixtureA, 43, "      1,0E39")},
        {"low value -1E39", sim::fixture_detail::With(sim::FixtureA, 27, "     -1,0E39")},
        {"range top 2,090E+061", sim::fixture_detail::With(sim::FixtureA, 67, "  2,090E+061")},
        {"range bottom -3,5E38", sim::fixture_detail::With(sim::FixtureA, 55, "     -3,5E38")},
    };
    size_t told = 0;
    for (const auto& [what, memory] : memories) {
        SCOPED_TRACE(what);
        Dialogs().Answer(platform::ModalResult::Ok, "étalonnage illisible");
        Rig.Replace(0, memory);
        for (int watch = 0; watch < 2; ++watch) {
            ASSERT_TRUE(IdentifySensor(0));
            EXPECT_FALSE(SensorCalibrated[0]);
            EXPECT_EQ(ChannelSlope[0], 1.0);
            EXPECT_EQ(ChannelOffset[0], 0.0);
            EXPECT_EQ(RangeRawLow[0], 0);
            EXPECT_EQ(RangeRawHigh[0], 1023);
        }
        EXPECT_EQ(Boxes().size(), ++told);
        for (int raw : {0, 512, 1023})
            EXPECT_EQ(ConvertRawCount(0, raw), static_cast<float>(raw));
    }
    // Large numbers that single precision still holds are a calibration.
    Rig.Replace(
        0, sim::fixture_detail::With(sim::fixture_detail::With(sim::FixtureA, 43, "      1,0E30"),
                                     67, "      2,0E30"));
    ASSERT_TRUE(IdentifySensor(0));
    EXPECT_TRUE(SensorCalibrated[0]);
    EXPECT_TRUE(std::isfinite(ConvertRawCount(0, 1023)));
    EXPECT_EQ(Boxes().size(), told);
}

} // namespace
