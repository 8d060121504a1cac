// The oscilloscope's arithmetic without a window: scales of the knob
// positions, where samples land for a time base and a sensitivity, the XY
// figure, the sweep record, the shift steps and the drawing of a sweep.
#include "TrevalumeTraces.h"
#include "panel_layout.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <utility>

using namespace trevalume;
using namespace tampon;

namespace {

constexpr int PlotWidth = 381;
constexpr int PlotHeight = 304;
const double PixelsPerDivision = PixelsPerDivisionFor(PlotHeight);

TraceSettings Settings(double msPerDivision, double voltsPerDivision, int mode = ModeChannelA,
                       TraceType type = TraceType::Lines) {
    TraceSettings s;
    s.AcqMode = mode;
    s.Type = type;
    s.ScaleX = TimeScale(PlotWidth, msPerDivision);
    s.ScaleY = {SensitivityScale(PixelsPerDivision, voltsPerDivision),
                SensitivityScale(PixelsPerDivision, voltsPerDivision)};
    return s;
}

SampleBlock Constant(float a, float b) {
    SampleBlock block{};
    block[0].fill(a);
    block[1].fill(b);
    return block;
}

constexpr TColor Background = RGB(16, 24, 16);
constexpr TColor Pen = RGB(0, 100, 0);

// A screen bitmap, the sweep drawn on it with the given settings.
struct Screen {
    TBitmap Bitmap{PlotWidth, PlotHeight};
    std::array<int, 2> OriginY{};

    explicit Screen(const SweepSet& sweep, const TraceSettings& settings) {
        TCanvas& canvas = Bitmap.Canvas();
        canvas.Brush.Color = Background;
        canvas.FillRect(Rect(0, 0, PlotWidth, PlotHeight));
        canvas.Brush.Color = clWhite;
        canvas.Pen.Color = Pen;
        DrawSweep(canvas, sweep, settings, OriginY);
    }
    std::set<std::pair<int, int>> Drawn() {
        std::set<std::pair<int, int>> pixels;
        const QImage& image = Bitmap.Image();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (RgbToColor(image.pixel(x, y)) != Background)
                    pixels.insert({x, y});
        return pixels;
    }
    TColor At(int x, int y) { return RgbToColor(Bitmap.Image().pixel(x, y)); }
};

} // namespace

TEST(TracesTest, KnobPositionsGiveTheirScalesAndRows) {
    EXPECT_DOUBLE_EQ(PixelsPerDivision, 36.4);
    struct Sensitivity {
        double volts, scale;
    };
    for (const Sensitivity& c : {Sensitivity{0.1, 364},
                                 {0.2, 182},
                                 {0.5, 72.8},
                                 {1, 36.4},
                                 {2, 18.2},
                                 {5, 7.28},
                                 {10, 3.64},
                                 {20, 1.82}})
        EXPECT_NEAR(SensitivityScale(PixelsPerDivision, c.volts), c.scale, 1e-9) << c.volts;

    struct Time {
        double ms, scale;
        int row;
        double step;
        uint8_t a, b, c;
    };
    const Time times[] = {
        {1, 38.1, 0, 0.5, 5, 128, 1},    {2, 19.05, 0, 0.5, 5, 128, 1},
        {5, 7.62, 0, 0.5, 5, 128, 1},    {10, 3.81, 1, 1, 5, 128, 2},
        {20, 1.905, 2, 2, 6, 128, 1},    {50, 0.762, 3, 5, 5, 160, 8},
        {100, 0.381, 4, 10, 5, 160, 16}, {200, 0.1905, 5, 20, 6, 160, 8},
    };
    for (const Time& c : times) {
        EXPECT_NEAR(TimeScale(PlotWidth, c.ms), c.scale, 1e-12) << c.ms;
        const int row = TimeBaseRowForDivision(c.ms);
        EXPECT_EQ(row, c.row) << c.ms;
        const BlockRow block = TimeBaseRow(row);
        EXPECT_EQ(block.TimeStepMs, c.step) << c.ms;
        EXPECT_EQ(block.A, c.a) << c.ms;
        EXPECT_EQ(block.B, c.b) << c.ms;
        EXPECT_EQ(block.C, c.c) << c.ms;
    }
    // Every zone of the time-base knob maps onto one of the six block rows.
    for (int p = 0; p < PanelLayout::KnobPositionCount; ++p) {
        const auto& zone = PanelLayout::KnobZone(PanelLayout::Knob::TimeBase, p);
        EXPECT_EQ(TimeBaseRowForDivision(zone.Value), times[p].row) << zone.Name;
    }
}

