#include "Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace platform {

namespace {

// A finite value as decimal digits: value = (-1)^Negative x 0.D1D2...Dn x 10^Exponent,
// no trailing zero digit; Count 0 is the value zero.
struct DecimalDigits {
    bool Negative = false;
    int Exponent = 0;
    int Count = 0;
    char Digits[24] = {};
};

constexpr int SourceDigits = 18;

// The decimal digits of a finite value, taken to 18 significant digits and
// then rounded half away from zero so that at most `precision` significant
// digits and `decimals` decimal places remain.
DecimalDigits ToDecimal(double value, int precision, int decimals) {
    DecimalDigits d;
    if (value == 0)
        return d;
    char text[48];
    const auto written = std::to_chars(text, text + sizeof text, std::fabs(value),
                                       std::chars_format::scientific, SourceDigits - 1);
    // "d.ddddddddddddddddde-XX"
    const char* p = text;
    d.Digits[d.Count++] = *p++;
    if (*p == '.') {
        ++p;
        while (p < written.ptr && *p != 'e')
            d.Digits[d.Count++] = *p++;
    }
    int exponent = 0;
    if (p < written.ptr && *p == 'e')
        std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), written.ptr, exponent);
    d.Exponent = exponent + 1;
    d.Negative = value < 0;

    const int keep = std::min(precision, d.Exponent + decimals);
    if (keep < 0) {
        return DecimalDigits{};
    }
    if (keep < d.Count) {
        const bool up = d.Digits[keep] >= '5';
        d.Count = keep;
        if (up) {
            int i = keep - 1;
            while (i >= 0 && d.Digits[i] == '9')
                --i;
            if (i < 0) {
                d.Digits[0] = '1';
                d.Count = 1;
                ++d.Exponent;
            } else {
                ++d.Digits[i];
                d.Count = i + 1;
            }
        }
    }
    while (d.Count > 0 && d.Digits[d.Count - 1] == '0')
        --d.Count;
    if (d.Count == 0)
        return DecimalDigits{};
    return d;
}

const char* SpecialText(double value) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    return nullptr;
}

template <typename T> T Saturate(double value) {
    if (std::isnan(value))
        return 0;
    constexpr double top = static_cast<double>(std::numeric_limits<T>::max());
    constexpr double bottom = static_cast<double>(std::numeric_limits<T>::min());
    if (value >= top)
        return std::numeric_limits<T>::max();
    if (value <= bottom)
        return std::numeric_limits<T>::min();
    return static_cast<T>(value);
}

