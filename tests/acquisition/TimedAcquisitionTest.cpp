// The timed series (intervals of 50 ms and more): point dating on the tick
// counter, the first point of each mode, the end of a series, the software
// trigger wait, the display panels, a lost reading and an interface that
// stops answering, changes made during a series and closing the window.
#include "AcquisitionFixture.h"

#include "TimedData.h"

#include <cmath>

using namespace tampon;
using namespace kvel1;

namespace acqtest {
namespace {

using platform::ModalResult;

constexpr const char* SilentMessage = "L'interface de mesure ne répond plus.";
constexpr int Row50Ms = 6;
constexpr int Row300Ms = 9;
constexpr int Row400Ms = 10;
constexpr int Row1s = 12;

// ------------------------------------------------------------ arithmetic

TEST(TimedDataTest, ElapsedTimeAcrossTheTickCounterWrap) {
    struct Case {
        uint32_t Start, Now;
        int32_t Ms;
    };
    for (const Case& c :
         {Case{1000, 1000, 0}, Case{1000, 2500, 1500}, Case{4294962296u, 4294967295u, 4999},
          Case{4294962296u, 0, 5000}, Case{4294966296u, 4000, 5000}, Case{2000, 1000, -1000}})
        EXPECT_EQ(workbench::TickElapsedMs(c.Start, c.Now), c.Ms) << c.Start << " -> " << c.Now;
}

TEST(TimedDataTest, SoftwareTriggerNeedsThreeReadingsThatCrossTheLevel) {
    using workbench::FallingEdge;
    using workbench::RisingEdge;
    struct Case {
        int Edge;
        uint16_t Level, R1, R2, R3;
        bool Holds;
    };
    for (const Case& c : {
             Case{FallingEdge, 500, 520, 510, 500, true},    // reaches the level
             Case{FallingEdge, 500, 520, 510, 501, false},   // stops one count short
             Case{FallingEdge, 500, 500, 490, 480, false},   // started on the level
             Case{FallingEdge, 500, 520, 520, 400, false},   // not strictly falling
             Case{FallingEdge, 500, 520, 530, 400, false},   // not monotonic
             Case{RisingEdge, 500, 480, 490, 500, true},     // reaches the level
             Case{RisingEdge, 500, 499, 500, 501, true},     // starts just under it
             Case{RisingEdge, 500, 500, 510, 520, false},    // started on the level
             Case{RisingEdge, 500, 480, 490, 499, false},    // stops short
             Case{RisingEdge, 500, 520, 510, 500, false},    // falling on a rising edge
             Case{2, 500, 520, 510, 500, false},             // no edge: never
             Case{RisingEdge, 1024, 1000, 1023, 65535, true} // counts as they travel
         })
        EXPECT_EQ(workbench::SoftwareTriggerHolds(c.Edge, c.Level, c.R1, c.R2, c.R3), c.Holds)
            << "edge " << c.Edge << " level " << c.Level << ": " << c.R1 << ", " << c.R2 << ", "
            << c.R3;
}

TEST(TimedDataTest, PausesIntervalsAndLimits) {
    // Pauses rounded with halves to even: 50 / 4 = 12.5 -> 12, 300 / 4 = 75.
    EXPECT_EQ(workbench::TriggerPauseMs(1000, 10), 100u);
    EXPECT_EQ(workbench::TriggerPauseMs(1000, 4), 250u);
    EXPECT_EQ(workbench::TriggerPauseMs(50, 4), 12u);
    EXPECT_EQ(workbench::TriggerPauseMs(50, 10), 5u);
    EXPECT_EQ(workbench::TriggerPauseMs(30000, 4), 7500u);
    EXPECT_EQ(workbench::TimedIntervalMs(50), 50u);
    EXPECT_EQ(workbench::TimedIntervalMs(60000), 60000u);
    EXPECT_EQ(workbench::TimedIntervalMs(0.5), 1u);
    EXPECT_EQ(workbench::TriggerGiveUpRounds(100, 4), 400);
    EXPECT_EQ(workbench::TriggerGiveUpRounds(200, 2), 400);
    EXPECT_EQ(workbench::TriggerGiveUpRounds(20000, 4), 14464); // 80000 as 16 bits
}

TEST(TimedDataTest, PanelTextsAndStoredPoints) {
    EXPECT_EQ(workbench::TimedPanelText(1.5f, 2, "V"), "1,50 V  ");
    EXPECT_EQ(workbench::TimedPanelText(-0.25f, 1, "°C"), "-0,3 °C  ");
    EXPECT_EQ(workbench::TimedPanelText(OverRangeValue, 2, "V"), "hors calibre");
    EXPECT_EQ(workbench::TimedPanelText(UnderRangeValue, 2, "V"), "hors calibre");

    static workbench::MeasurementSet record{};
    EXPECT_TRUE(workbench::StoreTimedPoint(record, 2, 200, 1234.0, 1.0f, 2.0f));
    EXPECT_EQ(record.PointCount[1], 200);
    EXPECT_EQ(record.PointTime[1][199], 1234.0f);
    EXPECT_EQ(record.PointValue[1][0][199], 1.0f);
    EXPECT_EQ(record.PointValue[1][1][199], 2.0f);
    // Beyond the record: nothing written.
    EXPECT_FALSE(workbench::StoreTimedPoint(record, 2, 201, 0, 0, 0));
    EXPECT_FALSE(workbench::StoreTimedPoint(record, 0, 1, 0, 0, 0));
    EXPECT_FALSE(workbench::StoreTimedPoint(record, 5, 1, 0, 0, 0));
    EXPECT_EQ(record.PointCount[1], 200);
}

// ------------------------------------------------------------ the window

class TimedTest : public AcquisitionTest {
protected:
    // Mode, interval row, 10 measurements, "arrêt auto" as asked.
    void Prepare(const char* mode, int row, bool arretAuto, int count = 10) {
        ChooseMode(mode);
        ChooseInterval(row);
        Form1->NbMesures->SetValue(count);
        Form1->CBmonoCoup->SetChecked(arretAuto);
    }

