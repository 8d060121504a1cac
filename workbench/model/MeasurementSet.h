// The measurement record: up to four series of up to 200 points on two
// channels, with the headers that say how to show them. The record is at the
// same time the ".mrs" file: the file is the record's 16372 bytes, written out
// as they are (little-endian, no header).
//
// Series are numbered 1 to 4, channels 0 ("Y1") and 1 ("Y2"), and points 1 to
// 200; the arrays below are indexed from 0, so series s, channel c, point k is
// [s - 1][c][k - 1].
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace workbench {

constexpr int MaxSeries = 4;
constexpr int ChannelCount = 2;
constexpr int MaxPoints = 200;
constexpr std::size_t MeasurementSetSize = 16372;

// A Delphi short string of at most N characters: a length byte (0..N) and the
// characters, 8-bit Windows-1252. The bytes after the text carry nothing.
template <std::size_t N> struct ShortString {
    uint8_t Length;
    char Text[N];
};
static_assert(sizeof(ShortString<6>) == 7 && alignof(ShortString<6>) == 1);
static_assert(sizeof(ShortString<16>) == 17 && alignof(ShortString<16>) == 1);

constexpr std::size_t SeriesUnitMax = 6;
constexpr std::size_t SeriesLabelMax = 16;

// The layout needs no packing: every multi-byte field falls on its natural
// alignment, and the three bytes before SensorMax are an explicit gap.
struct MeasurementSet {
    uint8_t Reserved;                // carries nothing; 0 in a record never loaded from a file
    uint8_t LastAcqMode;             // AcqMode (0..4) given to the last InitSeriesHeader
    uint8_t ShownSeries;             // newest series shown in the series controls, 0 (none) to 4
    uint8_t SeriesCount;             // number of series held, 0 to 4
    int32_t XYPointCount[MaxSeries]; // points validated by hand (manual XY), 0 to 200
    int32_t PointCount[MaxSeries];   // points acquired, 0 to 200
    int32_t MeasureCount;            // requested measurements for the record, 10 to 200
    uint8_t DeltaTIndex;             // index in the sampling interval list, 0 to 19
    ShortString<SeriesUnitMax> SeriesUnit[MaxSeries][ChannelCount];
    ShortString<SeriesLabelMax> SeriesLabel[MaxSeries][ChannelCount];
    uint8_t SeriesDecimals[MaxSeries][ChannelCount];
    uint8_t Gap[3]; // carries nothing
    float SensorMax[MaxSeries][ChannelCount];
    float SensorMin[MaxSeries][ChannelCount];
    float DisplayMax[MaxSeries][ChannelCount];
    float DisplayMin[MaxSeries][ChannelCount];
    float PointTime[MaxSeries][MaxPoints];                // ms from the start of the series
    float PointValue[MaxSeries][ChannelCount][MaxPoints]; // out-of-range values stored as they are
    float ManualY1[MaxSeries][MaxPoints]; // manual XY: mean of channel 0 (vertical axis)
    float ManualY2[MaxSeries][MaxPoints]; // manual XY: mean of channel 1 (horizontal axis)
};

static_assert(std::endian::native == std::endian::little,
              "the record is stored as it lies in memory: little-endian only");
static_assert(sizeof(float) == 4 && std::numeric_limits<float>::is_iec559);
static_assert(sizeof(MeasurementSet) == MeasurementSetSize);
static_assert(offsetof(MeasurementSet, Reserved) == 0);
static_assert(offsetof(MeasurementSet, LastAcqMode) == 1);
static_assert(offsetof(MeasurementSet, ShownSeries) == 2);
static_assert(offsetof(MeasurementSet, SeriesCount) == 3);
static_assert(offsetof(MeasurementSet, XYPointCount) == 4);
static_assert(offsetof(MeasurementSet, PointCount) == 20);
static_assert(offsetof(MeasurementSet, MeasureCount) == 36);
static_assert(offsetof(MeasurementSet, DeltaTIndex) == 40);
static_assert(offsetof(MeasurementSet, SeriesUnit) == 41);
static_assert(offsetof(MeasurementSet, SeriesLabel) == 97);
static_assert(offsetof(MeasurementSet, SeriesDecimals) == 233);
static_assert(offsetof(MeasurementSet, Gap) == 241);
static_assert(offsetof(MeasurementSet, SensorMax) == 244);
static_assert(offsetof(MeasurementSet, SensorMin) == 276);
static_assert(offsetof(MeasurementSet, DisplayMax) == 308);
static_assert(offsetof(MeasurementSet, DisplayMin) == 340);
static_assert(offsetof(MeasurementSet, PointTime) == 372);
static_assert(offsetof(MeasurementSet, PointValue) == 3572);
static_assert(offsetof(MeasurementSet, ManualY1) == 9972);
static_assert(offsetof(MeasurementSet, ManualY2) == 13172);

// AcqState, the workbench's acquisition state (4 is never used).
enum AcqStateValue : int {
    AcqIdle = 0,
    AcqOneChannelBlock = 1, // one-channel block loop
    AcqOneChannelTimed = 2, // one-channel timed series
    AcqXYBlock = 3,         // XY block loop
    AcqTwoChannelBlock = 5, // two-channel block loop
    AcqTwoChannelTimed = 6, // two-channel timed series
    AcqManualXY = 7,        // manual XY loop
};

// Text of a short string as UTF-8 (a length byte beyond the field is taken
// as the field's size).
std::string ShortStringText(const uint8_t* field, std::size_t capacity);
template <std::size_t N> std::string ShortStringText(const ShortString<N>& field) {
    return ShortStringText(reinterpret_cast<const uint8_t*>(&field), N);
}
// Stores UTF-8 text into a short string in Windows-1252, cut to the field's
// size (a character it cannot hold becomes "?"). The bytes after the text are
// left as they were.
void SetShortString(uint8_t* field, std::size_t capacity, std::string_view text);
template <std::size_t N> void SetShortString(ShortString<N>& field, std::string_view text) {
    SetShortString(reinterpret_cast<uint8_t*>(&field), N, text);
}

// The preset at window creation: every point, time, manual mean and count
// zero; both ranges of every series and channel -10 to 10; MeasureCount 95,
// DeltaTIndex 0; no series held. The window then prepares the header of
// series 1 (InitSeriesHeader) with its own number of measurements.
void PresetMeasurementSet(MeasurementSet& record);

// Prepares the header of series (1..4) for a new acquisition in mode (AcqMode
// 0..4): counts of that series 0, MeasureCount and DeltaTIndex from the
// window's number of measurements and interval index, unit, label and
// decimals of both channels from the link's channel tables; a series 2 to 4
// also takes the displayed ranges of the series before it. Sensor ranges,
// points and manual means are left alone. A series outside 1..4 changes
// nothing.
void InitSeriesHeader(MeasurementSet& record, int series, int mode, int measureCount,
                      int timeBaseIndex);

// Sensor detection's copy of one channel's sensor into all four series:
// SensorMax and DisplayMax from RangeHigh, SensorMin and DisplayMin from
// RangeLow, unit, label and decimals from the channel tables.
void CopySensorHeader(MeasurementSet& record, int channel);

} // namespace workbench
