#include "model/TimeBase.h"

#include <cmath>
#include <cstdio>

namespace workbench {

const char* const FastTimeBases[FastTimeBaseCount] = {"0,5 ms", "1 ms",  "2 ms",
                                                      "5 ms",   "10 ms", "20 ms"};
const char* const SlowTimeBases[SlowTimeBaseCount] = {
    "50 ms", "100 ms", "200 ms", "300 ms", "400 ms", "500 ms", "1 s",
    "2 s",   "4 s",    "5 s",    "10 s",   "20 s",   "30 s",   "60 s"};

std::string DurationText(int measureCount, double timeStepMs) {
    double span = (measureCount - 1) * timeStepMs;
    // A time of day: a negative or absurd span cannot be shown, and the day
    // wraps at 24 h.
    constexpr int64_t DayMs = 24LL * 3600 * 1000;
    int64_t ms = 0;
    if (std::isfinite(span) && span > 0)
        ms = static_cast<int64_t>(std::llround(std::fmod(span, static_cast<double>(DayMs))));
    ms %= DayMs;
    int hours = static_cast<int>(ms / 3600000);
    int minutes = static_cast<int>(ms / 60000 % 60);
    int seconds = static_cast<int>(ms / 1000 % 60);
    int millis = static_cast<int>(ms % 1000);
    char text[48];
    std::snprintf(text, sizeof text, "%d h %d min %d,%03d s", hours, minutes, seconds, millis);
    return text;
}

} // namespace workbench