double RoundHalfEvenValue(double value) {
    if (!std::isfinite(value))
        return value;
    const double below = std::floor(value);
    const double rest = value - below;
    if (rest > 0.5)
        return below + 1;
    if (rest < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

// Text of the digits of d as a number the standard parser reads ("125e-3").
template <typename T> bool DigitsToValue(const DecimalDigits& d, T& value) {
    if (d.Count == 0) {
        value = 0;
        return true;
    }
    char text[48];
    char* p = text;
    if (d.Negative)
        *p++ = '-';
    p = std::copy(d.Digits, d.Digits + d.Count, p);
    *p++ = 'e';
    p = std::to_chars(p, text + sizeof text, d.Exponent - d.Count).ptr;
    T result{};
    const auto parsed = std::from_chars(text, p, result);
    if (parsed.ec != std::errc() || parsed.ptr != p)
        return false;
    value = result;
    return true;
}

// value written with `decimals` places and at most `precision` significant
// digits, then read back in value's own precision.
template <typename T> T RoundedToDecimals(T value, int decimals, int precision) {
    if (!std::isfinite(value))
        return value;
    const DecimalDigits d = ToDecimal(value, std::clamp(precision, 1, SourceDigits),
                                      std::clamp(decimals, 0, SourceDigits));
    T result = value;
    return DigitsToValue(d, result) ? result : value;
}

// Reads the number form of TryParseComma from text at i into normal, in the
// standard parser's form ('.' for the comma, no '+').
class NumberScanner {
public:
    NumberScanner(std::string_view text, std::string& normal) : Text(text), Normal(normal) {}

    size_t At = 0;

    void SkipBlanks() {
        while (At < Text.size() && Text[At] == ' ')
            ++At;
    }
    bool Take(char c) {
        if (At < Text.size() && Text[At] == c) {
            ++At;
            return true;
        }
        return false;
    }
    void Sign() {
        if (Take('-'))
            Normal += '-';
        else
            Take('+');
    }
    int Digits() {
        int count = 0;
        while (At < Text.size() && Text[At] >= '0' && Text[At] <= '9') {
            Normal += Text[At++];
            ++count;
        }
        return count;
    }
    bool Whole() {
        SkipBlanks();
        Sign();
        int mantissa = Digits();
        if (Take(',')) {
            Normal += '.';
            mantissa += Digits();
        }
        if (mantissa == 0)
            return false;
        if (Take('E') || Take('e')) {
            Normal += 'e';
            Sign();
            if (Digits() == 0)
                return false;
        }
        SkipBlanks();
        return At == Text.size();
    }

private:
    std::string_view Text;
    std::string& Normal;
};

template <typename T> bool ParseComma(std::string_view text, T& value) {
    std::string normal;
    normal.reserve(text.size() + 2);
    if (!NumberScanner(text, normal).Whole())
        return false;
    T result{};
    const char* first = normal.data();
    const char* last = first + normal.size();
    const auto parsed = std::from_chars(first, last, result);
    if (parsed.ec != std::errc() || parsed.ptr != last)
        return false;
    value = result;
    return true;
}

} // namespace

std::string FormatFixed(double value, int precision, int digits) {
    if (const char* special = SpecialText(value))
        return special;
    precision = std::clamp(precision, 1, SourceDigits);
    digits = std::clamp(digits, 0, SourceDigits);
    const DecimalDigits d = ToDecimal(value, precision, digits);
    std::string text;
    if (d.Negative)
        text += '-';
    if (d.Exponent > precision) {
        text += d.Digits[0];
        if (d.Count > 1) {
            text += ',';
            text.append(d.Digits + 1, d.Digits + d.Count);
        }
        text += 'E';
        text += std::to_string(d.Exponent - 1);
        return text;
    }
    if (d.Exponent <= 0) {
        text += '0';
    } else {
        for (int i = 0; i < d.Exponent; ++i)
            text += i < d.Count ? d.Digits[i] : '0';
    }
    if (digits > 0) {
        text += ',';
        for (int j = 0; j < digits; ++j) {
            const int at = d.Exponent + j;
            text += (at >= 0 && at < d.Count) ? d.Digits[at] : '0';
        }
    }
    return text;
}

std::string FormatExponent(double value, int precision, int digits) {
    if (const char* special = SpecialText(value))
        return special;
    precision = std::clamp(precision, 1, SourceDigits);
    digits = std::clamp(digits, 0, 4);
    const DecimalDigits d = ToDecimal(value, precision, 10000);
    std::string text;
    if (d.Negative)
        text += '-';
    text += d.Count > 0 ? d.Digits[0] : '0';
    if (precision > 1) {
        text += ',';
        for (int i = 1; i < precision; ++i)
            text += i < d.Count ? d.Digits[i] : '0';
    }
    const int exponent = d.Count > 0 ? d.Exponent - 1 : 0;
    text += 'E';
    text += exponent < 0 ? '-' : '+';
    std::string number = std::to_string(exponent < 0 ? -exponent : exponent);
    if (static_cast<int>(number.size()) < digits)
        number.insert(0, digits - number.size(), '0');
    return text + number;
}

std::string IntToHex(int64_t value, int digits) {
    uint64_t bits = static_cast<uint64_t>(value);
    if (value < 0 && value >= std::numeric_limits<int32_t>::min())
        bits = static_cast<uint32_t>(value);
    static const char hex[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), hex[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    if (static_cast<int>(text.size()) < digits)
        text.insert(0, digits - text.size(), '0');
    return text;
}

bool TryParseComma(std::string_view text, double& value) {
    return ParseComma(text, value);
}
bool TryParseComma(std::string_view text, long double& value) {
    return ParseComma(text, value);
}
bool TryParseComma(std::string_view text, float& value) {
    return ParseComma(text, value);
}

int64_t RoundHalfEven(double value) {
    return Saturate<int64_t>(RoundHalfEvenValue(value));
}

int64_t TruncTowardZero(double value) {
    return Saturate<int64_t>(std::trunc(value));
}

int RoundHalfEvenToInt(double value) {
    return Saturate<int>(RoundHalfEvenValue(value));
}

int TruncTowardZeroToInt(double value) {
    return Saturate<int>(std::trunc(value));
}

double RoundToDecimals(double value, int decimals, int precision) {
    return RoundedToDecimals(value, decimals, precision);
}

float RoundToDecimals(float value, int decimals, int precision) {
    return RoundedToDecimals(value, decimals, precision);
}

} // namespace platform