    // The AA readings the interface answered since sinceUs.
    size_t Readings(int64_t sinceUs) {
        size_t n = 0;
        for (const sim::FrameRecord& frame : Rig.Log().FramesSince(sinceUs))
            if (frame.Kind == sim::Command::AA)
                ++n;
        return n;
    }

    bool RunToEnd(uint32_t maxMs) {
        return RunUntil([] { return Form1->AcqState == 0; }, maxMs);
    }

    // Point k (from 1) of series 1 lies at about (k - 1) x stepMs: the tick
    // counter dates it, a few milliseconds of exchanges included.
    static void ExpectPointTimes(int count, double stepMs, double firstAt = 0) {
        for (int k = 1; k <= count; ++k) {
            const double t = MeasurementRecord.PointTime[0][k - 1];
            const double expected = firstAt + (k - 1) * stepMs;
            EXPECT_GE(t, expected) << "point " << k;
            EXPECT_LE(t, expected + 4) << "point " << k;
        }
    }
};

struct OneChannelCase {
    const char* Name;
    int Row;
    double StepMs;
};
void PrintTo(const OneChannelCase& c, std::ostream* os) {
    *os << c.Name;
}
class OneChannelTest : public TimedTest, public ::testing::WithParamInterface<OneChannelCase> {};

TEST_P(OneChannelTest, FirstPointAtOnceThenOnePerTickUntilTheLast) {
    const OneChannelCase& c = GetParam();
    StartWithSensors(&sim::FixtureU, &sim::FixtureU); // raw counts as values
    Prepare("Y2", c.Row, true);
    Rig.SetGenerator(1, sim::Generator::Indexed([](int64_t n) { return 7 * n; }));
    Rig.SetGenerator(0, sim::Generator::Indexed([](int64_t n) { return n; }));
    const int64_t start = Rig.NowUs();

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    // The first point is in before the action returns, at time 0.
    EXPECT_EQ(Form1->AcqState, 6 - 4); // one-channel timed series
    ASSERT_EQ(MeasurementRecord.PointCount[0], 1);
    EXPECT_EQ(MeasurementRecord.PointTime[0][0], 0.0f);
    EXPECT_EQ(Form1->RGvoieSynchro->ItemIndex(), 1); // the measured channel
    EXPECT_FALSE(Form1->RGvoieSynchro->Enabled());
    EXPECT_FALSE(Form1->Timer->Enabled());
    EXPECT_TRUE(Form1->TimerYt->Enabled());
    EXPECT_EQ(Form1->TimerYt->Interval(), static_cast<uint32_t>(c.StepMs));

    ASSERT_TRUE(RunToEnd(20 * static_cast<uint32_t>(c.StepMs)));
    // Ten points, one reading each; the tenth tick reads once more and ends.
    const double endedMs = (Rig.NowUs() - start) / 1000.0;
    EXPECT_GE(endedMs, 10 * c.StepMs);
    EXPECT_LE(endedMs, 10 * c.StepMs + 5);
    EXPECT_EQ(Readings(start), 11u);
    ASSERT_EQ(MeasurementRecord.PointCount[0], 10);
    ExpectPointTimes(10, c.StepMs);
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(MeasurementRecord.PointValue[0][1][k - 1], 7.0f * k) << "point " << k;
        EXPECT_EQ(MeasurementRecord.PointValue[0][0][k - 1], 1.0f * k) << "point " << k;
    }
    ExpectWindowGivenBack();
    EXPECT_FALSE(Form1->TimerYt->Enabled());
    EXPECT_TRUE(Form1->Timer->Enabled());
    // Nothing more is stored.
    RunFor(static_cast<uint32_t>(3 * c.StepMs));
    EXPECT_EQ(MeasurementRecord.PointCount[0], 10);
    EXPECT_TRUE(Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Intervals, OneChannelTest,
                         ::testing::Values(OneChannelCase{"FiftyMs", Row50Ms, 50},
                                           OneChannelCase{"OneSecond", Row1s, 1000}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TimedTest, TwoChannelsFirstPointWithTheFirstTickDatedZero) {
    StartWithSensors(&sim::FixtureU, &sim::FixtureU);
    Prepare("YY", Row1s, true);
    Rig.SetGenerator(0, sim::Generator::Indexed([](int64_t n) { return n; }));
    Rig.SetGenerator(1, sim::Generator::Indexed([](int64_t n) { return 1000 - n; }));
    const int64_t start = Rig.NowUs();

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    EXPECT_EQ(Form1->AcqState, 6);
    EXPECT_EQ(MeasurementRecord.PointCount[0], 0);
    EXPECT_EQ(Readings(start), 0u);
    EXPECT_TRUE(Form1->RGvoieSynchro->Enabled());

    RunFor(999);
    EXPECT_EQ(MeasurementRecord.PointCount[0], 0);
    RunFor(2);
    ASSERT_EQ(MeasurementRecord.PointCount[0], 1);
    EXPECT_EQ(MeasurementRecord.PointTime[0][0], 0.0f);

    ASSERT_TRUE(RunToEnd(15000));
    // Ten points, ten readings; the eleventh tick ends without reading.
    const double endedMs = (Rig.NowUs() - start) / 1000.0;
    EXPECT_GE(endedMs, 11000);
    EXPECT_LE(endedMs, 11005);
    EXPECT_EQ(Readings(start), 10u);
    ASSERT_EQ(MeasurementRecord.PointCount[0], 10);
    ExpectPointTimes(10, 1000);
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(MeasurementRecord.PointValue[0][0][k - 1], 1.0f * k) << "point " << k;
        EXPECT_EQ(MeasurementRecord.PointValue[0][1][k - 1], 1000.0f - k) << "point " << k;
    }
    ExpectWindowGivenBack();
    EXPECT_FALSE(Form1->TimerYY->Enabled());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TimedTest, PointTimesRunOnAcrossTheTickCounterWrap) {
    StartWithSensors(&sim::FixtureA, nullptr);
    // The counter wraps 3.5 s into the series.
    Rig.Clock().BootOffsetMs = (uint64_t{1} << 32) - 3500 - Rig.Clock().NowUs() / 1000;
    Prepare("Y1", Row1s, true);
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    ASSERT_TRUE(RunToEnd(15000));
    ASSERT_EQ(MeasurementRecord.PointCount[0], 10);
    ExpectPointTimes(10, 1000);
}

// --------------------------------------------------- end of a series, again

class ModeTest : public TimedTest, public ::testing::WithParamInterface<const char*> {
protected:
    bool TwoChannels() const { return std::string(GetParam()) == "YY"; }
};

TEST_P(ModeTest, WithoutArretAutoTheSeriesStartsAgainWithANewOrigin) {
    // The first pass ends with the tenth tick (one channel) or the eleventh
    // (two channels), which starts the second pass: its first point at once
    // (one channel) or one interval later (two channels).
    const uint32_t secondPassFirstMs = TwoChannels() ? 12000 : 10000;
    StartWithSensors(&sim::FixtureA, &sim::FixtureA);
    Prepare(GetParam(), Row1s, false);
    const int64_t start = Rig.NowUs();
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    // Past the end of the first pass, three points into the second.
    RunFor(secondPassFirstMs + 2500);
    EXPECT_NE(Form1->AcqState, 0);
    EXPECT_EQ(MeasurementRecord.SeriesCount, 1);
    EXPECT_EQ(Form1->MeasuredSeries, 1);
    ASSERT_EQ(MeasurementRecord.PointCount[0], 3);
    ExpectPointTimes(3, 1000);
    EXPECT_EQ(Readings(start), TwoChannels() ? 13u : 14u);
    Run(Form1->ActionFinMesures);
    ExpectWindowGivenBack();
    EXPECT_FALSE(Form1->TimerYt->Enabled());
    EXPECT_FALSE(Form1->TimerYY->Enabled());
}

TEST_F(TimedTest, RedoneOlderTwoChannelSeriesLeavesTheNewestAlone) {
    StartWithSensors(&sim::FixtureU, &sim::FixtureU);
    Prepare("YY", Row50Ms, true);
    for (int raw : {100, 200}) {
        Rig.SetGenerator(0, sim::Generator::Dc(raw));
        ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
        ASSERT_TRUE(RunToEnd(2000));
    }
    ASSERT_EQ(MeasurementRecord.SeriesCount, 2);
    ASSERT_EQ(MeasurementRecord.PointValue[1][0][9], 200.0f);

    // Series 1 measured again, passes after passes.
    Form1->BTS1Click();
    Form1->CBmonoCoup->SetChecked(false);
    Rig.SetGenerator(0, sim::Generator::Dc(300));
    ASSERT_TRUE(Run(Form1->ActionRefaireMesure));
    RunFor(1500); // three passes
    Run(Form1->ActionFinMesures);

    EXPECT_EQ(MeasurementRecord.SeriesCount, 2);
    EXPECT_EQ(Form1->MeasuredSeries, 1);
    EXPECT_EQ(MeasurementRecord.PointValue[0][0][0], 300.0f);
    ASSERT_EQ(MeasurementRecord.PointCount[1], 10);
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(MeasurementRecord.PointValue[1][0][k], 200.0f) << "point " << k + 1;
}

TEST_F(TimedTest, EachTickShowsTheGraphUpToItsPoint) {
    StartWithSensors(&sim::FixtureA, nullptr);
    Form1->Style.CurveColor[0][0] = clRed;
    Prepare("Y1", Row1s, true);
    Rig.SetGenerator(0, sim::Generator::Dc(767)); // 5 V
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    // The user asks for the line of the series being measured.
    Form1->cbs1L1->SetChecked(true);
    Form1->cbs1p1->SetChecked(false);
    RunFor(2100); // points at 0, 1 s and 2 s
    ASSERT_EQ(MeasurementRecord.PointCount[0], 3);

    const workbench::GraphState& g = Form1->Graph;
    ASSERT_TRUE(g.FrameValid);
    const QImage& screen = Form1->PaintBox1->Surface();
    const int m = Form1->GraphMargin;
    const int y = workbench::ValueToY(g, 0, ConvertRawCount(0, 767)) + m;
    auto red = [&](double tMs, int dy = 0) {
        return RgbToColor(screen.pixel(workbench::TimeToX(g, tMs) + m, y + dy)) == clRed;
    };
    EXPECT_TRUE(red(500));
    EXPECT_TRUE(red(1500));
    EXPECT_FALSE(red(1500, -5));
    EXPECT_FALSE(red(2600)); // no point there yet
    Run(Form1->ActionFinMesures);
}

// ----------------------------------------------------------- display panels

struct PanelCase {
    const char* Name;
    const char* Mode;
    int Row;
    const char* Y0;
    const char* Y1;
};
void PrintTo(const PanelCase& c, std::ostream* os) {
    *os << c.Name;
}
class PanelTest : public TimedTest, public ::testing::WithParamInterface<PanelCase> {};

TEST_P(PanelTest, ValuesShownOnlyAboveThreeHundredMs) {
    const PanelCase& c = GetParam();
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    Prepare(c.Mode, c.Row, true);
    Rig.SetGenerator(0, sim::Generator::Dc(512));  // 0,01 V
    Rig.SetGenerator(1, sim::Generator::Dc(1000)); // above the range
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    // One interval on: the two-channel series has its first point, the
    // one-channel series its second.
    RunFor(static_cast<uint32_t>(workbench::TimeBaseMs[c.Row]) + 5);
    const int points = MeasurementRecord.PointCount[0];
    ASSERT_EQ(points, std::string(c.Mode) == "YY" ? 1 : 2);
    EXPECT_EQ(MeasurementRecord.PointValue[0][1][points - 1], OverRangeValue);
    EXPECT_EQ(Form1->PanelY0->Caption(), c.Y0);
    EXPECT_EQ(Form1->PanelY1->Caption(), c.Y1);
    Run(Form1->ActionFinMesures);
}

// One channel shows only the measured channel's panel.
INSTANTIATE_TEST_SUITE_P(
    Intervals, PanelTest,
    ::testing::Values(PanelCase{"ThreeHundredMs", "YY", Row300Ms, "", ""},
                      PanelCase{"FourHundredMs", "YY", Row400Ms, "0,01 V  ", "hors calibre"},
                      PanelCase{"OneChannelThreeHundredMs", "Y2", Row300Ms, "", ""},
                      PanelCase{"OneChannelFourHundredMs", "Y1", Row400Ms, "0,01 V  ", ""},
                      PanelCase{"OneChannelOutOfRange", "Y2", Row400Ms, "", "hors calibre"}),
    [](const auto& info) { return std::string(info.param.Name); });

// --------------------------------------------------------- software trigger

struct TriggerCase {
    const char* Name;
    const char* Mode;
    std::vector<int> Sequence; // channel 0, one value per reading
    size_t WaitReadings;       // readings of the wait
    double FirstPointMs;       // when the first point is taken
    float FirstValue;
};
void PrintTo(const TriggerCase& c, std::ostream* os) {
    *os << c.Name;
}
class TriggerTest : public TimedTest, public ::testing::WithParamInterface<TriggerCase> {};

TEST_P(TriggerTest, ThreeReadingsThenTheFirstPoint) {
    const TriggerCase& c = GetParam();
    StartWithSensors(&sim::FixtureU, &sim::FixtureU);
    Prepare(c.Mode, Row1s, true);
    Form1->CBDec->SetChecked(true);
    Form1->RGfront->SetItemIndex(workbench::FallingEdge);
    if (std::string(c.Mode) == "YY")
        Form1->RGvoieSynchro->SetItemIndex(1); // the wait watches channel 0 all the same
    Form1->TriggerLevel = 500;
    Rig.SetGenerator(0, sim::Generator::Sequence(c.Sequence));
    Rig.SetGenerator(1, sim::Generator::Dc(900));
    const int64_t start = Rig.NowUs();

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    if (std::string(c.Mode) == "YY")
        RunUntil([] { return MeasurementRecord.PointCount[0] == 1; }, 2000);

    ASSERT_EQ(MeasurementRecord.PointCount[0], 1);
    EXPECT_EQ(Readings(start), c.WaitReadings + 1);
    const double firstMs = (Rig.NowUs() - start) / 1000.0;
    EXPECT_GE(firstMs, c.FirstPointMs);
    EXPECT_LE(firstMs, c.FirstPointMs + 3 + 2 * static_cast<double>(c.WaitReadings));
    EXPECT_EQ(MeasurementRecord.PointTime[0][0], 0.0f);
    EXPECT_EQ(MeasurementRecord.PointValue[0][0][0], c.FirstValue);
    EXPECT_TRUE(Messages().empty());
    Run(Form1->ActionFinMesures);
}

INSTANTIATE_TEST_SUITE_P(
    Waits, TriggerTest,
    ::testing::Values(
        // One channel: pauses of 100 ms; the first point at once after the edge.
        TriggerCase{"OneChannelFallingEdge", "Y1", {520, 510, 500, 42}, 3, 200, 42},
        TriggerCase{"OneChannelSecondRound", "Y1", {600, 590, 501, 520, 510, 490, 7}, 6, 400, 7},
        // Never reaching the level: 4 x 10 + 1 rounds, then untriggered.
        TriggerCase{"OneChannelGivesUp", "Y1", {520, 510, 501}, 41 * 3, 41 * 200, 501},
        // Two channels: pauses of 250 ms, then one interval to the first tick.
        TriggerCase{"TwoChannelsFallingEdge", "YY", {520, 510, 500, 42}, 3, 500 + 1000, 42},
        TriggerCase{"TwoChannelsGiveUp", "YY", {520, 510, 501}, 21 * 3, 21 * 500 + 1000, 501}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_P(ModeTest, FinEndsTheTriggerWait) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureA);
    Prepare(GetParam(), Row1s, true, 100);
    Form1->CBDec->SetChecked(true);
    Form1->TriggerLevel = 600;
    Rig.SetGenerator(0, sim::Generator::Dc(100)); // never crosses the level
    bool waiting = false;
    At(3000, [&] {
        waiting =
            Form1->AcqState == (TwoChannels() ? 6 : 2) && MeasurementRecord.PointCount[0] == 0;
        Run(Form1->ActionFinMesures);
    });
    const int64_t start = Rig.NowUs();

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    EXPECT_TRUE(waiting);
    const double endedMs = (Rig.NowUs() - start) / 1000.0;
    EXPECT_GE(endedMs, 3000);
    EXPECT_LE(endedMs, 3000 + 30);
    EXPECT_EQ(MeasurementRecord.PointCount[0], 0);
    EXPECT_FALSE(Form1->TimerYt->Enabled());
    EXPECT_FALSE(Form1->TimerYY->Enabled());
    ExpectWindowGivenBack();
    const size_t readings = Readings(start);
    RunFor(3000);
    EXPECT_EQ(MeasurementRecord.PointCount[0], 0);
    EXPECT_LE(Readings(start), readings + 4); // the live tick only
    EXPECT_TRUE(Messages().empty());
}

// The user picks "50 ms" during a "1 s" series, while it collects or while it
// waits for its trigger: the measurement ends and the series is redone at the
// new interval, one series only, its first point taken once.
class IntervalChangeTest : public TimedTest, public ::testing::WithParamInterface<bool> {};

TEST_P(IntervalChangeTest, SeriesRedoneAtTheNewInterval) {
    const bool duringTriggerWait = GetParam();
    StartWithSensors(&sim::FixtureU, nullptr);
    Prepare("Y1", Row1s, true);
    Form1->CBDec->SetChecked(duringTriggerWait);
    Form1->TriggerLevel = 600;
    Rig.SetGenerator(0, sim::Generator::Dc(100)); // never crosses the level
    bool changed = false;
    At(2500, [&] {
        changed = true;
        ChooseInterval(Row50Ms);
    });
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    if (!duringTriggerWait)
        RunUntil([&] { return changed; }, 3000);
    ASSERT_TRUE(changed);
    EXPECT_EQ(Form1->AcqState, 2);
    EXPECT_EQ(MeasurementRecord.PointCount[0], 1);
    EXPECT_TRUE(Form1->TimerYt->Enabled());
    EXPECT_EQ(Form1->TimerYt->Interval(), 50u);

    ASSERT_TRUE(RunToEnd(1000));
    EXPECT_EQ(MeasurementRecord.SeriesCount, 1);
    EXPECT_EQ(MeasurementRecord.DeltaTIndex, Row50Ms);
    ASSERT_EQ(MeasurementRecord.PointCount[0], 10);
    ExpectPointTimes(10, 50);
    ExpectWindowGivenBack();
    EXPECT_TRUE(Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(When, IntervalChangeTest, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "DuringTheTriggerWait" : "WhileCollecting");
});

// ------------------------------------------------------- interface silent

TEST_P(ModeTest, InterfaceSilentMidSeriesGivesOneMessage) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureA);
    Prepare(GetParam(), Row1s, true, 20);
    Guard.Dialogs.Answer(ModalResult::Ok, SilentMessage);
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    RunFor(3500);
    const int stored = MeasurementRecord.PointCount[0];
    EXPECT_GE(stored, 3);
    Rig.Faults().NoAnswer(sim::Command::Any);
    ASSERT_TRUE(RunToEnd(1600));

