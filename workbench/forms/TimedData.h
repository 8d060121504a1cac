// The arithmetic of the timed acquisitions, without a window: dating points
// on the 32-bit tick counter, the timers' interval, the software trigger's
// pause and test, the display panel text and the storing of one point.
#pragma once

#include "model/MeasurementSet.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace workbench {

// Milliseconds from startTick to nowTick on the tick counter: the difference
// modulo 2^32 read as a signed 32-bit number, so that a counter that wrapped
// around between the two readings still gives the time that passed.
int32_t TickElapsedMs(uint32_t startTick, uint32_t nowTick);

// The period of a timed acquisition's timer: the sampling interval rounded to
// whole milliseconds (halves to even), at least 1 (a timer of 0 never fires).
uint32_t TimedIntervalMs(double timeStepMs);

// The pause between two readings of the software trigger wait: the interval
// of the series divided by divisor (10 for one channel, 4 for two), rounded
// to whole milliseconds with halves to even.
uint32_t TriggerPauseMs(double timeBaseMs, int divisor);

// The number of rounds after which the trigger wait gives up: factor x
// measureCount as an unsigned 16-bit count (4 for one channel, 2 for two).
uint16_t TriggerGiveUpRounds(int32_t measureCount, int factor);

// Edges of the software trigger (the item index of "front").
constexpr int RisingEdge = 0;
constexpr int FallingEdge = 1;

// Whether three successive raw readings r1, r2, r3 cross level: rising,
// r1 < r2 < r3 and r1 < level <= r3; falling, r1 > r2 > r3 and
// r1 > level >= r3. Counts compare as unsigned 16-bit numbers. Any other edge
// never holds.
bool SoftwareTriggerHolds(int edge, uint16_t level, uint16_t r1, uint16_t r2, uint16_t r3);

// A value in its live display panel during a timed series: fixed-point with
// 8 significant digits and `decimals` decimals, a blank, the unit and two
// blanks; "hors calibre" for the out-of-range values.
std::string TimedPanelText(float value, int decimals, std::string_view unit);

// Stores point n (1..200) of series (1..4): its time in ms since the first
// point, the values of both channels, and PointCount := n. false, changing
// nothing, when the series or the point is out of bounds.
bool StoreTimedPoint(MeasurementSet& record, int series, int n, double elapsedMs, float value0,
                     float value1);

} // namespace workbench
