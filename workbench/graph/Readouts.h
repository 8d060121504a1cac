// What the mouse reads on the graph: the values under the pointer as the
// status bar shows them, the time of a period cursor, and the manual line
// with its slope label. Positions are pixels of the graph box; the graph's
// bitmap lies at (margin, margin) in it. Everything is worked out from the
// scales of the last frame drawn (GraphState); a frame without a valid scale,
// or a zero scale, gives nothing.
#pragma once

#include "GraphTypes.h"
#include "model/MeasurementSet.h"

#include <optional>
#include <string>
#include <string_view>

namespace workbench {

// A time as the readouts write it: in ms with 1 decimal ("12,5 ms"), or in s
// with 2 decimals ("2,00 s") when the time axis is in seconds.
std::string TimeReadoutText(double tMs, bool inSeconds);

// The status text for the pointer at (x, y) in a box of boxWidth x boxHeight:
// the value and time in "Y1" and "Y2", both values and the time in "YY", both
// values in "XY" (vertical channel 0 first); empty in "man.", outside the
// box less the margin on each side (its border pixels included), or without
// a scale. Names, units and decimals are those of series (1..4).
std::string PointerReadoutText(const GraphState& state, const MeasurementSet& record, int mode,
                               int series, int x, int y, int boxWidth, int boxHeight, int margin);

// The time (ms) at column x of the box; nothing without a time scale.
std::optional<double> CursorTimeMs(const GraphState& state, int x, int margin);

// The period (ms) between two cursors at columns x1 and x2: their distance
// over the time scale; nothing without a scale.
std::optional<double> CursorPeriodMs(const GraphState& state, int x1, int x2);

// The manual line from (x1, y1) to (x2, y2) in the box, in the values of the
// XY axes (X on channel 1, Y on channel 0), single precision, valid, without
// label; nothing without a scale.
std::optional<SeriesLine> ManualLineFromPixels(const GraphState& state, int margin, int x1, int y1,
                                               int x2, int y2);

// The slope label of a line of series (1..4): "R1 = 100 ohm" when channel 0
// measures a voltage (its unit holds "V") and channel 1 a current (its unit
// holds "A"), "G1 = 0,002 siemens" the other way round (that one wins when
// both hold); the unit "mA" counts its factor 1000, every other unit is
// taken as it is. Empty for other units and for a vertical line.
std::string SlopeLabel(int series, std::string_view unit0, std::string_view unit1,
                       const SeriesLine& line);

} // namespace workbench
