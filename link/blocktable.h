// The block table: for each sampling interval of the interface, its length in
// milliseconds and, for the first 19, the three timing bytes of the block
// command (AcquireBlock's a, b and c). Both programs take their intervals
// from here: the workbench its whole "Delta t" list, the oscilloscope its
// six fast rows.
#pragma once

#include <cstdint>

namespace tampon {

constexpr int BlockRowCount = 19;    // rows of the timing bytes (indices 0 to 18)
constexpr int TimeBaseCount = 20;    // sampling intervals (indices 0 to 19)
constexpr int FastTimeBaseCount = 6; // 0.5 ms to 20 ms, sent as blocks

constexpr uint8_t BlockCodeA[BlockRowCount] = {5, 5, 6, 5, 5, 6, 4, 4, 4, 4,
                                               4, 4, 4, 4, 4, 4, 4, 4, 4};
constexpr uint8_t BlockCodeB[BlockRowCount] = {128, 128, 128, 160, 160, 160, 255, 255, 255, 255,
                                               255, 255, 255, 255, 255, 255, 255, 255, 255};
constexpr uint8_t BlockCodeC[BlockRowCount] = {1, 2, 1, 8, 16, 8, 2, 2, 2, 2,
                                               2, 2, 2, 2, 2,  2, 2, 2, 2};

constexpr double TimeBaseMs[TimeBaseCount] = {0.5,  1,    2,     5,     10,    20,   50,
                                              100,  200,  300,   400,   500,   1000, 2000,
                                              4000, 5000, 10000, 20000, 30000, 60000};

constexpr bool IsValidTimeBaseIndex(int index) {
    return index >= 0 && index < TimeBaseCount;
}

// The six first rows are the block intervals.
constexpr bool IsFastTimeBaseIndex(int index) {
    return index >= 0 && index < FastTimeBaseCount;
}

// The block row to send for a sampling interval. The last interval has no
// row of its own: it sends the last row, whose timing bytes every timed
// interval shares.
constexpr int BlockRowFor(int timeBaseIndex) {
    if (timeBaseIndex < 0)
        return 0;
    if (timeBaseIndex >= BlockRowCount)
        return BlockRowCount - 1;
    return timeBaseIndex;
}

} // namespace tampon
