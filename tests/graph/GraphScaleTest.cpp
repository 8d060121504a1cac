// The graph's arithmetic: font and margins, graduation steps, the time grid
// and its labels, scales and origins, pixel mapping, bar widths, the period
// readout and pale colours.
#include "graph/Graph.h"
#include "model/TimeBase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

using namespace workbench;

namespace {

template <std::size_t N> void SetShort(ShortString<N>& field, const char* text) {
    field.Length = static_cast<uint8_t>(std::strlen(text));
    std::memcpy(field.Text, text, field.Length);
}

std::unique_ptr<MeasurementSet> Record(float top, float bottom, int measureCount, int deltaT) {
    auto record = std::make_unique<MeasurementSet>();
    std::memset(record.get(), 0, sizeof(MeasurementSet));
    record->MeasureCount = measureCount;
    record->DeltaTIndex = static_cast<uint8_t>(deltaT);
    for (int s = 0; s < MaxSeries; ++s)
        for (int c = 0; c < ChannelCount; ++c) {
            record->DisplayMax[s][c] = top;
            record->DisplayMin[s][c] = bottom;
            SetShort(record->SeriesUnit[s][c], c == 0 ? "\xB0"
                                                        "C"
                                                      : "V");
            SetShort(record->SeriesLabel[s][c], c == 0 ? "temp\xE9rature" : "tension");
        }
    return record;
}

TEST(GraphScaleTest, FontHeightAndMarginsFollowTheRectangle) {
    struct Case {
        int h, font;
    };
    for (const Case c : {Case{320, 11}, Case{640, 20}, Case{0, 11}, Case{383, 11}, Case{384, 12},
                         Case{3508, 109}}) {
        EXPECT_EQ(PlotFontHeight(c.h), c.font) << c.h;
        TBitmap bitmap(10, 10);
        bitmap.Canvas().Font.Name = "Arial";
        GraphState state;
        state.LineScale = 2;
        SetPlotSize(bitmap.Canvas(), 700, c.h, state);
        EXPECT_EQ(bitmap.Canvas().Font.Height, c.font);
        EXPECT_EQ(state.PlotWidth, 700);
        EXPECT_EQ(state.PlotHeight, c.h);
        EXPECT_EQ(state.MarginLeft, bitmap.Canvas().TextWidth("-2000.0") + 16);
        EXPECT_EQ(state.MarginBottom, c.font + 16);
    }
}

TEST(GraphScaleTest, ValueGraduationSteps) {
    struct Case {
        double range;
        const char* unit;
        double step;
        int decimals;
    };
    const Case cases[] = {
        {20, "V", 2, 0},    {100, "V", 10, 0},    {150, "V", 20, 0},    {250, "V", 20, 0},
        {350, "V", 40, 0},  {1000, "V", 100, 0},  {9.99, "V", 0.5, 1},  {10, "V", 1, 0},
        {4, "V", 0.25, 2},  {4.01, "V", 0.5, 1},  {1.5, "V", 0.1, 2},   {1.51, "V", 0.25, 2},
        {0.2, "V", 0.1, 2}, {20, "A", 0.05, 2},   {1000, "A", 0.05, 2}, {20, "mA", 2, 0},
        {20, "A ", 2, 0},   {5e30, "V", 5e29, 0},
    };
    for (const Case& c : cases) {
        const GraduationStep step = ValueGraduationStep(c.range, c.unit);
        EXPECT_DOUBLE_EQ(step.Step, c.step) << c.range << " " << c.unit;
        EXPECT_EQ(step.Decimals, c.decimals) << c.range << " " << c.unit;
    }
}

TEST(GraphScaleTest, TimeGridUnitAndLabels) {
    struct Case {
        int measureCount;
        int deltaT; // index into the interval table
        double grid;
        bool seconds;
        const char* labels[3];
    };
    const Case cases[] = {
        {95, 0, 0.5, false, {"5", "10", "15"}},        // 47.5 ms in all
        {30, 6, 12.5, false, {"125", "250", "375"}},   // 1500 ms
        {150, 11, 750, true, {"7,50", "15", "22,50"}}, // 75 s
        {39, 7, 25, true, {"0,25", "0,50", "0,75"}},   // 3900 ms
        {40, 7, 100, true, {"1", "2", "3"}},           // 4000 ms
        {140, 4, 10, false, {"100", "200", "300"}},    // 1400 ms
        {141, 4, 15, false, {"150", "300", "450"}},    // 1410 ms
        {200, 4, 15, false, {"150", "300", "450"}},    // exactly 2000 ms: still ms
        {20, 7, 25, false, {"250", "500", "750"}},     // 2000 ms
        {21, 7, 25, true, {"0,25", "0,50", "0,75"}},   // 2100 ms
    };
    for (const Case& c : cases) {
        const double timeBase = TimeBaseMs[c.deltaT];
        const double grid = TimeGridStepMs(c.measureCount, timeBase);
        const bool seconds = TimeAxisInSeconds(c.measureCount, timeBase);
        EXPECT_DOUBLE_EQ(grid, c.grid) << c.measureCount << " x " << timeBase;
        EXPECT_EQ(seconds, c.seconds) << c.measureCount << " x " << timeBase;
        const int msDecimals = TimeLabelDecimalsMs(grid);
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(TimeLabelText(k * 10 * grid, seconds, msDecimals), c.labels[k - 1])
                << c.measureCount << " x " << timeBase << " label " << k;
    }
    // Ten grid steps that are not a whole number of ms give one decimal.
    EXPECT_EQ(TimeLabelDecimalsMs(0.125), 1);
    EXPECT_EQ(TimeLabelText(1.25, false, 1), "1,3");
    EXPECT_EQ(TimeLabelText(2.5, false, 1), "2,5");
}

TEST(GraphScaleTest, TimeScalesOriginsAndTitles) {
    auto record = Record(10, -10, 95, 0);
    GraphState state;
    state.PlotWidth = 600;
    state.PlotHeight = 400;
    state.MarginLeft = 40;
    state.MarginBottom = 24;
    ASSERT_TRUE(ComputeTimeScales(0, state, *record));
    EXPECT_DOUBLE_EQ(state.ScaleX, 520 / 47.5);
    EXPECT_DOUBLE_EQ(state.ScaleY[0], 352 / 20.0);
    EXPECT_EQ(state.OriginY[0], 176 + 24);
    EXPECT_EQ(state.OriginX, 40);
    EXPECT_EQ(state.XAxisLabel, "temps [ms]");
    EXPECT_EQ(state.YAxisLabel[0], "temp\xC3\xA9rature [\xC2\xB0"
                                   "C]");
    EXPECT_EQ(state.TimeInSeconds, 0);

    // The display top on the top edge, the bottom on the bottom edge, with an
    // origin below the plot area; halves round to even.
    record->DisplayMax[0][1] = 10;
    record->DisplayMin[0][1] = 2;
    record->MeasureCount = 150;
    record->DeltaTIndex = 11;
    ASSERT_TRUE(ComputeTimeScales(1, state, *record));
    EXPECT_DOUBLE_EQ(state.ScaleY[1], 44);
    EXPECT_EQ(state.OriginY[1], 440 + 24);
    EXPECT_EQ(ValueToY(state, 1, 10), 24);
    EXPECT_EQ(ValueToY(state, 1, 2), 376);
    EXPECT_EQ(state.XAxisLabel, "temps [s]");
    EXPECT_EQ(state.TimeInSeconds, 1);
    EXPECT_EQ(state.YAxisLabel[1], "tension [V]");
    record->DisplayMax[0][1] = 0.5f;
    record->DisplayMin[0][1] = -0.5f;
    state.PlotHeight = 24 * 2 + 5; // ScaleY 5: the top 2.5 rounds to 2
    ASSERT_TRUE(ComputeTimeScales(1, state, *record));
    EXPECT_EQ(state.OriginY[1], 2 + 24);
}

TEST(GraphScaleTest, XYOriginUsesTheSignedLowerEnd) {
    struct Case {
        float bottom, top;
        int originX;
    };
    // Plot area 500 pixels wide from x = 40.
    const Case cases[] = {
        {-10, 10, 290}, {-5, 0, 540}, {0, 10, 40}, {2, 10, 40 - 125}, {-20, -10, 40 + 1000}};
    for (const Case& c : cases) {
        auto record = Record(10, -10, 95, 0);
        record->DisplayMin[1][1] = c.bottom;
        record->DisplayMax[1][1] = c.top;
        GraphState state;
        state.SelectedSeries = 2;
        state.PlotWidth = 580;
        state.PlotHeight = 400;
        state.MarginLeft = 40;
        state.MarginBottom = 24;
        state.ScaleY[1] = 7;
        state.YAxisLabel[1] = "kept";
        ASSERT_TRUE(ComputeXYScales(state, *record)) << c.bottom;
        EXPECT_EQ(state.OriginX, c.originX) << c.bottom << ".." << c.top;
        EXPECT_EQ(XYValueToX(state, c.bottom), 40) << c.bottom;
        EXPECT_EQ(XYValueToX(state, c.top), 540) << c.top;
        EXPECT_EQ(state.XAxisLabel, "tension [V]");
        EXPECT_EQ(state.ScaleY[1], 7);
        EXPECT_EQ(state.YAxisLabel[1], "kept");
    }
}

TEST(GraphScaleTest, NoScaleWithoutAValidRangeOrTimeBase) {
    struct Case {
        const char* what;
        float top, bottom;
        int measureCount, deltaT, width;
    };
    const float inf = INFINITY;
    const Case cases[] = {
        {"equal ends", 5, 5, 95, 0, 600},
        {"top below bottom", -5, 5, 95, 0, 600},
        {"NaN top", NAN, 0, 95, 0, 600},
        {"infinite bottom", 1, -inf, 95, 0, 600},
        {"no measurement", 10, -10, 0, 0, 600},
        {"interval beyond table", 10, -10, 95, 20, 600},
        {"plot narrower than margins", 10, -10, 95, 0, 80},
        {"origin beyond reach", 1.0e7f + 1, 1.0e7f, 95, 0, 600},
    };
    for (const Case& c : cases) {
        auto record = Record(c.top, c.bottom, c.measureCount, c.deltaT);
        GraphState state;
        state.PlotWidth = c.width;
        state.PlotHeight = 400;
        state.MarginLeft = 40;
        state.MarginBottom = 24;
        state.ScaleY[0] = 3;
        EXPECT_FALSE(ComputeTimeScales(0, state, *record)) << c.what;
        EXPECT_EQ(state.ScaleY[0], 3) << c.what;
        if (c.measureCount != 0 && c.deltaT != 20) {
            EXPECT_FALSE(ComputeXYScales(state, *record)) << c.what;
        }
    }
}

TEST(GraphScaleTest, PixelMappingAndInsideTest) {
    GraphState state;
    state.PlotWidth = 500;
    state.PlotHeight = 300;
    state.OriginX = 40;
    state.OriginY[0] = 150;
    state.ScaleX = 2.5;
    state.ScaleY[0] = 0.5;
    EXPECT_EQ(ValueToY(state, 0, OverRangeValue), 0);
    EXPECT_EQ(ValueToY(state, 0, UnderRangeValue), 300);
    EXPECT_EQ(ValueToY(state, 0, 3.0e11f), -PixelLimit);
    EXPECT_EQ(ValueToY(state, 0, 5), 148);  // 2.5 rounds to 2
    EXPECT_EQ(ValueToY(state, 0, 7), 146);  // 3.5 rounds to 4
    EXPECT_EQ(ValueToY(state, 0, -5), 152); // -2.5 rounds to -2
    EXPECT_EQ(ValueToY(state, 0, NAN), -PixelLimit);
    EXPECT_EQ(XYValueToX(state, OverRangeValue), 500);
    EXPECT_EQ(XYValueToX(state, UnderRangeValue), 0);
    EXPECT_EQ(XYValueToX(state, 1), 42); // 2.5 rounds to 2
    EXPECT_EQ(TimeToX(state, 0.6), 42);  // 1.5 rounds to 2
    EXPECT_EQ(TimeToX(state, 1e300), PixelLimit);
    for (auto [y, inside] :
         {std::pair{1, false}, std::pair{2, true}, std::pair{298, true}, std::pair{299, false},
          std::pair{0, false}, std::pair{-5, false}, std::pair{300, false}})
        EXPECT_EQ(IsInsidePlot(state, y), inside) << y;
}

TEST(GraphScaleTest, BarWidths) {
    auto record = Record(10, -10, 95, 2); // 2 ms interval
    GraphState state;
    state.ScaleX = 1.5;
    const float times[] = {0, 10, 13, 20};
    record->PointCount[0] = 4;
    for (int k = 0; k < 4; ++k)
        record->PointTime[0][k] = times[k];
    EXPECT_EQ(BarWidth(state, *record, 1, 1), 15);
    EXPECT_EQ(BarWidth(state, *record, 1, 2), 4);  // 4.5 rounds to 4
    EXPECT_EQ(BarWidth(state, *record, 1, 3), 10); // 10.5 rounds to 10
    EXPECT_EQ(BarWidth(state, *record, 1, 4), 10); // the last takes the one before
    record->PointCount[0] = 1;
    EXPECT_EQ(BarWidth(state, *record, 1, 1), 3); // a lone point: one interval
}

TEST(GraphScaleTest, PeriodReadoutAndPaleColours) {
    EXPECT_EQ(PeriodText(12.5, false), "T = 12,5 ms");
    EXPECT_EQ(FrequencyText(12.5), "f = 80 Hz");
    EXPECT_EQ(PeriodText(2500, true), "T = 2,50 s");
    EXPECT_EQ(FrequencyText(2500), "f = 0,400 Hz");
    EXPECT_EQ(FrequencyText(100), "f = 10,0 Hz");
    EXPECT_EQ(FrequencyText(500), "f = 2,00 Hz");
    EXPECT_EQ(PeriodText(0, false), "T = 0,0 ms");
    EXPECT_EQ(FrequencyText(0), "");

    EXPECT_EQ(PaleColor(0x00CCAACC), 0x00EEAAEEu);
    EXPECT_EQ(PaleColor(0x000000AA), 0x00AAAAAAu);
    EXPECT_EQ(PaleColor(0x0000AA00), 0x00AAAAAAu);
    EXPECT_EQ(MarkerSizeFactor(500), 1);
    EXPECT_EQ(MarkerSizeFactor(959), 1);
    EXPECT_EQ(MarkerSizeFactor(1000), 2);
    EXPECT_EQ(MarkerSizeFactor(10), 1);
}

} // namespace
