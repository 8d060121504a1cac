#include "core/Cp1252.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Cp1252, DecodesSensorTexts) {
    EXPECT_EQ(Cp1252ToUtf8("  Voltm\xE8tre -10 V"), "  Voltmètre -10 V");
    EXPECT_EQ(Cp1252ToUtf8("    \xB0"
                           "C"),
              "    °C");
    EXPECT_EQ(Cp1252ToUtf8("Temp\xE9rature \xE0"), "Température à");
    EXPECT_EQ(Cp1252ToUtf8("\x80\x9C\x9F"), "€œŸ");
    EXPECT_EQ(Cp1252ToUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp1252, EveryByteComesBackUnchanged) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
    EXPECT_EQ(Cp1252Length(utf8), 256u);
}

TEST(Cp1252, EncodesAndReplacesWhatItCannotHold) {
    EXPECT_EQ(Utf8ToCp1252("Non étalonné"), "Non \xE9talonn\xE9");
    EXPECT_EQ(Cp1252Length("Non étalonné"), 12u);
    EXPECT_EQ(Utf8ToCp1252("5 €"), "5 \x80");
    EXPECT_EQ(Utf8ToCp1252("日本 Ω"), "?? ?");
    EXPECT_EQ(Utf8ToCp1252("😀"), "?");
    // Invalid UTF-8: one "?" per byte that cannot start a character.
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");
    EXPECT_EQ(Utf8ToCp1252("\xC3("), "?(");
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");      // overlong
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???"); // surrogate
}
