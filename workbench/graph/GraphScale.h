// The arithmetic of the graph: plot font size, graduation steps, time grid,
// label texts, pixel mapping, pale colours, bar widths, the period readout,
// and the validity of a frame. No drawing here: the frame and the curves
// (Graph.h) are built on these.
#pragma once

#include "GraphTypes.h"
#include "tampon.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace workbench {

// The values the link gives for a reading above or below the sensor's range.
using tampon::OverRangeValue;
using tampon::UnderRangeValue;

// Font height of the plot for a rectangle h pixels high: h div 32, at least 11.
int PlotFontHeight(int h);

// Step and decimals of the graduations of a value axis.
struct GraduationStep {
    double Step = 0;
    int Decimals = 0;
};
// Step for the range r (top minus bottom) of an axis whose unit is `unit`
// (UTF-8): the whole number of tenths of r, Trunc(r x 100) div 1000;
// 10 x Round(r / 100) above 100;
// 0.5, 0.25 or 0.1 when that is 0; 0.05 with 2 decimals for the unit "A".
GraduationStep ValueGraduationStep(double range, std::string_view unit);

// Grid step g of the time axis in ms (lines and labels come every 10 g):
// 1.5 intervals above 140 measurements, 1 from 40 to 140, 0.25 below 40.
double TimeGridStepMs(int measureCount, double timeBaseMs);
// The time axis is in seconds when the series lasts more than 2000 ms.
bool TimeAxisInSeconds(int measureCount, double timeBaseMs);
// Decimals of the time labels in ms: 0 when ten grid steps make a whole
// number of ms, else 1.
int TimeLabelDecimalsMs(double gridStepMs);
// The label of time t (ms): in ms with msDecimals decimals; in s with no
// decimals when t / 1000 is whole, else 2.
std::string TimeLabelText(double tMs, bool inSeconds, int msDecimals);

// "name [unit]" of series s (1..4), channel c, from the record's short strings.
std::string SeriesAxisTitle(const MeasurementSet& record, int s, int c);
// The record's unit of series s, channel c (UTF-8).
std::string SeriesUnitText(const MeasurementSet& record, int s, int c);

// A colour made pale: OR $00AAAAAA.
constexpr TColor PaleColor(TColor color) {
    return color | 0x00AAAAAA;
}

// Pixel positions, relative to the graph's rectangle, from the last frame's
// scales. Values equal to OverRangeValue / UnderRangeValue go to an edge of
// the rectangle; positions are kept within +/-1e9 whatever the value.
int TimeToX(const GraphState& state, double tMs);
int ValueToY(const GraphState& state, int c, float value);
int XYValueToX(const GraphState& state, float value);
// Manual points and lines: the plain mapping, no edge for special values.
int ManualToX(const GraphState& state, double value);
int ManualToY(const GraphState& state, double value);
// A point is inside the plot when 2 <= y <= H - 2.
bool IsInsidePlot(const GraphState& state, int y);
// Width of the bar marker of point k (1..PointCount) of series s: the time to
// the next point, for the last point the time from the one before; a lone
// point gets one sampling interval.
int BarWidth(const GraphState& state, const MeasurementSet& record, int s, int k);
// Size factor of the markers: scaleRef div 480, at least 1.
int MarkerSizeFactor(int scaleRef);

// The period readout texts for cursors periodMs apart: "T = 12,5 ms" (in s
// with 2 decimals when the axis is in seconds) and "f = 80 Hz". The
// frequency text is empty for a period of 0.
std::string PeriodText(double periodMs, bool inSeconds);
std::string FrequencyText(double periodMs);

// The display range of series s, channel c gives a scale: both ends finite and
// the top above the bottom.
bool HasDisplayRange(const MeasurementSet& record, int s, int c);

// Pixel positions far beyond any canvas are held within these bounds.
constexpr int PixelLimit = 1000000000;
// Round to the nearest integer, halves to even, held within +/-PixelLimit
// (NaN gives -PixelLimit: far outside the plot).
int ToPixel(double value);

} // namespace workbench
