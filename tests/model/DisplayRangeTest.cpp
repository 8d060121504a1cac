// The range buttons' arithmetic: the step table and the four moves in the
// time and XY modes, without a window.
#include "model/DisplayRange.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

using namespace workbench;

namespace {

TEST(ScaleStep, TableBoundariesAndRounding) {
    struct Case {
        double Range;
        double Step;
    };
    const Case cases[] = {
        {0.0, 0},       {-20.0, 0},   {0.04, 0},    {0.05, 0}, // 0.5 tenth: to even 0
        {0.06, 0.025},  {0.1, 0.025}, {0.5, 0.025}, {0.54, 0.025}, {0.55, 0.05},
        {0.6, 0.05},    {1.0, 0.05},  {1.04, 0.05}, {1.05, 0.05}, // 10.5: to even 10
        {1.1, 0.1},     {5.0, 0.1},   {10.0, 0.1},  {10.1, 0.5},   {20.0, 0.5},
        {50.0, 0.5},    {50.1, 1},    {100.0, 1},   {100.1, 5},    {500.0, 5},
        {500.1, 10},    {1000.0, 10}, {1000.1, 50}, {1023.0, 50},  {10000.0, 50},
        {10000.04, 50}, {10000.1, 0}, {1e30, 0},    {INFINITY, 0}, {NAN, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleStep(c.Range), c.Step) << "range " << c.Range;
    // The small steps are the nearest doubles of their decimals.
    EXPECT_EQ(ScaleStep(0.5), 0.025);
    EXPECT_EQ(ScaleStep(1.0), 0.05);
}

class DisplayRangeTest : public ::testing::Test {
protected:
    // Series 2, channel 1, with a sensor range and a displayed range.
    void Set(float sensorBottom, float sensorTop, float bottom, float top) {
        Record->SensorMin[1][1] = sensorBottom;
        Record->SensorMax[1][1] = sensorTop;
        Record->DisplayMin[1][1] = bottom;
        Record->DisplayMax[1][1] = top;
    }
    bool Click(RangeMove move, bool xy) { return MoveDisplayRange(*Record, 2, 1, xy, move); }
    float Top() const { return Record->DisplayMax[1][1]; }
    float Bottom() const { return Record->DisplayMin[1][1]; }

    std::unique_ptr<MeasurementSet> Record = std::make_unique<MeasurementSet>();
};

TEST_F(DisplayRangeTest, TopComesDownToOneStepAboveTheBottomAndNoFurther) {
    Set(-10, 10, -10, 10);
    for (int i = 0; i < 39; ++i)
        EXPECT_TRUE(Click(RangeMove::LowerTop, false));
    EXPECT_EQ(Top(), -9.5f);
    // The 40th: -10 + 0.5 is not below -9.5; still repainted.
    EXPECT_TRUE(Click(RangeMove::LowerTop, false));
    EXPECT_EQ(Top(), -9.5f);
    // The bottom's up half: -9.5 is not below the top, so top minus a step.
    EXPECT_TRUE(Click(RangeMove::RaiseBottom, false));
    EXPECT_EQ(Bottom(), -10.0f);
    EXPECT_EQ(Top(), -9.5f);
}

TEST_F(DisplayRangeTest, OutwardMovesStopAtTheSensorRangeAndRepaintOnlyWhenMoving) {
    // Sensor 0 to 1023: step 50.
    Set(0, 1023, 100, 1000);
    EXPECT_TRUE(Click(RangeMove::RaiseTop, false));
    EXPECT_EQ(Top(), 1023.0f); // 1050 is cut to the sensor's top
    EXPECT_FALSE(Click(RangeMove::RaiseTop, false));
    EXPECT_EQ(Top(), 1023.0f);
    EXPECT_TRUE(Click(RangeMove::LowerBottom, false));
    EXPECT_EQ(Bottom(), 50.0f);
    EXPECT_TRUE(Click(RangeMove::LowerBottom, true));
    EXPECT_EQ(Bottom(), 0.0f);
    EXPECT_FALSE(Click(RangeMove::LowerBottom, true));
    EXPECT_EQ(Bottom(), 0.0f);
}

TEST_F(DisplayRangeTest, XYModeKeepsTheTopAboveZeroAndTheBottomAtOrBelowZero) {
    Set(-10, 10, -10, 0.3f);
    EXPECT_TRUE(Click(RangeMove::LowerTop, true));
    EXPECT_EQ(Top(), 0.5f); // 0.3 - 0.5 is not above 0: the top becomes the step
    Set(-10, 10, -0.2f, 10);
    EXPECT_TRUE(Click(RangeMove::RaiseBottom, true));
    EXPECT_EQ(Bottom(), 0.0f);
    EXPECT_TRUE(Click(RangeMove::RaiseBottom, true));
    EXPECT_EQ(Bottom(), 0.0f);
    // In the time modes the same clicks follow the bottom instead.
    Set(-10, 10, -10, 0.3f);
    Click(RangeMove::LowerTop, false);
    EXPECT_EQ(Top(), static_cast<float>(double(0.3f) - 0.5));
}

TEST_F(DisplayRangeTest, NoClickEmptiesOrInvertsARange) {
    // A sensor wholly above zero shown on an XY graph: the top comes down to
    // one step above the bottom and stops there; the bottom cannot rise.
    Set(20, 100, 20, 100); // step 1
    for (int i = 0; i < 200; ++i)
        Click(RangeMove::LowerTop, true);
    EXPECT_EQ(Top(), 21.0f);
    EXPECT_EQ(Bottom(), 20.0f);
    // Wholly below zero: the bottom rises to one step below the top.
    Set(-100, -20, -100, -20);
    for (int i = 0; i < 200; ++i)
        Click(RangeMove::RaiseBottom, true);
    EXPECT_EQ(Bottom(), -21.0f);
    EXPECT_EQ(Top(), -20.0f);

    // Far from zero the single-precision values (1/16 apart here) are
    // coarser than the step (0.05): the limits stop instead of meeting.
    Set(1e6f, 1e6f + 1, 1e6f, 1e6f + 0.0625f);
    for (const bool xy : {false, true})
        for (const RangeMove move : {RangeMove::LowerTop, RangeMove::RaiseBottom})
            for (int i = 0; i < 5; ++i) {
                Click(move, xy);
                EXPECT_LT(Bottom(), Top());
            }
}

TEST_F(DisplayRangeTest, AZeroStepChangesNothing) {
    Set(0, 0.04f, 0.01f, 0.03f);
    for (const bool xy : {false, true})
        for (const RangeMove move : {RangeMove::LowerTop, RangeMove::RaiseTop,
                                     RangeMove::LowerBottom, RangeMove::RaiseBottom}) {
            Click(move, xy);
            EXPECT_EQ(Top(), 0.03f);
            EXPECT_EQ(Bottom(), 0.01f);
        }
}

TEST_F(DisplayRangeTest, EachClickIsComputedInDoubleAndStoredAsSingle) {
    // Sensor 0 to 1: step 0.05, whose double is not a single.
    Set(0, 1, 0, 1);
    for (int i = 0; i < 10; ++i)
        Click(RangeMove::LowerTop, false);
    // Each step rounded to single: not 0.5, as double all along would give.
    EXPECT_EQ(Top(), 0x1.fffff8p-2f);
    for (int i = 0; i < 10; ++i)
        Click(RangeMove::RaiseTop, false);
    EXPECT_EQ(Top(), 1.0f); // the last step is cut at the sensor's top
}

TEST_F(DisplayRangeTest, OtherSeriesAndChannelsAreLeftAlone) {
    std::memset(Record.get(), 0, sizeof *Record);
    Set(-10, 10, -10, 10);
    Record->DisplayMax[1][0] = 7;
    Record->DisplayMax[0][1] = 7;
    Click(RangeMove::LowerTop, false);
    EXPECT_EQ(Top(), 9.5f);
    EXPECT_EQ(Record->DisplayMax[1][0], 7.0f);
    EXPECT_EQ(Record->DisplayMax[0][1], 7.0f);
    EXPECT_FALSE(MoveDisplayRange(*Record, 5, 0, false, RangeMove::LowerTop));
    EXPECT_FALSE(MoveDisplayRange(*Record, 1, 2, false, RangeMove::LowerTop));
}

} // namespace
