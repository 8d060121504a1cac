// The frame and the curves as pixels on an off-screen image.
#include "graph/Graph.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

using namespace workbench;

namespace {

constexpr int W = 400;
constexpr int H = 300;
constexpr TColor Background = 0x00FFFFFF;
constexpr TColor Curve = 0x000000FF;
constexpr TColor Outline = 0x00FF0000;
constexpr TColor Fill = 0x0000FF00;
constexpr TColor Axis0 = 0x00000000;
constexpr TColor Axis1 = 0x00800080;
constexpr TColor Grid = 0x00C0C0C0;

template <std::size_t N> void SetShort(ShortString<N>& field, const char* text) {
    field.Length = static_cast<uint8_t>(std::strlen(text));
    std::memcpy(field.Text, text, field.Length);
}

// Nothing drawn on a grey page outside the W x H rectangle at (x0, y0).
void ExpectUntouchedAround(const QImage& page, int x0, int y0) {
    int touched = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if ((x < x0 || x >= x0 + W || y < y0 || y >= y0 + H) &&
                page.pixel(x, y) != QColor(Qt::gray).rgb())
                ++touched;
    EXPECT_EQ(touched, 0);
}

class GraphDrawTest : public ::testing::Test {
protected:
    std::unique_ptr<MeasurementSet> Record = std::make_unique<MeasurementSet>();
    GraphStyle Style;
    GraphState State;
    TBitmap Bitmap{W, H};
    int PlotH = 0; // height of the plot area: a display range of 0..PlotH gives 1 pixel a unit

    void SetUp() override {
        std::memset(Record.get(), 0, sizeof(MeasurementSet));
        State = GraphState{};
        Record->MeasureCount = 95;
        Record->DeltaTIndex = 0; // 0.5 ms
        Record->SeriesCount = 1;
        Bitmap.Canvas().Font.Name = "Arial";
        SetPlotSize(Bitmap.Canvas(), W, H, State);
        PlotH = H - 2 * State.MarginBottom;
        for (int s = 0; s < MaxSeries; ++s)
            for (int c = 0; c < ChannelCount; ++c) {
                Record->DisplayMax[s][c] = float(PlotH);
                Record->DisplayMin[s][c] = 0;
                SetShort(Record->SeriesUnit[s][c], "V");
                SetShort(Record->SeriesLabel[s][c], "tension");
                Style.CurveColor[s][c] = Curve;
                Style.CurveWidth[s][c] = 1;
                Style.PointStyle[s][c] = TPointStyle{0, 2, 2, Fill, Outline, 1};
                Style.Switches[s][c] = CurveSwitch{false, true, false};
            }
        Style.BackgroundColor = Background;
        Style.AxisColor[0] = Axis0;
        Style.AxisColor[1] = Axis1;
        Style.GridColor[0] = Style.GridColor[1] = Grid;
        Style.GridOn[0] = Style.GridOn[1] = 0;
        Style.AxisWidth = 1;
    }

