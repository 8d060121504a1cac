#include "Graph.h"

#include "core/Numbers.h"
#include "model/TimeBase.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace workbench {

namespace {

// An origin farther than this from the rectangle makes a frame meaningless
// (single-precision values cannot be told apart at that scale).
constexpr double OriginLimit = 1e8;
// Pen widths beyond any page.
constexpr int64_t PenWidthLimit = 10000;

int PenWidth(int64_t width, int lineScale) {
    return static_cast<int>(std::clamp<int64_t>(width * lineScale, 1, PenWidthLimit));
}

int ClampPixel(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, -PixelLimit, PixelLimit));
}

// Walks the graduations k = 1, 2, ... at offset(k) pixels from their origin
// as the graduation loops do, over the part that can be seen: the first steps
// whose offset is below firstVisible are skipped without drawing (the origin
// may lie far outside the rectangle), the walk ends where keep(offset) fails
// (the loop's own end) and never takes more than `cap` steps.
template <class Offset, class Keep, class Visit>
void WalkGraduations(double stepPx, double firstVisible, int64_t cap, Offset offset, Keep keep,
                     Visit visit) {
    if (!(stepPx > 0) || !std::isfinite(stepPx))
        return;
    int64_t k = 1;
    if (firstVisible > 2 * stepPx)
        k = static_cast<int64_t>(std::min(firstVisible / stepPx - 1, 1e15));
    for (int64_t n = 0; n < cap; ++n, ++k) {
        const double off = offset(k);
        if (off < firstVisible)
            continue;
        if (!keep(off))
            return;
        visit(k, off);
    }
}

// The drawing of one frame or graph into the rectangle at (x0, y0).
class Painter {
public:
    Painter(TCanvas& canvas, int x0, int y0, GraphState& state, const GraphStyle& style,
            const MeasurementSet& record)
        : Canvas(canvas), X0(x0), Y0(y0), State(state), Style(style), Record(record) {}

    void FillBackground() {
        Canvas.Brush.Style = bsSolid;
        Canvas.Brush.Color = Style.BackgroundColor;
        Canvas.FillRect(Rect(X0, Y0, X0 + W(), Y0 + H()));
    }

    void DrawTimeAxes();
    void DrawXYAxes();
    void DrawCurves();

private:
    TCanvas& Canvas;
    const int X0;
    const int Y0;
    GraphState& State;
    const GraphStyle& Style;
    const MeasurementSet& Record;

    int W() const { return State.PlotWidth; }
    int H() const { return State.PlotHeight; }
    int ML() const { return State.MarginLeft; }
    int MB() const { return State.MarginBottom; }
    int LS() const { return State.LineScale; }
    int S() const { return State.SelectedSeries; }
    int64_t Cap() const {
        // At most eight lines a pixel: beyond that the area is solid anyway.
        return 8 * (int64_t(std::max(W(), 0)) + std::max(H(), 0)) + 16;
    }

    void MoveTo(int x, int y) {
        Canvas.MoveTo(ClampPixel(int64_t(X0) + x), ClampPixel(int64_t(Y0) + y));
    }
    void LineTo(int x, int y) {
        Canvas.LineTo(ClampPixel(int64_t(X0) + x), ClampPixel(int64_t(Y0) + y));
    }
    void Line(int x1, int y1, int x2, int y2) {
        MoveTo(x1, y1);
        LineTo(x2, y2);
    }
    int TW(const std::string& text) { return Canvas.TextWidth(text); }
    int TH(const char* text) { return Canvas.TextHeight(text); }
    // Text with its top-left corner at (x, y) of the rectangle, opaque in the
    // background colour; texts that cannot reach the rectangle are left out.
    void Text(int x, int y, const std::string& text) {
        if (y > H() || y < -2 * Canvas.TextHeight(text) || x > W())
            return;
        Canvas.Brush.Style = bsSolid;
        Canvas.Brush.Color = Style.BackgroundColor;
        Canvas.TextOut(X0 + x, Y0 + y, text);
    }
    void SetPen(TColor color, int64_t width) {
        Canvas.Pen.Color = color;
        Canvas.Pen.Width = PenWidth(width, LS());
        Canvas.Pen.Style = psSolid;
        Canvas.Pen.Mode = pmCopy;
    }

