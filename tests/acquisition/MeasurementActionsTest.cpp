// New measurement, redo, end of measurements: the series they measure and
// the controls they lock and release.
#include "AcquisitionFixture.h"

using namespace tampon;
using namespace kvel1;

namespace acqtest {
namespace {

using platform::ModalResult;

constexpr const char* SaveQuestion = "Voulez-vous enregistrer les mesures";

class ActionsTest : public AcquisitionTest {
protected:
    // One block of the level raw on channel 0, "arrêt auto".
    void MeasureOnce(TAction* action, int raw) {
        Rig.SetGenerator(0, sim::Generator::Dc(raw));
        ASSERT_TRUE(Run(action));
        ASSERT_EQ(Form1->AcqState, 0);
    }
};

TEST_F(ActionsTest, WindowLockedWhileMeasuringAndReleasedAtTheEnd) {
    StartWithSensors(&sim::FixtureA, nullptr);
    bool checked = false;
    At(100, [&] {
        checked = true;
        EXPECT_EQ(Form1->AcqState, 1);
        EXPECT_EQ(Form1->Acquiring, 1);
        for (TAction* action :
             {Form1->ActionQuitter, Form1->ActionApropos, Form1->ActionNouvelleMesure,
              Form1->ActionRefaireMesure, Form1->ActionLire, Form1->ActionRAZ,
              Form1->ActionCopierTableau, Form1->ActionCopierImage})
            EXPECT_FALSE(action->Enabled()) << action->Caption();
        EXPECT_TRUE(Form1->ActionFinMesures->Enabled());
        EXPECT_FALSE(Form1->RGVoie->Enabled());
        EXPECT_FALSE(Form1->RGvoieSynchro->Enabled());
        EXPECT_FALSE(Form1->PopupMenu1->AutoPopup);
        EXPECT_FALSE(Form1->PanelBTS->Visible());
        EXPECT_TRUE(Form1->GroupBoxTrace->Visible());
        EXPECT_EQ(Form1->GraphShown, 0);
        EXPECT_FALSE(Form1->Timer->Enabled());
        EXPECT_EQ(Form1->PanelY0->Caption(), "");
        // The interval stays usable; the graph on the screen is the loop's.
        EXPECT_TRUE(Form1->CBdelta_t->Enabled());
        Run(Form1->ActionFinMesures);
    });
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    EXPECT_TRUE(checked);
    ExpectWindowGivenBack();
    // "Y1" had the trigger channel list disabled: the end enables it.
    EXPECT_TRUE(Form1->RGvoieSynchro->Enabled());
    EXPECT_TRUE(Form1->PanelBTS->Visible());
    EXPECT_TRUE(Form1->Timer->Enabled());
}

// The trigger channel can be chosen while a two-channel or XY loop runs, and
// the next block is asked with the new channel, edge and level.
class TriggerDuringLoopTest : public ActionsTest,
                              public ::testing::WithParamInterface<const char*> {};

TEST_P(TriggerDuringLoopTest, ChannelUsableOnlyInTheTwoChannelLoops) {
    const std::string mode = GetParam();
    const bool usable = mode == "YY" || mode == "XY";
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    ChooseMode(mode);
    bool enabled = !usable;
    EveryRound([&](int round) {
        if (round == 1) {
            enabled = Form1->RGvoieSynchro->Enabled();
            if (enabled)
                Form1->RGvoieSynchro->SetItemIndex(1);
            Form1->RGfront->SetItemIndex(1);
            Form1->CBDec->SetChecked(true);
            Form1->TriggerLevel = 3;
        } else if (round == 2) {
            Run(Form1->ActionFinMesures);
        }
    });
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    EXPECT_EQ(enabled, usable);
    const auto request = Rig.Log().LastBlockRequest();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->TriggerChannel, usable ? 1 : 0);
    EXPECT_EQ(request->Edge, 1);
    EXPECT_EQ(request->Level, 3);
}

INSTANTIATE_TEST_SUITE_P(Modes, TriggerDuringLoopTest, ::testing::Values("Y1", "YY", "XY", "man."),
                         [](const auto& info) {
                             const std::string name = info.param;
                             return name == "man." ? std::string("Manual") : name;
                         });

TEST_F(ActionsTest, RedoMeasuresTheSelectedSeriesAgain) {
    StartWithSensors(&sim::FixtureA, nullptr);
    Form1->CBmonoCoup->SetChecked(true);
    for (int raw : {100, 200, 300})
        MeasureOnce(Form1->ActionNouvelleMesure, raw);
    ASSERT_EQ(MeasurementRecord.SeriesCount, 3);
    MeasurementRecord.XYPointCount[1] = 4;

    Form1->SelectedSeries = 2;
    MeasureOnce(Form1->ActionRefaireMesure, 400);

    EXPECT_EQ(MeasurementRecord.SeriesCount, 3);
    EXPECT_EQ(Form1->MeasuredSeries, 2);
    EXPECT_EQ(MeasurementRecord.ShownSeries, 2);
    EXPECT_EQ(MeasurementRecord.XYPointCount[1], 0);
    EXPECT_EQ(MeasurementRecord.PointValue[0][0][10], ConvertRawCount(0, 100));
    EXPECT_EQ(MeasurementRecord.PointValue[1][0][10], ConvertRawCount(0, 400));
    EXPECT_EQ(MeasurementRecord.PointValue[2][0][10], ConvertRawCount(0, 300));
    ExpectWindowGivenBack();
}

struct FifthCase {
    const char* Name;
    bool Save;       // "Oui"
    bool ChooseFile; // then a file name in the save dialog
    bool Cleared;    // the series were cleared
};
void PrintTo(const FifthCase& c, std::ostream* os) {
    *os << c.Name;
}

class FifthMeasurementTest : public ActionsTest, public ::testing::WithParamInterface<FifthCase> {};

TEST_P(FifthMeasurementTest, OffersToSaveAndStartsNothing) {
    const FifthCase& c = GetParam();
    StartWithSensors(&sim::FixtureA, nullptr);
    Form1->CBmonoCoup->SetChecked(true);
    for (int raw = 1; raw <= 4; ++raw)
        MeasureOnce(Form1->ActionNouvelleMesure, 100 * raw);
    ASSERT_EQ(MeasurementRecord.SeriesCount, 4);
    const std::string file = InFolder("quatre.mrs").string();
    Guard.Dialogs.Answer(c.Save ? ModalResult::Yes : ModalResult::No, SaveQuestion);
    if (c.Save)
        Guard.Dialogs.AnswerSave(c.ChooseFile ? file : "");
    const size_t blocksBefore = BlockFrames().size();

    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));

    EXPECT_EQ(BlockFrames().size(), blocksBefore); // nothing measured
    EXPECT_EQ(Form1->AcqState, 0);
    EXPECT_EQ(std::filesystem::exists(file), c.Save && c.ChooseFile);
    if (!c.Cleared) {
        // The user kept the series: the window is as it was.
        EXPECT_EQ(MeasurementRecord.SeriesCount, 4);
        ExpectWindowGivenBack();
        return;
    }
    if (c.ChooseFile) {
        EXPECT_EQ(wbtest::FileBytes(file).size(), workbench::MeasurementSetSize);
    }
    EXPECT_EQ(MeasurementRecord.SeriesCount, 0);
    EXPECT_FALSE(Form1->ActionQuitter->Enabled()); // until a measurement ends
    EXPECT_TRUE(Form1->ActionNouvelleMesure->Enabled());
    EXPECT_FALSE(Form1->ActionFinMesures->Enabled());

    // The next new measurement measures series 1, and its end gives
    // everything back.
    MeasureOnce(Form1->ActionNouvelleMesure, 900);
    EXPECT_EQ(MeasurementRecord.SeriesCount, 1);
    EXPECT_EQ(MeasurementRecord.PointValue[0][0][0], ConvertRawCount(0, 900));
    ExpectWindowGivenBack();
}

