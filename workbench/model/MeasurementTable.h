// The measurement table of one series as texts, and the same table as the
// plain text that "Copier tableau" puts on the clipboard. No widgets here:
// the window copies the rows into its string grid.
#pragma once

#include "model/MeasurementSet.h"

#include <array>
#include <string>
#include <vector>

namespace workbench {

constexpr int TableColumns = 4;
using TableRow = std::array<std::string, TableColumns>;

// The header row and one row per point of series (1..4) laid out for mode
// (AcqMode): number, time (ms, 1 decimal) and the mode's channel in "Y1" and
// "Y2"; number, time and both channels in "YY"; number, channel 1 then
// channel 0 in "XY" (the acquired points) and "man." (the validated points).
// Headers are "n°", "date (ms)" and "label (unit)"; values are written with
// 8 significant digits and the series' decimals, with the decimal comma.
// Column 3 is empty except in "YY". A point count beyond the record is taken
// as the record's 200 points; a series outside 1..4 gives the header only.
std::vector<TableRow> MeasurementTableRows(const MeasurementSet& record, int series, int mode);

// Every cell followed by a tab, every row ended by CR LF (the last one too).
std::string TableClipboardText(const std::vector<TableRow>& rows);

} // namespace workbench