    GraduationStep StepOf(int c) const {
        const double range =
            double(Record.DisplayMax[S() - 1][c]) - double(Record.DisplayMin[S() - 1][c]);
        return ValueGraduationStep(range, SeriesUnitText(Record, S(), c));
    }

    // Horizontal graduation lines and labels of a value axis whose value 0 lies
    // at y = origin: upward while y >= MB, downward while y <= H - MB.
    template <class Up, class Down>
    void WalkValueGraduations(double stepValue, double scale, int origin, Up up, Down down) {
        const double stepPx = stepValue * scale;
        const int th = TH("0");
        auto offset = [&](int64_t k) { return std::nearbyint(stepValue * scale * double(k)); };
        // Upward: y = origin - offset, visible while y - th <= H.
        WalkGraduations(
            stepPx, double(origin) - H() - th, Cap(), offset,
            [&](double off) { return origin - off >= MB(); },
            [&](int64_t k, double off) { up(k, static_cast<int>(origin - off)); });
        // Downward: y = origin + offset, visible while y + th >= 0.
        WalkGraduations(
            stepPx, -double(origin) - th, Cap(), offset,
            [&](double off) { return origin + off <= H() - MB(); },
            [&](int64_t k, double off) { down(k, static_cast<int>(origin + off)); });
    }

    void DrawYGraduations(int c);
    void DrawOnePoint(int s, int c, int barW, bool allowLine);
    void PlaceFirstPoint(int s, int c, int barW);
    void DrawManualPoints(int s, int barW);
    void DrawCursors();
};

// Vertical graduations of channel c of a time frame: labels on the left, or
// on the right for channel 1 of the two-channel frame.
void Painter::DrawYGraduations(int c) {
    const bool rightSide = State.AcqMode == 2 && c == 1;
    const GraduationStep step = StepOf(c);
    const int origin = State.OriginY[c];
    const int labelOffset = TH("0") / 2;
    auto leftX = [&](const std::string& label) { return ML() - TW(label) - 6 * LS(); };
    auto gridLine = [&](int y) {
        if (Style.GridOn[c] != 0)
            Line(State.OriginX, y, W() - ML(), y);
    };

    const std::string zero = "0";
    Text(rightSide ? W() - ML() + 2 * LS() : leftX(zero), origin - labelOffset, zero);
    WalkValueGraduations(
        step.Step, State.ScaleY[c], origin,
        [&](int64_t k, int y) {
            gridLine(y);
            const std::string label =
                " " + platform::FormatFixed(double(k) * step.Step, 6, step.Decimals);
            Text(rightSide ? W() - ML() + 2 * LS() : leftX(label), y - labelOffset, label);
        },
        [&](int64_t k, int y) {
            gridLine(y);
            const std::string label =
                "-" + platform::FormatFixed(double(k) * step.Step, 6, step.Decimals);
            Text(rightSide ? W() - ML() + 4 * LS() : leftX(label), y - labelOffset, label);
        });
}