    const std::vector<platform::MessageRequest> boxes = Messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, SilentMessage);
    EXPECT_EQ(boxes[0].Type, platform::MsgType::Information);
    EXPECT_EQ(MeasurementRecord.PointCount[0], stored);
    ExpectWindowGivenBack();
    EXPECT_FALSE(Form1->TimerYt->Enabled());
    EXPECT_FALSE(Form1->TimerYY->Enabled());
    RunFor(5000);
    EXPECT_EQ(Messages().size(), 1u);
}

TEST_P(ModeTest, InterfaceSilentDuringTheTriggerWaitGivesOneMessage) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureA);
    Prepare(GetParam(), Row1s, true);
    Form1->CBDec->SetChecked(true);
    Form1->TriggerLevel = 600;
    Rig.SetGenerator(0, sim::Generator::Dc(100)); // never crosses the level
    Guard.Dialogs.Answer(ModalResult::Ok, SilentMessage);
    At(1000, [&] { Rig.Faults().NoAnswer(sim::Command::Any); });
    const int64_t start = Rig.NowUs();

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure)); // returns when the wait ends

    // The first reading after the interface fell silent waits its bound and
    // the link's presence tries (330 ms), the one asked at once to tell a
    // lost answer from a silent interface only briefly.
    const double endedMs = (Rig.NowUs() - start) / 1000.0;
    EXPECT_LE(endedMs, 1000 + 250 + 500 + 330 + 100 + 20);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Text, SilentMessage);
    EXPECT_EQ(MeasurementRecord.PointCount[0], 0);
    ExpectWindowGivenBack();
    EXPECT_FALSE(Form1->TimerYt->Enabled());
    EXPECT_FALSE(Form1->TimerYY->Enabled());
    RunFor(5000);
    EXPECT_EQ(Messages().size(), 1u);
}

