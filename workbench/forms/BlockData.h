// What the block acquisitions and the manual XY validation do to the
// measurement record, without a window: storing a block of 95 samples as the
// points of a series, the means of the manual XY mode, their panel texts, and
// the validated points.
#pragma once

#include "model/MeasurementSet.h"
#include "tampon.h"

#include <string>
#include <string_view>

namespace workbench {

// Stores block as the points of series (1..4): values of both channels for
// points 1 to 95, PointCount := 95. Point k is dated by elapsed, which starts
// at 0 and grows by timeStepMs after every point (repeated addition in double
// precision, stored in single precision), so point k lies at (k - 1) x
// timeStepMs. elapsed is left one interval after the last point. A series
// outside 1..4 changes nothing.
void StoreBlock(MeasurementSet& record, int series, const tampon::SampleBlock& block,
                double timeStepMs, double& elapsed);

// The means shown in the manual XY mode: samples 1, 11, 21, ... 91 of each
// channel (every tenth, counted from 1), summed and divided in single
// precision. Out-of-range samples count as they are.
struct ManualMeans {
    float Y1 = 0; // channel 0 (vertical axis)
    float Y2 = 0; // channel 1 (horizontal axis)
};
ManualMeans BlockManualMeans(const tampon::SampleBlock& block);

// A mean in its display panel: fixed-point, 8 significant digits, `decimals`
// decimals, then a blank and the unit.
std::string ManualMeanText(float mean, int decimals, std::string_view unit);

// Validation of a manual point of series (1..4): the next point takes the two
// means. false when the series already holds its 200 points (nothing stored).
bool ValidateManualPoint(MeasurementSet& record, int series, float meanY1, float meanY2);
// Re-validation: the last validated point takes the two means. false when the
// series has no validated point yet (nothing written).
bool RevalidateManualPoint(MeasurementSet& record, int series, float meanY1, float meanY2);

} // namespace workbench