void Painter::DrawTimeAxes() {
    FillBackground();
    const int a = TH("]");
    const int b = TW("1");
    const double timeBase = TimeBaseMs[Record.DeltaTIndex];
    const double grid = TimeGridStepMs(Record.MeasureCount, timeBase);
    const int mode = State.AcqMode;

    // Value graduations.
    const int first = mode == 2 ? 0 : mode;
    const int last = mode == 2 ? 1 : mode;
    for (int c = first; c <= last; ++c) {
        SetPen(Style.GridColor[c], Style.GridWidth);
        Canvas.Font.Color = Style.AxisColor[c];
        DrawYGraduations(c);
    }

    // The time axis lies on the origin of the reference channel, or on the
    // bottom edge of the plot area when that origin is outside it.
    const int ch = mode == 2 ? 0 : mode;
    int ya = State.OriginY[ch];
    if (ya > H() - MB() || ya < MB())
        ya = H() - MB();

    // Time grid and labels every ten grid steps.
    SetPen(Style.GridColor[ch], Style.GridWidth);
    Canvas.Font.Color = Style.TimeLabelColor;
    const bool gridOn =
        mode == 2 ? (Style.GridOn[0] != 0 || Style.GridOn[1] != 0) : Style.GridOn[ch] != 0;
    const bool inSeconds = State.TimeInSeconds != 0;
    const int msDecimals = TimeLabelDecimalsMs(grid);
    WalkGraduations(
        10 * grid * State.ScaleX, 0, Cap(),
        [&](int64_t k) { return std::nearbyint(double(k) * 10 * grid * State.ScaleX); },
        [&](double off) { return State.OriginX + off <= W() - ML(); },
        [&](int64_t k, double off) {
            const int x = static_cast<int>(State.OriginX + off);
            if (gridOn)
                Line(x, MB(), x, H() - MB());
            const std::string label = TimeLabelText(double(k) * 10 * grid, inSeconds, msDecimals);
            Text(x - TW(label) / 2, ya + 4 * LS(), label);
        });

    // Time axis with its arrow head and title.
    SetPen(Style.AxisColor[ch], Style.AxisWidth);
    Line(ML(), ya, W() - ML(), ya);
    LineTo(W() - ML() - a, ya - b);
    Line(W() - ML() - a, ya + b, W() - ML(), ya);
    Canvas.Font.Color = Style.TimeLabelColor;
    Text(W() - ML() - TW(State.XAxisLabel), ya - TH("I") - b - 4, State.XAxisLabel);

    // Vertical axis at the time origin, arrow head first.
    const int ox = State.OriginX;
    Line(ox, MB(), ox - b, MB() + a);
    Line(ox + b, MB() + a, ox, MB());
    LineTo(ox, H() - MB());
    Canvas.Font.Color = Style.AxisColor[ch];
    Text(ox + a, MB() - TH("I"), State.YAxisLabel[ch]);

    if (mode == 2) {
        // Right axis of channel 1 with a fixed arrow head, its title, and its
        // zero line wherever it lies.
        SetPen(Style.AxisColor[1], Style.AxisWidth);
        const int xr = W() - ML();
        Line(xr, MB(), xr - 4, MB() + 6);
        Line(xr + 4, MB() + 6, xr, MB());
        LineTo(xr, H() - MB());
        Canvas.Font.Color = Style.AxisColor[1];
        Text(xr - 6 * LS() - TW(State.YAxisLabel[1]), MB() - TH("I"), State.YAxisLabel[1]);
        if (State.OriginY[1] >= -2 * H() && State.OriginY[1] <= 3 * H())
            Line(ML(), State.OriginY[1], xr, State.OriginY[1]);
    }
}