TEST(TracesTest, SampleColumnsForEachTimeBase) {
    SweepSet sweep;
    FillSweep(sweep, Constant(0, 0), 0.5, false, false);
    struct Case {
        double ms;
        int sample; // 1-based
        int64_t x;
    };
    const Case cases[] = {
        // 5 ms per division: 3,81 px apart, from 6 to 364.
        {5, 1, 6},
        {5, 2, 10},
        {5, 3, 14},
        {5, 50, 6 + 187},
        {5, 95, 364},
        // 1 ms: samples 1 to 20 lie within the 381 columns, sample 21 at 387.
        {1, 2, 25},
        {1, 20, 6 + 362},
        {1, 21, 387},
        // 2 ms: samples 1 to 40 on the screen.
        {2, 40, 6 + 371},
        {2, 41, 387},
    };
    for (const Case& c : cases) {
        const TraceSettings s = Settings(c.ms, 2);
        EXPECT_EQ(TimeColumn(sweep.PointTime[static_cast<size_t>(c.sample - 1)], s), c.x)
            << c.ms << " ms, sample " << c.sample;
    }
    // 10 ms per division with its own row (1 ms apart): the same columns as
    // 5 ms with 0,5 ms; the shift moves everything right.
    SweepSet slow;
    FillSweep(slow, Constant(0, 0), 1, false, false);
    TraceSettings s = Settings(10, 2);
    EXPECT_EQ(TimeColumn(slow.PointTime[94], s), 364);
    s.XShift = 208;
    EXPECT_EQ(TimeColumn(slow.PointTime[0], s), 214);
}

TEST(TracesTest, ValueRowsForEachSensitivity) {
    struct Case {
        double voltsPerDivision;
        float value;
        int offset;
        int64_t y;
    };
    const Case cases[] = {
        {2, 0, 0, 152},
        {2, 2, 0, 116},
        {2, -2, 0, 188},
        {2, 1, 0, 134},
        {0.1, 1, 0, -212},
        {0.1, 0.1f, 0, 116},
        {20, 10, 0, 134},
        {5, 3.14f, 0, 129},
        {1, 0.5f, 5, 129},
        {1, 0.5f, -5, 139},
        {1, 0, 160, -8},
        // The out-of-range values land far beyond the screen.
        {20, 3.0e12f, 0, -5460000096759},
        {0.1, -3.0e12f, 0, 1092000019382424},
    };
    for (const Case& c : cases) {
        const int originY = OriginYFor(PlotHeight, c.offset);
        EXPECT_EQ(
            ValueRow(c.value, SensitivityScale(PixelsPerDivision, c.voltsPerDivision), originY),
            c.y)
            << c.voltsPerDivision << " V/div, " << c.value << " V, offset " << c.offset;
    }
}

TEST(TracesTest, SweepRecordTimesAndGroundSwitches) {
    SampleBlock block{};
    for (int i = 0; i < BlockSampleCount; ++i) {
        block[0][static_cast<size_t>(i)] = static_cast<float>(i);
        block[1][static_cast<size_t>(i)] = static_cast<float>(-i);
    }
    SweepSet sweep;
    sweep.PointTime[120] = 7; // slots beyond the sweep are left alone
    const double elapsed = FillSweep(sweep, block, 0.5, false, true);
    EXPECT_EQ(sweep.PointCount, 95);
    EXPECT_DOUBLE_EQ(elapsed, 47.5);
    EXPECT_EQ(sweep.PointTime[0], 0.0f);
    EXPECT_EQ(sweep.PointTime[94], 47.0f);
    EXPECT_EQ(sweep.PointValue[0][94], 94.0f);
    EXPECT_EQ(sweep.PointValue[1][94], 0.0f) << "channel b grounded";
    EXPECT_EQ(sweep.PointTime[120], 7.0f);

    // Times accumulate in double precision: a step of 0,1 ms stored per sample.
    FillSweep(sweep, block, 0.1, true, false);
    double t = 0;
    for (int i = 0; i < 94; ++i)
        t += 0.1;
    EXPECT_EQ(sweep.PointTime[94], static_cast<float>(t));
    EXPECT_EQ(sweep.PointValue[0][10], 0.0f) << "channel a grounded";
    EXPECT_EQ(sweep.PointValue[1][10], -10.0f);

    InitSweepSet(sweep);
    EXPECT_EQ(sweep.PointCount, 0);
    EXPECT_EQ(sweep.PointTime[120], 0.0f);
}