    // The frame alone, so that a test can place its points by pixel.
    void Frame() { ASSERT_TRUE(DrawFrame(Bitmap.Canvas(), 0, 0, W, H, State, Style, *Record)); }
    void Draw() { DrawGraph(Bitmap.Canvas(), 0, 0, W, H, State, Style, *Record); }
    TColor At(int x, int y) { return Bitmap.Canvas().Pixels(x, y); }
    // The value of channel c drawn at row y (one pixel a unit).
    float ValueAt(int c, int y) const { return float(State.OriginY[c] - y); }
    void SetPoint(int s, int k, float time, float v0, float v1) {
        Record->PointTime[s - 1][k - 1] = time;
        Record->PointValue[s - 1][0][k - 1] = v0;
        Record->PointValue[s - 1][1][k - 1] = v1;
        Record->PointCount[s - 1] = std::max(Record->PointCount[s - 1], k);
    }
    bool AnyInColumn(int x, int y1, int y2, TColor color) {
        for (int y = std::max(y1, 0); y <= std::min(y2, H - 1); ++y)
            if (At(x, y) == color)
                return true;
        return false;
    }
    bool AnyInRow(int y, int x1, int x2, TColor color) {
        for (int x = std::max(x1, 0); x <= std::min(x2, W - 1); ++x)
            if (At(x, y) == color)
                return true;
        return false;
    }
};

TEST_F(GraphDrawTest, OutOfRangeValueBreaksTheLine) {
    struct Case {
        int mode, channel;
        float special;
    };
    for (const Case c :
         {Case{0, 0, OverRangeValue}, Case{0, 0, UnderRangeValue}, Case{1, 1, OverRangeValue},
          Case{2, 1, OverRangeValue}, Case{2, 0, UnderRangeValue}}) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + " channel " + std::to_string(c.channel));
        State.AcqMode = c.mode;
        Frame();
        // Only the channel under test is shown; its points lie on row 100.
        Style.Switches[0][1 - c.channel] = CurveSwitch{false, false, false};
        Style.Switches[0][c.channel] = CurveSwitch{false, true, true};
        Style.PointStyle[0][c.channel].Shape = 2; // a small plus
        const float v = ValueAt(c.channel, 100);
        const float times[] = {5, 10, 20, 30, 40};
        for (int k = 1; k <= 5; ++k) {
            const float value = k == 3 ? c.special : v;
            SetPoint(1, k, times[k - 1], c.channel == 0 ? value : 0, c.channel == 1 ? value : 0);
        }
        Draw();
        int x[6];
        for (int k = 1; k <= 5; ++k)
            x[k] = TimeToX(State, times[k - 1]);
        for (int px = x[1] + 3; px < x[2] - 2; ++px)
            EXPECT_EQ(At(px, 100), Curve) << px;
        EXPECT_FALSE(AnyInRow(100, x[2] + 3, x[4] - 3, Curve));
        for (int px = x[4] + 3; px < x[5] - 2; ++px)
            EXPECT_EQ(At(px, 100), Curve) << px;
        // No line toward the edge, no marker there.
        EXPECT_FALSE(AnyInColumn(x[3], 0, 97, Curve));
        EXPECT_FALSE(AnyInColumn(x[3], 103, H - 1, Curve));
        EXPECT_FALSE(AnyInColumn(x[3], 0, 97, Outline));
        EXPECT_FALSE(AnyInColumn(x[3], 103, H - 1, Outline));
        // The points around it are marked.
        EXPECT_EQ(At(x[2], 99), Outline);
        EXPECT_EQ(At(x[4], 99), Outline);
    }
}

TEST_F(GraphDrawTest, FirstPointMarkerOnTheEdgeInOneChannelAndXYModes) {
    struct Case {
        int mode;
        float special;
        bool marked;
    };
    for (const Case c : {Case{0, OverRangeValue, true}, Case{0, UnderRangeValue, true},
                         Case{3, OverRangeValue, true}, Case{2, OverRangeValue, false},
                         Case{2, UnderRangeValue, false}}) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + " value " + std::to_string(c.special));
        State.AcqMode = c.mode;
        Frame();
        Style.Switches[0][0] = CurveSwitch{false, false, true};
        Style.Switches[0][1] = CurveSwitch{false, false, false};
        SetPoint(1, 1, 5, c.special, 10);
        SetPoint(1, 2, 20, ValueAt(0, 100), 20);
        Draw();
        const int x = c.mode == 3 ? XYValueToX(State, 10) : TimeToX(State, 5);
        // A rectangle marker of half size 2 around (x, 0) or (x, H).
        const bool top = c.special == OverRangeValue;
        const int outlineRow = top ? 1 : H - 2;
        const int fillRow = top ? 0 : H - 1;
        if (c.marked) {
            EXPECT_EQ(At(x, outlineRow), Outline);
            EXPECT_EQ(At(x, fillRow), Fill);
            EXPECT_EQ(At(x - 2, fillRow), Outline);
            EXPECT_NE(At(x - 3, fillRow), Outline);
        } else {
            EXPECT_NE(At(x, outlineRow), Outline);
            EXPECT_NE(At(x, fillRow), Fill);
        }
        EXPECT_EQ(At(c.mode == 3 ? XYValueToX(State, 20) : TimeToX(State, 20), 100), Fill);
    }
}

