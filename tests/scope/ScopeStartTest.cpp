// Start-up of the oscilloscope: creation of its window, the interface and
// sensor searches, the presence watch, the screen picture, quitting, the
// program start with its single-instance lock and the about box.
#include "ReasonDriver.h"
#include "ScopeFixture.h"
#include "TrevalumeStart.h"

#include "Intro.h"

#include <QTemporaryDir>

using namespace trevalume;
using namespace tampon;
using namespace About;
using namespace Intro;

namespace {

const std::string VoltmeterName = "Voltmètre -10 V / +10 V";

} // namespace

TEST_F(ScopeTest, StartWithBothSensorsFindsThemAndWatches) {
    PlugSines();
    Create();
    EXPECT_EQ(Form->Caption(), SensorsCaption(VoltmeterName, VoltmeterName));
    EXPECT_EQ(Form->Caption(), "Trevalume - VN et QD -TAVEN.Q | Voie 1 : Voltmètre -10 V / +10 V "
                               "| Voie 2 : Voltmètre -10 V / +10 V");
    EXPECT_TRUE(InterfaceOpen);
    EXPECT_EQ(Form->AcqMode, 0);
    EXPECT_TRUE(Form->Timer->Enabled());
    EXPECT_EQ(Desktop.Count(platform::RecordingDesktop::Call::Kind::ScreenSaverOff), 1);
    // Start values and geometry.
    EXPECT_EQ(Form->PlotWidth, 381);
    EXPECT_EQ(Form->PlotHeight, 304);
    EXPECT_EQ(Form->GraphBitmap.Width(), 381);
    EXPECT_DOUBLE_EQ(Form->PixelsPerDivision, 36.4);
    EXPECT_DOUBLE_EQ(Form->ScaleX, 7.62);
    EXPECT_DOUBLE_EQ(Form->ScaleY[0], 18.2);
    EXPECT_DOUBLE_EQ(Form->ScaleY[1], 18.2);
    EXPECT_EQ(Form->TimeStepMs, 0.5);
    EXPECT_EQ(Form->TriggerLevel, 512);
    EXPECT_FALSE(Form->UpDown2->Visible());
    EXPECT_EQ(Form->UpDown1->Position(), 2);
    EXPECT_EQ(Form->UpDown3->Position(), 100);
    EXPECT_EQ(Form->GraphBitmap.Canvas().Pen.Color, RGB(0, 100, 0));
    EXPECT_EQ(Form->GraphBitmap.Canvas().Pen.Width, 1);
    EXPECT_EQ(Form->PointHalfSize, 1);
    EXPECT_EQ(Form->ScreenBackground.Width(), 381);
    EXPECT_EQ(Form->GraphBitmap.Canvas().Brush, TBrush{}) << "solid white";
    EXPECT_EQ(Form->GraphMargin, 2);
    EXPECT_EQ(Form->OriginX, 6);
    EXPECT_EQ(Form->XShift, 0);
    EXPECT_EQ(Form->VerticalOffset[0], 0);
    EXPECT_EQ(Form->VerticalOffset[1], 0);
    EXPECT_EQ(Form->Elapsed, 0);
    EXPECT_FALSE(Form->Acquiring);
    EXPECT_FALSE(Form->GroundA);
    EXPECT_FALSE(Form->GroundB);
    EXPECT_EQ(Form->TriggerChannel, 0);
    EXPECT_EQ(Form->TriggerEdge, 0);
    EXPECT_EQ(Form->SweepSet.DeltaTIndex, 0);
    EXPECT_EQ(Form->SweepSet.PointCount, 0);
    // The up-downs: range and step as the creation sets them.
    struct Range {
        TUpDown* upDown;
        int min, max, increment;
    };
    for (const Range& r : {Range{Form->UpDown1, 1, 5, 1}, Range{Form->UpDown2, 2, 1022, 10},
                           Range{Form->UpDown3, 80, 220, 10}}) {
        EXPECT_EQ(r.upDown->Min(), r.min);
        EXPECT_EQ(r.upDown->Max(), r.max);
        EXPECT_EQ(r.upDown->Increment, r.increment);
    }
    EXPECT_EQ(Form->UpDown2->Position(), 512);
    // The calibration comes from the sensor memories, in double precision.
    EXPECT_DOUBLE_EQ(ChannelSlope[0], 20.0 / 1023);
    // Opening and identification only: presence and memory of each channel.
    EXPECT_EQ(Rig.Log().ExpectFrames({"01 E1 E0", "02 EE 00 EC", "01 E5 E4", "02 EE 01 ED"}), "");

    // The watch queries both channels once a second, and nothing more.
    const int64_t t = Rig.NowUs();
    RunFor(3500);
    EXPECT_EQ(Rig.Log().FramesHexSince(t),
              (std::vector<std::string>{"01 E1 E0", "01 E5 E4", "01 E1 E0", "01 E5 E4", "01 E1 E0",
                                        "01 E5 E4"}));
}