void Painter::DrawXYAxes() {
    FillBackground();
    const int a = TH("]");
    const int b = TW("8");
    SetPen(Style.GridColor[0], Style.GridWidth);
    Canvas.Font.Color = Style.AxisColor[0];
    const int ox = State.OriginX;
    const int oy = State.OriginY[0];
    const int labelOffset = TH("0") / 2;

    // X graduations (channel 1): negative labels start at their line,
    // positive ones are centred on it.
    const GraduationStep xStep = StepOf(1);
    const double xStepPx = xStep.Step * State.ScaleX;
    auto xOffset = [&](int64_t k) { return std::nearbyint(xStep.Step * State.ScaleX * double(k)); };
    const int labelY = oy + 4 * LS();
    WalkGraduations(
        xStepPx, double(ox) - W(), Cap(), xOffset, [&](double off) { return ox - off >= ML(); },
        [&](int64_t k, double off) {
            const int x = static_cast<int>(ox - off);
            Line(x, MB(), x, H() - MB());
            Text(x, labelY, platform::FormatFixed(-double(k) * xStep.Step, 4, xStep.Decimals));
        });
    const std::string zero = "0";
    Text(ox - TW(zero) - 6 * LS(), oy - labelOffset, zero);
    WalkGraduations(
        xStepPx, -double(ox) - W(), Cap(), xOffset,
        [&](double off) { return ox + off <= W() - ML(); },
        [&](int64_t k, double off) {
            const int x = static_cast<int>(ox + off);
            Line(x, MB(), x, H() - MB());
            const std::string label =
                platform::FormatFixed(double(k) * xStep.Step, 4, xStep.Decimals);
            Text(x - TW(label) / 2, labelY, label);
        });

    // Y graduations (channel 0), labels right-aligned left of the axis.
    const GraduationStep yStep = StepOf(0);
    auto yLabel = [&](int y, const std::string& label) {
        Text(ox - TW(label) - b, y - labelOffset, label);
    };
    WalkValueGraduations(
        yStep.Step, State.ScaleY[0], oy,
        [&](int64_t k, int y) {
            Line(ML(), y, W() - ML(), y);
            yLabel(y, " " + platform::FormatFixed(double(k) * yStep.Step, 6, yStep.Decimals));
        },
        [&](int64_t k, int y) {
            Line(ML(), y, W() - ML(), y);
            yLabel(y, platform::FormatFixed(-double(k) * yStep.Step, 6, yStep.Decimals));
        });

    // Both axes through the origin, wherever it lies.
    SetPen(Style.AxisColor[0], Style.AxisWidth);
    Line(ML(), oy, W() - ML(), oy);
    LineTo(W() - ML() - a, oy - b);
    Line(W() - ML() - a, oy + b, W() - ML(), oy);
    Text(W() - ML() - TW(State.XAxisLabel), oy - TH("I") - b, State.XAxisLabel);
    Line(ox, MB(), ox - b, MB() + a);
    Line(ox + b, MB() + a, ox, MB());
    LineTo(ox, H() - MB());
    Text(ox + a, MB() - TH("I"), State.YAxisLabel[0]);
}

// One point at (CurX, CurY[c]) with the boxes and style of series s, channel
// c: joined to the previous one when both lie inside the plot area.
void Painter::DrawOnePoint(int s, int c, int barW, bool allowLine) {
    const CurveSwitch& sw = Style.Switches[s - 1][c];
    if (!IsInsidePlot(State, State.CurY[c])) {
        State.FirstPoint[c] = 0;
    } else {
        if (sw.Line) {
            const TColor color = Style.CurveColor[s - 1][c];
            SetPen(sw.Pale ? PaleColor(color) : color, Style.CurveWidth[s - 1][c]);
            if (State.FirstPoint[c] == 1 && allowLine)
                Line(State.PrevX, State.PrevY[c], State.CurX, State.CurY[c]);
            else
                MoveTo(State.CurX, State.CurY[c]);
        } else {
            MoveTo(State.CurX, State.CurY[c]);
        }
        if (sw.Points)
            DrawPointMarker(Canvas, s, c, X0 + State.CurX, Y0 + State.CurY[c], barW, H(), Style,
                            LS());
        State.FirstPoint[c] = 1;
    }
    State.PrevY[c] = State.CurY[c];
}

// The first point of a series in the one-channel and XY modes: placed without
// the inside test, its join flag left as it is.
void Painter::PlaceFirstPoint(int s, int c, int barW) {
    if (Style.Switches[s - 1][c].Points)
        DrawPointMarker(Canvas, s, c, X0 + State.CurX, Y0 + State.CurY[c], barW, H(), Style, LS());
    MoveTo(State.CurX, State.CurY[c]);
    State.PrevX = State.CurX;
    State.PrevY[c] = State.CurY[c];
}