TEST_P(ModeTest, OneLostReadingDuringTheTriggerWaitEndsNothing) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureA);
    Prepare(GetParam(), Row1s, true);
    Form1->CBDec->SetChecked(true);
    Form1->TriggerLevel = 600;
    Rig.SetGenerator(0, sim::Generator::Dc(100)); // never crosses the level
    At(1000, [&] { Rig.Faults().NoAnswer(sim::Command::AA, sim::Scope::Next(1)); });

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    // The wait gives up after its rounds and the series runs untriggered.
    ASSERT_TRUE(RunUntil([] { return MeasurementRecord.PointCount[0] == 1; }, 3000));
    EXPECT_NE(Form1->AcqState, 0);
    EXPECT_TRUE(Messages().empty());
    Run(Form1->ActionFinMesures);
}

TEST_P(ModeTest, WithoutArretAutoEachPassWaitsForTheTriggerAgain) {
    StartWithSensors(&sim::FixtureU, &sim::FixtureU);
    Prepare(GetParam(), Row1s, false);
    Form1->CBDec->SetChecked(true);
    Form1->RGfront->SetItemIndex(workbench::FallingEdge);
    Form1->TriggerLevel = 500;
    // Each pass: the edge (three readings), then its ten points; the
    // one-channel pass reads once more on the tick that ends it.
    std::vector<int> sequence = {520, 510, 500};
    for (int k = 0; k < (TwoChannels() ? 10 : 11); ++k)
        sequence.push_back(42);
    for (int value : {520, 510, 500, 77})
        sequence.push_back(value);
    Rig.SetGenerator(0, sim::Generator::Sequence(sequence));
    // One channel: the edge takes two pauses of 100 ms, the first point comes
    // at once, the tenth tick ends the pass. Two channels: pauses of 250 ms,
    // the first point one interval later, the eleventh tick ends the pass.
    const uint32_t secondWaitMs = TwoChannels() ? 11500 : 10200;
    const uint32_t secondFirstMs = TwoChannels() ? secondWaitMs + 500 + 1000 : secondWaitMs + 200;
    bool waitingAgain = false;
    At(secondWaitMs + 100,
       [&] { waitingAgain = Form1->AcqState != 0 && MeasurementRecord.PointCount[0] == 0; });

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    RunFor(secondFirstMs + 60);

    EXPECT_TRUE(waitingAgain);
    ASSERT_EQ(MeasurementRecord.PointCount[0], 1);
    EXPECT_EQ(MeasurementRecord.PointValue[0][0][0], 77.0f);
    EXPECT_EQ(MeasurementRecord.PointTime[0][0], 0.0f);
    EXPECT_EQ(MeasurementRecord.SeriesCount, 1);
    EXPECT_TRUE(Messages().empty());
    Run(Form1->ActionFinMesures);
}