TEST_F(ScopeTest, SensorOnChannelBOnlyShowsChannelB) {
    Rig.Plug(1, sim::FixtureB);
    Create();
    EXPECT_EQ(Form->Caption(), SensorsCaption("Pas de capteur", "Thermomètre -10 à 110 °C"));
    EXPECT_EQ(Form->AcqMode, 1);
    EXPECT_TRUE(Form->BtYa->Down()) << "the mode buttons are left as they are";
}

// A listed interface that cannot be read (no permission): said with the
// driver's reason instead of a silent "Détection...".
TEST_F(ScopeTest, AnUnreadableInterfaceIsReportedWithTheDriversReason) {
    Rig.Plug(0, sim::FixtureA);
    Rig.Faults().DescriptionFails();
    ReasonDriver driver("accès refusé");
    const std::string text = "Port  non ouvert\r\naccès refusé.";
    Guard.Dialogs.Answer(platform::ModalResult::Ok, text);
    Create();
    const auto boxes = Guard.Dialogs.Messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, text);
    EXPECT_EQ(boxes[0].Type, platform::MsgType::Information);
    EXPECT_EQ(Form->Caption(), "Détection...");
    EXPECT_FALSE(InterfaceOpen);
    EXPECT_TRUE(Rig.Log().Frames().empty());
}

TEST_F(ScopeTest, WithoutInterfaceTheWindowOnlyDetects) {
    Rig.Faults().ListFails();
    const std::string prompt =
        "L'interface de mesure n'est pas branchée\r\nconnectez-la avant de continuer";
    Guard.Dialogs.Answer(platform::ModalResult::Ok, prompt)
        .Answer(platform::ModalResult::Cancel, prompt);
    Create();
    const auto boxes = Guard.Dialogs.Messages();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Caption, "Attention");
    EXPECT_EQ(boxes[0].Type, platform::MsgType::Warning);
    EXPECT_EQ(boxes[0].Buttons, platform::MbOk | platform::MbCancel);
    EXPECT_EQ(Form->Caption(), "Détection...");
    EXPECT_FALSE(InterfaceOpen);

    // No watch, no exchange; "O/1" only changes the caption.
    RunFor(5000);
    EXPECT_FALSE(Form->Timer->Enabled());
    EXPECT_TRUE(Rig.Log().Frames().empty());
    Click(Form->onoff);
    EXPECT_EQ(Form->Caption(), "Pas de capteur présent");
    EXPECT_FALSE(Form->Acquiring);
    // The knobs still change the settings.
    ClickInWindow(752, 248); // Yb01V
    EXPECT_DOUBLE_EQ(Form->ScaleY[1], 364);

    // "Quitter" beeps twice and closes nothing.
    Form->Quitter1->Click();
    EXPECT_EQ(Guard.Dialogs.BeepCount(), 2);
    EXPECT_EQ(Rig.Log().CallCount(sim::ApiCall::Close), 0);
    EXPECT_FALSE(Form->Visible());
}

TEST_F(ScopeTest, NoSensorPromptRepeatsUntilCancelThenNoWatch) {
    Guard.Dialogs.Answer(platform::ModalResult::Ok, NoSensorPrompt)
        .Answer(platform::ModalResult::Cancel, NoSensorPrompt);
    Create();
    EXPECT_EQ(Guard.Dialogs.Messages().size(), 2u);
    EXPECT_EQ(Form->Caption(), SensorsCaption("Pas de capteur", "Pas de capteur"));
    EXPECT_TRUE(InterfaceOpen);
    EXPECT_TRUE(ConnectGivenUp);
    // A sensor plugged later is not noticed: the watch stays off.
    const int64_t t = Rig.NowUs();
    Rig.Plug(0, sim::FixtureA);
    RunFor(3000);
    EXPECT_TRUE(Rig.Log().FramesSince(t).empty());
    EXPECT_EQ(Form->Caption(), SensorsCaption("Pas de capteur", "Pas de capteur"));
}

TEST_F(ScopeTest, WatchFollowsPresenceChanges) {
    PlugSines();
    Create();
    // Unplugged while idle: noticed within one second.
    const int64_t unplugged = Rig.NowUs();
    Rig.Unplug(1);
    ASSERT_TRUE(RunUntil([&] { return !SensorOnChannel[1]; }, 1000));
    EXPECT_LE(Rig.NowUs() - unplugged, 1'200'000);
    EXPECT_EQ(Form->Caption(), SensorsCaption(VoltmeterName, "Pas de capteur"));
    EXPECT_TRUE(Form->Timer->Enabled());

    // A presence answer other than 1 counts as no sensor.
    Rig.Faults().PresenceByte(2, sim::Command::E1);
    Rig.Plug(1, sim::FixtureA);
    RunFor(1000);
    EXPECT_FALSE(SensorOnChannel[0]);
    EXPECT_TRUE(SensorOnChannel[1]);
    EXPECT_EQ(Form->Caption(), SensorsCaption("Pas de capteur", VoltmeterName));
    EXPECT_EQ(Form->AcqMode, 1);
    EXPECT_TRUE(Guard.Dialogs.Messages().empty());
}

