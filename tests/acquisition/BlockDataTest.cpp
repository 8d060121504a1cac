// Storing a block as a series, the manual means and the manual points, on a
// record without a window.
#include "BlockData.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace tampon;

namespace {

using workbench::MeasurementSet;

SampleBlock Ramp(float start0, float start1) {
    SampleBlock block{};
    for (int k = 0; k < BlockSampleCount; ++k) {
        block[0][static_cast<size_t>(k)] = start0 + static_cast<float>(k);
        block[1][static_cast<size_t>(k)] = start1 - static_cast<float>(k);
    }
    return block;
}

struct TimesCase {
    double StepMs;
    float LastTime; // point 95
};

class StoreBlockTimes : public ::testing::TestWithParam<TimesCase> {};

TEST_P(StoreBlockTimes, PointsDatedByRepeatedSteps) {
    MeasurementSet record{};
    record.PointCount[1] = 7;
    const SampleBlock block = Ramp(1, 500);
    double elapsed = 123; // whatever it was before
    workbench::StoreBlock(record, 2, block, GetParam().StepMs, elapsed);

    EXPECT_EQ(record.PointCount[1], 95);
    EXPECT_EQ(record.PointTime[1][0], 0.0f);
    EXPECT_EQ(record.PointTime[1][1], static_cast<float>(GetParam().StepMs));
    EXPECT_EQ(record.PointTime[1][94], GetParam().LastTime);
    EXPECT_EQ(record.PointValue[1][0][0], 1.0f);
    EXPECT_EQ(record.PointValue[1][0][94], 95.0f);
    EXPECT_EQ(record.PointValue[1][1][94], 406.0f);
    EXPECT_DOUBLE_EQ(elapsed, 95 * GetParam().StepMs);
    // Nothing beyond the block, nor in the other series.
    EXPECT_EQ(record.PointTime[1][95], 0.0f);
    EXPECT_EQ(record.PointCount[0], 0);
    EXPECT_EQ(record.PointValue[0][0][0], 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Intervals, StoreBlockTimes,
                         ::testing::Values(TimesCase{0.5, 47.0f}, TimesCase{1, 94.0f},
                                           TimesCase{20, 1880.0f}));

TEST(StoreBlock, SeriesOutsideTheRecordChangesNothing) {
    MeasurementSet record{};
    MeasurementSet before{};
    double elapsed = 0;
    workbench::StoreBlock(record, 0, Ramp(1, 1), 0.5, elapsed);
    workbench::StoreBlock(record, 5, Ramp(1, 1), 0.5, elapsed);
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
}

TEST(ManualMeans, EveryTenthSampleFromTheFirst) {
    // Samples 1, 11, ... 91 of a ramp 1..95 average 46; the other samples do
    // not count (a spike at sample 2 changes nothing).
    SampleBlock block = Ramp(1, 1000);
    block[0][1] = 5000;
    block[1][94] = -5000;
    const workbench::ManualMeans means = workbench::BlockManualMeans(block);
    EXPECT_EQ(means.Y1, 46.0f);
    EXPECT_EQ(means.Y2, 955.0f);
}

TEST(ManualMeans, OutOfRangeSamplesCountAsTheyAre) {
    SampleBlock block{};
    block[0][30] = 3.0e12f;
    const workbench::ManualMeans means = workbench::BlockManualMeans(block);
    EXPECT_FLOAT_EQ(means.Y1, 3.0e11f);
    EXPECT_EQ(workbench::ManualMeanText(2.5f, 2, "V"), "2,50 V");
    EXPECT_EQ(workbench::ManualMeanText(-0.25f, 1, "°C"), "-0,3 °C");
}

TEST(ManualPoints, ValidationStopsAtTwoHundredPoints) {
    MeasurementSet record{};
    for (int n = 1; n <= 200; ++n)
        ASSERT_TRUE(workbench::ValidateManualPoint(record, 3, static_cast<float>(n), -1));
    EXPECT_FALSE(workbench::ValidateManualPoint(record, 3, 999, 999));
    EXPECT_EQ(record.XYPointCount[2], 200);
    EXPECT_EQ(record.ManualY1[2][199], 200.0f);
    EXPECT_EQ(record.ManualY1[3][0], 0.0f); // nothing spilled into series 4
}

TEST(ManualPoints, RevalidationReplacesTheLastPointOnly) {
    MeasurementSet record{};
    // No point yet: nothing to replace, nothing written.
    EXPECT_FALSE(workbench::RevalidateManualPoint(record, 2, 7, 8));
    MeasurementSet blank{};
    EXPECT_EQ(std::memcmp(&record, &blank, sizeof record), 0);

    workbench::ValidateManualPoint(record, 2, 1, 2);
    workbench::ValidateManualPoint(record, 2, 3, 4);
    EXPECT_TRUE(workbench::RevalidateManualPoint(record, 2, 7, 8));
    EXPECT_EQ(record.XYPointCount[1], 2);
    EXPECT_EQ(record.ManualY1[1][0], 1.0f);
    EXPECT_EQ(record.ManualY1[1][1], 7.0f);
    EXPECT_EQ(record.ManualY2[1][1], 8.0f);
}

} // namespace