// The points validated by hand (always marked) and the series' line.
void Painter::DrawManualPoints(int s, int barW) {
    State.FirstPoint[0] = 1;
    const int count = std::clamp<int>(Record.XYPointCount[s - 1], 0, MaxPoints);
    for (int j = 1; j <= count; ++j) {
        State.CurY[0] = ManualToY(State, Record.ManualY1[s - 1][j - 1]);
        State.CurX = ManualToX(State, Record.ManualY2[s - 1][j - 1]);
        if (IsInsidePlot(State, State.CurY[0])) {
            DrawPointMarker(Canvas, s, 0, X0 + State.CurX, Y0 + State.CurY[0], barW, H(), Style,
                            LS());
            State.FirstPoint[0] = 1;
        } else {
            State.FirstPoint[0] = 0;
        }
    }
    const SeriesLine& line = State.SeriesLines[s - 1];
    if (count < 1 || !Style.Switches[s - 1][0].Line || line.Valid == 0)
        return;
    SetPen(Style.CurveColor[s - 1][0], Style.CurveWidth[s - 1][0]);
    const int x2 = ManualToX(State, line.X2);
    const int y2 = ManualToY(State, line.Y2);
    Line(ManualToX(State, line.X1), ManualToY(State, line.Y1), x2, y2);
    if (!line.Label.empty()) {
        Canvas.Font.Color = Style.CurveColor[s - 1][0];
        Text(ClampPixel(int64_t(x2) - ML()), ClampPixel(int64_t(y2) + MB()), line.Label);
    }
}

void Painter::DrawCursors() {
    State.CursorX1 = ClampPixel(int64_t(TimeToX(State, State.CursorT1)) + X0);
    State.CursorX2 = ClampPixel(int64_t(TimeToX(State, State.CursorT2)) + X0);
    const int x1 = State.CursorX1;
    const int x2 = State.CursorX2;
    Canvas.Pen.Color = clBlack;
    Canvas.Pen.Width = 1;
    Canvas.Pen.Style = psSolid;
    Canvas.Pen.Mode = pmCopy;
    Canvas.MoveTo(x1, Y0);
    Canvas.LineTo(x1, Y0 + H());
    Canvas.MoveTo(x2, Y0);
    Canvas.LineTo(x2, Y0 + H());

    // Double arrow between the cursors.
    Canvas.Pen.Width = 2;
    const int h = Canvas.TextHeight("(") / 2;
    const int top = Y0 + MB();
    Canvas.MoveTo(x1, top + h);
    Canvas.LineTo(x2, top + h);
    Canvas.MoveTo(x1, top + h);
    Canvas.LineTo(x1 + h, top);
    Canvas.MoveTo(x1, top + h);
    Canvas.LineTo(x1 + h, top + 2 * h);
    Canvas.MoveTo(x2, top + h);
    Canvas.LineTo(x2 - h, top);
    Canvas.MoveTo(x2, top + h);
    Canvas.LineTo(x2 - h, top + 2 * h);

    // Period and frequency, centred between the cursors.
    const double period = std::fabs(State.CursorT2 - State.CursorT1);
    const std::string periodText = PeriodText(period, State.TimeInSeconds != 0);
    const std::string frequencyText = FrequencyText(period);
    Canvas.Brush.Style = bsSolid;
    Canvas.Brush.Color = Style.BackgroundColor;
    Canvas.Font.Color = clBlack;
    const int64_t spread = std::llabs(int64_t(x2) - x1);
    const int x = ClampPixel(std::min(x1, x2) + (spread - Canvas.TextWidth(periodText)) / 2);
    const int th = Canvas.TextHeight("(");
    Canvas.TextOut(x, top + th, periodText);
    if (!frequencyText.empty())
        Canvas.TextOut(x, top + 2 * th, frequencyText);
}

