// Number texts and roundings shared by both programs, independent of the
// system locale: the decimal separator is always the comma and no thousands
// separator is ever written.
//
//   FormatFixed(1.25, 8, 2)          -> "1,25"
//   FormatFixed(-3.0e12f, 8, 2)      -> "-3,0000001E12"  (integer part longer than 8)
//   FormatExponent(20.9, 4, 3)       -> "2,090E+001"
//   TryParseComma("  -12,5E-1 ", v)  -> true, v = -1.25
//   RoundHalfEven(2.5)               -> 2       (pixels, graduation steps)
//   TruncTowardZero(-0.9)            -> 0
//   RoundToDecimals(0.125f, 2)       -> 0.13f   (a converted value to the sensor's decimals)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// ---------------------------------------------------------------------------
// Formatting

// Fixed-point text of value, in the manner of FloatToStrF(value, ffFixed,
// precision, digits): an optional minus sign, at least one digit before the
// comma, then exactly `digits` digits after it (no comma when digits is 0).
// The value is first rounded, half away from zero on its decimal digits, to
// `digits` decimal places or to `precision` significant digits when that
// leaves fewer places (the missing places are written as zeros). When the
// integer part has more than `precision` digits the text switches to exponent
// form with `precision` significant digits, trailing zeros removed and the
// exponent written plainly ("3E12", "-3,0000001E12"); small values stay fixed
// ("0,00" for 0.001 with 2 digits). A value that rounds to zero is written
// without a sign ("0,00"). Infinities and NaN give "INF", "-INF", "NAN".
// precision is taken within 1..18, digits within 0..18. The decimal digits
// of value are taken to 18 significant digits before rounding.
std::string FormatFixed(double value, int precision, int digits);

// Exponent text of value, in the manner of FloatToStrF(value, ffExponent,
// precision, digits): one digit, the comma, precision - 1 digits, "E", the
// exponent's sign (always written) and at least `digits` exponent digits
// (0..4). Rounded half away from zero to `precision` significant digits.
//   FormatExponent(20.9, 4, 3) -> "2,090E+001", FormatExponent(0, 4, 3) -> "0,000E+000".
std::string FormatExponent(double value, int precision, int digits);

// The decimal text of an integer, upper-case hexadecimal, at least `digits`
// digits (IntToHex): IntToHex(700, 4) -> "02BC". Negative values are written
// as their 32-bit two's complement.
std::string IntToHex(int64_t value, int digits);

// ---------------------------------------------------------------------------
// Parsing

// Reads text as a number with the decimal comma (TryStrToFloat with ","):
// leading and trailing blanks (spaces), an optional sign, digits, an optional
// comma and digits (at least one digit in all), and an optional exponent "E"
// or "e" with an optional sign and at least one digit. Nothing else may
// appear: "10.00", "1 000", "1E", "" and "," are refused. A value beyond the
// type's range (overflow or underflow) is refused too. On failure value is
// left unchanged. Never throws.
bool TryParseComma(std::string_view text, double& value);
bool TryParseComma(std::string_view text, long double& value);
bool TryParseComma(std::string_view text, float& value);

// ---------------------------------------------------------------------------
// Roundings

// Nearest integer, halves to even (the rounding of pixel positions and
// graduation steps): 0.5 -> 0, 1.5 -> 2, 2.5 -> 2, -2.5 -> -2.
// NaN gives 0; values beyond the result type saturate at its limits.
int64_t RoundHalfEven(double value);
// Truncation toward zero: 1.9 -> 1, -1.9 -> -1, -0.9 -> 0. NaN gives 0;
// values beyond the result type saturate.
int64_t TruncTowardZero(double value);
// The same two, saturating at the limits of int (pixel coordinates).
int RoundHalfEvenToInt(double value);
int TruncTowardZeroToInt(double value);

// value rounded half away from zero on its decimal digits to `decimals`
// places, or to `precision` significant digits when that leaves fewer places:
// exactly what writing FormatFixed(value, precision, decimals) and reading the
// text back gives. 0.125 -> 0.13 (2 places), -0.125 -> -0.13, 2.5 -> 3 (0
// places); 1.005f, whose decimal digits are 1.00499999..., gives 1.00.
// Infinities and NaN come back unchanged.
double RoundToDecimals(double value, int decimals, int precision = 8);
// The same for a single-precision value, the result read back in single
// precision (how the workbench rounds every converted sample).
float RoundToDecimals(float value, int decimals, int precision = 8);

} // namespace platform
