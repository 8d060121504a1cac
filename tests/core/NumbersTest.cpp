#include "core/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace platform;

namespace {

struct FixedCase {
    double Value;
    int Precision;
    int Digits;
    const char* Text;
};

TEST(Numbers, FormatFixedWritesCommaDigitsAndExponentForm) {
    const FixedCase cases[] = {
        {1.25, 8, 2, "1,25"},
        {1000, 8, 0, "1000"}, // no thousands separator
        {1234567.5, 8, 1, "1234567,5"},
        {0.125, 8, 2, "0,13"}, // halves away from zero on the decimal digits
        {-0.125, 8, 2, "-0,13"},
        {2.5, 8, 0, "3"},
        {-2.5, 8, 0, "-3"},
        {1.005f, 8, 2, "1,00"}, // the float is 1.00499999...
        {20.9f, 8, 1, "20,9"},
        {0.001, 8, 2, "0,00"},
        {-0.001, 8, 2, "0,00"}, // rounds to zero: no sign
        {-0.0, 8, 2, "0,00"},
        {0.005, 8, 2, "0,01"},
        {0.0, 6, 3, "0,000"},
        {1e-20, 8, 3, "0,000"},
        {1.0 / 3, 4, 6, "0,333300"},        // precision leaves fewer places: zeros follow
        {12345678.9, 8, 2, "12345679,00"},  // eight integer digits stay fixed
        {123456789.0, 8, 2, "1,2345679E8"}, // nine switch to exponent form
        {99999999.5, 8, 0, "1E8"},          // the rounding carries into a ninth digit
        {3.0e12f, 8, 1, "3,0000001E12"},
        {-3.0e12f, 8, 2, "-3,0000001E12"},
        {-3.0e12, 8, 2, "-3E12"},
        {5.0, 6, 2, "5,00"},
        {-10.24, 6, 2, "-10,24"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFixed(c.Value, c.Precision, c.Digits), c.Text)
            << c.Value << " precision " << c.Precision << " digits " << c.Digits;
}

TEST(Numbers, FormatFixedOfSpecialValues) {
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::infinity(), 8, 2), "INF");
    EXPECT_EQ(FormatFixed(-std::numeric_limits<double>::infinity(), 8, 2), "-INF");
    EXPECT_EQ(FormatFixed(std::nan(""), 8, 2), "NAN");
    // Out-of-range arguments are brought within their limits, never a crash.
    EXPECT_EQ(FormatFixed(1.5, 0, -3), "2");
    EXPECT_EQ(FormatFixed(1.5, 40, 40).size(), 2u + 18u);
}

