// The fixture memories against their hex dumps, and the variants of A.
#include "d2xx/sim/fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

namespace {

using sim::MemoryImage;

// Reads lines such as " 17: 20 20 ..." (1-based position, then bytes) over
// a copy of `base`.
MemoryImage FromDump(const char* dump, MemoryImage base = {}) {
    std::istringstream lines(dump);
    std::string line;
    while (std::getline(lines, line)) {
        auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::size_t position = std::stoul(line.substr(0, colon));
        std::istringstream bytes(line.substr(colon + 1));
        std::string hex;
        while (bytes >> hex)
            base.at(position++ - 1) = static_cast<uint8_t>(std::stoul(hex, nullptr, 16));
    }
    return base;
}

std::string Diff(const MemoryImage& got, const MemoryImage& want) {
    std::string text;
    for (std::size_t i = 0; i < got.size(); ++i)
        if (got[i] != want[i]) {
            char item[48];
            std::snprintf(item, sizeof item, " pos %zu: %02X != %02X", i + 1, got[i], want[i]);
            text += item;
        }
    return text;
}

const char* DumpA = R"(
  1: 20 20 20 20 20 20 20 20 20 54 65 6E 73 69 6F 6E
 17: 20 20 20 20 20 56 30 30 30 30 20 20 20 20 20 20
 33: 2D 31 30 2C 30 30 30 33 46 46 20 20 20 20 20 20
 49: 20 31 30 2C 30 30 20 20 20 20 20 20 2D 31 30 2C
 65: 30 30 20 20 20 20 20 20 20 31 30 2C 30 30 32 20
 81: 20 56 6F 6C 74 6D E8 74 72 65 20 2D 31 30 20 56
 97: 20 2F 20 2B 31 30 20 56 20 20 20 20 20 20 20 20
113: 20 20 20 20 20 20 20 54 41 56 45 4E 2D 51
)";

const char* DumpB = R"(
  1: 20 20 20 20 20 54 65 6D 70 E9 72 61 74 75 72 65
 17: 20 20 20 20 B0 43 30 30 36 34 20 20 20 20 20 20
 33: 20 20 20 30 2C 30 30 33 38 34 20 20 20 20 20 20
 49: 20 31 30 30 2C 30 20 20 20 20 20 20 20 2D 31 30
 65: 2C 30 20 20 20 20 20 20 20 31 31 30 2C 30 31 20
 81: 54 68 65 72 6D 6F 6D E8 74 72 65 20 2D 31 30 20
 97: E0 20 31 31 30 20 B0 43 20 20 20 20 20 20 20 20
113: 20 20 20 20 20 20 20 54 41 56 45 4E 2D 51
)";

const char* DumpC = R"(
  1: 20 20 20 20 20 20 20 44 69 6F 78 79 67 E8 6E 65
 17: 20 20 20 20 20 25 30 30 30 30 20 20 20 20 20 20
 33: 20 20 20 20 20 30 30 32 41 30 20 20 20 20 20 20
 49: 20 20 32 30 2C 39 20 20 20 20 20 20 20 20 20 20
 65: 20 30 20 20 20 20 20 20 20 20 20 20 33 30 31 20
 81: 20 20 4F 78 79 6D E8 74 72 65 20 28 64 69 6F 78
 97: 79 67 E8 6E 65 20 25 29 20 20 20 20 20 20 20 20
113: 20 20 20 20 20 20 20 54 41 56 45 4E 2D 51
)";

const char* DumpC2 = R"(
 33: 20 20 20 20 20 30 30 32 42 43 32 2C 30 39 30 45
 49: 2B 30 30 31 00 00 20 20 20 20 20 20 20 20 20 20
 65: 20 30 33 2C 30 30 30 45 2B 30 30 31 00 00 31 20
)";

const char* DumpM = R"(
  1: 20 20 20 20 20 20 20 44 69 6F 78 79 67 E8 6E 65
 17: 20 20 6D 67 2F 4C 30 30 30 30 20 20 20 20 20 20
 33: 20 20 20 20 20 30 30 33 30 30 20 20 20 20 20 20
 49: 20 20 38 2C 38 34 20 20 20 20 20 20 20 20 20 20
 65: 20 30 20 20 20 20 20 20 20 20 20 20 31 35 32 4F
 81: 78 79 6D E8 74 72 65 20 28 64 69 6F 78 79 67 E8
 97: 6E 65 20 6D 67 2F 4C 29 20 20 20 20 20 20 20 20
