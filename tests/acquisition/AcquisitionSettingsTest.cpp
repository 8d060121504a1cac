// The settings panel: mode, interval, number of measurements, trigger level.
#include "AcquisitionFixture.h"

#include "model/Acquisition.h"

using namespace tampon;
using namespace kvel1;

namespace acqtest {
namespace {

// Voltage on channel 0 (zero count about 512), temperature on channel 1:
// 0.125 degC a count from -12.5 degC, so its zero count is 100.
class SettingsTest : public AcquisitionTest {
protected:
    void SetUp() override {
        AcquisitionTest::SetUp();
        StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    }
};

TEST_F(SettingsTest, ModeSetsTheTriggerChannelAndItsZeroLevel) {
    ChooseMode("Y2");
    EXPECT_EQ(Form1->AcqMode, 1);
    EXPECT_EQ(Form1->TriggerChannel, 1);
    EXPECT_EQ(Form1->TriggerLevel, 100);
    EXPECT_EQ(Form1->RGvoieSynchro->ItemIndex(), 1);
    EXPECT_FALSE(Form1->RGvoieSynchro->Enabled());
    EXPECT_EQ(Form1->Pnivdec->Caption(), "0,0 °C");
    EXPECT_FALSE(Form1->PanelMinMax0->Visible());
    EXPECT_TRUE(Form1->PanelMinMax1->Visible());
    EXPECT_EQ(Form1->CBdelta_t->Items.Count(), 20);
    EXPECT_EQ(Form1->CBdelta_t->ItemIndex(), -1);

    Form1->SBnivdec->ClickDown();
    EXPECT_EQ(Form1->TriggerLevel, 90);
    EXPECT_EQ(Form1->Pnivdec->Caption(), "-1,3 °C");

    // In YY the trigger channel can be chosen; the raw level stays and is
    // shown in the other channel's units.
    ChooseMode("YY");
    EXPECT_EQ(Form1->TriggerChannel, 0);
    EXPECT_TRUE(Form1->RGvoieSynchro->Enabled());
    EXPECT_EQ(Form1->Pnivdec->Caption().substr(Form1->Pnivdec->Caption().size() - 2), " V");
    Form1->TriggerLevel = 500;
    Form1->RGvoieSynchro->SetItemIndex(1);
    EXPECT_EQ(Form1->TriggerChannel, 1);
    EXPECT_EQ(Form1->Pnivdec->Caption(), "50,0 °C");
    Form1->SBnivdec->ClickUp();
    EXPECT_EQ(Form1->Pnivdec->Caption(), "51,3 °C");
}

// What choosing a "Voie" item does, with live data (the interface's) or with
// a file shown.
struct ModeCase {
    const char* Name;
    const char* Item;
    bool Live;
    int Mode;
    int Intervals, DropDown;
    bool MinMax0, MinMax1;
    int TriggerChannel; // also the item of "voie" and the level's channel
    bool TriggerEnabled;
    bool GroupsShown, MonoVisible, MonoChecked, RangeReset;
};
void PrintTo(const ModeCase& c, std::ostream* os) {
    *os << c.Name;
}

class ModeChoiceTest : public SettingsTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ModeChoiceTest, AppliesItsRowOfSettings) {
    const ModeCase& c = GetParam();
    ChooseMode(std::string(c.Item) == "Y1" ? "Y2" : "Y1");
    // A state that every row changes or keeps visibly.
    Form1->RGvoieSynchro->SetItemIndex(1);
    Form1->RGvoieSynchro->SetEnabled(true);
    Form1->TriggerLevel = 777;
    Form1->CBmonoCoup->SetChecked(true);
    MeasurementRecord.DisplayMax[0][0] = 2;
    Form1->LiveMode = c.Live ? 1 : 0;

    ChooseMode(c.Item);

