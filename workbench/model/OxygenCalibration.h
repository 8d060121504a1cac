// The arithmetic of the oxygen probe's calibration: the saturation table of
// dioxygen in water, the reference of each situation of the probe, the
// texts written into the sensor memory and the new slope and offset.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace workbench {

// Dioxygen dissolved in water saturated with air, in mg/L, by the water
// temperature in whole degrees Celsius 0 to 35.
extern const std::array<float, 36> OxygenSolubility;
constexpr int MinWaterTemperature = 0;
constexpr int MaxWaterTemperature = 35;
// The table's value at temperature, clamped to 0..35.
float SolubilityAt(int temperature);
// "8,84 mg/L ": the value at temperature with 2 decimals and a trailing blank.
std::string SolubilityText(int temperature);

// Where the probe is when its count is validated.
enum class ProbeSituation { Air, PureOxygen, Water };

// The reference value of a situation (percent for air and pure dioxygen, mg/L
// in water at temperature) and the new top of the measuring range.
struct OxygenReference {
    float Value = 0;
    float FullScale = 0;
};
OxygenReference ReferenceFor(ProbeSituation situation, int temperature);

// Sensor memory positions (1-based) of the fields the calibration writes.
constexpr int HighCountPosition = 39; // 4 bytes
constexpr int HighValuePosition = 43; // 12 bytes
constexpr int RangeHighPosition = 67; // 12 bytes
constexpr int NumberFieldLength = 12;
// The converter's counts are 0 to 1023; a count of 1024 or more is written "----".
constexpr int32_t CountLimit = 1024;

// Four upper-case hexadecimal digits of raw ("02BC" for 700), "----" from
// 1024 on (and for a negative count).
std::string HighCountField(int32_t raw);
// value with 4 significant digits in exponent form with the decimal comma
// ("2,090E+001"); "####" for a value that has no such text (infinite or NaN).
std::string CalibrationNumberField(float value);

struct SensorByteWrite {
    uint8_t Position = 0; // 1..126
    uint8_t Value = 0;
    friend bool operator==(const SensorByteWrite&, const SensorByteWrite&) = default;
};
// The 28 single-byte writes of a calibration, in order: the count at 39-42,
// the reference at 43-54 and the range top at 67-78, each number followed by
// zero bytes to the end of its field.
std::vector<SensorByteWrite> OxygenCalibrationWrites(int32_t raw, float reference, float fullScale);

// The line through (rawLow, valueLow) and (rawHigh, valueHigh) in single
// precision: slope = (valueHigh - valueLow) / (rawHigh - rawLow), offset =
// valueHigh - rawHigh x slope. false, leaving both untouched, when the two
// counts are equal (no line).
bool CalibrationLine(int32_t rawLow, float valueLow, int32_t rawHigh, float valueHigh, float& slope,
                     float& offset);

} // namespace workbench