TEST_F(GraphDrawTest, InsideTestAtTheTopAndBottomRows) {
    struct Case {
        int y;
        bool inside;
    };
    for (const Case c : {Case{1, false}, Case{2, true}, Case{H - 2, true}, Case{H - 1, false}}) {
        SCOPED_TRACE("y = " + std::to_string(c.y));
        State.AcqMode = 0;
        Frame();
        Style.Switches[0][0] = CurveSwitch{false, true, true};
        SetPoint(1, 1, 5, ValueAt(0, 150), 0);
        SetPoint(1, 2, 20, ValueAt(0, c.y), 0);
        SetPoint(1, 3, 35, ValueAt(0, 150), 0);
        Draw();
        ASSERT_EQ(ValueToY(State, 0, ValueAt(0, c.y)), c.y);
        const int x1 = TimeToX(State, 5), x2 = TimeToX(State, 20), x3 = TimeToX(State, 35);
        const int midY = (150 + c.y) / 2;
        EXPECT_EQ(At(x2 - 2, c.y) == Outline, c.inside); // the marker's left edge
        EXPECT_EQ(AnyInColumn((x1 + x2) / 2, midY - 8, midY + 8, Curve), c.inside);
        EXPECT_EQ(AnyInColumn((x2 + x3) / 2, midY - 8, midY + 8, Curve), c.inside);
        EXPECT_EQ(At(x3, 150), Fill);
    }
}

TEST_F(GraphDrawTest, XYPointsBeyondTheXRangeAreDrawnAndJoined) {
    State.AcqMode = 3;
    Frame();
    Style.Switches[0][0] = CurveSwitch{false, true, false};
    const float v = ValueAt(0, 100);
    SetPoint(1, 1, 0, v, 100);
    SetPoint(1, 2, 1, v, OverRangeValue);    // the right edge of the rectangle
    SetPoint(1, 3, 2, ValueAt(0, 200), -30); // left of the plot area, inside the rectangle
    Draw();
    const int x1 = XYValueToX(State, 100);
    EXPECT_LT(XYValueToX(State, -30), State.MarginLeft);
    EXPECT_GT(XYValueToX(State, -30), 0);
    for (int x = x1; x < W; ++x)
        EXPECT_EQ(At(x, 100), Curve) << x;
    const int xl = XYValueToX(State, -30);
    EXPECT_TRUE(AnyInColumn((xl + W) / 2, 140, 160, Curve));
}

