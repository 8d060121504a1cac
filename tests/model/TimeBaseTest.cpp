#include "model/TimeBase.h"

#include <gtest/gtest.h>

using namespace workbench;

namespace {

TEST(TimeBaseTest, BlockTableRows) {
    struct Row {
        const char* text;
        double ms;
        int a, b, c;
    };
    const Row rows[TimeBaseCount] = {
        {"0,5 ms", 0.5, 5, 128, 1}, {"1 ms", 1, 5, 128, 2},     {"2 ms", 2, 6, 128, 1},
        {"5 ms", 5, 5, 160, 8},     {"10 ms", 10, 5, 160, 16},  {"20 ms", 20, 6, 160, 8},
        {"50 ms", 50, 4, 255, 2},   {"100 ms", 100, 4, 255, 2}, {"200 ms", 200, 4, 255, 2},
        {"300 ms", 300, 4, 255, 2}, {"400 ms", 400, 4, 255, 2}, {"500 ms", 500, 4, 255, 2},
        {"1 s", 1000, 4, 255, 2},   {"2 s", 2000, 4, 255, 2},   {"4 s", 4000, 4, 255, 2},
        {"5 s", 5000, 4, 255, 2},   {"10 s", 10000, 4, 255, 2}, {"20 s", 20000, 4, 255, 2},
        {"30 s", 30000, 4, 255, 2}, {"60 s", 60000, 0, 0, 0},
    };
    EXPECT_EQ(BlockSize, 95);
    for (int i = 0; i < TimeBaseCount; ++i) {
        SCOPED_TRACE(i);
        const char* text =
            i < FastTimeBaseCount ? FastTimeBases[i] : SlowTimeBases[i - FastTimeBaseCount];
        EXPECT_STREQ(text, rows[i].text);
        EXPECT_EQ(TimeBaseMs[i], rows[i].ms);
        EXPECT_EQ(IsFastTimeBaseIndex(i), i <= 5);
        if (i < BlockRowCount) {
            EXPECT_EQ(BlockCodeA[i], rows[i].a);
            EXPECT_EQ(BlockCodeB[i], rows[i].b);
            EXPECT_EQ(BlockCodeC[i], rows[i].c);
        }
        if (i < FastTimeBaseCount) {
            // The interface's clock: B x C ticks of 1/256 ms (A = 5) or 1/64 ms (A = 6).
            double tick = BlockCodeA[i] == 5 ? 1.0 / 256 : 1.0 / 64;
            EXPECT_DOUBLE_EQ(BlockCodeB[i] * BlockCodeC[i] * tick, TimeBaseMs[i]);
        }
    }
    // "60 s" has no row of its own: the manual loop sends a timed row.
    EXPECT_EQ(BlockRowFor(19), 18);
    EXPECT_EQ(BlockRowFor(5), 5);
    EXPECT_EQ(BlockRowFor(-1), 0);
}

TEST(TimeBaseTest, DurationTexts) {
    struct Case {
        int count;
        int index;
        const char* text;
    };
    const Case cases[] = {
        {95, 0, "0 h 0 min 0,047 s"},     {95, 5, "0 h 0 min 1,880 s"},
        {100, 12, "0 h 1 min 39,000 s"},  {200, 19, "3 h 19 min 0,000 s"},
        {10, 6, "0 h 0 min 0,450 s"},     {95, 18, "0 h 47 min 0,000 s"},
        {200, 16, "0 h 33 min 10,000 s"}, {105, 0, "0 h 0 min 0,052 s"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DurationText(c.count, TimeBaseMs[c.index]), c.text)
            << c.count << " x " << TimeBaseMs[c.index];
    EXPECT_EQ(DurationText(1, 60000), "0 h 0 min 0,000 s");
}

} // namespace