TEST(Numbers, FormatExponentAsTheSensorMemoryHoldsIt) {
    const FixedCase cases[] = {
        {20.9, 4, 3, "2,090E+001"},
        {100, 4, 3, "1,000E+002"},
        {8.84, 4, 3, "8,840E+000"},
        {30, 4, 3, "3,000E+001"},
        {103, 4, 3, "1,030E+002"},
        {15, 4, 3, "1,500E+001"},
        {0, 4, 3, "0,000E+000"},
        {9.9996, 4, 3, "1,000E+001"},
        {-0.00125, 3, 2, "-1,25E-03"},
        {12345, 2, 0, "1,2E+4"},
        {7, 1, 1, "7E+0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatExponent(c.Value, c.Precision, c.Digits), c.Text) << c.Value;
}

TEST(Numbers, TryParseCommaAcceptsTheNumberForms) {
    struct Case {
        const char* Text;
        double Value;
    };
    const Case good[] = {
        {"10,00", 10},
        {"      -10,00", -10},
        {"  -12,5E-1 ", -1.25},
        {"+3", 3},
        {",5", 0.5},
        {"5,", 5},
        {"1e3", 1000},
        {"2,090E+001", 20.9},
        {"3,000E+001", 30},
        {"0", 0},
        {"-0", 0},
        {"       100,0", 100},
        {"007", 7},
        {"1,5e-0", 1.5},
    };
    for (const auto& c : good) {
        double value = -99;
        EXPECT_TRUE(TryParseComma(c.Text, value)) << c.Text;
        EXPECT_DOUBLE_EQ(value, c.Value) << c.Text;
    }
    const char* bad[] = {"",     "   ", ",",     "10.00", "1 000", "1E",    "1E+",
                         "-",    "+-1", "abc",   "1,2,3", "1x",    "1E400", "1E-400",
                         "0x10", "\t1", "1e3,5", "E5",    "--1",   "1 ,5"};
    for (const char* text : bad) {
        double value = 42;
        EXPECT_FALSE(TryParseComma(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 42) << "a refused text leaves the value alone: " << text;
    }
}

TEST(Numbers, TryParseCommaInEveryPrecision) {
    long double extended = 0;
    ASSERT_TRUE(TryParseComma("20,9", extended));
    EXPECT_EQ(extended, 20.9L);
    float single = 0;
    ASSERT_TRUE(TryParseComma("20,9", single));
    EXPECT_EQ(single, 20.9f);
    EXPECT_FALSE(TryParseComma("1E39", single)); // beyond single precision
    // What FormatFixed writes reads back.
    double back = 0;
    ASSERT_TRUE(TryParseComma(FormatFixed(-3.0e12f, 8, 2), back));
    EXPECT_EQ(back, -3.0000001e12);
}

TEST(Numbers, RoundHalfEvenAndTruncation) {
    struct Case {
        double Value;
        int64_t Rounded;
        int64_t Truncated;
    };
    const Case cases[] = {
        {0.5, 0, 0},
        {1.5, 2, 1},
        {2.5, 2, 2},
        {3.5, 4, 3},
        {-0.5, 0, 0},
        {-1.5, -2, -1},
        {-2.5, -2, -2},
        {2.4999, 2, 2},
        {2.5001, 3, 2},
        {-0.9, -1, 0},
        {1.9, 2, 1},
        {-1.9, -2, -1},
        {1e15 + 0.5, 1000000000000000, 1000000000000000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RoundHalfEven(c.Value), c.Rounded) << c.Value;
        EXPECT_EQ(TruncTowardZero(c.Value), c.Truncated) << c.Value;
    }
}

TEST(Numbers, RoundingsSaturateInsteadOfOverflowing) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
    EXPECT_EQ(TruncTowardZero(std::nan("")), 0);
    EXPECT_EQ(RoundHalfEven(1e30), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(RoundHalfEven(-inf), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(RoundHalfEvenToInt(3.0e12), std::numeric_limits<int>::max());
    EXPECT_EQ(RoundHalfEvenToInt(-3.0e12), std::numeric_limits<int>::min());
    EXPECT_EQ(TruncTowardZeroToInt(-3.0e12), std::numeric_limits<int>::min());
    EXPECT_EQ(RoundHalfEvenToInt(-2.5), -2);
    EXPECT_EQ(TruncTowardZeroToInt(-2.7), -2);
}

TEST(Numbers, RoundToDecimalsOnTheDecimalDigits) {
    EXPECT_EQ(RoundToDecimals(0.125f, 2), 0.13f);
    EXPECT_EQ(RoundToDecimals(-0.125f, 2), -0.13f);
    EXPECT_EQ(RoundToDecimals(2.5f, 0), 3.0f);
    EXPECT_EQ(RoundToDecimals(-2.5f, 0), -3.0f);
    EXPECT_EQ(RoundToDecimals(1.005f, 2), 1.0f);
    EXPECT_EQ(RoundToDecimals(0.004f, 2), 0.0f);
    EXPECT_EQ(RoundToDecimals(0.125, 2), 0.13);
    EXPECT_EQ(RoundToDecimals(21.25, 1), 21.3);
    EXPECT_EQ(RoundToDecimals(-0.25, 1), -0.3);
    EXPECT_EQ(RoundToDecimals(123.456, 9), 123.456); // 8 significant digits
    EXPECT_TRUE(std::isinf(RoundToDecimals(std::numeric_limits<float>::infinity(), 2)));
}

TEST(Numbers, RoundToDecimalsIsWritingThenReadingBack) {
    const double values[] = {0.125,        -0.125,    2.5,         1.005,      20.9,       -10.24,
                             0.0195503421, 123456789, -987654321,  3.0e12,     99999999.5, 1e-9,
                             12345.6789,   -0.00049,  0.049999999, 1023.000001};
    for (double v : values) {
        for (int d = 0; d <= 9; ++d) {
            double back = 0;
            ASSERT_TRUE(TryParseComma(FormatFixed(v, 8, d), back)) << v;
            EXPECT_EQ(RoundToDecimals(v, d), back) << v << " to " << d;
            float backSingle = 0;
            ASSERT_TRUE(TryParseComma(FormatFixed(static_cast<float>(v), 8, d), backSingle));
            EXPECT_EQ(RoundToDecimals(static_cast<float>(v), d), backSingle) << v << " to " << d;
        }
    }
}

TEST(Numbers, IntToHexUpperCase) {
    EXPECT_EQ(IntToHex(700, 4), "02BC");
    EXPECT_EQ(IntToHex(921, 4), "0399");
    EXPECT_EQ(IntToHex(0, 4), "0000");
    EXPECT_EQ(IntToHex(65535, 2), "FFFF");
    EXPECT_EQ(IntToHex(-1, 4), "FFFFFFFF");
}

} // namespace