TEST_F(GraphDrawTest, ManualPointsAndSeriesLine) {
    struct Case {
        const char* what;
        CurveSwitch sw0, sw1;
        int validated;
        bool line, marks;
    };
    const Case cases[] = {
        {"line box ticked", {false, true, false}, {false, false, false}, 2, true, true},
        {"only the points box", {false, false, true}, {false, false, false}, 2, false, true},
        {"only channel 1 boxes", {false, false, false}, {false, true, false}, 2, false, true},
        {"no validated point", {false, true, false}, {false, false, false}, 0, false, false},
        {"all boxes clear", {false, false, false}, {false, false, false}, 2, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        State.AcqMode = 4;
        State.AcqState = 0;
        Frame();
        Style.Switches[0][0] = c.sw0;
        Style.Switches[0][1] = c.sw1;
        // The running block lies on row 60; it is not drawn outside the manual loop.
        for (int k = 1; k <= 95; ++k)
            SetPoint(1, k, float(k), ValueAt(0, 60), float(k));
        Record->XYPointCount[0] = c.validated;
        Record->ManualY1[0][0] = ValueAt(0, 200);
        Record->ManualY2[0][0] = 30;
        Record->ManualY1[0][1] = ValueAt(0, 120);
        Record->ManualY2[0][1] = 150;
        SeriesLine& line = State.SeriesLines[0];
        line = SeriesLine{20, 200, ValueAt(0, 210), ValueAt(0, 210), 1, "pente"};
        Draw();
        const int mx = ManualToX(State, 30);
        EXPECT_FALSE(AnyInRow(60, State.MarginLeft + 5, W - State.MarginLeft - 5, Curve));
        EXPECT_EQ(At(mx, 200) == Fill, c.marks);
        EXPECT_EQ(At(ManualToX(State, 150), 120) == Fill, c.marks);
        const int lx1 = ManualToX(State, 20), lx2 = ManualToX(State, 200);
        EXPECT_EQ(At((lx1 + lx2) / 2, 210) == Curve, c.line);
        // The label stands ML left of and MB below the line's end.
        EXPECT_EQ(AnyInRow(210 + State.MarginBottom + 5, lx2 - State.MarginLeft,
                           lx2 - State.MarginLeft + 30, Curve),
                  c.line);
    }
}

TEST_F(GraphDrawTest, PaleLineAndOutlineKeepTheFill) {
    State.AcqMode = 0;
    Frame();
    Style.Switches[0][0] = CurveSwitch{true, true, true};
    SetPoint(1, 1, 5, ValueAt(0, 100), 0);
    SetPoint(1, 2, 30, ValueAt(0, 100), 0);
    Draw();
    const int x1 = TimeToX(State, 5), x2 = TimeToX(State, 30);
    EXPECT_EQ(At((x1 + x2) / 2, 100), PaleColor(Curve));
    EXPECT_EQ(At(x2, 98), PaleColor(Outline));
    EXPECT_EQ(At(x2, 100), Fill);
}

TEST_F(GraphDrawTest, MarkerShapesAndSizeFactor) {
    struct Case {
        int shape, scaleRef;
        int left, right, top, bottom; // extent of the outline around (50, 40)
    };
    const Case cases[] = {
        {0, 500, 48, 51, 37, 42},  {0, 1000, 46, 53, 34, 45}, {1, 500, 48, 51, 37, 42},
        {2, 500, 48, 51, 37, 42},  {3, 500, 48, 51, 37, 43},  {4, 500, 50, 56, 37, 42},
        {4, 1000, 50, 56, 34, 45}, {5, 500, 0, -1, 0, -1},    {-1, 500, 0, -1, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("shape " + std::to_string(c.shape) + " ref " + std::to_string(c.scaleRef));
        TBitmap bitmap(100, 80);
        Style.PointStyle[1][1] = TPointStyle{c.shape, 2, 3, Fill, Outline, 1};
        DrawPointMarker(bitmap.Canvas(), 2, 1, 50, 40, 7, c.scaleRef, Style, 1);
        int left = 1000, right = -1, top = 1000, bottom = -1;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x)
                if (bitmap.Canvas().Pixels(x, y) == Outline) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        if (c.right < 0) {
            EXPECT_EQ(right, -1);
            continue;
        }
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(right, c.right);
        EXPECT_EQ(top, c.top);
        EXPECT_EQ(bottom, c.bottom);
    }
}

TEST_F(GraphDrawTest, WithoutAScaleOnlyTheBackgroundIsDrawn) {
    struct Case {
        const char* what;
        int mode;
        float top, bottom;
        int measureCount, deltaT, w;
    };
    const Case cases[] = {
        {"Y1, equal ends", 0, 5, 5, 95, 0, W},
        {"YY, top below bottom", 2, -5, 5, 95, 0, W},
        {"Y2, NaN", 1, NAN, 0, 95, 0, W},
        {"Y1, no measurement", 0, 10, 0, 0, 0, W},
        {"YY, interval beyond the table", 2, 10, 0, 95, 200, W},
        {"XY, infinite end", 3, INFINITY, 0, 95, 0, W},
        {"man., equal ends", 4, 1, 1, 95, 0, W},
        {"Y1, rectangle narrower than its margins", 0, 10, 0, 95, 0, 70},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Record->DisplayMax[0][c.mode == 1 ? 1 : 0] = c.top;
        Record->DisplayMin[0][c.mode == 1 ? 1 : 0] = c.bottom;
        if (c.mode >= 2) {
            Record->DisplayMax[0][1] = c.top;
            Record->DisplayMin[0][1] = c.bottom;
        }
        Record->MeasureCount = c.measureCount;
        Record->DeltaTIndex = static_cast<uint8_t>(c.deltaT);
        for (int k = 1; k <= 10; ++k)
            SetPoint(1, k, float(k), 3, 3);
        State.AcqMode = c.mode;
        State.CursorPending1 = State.CursorPending2 = 0;
        State.CursorT2 = 5;
        Style.Switches[0][0] = Style.Switches[0][1] = CurveSwitch{false, true, true};
        Style.BackgroundColor = 0x00123456;
        Bitmap.Canvas().Brush.Color = clBlack;
        Bitmap.Canvas().FillRect(Rect(0, 0, W, H));
        EXPECT_FALSE(DrawFrame(Bitmap.Canvas(), 0, 0, c.w, H, State, Style, *Record));
        EXPECT_FALSE(State.FrameValid);
        DrawGraph(Bitmap.Canvas(), 0, 0, c.w, H, State, Style, *Record);
        const QImage& image = Bitmap.Image();
        int other = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < c.w; ++x)
                other += RgbToColor(image.pixel(x, y)) != 0x00123456;
        EXPECT_EQ(other, 0);
    }
}

