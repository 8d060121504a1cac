// Acquisition modes, the choice of the acquisition routine that a start of
// measurement runs, and the trigger level arithmetic.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace workbench {

// AcqMode, from the items of the "Voie" list.
enum AcqModeValue : int {
    ModeY1 = 0,     // "Y1": channel 0 against time
    ModeY2 = 1,     // "Y2": channel 1 against time
    ModeYY = 2,     // "YY": both channels against time
    ModeXY = 3,     // "XY": channel 0 against channel 1, fast intervals only
    ModeManual = 4, // "man.": manual XY, points validated one by one
};

// The mode of an item text of the "Voie" list; -1 for any other text.
int AcqModeOfItem(std::string_view itemText);

// The routine that a new measurement or a redo starts.
enum class AcqStart {
    Nothing,  // XY with a timed interval: no acquisition starts
    BlockYt,  // RunBlockYt
    BlockYY,  // RunBlockYY
    BlockXY,  // RunBlockXY
    ManualXY, // manual preparation, then RunManualXY
    TimedYt,  // StartTimedYt
    TimedYY,  // StartTimedYY
};

AcqStart AcquisitionFor(int acqMode, bool fastTimeBase);

// Physical value of a raw count: count x slope + offset.
double RawCountValue(int rawCount, float slope, float offset);

// The raw count whose value is 0 (-offset / slope rounded to nearest, halves
// to even), as the 16-bit trigger level keeps it: only its low 16 bits, no
// clamping. A slope that gives no finite count (0) gives level 0.
uint16_t ZeroCountLevel(float slope, float offset);

// The level buttons: down by 10 while above 10, up by 10 while below 1013.
constexpr uint16_t TriggerLevelDown(uint16_t level) {
    return level > 10 ? static_cast<uint16_t>(level - 10) : level;
}
constexpr uint16_t TriggerLevelUp(uint16_t level) {
    return level < 1013 ? static_cast<uint16_t>(level + 10) : level;
}

// The level text: the level's value on the channel, fixed-point with 6
// significant digits and the channel's decimals, then " " and its unit.
std::string TriggerLevelText(uint16_t level, float slope, float offset, int decimals,
                             std::string_view unit);

} // namespace workbench
