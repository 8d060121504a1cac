#include "model/MeasurementSet.h"

#include "tampon.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

using namespace workbench;
using namespace tampon;

namespace {

// The link's channel tables are program-wide: each test starts from and
// leaves them as at program start.
class MeasurementSetTest : public ::testing::Test {
protected:
    void SetUp() override { ResetLinkState(); }
    void TearDown() override { ResetLinkState(); }

    static std::unique_ptr<MeasurementSet> DirtyRecord() {
        auto record = std::make_unique<MeasurementSet>();
        std::memset(record.get(), 0xAB, sizeof *record);
        return record;
    }
    static std::string Raw(const ShortString<SeriesUnitMax>& field) {
        return std::string(field.Text, field.Length);
    }
    static std::string Raw(const ShortString<SeriesLabelMax>& field) {
        return std::string(field.Text, field.Length);
    }
};

void SetSensors() {
    ChannelUnit[0] = "°C";
    ChannelLabel[0] = "Température";
    ChannelDecimals[0] = 1;
    ChannelUnit[1] = "µS/cm²";               // 7 characters in Windows-1252: cut to 6
    ChannelLabel[1] = "Conductivité élevée"; // 19: cut to 16
    ChannelDecimals[1] = 3;
}

TEST_F(MeasurementSetTest, InitSeriesHeaderTakesTheChannelTables) {
    SetSensors();
    auto record = DirtyRecord();
    const auto before = std::make_unique<MeasurementSet>(*record);
    for (int c = 0; c < ChannelCount; ++c) {
        record->DisplayMax[1][c] = 5.0f + c;
        record->DisplayMin[1][c] = -2.0f - c;
    }

    InitSeriesHeader(*record, 3, 2, 150, 7);

    EXPECT_EQ(record->LastAcqMode, 2);
    EXPECT_EQ(record->PointCount[2], 0);
    EXPECT_EQ(record->XYPointCount[2], 0);
    EXPECT_EQ(record->MeasureCount, 150);
    EXPECT_EQ(record->DeltaTIndex, 7);
    // Windows-1252 bytes, cut to the field.
    EXPECT_EQ(Raw(record->SeriesUnit[2][0]), "\xB0"
                                             "C");
    EXPECT_EQ(Raw(record->SeriesLabel[2][0]), "Temp\xE9rature");
    EXPECT_EQ(Raw(record->SeriesUnit[2][1]), "\xB5S/cm\xB2");
    EXPECT_EQ(ShortStringText(record->SeriesUnit[2][1]), "µS/cm²");
    EXPECT_EQ(ShortStringText(record->SeriesLabel[2][1]), "Conductivité éle");
    EXPECT_EQ(record->SeriesDecimals[2][0], 1);
    EXPECT_EQ(record->SeriesDecimals[2][1], 3);
    // The new series opens with the axis range of series 2.
    for (int c = 0; c < ChannelCount; ++c) {
        EXPECT_EQ(record->DisplayMax[2][c], 5.0f + c);
        EXPECT_EQ(record->DisplayMin[2][c], -2.0f - c);
    }
    // Nothing else moved: the other series, sensor ranges, points, manual means.
    EXPECT_EQ(record->PointCount[1], before->PointCount[1]);
    EXPECT_EQ(0, std::memcmp(record->SensorMax, before->SensorMax, sizeof record->SensorMax));
    EXPECT_EQ(0, std::memcmp(record->PointValue, before->PointValue, sizeof record->PointValue));
    EXPECT_EQ(0, std::memcmp(record->ManualY2, before->ManualY2, sizeof record->ManualY2));
    EXPECT_EQ(0, std::memcmp(&record->SeriesUnit[3], &before->SeriesUnit[3],
                             sizeof record->SeriesUnit[3]));

    // Series 1 keeps its own displayed range; a series outside 1..4 changes nothing.
    record->DisplayMax[0][0] = 42.0f;
    InitSeriesHeader(*record, 1, 0, 95, 0);
    EXPECT_EQ(record->DisplayMax[0][0], 42.0f);
    const auto after = std::make_unique<MeasurementSet>(*record);
    InitSeriesHeader(*record, 0, 0, 95, 0);
    InitSeriesHeader(*record, 5, 0, 95, 0);
    EXPECT_EQ(0, std::memcmp(record.get(), after.get(), sizeof *record));
}

TEST_F(MeasurementSetTest, PresetAtStart) {
    SetSensors();
    auto record = DirtyRecord();
    PresetMeasurementSet(*record);

    auto expected = std::make_unique<MeasurementSet>();
    std::memset(expected.get(), 0, sizeof *expected);
    for (int s = 0; s < MaxSeries; ++s)
        for (int c = 0; c < ChannelCount; ++c) {
            expected->SensorMax[s][c] = expected->DisplayMax[s][c] = 10.0f;
            expected->SensorMin[s][c] = expected->DisplayMin[s][c] = -10.0f;
        }
    expected->MeasureCount = 95;
    // The headers stay empty: the window prepares series 1 afterwards.
    EXPECT_EQ(0, std::memcmp(record.get(), expected.get(), sizeof *record));
    EXPECT_EQ(record->SeriesCount, 0);
    EXPECT_EQ(record->ShownSeries, 0);
    EXPECT_EQ(record->Reserved, 0);
}

TEST_F(MeasurementSetTest, SensorHeaderGoesToAllFourSeries) {
    SetSensors();
    RangeLow[1] = 0.0f;
    RangeHigh[1] = 2000.0f;
    auto record = DirtyRecord();
    CopySensorHeader(*record, 1);
    for (int s = 0; s < MaxSeries; ++s) {
        EXPECT_EQ(record->SensorMax[s][1], 2000.0f);
        EXPECT_EQ(record->DisplayMax[s][1], 2000.0f);
        EXPECT_EQ(record->SensorMin[s][1], 0.0f);
        EXPECT_EQ(record->DisplayMin[s][1], 0.0f);
        EXPECT_EQ(ShortStringText(record->SeriesLabel[s][1]), "Conductivité éle");
        EXPECT_EQ(record->SeriesDecimals[s][1], 3);
        EXPECT_EQ(record->SeriesDecimals[s][0], 0xAB); // the other channel untouched
    }
}

TEST_F(MeasurementSetTest, ShortStringTextClampsALengthBeyondTheField) {
    ShortString<SeriesUnitMax> unit;
    std::memcpy(unit.Text, "abcdef", 6);
    unit.Length = 200;
    EXPECT_EQ(ShortStringText(unit), "abcdef");
    SetShortString(unit, "Ω"); // not in Windows-1252
    EXPECT_EQ(ShortStringText(unit), "?");
    SetShortString(unit, "");
    EXPECT_EQ(unit.Length, 0);
}

} // namespace
