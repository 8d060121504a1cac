// Sensor detection, the live tick, the display panels and their colours.
#include "WorkbenchFixture.h"

#include "WindowRules.h"
#include "colorAff.h"
#include "core/Waits.h"

#include <QFontMetrics>

using namespace tampon;
using namespace kvel1;
using namespace colorAff;

namespace wbtest {
namespace {

using platform::ModalResult;

constexpr const char* NoSensor = "Aucun capteur n'est branché";

std::vector<std::string> Items(const TRadioGroup& group) {
    return group.Items.Items();
}

struct DetectionCase {
    const char* Name;
    const sim::MemoryImage* Channel0;
    const sim::MemoryImage* Channel1;
    const char* Caption;
    std::vector<std::string> Items;
    int AcqMode;
};

void PrintTo(const DetectionCase& c, std::ostream* os) {
    *os << c.Name;
}

class DetectionTest : public WorkbenchTest, public ::testing::WithParamInterface<DetectionCase> {};

TEST_P(DetectionTest, CaptionChannelListAndMode) {
    const DetectionCase& c = GetParam();
    StartWithSensors(c.Channel0, c.Channel1);
    EXPECT_EQ(Form1->Caption(), c.Caption);
    EXPECT_EQ(Items(*Form1->RGVoie), c.Items);
    EXPECT_EQ(Form1->RGVoie->ItemIndex(), 0);
    EXPECT_EQ(Form1->AcqMode, c.AcqMode);
    EXPECT_TRUE(Form1->RGVoie->Enabled());
    EXPECT_TRUE(Form1->ActionNouvelleMesure->Enabled());
    EXPECT_FALSE(Form1->ActionRefaireMesure->Enabled());
    EXPECT_EQ(Form1->SensorPresent, 1);
    EXPECT_EQ(Form1->BothSensors, c.Items.size() == 5 ? 1 : 0);
    EXPECT_TRUE(Form1->Timer->Enabled());
    EXPECT_EQ(Form1->Timer->Interval(), 750u);
    EXPECT_EQ(Form1->GraphShown, 1);
    EXPECT_TRUE(Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sensors, DetectionTest,
    ::testing::Values(
        DetectionCase{"VoltageOnChannel1",
                      &sim::FixtureA,
                      nullptr,
                      "Kestrova-QD-TAVEN.Q | Voie 1 : Voltmètre -10 V / +10 V | Voie 2 : Pas de "
                      "capteur",
                      {"Y1"},
                      0},
        DetectionCase{"TemperatureOnChannel2",
                      nullptr,
                      &sim::FixtureB,
                      "Kestrova-QD-TAVEN.Q | Voie 1 : Pas de capteur | Voie 2 : Thermomètre -10 "
                      "à 110 °C",
                      {"Y2"},
                      1},
        DetectionCase{"Both",
                      &sim::FixtureA,
                      &sim::FixtureB,
                      "Kestrova-QD-TAVEN.Q | Voie 1 : Voltmètre -10 V / +10 V | Voie 2 : "
                      "Thermomètre -10 à 110 °C",
                      {"Y1", "Y2", "YY", "XY", "man."},
                      0},
        DetectionCase{"Uncalibrated",
                      &sim::FixtureU,
                      nullptr,
                      "Kestrova-QD-TAVEN.Q | Voie 1 : Convertisseur 10 bits | Voie 2 : Pas de "
                      "capteur",
                      {"Y1"},
                      0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(WorkbenchTest, DetectionCopiesTheSensorsIntoEverySeries) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    for (int s = 0; s < workbench::MaxSeries; ++s) {
        EXPECT_EQ(workbench::ShortStringText(MeasurementRecord.SeriesUnit[s][1]), "°C");
        EXPECT_EQ(workbench::ShortStringText(MeasurementRecord.SeriesLabel[s][0]), "Tension");
        EXPECT_FLOAT_EQ(MeasurementRecord.SensorMax[s][1], 110.0f);
        EXPECT_FLOAT_EQ(MeasurementRecord.DisplayMin[s][1], -10.0f);
        EXPECT_EQ(MeasurementRecord.SeriesDecimals[s][1], 1);
    }
    EXPECT_EQ(MeasurementRecord.MeasureCount, 95);
    EXPECT_EQ(MeasurementRecord.SeriesCount, 0);
}

struct LiveCase {
    const char* Name;
    const sim::MemoryImage* Sensor;
    int Channel;
    int Raw;
    const char* Text;
};

void PrintTo(const LiveCase& c, std::ostream* os) {
    *os << c.Name;
}

class LiveValueTest : public WorkbenchTest, public ::testing::WithParamInterface<LiveCase> {};

TEST_P(LiveValueTest, OneTickShowsTheValue) {
    const LiveCase& c = GetParam();
    StartWithSensors(c.Channel == 0 ? c.Sensor : nullptr, c.Channel == 1 ? c.Sensor : nullptr);
    Rig.SetGenerator(c.Channel, sim::Generator::Dc(c.Raw));
    TPanel* shown = c.Channel == 0 ? Form1->PanelY0 : Form1->PanelY1;
    TPanel* other = c.Channel == 0 ? Form1->PanelY1 : Form1->PanelY0;
    EXPECT_EQ(shown->Caption(), "");
    RunFor(749);
    EXPECT_EQ(shown->Caption(), "");
    RunFor(1);
    EXPECT_EQ(shown->Caption(), c.Text);
    EXPECT_EQ(other->Caption(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Values, LiveValueTest,
    ::testing::Values(LiveCase{"MidScale", &sim::FixtureA, 0, 512, "0,01 V"},
                      LiveCase{"Bottom", &sim::FixtureA, 0, 0, "-10,00 V"},
                      LiveCase{"OneDecimal", &sim::FixtureB, 1, 270, "21,3 °C"},
                      LiveCase{"RangeTop", &sim::FixtureB, 0, 980, "110,0 °C"},
                      LiveCase{"OneCountAbove", &sim::FixtureB, 0, 981, "hors calibre"},
                      LiveCase{"OneCountBelow", &sim::FixtureB, 1, 19, "hors calibre"},
                      LiveCase{"RawCounts", &sim::FixtureU, 0, 700, "700 "}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(WorkbenchTest, OutOfRangeTextIsNeverCutInTheSmallestWindow) {
    StartWithSensors(&sim::FixtureB, &sim::FixtureB);
    Form1->SetBounds(Form1->Left(), Form1->Top(), 712, 550);
    ProcessMessages();
    const int rule = Form1->PanelY0->Height() - Form1->PanelY0->Height() / 6;
    EXPECT_EQ(Form1->PanelY0->Font().Height, rule);
    Rig.SetGenerator(0, sim::Generator::Dc(981));
    Rig.SetGenerator(1, sim::Generator::Dc(270));
    RunFor(750);
    ASSERT_EQ(Form1->PanelY0->Caption(), "hors calibre");
    for (TPanel* panel : {Form1->PanelY0, Form1->PanelY1}) {
        const int width = QFontMetrics(ToQFont(panel->Font()))
                              .horizontalAdvance(QString::fromStdString(panel->Caption()));
        EXPECT_LE(width, panel->Width() - 8) << panel->Caption();
    }
    EXPECT_LT(Form1->PanelY0->Font().Height, rule);
    EXPECT_EQ(Form1->PanelY1->Font().Height, Form1->PanelY0->Font().Height);
    // Back in range: the layout's height again.
    Rig.SetGenerator(0, sim::Generator::Dc(270));
    RunFor(750);
    EXPECT_EQ(Form1->PanelY0->Font().Height, rule);
}

TEST_F(WorkbenchTest, IdleTickIdentifiesBothSensorsThenReadsBothChannels) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    const int64_t since = Rig.NowUs();
    RunFor(750);
    EXPECT_EQ(Rig.Log().ExpectFrames(
                  {"01 E1 E0", "02 EE 00 EC", "01 E5 E4", "02 EE 01 ED", "01 AA AB"}, since),
              "");
    EXPECT_TRUE(Form1->Timer->Enabled());
}

// A tick that falls while another exchange is under way (here inside that
// exchange's wait) is refused by the link: it sends nothing, and the live
// display goes on at the next tick.
TEST_F(WorkbenchTest, RefusedTickIsTriedAgainAtTheNextTick) {
    StartWithSensors(&sim::FixtureA, nullptr);
    Rig.SetGenerator(0, sim::Generator::Dc(512));
    bool ticked = false;
    const int64_t before = Rig.NowUs();
    {
        platform::ScopedWaitHandler handler([&] {
            if (!ticked) {
                ticked = true;
                Form1->TimerTimer();
            }
            return false;
        });
        RawPair raw{};
        ASSERT_EQ(ReadRawPair(raw), LinkResult::Answered);
    }
    ASSERT_TRUE(ticked);
    EXPECT_EQ(Rig.Log().FramesHexSince(before), std::vector<std::string>{"01 AA AB"})
        << "the refused tick sent nothing";
    EXPECT_TRUE(Form1->Timer->Enabled());
    EXPECT_EQ(Form1->PanelY0->Caption(), "");
    RunFor(750);
    EXPECT_EQ(Form1->PanelY0->Caption(), "0,01 V");
    RunFor(750);
    EXPECT_EQ(Form1->PanelY0->Caption(), "0,01 V");
    EXPECT_TRUE(Form1->Timer->Enabled());
}

TEST_F(WorkbenchTest, UnpluggedSensorSeenWithinOneTick) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    RunFor(750);
    EXPECT_EQ(Form1->PanelY1->Caption(), "hors calibre"); // raw 0 is below its range
    Form1->MeasuredSeries = 2;
    MeasurementRecord.PointCount[1] = 95;
    MeasurementRecord.PointCount[0] = 40;
    Rig.Unplug(1);
    RunFor(750);
    EXPECT_EQ(Items(*Form1->RGVoie), std::vector<std::string>{"Y1"});
    EXPECT_EQ(Form1->Caption(),
              "Kestrova-QD-TAVEN.Q | Voie 1 : Voltmètre -10 V / +10 V | Voie 2 : Pas de capteur");
    EXPECT_EQ(MeasurementRecord.PointCount[1], 0);
    EXPECT_EQ(MeasurementRecord.PointCount[0], 40);
    EXPECT_EQ(Form1->PanelY1->Caption(), "");
    EXPECT_EQ(Form1->BothSensors, 0);
    EXPECT_TRUE(Form1->Timer->Enabled());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(WorkbenchTest, SameNameAndUnitKeepsTheSeriesButUsesTheNewCalibration) {
    StartWithSensors(&sim::FixtureB, nullptr);
    Rig.SetGenerator(0, sim::Generator::Dc(102));
    RunFor(750);
    EXPECT_EQ(Form1->PanelY0->Caption(), "0,3 °C");
    Form1->MeasuredSeries = 1;
    MeasurementRecord.PointCount[0] = 95;
    Rig.Replace(0, sim::FixtureD); // same name and unit, other calibration points
    RunFor(750);
    EXPECT_EQ(Form1->PanelY0->Caption(), "0,0 °C");
    EXPECT_EQ(MeasurementRecord.PointCount[0], 95); // no detection ran
}

// B with the same name but another unit.
constexpr sim::MemoryImage FixtureBInKelvin =
    sim::fixture_detail::With(sim::FixtureB, 17, "     K");

struct ReplacementCase {
    const char* Name;
    const sim::MemoryImage* After;
    const char* Caption;
};

void PrintTo(const ReplacementCase& c, std::ostream* os) {
    *os << c.Name;
}

class ReplacementTest : public WorkbenchTest,
                        public ::testing::WithParamInterface<ReplacementCase> {};

TEST_P(ReplacementTest, OtherNameOrUnitRunsTheDetectionAgain) {
    const ReplacementCase& c = GetParam();
    StartWithSensors(&sim::FixtureB, nullptr);
    Form1->MeasuredSeries = 1;
    MeasurementRecord.PointCount[0] = 95;
    Rig.Replace(0, *c.After);
    RunFor(750);
    EXPECT_EQ(MeasurementRecord.PointCount[0], 0);
    EXPECT_EQ(Form1->Caption(), c.Caption);
    EXPECT_EQ(workbench::ShortStringText(MeasurementRecord.SeriesUnit[3][0]), ChannelUnit[0]);
    EXPECT_TRUE(Form1->Timer->Enabled());
}

INSTANTIATE_TEST_SUITE_P(
    Sensors, ReplacementTest,
    ::testing::Values(ReplacementCase{"OtherName", &sim::FixtureA,
                                      "Kestrova-QD-TAVEN.Q | Voie 1 : Voltmètre -10 V / +10 V | "
                                      "Voie 2 : Pas de capteur"},
                      ReplacementCase{"OtherUnit", &FixtureBInKelvin,
                                      "Kestrova-QD-TAVEN.Q | Voie 1 : Thermomètre -10 à 110 °C | "
                                      "Voie 2 : Pas de capteur"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(WorkbenchTest, NoSensorLeftAsksWithTheTickStoppedAndStaysStopped) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    RunFor(750);
    std::vector<bool> timerOnDuringQuestion;
    ObservingDialogs observing(Guard.Dialogs);
    observing.OnMessage = [&](const platform::MessageRequest&) {
        timerOnDuringQuestion.push_back(Form1->Timer->Enabled());
    };
    Guard.Dialogs.Answer(ModalResult::Ok, NoSensor).Answer(ModalResult::Cancel, NoSensor);
    Rig.Unplug(0);
    Rig.Unplug(1);
    RunFor(750);

    EXPECT_EQ(timerOnDuringQuestion, (std::vector<bool>{false, false}));
    EXPECT_FALSE(Form1->Timer->Enabled());
    EXPECT_EQ(Form1->PanelY0->Caption(), "");
    EXPECT_EQ(Form1->PanelY1->Caption(), "");
    EXPECT_FALSE(Form1->ActionNouvelleMesure->Enabled());
    EXPECT_TRUE(ConnectGivenUp);
    // Nothing more is sent or asked.
    const int64_t since = Rig.NowUs();
    RunFor(5000);
    EXPECT_TRUE(Frames(Rig, since).empty());
    EXPECT_EQ(Messages().size(), 2u);
}

TEST_F(WorkbenchTest, NormalAndGiantDisplayLayouts) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    TPanel* band = Form1->PanelAfficheurs;
    TPanel* y0 = Form1->PanelY0;
    TPanel* y1 = Form1->PanelY1;
    auto expectGraphFollows = [&] {
        EXPECT_EQ(Form1->PaintWidth, Form1->PaintBox1->Width());
        EXPECT_EQ(Form1->PaintHeight, Form1->PaintBox1->Height());
        EXPECT_EQ(Form1->PaintBox1->Height(),
                  Form1->PanelGraphique->Height() - Form1->StatusBar1->Height());
        EXPECT_EQ(Form1->GraphBitmap->Width(), Form1->PaintWidth);
        EXPECT_EQ(Form1->GraphBitmap->Height(), Form1->PaintHeight);
    };

    // Side by side in an eighth of the client panel.
    EXPECT_EQ(band->Height(), Form1->Panel3->Height() / 8);
    EXPECT_EQ(y0->Width(), band->Width() / 2);
    EXPECT_EQ(y1->Width(), y0->Width());
    EXPECT_EQ(y0->Top(), y1->Top());
    EXPECT_EQ(y0->Height(), band->Height());
    EXPECT_EQ(y0->Font().Height, y0->Height() - y0->Height() / 6);
    EXPECT_EQ(y1->Font().Height, y0->Font().Height);
    expectGraphFollows();
    const int normalGraphHeight = Form1->PaintBox1->Height();

    // One above the other in two thirds of it.
    Form1->ActionAffGeants->Execute();
    EXPECT_TRUE(Form1->ActionAffGeants->Checked());
    EXPECT_EQ(band->Height(), Form1->Panel3->Height() * 2 / 3);
    EXPECT_EQ(y0->Height(), band->Height() / 2);
    EXPECT_EQ(y1->Height(), y0->Height());
    EXPECT_GE(y1->Top(), y0->Top() + y0->Height());
    EXPECT_EQ(y0->Width(), band->Width());
    EXPECT_EQ(y0->Font().Height, y0->Height() - y0->Height() / 6);
    EXPECT_LT(Form1->PaintBox1->Height(), normalGraphHeight);
    expectGraphFollows();

    // Hidden: "..géants" unavailable, the graph takes the room.
    Form1->ActionAfficheurs->Execute();
    EXPECT_FALSE(band->Visible());
    EXPECT_FALSE(Form1->ActionAfficheurs->Checked());
    EXPECT_FALSE(Form1->ActionAffGeants->Enabled());
    EXPECT_GT(Form1->PaintBox1->Height(), normalGraphHeight);
    expectGraphFollows();

    // Shown again: the last layout comes back.
    Form1->ActionAfficheurs->Execute();
    EXPECT_TRUE(band->Visible());
    EXPECT_TRUE(Form1->ActionAffGeants->Enabled());
    EXPECT_EQ(band->Height(), Form1->Panel3->Height() * 2 / 3);
    expectGraphFollows();

    // A larger window: the layout follows.
    Form1->SetBounds(Form1->Left(), Form1->Top(), 900, 700);
    ProcessMessages();
    EXPECT_EQ(band->Height(), Form1->Panel3->Height() * 2 / 3);
    expectGraphFollows();
}

TEST_F(WorkbenchTest, DisplayColoursChosenOrCancelled) {
    StartWithSensors(&sim::FixtureA, nullptr);
    const TColor textBefore = Form1->PanelY1->Font().Color;
    const TColor backBefore = Form1->PanelY1->Color();
    std::string caption;
    TForm::SetModalDriver([&](TForm& form) {
        auto* dialog = dynamic_cast<TForm3*>(&form);
        ASSERT_NE(dialog, nullptr);
        caption = dialog->Caption();
        dialog->ColorBox1->SetSelected(clRed);
        dialog->ColorBox2->SetSelected(clNavy);
        dialog->BtOK->Click();
    });
    bool handled = false;
    Form1->PanelY0ContextPopup(10, 10, handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(caption, "Couleurs : afficheur voie 1");
    EXPECT_EQ(Form1->PanelY0->Font().Color, clRed);
    EXPECT_EQ(Form1->PanelY0->Color(), clNavy);

    TForm::SetModalDriver([&](TForm& form) {
        auto* dialog = dynamic_cast<TForm3*>(&form);
        ASSERT_NE(dialog, nullptr);
        caption = dialog->Caption();
        dialog->ColorBox1->SetSelected(clWhite);
        dialog->BtAbandon->Click();
    });
    Form1->PanelY1ContextPopup(10, 10, handled);
    EXPECT_EQ(caption, "Couleurs : afficheur voie 2");
    EXPECT_EQ(Form1->PanelY1->Font().Color, textBefore);
    EXPECT_EQ(Form1->PanelY1->Color(), backBefore);
}

std::vector<std::string> Texts(const std::vector<platform::MessageRequest>& boxes) {
    std::vector<std::string> texts;
    for (const auto& box : boxes)
        texts.push_back(box.Text);
    return texts;
}

// How an interface can stop answering while the workbench is idle.
struct GoneCase {
    const char* Name;
    std::function<void(sim::SimRig&)> Arm;
};

void PrintTo(const GoneCase& c, std::ostream* os) {
    *os << c.Name;
}

class SilentInterfaceTest : public WorkbenchTest, public ::testing::WithParamInterface<GoneCase> {};

// The live tick says once that the interface no longer answers and stops
// asking: no report of a failing channel, no question for a sensor.
TEST_P(SilentInterfaceTest, LiveTickSaysSoOnceAndStopsAsking) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    RunFor(750);
    ASSERT_NE(Form1->PanelY0->Caption(), "");
    GetParam().Arm(Rig);
    Guard.Dialogs.Answer(ModalResult::Ok, workbench::InterfaceSilentText);
    RunFor(20'000);
    EXPECT_EQ(Texts(Messages()), std::vector<std::string>{workbench::InterfaceSilentText});
    EXPECT_FALSE(Form1->Timer->Enabled());
    EXPECT_EQ(Form1->PanelY0->Caption(), "");
    EXPECT_EQ(Form1->PanelY1->Caption(), "");
    const int64_t since = Rig.NowUs();
    RunFor(5000);
    EXPECT_TRUE(Frames(Rig, since).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SilentInterfaceTest,
    ::testing::Values(
        GoneCase{"Unplugged", [](sim::SimRig& rig) { rig.Faults().DeviceGone(rig.NowUs()); }},
        GoneCase{"Mute", [](sim::SimRig& rig) { rig.Faults().NoAnswer(sim::Command::Any); }},
        GoneCase{"WrongStatus",
                 [](sim::SimRig& rig) { rig.Faults().GarbageStatus(0x00, sim::Command::Any); }}),
    [](const auto& info) { return std::string(info.param.Name); });

// A channel whose presence query keeps failing is told once while the other
// channel's display goes on; when it answers again its sensor comes back.
TEST_F(WorkbenchTest, FailingChannelIsToldOnceAndTheOtherGoesOn) {
    StartWithSensors(&sim::FixtureA, &sim::FixtureB);
    Rig.SetGenerator(1, sim::Generator::Dc(270));
    RunFor(750);
    const std::string failure = "Problème de lecture sur la voie 1";
    Guard.Dialogs.Answer(ModalResult::Ok, failure);
    const int fault = Rig.Faults().GarbageStatus(0xAA, sim::Command::E1);
    RunFor(20'000);
    EXPECT_EQ(Texts(Messages()), std::vector<std::string>{failure});
    EXPECT_EQ(Form1->Caption(), "Kestrova-QD-TAVEN.Q | Voie 1 : Pas de capteur | Voie 2 : "
                                "Thermomètre -10 à 110 °C");
    EXPECT_EQ(Form1->PanelY0->Caption(), "");
    EXPECT_EQ(Form1->PanelY1->Caption(), "21,3 °C");
    EXPECT_TRUE(Form1->Timer->Enabled());

    Rig.Faults().Remove(fault);
    RunFor(1500);
    EXPECT_EQ(Items(*Form1->RGVoie), (std::vector<std::string>{"Y1", "Y2", "YY", "XY", "man."}));
    EXPECT_NE(Form1->PanelY0->Caption(), "");
    EXPECT_EQ(Messages().size(), 1u);
}

} // namespace
} // namespace wbtest