113: 20 20 20 20 20 20 20 54 41 56 45 4E 2D 51
)";

const char* DumpU = R"(
  1: 20 20 20 20 20 20 20 20 20 4C 75 6D 69 E8 72 65
 17: 20 20 20 6C 75 78 30 30 30 30 20 20 20 20 20 20
 33: 20 20 20 20 20 30 30 33 46 46 20 20 20 20 20 20
 49: 20 20 31 30 30 30 20 20 20 20 20 20 20 20 20 20
 65: 20 30 20 20 20 20 20 20 20 20 31 30 30 30 30 20
 81: 20 20 20 20 20 20 20 20 20 4C 75 78 6D E8 74 72
 97: 65 20 6D 61 69 73 6F 6E 20 20 20 20 20 20 20 20
113: 20 20 20 20 20 20 20 74 61 76 65 6E 2D 71
)";

struct DumpCase {
    const char* Name;
    const MemoryImage* Fixture;
    const char* Dump;
    const MemoryImage* Base; // the dump lists only the lines that differ from it
};

TEST(Fixtures, EachMemoryMatchesItsDump) {
    MemoryImage none{};
    const DumpCase cases[] = {
        {"A", &sim::FixtureA, DumpA, &none}, {"B", &sim::FixtureB, DumpB, &none},
        {"C", &sim::FixtureC, DumpC, &none}, {"C2", &sim::FixtureC2, DumpC2, &sim::FixtureC},
        {"M", &sim::FixtureM, DumpM, &none}, {"U", &sim::FixtureU, DumpU, &none},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Diff(*c.Fixture, FromDump(c.Dump, *c.Base)), "") << "fixture " << c.Name;
    MemoryImage ff;
    ff.fill(0xFF);
    EXPECT_EQ(sim::FixtureU0, ff);
}

// A memory equal to `base` except for `text` written at a 1-based position.
struct ChangeCase {
    const char* Name;
    const MemoryImage* Fixture;
    const MemoryImage* Base;
    std::vector<std::pair<std::size_t, std::string>> Changes;
};

TEST(Fixtures, DerivedMemoriesChangeOnlyTheirFields) {
    using namespace std::string_literals;
    const ChangeCase cases[] = {
        {"D",
         &sim::FixtureD,
         &sim::FixtureB,
         {{23, "0066         0,00399       100,0"}, {55, "         0,0       100,0"}}},
        {"tag with four blanks",
         &sim::FixtureATagFourBlanks,
         &sim::FixtureA,
         {{115, "    TAVEN-Q "}}},
        {"point for comma", &sim::FixtureAPointForComma, &sim::FixtureA, {{43, "       10.00"}}},
        {"decimals not a digit", &sim::FixtureADecimalsNotDigit, &sim::FixtureA, {{79, "x"}}},
        {"equal raw counts", &sim::FixtureAEqualRawCounts, &sim::FixtureA, {{39, "0000"}}},
        {"raw dashes", &sim::FixtureARawDashes, &sim::FixtureA, {{39, "----"}}},
        {"equal values", &sim::FixtureAEqualValues, &sim::FixtureA, {{43, "      -10,00"}}},
        {"negative slope",
         &sim::FixtureANegativeSlope,
         &sim::FixtureA,
         {{27, "       10,00"}, {43, "      -10,00"}}},
        {"blank label", &sim::FixtureABlankLabel, &sim::FixtureA, {{1, std::string(16, ' ')}}},
        {"NUL in name",
         &sim::FixtureANulInName,
         &sim::FixtureA,
         {{80, "Sonde\0"s + std::string(19, 'X')}}},
    };
    for (const auto& c : cases) {
        MemoryImage want = *c.Base;
        for (const auto& [position, text] : c.Changes)
            for (std::size_t i = 0; i < text.size(); ++i)
                want.at(position - 1 + i) = static_cast<uint8_t>(text[i]);
        EXPECT_EQ(Diff(*c.Fixture, want), "") << c.Name;
    }
    // The name of the NUL variant ends exactly at position 104.
    EXPECT_EQ(sim::FixtureANulInName[103], 'X');
    EXPECT_EQ(sim::FixtureANulInName[104], ' ');
}

} // namespace
