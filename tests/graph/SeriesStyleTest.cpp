// The series style rules (the "-"/"+" pairs, the shape button) and the
// style samples as pixels, without a window.
#include "graph/SeriesStyle.h"
#include "graph/Graph.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <memory>

using namespace workbench;

namespace {

TEST(SeriesStyle, StepPairsActOnTheTickedChannelsWithinTheirBounds) {
    // Values of channel 0 and channel 1: the width, or for the point size the
    // half width and half height.
    struct Values {
        int32_t A, B;
    };
    struct Case {
        const char* Name;
        StyleStep What;
        bool Up;
        CurveSwitch Switch0, Switch1;
        Values Before0, Before1, After0, After1;
    };
    const CurveSwitch none{false, false, false};
    const CurveSwitch line{false, true, false};
    const CurveSwitch points{false, false, true};
    const CurveSwitch both{true, true, true};
    const Case cases[] = {
        {"both lines +", StyleStep::CurveWidth, true, line, line, {5, 0}, {3, 0}, {5, 0}, {4, 0}},
        {"both lines -", StyleStep::CurveWidth, false, both, both, {1, 0}, {2, 0}, {1, 0}, {1, 0}},
        {"channel 1 line only",
         StyleStep::CurveWidth,
         true,
         points,
         line,
         {2, 0},
         {2, 0},
         {2, 0},
         {3, 0}},
        {"loaded width 7 +",
         StyleStep::CurveWidth,
         true,
         line,
         none,
         {7, 0},
         {2, 0},
         {7, 0},
         {2, 0}},
        {"loaded width 7 -",
         StyleStep::CurveWidth,
         false,
         line,
         none,
         {7, 0},
         {2, 0},
         {6, 0},
         {2, 0}},
        {"loaded width -3",
         StyleStep::CurveWidth,
         true,
         line,
         line,
         {-3, 0},
         {0, 0},
         {-2, 0},
         {1, 0}},
        {"loaded width -3 -",
         StyleStep::CurveWidth,
         false,
         line,
         line,
         {-3, 0},
         {0, 0},
         {-3, 0},
         {0, 0}},
        {"nothing ticked", StyleStep::CurveWidth, true, none, none, {2, 0}, {2, 0}, {2, 0}, {2, 0}},
        {"point +", StyleStep::PointSize, true, points, none, {4, 2}, {2, 2}, {4, 3}, {2, 2}},
        {"point -", StyleStep::PointSize, false, both, both, {1, 3}, {9, 4}, {1, 2}, {8, 3}},
        {"point, lines only",
         StyleStep::PointSize,
         true,
         line,
         line,
         {2, 2},
         {2, 2},
         {2, 2},
         {2, 2}},
        {"outline +",
         StyleStep::OutlineWidth,
         true,
         points,
         points,
         {2, 0},
         {3, 0},
         {3, 0},
         {3, 0}},
        {"outline -",
         StyleStep::OutlineWidth,
         false,
         points,
         points,
         {1, 0},
         {5, 0},
         {1, 0},
         {4, 0}},
        {"outline, channel 0",
         StyleStep::OutlineWidth,
         true,
         both,
         line,
         {1, 0},
         {1, 0},
         {2, 0},
         {1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        GraphStyle style;
        const Values before[2] = {c.Before0, c.Before1};
        const Values after[2] = {c.After0, c.After1};
        const CurveSwitch switches[2] = {c.Switch0, c.Switch1};
        // Series 3 is stepped; series 2 has every box ticked and must not move.
        for (int ch = 0; ch < 2; ++ch) {
            style.Switches[2][ch] = switches[ch];
            style.Switches[1][ch] = both;
            style.CurveWidth[2][ch] = style.PointStyle[2][ch].OutlineWidth = before[ch].A;
            style.PointStyle[2][ch].HalfWidth = before[ch].A;
            style.PointStyle[2][ch].HalfHeight = before[ch].B;
        }
        const GraphStyle untouched = style;
        StepSeriesStyle(style, 3, c.What, c.Up);
        for (int ch = 0; ch < 2; ++ch) {
            SCOPED_TRACE("channel " + std::to_string(ch));
            const TPointStyle& point = style.PointStyle[2][ch];
            const TPointStyle& old = untouched.PointStyle[2][ch];
            switch (c.What) {
            case StyleStep::CurveWidth:
                EXPECT_EQ(style.CurveWidth[2][ch], after[ch].A);
                EXPECT_EQ(point, old);
                break;
            case StyleStep::PointSize:
                EXPECT_EQ(point.HalfWidth, after[ch].A);
                EXPECT_EQ(point.HalfHeight, after[ch].B);
                EXPECT_EQ(point.OutlineWidth, old.OutlineWidth);
                EXPECT_EQ(style.CurveWidth[2][ch], untouched.CurveWidth[2][ch]);
                break;
            case StyleStep::OutlineWidth:
                EXPECT_EQ(point.OutlineWidth, after[ch].A);
                EXPECT_EQ(point.HalfWidth, old.HalfWidth);
                EXPECT_EQ(style.CurveWidth[2][ch], untouched.CurveWidth[2][ch]);
                break;
            }
            EXPECT_EQ(style.CurveWidth[1][ch], untouched.CurveWidth[1][ch]);
            EXPECT_EQ(style.PointStyle[1][ch], untouched.PointStyle[1][ch]);
        }
    }
}

TEST(SeriesStyle, ShapeButtonCyclesAndBringsOddValuesBack) {
    const std::pair<int32_t, int32_t> steps[] = {
        {0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 0}, {9, 0}, {-1, 0}, {INT32_MAX, 0}, {-7, -6},
    };
    for (const auto& [shape, next] : steps)
        EXPECT_EQ(NextPointShape(shape), next) << shape;
}

// A sample box drawn alone.
class StyleSampleTest : public ::testing::Test {
protected:
    static constexpr TColor Background = 0x00404040;
    static constexpr TColor Line = 0x000000C0;
    static constexpr TColor Outline = 0x00C00000;
    static constexpr TColor FillColour = 0x0000C000;

    void SetUp() override {
        Style.BackgroundColor = Background;
        Style.CurveColor[1][1] = Line;
        Style.CurveWidth[1][1] = 1;
        Style.PointStyle[1][1] = TPointStyle{0, 2, 2, FillColour, Outline, 1};
    }
    void Draw(CurveSwitch sw) {
        Style.Switches[1][1] = sw;
        Box.Canvas().Brush.Color = 0x00FFFFFF;
        Box.Canvas().FillRect(Rect(0, 0, SampleWidth, SampleHeight));
        DrawStyleSample(Box.Canvas(), 2, 1, Style, 1, 300);
    }
    TColor At(int x, int y) { return Box.Canvas().Pixels(x, y); }
    int Count(TColor colour) {
        int n = 0;
        for (int y = 0; y < SampleHeight; ++y)
            for (int x = 0; x < SampleWidth; ++x)
                n += At(x, y) == colour;
        return n;
    }

    GraphStyle Style;
    TBitmap Box{SampleWidth, SampleHeight};
};

TEST_F(StyleSampleTest, LineOnlyIsOneUnbrokenDiagonal) {
    Draw({false, true, false});
    EXPECT_EQ(At(0, 0), Line);
    EXPECT_EQ(At(7, 10), Line);
    EXPECT_EQ(At(13, 19), Line);
    // One pixel a row, each within one column of the row above.
    int previous = 0;
    for (int y = 0; y < SampleHeight; ++y) {
        int found = -1;
        for (int x = 0; x < SampleWidth; ++x)
            if (At(x, y) == Line)
                found = x;
        ASSERT_GE(found, 0) << "row " << y;
        EXPECT_LE(std::abs(found - previous), 1) << "row " << y;
        previous = found;
    }
    EXPECT_EQ(Count(Line) + Count(Background), SampleWidth * SampleHeight);
}

TEST_F(StyleSampleTest, PointsOnlyNeitherAndPale) {
    Draw({false, false, true});
    EXPECT_EQ(Count(Line), 0);
    EXPECT_EQ(At(0, 0), Background);
    EXPECT_EQ(At(7, 10), FillColour);
    EXPECT_EQ(At(5, 8), Outline); // top-left corner of the rectangle marker

    Draw({false, false, false});
    EXPECT_EQ(Count(Background), SampleWidth * SampleHeight);

    // Pale: line and outline lightened, the fill as it is.
    Draw({true, true, true});
    EXPECT_EQ(At(0, 0), PaleColor(Line));
    EXPECT_EQ(At(5, 8), PaleColor(Outline));
    EXPECT_GT(Count(FillColour), 0);
    EXPECT_EQ(Count(Line), 0);
    EXPECT_EQ(Count(Outline), 0);
}

TEST_F(StyleSampleTest, LowerHalfOfTheLineLiesOverTheMarker) {
    Style.PointStyle[1][1].HalfWidth = Style.PointStyle[1][1].HalfHeight = 4;
    Draw({false, true, true});
    // Inside the marker: the upper half of the line is covered by the fill,
    // the lower half drawn over it.
    EXPECT_EQ(At(5, 7), FillColour);
    EXPECT_EQ(At(8, 11), Line);
    EXPECT_EQ(At(9, 13), Line);
}

TEST(SeriesStyle, ValuesFarOutsideTheButtonsRangesStillDrawQuickly) {
    auto record = std::make_unique<MeasurementSet>();
    std::memset(record.get(), 0, sizeof *record);
    record->MeasureCount = 95;
    record->SeriesCount = 1;
    record->PointCount[0] = 3;
    for (int k = 0; k < 3; ++k) {
        record->PointTime[0][k] = float(k);
        record->PointValue[0][0][k] = record->PointValue[0][1][k] = float(k - 1);
    }
    for (int c = 0; c < 2; ++c) {
        record->DisplayMax[0][c] = 2;
        record->DisplayMin[0][c] = -2;
    }
    for (const int32_t value : {INT32_MAX, INT32_MIN, 0, -5, 1000000}) {
        SCOPED_TRACE(value);
        GraphStyle style;
        style.AxisWidth = style.GridWidth = value;
        for (int c = 0; c < 2; ++c) {
            style.CurveWidth[0][c] = value;
            style.PointStyle[0][c] =
                TPointStyle{value, value, value, 0x00FF0000, 0x0000FF00, value};
            style.Switches[0][c] = CurveSwitch{false, true, true};
        }
        GraphState state;
        TBitmap graph(300, 200);
        TBitmap sample(SampleWidth, SampleHeight);
        const auto start = std::chrono::steady_clock::now();
        DrawGraph(graph.Canvas(), 0, 0, 300, 200, state, style, *record);
        DrawStyleSample(sample.Canvas(), 1, 0, style, 2, 200);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
}

} // namespace