INSTANTIATE_TEST_SUITE_P(Modes, ModeTest, ::testing::Values("Y1", "YY"),
                         [](const auto& info) { return std::string(info.param); });

// --------------------------------------------------- lost and late readings

struct LostReadingCase {
    const char* Name;
    const char* Mode;
    bool Late; // answered 600 ms late instead of not at all
};
void PrintTo(const LostReadingCase& c, std::ostream* os) {
    *os << c.Name;
}
class LostReadingTest : public TimedTest, public ::testing::WithParamInterface<LostReadingCase> {};

TEST_P(LostReadingTest, TheTickIsSkippedAndTheSeriesGoesOn) {
    const LostReadingCase& c = GetParam();
    StartWithSensors(&sim::FixtureA, &sim::FixtureA);
    Prepare(c.Mode, Row1s, true);
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    RunFor(3500);
    const int before = MeasurementRecord.PointCount[0];
    ASSERT_GE(before, 3);
    if (c.Late)
        Rig.Faults().LateAnswer(600, sim::Command::AA, sim::Scope::Next(1));
    else
        Rig.Faults().NoAnswer(sim::Command::AA, sim::Scope::Next(1));
    RunFor(1000); // the next tick's reading is lost
    EXPECT_EQ(MeasurementRecord.PointCount[0], before);
    EXPECT_NE(Form1->AcqState, 0);

    ASSERT_TRUE(RunToEnd(15000));
    EXPECT_TRUE(Messages().empty());
    ASSERT_EQ(MeasurementRecord.PointCount[0], 10);
    // One interval between the points, two across the skipped tick.
    const float* t = MeasurementRecord.PointTime[0];
    for (int k = 1; k < 10; ++k) {
        const double gap = double(t[k]) - t[k - 1];
        const double expected = k == before ? 2000 : 1000;
        EXPECT_GE(gap, expected - 5) << "points " << k << " and " << k + 1;
        EXPECT_LE(gap, expected + 5) << "points " << k << " and " << k + 1;
    }
    ExpectWindowGivenBack();
}