TEST_F(GraphDrawTest, ExtremeRangesFinishAndStayInTheirRectangle) {
    struct Case {
        const char* what;
        int mode;
        float top0, bottom0, top1, bottom1;
        const char* unit;
    };
    const Case cases[] = {
        {"unit A over a wide range", 0, 1000, -1000, 1, 0, "A"},
        {"origin far below", 0, 1001, 1000, 1, 0, "V"},
        {"origin far above", 2, -1000, -1001, 50000, 49999, "V"},
        {"tiny range", 0, 1e-6f, 0, 1, 0, "V"},
        {"XY origin far right", 3, 1, -1, -1.0e5f, -1.0e5f - 10, "A"},
        {"XY origin far left", 4, 1.0e5f + 2, 1.0e5f, 1.0e5f + 10, 1.0e5f, "V"},
        {"huge range", 2, 1e38f, -1e38f, 3e38f, -3e38f, "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        for (int s = 0; s < MaxSeries; ++s) {
            Record->DisplayMax[s][0] = c.top0;
            Record->DisplayMin[s][0] = c.bottom0;
            Record->DisplayMax[s][1] = c.top1;
            Record->DisplayMin[s][1] = c.bottom1;
            SetShort(Record->SeriesUnit[s][0], c.unit);
            SetShort(Record->SeriesUnit[s][1], c.unit);
        }
        for (int k = 1; k <= 200; ++k)
            SetPoint(1, k, float(k), c.top0 * float(k % 3), c.bottom1 * float(k % 5));
        Style.GridOn[0] = Style.GridOn[1] = 1;
        State.AcqMode = c.mode;
        QImage page(W + 60, H + 40, QImage::Format_RGB32);
        page.fill(Qt::gray);
        {
            QPainter painter(&page);
            TCanvas canvas(&painter);
            canvas.Font.Name = "Arial";
            DrawGraph(canvas, 30, 20, W, H, State, Style, *Record);
        }
        EXPECT_TRUE(State.FrameValid);
        ExpectUntouchedAround(page, 30, 20);
    }
}

TEST_F(GraphDrawTest, SameGraphInAnyRectangleOfAPage) {
    for (int mode = 0; mode <= 4; ++mode) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        SetUp();
        Record->SeriesCount = 2;
        Record->DisplayMin[0][1] = 20; // channel 1's origin below its plot area
        Record->DisplayMin[0][0] = -100;
        for (int s = 1; s <= 2; ++s)
            for (int k = 1; k <= 95; ++k)
                SetPoint(s, k, 0.5f * float(k - 1), float((k * 7 * s) % 250 - 50),
                         float((k * 3 + 40 * s) % 260));
        Record->XYPointCount[1] = 3;
        for (int j = 0; j < 3; ++j) {
            Record->ManualY1[1][j] = float(30 * j);
            Record->ManualY2[1][j] = float(60 * j + 25);
        }
        State.SeriesLines[1] = SeriesLine{25, 145, 0, 60, 1, "a = 0,5"};
        Style.Switches[1][0] = Style.Switches[1][1] = CurveSwitch{true, true, true};
        Style.GridOn[0] = Style.GridOn[1] = 1;
        State.AcqMode = mode;
        State.AcqState = mode == 4 ? 7 : 0;
        State.CursorPending1 = State.CursorPending2 = 0;
        State.CursorT1 = 5;
        State.CursorT2 = 17.5;

        Bitmap.Canvas().Brush.Color = clBlack;
        Bitmap.Canvas().FillRect(Rect(0, 0, W, H));
        Draw();
        const QImage alone = Bitmap.Image().copy();
        const int cursorX1 = State.CursorX1;

        QImage page(W + 100, H + 80, QImage::Format_RGB32);
        page.fill(Qt::gray);
        {
            QPainter painter(&page);
            TCanvas canvas(&painter);
            canvas.Font.Name = "Arial";
            DrawGraph(canvas, 70, 50, W, H, State, Style, *Record);
        }
        EXPECT_EQ(page.copy(70, 50, W, H), alone);
        if (mode <= 2) {
            EXPECT_EQ(State.CursorX1, cursorX1 + 70);
            EXPECT_EQ(RgbToColor(alone.pixel(cursorX1, H - 1)), clBlack);
            EXPECT_EQ(RgbToColor(alone.pixel(cursorX1 + 1, H - 1)), Background);
        }
        ExpectUntouchedAround(page, 70, 50);
    }
}