    EXPECT_EQ(Form1->AcqMode, c.Mode);
    EXPECT_EQ(Form1->CBdelta_t->Items.Count(), c.Intervals);
    EXPECT_EQ(Form1->CBdelta_t->ItemIndex(), -1);
    if (c.DropDown > 0) {
        EXPECT_EQ(Form1->CBdelta_t->DropDownCount(), c.DropDown);
    }
    EXPECT_EQ(Form1->PanelMinMax0->Visible(), c.MinMax0);
    EXPECT_EQ(Form1->PanelMinMax1->Visible(), c.MinMax1);
    const int channel = c.TriggerChannel;
    EXPECT_EQ(Form1->TriggerChannel, channel);
    EXPECT_EQ(Form1->RGvoieSynchro->ItemIndex(), channel);
    EXPECT_EQ(Form1->RGvoieSynchro->Enabled(), c.TriggerEnabled);
    // The level moves to the zero count of its channel only when the row
    // sets the trigger.
    const bool levelSet = c.Live && c.Mode != workbench::ModeManual;
    const uint16_t level =
        levelSet ? workbench::ZeroCountLevel(ChannelSlope[channel], ChannelOffset[channel]) : 777;
    EXPECT_EQ(Form1->TriggerLevel, level);
    EXPECT_EQ(Form1->Pnivdec->Caption(),
              workbench::TriggerLevelText(level, ChannelSlope[channel], ChannelOffset[channel],
                                          ChannelDecimals[channel], ChannelUnit[channel]));
    EXPECT_EQ(Form1->GroupBoxSynchro->Visible(), c.GroupsShown);
    EXPECT_EQ(Form1->GroupBoxTemps->Visible(), c.GroupsShown);
    EXPECT_EQ(Form1->CBmonoCoup->Visible(), c.MonoVisible);
    EXPECT_EQ(Form1->CBmonoCoup->Checked(), c.MonoChecked);
    EXPECT_EQ(MeasurementRecord.DisplayMax[0][0], c.RangeReset ? 10.0f : 2.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Items, ModeChoiceTest,
    ::testing::Values(
        ModeCase{"Y1", "Y1", true, 0, 20, 21, true, false, 0, false, true, true, true, false},
        ModeCase{"Y2", "Y2", true, 1, 20, 21, false, true, 1, false, true, true, true, false},
        ModeCase{"YY", "YY", true, 2, 20, 21, true, true, 0, true, true, true, true, false},
        ModeCase{"XY", "XY", true, 3, 6, 6, true, true, 0, true, true, true, true, true},
        ModeCase{"Manual", "man.", true, 4, 0, 0, true, true, 1, false, false, false, false, true},
        ModeCase{"FileY1", "Y1", false, 0, 20, 21, true, false, 1, true, false, true, true, false},
        ModeCase{"FileXY", "XY", false, 3, 6, 6, true, true, 1, true, false, true, true, false},
        ModeCase{"FileManual", "man.", false, 4, 0, 0, true, true, 1, true, false, true, true,
                 false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(SettingsTest, LevelMovesByTenWithinItsLimits) {
    struct Step {
        uint16_t From;
        bool Up;
        uint16_t To;
    };
    for (const Step& step : {Step{15, false, 5}, Step{5, false, 5}, Step{11, false, 1},
                             Step{1012, true, 1022}, Step{1022, true, 1022}, Step{0, true, 10}}) {
        Form1->TriggerLevel = step.From;
        if (step.Up)
            Form1->SBnivdec->ClickUp();
        else
            Form1->SBnivdec->ClickDown();
        EXPECT_EQ(Form1->TriggerLevel, step.To) << step.From << (step.Up ? " up" : " down");
    }
}

TEST_F(SettingsTest, TimedIntervalFreesTheNumberOfMeasurements) {
    Form1->CBDec->SetChecked(true);
    ChooseInterval(12); // "1 s"
    EXPECT_EQ(Form1->FastTimeBase, 0);
    EXPECT_EQ(Form1->TimeBaseIndex, 12);
    EXPECT_EQ(Form1->TimeStepMs, 1000.0);
    EXPECT_EQ(Form1->CBdelta_t->Text(), "1 s");
    EXPECT_FALSE(Form1->CBDec->Checked());
    EXPECT_TRUE(Form1->NbMesures->Enabled());
    EXPECT_EQ(Form1->NbMesures->Value(), 95);
    EXPECT_EQ(Form1->LabelDuree->Caption(), "0 h 1 min 34,000 s");
    EXPECT_EQ(MeasurementRecord.DeltaTIndex, 12);

    std::vector<int> values;
    for (int i = 0; i < 12; ++i) {
        Form1->NbMesures->Step(1);
        values.push_back(Form1->NbMesures->Value());
    }
    EXPECT_EQ(values,
              (std::vector<int>{105, 115, 125, 135, 145, 155, 165, 175, 185, 195, 200, 200}));
    Form1->NbMesures->SetValue(100);
    EXPECT_EQ(MeasurementRecord.MeasureCount, 100);
    EXPECT_EQ(Form1->LabelDuree->Caption(), "0 h 1 min 39,000 s");

    // Back to a block interval: 95 measurements, not adjustable.
    ChooseInterval(0);
    EXPECT_EQ(Form1->FastTimeBase, 1);
    EXPECT_EQ(Form1->NbMesures->Value(), 95);
    EXPECT_FALSE(Form1->NbMesures->Enabled());
    EXPECT_EQ(MeasurementRecord.MeasureCount, 95);
    EXPECT_EQ(Form1->LabelDuree->Caption(), "0 h 0 min 0,047 s");
}

TEST_F(SettingsTest, ListClosedWithNothingChosenChangesNothing) {
    ChooseInterval(4); // "10 ms"
    ChooseMode("YY");
    ASSERT_EQ(Form1->CBdelta_t->ItemIndex(), -1);
    ChooseInterval(-1);
    EXPECT_EQ(Form1->TimeBaseIndex, 4);
    EXPECT_EQ(Form1->TimeStepMs, 10.0);
    EXPECT_EQ(MeasurementRecord.DeltaTIndex, 4);
    EXPECT_EQ(Form1->LabelDuree->Caption(), "0 h 0 min 0,940 s");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SettingsTest, XYAfterSixtySecondsStartsNothingUntilAFastInterval) {
    ChooseInterval(19); // "60 s"
    ChooseMode("XY");
    EXPECT_EQ(Form1->CBdelta_t->Items.Items(),
              (std::vector<std::string>{"0,5 ms", "1 ms", "2 ms", "5 ms", "10 ms", "20 ms"}));
    EXPECT_EQ(Form1->CBdelta_t->ItemIndex(), -1);

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    EXPECT_TRUE(BlockFrames().empty());
    EXPECT_EQ(Form1->AcqState, 0);
    // A new, empty series was opened; the window waits for "Fin".
    EXPECT_EQ(MeasurementRecord.SeriesCount, 1);
    EXPECT_EQ(MeasurementRecord.PointCount[0], 0);
    EXPECT_TRUE(Form1->ActionFinMesures->Enabled());
    EXPECT_FALSE(Form1->ActionNouvelleMesure->Enabled());
    ASSERT_TRUE(Run(Form1->ActionFinMesures));
    ExpectWindowGivenBack();

    ChooseInterval(1); // "1 ms"
    Form1->CBmonoCoup->SetChecked(true);
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    const std::vector<sim::FrameRecord> blocks = BlockFrames();
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(CodesOf(blocks[0]), CodesOfRow(1));
    EXPECT_EQ(MeasurementRecord.SeriesCount, 2);
    EXPECT_EQ(MeasurementRecord.PointCount[1], 95);
}

TEST_F(SettingsTest, ManualModeHidesTheSettingsAndResetsTheRange) {
    MeasurementRecord.DisplayMax[0][0] = 2;
    MeasurementRecord.DisplayMin[0][1] = 50;
    ChooseMode("man.");
    EXPECT_EQ(Form1->AcqMode, 4);
    EXPECT_EQ(Form1->CBdelta_t->Items.Count(), 0);
    EXPECT_FALSE(Form1->GroupBoxSynchro->Visible());
    EXPECT_FALSE(Form1->GroupBoxTemps->Visible());
    EXPECT_FALSE(Form1->CBmonoCoup->Visible());
    EXPECT_EQ(MeasurementRecord.DisplayMax[0][0], 10.0f);
    EXPECT_EQ(MeasurementRecord.DisplayMin[0][1], -10.0f);

    ChooseMode("Y1");
    EXPECT_TRUE(Form1->GroupBoxSynchro->Visible());
    EXPECT_TRUE(Form1->GroupBoxTemps->Visible());
    EXPECT_TRUE(Form1->CBmonoCoup->Visible());
    EXPECT_EQ(Form1->CBdelta_t->Items.Count(), 20);
}

} // namespace
} // namespace acqtest
