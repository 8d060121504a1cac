#include "model/Acquisition.h"

#include <gtest/gtest.h>

using namespace workbench;

namespace {

TEST(AcquisitionTest, DispatchByModeAndInterval) {
    struct Case {
        const char* item;
        bool fast;
        AcqStart start;
    };
    const Case cases[] = {
        {"Y1", true, AcqStart::BlockYt},    {"Y2", true, AcqStart::BlockYt},
        {"Y1", false, AcqStart::TimedYt},   {"Y2", false, AcqStart::TimedYt},
        {"XY", true, AcqStart::BlockXY},    {"XY", false, AcqStart::Nothing},
        {"YY", true, AcqStart::BlockYY},    {"YY", false, AcqStart::TimedYY},
        {"man.", true, AcqStart::ManualXY}, {"man.", false, AcqStart::ManualXY},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AcquisitionFor(AcqModeOfItem(c.item), c.fast), c.start)
            << c.item << " fast " << c.fast;
    }
    EXPECT_EQ(AcqModeOfItem("man"), -1);
    EXPECT_EQ(AcqModeOfItem("y1"), -1);
    EXPECT_EQ(AcquisitionFor(-1, true), AcqStart::Nothing);
}

TEST(AcquisitionTest, ZeroCountLevel) {
    struct Case {
        float slope, offset;
        uint16_t level;
    };
    const Case cases[] = {
        {1.0f, 0.0f, 0},                 // uncalibrated
        {0.12210012f, -12.454212f, 102}, // raw 102 reads 0
        {1.0f, -2.5f, 2},                // halves go to the even count
        {1.0f, -3.5f, 4},
        {0.01f, 5.0f, 65036}, // -500: only the low 16 bits are kept
        {-0.5f, 100.0f, 200}, // falling slope
        {0.0f, 1.0f, 0},      // no count reads 0
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZeroCountLevel(c.slope, c.offset), c.level) << c.slope << " " << c.offset;
}

TEST(AcquisitionTest, LevelStepsStayWithinTheConverter) {
    EXPECT_EQ(TriggerLevelDown(15), 5);
    EXPECT_EQ(TriggerLevelDown(5), 5);
    EXPECT_EQ(TriggerLevelDown(10), 10);
    EXPECT_EQ(TriggerLevelUp(1012), 1022);
    EXPECT_EQ(TriggerLevelUp(1022), 1022);
    EXPECT_EQ(TriggerLevelUp(1013), 1013);
    EXPECT_EQ(TriggerLevelUp(0), 10);
}

TEST(AcquisitionTest, LevelTextInTheChannelsUnit) {
    struct Case {
        uint16_t level;
        float slope, offset;
        int decimals;
        const char* unit;
        const char* text;
    };
    const Case cases[] = {
        {512, 1.0f, 0.0f, 0, "", "512 "}, // uncalibrated: no unit
        {512, 0.12210012f, -12.454212f, 1, "%", "50,1 %"},
        {102, 0.12210012f, -12.454212f, 1, "%", "0,0 %"}, // its zero count reads 0
        {0, 0.01953125f, -10.0f, 2, "V", "-10,00 V"},
        {1023, 0.01953125f, -10.0f, 3, "V", "9,980 V"},
        {65036, 0.01f, 5.0f, 2, "µS", "655,36 µS"}, // a wrapped zero count
    };
    for (const Case& c : cases)
        EXPECT_EQ(TriggerLevelText(c.level, c.slope, c.offset, c.decimals, c.unit), c.text)
            << c.level;
}

} // namespace