TEST_F(GraphDrawTest, TimeAxisOnTheBottomEdgeAndZeroLineOfChannel1) {
    Record->DisplayMax[0][0] = 10;
    Record->DisplayMin[0][0] = 2; // origin below the plot area
    Record->DisplayMax[0][1] = 10;
    Record->DisplayMin[0][1] = 0.5f; // origin in the bottom margin
    Style.AxisWidth = 1;
    State.AcqMode = 2;
    Frame();
    const int bottom = H - State.MarginBottom;
    EXPECT_GT(State.OriginY[0], bottom);
    EXPECT_GT(State.OriginY[1], bottom);
    EXPECT_LT(State.OriginY[1], H);
    EXPECT_EQ(At(W / 2, bottom), Axis0);
    EXPECT_EQ(At(W / 2, State.OriginY[1]), Axis1);
    EXPECT_EQ(At(W - State.MarginLeft, H / 2), Axis1); // right axis
    EXPECT_EQ(At(State.MarginLeft, H / 2), Axis0);     // left axis
    // Channel 1's labels stand right of the plot area, in its axis colour.
    EXPECT_TRUE(AnyInColumn(W - State.MarginLeft + 6, State.MarginBottom, bottom, Axis1));
    EXPECT_FALSE(AnyInColumn(W - State.MarginLeft + 6, State.MarginBottom, bottom, Axis0));
    // With both grids off, no grid line crosses the plot area.
    EXPECT_FALSE(AnyInRow(H / 2, State.MarginLeft + 1, W - State.MarginLeft - 1, Grid));
}

// The box holding every pixel of color within [x1, x2] x [y1, y2].
struct Ink {
    int Left = 1 << 20, Right = -1, Top = 1 << 20, Bottom = -1;
    bool Found() const { return Right >= 0; }
    int CentreX() const { return (Left + Right) / 2; }
};
Ink InkOf(TCanvas& canvas, TColor color, int x1, int y1, int x2, int y2) {
    Ink ink;
    for (int y = std::max(y1, 0); y <= std::min(y2, H - 1); ++y)
        for (int x = std::max(x1, 0); x <= std::min(x2, W - 1); ++x)
            if (canvas.Pixels(x, y) == color) {
                ink.Left = std::min(ink.Left, x), ink.Right = std::max(ink.Right, x);
                ink.Top = std::min(ink.Top, y), ink.Bottom = std::max(ink.Bottom, y);
            }
    return ink;
}

