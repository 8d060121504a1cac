#include "OxygenCalibration.h"

#include "core/Numbers.h"

#include <algorithm>
#include <cmath>

namespace workbench {

const std::array<float, 36> OxygenSolubility = {
    14.16f, 13.77f, 13.40f, 13.05f, 12.70f, 12.37f, 12.06f, 11.76f, 11.47f, 11.19f, 10.92f, 10.67f,
    10.42f, 10.20f, 9.98f,  9.76f,  9.56f,  9.37f,  9.18f,  9.01f,  8.84f,  8.68f,  8.53f,  8.38f,
    8.25f,  8.11f,  7.99f,  7.86f,  7.75f,  7.64f,  7.53f,  7.42f,  7.32f,  7.22f,  7.13f,  7.04f};

float SolubilityAt(int temperature) {
    return OxygenSolubility[static_cast<size_t>(
        std::clamp(temperature, MinWaterTemperature, MaxWaterTemperature))];
}

std::string SolubilityText(int temperature) {
    return platform::FormatFixed(SolubilityAt(temperature), 6, 2) + " mg/L ";
}

OxygenReference ReferenceFor(ProbeSituation situation, int temperature) {
    switch (situation) {
    case ProbeSituation::Air:
        return {20.9f, 30};
    case ProbeSituation::PureOxygen:
        return {100, 103};
    case ProbeSituation::Water:
        break;
    }
    return {SolubilityAt(temperature), 15};
}

std::string HighCountField(int32_t raw) {
    if (raw < 0 || raw >= CountLimit)
        return "----";
    return platform::IntToHex(raw, 4);
}

std::string CalibrationNumberField(float value) {
    if (!std::isfinite(value))
        return "####";
    return platform::FormatExponent(value, 4, 3);
}

namespace {

void AddField(std::vector<SensorByteWrite>& writes, int position, const std::string& text,
              size_t length) {
    for (size_t i = 0; i < length; ++i)
        writes.push_back({static_cast<uint8_t>(position + static_cast<int>(i)),
                          i < text.size() ? static_cast<uint8_t>(text[i]) : uint8_t{0}});
}

} // namespace

std::vector<SensorByteWrite> OxygenCalibrationWrites(int32_t raw, float reference,
                                                     float fullScale) {
    std::vector<SensorByteWrite> writes;
    AddField(writes, HighCountPosition, HighCountField(raw), 4);
    AddField(writes, HighValuePosition, CalibrationNumberField(reference), NumberFieldLength);
    AddField(writes, RangeHighPosition, CalibrationNumberField(fullScale), NumberFieldLength);
    return writes;
}

bool CalibrationLine(int32_t rawLow, float valueLow, int32_t rawHigh, float valueHigh, float& slope,
                     float& offset) {
    if (rawHigh == rawLow)
        return false;
    const float newSlope = (valueHigh - valueLow) / static_cast<float>(rawHigh - rawLow);
    slope = newSlope;
    offset = valueHigh - static_cast<float>(rawHigh) * newSlope;
    return true;
}

} // namespace workbench