void Painter::DrawCurves() {
    const int mode = State.AcqMode;
    State.FirstPoint[0] = 1;
    State.FirstPoint[1] = 1;
    // The bar width last worked out; before any, one sampling interval.
    int lastBar = 0;
    if (IsValidTimeBaseIndex(Record.DeltaTIndex))
        lastBar = ToPixel(std::nearbyint(TimeBaseMs[Record.DeltaTIndex] * State.ScaleX));

    const int seriesCount = std::clamp<int>(Record.SeriesCount, 0, MaxSeries);
    for (int s = 1; s <= seriesCount; ++s) {
        const CurveSwitch* sw = Style.Switches[s - 1];
        auto shown = [&](int c) { return sw[c].Line || sw[c].Points; };
        if (!shown(0) && !shown(1))
            continue;
        const int count = std::clamp<int>(Record.PointCount[s - 1], 0, MaxPoints);
        for (int k = 1; k <= count; ++k) {
            const int barW = BarWidth(State, Record, s, k);
            lastBar = barW;
            const float time = Record.PointTime[s - 1][k - 1];
            const float* value0 = &Record.PointValue[s - 1][0][k - 1];
            const float* value1 = &Record.PointValue[s - 1][1][k - 1];
            if (mode == 0 || mode == 1) {
                const int c = mode;
                if (!shown(c))
                    continue;
                State.CurY[c] = ValueToY(State, c, c == 0 ? *value0 : *value1);
                State.CurX = TimeToX(State, time);
                if (k == 1) {
                    PlaceFirstPoint(s, c, barW);
                } else {
                    DrawOnePoint(s, c, barW, true);
                    State.PrevX = State.CurX;
                }
            } else if (mode == 2) {
                State.CurX = TimeToX(State, time);
                for (int c = 0; c <= 1; ++c) {
                    if (!shown(c))
                        continue;
                    State.CurY[c] = ValueToY(State, c, c == 0 ? *value0 : *value1);
                    DrawOnePoint(s, c, barW, k > 1);
                }
                State.PrevX = State.CurX;
            } else if (mode == 3 || (mode == 4 && State.AcqState == 7)) {
                State.CurY[0] = ValueToY(State, 0, *value0);
                State.CurX = XYValueToX(State, *value1);
                if (k == 1) {
                    PlaceFirstPoint(s, 0, barW);
                } else {
                    DrawOnePoint(s, 0, barW, true);
                    State.PrevX = State.CurX;
                }
            }
        }
        if (mode == 4)
            DrawManualPoints(s, lastBar);
    }
    if (mode <= 2 && State.CursorPending1 == 0 && State.CursorPending2 == 0)
        DrawCursors();
}

// The frame's scales are usable: finite, and an origin within reach.
bool UsableScale(double scale, double origin) {
    return std::isfinite(scale) && scale > 0 && std::isfinite(origin) &&
           std::fabs(origin) <= OriginLimit;
}

} // namespace

void SetPlotSize(TCanvas& canvas, int w, int h, GraphState& state) {
    state.PlotWidth = w;
    state.PlotHeight = h;
    canvas.Font.Height = PlotFontHeight(h);
    state.MarginLeft = canvas.TextWidth("-2000.0") + 8 * state.LineScale;
    state.MarginBottom = canvas.TextHeight("[") + 8 * state.LineScale;
}

bool ComputeTimeScales(int c, GraphState& state, const MeasurementSet& record) {
    const int s = state.SelectedSeries;
    if (c < 0 || c > 1 || s < 1 || s > MaxSeries || record.MeasureCount < 1 ||
        !IsValidTimeBaseIndex(record.DeltaTIndex) || !HasDisplayRange(record, s, c))
        return false;
    const int plotW = state.PlotWidth - 2 * state.MarginLeft;
    const int plotH = state.PlotHeight - 2 * state.MarginBottom;
    if (plotW <= 0 || plotH <= 0)
        return false;
    const double duration = record.MeasureCount * TimeBaseMs[record.DeltaTIndex];
    const double top = record.DisplayMax[s - 1][c];
    const double scaleX = plotW / duration;
    const double scaleY = plotH / (top - double(record.DisplayMin[s - 1][c]));
    const double originY = std::nearbyint(top * scaleY) + state.MarginBottom;
    if (!UsableScale(scaleX, 0) || !UsableScale(scaleY, originY))
        return false;
    state.ScaleX = scaleX;
    state.ScaleY[c] = scaleY;
    state.OriginY[c] = static_cast<int32_t>(originY);
    state.OriginX = state.MarginLeft;
    state.TimeInSeconds = TimeAxisInSeconds(record.MeasureCount, TimeBaseMs[record.DeltaTIndex]);
    state.XAxisLabel = state.TimeInSeconds != 0 ? "temps [s]" : "temps [ms]";
    state.YAxisLabel[c] = SeriesAxisTitle(record, s, c);
    return true;
}

