// Draws a measurement record as the workbench shows it, in every display mode.
#pragma once

#include "FuzzSupport.h"
#include "model/MeasurementSet.h"

namespace fuzz {

// The graph of record on a small bitmap in each mode ("Y1", "Y2", "YY",
// "XY", "man."), with period cursors, manual lines and display switches
// taken from input; after each, the readouts of the mouse at positions
// taken from input.
void DrawRecordInEveryMode(const workbench::MeasurementSet& record, InputReader& input);

} // namespace fuzz