INSTANTIATE_TEST_SUITE_P(Answers, FifthMeasurementTest,
                         ::testing::Values(FifthCase{"No", false, false, true},
                                           FifthCase{"YesThenSaved", true, true, true},
                                           FifthCase{"YesThenCancelled", true, false, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

// The colour at the middle of the graph as the screen shows it after a repaint.
TColor GraphCentre() {
    Form1->PaintBox1->Repaint();
    const QImage& screen = Form1->PaintBox1->Surface();
    return RgbToColor(screen.pixel(screen.width() / 2 + 3, screen.height() / 2 + 3));
}

TEST_F(ActionsTest, MeasurementThatStartsNothingLeavesTheEmptyFrameShown) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    ChooseInterval(19); // "60 s": nothing starts in XY
    ChooseMode("XY");
    Form1->Style.BackgroundColor = 0x00123456;
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    ASSERT_EQ(Form1->AcqState, 0);
    ASSERT_TRUE(Form1->ActionFinMesures->Enabled());
    EXPECT_EQ(GraphCentre(), 0x00123456u);
    EXPECT_TRUE(Form1->Graph.FrameValid);
}

TEST_F(ActionsTest, WithoutInterfaceTheGraphAreaStaysClear) {
    Rig.Device().Disconnect();
    Guard.Dialogs.Answer(ModalResult::Cancel, "L'interface de mesure n'est pas branchée");
    ASSERT_EQ(Start(), StartResult::Running);
    Form1->Style.BackgroundColor = 0x00123456;
    EXPECT_EQ(GraphCentre(), Form1->ClearColor);
}

TEST_F(ActionsTest, ManualPreparationAndTheTwoHundredthPoint) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureA);
    Form1->cbs1L1->SetChecked(true);
    Form1->cbs1L2->SetChecked(true);
    ChooseMode("man.");
    bool checked = false;
    At(100, [&] {
        checked = true;
        EXPECT_EQ(Form1->AcqState, 7);
        EXPECT_TRUE(Form1->ActionValiderXY->Visible());
        EXPECT_TRUE(Form1->ActionRevaliderXY->Visible());
        EXPECT_FALSE(Form1->CBdelta_t->Enabled());
        EXPECT_FALSE(Form1->NbMesures->Enabled());
        EXPECT_FALSE(Form1->RGvoieSynchro->Enabled());
        EXPECT_FALSE(Form1->cbs1L1->Checked());
        EXPECT_FALSE(Form1->cbs1L2->Checked());
        // The last of 200 points, then one too many: a beep, nothing stored.
        MeasurementRecord.XYPointCount[0] = 199;
        PressSpace();
        PressSpace();
        Run(Form1->ActionFinMesures);
    });
    ASSERT_TRUE(Run(Form1->ActionNouvelleMesure));
    EXPECT_TRUE(checked);
    EXPECT_EQ(MeasurementRecord.XYPointCount[0], 200);
    EXPECT_EQ(Guard.Dialogs.BeepCount(), 1);
    // Space does nothing once the measurement has ended.
    PressSpace();
    EXPECT_EQ(MeasurementRecord.XYPointCount[0], 200);
    EXPECT_EQ(Guard.Dialogs.BeepCount(), 1);
}

} // namespace
} // namespace acqtest