TEST_F(ScopeTest, UnansweredPresenceInTheWatchIsToldAndRedetected) {
    PlugSines();
    Create();
    // Channel a's presence query goes unanswered once (15 tries): told, the
    // change is seen at once and the detection finds the sensor again.
    Rig.Faults().NoAnswer(sim::Command::E1, sim::Scope::Next(15));
    const std::string failure = "Problème de lecture sur la voie 1";
    Guard.Dialogs.Answer(platform::ModalResult::Ok, failure);
    RunFor(1000 + 1900);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{failure});
    EXPECT_TRUE(SensorOnChannel[0]);
    EXPECT_EQ(Form->Caption(), SensorsCaption(VoltmeterName, VoltmeterName));
    EXPECT_TRUE(Form->Timer->Enabled());
    EXPECT_FALSE(Form->InterfaceLost());
}

// A channel whose presence query keeps failing is told once per episode: the
// watch sees the channel go, goes on with the other one, and sees it come back
// when it answers again; a later failure is a new episode.
TEST_F(ScopeTest, FailingChannelIsToldOncePerEpisodeInTheWatch) {
    PlugSines();
    Create();
    const std::string failure = "Problème de lecture sur la voie 1";
    Guard.Dialogs.Answer(platform::ModalResult::Ok, failure);
    const int fault = Rig.Faults().GarbageStatus(0x00, sim::Command::E1);
    RunFor(30'000);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{failure});
    EXPECT_FALSE(SensorOnChannel[0]);
    EXPECT_TRUE(SensorOnChannel[1]);
    EXPECT_EQ(Form->Caption(), SensorsCaption("Pas de capteur", VoltmeterName));
    EXPECT_TRUE(Form->Timer->Enabled());

    Rig.Faults().Remove(fault);
    RunFor(3000);
    EXPECT_TRUE(SensorOnChannel[0]);
    EXPECT_EQ(Form->Caption(), SensorsCaption(VoltmeterName, VoltmeterName));

    Guard.Dialogs.Answer(platform::ModalResult::Ok, failure);
    Rig.Faults().NoAnswer(sim::Command::E1);
    RunFor(30'000);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{failure, failure}));
    EXPECT_FALSE(Form->InterfaceLost());
}

TEST_F(ScopeTest, InterfaceGoneWhileIdleIsToldOnceAndTheWatchStops) {
    PlugSines();
    Create();
    Rig.Faults().DeviceGone(Rig.NowUs() + 500'000);
    Guard.Dialogs.Answer(platform::ModalResult::Ok, InterfaceSilentText);
    RunFor(10'000);
    // Not a failing channel: the interface's silence alone is told.
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{InterfaceSilentText});
    EXPECT_FALSE(Form->Timer->Enabled());
    EXPECT_TRUE(Form->InterfaceLost());
}

TEST_F(ScopeTest, MissingScreenPictureLeavesAnInertWindowThatCanBeQuit) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    PicturesFrom(empty.path());
    PlugSines();
    Guard.Dialogs.Answer(platform::ModalResult::Ok);
    Create();
    const auto boxes = Guard.Dialogs.Messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Type, platform::MsgType::Error);
    const std::string path = QDir(empty.path()).filePath("ecran1.bmp").toStdString();
    EXPECT_NE(boxes[0].Text.find("\"" + path + "\""), std::string::npos) << boxes[0].Text;
    // The rest of the creation did not run: design caption, no search, no scales.
    EXPECT_EQ(Form->Caption(), "Trevalume");
    EXPECT_TRUE(Rig.Log().Api().empty()) << "the driver was never called";
    EXPECT_EQ(Form->ScaleX, 0);
    EXPECT_EQ(Form->PixelsPerDivision, 0);
    EXPECT_FALSE(Form->Timer->Enabled());
    // The steps before the picture ran; the level control was never hidden
    // and the ranges never preset.
    EXPECT_EQ(Form->TriggerLevel, 512);
    EXPECT_EQ(Form->UpDown2->Min(), 2);
    EXPECT_TRUE(Form->UpDown2->Visible());
    EXPECT_EQ(RangeHigh[0], 0);

    // Nothing can be measured; the program can be quit.
    Click(Form->onoff);
    EXPECT_EQ(Form->Caption(), "Pas de capteur présent");
    RunFor(3000);
    EXPECT_TRUE(Rig.Log().Api().empty());
    Form->Quitter1->Click();
    EXPECT_EQ(Guard.Dialogs.BeepCount(), 2);
    EXPECT_FALSE(Form->Visible());
}

TEST_F(ScopeTest, ScreenPictureThatIsNoBitmapIsReported) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile bad(QDir(folder.path()).filePath("ecran1.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    PicturesFrom(folder.path());
    Guard.Dialogs.Answer(platform::ModalResult::Ok, "Image bitmap incorrecte");
    Create();
    EXPECT_EQ(Form->Caption(), "Trevalume");
}

TEST_F(ScopeTest, QuitClosesTheInterfaceAndBeepsTwice) {
    PlugSines();
    Create();
    Form->Quitter1->Click();
    EXPECT_EQ(Rig.Log().CallCount(sim::ApiCall::Close), 1);
    EXPECT_EQ(Guard.Dialogs.BeepCount(), 2);
    EXPECT_FALSE(Form->Visible());
    // Closed: the watch sends nothing more.
    const int64_t t = Rig.NowUs();
    RunFor(3000);
    EXPECT_TRUE(Rig.Log().FramesSince(t).empty());
}

// "?", "Aide": the help file beside the program, with the desktop's viewer;
// a viewer that cannot start is said in a box.
TEST_F(ScopeTest, HelpOpensTheHelpFileOrSaysWhyNot) {
    PlugSines();
    Create();
    Form->AideTrevalume1->Click();
    ASSERT_EQ(Desktop.Count(platform::RecordingDesktop::Call::Kind::OpenDocument), 1);
    EXPECT_EQ(Desktop.Calls().back().Target,
              platform::DirectoryOf(platform::ProgramFilePath()) + "helvo1.html");
    EXPECT_TRUE(Guard.Dialogs.Messages().empty());
    Desktop.StartResult = false;
    Guard.Dialogs.Answer(platform::ModalResult::Ok, "Aucun programme n'a pu afficher");
    Form->AideTrevalume1->Click();
    EXPECT_EQ(Guard.Dialogs.Messages().size(), 1u);
}

TEST_F(ScopeTest, AboutBoxShowsTheOscilloscopeTexts) {
    PlugSines();
    Create();
    TAboutBox about;
    about.SetTexts(TrevalumeAboutTexts());
    std::string shownName;
    TForm::SetModalDriver([&](TForm& box) {
        shownName = static_cast<TAboutBox&>(box).ProductName->Caption();
        box.ModalResult = mrOk;
    });
    Form->Apropos1->Click();
    TForm::SetModalDriver(nullptr);
    EXPECT_EQ(shownName, "Trevalume USB");
}

// The whole program start, on the virtual clock: splash, title, windows; a
// second start while the first holds the lock ends at once without a window.
TEST(ScopeProgramStart, StartsOnceWithItsTitleAndWindows) {
    ResetLinkState();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(KESTROVA_DATA_DIR));
    QTemporaryDir lockFolder;
    ASSERT_TRUE(lockFolder.isValid());
    sim::SimRig rig;
    rig.Plug(0, sim::FixtureA, sim::Generator::Sine(512, 300, 50));
    ScriptedDialogsGuard guard;
    platform::RecordingDesktop desktop;

    TrevalumeStartHooks hooks;
    hooks.LockDirectory = lockFolder.path().toStdString();
    std::vector<std::pair<std::string, double>> splash;
    hooks.SplashPainted = [&](TForm2& s) { splash.emplace_back(s.Label1->Caption(), rig.NowMs()); };
    std::unique_ptr<platform::SingleInstance> lock;
    ASSERT_EQ(StartTrevalume(hooks, lock), TrevalumeStartResult::Running);
    ASSERT_EQ(splash.size(), 2u);
    EXPECT_EQ(splash[0].first, "Chargement en cours...");
    EXPECT_EQ(splash[1].first, "Chargement..");
    EXPECT_GE(splash[1].second - splash[0].second, 1300);
    EXPECT_EQ(Application->Title, "Trevalume USB");
    ASSERT_NE(Form1, nullptr);
    EXPECT_EQ(Application->MainForm, Form1);
    EXPECT_EQ(Form1->Caption(), SensorsCaption("Voltmètre -10 V / +10 V", "Pas de capteur"));
    ASSERT_NE(AboutBox, nullptr);
    EXPECT_EQ(AboutBox->Texts().ProductName, "Trevalume USB");

    const size_t framesBefore = rig.Log().Frames().size();
    std::unique_ptr<platform::SingleInstance> second;
    EXPECT_EQ(StartTrevalume(hooks, second), TrevalumeStartResult::SecondInstance);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(rig.Log().Frames().size(), framesBefore);
    EXPECT_TRUE(guard.Dialogs.Messages().empty());

    FreeTrevalumeWindows();
    ResetLinkState();
    QDir::setCurrent(previous);
}
