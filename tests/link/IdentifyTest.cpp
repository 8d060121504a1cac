#include "LinkFixture.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <utility>

using namespace tampon;

using platform::ModalResult;
using namespace std::string_view_literals;

namespace {

constexpr float Over = OverRangeValue;
constexpr float Under = UnderRangeValue;
constexpr float NotChecked = std::numeric_limits<float>::quiet_NaN();

struct Expected {
    const char* Fixture;
    sim::MemoryImage Memory;
    bool Calibrated;
    const char* Label;
    const char* Unit;
    const char* Name;
    int Decimals;
    float Slope;
    float Offset;
    int RawLow, RawHigh;
    float RangeLow, RangeHigh;
    std::vector<std::pair<int, float>> Conversions;
};

// The uncalibrated outcome: raw counts 0 to 1023.
Expected Uncalibrated(const char* fixture, sim::MemoryImage memory) {
    return {fixture, memory,
            false,   "Non étalonné",
            "",      "Convertisseur 10 bits",
            0,       1.0f,
            0.0f,    0,
            1023,    0.0f,
            1023.0f, {{0, 0.0f}, {1, 1.0f}, {511, 511.0f}, {1023, 1023.0f}, {1024, Over}}};
}

const Expected& ItemA() {
    static const Expected a{
        "A",    sim::FixtureA,
        true,   "Tension",
        "V",    "Voltmètre -10 V / +10 V",
        2,      0.0195503421f,
        -10.0f, 0,
        1023,   -10.0f,
        10.0f,  {{0, -10.0f}, {511, -0.01f}, {512, 0.01f}, {1023, 10.0f}, {1024, Over}}};
    return a;
}

std::vector<Expected> Cases() {
    std::vector<Expected> cases = {
        ItemA(),
        {"B",
         sim::FixtureB,
         true,
         "Température",
         "°C",
         "Thermomètre -10 à 110 °C",
         1,
         0.125f,
         -12.5f,
         20,
         980,
         -10.0f,
         110.0f,
         {{19, Under},
          {20, -10.0f},
          {98, -0.3f},
          {101, 0.1f},
          {102, 0.3f},
          {270, 21.3f},
          {980, 110.0f},
          {981, Over}}},
        {"C",
         sim::FixtureC,
         true,
         "Dioxygène",
         "%",
         "Oxymètre (dioxygène %)",
         1,
         0.0311011896f,
         6.19888283e-7f,
         0,
         964,
         0.0f,
         30.0f,
         {{0, 0.0f}, {672, 20.9f}, {964, 30.0f}, {965, Over}}},
        {"C2",
         sim::FixtureC2,
         true,
         "Dioxygène",
         "%",
         "Oxymètre (dioxygène %)",
         1,
         0.0298571438f,
         NotChecked,
         0,
         1004,
         0.0f,
         30.0f,
         {{700, 20.9f}, {1004, 30.0f}, {1005, Over}}},
        {"D",
         sim::FixtureD,
         true,
         "Température",
         "°C",
         "Thermomètre -10 à 110 °C",
         1,
         0.122100122f,
         -12.4542122f,
         101,
         920,
         0.0f,
         100.0f,
         {{100, Under}, {101, -0.1f}, {102, 0.0f}, {920, 99.9f}, {921, Over}}},
        {"M",
         sim::FixtureM,
         true,
         "Dioxygène",
         "mg/L",
         "Oxymètre (dioxygène mg/L)",
         2,
         0.0115104169f,
         -1.52587887e-7f,
         0,
         1303,
         0.0f,
         15.0f,
         {{768, 8.84f}, {1023, 11.78f}, {1303, 15.0f}}},
        {"negative slope",
         sim::FixtureANegativeSlope,
         true,
         "Tension",
         "V",
         "Voltmètre -10 V / +10 V",
         2,
         -0.0195503421f,
         10.0f,
         0,
         1023,
         -10.0f,
         10.0f,
         {{0, 10.0f}, {1023, -10.0f}, {1024, Over}}},
        Uncalibrated("U", sim::FixtureU),
        Uncalibrated("U0", sim::FixtureU0),
        Uncalibrated("tag with four blanks", sim::FixtureATagFourBlanks),
    };
    Expected blank = ItemA();
    blank.Fixture = "blank label";
    blank.Memory = sim::FixtureABlankLabel;
    blank.Label = "";
    cases.push_back(blank);
    Expected nul = ItemA();
    nul.Fixture = "NUL in the name";
    nul.Memory = sim::FixtureANulInName;
    nul.Name = "Sonde";
    cases.push_back(nul);
    return cases;
}

class LinkIdentify : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        PresetTables();
    }

    void Check(const Expected& e, int ch) {
        SCOPED_TRACE(std::string("fixture ") + e.Fixture + " on channel " + std::to_string(ch));
        EXPECT_TRUE(SensorOnChannel[ch]);
        EXPECT_EQ(SensorCalibrated[ch], e.Calibrated);
        EXPECT_EQ(ChannelLabel[ch], e.Label);
        EXPECT_EQ(ChannelUnit[ch], e.Unit);
        EXPECT_EQ(ChannelName[ch], e.Name);
        EXPECT_EQ(ChannelDecimals[ch], e.Decimals);
        EXPECT_EQ(ChannelSlope[ch], e.Slope);
        if (!std::isnan(e.Offset)) {
            EXPECT_EQ(ChannelOffset[ch], e.Offset);
            EXPECT_EQ(StoredOffset[ch], e.Offset);
        }
        EXPECT_EQ(StoredSlope[ch], e.Slope);
        EXPECT_EQ(RangeRawLow[ch], e.RawLow);
        EXPECT_EQ(RangeRawHigh[ch], e.RawHigh);
        EXPECT_EQ(RangeLow[ch], e.RangeLow);
        EXPECT_EQ(RangeHigh[ch], e.RangeHigh);
        EXPECT_EQ(StoredRangeLow[ch], e.RangeLow);
        EXPECT_EQ(StoredRangeHigh[ch], e.RangeHigh);
        for (auto [raw, value] : e.Conversions)
            EXPECT_EQ(ConvertRawCount(ch, raw), value) << "raw " << raw;
    }
};