INSTANTIATE_TEST_SUITE_P(Readings, LostReadingTest,
                         ::testing::Values(LostReadingCase{"OneChannelLost", "Y1", false},
                                           LostReadingCase{"OneChannelLate", "Y1", true},
                                           LostReadingCase{"TwoChannelsLost", "YY", false},
                                           LostReadingCase{"TwoChannelsLate", "YY", true}),
                         [](const auto& info) { return std::string(info.param.Name); });

// ------------------------------------------- changes during the series

struct CountChangeCase {
    const char* Name;
    const char* Mode;
    uint32_t ChangeAtMs; // "Nombre de mesures" changed from 20 then
    int NewCount;
    int Points; // the series ends with these
};
void PrintTo(const CountChangeCase& c, std::ostream* os) {
    *os << c.Name;
}
class CountChangeTest : public TimedTest, public ::testing::WithParamInterface<CountChangeCase> {};

TEST_P(CountChangeTest, TheNextTickTakesTheNewNumber) {
    const CountChangeCase& c = GetParam();
    StartWithSensors(&sim::FixtureA, &sim::FixtureA);
    Prepare(c.Mode, Row50Ms, true, 20);
    At(c.ChangeAtMs, [&] { Form1->NbMesures->SetValue(c.NewCount); });
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    ASSERT_TRUE(RunToEnd(3000));
    EXPECT_EQ(MeasurementRecord.PointCount[0], c.Points);
    ExpectPointTimes(c.Points, 50);
    EXPECT_TRUE(Messages().empty());
}

