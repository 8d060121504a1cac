// The oxygen probe calibration's arithmetic: references, the 28 bytes written
// into the sensor memory, the new line.
#include "model/OxygenCalibration.h"
#include "d2xx/sim/fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace workbench;

namespace {

// The three fields as the sensor memory holds them after the writes.
std::string FieldsAfter(int32_t raw, float reference, float fullScale) {
    std::string bytes;
    for (const SensorByteWrite& write : OxygenCalibrationWrites(raw, reference, fullScale))
        bytes.push_back(static_cast<char>(write.Value));
    return bytes;
}

std::string Field(const char* text) {
    std::string field(text);
    field.resize(NumberFieldLength, '\0');
    return field;
}

struct WritesCase {
    const char* Name;
    int32_t Raw;
    float Reference;
    float FullScale;
    const char* Count;
    const char* Value;
    const char* Top;
};

const WritesCase WritesCases[] = {
    {"AirAt700", 700, 20.9f, 30, "02BC", "2,090E+001", "3,000E+001"},
    {"PureOxygen", 1023, 100, 103, "03FF", "1,000E+002", "1,030E+002"},
    {"WaterAt20Degrees", 768, 8.84f, 15, "0300", "8,840E+000", "1,500E+001"},
    {"CountZero", 0, 20.9f, 30, "0000", "2,090E+001", "3,000E+001"},
    // The converter never gives 1024 or more: such a count is written as dashes.
    {"CountBeyondTheConverter", 1024, 20.9f, 30, "----", "2,090E+001", "3,000E+001"},
    {"NoNumberText", 700, std::numeric_limits<float>::infinity(), 30, "02BC", "####", "3,000E+001"},
};

class OxygenWritesTest : public ::testing::TestWithParam<WritesCase> {};

TEST_P(OxygenWritesTest, CountReferenceAndRangeTopWithZeroBytesAfter) {
    const WritesCase& c = GetParam();
    const auto writes = OxygenCalibrationWrites(c.Raw, c.Reference, c.FullScale);
    ASSERT_EQ(writes.size(), 28u);
    // Positions 39-42, 43-54 and 67-78, one byte each, in order.
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(writes[static_cast<size_t>(i)].Position, 39 + i);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(writes[static_cast<size_t>(16 + i)].Position, 67 + i);
    EXPECT_EQ(FieldsAfter(c.Raw, c.Reference, c.FullScale),
              std::string(c.Count) + Field(c.Value) + Field(c.Top));
}

INSTANTIATE_TEST_SUITE_P(Fields, OxygenWritesTest, ::testing::ValuesIn(WritesCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// The writes of an air calibration at count 700 turn fixture C's memory into
// fixture C2's, and change nothing else.
TEST(OxygenCalibration, AirAt700TurnsFixtureCIntoC2) {
    sim::MemoryImage memory = sim::FixtureC;
    for (const SensorByteWrite& write : OxygenCalibrationWrites(700, 20.9f, 30))
        memory[write.Position - 1u] = write.Value;
    EXPECT_EQ(memory, sim::FixtureC2);
}

TEST(OxygenCalibration, ReferencesBySituation) {
    struct Row {
        ProbeSituation Situation;
        int Temperature;
        float Value;
        float FullScale;
    };
    const Row rows[] = {
        {ProbeSituation::Air, 20, 20.9f, 30},    {ProbeSituation::PureOxygen, 20, 100, 103},
        {ProbeSituation::Water, 25, 8.11f, 15},  {ProbeSituation::Water, 0, 14.16f, 15},
        {ProbeSituation::Water, 35, 7.04f, 15},  {ProbeSituation::Water, 20, 8.84f, 15},
        {ProbeSituation::Water, -3, 14.16f, 15}, {ProbeSituation::Water, 99, 7.04f, 15},
    };
    for (const Row& row : rows) {
        const OxygenReference reference = ReferenceFor(row.Situation, row.Temperature);
        EXPECT_EQ(reference.Value, row.Value) << row.Temperature;
        EXPECT_EQ(reference.FullScale, row.FullScale) << row.Temperature;
    }
}

TEST(OxygenCalibration, SolubilityTextHasTwoDecimalsAndTheUnit) {
    EXPECT_EQ(SolubilityText(20), "8,84 mg/L ");
    EXPECT_EQ(SolubilityText(0), "14,16 mg/L ");
    EXPECT_EQ(SolubilityText(13), "10,20 mg/L ");
    EXPECT_EQ(SolubilityText(35), "7,04 mg/L ");
}

// Air at 700 with a low point (0, 0): slope 20.9 / 700 in single precision,
// offset 0. Equal counts give no line and leave slope and offset alone.
TEST(OxygenCalibration, LineThroughLowPointAndValidatedCount) {
    float slope = 0;
    float offset = 1;
    ASSERT_TRUE(CalibrationLine(0, 0, 700, 20.9f, slope, offset));
    EXPECT_EQ(slope, 20.9f / 700.0f);
    EXPECT_NEAR(slope, 0.0298571419, 1e-10);
    EXPECT_EQ(offset, 0.0f);

    ASSERT_TRUE(CalibrationLine(100, 0, 900, 100, slope, offset));
    EXPECT_EQ(slope, 0.125f);
    EXPECT_EQ(offset, -12.5f);

    slope = 7;
    offset = 9;
    EXPECT_FALSE(CalibrationLine(700, 0, 700, 20.9f, slope, offset));
    EXPECT_EQ(slope, 7.0f);
    EXPECT_EQ(offset, 9.0f);
}

} // namespace