TEST_F(GraphDrawTest, LabelsAndArrowHeadsStandWhereTheirAxesPutThem) {
    constexpr TColor TimeLabels = 0x00008000;
    Style.TimeLabelColor = TimeLabels;
    State.LineScale = 2; // text offsets and pen widths doubled
    for (int s = 0; s < MaxSeries; ++s)
        for (int c = 0; c < ChannelCount; ++c) {
            Record->DisplayMax[s][c] = 10;
            Record->DisplayMin[s][c] = -10;
        }
    TCanvas& canvas = Bitmap.Canvas();

    // Two channels against time: 47.5 ms, a time line every 5 ms.
    State.AcqMode = 2;
    Frame();
    const int ml = State.MarginLeft, mb = State.MarginBottom;
    const int th = canvas.TextHeight("0");
    const int a = canvas.TextHeight("]"), b = canvas.TextWidth("1");
    const int ya = State.OriginY[0];
    ASSERT_GT(ya, mb);
    ASSERT_LT(ya, H - mb);
    // Time labels centred on their line, 4 x LS below the axis.
    for (double t : {5.0, 10.0, 40.0}) {
        const int x = TimeToX(State, t);
        const Ink label = InkOf(canvas, TimeLabels, x - 15, ya + 2, x + 15, ya + 8 + th);
        ASSERT_TRUE(label.Found()) << t;
        EXPECT_NEAR(label.CentreX(), x, 1) << t;
        EXPECT_GE(label.Top, ya + 8) << t;
    }
    // The time title ends on the arrow's tip, above its upper stroke.
    const Ink title = InkOf(canvas, TimeLabels, W / 2, 0, W - 1, ya - b - 4);
    ASSERT_TRUE(title.Found());
    EXPECT_LE(title.Right, W - ml);
    EXPECT_GE(title.Right, W - ml - 3);
    // Arrow heads: the time axis' strokes leave its tip, the left axis' its
    // top; the right axis' head has its fixed size.
    EXPECT_EQ(canvas.Pixels(W - ml - a / 2, ya - b / 2), Axis0);
    EXPECT_EQ(canvas.Pixels(W - ml - a / 2, ya + b / 2), Axis0);
    EXPECT_EQ(canvas.Pixels(ml - b / 2, mb + a / 2), Axis0);
    EXPECT_EQ(canvas.Pixels(ml + b / 2, mb + a / 2), Axis0);
    EXPECT_EQ(canvas.Pixels(W - ml - 2, mb + 3), Axis1);
    EXPECT_EQ(canvas.Pixels(W - ml + 2, mb + 3), Axis1);
    EXPECT_NE(canvas.Pixels(W - ml - 6, mb + 8), Axis1);
    // Channel 1's labels right of the plot area: 2 x LS from it above its
    // origin, 4 x LS below it.
    const int step = int(std::nearbyint(2 * State.ScaleY[1]));
    const Ink above =
        InkOf(canvas, Axis1, W - ml + 2, ya - step - th, W - 1, ya - step + th / 2 - 1);
    const Ink below = InkOf(canvas, Axis1, W - ml + 2, ya + step - th / 2, W - 1, ya + step + th);
    ASSERT_TRUE(above.Found());
    ASSERT_TRUE(below.Found());
    const int space = canvas.TextWidth(" ");
    EXPECT_NEAR(above.Left, W - ml + 4 + space, 2); // " 2"
    EXPECT_NEAR(below.Left, W - ml + 8, 2);         // "-2"
    // Channel 0's labels end 6 x LS left of the plot area.
    const Ink left = InkOf(canvas, Axis0, 0, ya + step - th / 2, ml - 4, ya + step + th / 2);
    ASSERT_TRUE(left.Found());
    EXPECT_NEAR(left.Right, ml - 12, 2);

    // XY: negative X labels start at their line, positive ones are centred
    // on it; Y labels end b left of the vertical axis.
    State.AcqMode = 3;
    Frame();
    const int ox = State.OriginX, oy = State.OriginY[0];
    const int b8 = canvas.TextWidth("8");
    const int dx = int(std::nearbyint(2 * State.ScaleX));
    const Ink negative = InkOf(canvas, Axis0, ox - dx - 2, oy + 8, ox - dx + 20, oy + 8 + th);
    const Ink positive = InkOf(canvas, Axis0, ox + dx - 15, oy + 8, ox + dx + 15, oy + 8 + th);
    ASSERT_TRUE(negative.Found());
    ASSERT_TRUE(positive.Found());
    EXPECT_NEAR(negative.Left, ox - dx, 1);
    EXPECT_NEAR(positive.CentreX(), ox + dx, 1);
    const int dy = int(std::nearbyint(2 * State.ScaleY[0]));
    const Ink yLabel = InkOf(canvas, Axis0, ml, oy - dy - th / 2, ox - 2, oy - dy + th / 2 - 1);
    ASSERT_TRUE(yLabel.Found());
    EXPECT_NEAR(yLabel.Right, ox - b8 - 1, 2);
}

