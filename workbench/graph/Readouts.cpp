#include "Readouts.h"

#include "GraphScale.h"
#include "core/Numbers.h"
#include "model/Acquisition.h"

#include <cmath>
#include <cstdlib>

namespace workbench {

namespace {

constexpr int Precision = 8;

bool UsableScale(double scale) {
    return std::isfinite(scale) && scale != 0;
}

bool HasTimeScale(const GraphState& state) {
    return state.FrameValid && UsableScale(state.ScaleX);
}

double XValue(const GraphState& state, int x, int margin) {
    return (double(x) - margin - state.OriginX) / state.ScaleX;
}

double YValue(const GraphState& state, int c, int y, int margin) {
    return (double(state.OriginY[c]) + margin - y) / state.ScaleY[c];
}

// "label = value unit" of series s, channel c.
std::string ValueReadout(const MeasurementSet& record, int s, int c, double value) {
    return ShortStringText(record.SeriesLabel[s - 1][c]) + " = " +
           platform::FormatFixed(value, Precision, record.SeriesDecimals[s - 1][c]) + " " +
           ShortStringText(record.SeriesUnit[s - 1][c]);
}

} // namespace

std::string TimeReadoutText(double tMs, bool inSeconds) {
    if (inSeconds)
        return platform::FormatFixed(tMs / 1000, Precision, 2) + " s";
    return platform::FormatFixed(tMs, Precision, 1) + " ms";
}

std::string PointerReadoutText(const GraphState& state, const MeasurementSet& record, int mode,
                               int series, int x, int y, int boxWidth, int boxHeight, int margin) {
    if (series < 1 || series > MaxSeries || mode == ModeManual)
        return {};
    if (!(x > margin && x < boxWidth - margin && y > margin && y < boxHeight - margin))
        return {};
    if (!HasTimeScale(state))
        return {};
    const bool xy = mode == ModeXY;
    const bool both = mode == ModeYY || xy;
    const int c = mode == ModeY2 ? 1 : 0;
    if (!UsableScale(state.ScaleY[c]) || (both && !UsableScale(state.ScaleY[1])))
        return {};

    const double v = YValue(state, c, y, margin);
    if (xy)
        return ValueReadout(record, series, 0, v) + "  ||  " +
               ValueReadout(record, series, 1, XValue(state, x, margin));
    const std::string time =
        "  ||  durée = " + TimeReadoutText(XValue(state, x, margin), state.TimeInSeconds != 0);
    if (mode == ModeYY)
        return "Y1 " + ValueReadout(record, series, 0, v) + " || Y2 " +
               ValueReadout(record, series, 1, YValue(state, 1, y, margin)) + time;
    return ValueReadout(record, series, c, v) + time;
}

std::optional<double> CursorTimeMs(const GraphState& state, int x, int margin) {
    if (!HasTimeScale(state))
        return std::nullopt;
    return XValue(state, x, margin);
}

std::optional<double> CursorPeriodMs(const GraphState& state, int x1, int x2) {
    if (!HasTimeScale(state))
        return std::nullopt;
    return std::abs(double(x2) - x1) / state.ScaleX;
}

std::optional<SeriesLine> ManualLineFromPixels(const GraphState& state, int margin, int x1, int y1,
                                               int x2, int y2) {
    if (!HasTimeScale(state) || !UsableScale(state.ScaleY[0]))
        return std::nullopt;
    SeriesLine line;
    line.X1 = static_cast<float>(XValue(state, x1, margin));
    line.X2 = static_cast<float>(XValue(state, x2, margin));
    line.Y1 = static_cast<float>(YValue(state, 0, y1, margin));
    line.Y2 = static_cast<float>(YValue(state, 0, y2, margin));
    line.Valid = 1;
    return line;
}

std::string SlopeLabel(int series, std::string_view unit0, std::string_view unit1,
                       const SeriesLine& line) {
    auto holds = [](std::string_view unit, char letter) {
        return unit.find(letter) != std::string_view::npos;
    };
    if (line.X1 == line.X2)
        return {};
    const double rise = double(line.Y2) - line.Y1;
    const double run = double(line.X2) - line.X1;
    const std::string s = std::to_string(series);
    // When both tests hold the conductance wins, so it is tried first.
    if (holds(unit0, 'A') && holds(unit1, 'V')) {
        const double k = unit0 == "mA" ? 1000 : 1;
        return "G" + s + " = " + platform::FormatFixed(rise / run / k, Precision, 3) + " siemens";
    }
    if (holds(unit0, 'V') && holds(unit1, 'A')) {
        const double k = unit1 == "mA" ? 1000 : 1;
        return "R" + s + " = " + platform::FormatFixed(rise * k / run, Precision, 0) + " ohm";
    }
    return {};
}

} // namespace workbench
