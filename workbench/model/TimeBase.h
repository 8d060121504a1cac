// The block table and the sampling intervals: for each interval of the
// "Delta t" list, its milliseconds and, for the first 19, the three timing
// bytes of the block command. The row index is the item index in the full
// interval list.
#pragma once

#include <cstdint>
#include <string>

namespace workbench {

// Samples per channel in one block, and the fixed number of measurements of
// every fast interval.
constexpr uint8_t BlockSize = 95;

constexpr int BlockRowCount = 19;     // rows of the timing bytes (indices 0 to 18)
constexpr int TimeBaseCount = 20;     // sampling intervals (indices 0 to 19)
constexpr int FastTimeBaseCount = 6;  // "0,5 ms" to "20 ms", sent as blocks
constexpr int SlowTimeBaseCount = 14; // "50 ms" to "60 s", timed point by point

constexpr uint8_t BlockCodeA[BlockRowCount] = {5, 5, 6, 5, 5, 6, 4, 4, 4, 4,
                                               4, 4, 4, 4, 4, 4, 4, 4, 4};
constexpr uint8_t BlockCodeB[BlockRowCount] = {128, 128, 128, 160, 160, 160, 255, 255, 255, 255,
                                               255, 255, 255, 255, 255, 255, 255, 255, 255};
constexpr uint8_t BlockCodeC[BlockRowCount] = {1, 2, 1, 8, 16, 8, 2, 2, 2, 2,
                                               2, 2, 2, 2, 2,  2, 2, 2, 2};

constexpr double TimeBaseMs[TimeBaseCount] = {0.5,  1,    2,     5,     10,    20,   50,
                                              100,  200,  300,   400,   500,   1000, 2000,
                                              4000, 5000, 10000, 20000, 30000, 60000};

// The texts of the interval list, in table order: the fast ones, then the
// timed ones. The full list is both, one after the other.
extern const char* const FastTimeBases[FastTimeBaseCount];
extern const char* const SlowTimeBases[SlowTimeBaseCount];

constexpr bool IsValidTimeBaseIndex(int index) {
    return index >= 0 && index < TimeBaseCount;
}

// The six first rows are the block intervals.
constexpr bool IsFastTimeBaseIndex(int index) {
    return index >= 0 && index < FastTimeBaseCount;
}

// The block row to send for a sampling interval. "60 s" has no row of its
// own: it sends the last row, whose timing bytes every timed interval shares.
int BlockRowFor(int timeBaseIndex);

// The total duration of a series, (measureCount - 1) x timeStepMs rounded to
// whole milliseconds, as "h h n min s,zzz s": "0 h 0 min 0,047 s".
std::string DurationText(int measureCount, double timeStepMs);

} // namespace workbench