bool ComputeXYScales(GraphState& state, const MeasurementSet& record) {
    const int s = state.SelectedSeries;
    if (s < 1 || s > MaxSeries || !HasDisplayRange(record, s, 0) || !HasDisplayRange(record, s, 1))
        return false;
    const int plotW = state.PlotWidth - 2 * state.MarginLeft;
    const int plotH = state.PlotHeight - 2 * state.MarginBottom;
    if (plotW <= 0 || plotH <= 0)
        return false;
    const double bottomX = record.DisplayMin[s - 1][1];
    const double topY = record.DisplayMax[s - 1][0];
    const double scaleX = plotW / (double(record.DisplayMax[s - 1][1]) - bottomX);
    const double scaleY = plotH / (topY - double(record.DisplayMin[s - 1][0]));
    const double originY = std::nearbyint(topY * scaleY) + state.MarginBottom;
    // The signed lower end: X = 0 lies at ML - DisplayMin x ScaleX.
    const double originX = std::nearbyint(-bottomX * scaleX) + state.MarginLeft;
    if (!UsableScale(scaleX, originX) || !UsableScale(scaleY, originY))
        return false;
    state.ScaleX = scaleX;
    state.ScaleY[0] = scaleY;
    state.OriginY[0] = static_cast<int32_t>(originY);
    state.OriginX = static_cast<int32_t>(originX);
    state.YAxisLabel[0] = SeriesAxisTitle(record, s, 0);
    state.XAxisLabel = SeriesAxisTitle(record, s, 1);
    return true;
}

// Whatever the routines below draw stays inside the graph's rectangle: a
// printer page holds other copies and the cut marks around it.

void DrawTimeAxes(TCanvas& canvas, int x0, int y0, const GraphState& state, const GraphStyle& style,
                  const MeasurementSet& record) {
    GraphState copy = state;
    TCanvasClip clip(canvas, Rect(x0, y0, x0 + state.PlotWidth, y0 + state.PlotHeight));
    Painter painter(canvas, x0, y0, copy, style, record);
    if (IsValidTimeBaseIndex(record.DeltaTIndex) && state.AcqMode >= 0 && state.AcqMode <= 2 &&
        state.SelectedSeries >= 1 && state.SelectedSeries <= MaxSeries)
        painter.DrawTimeAxes();
    else
        painter.FillBackground();
}

void DrawXYAxes(TCanvas& canvas, int x0, int y0, const GraphState& state, const GraphStyle& style,
                const MeasurementSet& record) {
    GraphState copy = state;
    TCanvasClip clip(canvas, Rect(x0, y0, x0 + state.PlotWidth, y0 + state.PlotHeight));
    Painter painter(canvas, x0, y0, copy, style, record);
    if (state.SelectedSeries >= 1 && state.SelectedSeries <= MaxSeries)
        painter.DrawXYAxes();
    else
        painter.FillBackground();
}

bool DrawFrame(TCanvas& canvas, int x0, int y0, int w, int h, GraphState& state,
               const GraphStyle& style, const MeasurementSet& record) {
    SetPlotSize(canvas, w, h, state);
    canvas.Pen.Mode = pmCopy;
    bool valid = false;
    switch (state.AcqMode) {
    case 0:
    case 1:
        valid = ComputeTimeScales(state.AcqMode, state, record);
        break;
    case 2:
        valid = ComputeTimeScales(0, state, record) && ComputeTimeScales(1, state, record);
        break;
    case 3:
    case 4:
        valid = ComputeXYScales(state, record);
        break;
    default:
        break;
    }
    state.FrameValid = valid;
    if (!valid) {
        TCanvasClip clip(canvas, Rect(x0, y0, x0 + w, y0 + h));
        Painter(canvas, x0, y0, state, style, record).FillBackground();
        return false;
    }
    if (state.AcqMode <= 2)
        DrawTimeAxes(canvas, x0, y0, state, style, record);
    else
        DrawXYAxes(canvas, x0, y0, state, style, record);
    return true;
}