TEST(TracesTest, XYFigurePositions) {
    TraceSettings s = Settings(5, 2, ModeXY);
    EXPECT_EQ(XYCentre(s), (PixelPos{200, 152}));
    EXPECT_EQ(XYPosition(0, 0, s), (PixelPos{200, 152}));
    EXPECT_EQ(XYPosition(2, 2, s), (PixelPos{236, 116})) << "a to the right, b upwards";
    s.ScaleY[1] = SensitivityScale(PixelsPerDivision, 0.5);
    EXPECT_EQ(XYPosition(-2, -1, s), (PixelPos{164, 225}));
    // Positive offsets move the figure right (a) and up (b); the shift plays no part.
    s.VerticalOffset = {7, 3};
    s.XShift = 100;
    EXPECT_EQ(XYPosition(0, 0, s), (PixelPos{207, 149}));
}

// A calibration of about 1E39 turns counts into infinities in single
// precision (and 0 x infinity into NaN): every position stays a 64-bit number
// far beyond the screen, and the drawing shows nothing of those samples.
TEST(TracesTest, InfiniteAndNaNValuesLandFarBeyondTheScreen) {
    constexpr float Inf = std::numeric_limits<float>::infinity();
    constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float Huge = std::numeric_limits<float>::max();
    const TraceSettings s = Settings(5, 0.1);
    const int originY = OriginYFor(PlotHeight, 0);
    for (float value : {Inf, -Inf, NaN, Huge, -Huge}) {
        const int64_t y = ValueRow(value, s.ScaleY[0], originY);
        EXPECT_TRUE(y < -1'000'000'000 || y > 1'000'000'000) << value << " at row " << y;
        const PixelPos p = XYPosition(value, -value, s);
        EXPECT_TRUE(p.X < -1'000'000'000 || p.X > 1'000'000'000) << value;
        EXPECT_TRUE(p.Y < -1'000'000'000 || p.Y > 1'000'000'000) << value;
    }
    // Each on its own side: up and right for +infinity.
    EXPECT_LT(ValueRow(Inf, s.ScaleY[0], originY), ValueRow(-Inf, s.ScaleY[0], originY));
    EXPECT_GT(XYPosition(Inf, 0, s).X, XYPosition(-Inf, 0, s).X);
    TraceSettings stretched = s;
    stretched.ScaleX = Inf;
    EXPECT_GT(TimeColumn(1.0f, stretched), 1'000'000'000);

    for (int mode : {ModeChannelA, ModeBoth, ModeXY})
        for (TraceType type : {TraceType::Points, TraceType::Bars, TraceType::Lines}) {
            SweepSet sweep;
            FillSweep(sweep, Constant(Inf, -Inf), 0.5, false, false);
            sweep.PointValue[0][40] = NaN;
            sweep.PointValue[1][41] = Huge;
            Screen screen(sweep, Settings(5, 0.1, mode, type));
            EXPECT_TRUE(screen.Drawn().empty()) << "mode " << mode;
        }
}

TEST(TracesTest, ShiftStepsStayEvenBetweenZeroAnd208) {
    struct Case {
        uint16_t shift;
        int step;
        uint16_t after;
    };
    const Case cases[] = {
        {0, 2, 2},     {0, 10, 10},   {198, 10, 208}, {208, 10, 208}, {208, 2, 208},
        {200, 2, 200}, {198, 2, 200}, {190, 10, 200}, {0, -2, 0},     {0, -10, 0},
        {6, -10, 6},   {8, -10, 8},   {8, -2, 6},     {10, -10, 0},   {208, -10, 198},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShiftAfterStep(c.shift, c.step), c.after) << c.shift << " " << c.step;
}

TEST(TracesTest, BrightnessGreens) {
    EXPECT_EQ(BrightnessColour(80), RGB(0, 100, 0));
    EXPECT_EQ(BrightnessColour(110), RGB(0, 130, 0));
    EXPECT_EQ(BrightnessColour(220), RGB(0, 240, 0));
}

TEST(TracesTest, LinesJoinSamplesUpToTheLastOne) {
    SweepSet sweep;
    FillSweep(sweep, Constant(2, 0), 0.5, false, false);
    Screen screen(sweep, Settings(5, 2));
    EXPECT_EQ(screen.OriginY[0], 152);
    // One row, from sample 1 at x = 6 to sample 95 at x = 364, whose own
    // pixel is the end of the last segment and stays out.
    std::set<std::pair<int, int>> expected;
    for (int x = 6; x < 364; ++x)
        expected.insert({x, 116});
    EXPECT_EQ(screen.Drawn(), expected);
}

TEST(TracesTest, ASegmentNeedsBothRowsStrictlyInsideTheBounds) {
    EXPECT_TRUE(SegmentDrawn(4, 335));
    EXPECT_FALSE(SegmentDrawn(3, 100));
    EXPECT_FALSE(SegmentDrawn(100, 336));
    EXPECT_FALSE(SegmentDrawn(-5'000'000'000'000, 100));

    // Sample 3 (x = 14) is over range: the segments 2-3 and 3-4 are left out,
    // the line goes on from sample 4 (x = 17).
    SampleBlock block = Constant(0, 0);
    block[0][2] = OverRangeValue;
    SweepSet sweep;
    FillSweep(sweep, block, 0.5, false, false);
    Screen screen(sweep, Settings(5, 2));
    const auto drawn = screen.Drawn();
    for (int x = 6; x < 10; ++x)
        EXPECT_TRUE(drawn.count({x, 152})) << x;
    for (int x = 10; x < 17; ++x)
        EXPECT_FALSE(drawn.count({x, 152})) << x;
    EXPECT_TRUE(drawn.count({17, 152})) << "sample 4 starts the next segment";
    EXPECT_EQ(drawn.size(), size_t(364 - 6 - 7)) << "nothing else anywhere";
}

TEST(TracesTest, PointsAndBarsAreOutlinedWithThePenAndFilledWhite) {
    SampleBlock block = Constant(0, 0);
    block[0][1] = 2; // sample 2 two volts up
    SweepSet sweep;
    FillSweep(sweep, block, 0.5, false, false);

    TraceSettings points = Settings(5, 2, ModeChannelA, TraceType::Points);
    points.PointHalfSize = 2;
    Screen p(sweep, points);
    // Sample 2 at (10, 116): a 4 x 4 square from (8, 114), outline in pen
    // colour, inside white.
    EXPECT_EQ(p.At(8, 114), Pen);
    EXPECT_EQ(p.At(11, 117), Pen);
    EXPECT_EQ(p.At(9, 115), clWhite);
    EXPECT_EQ(p.At(12, 116), Background) << "right column left out";
    EXPECT_EQ(p.At(10, 118), Background) << "bottom row left out";

    // Bars: sample 2's bar runs from its time to the next one's at its value;
    // the last sample has none.
    TraceSettings bars = Settings(5, 2, ModeChannelA, TraceType::Bars);
    Screen b(sweep, bars);
    EXPECT_EQ(b.At(9, 115), Pen);
    EXPECT_EQ(b.At(14, 115), Pen) << "up to the next sample plus s, right column left out";
    EXPECT_EQ(b.At(15, 115), Background);
    EXPECT_EQ(b.At(362, 151), Pen) << "sample 94 reaches sample 95";
    EXPECT_EQ(b.At(366, 151), Background) << "sample 95 has no bar";
}

TEST(TracesTest, BothChannelsAndXYSquares) {
    SweepSet sweep;
    FillSweep(sweep, Constant(2, -2), 0.5, false, false);
    TraceSettings both = Settings(5, 2, ModeBoth);
    both.VerticalOffset = {5, -5};
    Screen yy(sweep, both);
    EXPECT_EQ(yy.OriginY[0], 147);
    EXPECT_EQ(yy.OriginY[1], 157);
    EXPECT_EQ(yy.At(100, 111), Pen);
    EXPECT_EQ(yy.At(100, 193), Pen);

    Screen b(sweep, Settings(5, 2, ModeChannelB));
    EXPECT_EQ(b.At(100, 188), Pen);
    EXPECT_EQ(b.At(100, 116), Background) << "channel a not shown";

    // XY: whatever the type, one square per sample; all 95 fall on (236, 188).
    Screen xy(sweep, Settings(5, 2, ModeXY, TraceType::Lines));
    std::set<std::pair<int, int>> square{{235, 187}, {236, 187}, {235, 188}, {236, 188}};
    EXPECT_EQ(xy.Drawn(), square);

    // Out-of-range samples in XY leave the screen untouched.
    FillSweep(sweep, Constant(OverRangeValue, UnderRangeValue), 0.5, false, false);
    Screen far(sweep, Settings(5, 0.1, ModeXY));
    EXPECT_TRUE(far.Drawn().empty());
}