TEST_F(GraphDrawTest, PeriodCursorsOnlyOnTimeGraphsWithBothPlaced) {
    struct Case {
        int mode;
        uint8_t pending1, pending2;
        bool drawn;
    };
    for (const Case c :
         {Case{0, 0, 0, true}, Case{1, 0, 0, true}, Case{2, 0, 0, true}, Case{3, 0, 0, false},
          Case{4, 0, 0, false}, Case{0, 1, 0, false}, Case{2, 0, 1, false}}) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + " pending " + std::to_string(c.pending1) +
                     std::to_string(c.pending2));
        SetUp();
        Style.AxisColor[0] = Style.AxisColor[1] = Axis1; // black is the cursors' alone
        State.AcqMode = c.mode;
        State.CursorPending1 = c.pending1;
        State.CursorPending2 = c.pending2;
        State.CursorT1 = 22.5;
        State.CursorT2 = 10; // 12.5 ms apart, in either order
        Draw();
        // Two one-pixel lines down to the bottom edge.
        int lines = 0;
        for (int x = 0; x < W; ++x)
            lines += At(x, H - 2) == clBlack;
        EXPECT_EQ(lines, c.drawn ? 2 : 0);
        if (!c.drawn)
            continue;
        const int x1 = TimeToX(State, 10), x2 = TimeToX(State, 22.5);
        EXPECT_EQ(At(x1, H - 1), clBlack);
        EXPECT_EQ(At(x2, H - 1), clBlack);
        EXPECT_EQ(std::min(State.CursorX1, State.CursorX2), x1);
        // "T = 12,5 ms" centred between them, below the double arrow.
        const int th = Bitmap.Canvas().TextHeight("(");
        const int mb = State.MarginBottom;
        const Ink period =
            InkOf(Bitmap.Canvas(), clBlack, x1 + 2, mb + th, x2 - 2, mb + 2 * th - 1);
        ASSERT_TRUE(period.Found());
        EXPECT_NEAR(period.CentreX(), (x1 + x2) / 2, 2);
        EXPECT_EQ(At((x1 + x2) / 2, mb + th / 2), clBlack); // the arrow's shaft
    }
}

TEST_F(GraphDrawTest, PenWidthsFollowTheLineScaleButTheCursorsDoNot) {
    for (int ls : {1, 3}) {
        SCOPED_TRACE("line scale " + std::to_string(ls));
        SetUp();
        State.LineScale = ls;
        Style.CurveWidth[0][0] = 2;
        Style.AxisWidth = 1;
        Style.AxisColor[1] = Axis1;
        State.AcqMode = 0;
        Frame();
        SetPoint(1, 1, 5, ValueAt(0, 100), 0);
        SetPoint(1, 2, 40, ValueAt(0, 100), 0);
        State.CursorPending1 = State.CursorPending2 = 0;
        State.CursorT1 = 10;
        State.CursorT2 = 30;
        Draw();
        auto thickness = [&](int x, int y1, int y2, TColor color) {
            int rows = 0;
            for (int y = y1; y <= y2; ++y)
                rows += At(x, y) == color;
            return rows;
        };
        auto width = [&](int y, int x1, int x2, TColor color) {
            int columns = 0;
            for (int x = x1; x <= x2; ++x)
                columns += At(x, y) == color;
            return columns;
        };
        const int xMid = TimeToX(State, 20);
        const int y = ValueToY(State, 0, ValueAt(0, 100));
        EXPECT_EQ(thickness(xMid + 3, y - 10, y + 10, Curve), 2 * ls);
        // The left axis; the cursors' lines stay one pixel wide.
        EXPECT_EQ(width(H / 2 + 20, State.MarginLeft - 5, State.MarginLeft + 5, Axis0), ls);
        const int x1 = TimeToX(State, 10);
        EXPECT_EQ(width(H - 5, x1 - 5, x1 + 5, clBlack), 1);
    }
}

TEST_F(GraphDrawTest, GridFollowsTheSwitchesInTimeFramesOnly) {
    struct Case {
        int mode;
        uint8_t grid0, grid1;
        bool drawn;
    };
    for (const Case c : {Case{0, 1, 0, true}, Case{0, 0, 1, false}, Case{1, 0, 1, true},
                         Case{2, 0, 1, true}, Case{3, 0, 0, true}, Case{4, 0, 0, true}}) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        Style.GridOn[0] = c.grid0;
        Style.GridOn[1] = c.grid1;
        State.AcqMode = c.mode;
        Frame();
        int gridPixels = 0;
        for (int y = State.MarginBottom + 1; y < H - State.MarginBottom; ++y)
            gridPixels += At(W / 2 + 7, y) == Grid;
        for (int x = State.MarginLeft + 1; x < W - State.MarginLeft; ++x)
            gridPixels += At(x, H / 2 + 7) == Grid;
        EXPECT_EQ(gridPixels > 0, c.drawn);
    }
}

} // namespace
