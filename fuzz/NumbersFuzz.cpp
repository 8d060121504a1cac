// Number texts: parsing with the comma, and formatting what was read back to
// a text that parses again.
#include "FuzzSupport.h"
#include "core/Numbers.h"

#include <cmath>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputReader input(data, size);
    const int precision = 1 + input.Byte() % 18;
    const int digits = input.Byte() % 19;
    const std::string_view text(reinterpret_cast<const char*>(input.Rest()), input.Left());

    float single = 0;
    long double extended = 0;
    double value = 0;
    const bool read = platform::TryParseComma(text, value);
    // What reads in double precision reads in extended precision too (not
    // the other way round: 1E2929 is beyond double).
    fuzz::Check(!read || platform::TryParseComma(text, extended),
                "a number read in double precision but not in extended precision");
    platform::TryParseComma(text, single);
    if (!read)
        return 0;
    const std::string fixed = platform::FormatFixed(value, precision, digits);
    const std::string exponent = platform::FormatExponent(value, precision, digits % 4);
    platform::RoundHalfEven(value);
    platform::TruncTowardZero(value);
    platform::RoundToDecimals(value, digits, precision);
    platform::RoundToDecimals(single, digits, precision);
    if (std::isfinite(value)) {
        double again = 0;
        fuzz::Check(platform::TryParseComma(fixed, again), "a formatted number does not parse");
        fuzz::Check(platform::TryParseComma(exponent, again), "an exponent form does not parse");
    }
    return 0;
}
