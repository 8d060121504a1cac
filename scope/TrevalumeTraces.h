// The oscilloscope's arithmetic, without a window: the sweep record, the
// block rows of the time base, the scales of the knobs, where each sample
// lands on the screen bitmap, the horizontal shift steps, the trace colour,
// and the drawing of a sweep on any canvas.
//
// Every pixel position rounds to the nearest whole number, halves to the even
// neighbour, and is kept in 64 bits so that a sample far beyond the screen
// (the out-of-range values +-3.0e12 give offsets up to about 1.1e15 pixels)
// stays beyond it. Scaled values beyond 2^52 pixels (a sensor's calibration
// may turn a count into an infinity) are held there, and NaN lies far below or
// to the right: whatever the values, a position is a finite 64-bit number.
#pragma once

#include "gui/Canvas.h"
#include "tampon.h"

#include <array>
#include <cstdint>

namespace trevalume {

using namespace vcl;

// ---------------------------------------------------------------------------
// The sweep record: the last sweep laid on its time axis.

inline constexpr int SweepCapacity = 200;

struct SweepSet {
    // 0 until the first sweep, then 95.
    int32_t PointCount = 0;
    // Block row of the chosen time base (0 to 5).
    uint8_t DeltaTIndex = 0;
    // Sample i (1-based, as the drawing counts them) is at index i - 1.
    std::array<float, SweepCapacity> PointTime{};                 // ms, sample 1 at 0
    std::array<std::array<float, SweepCapacity>, 2> PointValue{}; // per channel, sensor's unit
};

// Every time and value 0, no sample, row 0.
void InitSweepSet(SweepSet& sweep);

// The held block on the time axis: value i of each channel into slot i, time
// i at (i - 1) sampling intervals (accumulated in double precision, stored in
// single precision); a grounded channel's values are 0. PointCount := 95.
// Returns the time after the last sample (95 intervals, as accumulated).
double FillSweep(SweepSet& sweep, const tampon::SampleBlock& held, double timeStepMs, bool groundA,
                 bool groundB);

// ---------------------------------------------------------------------------
// Time base and scales

// The three timing bytes of a block row and its sampling interval.
struct BlockRow {
    uint8_t A = 0;
    uint8_t B = 0;
    uint8_t C = 0;
    double TimeStepMs = 0;
};

// Rows 0 to 5 of the block table ("0,5 ms" to "20 ms"); a row outside them
// gives row 0.
BlockRow TimeBaseRow(int row);

// The block row of a time-base position in ms per division: 1, 2 and 5 ms
// sample every 0,5 ms (row 0); 10, 20, 50, 100, 200 ms take rows 1 to 5.
int TimeBaseRowForDivision(double msPerDivision);

// Pixels of one vertical division: (plotHeight + 60) / 10 (36,4 for 304 rows).
double PixelsPerDivisionFor(int plotHeight);
// Pixels per ms on the time axis: plotWidth / (10 x ms per division).
double TimeScale(int plotWidth, double msPerDivision);
// Pixels per unit of a channel: pixels per division / units per division.
double SensitivityScale(double pixelsPerDivision, double unitsPerDivision);

// ---------------------------------------------------------------------------
// Pixel positions on the screen bitmap

enum class TraceType { Points, Bars, Lines };

// Display modes.
inline constexpr int ModeChannelA = 0;
inline constexpr int ModeChannelB = 1;
inline constexpr int ModeBoth = 2;
inline constexpr int ModeXY = 3;

// What the drawing of a sweep reads of the window state.
struct TraceSettings {
    int AcqMode = ModeChannelA;
    TraceType Type = TraceType::Lines;
    double ScaleX = 0;
    std::array<double, 2> ScaleY{};
    std::array<int, 2> VerticalOffset{};
    int XShift = 0;
    int OriginX = 6;
    int PointHalfSize = 1;
    int PlotHeight = 304;
};

// x of a sample's time: OriginX + XShift + round(time x ScaleX).
int64_t TimeColumn(float pointTime, const TraceSettings& settings);
// y of value 0 of a channel: round(plotHeight / 2 - verticalOffset).
int OriginYFor(int plotHeight, int verticalOffset);
// y of a value: originY - round(value x scaleY).
int64_t ValueRow(float value, double scaleY, int originY);

struct PixelPos {
    int64_t X = 0;
    int64_t Y = 0;
    friend bool operator==(const PixelPos&, const PixelPos&) = default;
};

// Centre of the XY figure: x = round(plotHeight / 2 + 10 + plotHeight / 8) +
// offset of channel a, y = round(plotHeight / 2 - offset of channel b)
// ((200, 152) without offsets).
PixelPos XYCentre(const TraceSettings& settings);
// An XY sample: channel a to the right, channel b upwards, both with their
// own sensitivity; the shift and the time axis play no part.
PixelPos XYPosition(float valueA, float valueB, const TraceSettings& settings);

// A segment of the lines type joins two samples only when both rows lie
// strictly between these bounds (the bottom one is the paint box's bottom
// edge in window coordinates, so rows 304 to 335 pass and are clipped).
inline constexpr int LineTopBound = 3;
inline constexpr int LineBottomBound = 336;
bool SegmentDrawn(int64_t y, int64_t yNext);

// Draws samples 1 to PointCount of sweep with the canvas's pen (outlines and
// lines) and brush (fill of squares and bars): time modes as points, bars or
// lines per channel shown, XY as squares whatever the type. originY receives
// the y of value 0 of each channel drawn in a time mode.
void DrawSweep(TCanvas& canvas, const SweepSet& sweep, const TraceSettings& settings,
               std::array<int, 2>& originY);

// ---------------------------------------------------------------------------
// Front-panel steps

// Horizontal shift after a step of +2, +10, -2 or -10 pixels: a right step
// only while the shift is below 200, the small left step while it is above 0,
// the large one while it is 10 or more (so it stays even, 0 to 208).
uint16_t ShiftAfterStep(uint16_t shift, int step);
// Trace colour of a brightness position (80 to 220): green (position + 20)
// mod 256.
TColor BrightnessColour(int position);

} // namespace trevalume
