// The displayed range of a channel, narrowed or widened one step at a time
// by the range buttons beside the graph, within the measuring range of its
// sensor.
#pragma once

#include "MeasurementSet.h"

namespace workbench {

// The step of one click for a sensor range (top minus bottom): from the range
// in tenths, rounded to nearest with halves to even, 0.025 up to 5 tenths,
// 0.05 up to 10, 0.1 up to 100, 0.5 up to 500, 1 up to 1000, 5 up to 5000,
// 10 up to 10000, 50 up to 100000; 0 (nothing moves) for an empty, negative,
// larger or non-finite range.
double ScaleStep(double range);

// The four moves of one limit.
enum class RangeMove { LowerTop, RaiseTop, LowerBottom, RaiseBottom };

// One click on the range of series (1..4) and channel (0, 1) in the record.
// Time graphs (xy false) keep the bottom one step below the top; XY graphs
// keep the top above 0 and the bottom at or below 0. Moving a limit outward
// stops at the sensor's range. Arithmetic in double, results stored as
// single. Whatever the stored range, a click never leaves the top at or below
// the bottom: a move that would is not made.
//
// Returns whether the graph is to be repainted: always for the inward moves,
// only when the limit could move for the outward ones.
bool MoveDisplayRange(MeasurementSet& record, int series, int channel, bool xy, RangeMove move);

} // namespace workbench
