#include "GraphScale.h"
#include "Readouts.h"

#include "core/Cp1252.h"
#include "core/Numbers.h"
#include "model/TimeBase.h"

#include <algorithm>
#include <cmath>

namespace workbench {

namespace {

template <std::size_t N> std::string ShortText(const ShortString<N>& text) {
    const std::size_t length = std::min<std::size_t>(text.Length, N);
    return platform::Cp1252ToUtf8(reinterpret_cast<const uint8_t*>(text.Text), length);
}

bool IsWhole(double value) {
    return std::isfinite(value) && std::floor(value) == value;
}

// Round(product) + origin, held within the pixel limits.
int OffsetPixel(double product, double origin) {
    if (std::isnan(product))
        return -PixelLimit;
    return ToPixel(std::nearbyint(product) + origin);
}

} // namespace

int ToPixel(double value) {
    if (std::isnan(value))
        return -PixelLimit;
    const double rounded =
        std::nearbyint(std::clamp(value, -double(PixelLimit), double(PixelLimit)));
    return static_cast<int>(rounded);
}

int PlotFontHeight(int h) {
    return std::max(h / 32, 11);
}

GraduationStep ValueGraduationStep(double range, std::string_view unit) {
    GraduationStep result;
    // The whole number of tenths of the range.
    result.Step = std::trunc(std::trunc(range * 100) / 1000);
    if (range > 100)
        result.Step = 10 * std::nearbyint(range / 100);
    if (result.Step == 0) {
        if (range > 4) {
            result.Step = 0.5;
            result.Decimals = 1;
        } else if (range > 1.5) {
            result.Step = 0.25;
            result.Decimals = 2;
        } else {
            result.Step = 0.1;
            result.Decimals = 2;
        }
    }
    if (unit == "A") {
        result.Step = 0.05;
        result.Decimals = 2;
    }
    return result;
}

double TimeGridStepMs(int measureCount, double timeBaseMs) {
    if (measureCount > 140)
        return 1.5 * timeBaseMs;
    if (measureCount >= 40)
        return timeBaseMs;
    return 0.25 * timeBaseMs;
}

bool TimeAxisInSeconds(int measureCount, double timeBaseMs) {
    return measureCount * timeBaseMs > 2000;
}

int TimeLabelDecimalsMs(double gridStepMs) {
    return IsWhole(10 * gridStepMs) ? 0 : 1;
}

std::string TimeLabelText(double tMs, bool inSeconds, int msDecimals) {
    if (!inSeconds)
        return platform::FormatFixed(tMs, 5, msDecimals);
    const double seconds = tMs / 1000;
    return platform::FormatFixed(seconds, 5, IsWhole(seconds) ? 0 : 2);
}

std::string SeriesUnitText(const MeasurementSet& record, int s, int c) {
    return ShortText(record.SeriesUnit[s - 1][c]);
}

std::string SeriesAxisTitle(const MeasurementSet& record, int s, int c) {
    return ShortText(record.SeriesLabel[s - 1][c]) + " [" + SeriesUnitText(record, s, c) + "]";
}

int TimeToX(const GraphState& state, double tMs) {
    return OffsetPixel(tMs * state.ScaleX, state.OriginX);
}

int ValueToY(const GraphState& state, int c, float value) {
    if (value == OverRangeValue)
        return 0;
    if (value == UnderRangeValue)
        return state.PlotHeight;
    if (std::isnan(value))
        return -PixelLimit;
    return OffsetPixel(-std::nearbyint(double(value) * state.ScaleY[c]), state.OriginY[c]);
}

int XYValueToX(const GraphState& state, float value) {
    if (value == OverRangeValue)
        return state.PlotWidth;
    if (value == UnderRangeValue)
        return 0;
    return OffsetPixel(double(value) * state.ScaleX, state.OriginX);
}

int ManualToX(const GraphState& state, double value) {
    return OffsetPixel(value * state.ScaleX, state.OriginX);
}

int ManualToY(const GraphState& state, double value) {
    if (std::isnan(value))
        return -PixelLimit;
    return OffsetPixel(-std::nearbyint(value * state.ScaleY[0]), state.OriginY[0]);
}

bool IsInsidePlot(const GraphState& state, int y) {
    return y >= 2 && y <= state.PlotHeight - 2;
}

int BarWidth(const GraphState& state, const MeasurementSet& record, int s, int k) {
    const int count = std::clamp<int>(record.PointCount[s - 1], 0, MaxPoints);
    const float* time = record.PointTime[s - 1];
    if (k >= 1 && k < count)
        return OffsetPixel((double(time[k]) - double(time[k - 1])) * state.ScaleX, 0);
    if (k >= 2 && k <= count)
        return OffsetPixel((double(time[k - 1]) - double(time[k - 2])) * state.ScaleX, 0);
    if (IsValidTimeBaseIndex(record.DeltaTIndex))
        return OffsetPixel(TimeBaseMs[record.DeltaTIndex] * state.ScaleX, 0);
    return 0;
}

int MarkerSizeFactor(int scaleRef) {
    return std::max(scaleRef / 480, 1);
}

std::string PeriodText(double periodMs, bool inSeconds) {
    return "T = " + TimeReadoutText(periodMs, inSeconds);
}

std::string FrequencyText(double periodMs) {
    if (!(periodMs > 0) || !std::isfinite(periodMs))
        return {};
    const double f = 1000 / periodMs;
    const int decimals = f > 20 ? 0 : f > 5 ? 1 : f > 1 ? 2 : 3;
    return "f = " + platform::FormatFixed(f, 8, decimals) + " Hz";
}

bool HasDisplayRange(const MeasurementSet& record, int s, int c) {
    const double top = record.DisplayMax[s - 1][c];
    const double bottom = record.DisplayMin[s - 1][c];
    return std::isfinite(top) && std::isfinite(bottom) && top > bottom;
}

} // namespace workbench
