// The sampling intervals of the "Delta t" list: the link's block table
// (blocktable.h), whose row index is the item index in the full interval
// list, with the list's texts and the duration of a series.
#pragma once

#include <cstdint>
#include <string>

#include "blocktable.h"

namespace workbench {

// Samples per channel in one block, and the fixed number of measurements of
// every fast interval.
constexpr uint8_t BlockSize = 95;

constexpr int SlowTimeBaseCount = 14; // "50 ms" to "60 s", timed point by point

using tampon::BlockCodeA;
using tampon::BlockCodeB;
using tampon::BlockCodeC;
using tampon::BlockRowCount;
using tampon::BlockRowFor;
using tampon::FastTimeBaseCount;
using tampon::IsFastTimeBaseIndex;
using tampon::IsValidTimeBaseIndex;
using tampon::TimeBaseCount;
using tampon::TimeBaseMs;
static_assert(FastTimeBaseCount + SlowTimeBaseCount == TimeBaseCount);

// The texts of the interval list, in table order: the fast ones, then the
// timed ones. The full list is both, one after the other.
extern const char* const FastTimeBases[FastTimeBaseCount];
extern const char* const SlowTimeBases[SlowTimeBaseCount];

// The total duration of a series, (measureCount - 1) x timeStepMs rounded to
// whole milliseconds, as "h h n min s,zzz s": "0 h 0 min 0,047 s".
std::string DurationText(int measureCount, double timeStepMs);

} // namespace workbench
