#include "TimedData.h"

#include "WindowRules.h"
#include "tampon.h"

#include <algorithm>
#include <cmath>

using namespace tampon;

namespace workbench {

int32_t TickElapsedMs(uint32_t startTick, uint32_t nowTick) {
    return static_cast<int32_t>(nowTick - startTick);
}

uint32_t TimedIntervalMs(double timeStepMs) {
    if (!(timeStepMs >= 1))
        return 1;
    return static_cast<uint32_t>(std::min(std::nearbyint(timeStepMs), 4294967295.0));
}

uint32_t TriggerPauseMs(double timeBaseMs, int divisor) {
    if (divisor <= 0 || !(timeBaseMs > 0))
        return 0;
    return static_cast<uint32_t>(std::min(std::nearbyint(timeBaseMs / divisor), 4294967295.0));
}

uint16_t TriggerGiveUpRounds(int32_t measureCount, int factor) {
    return static_cast<uint16_t>(static_cast<int64_t>(measureCount) * factor);
}

bool SoftwareTriggerHolds(int edge, uint16_t level, uint16_t r1, uint16_t r2, uint16_t r3) {
    if (edge == RisingEdge)
        return r1 < r2 && r2 < r3 && r1 < level && level <= r3;
    if (edge == FallingEdge)
        return r1 > r2 && r2 > r3 && r1 > level && level >= r3;
    return false;
}

std::string TimedPanelText(float value, int decimals, std::string_view unit) {
    if (value == OverRangeValue || value == UnderRangeValue)
        return OutOfRangeText;
    return LiveValueText(value, decimals, unit) + "  ";
}

bool StoreTimedPoint(MeasurementSet& record, int series, int n, double elapsedMs, float value0,
                     float value1) {
    if (series < 1 || series > MaxSeries || n < 1 || n > MaxPoints)
        return false;
    const int s = series - 1;
    record.PointTime[s][n - 1] = static_cast<float>(elapsedMs);
    record.PointValue[s][0][n - 1] = value0;
    record.PointValue[s][1][n - 1] = value1;
    record.PointCount[s] = n;
    return true;
}

} // namespace workbench
