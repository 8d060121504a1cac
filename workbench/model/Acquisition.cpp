#include "model/Acquisition.h"

#include "core/Numbers.h"

#include <cmath>

namespace workbench {

int AcqModeOfItem(std::string_view itemText) {
    static constexpr std::string_view Items[] = {"Y1", "Y2", "YY", "XY", "man."};
    for (int mode = 0; mode < 5; ++mode)
        if (itemText == Items[mode])
            return mode;
    return -1;
}

AcqStart AcquisitionFor(int acqMode, bool fastTimeBase) {
    switch (acqMode) {
    case ModeY1:
    case ModeY2:
        return fastTimeBase ? AcqStart::BlockYt : AcqStart::TimedYt;
    case ModeYY:
        return fastTimeBase ? AcqStart::BlockYY : AcqStart::TimedYY;
    case ModeXY:
        return fastTimeBase ? AcqStart::BlockXY : AcqStart::Nothing;
    case ModeManual:
        return AcqStart::ManualXY;
    default:
        return AcqStart::Nothing;
    }
}

double RawCountValue(int rawCount, float slope, float offset) {
    return rawCount * static_cast<double>(slope) + static_cast<double>(offset);
}

uint16_t ZeroCountLevel(float slope, float offset) {
    double count = std::nearbyint(-static_cast<double>(offset) / static_cast<double>(slope));
    // Beyond +-2^62 the low 16 bits mean nothing anyway.
    if (!std::isfinite(count) || std::fabs(count) > 4.0e18)
        return 0;
    return static_cast<uint16_t>(static_cast<int64_t>(count));
}

std::string TriggerLevelText(uint16_t level, float slope, float offset, int decimals,
                             std::string_view unit) {
    std::string text = platform::FormatFixed(RawCountValue(level, slope, offset), 6, decimals);
    text += ' ';
    text += unit;
    return text;
}

} // namespace workbench
