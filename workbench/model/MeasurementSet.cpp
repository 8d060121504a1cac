#include "model/MeasurementSet.h"

#include "core/Cp1252.h"
#include "tampon.h"

#include <algorithm>
#include <cstring>

using namespace tampon;

namespace workbench {

std::string ShortStringText(const uint8_t* field, std::size_t capacity) {
    std::size_t length = std::min<std::size_t>(field[0], capacity);
    return platform::Cp1252ToUtf8(field + 1, length);
}

void SetShortString(uint8_t* field, std::size_t capacity, std::string_view text) {
    std::string bytes = platform::Utf8ToCp1252(text);
    std::size_t length = std::min(bytes.size(), capacity);
    field[0] = static_cast<uint8_t>(length);
    std::memcpy(field + 1, bytes.data(), length);
}

void PresetMeasurementSet(MeasurementSet& record) {
    std::memset(&record, 0, sizeof record);
    for (int s = 0; s < MaxSeries; ++s)
        for (int c = 0; c < ChannelCount; ++c) {
            record.SensorMax[s][c] = record.DisplayMax[s][c] = 10.0f;
            record.SensorMin[s][c] = record.DisplayMin[s][c] = -10.0f;
        }
    record.MeasureCount = 95;
    record.DeltaTIndex = 0;
}

namespace {

void CopyChannelTexts(MeasurementSet& record, int s, int c) {
    SetShortString(record.SeriesUnit[s][c], ChannelUnit[c]);
    SetShortString(record.SeriesLabel[s][c], ChannelLabel[c]);
    record.SeriesDecimals[s][c] = static_cast<uint8_t>(std::clamp(ChannelDecimals[c], 0, 9));
}

} // namespace

void InitSeriesHeader(MeasurementSet& record, int series, int mode, int measureCount,
                      int timeBaseIndex) {
    if (series < 1 || series > MaxSeries)
        return;
    const int s = series - 1;
    record.LastAcqMode = static_cast<uint8_t>(mode);
    record.PointCount[s] = 0;
    record.XYPointCount[s] = 0;
    record.MeasureCount = measureCount;
    record.DeltaTIndex = static_cast<uint8_t>(timeBaseIndex);
    for (int c = 0; c < ChannelCount; ++c) {
        CopyChannelTexts(record, s, c);
        if (s > 0) {
            record.DisplayMax[s][c] = record.DisplayMax[s - 1][c];
            record.DisplayMin[s][c] = record.DisplayMin[s - 1][c];
        }
    }
}

void CopySensorHeader(MeasurementSet& record, int channel) {
    if (channel < 0 || channel >= ChannelCount)
        return;
    for (int s = 0; s < MaxSeries; ++s) {
        record.SensorMax[s][channel] = record.DisplayMax[s][channel] = RangeHigh[channel];
        record.SensorMin[s][channel] = record.DisplayMin[s][channel] = RangeLow[channel];
        CopyChannelTexts(record, s, channel);
    }
}

} // namespace workbench
