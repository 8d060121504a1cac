// Removing one series from the measurement record.
#pragma once

#include "model/MeasurementSet.h"

namespace workbench {

// Removes series n (1..SeriesCount) when the record holds two series or
// more: every later series moves down one place (counts, units, labels,
// decimals, sensor and display ranges, times, values and manual means),
// SeriesCount drops by one and ShownSeries becomes SeriesCount. The slot of
// the old last series keeps its contents; the record's global fields are left
// alone. Returns false, changing nothing, for a series that is not held or
// when it is the only one (that one is cleared with all the others).
bool RemoveSeries(MeasurementSet& record, int n);

} // namespace workbench