void DrawGraph(TCanvas& canvas, int x0, int y0, int w, int h, GraphState& state,
               const GraphStyle& style, const MeasurementSet& record) {
    if (!DrawFrame(canvas, x0, y0, w, h, state, style, record))
        return;
    TCanvasClip clip(canvas, Rect(x0, y0, x0 + w, y0 + h));
    Painter(canvas, x0, y0, state, style, record).DrawCurves();
}

void DrawPointMarker(TCanvas& canvas, int s, int c, int x, int y, int barW, int scaleRef,
                     const GraphStyle& style, int lineScale) {
    if (s < 1 || s > MaxSeries || c < 0 || c > 1)
        return;
    const TPointStyle& point = style.PointStyle[s - 1][c];
    const TColor outline = point.OutlineColor;
    canvas.Pen.Color = style.Switches[s - 1][c].Pale ? PaleColor(outline) : outline;
    canvas.Pen.Width = PenWidth(point.OutlineWidth, lineScale);
    canvas.Pen.Style = psSolid;
    canvas.Pen.Mode = pmCopy;
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = point.FillColor;
    const int64_t f = MarkerSizeFactor(scaleRef);
    const int64_t hw = int64_t(point.HalfWidth) * f;
    const int64_t hh = int64_t(point.HalfHeight) * f;
    const int left = ClampPixel(x - hw);
    const int right = ClampPixel(x + hw);
    const int top = ClampPixel(y - hh);
    const int bottom = ClampPixel(y + hh);
    auto stroke = [&](int x1, int y1, int x2, int y2) {
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
    };
    switch (point.Shape) {
    case 0:
        canvas.Rectangle(left, top, right, bottom);
        break;
    case 1:
        canvas.Ellipse(left, top, right, bottom);
        break;
    case 2:
        stroke(left, y, right, y);
        stroke(x, top, x, bottom);
        break;
    case 3:
        stroke(left, top, right, bottom);
        stroke(left, bottom, right, top);
        break;
    case 4:
        canvas.Rectangle(x, top, ClampPixel(int64_t(x) + barW), bottom);
        break;
    default:
        break;
    }
}

void DrawStyleSample(TCanvas& canvas, int s, int c, const GraphStyle& style, int lineScale,
                     int scaleRef) {
    canvas.Brush.Color = style.BackgroundColor;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(Rect(0, 0, SampleWidth, SampleHeight));
    if (s < 1 || s > MaxSeries || c < 0 || c > 1)
        return;
    const CurveSwitch& sw = style.Switches[s - 1][c];
    const int midX = SampleWidth / 2;
    const int midY = SampleHeight / 2;
    auto setLinePen = [&] {
        const TColor color = style.CurveColor[s - 1][c];
        canvas.Pen.Color = sw.Pale ? PaleColor(color) : color;
        canvas.Pen.Width = PenWidth(style.CurveWidth[s - 1][c], lineScale);
        canvas.Pen.Style = psSolid;
        canvas.Pen.Mode = pmCopy;
    };
    if (sw.Line) {
        setLinePen();
        canvas.MoveTo(0, 0);
        canvas.LineTo(midX, midY);
    }
    if (sw.Points)
        DrawPointMarker(canvas, s, c, midX, midY, 4, scaleRef, style, lineScale);
    if (sw.Line) {
        setLinePen();
        canvas.MoveTo(midX, midY);
        canvas.LineTo(SampleWidth, SampleHeight);
    }
}

} // namespace workbench
