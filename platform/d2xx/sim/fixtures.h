// Sensor memories for tests and the built-in scenario, as 126-byte images
// (position 1 first). Bytes are Windows-1252 ("\xB0" is the degree sign,
// "\xE8" e grave, "\xE9" e acute, "\xE0" a grave). Every field is written
// right-justified with leading blanks.
//
// Layout (1-based positions): 1-16 label, 17-22 unit, 23-26 raw count of the
// low point (hex), 27-38 value of the low point, 39-42 raw count of the high
// point, 43-54 value of the high point, 55-66 range low, 67-78 range high,
// 79 decimals, 80-104 name, 105-114 note, 115-126 tag.
#pragma once

#include "d2xx/sim/Sim.h"

#include <cstddef>

namespace sim {

namespace fixture_detail {

// Concatenates fields (string literals, embedded NULs kept) into a memory
// image; the fields must fill exactly 126 bytes (else: compile error).
template <std::size_t... N> constexpr MemoryImage Fields(const char (&... parts)[N]) {
    MemoryImage image{};
    std::size_t at = 0;
    auto copy = [&](const char* text, std::size_t length) {
        for (std::size_t i = 0; i < length; ++i) {
            if (at >= MemorySize)
                throw "fields longer than 126 bytes";
            image[at++] = static_cast<uint8_t>(text[i]);
        }
    };
    (copy(parts, N - 1), ...);
    if (at != MemorySize)
        throw "fields shorter than 126 bytes";
    return image;
}

// `base` with `text` written from 1-based `position` on.
template <std::size_t N>
constexpr MemoryImage With(MemoryImage base, std::size_t position, const char (&text)[N]) {
    for (std::size_t i = 0; i + 1 < N; ++i) {
        if (position - 1 + i >= MemorySize)
            throw "text beyond position 126";
        base[position - 1 + i] = static_cast<uint8_t>(text[i]);
    }
    return base;
}

constexpr MemoryImage Filled(uint8_t value) {
    MemoryImage image{};
    for (auto& byte : image)
        byte = value;
    return image;
}

inline constexpr char Note[] = "          ";
inline constexpr char Tag[] = "     TAVEN-Q";

} // namespace fixture_detail

// Voltage sensor, -10..10 V, 2 decimals (counts 0 -> -10 V, 1023 -> 10 V).
inline constexpr MemoryImage FixtureA = fixture_detail::Fields(
    "         Tension", "     V", "0000", "      -10,00", "03FF", "       10,00", "      -10,00",
    "       10,00", "2", "  Voltm\xE8tre -10 V / +10 V", fixture_detail::Note, fixture_detail::Tag);

// Temperature sensor, -10..110 degC, 1 decimal (100 -> 0, 900 -> 100).
inline constexpr MemoryImage FixtureB = fixture_detail::Fields(
    "     Temp\xE9rature",
    "    \xB0"
    "C",
    "0064", "         0,0", "0384", "       100,0", "       -10,0", "       110,0", "1",
    " Thermom\xE8tre -10 \xE0 110 \xB0"
    "C",
    fixture_detail::Note, fixture_detail::Tag);

// Oxygen probe in %, 0..30, 1 decimal (672 -> 20.9); its name holds "Oxym".
inline constexpr MemoryImage FixtureC = fixture_detail::Fields(
    "       Dioxyg\xE8ne", "     %", "0000", "           0", "02A0", "        20,9", "           0",
    "          30", "1", "   Oxym\xE8tre (dioxyg\xE8ne %)", fixture_detail::Note,
    fixture_detail::Tag);

// C after an air calibration validated at count 700 (the 28 bytes written).
inline constexpr MemoryImage FixtureC2 = fixture_detail::With(
    fixture_detail::With(fixture_detail::With(FixtureC, 39, "02BC"), 43, "2,090E+001\0\0"), 67,
    "3,000E+001\0\0");

// B with the points 102 -> 0 and 921 -> 100 and the range 0..100.
inline constexpr MemoryImage FixtureD =
    fixture_detail::With(fixture_detail::With(FixtureB, 23, "0066         0,00399       100,0"), 55,
                         "         0,0       100,0");

// Oxygen probe in mg/L, 0..15, 2 decimals (768 -> 8.84).
inline constexpr MemoryImage FixtureM = fixture_detail::Fields(
    "       Dioxyg\xE8ne", "  mg/L", "0000", "           0", "0300", "        8,84", "           0",
    "          15", "2", "Oxym\xE8tre (dioxyg\xE8ne mg/L)", fixture_detail::Note,
    fixture_detail::Tag);

// Uncalibrated sensor: the tag is in lower case.
inline constexpr MemoryImage FixtureU = fixture_detail::Fields(
    "         Lumi\xE8re", "   lux", "0000", "           0", "03FF", "        1000", "           0",
    "        1000", "0", "          Luxm\xE8tre maison", fixture_detail::Note, "     taven-q");

// A blank memory: 126 x FF.
inline constexpr MemoryImage FixtureU0 = fixture_detail::Filled(0xFF);

// Variants of A.
// Tag shifted: "    TAVEN-Q " (uncalibrated).
inline constexpr MemoryImage FixtureATagFourBlanks =
    fixture_detail::With(FixtureA, 115, "    TAVEN-Q ");
// High value with a point: "       10.00".
inline constexpr MemoryImage FixtureAPointForComma =
    fixture_detail::With(FixtureA, 43, "       10.00");
// Decimals "x".
inline constexpr MemoryImage FixtureADecimalsNotDigit = fixture_detail::With(FixtureA, 79, "x");
// High raw count "0000", equal to the low one.
inline constexpr MemoryImage FixtureAEqualRawCounts = fixture_detail::With(FixtureA, 39, "0000");
// High raw count "----" (reads 0).
inline constexpr MemoryImage FixtureARawDashes = fixture_detail::With(FixtureA, 39, "----");
// High value equal to the low one (slope 0).
inline constexpr MemoryImage FixtureAEqualValues =
    fixture_detail::With(FixtureA, 43, "      -10,00");
// Points swapped: 0 -> 10, 1023 -> -10.
inline constexpr MemoryImage FixtureANegativeSlope =
    fixture_detail::With(fixture_detail::With(FixtureA, 27, "       10,00"), 43, "      -10,00");
// Sixteen blanks as label.
inline constexpr MemoryImage FixtureABlankLabel =
    fixture_detail::With(FixtureA, 1, "                ");
// Name "Sonde", a NUL, then 19 x "X".
inline constexpr MemoryImage FixtureANulInName =
    fixture_detail::With(FixtureA, 80, "Sonde\0XXXXXXXXXXXXXXXXXXX");

} // namespace sim
