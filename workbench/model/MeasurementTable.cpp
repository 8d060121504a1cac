#include "model/MeasurementTable.h"

#include "core/Numbers.h"
#include "model/Acquisition.h"

#include <algorithm>

namespace workbench {

namespace {

constexpr int Precision = 8;

std::string ChannelHeader(const MeasurementSet& record, int s, int c) {
    return ShortStringText(record.SeriesLabel[s - 1][c]) + " (" +
           ShortStringText(record.SeriesUnit[s - 1][c]) + ")";
}

std::string ValueText(const MeasurementSet& record, int s, int c, float value) {
    return platform::FormatFixed(value, Precision, record.SeriesDecimals[s - 1][c]);
}

int ClampedCount(int32_t count) {
    return std::clamp<int32_t>(count, 0, MaxPoints);
}

} // namespace

std::vector<TableRow> MeasurementTableRows(const MeasurementSet& record, int s, int mode) {
    std::vector<TableRow> rows(1);
    TableRow& header = rows[0];
    header[0] = "n°";
    if (s < 1 || s > MaxSeries)
        return rows;

    const bool manual = mode == ModeManual;
    const bool xy = mode == ModeXY || manual;
    const int c = mode == ModeY2 ? 1 : 0; // column 2 of the time modes (channel 0 in "YY")
    if (xy) {
        header[1] = ChannelHeader(record, s, 1);
        header[2] = ChannelHeader(record, s, 0);
    } else {
        header[1] = "date (ms)";
        header[2] = ChannelHeader(record, s, c);
        if (mode == ModeYY)
            header[3] = ChannelHeader(record, s, 1);
    }

    // A series beyond those held (cleared by "Enregistrer", or dropped for a
    // new start) lists no points: its old ones still sit in the record.
    const int n = s > record.SeriesCount ? 0
                                         : ClampedCount(manual ? record.XYPointCount[s - 1]
                                                               : record.PointCount[s - 1]);
    for (int i = 1; i <= n; ++i) {
        TableRow row;
        row[0] = std::to_string(i);
        if (manual) {
            row[1] = ValueText(record, s, 1, record.ManualY2[s - 1][i - 1]);
            row[2] = ValueText(record, s, 0, record.ManualY1[s - 1][i - 1]);
        } else if (xy) {
            row[1] = ValueText(record, s, 1, record.PointValue[s - 1][1][i - 1]);
            row[2] = ValueText(record, s, 0, record.PointValue[s - 1][0][i - 1]);
        } else {
            row[1] = platform::FormatFixed(record.PointTime[s - 1][i - 1], Precision, 1);
            row[2] = ValueText(record, s, c, record.PointValue[s - 1][c][i - 1]);
            if (mode == ModeYY)
                row[3] = ValueText(record, s, 1, record.PointValue[s - 1][1][i - 1]);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string TableClipboardText(const std::vector<TableRow>& rows) {
    std::string text;
    for (const TableRow& row : rows) {
        for (const std::string& cell : row) {
            text += cell;
            text += '\t';
        }
        text += "\r\n";
    }
    return text;
}

} // namespace workbench