// Points every 50 ms: from 0 ms in one channel, from 50 ms in two.
INSTANTIATE_TEST_SUITE_P(
    Counts, CountChangeTest,
    ::testing::Values(CountChangeCase{"FewerAfterEightPoints", "Y1", 375, 10, 10},
                      CountChangeCase{"FewerThanThoseStored", "Y1", 675, 10, 14},
                      CountChangeCase{"More", "Y1", 375, 30, 30},
                      CountChangeCase{"TwoChannelsFewer", "YY", 375, 10, 10}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TimedTest, TwoChannelRestartWithFourSeriesMeasuresTheFourthAgain) {
    StartWithSensors(&sim::FixtureU, &sim::FixtureU);
    Prepare("YY", Row50Ms, true);
    for (int raw : {100, 200, 300}) {
        Rig.SetGenerator(0, sim::Generator::Dc(raw));
        ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
        ASSERT_TRUE(RunToEnd(2000));
    }
    ASSERT_EQ(MeasurementRecord.SeriesCount, 3);

    // The fourth series, pass after pass: never the question that a new
    // measurement with four series asks.
    Form1->CBmonoCoup->SetChecked(false);
    Rig.SetGenerator(0, sim::Generator::Dc(400));
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    RunFor(1800); // three passes of 550 ms, a fourth begun
    EXPECT_NE(Form1->AcqState, 0);
    EXPECT_EQ(MeasurementRecord.SeriesCount, 4);
    EXPECT_EQ(Form1->MeasuredSeries, 4);
    EXPECT_GE(MeasurementRecord.PointCount[3], 1);
    EXPECT_LE(MeasurementRecord.PointCount[3], 5);
    Run(Form1->ActionFinMesures);
    EXPECT_TRUE(Messages().empty());
    for (int s = 1; s <= 4; ++s) {
        EXPECT_EQ(MeasurementRecord.PointValue[s - 1][0][0], 100.0f * s) << "series " << s;
        if (s < 4) {
            EXPECT_EQ(MeasurementRecord.PointCount[s - 1], 10) << "series " << s;
        }
    }
}

class CloseTest : public TimedTest, public ::testing::WithParamInterface<bool> {};

TEST_P(CloseTest, ClosingTheWindowEndsTheSeries) {
    const bool duringTriggerWait = GetParam();
    StartWithSensors(&sim::FixtureA, nullptr);
    Prepare("Y1", Row1s, true);
    Form1->CBDec->SetChecked(duringTriggerWait);
    Form1->TriggerLevel = 600;
    Rig.SetGenerator(0, sim::Generator::Dc(100)); // never crosses the level
    bool closed = false;
    At(2500, [&] {
        Form1->Close();
        closed = true;
    });
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    if (!duringTriggerWait)
        RunUntil([&] { return closed; }, 3000);
    ASSERT_TRUE(closed);

    EXPECT_EQ(Form1->AcqState, 0);
    EXPECT_EQ(MeasurementRecord.PointCount[0], duringTriggerWait ? 0 : 3);
    EXPECT_FALSE(Form1->TimerYt->Enabled());
    EXPECT_FALSE(Form1->Timer->Enabled());
    // Nothing talks to the interface any more.
    const size_t readings = Readings(0);
    RunFor(5000);
    EXPECT_EQ(Readings(0), readings);
    EXPECT_TRUE(Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(When, CloseTest, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "DuringTheTriggerWait" : "WhileCollecting");
});

// Escape is "Fin" for the timed series too: the series keeps the points it
// has and the window is given back; with nothing running it does nothing.
TEST_F(TimedTest, EscapeEndsTheSeriesAsFinDoes) {
    StartWithSensors(&sim::FixtureA, nullptr);
    QTest::keyClick(Form1, Qt::Key_Escape);
    EXPECT_EQ(Form1->AcqState, 0);
    Prepare("Y1", Row1s, false);
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    RunFor(2500);
    ASSERT_EQ(MeasurementRecord.PointCount[0], 3);
    QTest::keyClick(Form1, Qt::Key_Escape);
    ExpectWindowGivenBack();
    RunFor(3000);
    EXPECT_EQ(MeasurementRecord.PointCount[0], 3);
    EXPECT_TRUE(Messages().empty());
}

} // namespace
} // namespace acqtest
