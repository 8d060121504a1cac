// Removing one series from the record: the later series move down whole.
#include "model/SeriesRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace workbench;

namespace {

// Series s carries s everywhere: counts, decimals, ranges, times, values,
// manual means, and its number as its label and unit.
std::unique_ptr<MeasurementSet> NumberedSeries(int count) {
    auto record = std::make_unique<MeasurementSet>();
    PresetMeasurementSet(*record);
    record->SeriesCount = record->ShownSeries = static_cast<uint8_t>(count);
    record->MeasureCount = 42;
    record->DeltaTIndex = 7;
    for (int s = 1; s <= MaxSeries; ++s) {
        const int i = s - 1;
        record->PointCount[i] = 10 * s;
        record->XYPointCount[i] = s;
        for (int c = 0; c < ChannelCount; ++c) {
            SetShortString(record->SeriesLabel[i][c], "S" + std::to_string(s));
            SetShortString(record->SeriesUnit[i][c], "u" + std::to_string(s));
            record->SeriesDecimals[i][c] = static_cast<uint8_t>(s);
            record->SensorMax[i][c] = 100.0f * s;
            record->SensorMin[i][c] = -100.0f * s;
            record->DisplayMax[i][c] = 10.0f * s;
            record->DisplayMin[i][c] = -10.0f * s;
            for (int k = 0; k < MaxPoints; ++k)
                record->PointValue[i][c][k] = s + c / 10.0f;
        }
        for (int k = 0; k < MaxPoints; ++k) {
            record->PointTime[i][k] = 1000.0f * s + k;
            record->ManualY1[i][k] = -1.0f * s;
            record->ManualY2[i][k] = -2.0f * s;
        }
    }
    return record;
}

// Slot `slot` holds everything of series `s`.
void ExpectSlotHolds(const MeasurementSet& r, int slot, int s) {
    SCOPED_TRACE("slot " + std::to_string(slot) + " holds series " + std::to_string(s));
    const int i = slot - 1;
    EXPECT_EQ(r.PointCount[i], 10 * s);
    EXPECT_EQ(r.XYPointCount[i], s);
    for (int c = 0; c < ChannelCount; ++c) {
        EXPECT_EQ(ShortStringText(r.SeriesLabel[i][c]), "S" + std::to_string(s));
        EXPECT_EQ(ShortStringText(r.SeriesUnit[i][c]), "u" + std::to_string(s));
        EXPECT_EQ(r.SeriesDecimals[i][c], s);
        EXPECT_EQ(r.SensorMax[i][c], 100.0f * s);
        EXPECT_EQ(r.SensorMin[i][c], -100.0f * s);
        EXPECT_EQ(r.DisplayMax[i][c], 10.0f * s);
        EXPECT_EQ(r.DisplayMin[i][c], -10.0f * s);
        EXPECT_EQ(r.PointValue[i][c][0], s + c / 10.0f);
        EXPECT_EQ(r.PointValue[i][c][MaxPoints - 1], s + c / 10.0f);
    }
    EXPECT_EQ(r.PointTime[i][MaxPoints - 1], 1000.0f * s + MaxPoints - 1);
    EXPECT_EQ(r.ManualY1[i][MaxPoints - 1], -1.0f * s);
    EXPECT_EQ(r.ManualY2[i][0], -2.0f * s);
}

TEST(SeriesRecordTest, LaterSeriesMoveDownAndTheOldLastSlotIsKept) {
    struct Case {
        int Count, Erased;
        std::vector<int> Slots; // what slots 1..Count hold afterwards
    };
    for (const Case& c : {Case{3, 1, {2, 3, 3}}, Case{3, 2, {1, 3, 3}}, Case{3, 3, {1, 2, 3}},
                          Case{4, 1, {2, 3, 4, 4}}, Case{2, 1, {2, 2}}}) {
        SCOPED_TRACE("erase " + std::to_string(c.Erased) + " of " + std::to_string(c.Count));
        auto record = NumberedSeries(c.Count);
        ASSERT_TRUE(RemoveSeries(*record, c.Erased));
        EXPECT_EQ(record->SeriesCount, c.Count - 1);
        EXPECT_EQ(record->ShownSeries, c.Count - 1);
        EXPECT_EQ(record->MeasureCount, 42);
        EXPECT_EQ(record->DeltaTIndex, 7);
        for (int slot = 1; slot <= c.Count; ++slot)
            ExpectSlotHolds(*record, slot, c.Slots[slot - 1]);
    }
}

TEST(SeriesRecordTest, TheOnlySeriesOrOneNotHeldIsLeftAlone) {
    for (const auto& [count, erased] :
         std::vector<std::pair<int, int>>{{1, 1}, {0, 1}, {3, 4}, {3, 0}, {2, -1}}) {
        auto record = NumberedSeries(count);
        const auto before = std::make_unique<MeasurementSet>(*record);
        EXPECT_FALSE(RemoveSeries(*record, erased)) << count << " " << erased;
        EXPECT_EQ(std::memcmp(record.get(), before.get(), sizeof(MeasurementSet)), 0);
    }
}

} // namespace