TEST_F(LinkIdentify, EveryFixtureOnEitherChannel) {
    for (const Expected& e : Cases()) {
        for (int ch = 0; ch < 2; ++ch) {
            Rig.Replace(ch, e.Memory);
            ASSERT_TRUE(IdentifySensor(ch)) << e.Fixture;
            Check(e, ch);
        }
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(LinkIdentify, CalibrationPointsAndSignature) {
    Rig.Plug(0, sim::FixtureD);
    EXPECT_EQ(GetSensorSignature(0), "absent");
    ASSERT_TRUE(IdentifySensor(0));
    EXPECT_EQ(GetSensorSignature(0), "     TAVEN-Q");
    EXPECT_EQ(CalRawLow[0], 102);
    EXPECT_EQ(CalValueLow[0], 0.0f);
    EXPECT_EQ(SensorRawHigh(0), 921);
    EXPECT_EQ(SensorValueHigh(0), 100.0L);
    Rig.Replace(0, sim::FixtureC2);
    ASSERT_TRUE(IdentifySensor(0));
    EXPECT_EQ(SensorValueHigh(0), 20.9L) << "a NUL-padded number reads";
    EXPECT_EQ(SensorRangeHigh(0), 30.0L);
    Rig.Replace(0, sim::FixtureU);
    ASSERT_TRUE(IdentifySensor(0));
    EXPECT_EQ(GetSensorSignature(0), "     taven-q");
    EXPECT_EQ(SensorLabel(0), "Non étalonné") << "an uncalibrated memory gives the defaults";
    EXPECT_EQ(SensorRawHigh(0), 1023);
    EXPECT_EQ(SensorRangeHigh(0), 1023.0L);
}

TEST_F(LinkIdentify, RemovedSensorLeavesTheTablesAsTheyWere) {
    Rig.Plug(1, sim::FixtureB);
    ASSERT_TRUE(IdentifySensor(1));
    Rig.Unplug(1);
    EXPECT_FALSE(IdentifySensor(1));
    EXPECT_FALSE(SensorOnChannel[1]);
    EXPECT_EQ(GetSensorSignature(1), "absent");
    EXPECT_EQ(ChannelLabel[1], "Température");
    EXPECT_EQ(ChannelName[1], "Thermomètre -10 à 110 °C");
    EXPECT_EQ(ChannelUnit[1], "°C");
    EXPECT_EQ(ChannelSlope[1], 0.125f);
    EXPECT_EQ(ChannelOffset[1], -12.5f);
    // A tagged sensor replaced by an untagged one reads raw counts.
    Rig.Plug(1, sim::FixtureB);
    ASSERT_TRUE(IdentifySensor(1));
    Rig.Replace(1, sim::FixtureU);
    ASSERT_TRUE(IdentifySensor(1));
    EXPECT_FALSE(SensorCalibrated[1]);
    EXPECT_EQ(ConvertRawCount(1, 270), 270.0f);
}

TEST_F(LinkIdentify, UnreadableCalibrationReadsRawCountsWithOneWarningPerMemory) {
    const std::pair<const char*, sim::MemoryImage> variants[] = {
        {"point for comma", sim::FixtureAPointForComma},
        {"decimals not a digit", sim::FixtureADecimalsNotDigit},
        {"equal raw counts", sim::FixtureAEqualRawCounts},
        {"raw count dashes", sim::FixtureARawDashes},
        {"equal values", sim::FixtureAEqualValues},
    };
    size_t boxes = 0;
    for (const auto& [what, memory] : variants) {
        Dialogs().Answer(ModalResult::Ok, "étalonnage illisible");
        Rig.Replace(0, memory);
        // Identified on every live tick: told once.
        for (int tick = 0; tick < 3; ++tick) {
            ASSERT_TRUE(IdentifySensor(0)) << what;
            Check(Uncalibrated(what, memory), 0);
        }
        ++boxes;
        ASSERT_EQ(Boxes().size(), boxes) << what;
        EXPECT_EQ(Boxes().back().Type, platform::MsgType::Warning);
        EXPECT_EQ(Boxes().back().Caption, "Attention");
        EXPECT_NE(Boxes().back().Text.find("voie 1"), std::string::npos);
    }
    // The same memory on the other channel was already reported.
    Rig.Plug(1, sim::FixtureAEqualValues);
    ASSERT_TRUE(IdentifySensor(1));
    EXPECT_FALSE(SensorCalibrated[1]);
    EXPECT_EQ(Boxes().size(), boxes);
}

// The field readers, one field of a calibrated sensor's image at a time.
class LinkFields : public LinkIdentify {
protected:
    void SetUp() override {
        LinkIdentify::SetUp();
        Rig.Plug(0, sim::FixtureA);
        ASSERT_TRUE(IdentifySensor(0));
        ASSERT_TRUE(SensorCalibrated[0]);
    }
    static void Put(int position, size_t length, std::string_view bytes) {
        ASSERT_EQ(bytes.size(), length) << bytes;
        std::memcpy(SensorImage[0] + position - 1, bytes.data(), length);
    }
};

TEST_F(LinkFields, HexadecimalDecimalTextAndDigitFields) {
    const std::pair<std::string_view, int32_t> hex[] = {
        {"03FF", 1023}, {"03ff", 1023},  {"3FF ", 1023}, {" 3FF", 0},
        {"03G1", 3},    {"FFFF", 65535}, {"----", 0},
    };
    for (auto [bytes, value] : hex) {
        Put(39, 4, bytes);
        EXPECT_EQ(SensorRawHigh(0), value) << bytes;
    }
    // An unreadable number gives the field's default (1023).
    const std::pair<std::string_view, long double> numbers[] = {
        {"       10,00"sv, 10},      {"10,00       "sv, 10},    {"  -1,5E+1   "sv, -15},
        {"2,090E+001\0\0"sv, 20.9L}, {"1,5\0garbage!"sv, 1.5},  {"       10.00"sv, 1023},
        {"            "sv, 1023},    {"\0      10,00"sv, 1023}, {"   1,5 x    "sv, 1023},
    };
    for (auto [bytes, value] : numbers) {
        Put(43, 12, bytes);
        EXPECT_EQ(SensorValueHigh(0), value) << bytes;
    }
    const std::pair<std::string_view, const char*> texts[] = {
        {"    ab  cd      "sv, "ab  cd      "},
        {"                "sv, ""},
        {"  Son\0de        "sv, "Son"},
        {"   \xE9t\xE9 \xB0"
         "C       "sv,
         "été °C       "},
    };
    for (auto [bytes, text] : texts) {
        Put(1, 16, bytes);
        EXPECT_EQ(SensorLabel(0), text);
    }
    const std::pair<char, int32_t> digits[] = {{'7', 7}, {'0', 0}, {'x', 0}, {' ', 0}};
    for (auto [c, value] : digits) {
        SensorImage[0][78] = static_cast<uint8_t>(c);
        EXPECT_EQ(SensorDecimals(0), value) << c;
    }
}

TEST_F(LinkFields, AbsentOrUncalibratedSensorGivesTheDefaults) {
    for (int absent = 0; absent < 2; ++absent) {
        SensorOnChannel[0] = absent == 0;
        SensorCalibrated[0] = absent == 1;
        SCOPED_TRACE(absent ? "absent" : "uncalibrated");
        EXPECT_EQ(SensorLabel(0), "Non étalonné");
        EXPECT_EQ(SensorUnit(0), "");
        EXPECT_EQ(SensorName(0), "Convertisseur 10 bits");
        EXPECT_EQ(SensorRawLow(0), 0);
        EXPECT_EQ(SensorRawHigh(0), 1023);
        EXPECT_EQ(SensorValueLow(0), 0.0L);
        EXPECT_EQ(SensorValueHigh(0), 1023.0L);
        EXPECT_EQ(SensorRangeLow(0), 0.0L);
        EXPECT_EQ(SensorRangeHigh(0), 1023.0L);
        EXPECT_EQ(SensorDecimals(0), 0);
    }
    EXPECT_EQ(GetSensorSignature(0), "absent");
}

TEST_F(LinkIdentify, ZeroAdjustmentLastsWhileTheSameSensorStays) {
    Rig.Plug(0, sim::FixtureA, sim::Generator::Dc(600));
    ASSERT_TRUE(IdentifySensor(0));
    LinkResult result = LinkResult::NoAnswer;
    const float offset = ZeroChannel(0, &result);
    ASSERT_EQ(result, LinkResult::Answered);
    EXPECT_EQ(ConvertRawCount(0, 600), 0.0f);
    // Live ticks identify the same sensor again: the zero stays.
    for (int tick = 0; tick < 3; ++tick) {
        ASSERT_TRUE(IdentifySensor(0));
        EXPECT_EQ(ChannelOffset[0], offset);
        EXPECT_EQ(StoredOffset[0], -10.0f);
    }
    // Another sensor, then the first one again: the memory's offset.
    Rig.Replace(0, sim::FixtureB);
    ASSERT_TRUE(IdentifySensor(0));
    EXPECT_EQ(ChannelOffset[0], -12.5f);
    Rig.Replace(0, sim::FixtureA);
    ASSERT_TRUE(IdentifySensor(0));
    EXPECT_EQ(ChannelOffset[0], -10.0f);
    // Unplugged in between: forgotten too.
    ZeroChannel(0);
    Rig.Unplug(0);
    EXPECT_FALSE(IdentifySensor(0));
    Rig.Plug(0, sim::FixtureA);
    ASSERT_TRUE(IdentifySensor(0));
    EXPECT_EQ(ChannelOffset[0], -10.0f);
}

} // namespace
