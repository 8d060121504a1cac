#include "model/SeriesRecord.h"

#include <algorithm>

namespace workbench {

namespace {

// Copies everything that belongs to series `from` onto series `to`.
void CopySeries(MeasurementSet& r, int from, int to) {
    const int f = from - 1;
    const int t = to - 1;
    r.XYPointCount[t] = r.XYPointCount[f];
    r.PointCount[t] = r.PointCount[f];
    for (int c = 0; c < ChannelCount; ++c) {
        r.SeriesUnit[t][c] = r.SeriesUnit[f][c];
        r.SeriesLabel[t][c] = r.SeriesLabel[f][c];
        r.SeriesDecimals[t][c] = r.SeriesDecimals[f][c];
        r.SensorMax[t][c] = r.SensorMax[f][c];
        r.SensorMin[t][c] = r.SensorMin[f][c];
        r.DisplayMax[t][c] = r.DisplayMax[f][c];
        r.DisplayMin[t][c] = r.DisplayMin[f][c];
        std::copy_n(r.PointValue[f][c], MaxPoints, r.PointValue[t][c]);
    }
    std::copy_n(r.PointTime[f], MaxPoints, r.PointTime[t]);
    std::copy_n(r.ManualY1[f], MaxPoints, r.ManualY1[t]);
    std::copy_n(r.ManualY2[f], MaxPoints, r.ManualY2[t]);
}

} // namespace

bool RemoveSeries(MeasurementSet& record, int n) {
    const int count = std::min<int>(record.SeriesCount, MaxSeries);
    if (count < 2 || n < 1 || n > count)
        return false;
    for (int i = n; i < count; ++i)
        CopySeries(record, i + 1, i);
    record.SeriesCount = static_cast<uint8_t>(count - 1);
    record.ShownSeries = record.SeriesCount;
    return true;
}

} // namespace workbench
