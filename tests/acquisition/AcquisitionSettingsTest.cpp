// The settings panel: mode, interval, number of measurements, trigger level.
#include "AcquisitionFixture.h"

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
