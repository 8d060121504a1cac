// The measurement table as texts and as the clipboard's text: the layout of
// every display mode, the header alone for an empty series, and counts from a
// file beyond the record's limits.
#include "model/MeasurementTable.h"

#include "model/Acquisition.h"
#include "tampon.h"

#include <gtest/gtest.h>

#include <memory>

using namespace workbench;

namespace {

// Series 2 of a record: "Tension" in V with 2 decimals on channel 0,
// "Intensité" in mA with 1 decimal on channel 1.
std::unique_ptr<MeasurementSet> TwoChannelRecord() {
    auto record = std::make_unique<MeasurementSet>();
    PresetMeasurementSet(*record);
    record->SeriesCount = 2;
    SetShortString(record->SeriesLabel[1][0], "Tension");
    SetShortString(record->SeriesUnit[1][0], "V");
    record->SeriesDecimals[1][0] = 2;
    SetShortString(record->SeriesLabel[1][1], "Intensité");
    SetShortString(record->SeriesUnit[1][1], "mA");
    record->SeriesDecimals[1][1] = 1;
    return record;
}

void AddPoint(MeasurementSet& record, int s, float t, float v0, float v1) {
    const int k = record.PointCount[s - 1]++;
    record.PointTime[s - 1][k] = t;
    record.PointValue[s - 1][0][k] = v0;
    record.PointValue[s - 1][1][k] = v1;
}

std::string Text(const MeasurementSet& record, int s, int mode) {
    return TableClipboardText(MeasurementTableRows(record, s, mode));
}

TEST(MeasurementTableTest, OneChannelTwoPointsCopiedCellByCell) {
    auto record = TwoChannelRecord();
    AddPoint(*record, 2, 0.0f, 1.25f, 7.0f);
    AddPoint(*record, 2, 0.5f, 1.3f, 8.0f);
    EXPECT_EQ(Text(*record, 2, ModeY1), "n°\tdate (ms)\tTension (V)\t\t\r\n"
                                        "1\t0,0\t1,25\t\t\r\n"
                                        "2\t0,5\t1,30\t\t\r\n");
    // "Y2": the same times with channel 1 and its own decimals.
    EXPECT_EQ(Text(*record, 2, ModeY2), "n°\tdate (ms)\tIntensité (mA)\t\t\r\n"
                                        "1\t0,0\t7,0\t\t\r\n"
                                        "2\t0,5\t8,0\t\t\r\n");
}

TEST(MeasurementTableTest, EveryModeLaysOutTheSameSeries) {
    auto record = TwoChannelRecord();
    AddPoint(*record, 2, 12000.0f, -0.125f, 3.04f);
    record->XYPointCount[1] = 1;
    record->ManualY1[1][0] = 2.5f;
    record->ManualY2[1][0] = 19.96f;
    struct Case {
        int Mode;
        TableRow Header, Row;
    };
    for (const Case& c : {
             Case{ModeYY,
                  {"n°", "date (ms)", "Tension (V)", "Intensité (mA)"},
                  {"1", "12000,0", "-0,13", "3,0"}},
             // XY: the horizontal channel 1 first, no time.
             Case{ModeXY, {"n°", "Intensité (mA)", "Tension (V)", ""}, {"1", "3,0", "-0,13", ""}},
             // Manual: the validated means, not the last block.
             Case{ModeManual,
                  {"n°", "Intensité (mA)", "Tension (V)", ""},
                  {"1", "20,0", "2,50", ""}},
         }) {
        const std::vector<TableRow> rows = MeasurementTableRows(*record, 2, c.Mode);
        ASSERT_EQ(rows.size(), 2u) << "mode " << c.Mode;
        EXPECT_EQ(rows[0], c.Header) << "mode " << c.Mode;
        EXPECT_EQ(rows[1], c.Row) << "mode " << c.Mode;
    }
}

TEST(MeasurementTableTest, ManualModeCopiesItsValidatedPointsOnly) {
    auto record = TwoChannelRecord();
    for (int k = 0; k < 95; ++k)
        AddPoint(*record, 2, k * 0.5f, 1, 1);
    record->XYPointCount[1] = 2;
    record->ManualY1[1][0] = 1;
    record->ManualY2[1][0] = 10;
    record->ManualY1[1][1] = 2;
    record->ManualY2[1][1] = 20;
    EXPECT_EQ(Text(*record, 2, ModeManual), "n°\tIntensité (mA)\tTension (V)\t\t\r\n"
                                            "1\t10,0\t1,00\t\t\r\n"
                                            "2\t20,0\t2,00\t\t\r\n");
}

TEST(MeasurementTableTest, EmptySeriesGivesTheHeaderLineAlone) {
    auto record = TwoChannelRecord();
    EXPECT_EQ(Text(*record, 2, ModeY1), "n°\tdate (ms)\tTension (V)\t\t\r\n");
    EXPECT_EQ(Text(*record, 2, ModeManual), "n°\tIntensité (mA)\tTension (V)\t\t\r\n");
}

TEST(MeasurementTableTest, TimesInMsAndOutOfRangeValuesInExponentForm) {
    auto record = TwoChannelRecord();
    AddPoint(*record, 2, 59999.96f, tampon::OverRangeValue, tampon::UnderRangeValue);
    const std::vector<TableRow> rows = MeasurementTableRows(*record, 2, ModeYY);
    EXPECT_EQ(rows[1][1], "60000,0");
    EXPECT_EQ(rows[1][2], "3,0000001E12");
    EXPECT_EQ(rows[1][3], "-3,0000001E12");
}

TEST(MeasurementTableTest, HeadersKeepTheWholeNameAndUnit) {
    auto record = TwoChannelRecord();
    SetShortString(record->SeriesLabel[1][0], "Pression absolue");
    SetShortString(record->SeriesUnit[1][0], "mmHg/s");
    EXPECT_EQ(MeasurementTableRows(*record, 2, ModeY1)[0][2], "Pression absolue (mmHg/s)");
}

TEST(MeasurementTableTest, CountsBeyondTheRecordReadNothingOutsideIt) {
    auto record = TwoChannelRecord();
    record->PointCount[1] = 100000;
    record->XYPointCount[1] = -3;
    record->SeriesDecimals[1][0] = 255;
    EXPECT_EQ(MeasurementTableRows(*record, 2, ModeY1).size(), size_t(MaxPoints + 1));
    EXPECT_EQ(MeasurementTableRows(*record, 2, ModeManual).size(), 1u);
    // A series that does not exist: the header only.
    for (int s : {0, 5, -1})
        EXPECT_EQ(MeasurementTableRows(*record, s, ModeY1).size(), 1u) << s;
    // Nor one beyond the series held, whose points the record still carries.
    record->SeriesCount = 1;
    EXPECT_EQ(MeasurementTableRows(*record, 2, ModeY1).size(), 1u);
    EXPECT_EQ(MeasurementTableRows(*record, 2, ModeY1)[0][2], "Tension (V)");
}

} // namespace
