// The workbench's start: single instance, splash window, windows in their
// order, the interface search with its prompts, quitting, help and the about
// box.
#include "ReasonDriver.h"
#include "WorkbenchFixture.h"

#include "About.h"
#include "Oxym.h"
#include "WindowRules.h"
#include "colorAff.h"
#include "zero.h"

#include <QApplication>

using namespace tampon;
using namespace kvel1;
using namespace Intro;
using namespace About;
using namespace zero;
using namespace Oxym;
using namespace colorAff;
using namespace kestrova;

namespace wbtest {
namespace {

using platform::ModalResult;
using platform::MsgType;

constexpr const char* NoDevice =
    "L'interface de mesure n'est pas branchée\r\nconnectez-la avant de continuer";
constexpr const char* NoSensor =
    "Aucun capteur n'est branché\r\nil faut en connecter au moins un\r\nsi vous voulez faire "
    "des mesures";

bool AllPixelsAre(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (colour & 0xFFFFFF))
                return false;
    return true;
}

TEST_F(WorkbenchTest, SplashThenWindowsInOrderWhileTheSplashStaysUp) {
    Rig.Plug(0, sim::FixtureA);
    struct Painting {
        std::string Label;
        int64_t TimeUs;
        bool Visible;
    };
    std::vector<Painting> paintings;
    StartHooks hooks;
    hooks.SplashPainted = [&](TForm2& splash) {
        paintings.push_back({splash.Label1->Caption(), Rig.NowUs(), splash.isVisible()});
    };
    const int64_t start = Rig.NowUs();
    ASSERT_EQ(Start({}, hooks), StartResult::Running);

    ASSERT_EQ(paintings.size(), 2u);
    EXPECT_EQ(paintings[0].Label, "Chargement en cours...");
    EXPECT_EQ(paintings[1].Label, "Chargement..");
    EXPECT_TRUE(paintings[0].Visible && paintings[1].Visible);
    EXPECT_EQ(paintings[1].TimeUs - paintings[0].TimeUs, 1300 * 1000);
    // The interface is searched only after the pause: the first frame comes
    // after the two resets, 100 ms apart, that follow the splash.
    const auto& frames = Rig.Log().Frames();
    ASSERT_FALSE(frames.empty());
    EXPECT_GE(frames.front().TimeUs - start, (1300 + 200) * 1000);

    EXPECT_EQ(Application->Title, "Kestrova USB");
    EXPECT_EQ(Application->MainForm, Form1);
    ASSERT_NE(OKRightDlg, nullptr);
    ASSERT_NE(OKRightDlg2, nullptr);
    ASSERT_NE(AboutBox, nullptr);
    ASSERT_NE(Form3, nullptr);
    EXPECT_EQ(OKRightDlg->Caption(), "Dialogue");
    EXPECT_EQ(OKRightDlg2->Caption(), "Etalonnage de l'oxymètre ");
    EXPECT_EQ(AboutBox->Caption(), "A propos");
    EXPECT_EQ(Form3->Caption(), "Couleurs des afficheurs");
    EXPECT_EQ(Form3->ClientWidth(), 318);
    EXPECT_EQ(Form3->ClientHeight(), 110);

    // The splash is released once the pending messages are handled.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Form2, nullptr);
    EXPECT_EQ(Desktop.Count(platform::RecordingDesktop::Call::Kind::ScreenSaverOff), 1);
}

TEST_F(WorkbenchTest, SplashLooksAsDesigned) {
    StartHooks hooks;
    QImage first;
    hooks.SplashPainted = [&](TForm2& splash) {
        if (first.isNull())
            first = splash.grab().toImage();
    };
    Rig.Plug(0, sim::FixtureA);
    ASSERT_EQ(Start({}, hooks), StartResult::Running);
    ASSERT_EQ(first.size(), QSize(275, 200));
    // Blue picture, white text in its bottom-right band.
    const QColor top = first.pixelColor(5, 5);
    EXPECT_GT(top.blue(), 100);
    EXPECT_LT(top.red(), 60);
    int white = 0;
    for (int y = 174; y < 200; ++y)
        for (int x = 105; x < 275; ++x)
            white += first.pixelColor(x, y).lightness() > 230 ? 1 : 0;
    EXPECT_GT(white, 100);
}

TEST_F(WorkbenchTest, NoDeviceAskedUntilCancelledThenBlackGraphWithoutFrame) {
    Rig.Device().Disconnect();
    Guard.Dialogs.Answer(ModalResult::Ok, NoDevice).Answer(ModalResult::Cancel, NoDevice);
    ASSERT_EQ(Start(), StartResult::Running);
    Form1->ShowForm();
    ProcessMessages();

    const auto messages = Messages();
    ASSERT_EQ(messages.size(), 2u);
    for (const auto& box : messages) {
        EXPECT_EQ(box.Text, NoDevice);
        EXPECT_EQ(box.Caption, "Attention");
        EXPECT_EQ(box.Type, MsgType::Warning);
        EXPECT_EQ(box.Buttons, platform::MbOk | platform::MbCancel);
    }
    EXPECT_EQ(Form1->Caption(), "Aucune interface n'a été détectée");
    EXPECT_FALSE(InterfaceOpen);
    EXPECT_EQ(Form1->GraphShown, 0);
    EXPECT_FALSE(Form1->Timer->Enabled());
    Form1->PaintBox1->Repaint();
    EXPECT_TRUE(AllPixelsAre(Form1->PaintBox1->Surface(), qRgb(0, 0, 0)));
}

std::vector<std::string> Captions(const TActionToolBar& bar) {
    std::vector<std::string> captions;
    for (const TAction* action : bar.Actions())
        captions.push_back(action->Caption());
    return captions;
}

// Without interface nothing after the window's creation touches its state:
// what is seen is what the creation left.
TEST_F(WorkbenchTest, CreationShowsTheWindowInItsStartState) {
    Rig.Device().Disconnect();
    Guard.Dialogs.Answer(ModalResult::Cancel, NoDevice);
    ASSERT_EQ(Start(), StartResult::Running);
    TForm1& f = *Form1;

    EXPECT_EQ(f.width(), 755);
    EXPECT_EQ(f.height(), 550);
    EXPECT_EQ(f.minimumSize(), QSize(712, 550));
    EXPECT_EQ(Captions(*f.ActionToolBar1),
              (std::vector<std::string>{"&Quitter", "&Lire", "&Enregistrer", "A&fficheurs",
                                        "..géants", "Tableau", "&Copier tableau",
                                        "C&opier graphique", "A&ide", "A p&ropos.."}));
    EXPECT_TRUE(f.ActionAfficheurs->Checked());
    EXPECT_FALSE(f.ActionAffGeants->Checked());
    const std::vector<TAction*> right = f.ActionToolBar2->Actions();
    EXPECT_EQ(right, (std::vector<TAction*>{f.ActionPanneauReglages, f.ActionNouvelleMesure,
                                            f.ActionRefaireMesure, f.ActionFinMesures,
                                            f.ActionValiderXY, f.ActionRevaliderXY}));
    for (TAction* action : {f.ActionNouvelleMesure, f.ActionRefaireMesure, f.ActionFinMesures})
        EXPECT_FALSE(action->Enabled());
    EXPECT_FALSE(f.ActionValiderXY->Visible());
    EXPECT_FALSE(f.ActionRevaliderXY->Visible());
    EXPECT_EQ(f.PanelBoutons->Width(), 203);
    EXPECT_EQ(f.RGVoie->Caption(), "Voie");
    EXPECT_FALSE(f.RGVoie->Enabled());
    EXPECT_EQ(f.GroupBoxSynchro->Caption(), "Synchro");
    EXPECT_EQ(f.GroupBoxTemps->Caption(), "Echantillonnage");
    EXPECT_EQ(f.GroupBoxTrace->Caption(), "Tracé");
    EXPECT_FALSE(f.GroupBoxTrace->Visible());
    EXPECT_FALSE(f.Table->Visible());
    EXPECT_EQ(f.Label12->Caption(), "");

    EXPECT_EQ(f.CBdelta_t->Items.Items(),
              (std::vector<std::string>{"0,5 ms", "1 ms",   "2 ms",   "5 ms",   "10 ms",
                                        "20 ms",  "50 ms",  "100 ms", "200 ms", "300 ms",
                                        "400 ms", "500 ms", "1 s",    "2 s",    "4 s",
                                        "5 s",    "10 s",   "20 s",   "30 s",   "60 s"}));
    EXPECT_EQ(f.CBdelta_t->ItemIndex(), 0);
    EXPECT_EQ(f.CBdelta_t->DropDownCount(), 21);
    EXPECT_EQ(f.NbMesures->Value(), 95);
    EXPECT_FALSE(f.NbMesures->Enabled());

    // Nothing ticks without an interface.
    for (const TTimer* timer : {f.Timer, f.TimerYt, f.TimerYY, f.TimerXY})
        EXPECT_FALSE(timer->Enabled());
}

TEST_F(WorkbenchTest, PromptsAreNotHiddenBehindTheSplash) {
    Rig.Device().Disconnect();
    Guard.Dialogs.Answer(ModalResult::Ok, NoDevice).Answer(ModalResult::Cancel, NoDevice);
    TForm2* splash = nullptr;
    StartHooks hooks;
    hooks.SplashPainted = [&](TForm2& shown) {
        splash = &shown;
        EXPECT_TRUE(shown.windowFlags() & Qt::WindowStaysOnTopHint);
    };
    std::vector<std::pair<bool, bool>> duringPrompt; // shown, on top
    ObservingDialogs observing(Guard.Dialogs);
    observing.OnMessage = [&](const platform::MessageRequest&) {
        ASSERT_NE(splash, nullptr);
        duringPrompt.emplace_back(splash->isVisible(),
                                  (splash->windowFlags() & Qt::WindowStaysOnTopHint) != 0);
        // The search runs inside the main window's creation: no other window yet.
        EXPECT_NE(Form1, nullptr);
        EXPECT_EQ(OKRightDlg, nullptr);
        EXPECT_EQ(Form3, nullptr);
    };
    ASSERT_EQ(Start({}, hooks), StartResult::Running);
    const std::pair<bool, bool> shownBelow{true, false};
    EXPECT_EQ(duringPrompt, (std::vector<std::pair<bool, bool>>{shownBelow, shownBelow}));
}

TEST_F(WorkbenchTest, OkRetriesTheSearchAtOnce) {
    // The first listing fails (counts as no device); OK lists again.
    Rig.Bus().Faults().ListFails(sim::Scope::Next(1));
    Rig.Plug(0, sim::FixtureA);
    Guard.Dialogs.Answer(ModalResult::Ok, NoDevice);
    ASSERT_EQ(Start(), StartResult::Running);
    EXPECT_TRUE(InterfaceOpen);
    EXPECT_TRUE(Rig.Device().Opened());
    EXPECT_EQ(Form1->GraphShown, 1);
}

TEST_F(WorkbenchTest, FailingOpenIsReportedOnceAndTheProgramRunsWithoutInterface) {
    Rig.Plug(0, sim::FixtureA);
    Rig.Faults().OpenFails();
    Guard.Dialogs.Answer(ModalResult::Ok, "Port  non ouvert");
    ASSERT_EQ(Start(), StartResult::Running);

    const auto messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Text, "Port  non ouvert");
    EXPECT_EQ(messages[0].Type, MsgType::Information);
    EXPECT_EQ(messages[0].Buttons, platform::MbOk);
    EXPECT_EQ(Form1->Caption(), "Aucune interface n'a été détectée");
    EXPECT_FALSE(InterfaceOpen);
    EXPECT_TRUE(ConnectGivenUp);
    EXPECT_EQ(Rig.Log().Frames().size(), 0u);
}

// A listed interface that the driver cannot read or open (no permission,
// busy, unplugged): one box says so with the driver's reason, whichever of
// the description or the open failed, and the program runs without it.
class UnopenableInterface : public WorkbenchTest, public ::testing::WithParamInterface<bool> {};

TEST_P(UnopenableInterface, IsReportedWithTheDriversReason) {
    const bool descriptionFails = GetParam();
    Rig.Plug(0, sim::FixtureA);
    if (descriptionFails)
        Rig.Faults().DescriptionFails();
    else
        Rig.Faults().OpenFails();
    ReasonDriver driver("accès refusé");
    const std::string text = "Port  non ouvert\r\naccès refusé.";
    Guard.Dialogs.Answer(ModalResult::Ok, text);
    ASSERT_EQ(Start(), StartResult::Running);

    const auto messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Text, text);
    EXPECT_EQ(messages[0].Type, MsgType::Information);
    EXPECT_EQ(Form1->Caption(), "Aucune interface n'a été détectée");
    EXPECT_FALSE(InterfaceOpen);
    EXPECT_EQ(Rig.Log().Frames().size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(DescriptionOrOpen, UnopenableInterface, ::testing::Bool());

TEST_F(WorkbenchTest, UnreadableDescriptionGivesUpSilently) {
    Rig.Plug(0, sim::FixtureA);
    Rig.Faults().DescriptionFails();
    ASSERT_EQ(Start(), StartResult::Running);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Form1->Caption(), "Aucune interface n'a été détectée");
    EXPECT_FALSE(Rig.Device().Opened());
}

TEST_F(WorkbenchTest, DeviceResetTwiceHundredMillisecondsApart) {
    Rig.Plug(0, sim::FixtureA);
    ASSERT_EQ(Start(), StartResult::Running);
    std::vector<int64_t> resets;
    for (const auto& call : Rig.Log().Api())
        if (call.Call == sim::ApiCall::ResetDevice)
            resets.push_back(call.TimeUs);
    ASSERT_EQ(resets.size(), 2u);
    EXPECT_GE(resets[1] - resets[0], 100 * 1000);
    EXPECT_LT(resets[1] - resets[0], 101 * 1000);
    EXPECT_GE(Rig.Log().Frames().front().TimeUs - resets[1], 100 * 1000);
}

TEST_F(WorkbenchTest, SensorPluggedDuringTheQuestionIsFoundByOk) {
    ObservingDialogs observing(Guard.Dialogs);
    observing.OnMessage = [&](const platform::MessageRequest&) { Rig.Plug(1, sim::FixtureB); };
    Guard.Dialogs.Answer(ModalResult::Ok, NoSensor);
    ASSERT_EQ(Start(), StartResult::Running);
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Form1->Caption(),
              "Kestrova-QD-TAVEN.Q | Voie 1 : Pas de capteur | Voie 2 : Thermomètre -10 à 110 °C");
    EXPECT_EQ(Form1->RGVoie->Items.Items(), std::vector<std::string>{"Y2"});
    EXPECT_EQ(Form1->AcqMode, 1);
    EXPECT_TRUE(Form1->Timer->Enabled());
    EXPECT_FALSE(ConnectGivenUp);
}

// An interface that is listed and opens but answers nothing: told once, no
// question for a sensor that would only fail again.
TEST_F(WorkbenchTest, MuteInterfaceAtStartIsToldOnceWithoutTheSensorQuestion) {
    Rig.Plug(0, sim::FixtureA);
    Rig.Faults().NoAnswer(sim::Command::Any);
    Guard.Dialogs.Answer(ModalResult::Ok, workbench::InterfaceSilentText);
    ASSERT_EQ(Start(), StartResult::Running);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Text, workbench::InterfaceSilentText);
    EXPECT_TRUE(InterfaceOpen);
    EXPECT_TRUE(ConnectGivenUp);
    EXPECT_FALSE(Form1->Timer->Enabled());
    EXPECT_FALSE(Form1->ActionNouvelleMesure->Enabled());
    const int64_t since = Rig.NowUs();
    RunFor(5000);
    EXPECT_TRUE(Frames(Rig, since).empty());
}

TEST_F(WorkbenchTest, NoSensorCancelledLeavesTheInterfaceOpenWithoutLiveTick) {
    Guard.Dialogs.Answer(ModalResult::Cancel, NoSensor);
    ASSERT_EQ(Start(), StartResult::Running);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Caption, "Attention");
    EXPECT_EQ(Messages()[0].Type, MsgType::Warning);
    EXPECT_TRUE(InterfaceOpen);
    EXPECT_EQ(Form1->Caption(),
              "Kestrova-QD-TAVEN.Q | Voie 1 : Pas de capteur | Voie 2 : Pas de capteur");
    EXPECT_FALSE(Form1->Timer->Enabled());
    EXPECT_FALSE(Form1->ActionNouvelleMesure->Enabled());
    EXPECT_EQ(Form1->RGVoie->Items.Count(), 0);
    EXPECT_EQ(Form1->GraphShown, 1);
}

TEST_F(WorkbenchTest, SecondInstanceEndsSilently) {
    auto running = platform::SingleInstance::TryAcquire("Kestrova", Folder.path().toStdString());
    ASSERT_NE(running, nullptr);
    const auto windowsBefore = QApplication::topLevelWidgets().size();
    EXPECT_EQ(Start(), StartResult::SecondInstance);
    EXPECT_EQ(Form1, nullptr);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windowsBefore);
    EXPECT_TRUE(Guard.Dialogs.Records().empty());
    EXPECT_EQ(Rig.Log().Api().size(), 0u);
    // The running instance keeps its lock.
    EXPECT_EQ(platform::SingleInstance::TryAcquire("Kestrova", Folder.path().toStdString()),
              nullptr);
}

TEST_F(WorkbenchTest, QuitClosesTheInterfaceBeepsTwiceAndClosesTheWindow) {
    StartWithSensors(&sim::FixtureA, nullptr);
    ASSERT_TRUE(Form1->Timer->Enabled());
    Form1->ActionQuitter->Execute();
    EXPECT_FALSE(Rig.Device().Opened());
    EXPECT_FALSE(InterfaceOpen);
    EXPECT_EQ(Guard.Dialogs.BeepCount(), 2);
    EXPECT_FALSE(Form1->Timer->Enabled());
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(WorkbenchTest, QuitWithoutInterfaceOnlyBeeps) {
    Rig.Device().Disconnect();
    Guard.Dialogs.Answer(ModalResult::Cancel, NoDevice);
    ASSERT_EQ(Start(), StartResult::Running);
    Form1->ActionQuitter->Execute();
    EXPECT_EQ(Guard.Dialogs.BeepCount(), 2);
    for (const auto& call : Rig.Log().Api())
        EXPECT_NE(call.Call, sim::ApiCall::Close);
}

TEST_F(WorkbenchTest, HelpAndAboutBox) {
    StartWithSensors(&sim::FixtureA, nullptr);
    Form1->ActionAide1->Execute();
    ASSERT_EQ(Desktop.Count(platform::RecordingDesktop::Call::Kind::OpenDocument), 1);
    for (const auto& call : Desktop.Calls()) {
        if (call.What == platform::RecordingDesktop::Call::Kind::OpenDocument) {
            // Beside the program (the build puts it there), whatever the
            // current directory.
            EXPECT_EQ(call.Target,
                      platform::DirectoryOf(platform::ProgramFilePath()) + "helvo1.html");
        }
    }
    EXPECT_TRUE(Messages().empty());
    // No viewer: the user is told instead of nothing happening.
    Desktop.StartResult = false;
    Guard.Dialogs.Answer(platform::ModalResult::Ok, "Aucun programme n'a pu afficher");
    Form1->ActionAide1->Execute();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Caption, "Aide");

    std::string shown;
    TForm::SetModalDriver([&](TForm& form) {
        shown = form.Caption();
        auto* about = dynamic_cast<TAboutBox*>(&form);
        ASSERT_NE(about, nullptr);
        about->Label3Click();
        about->OKButton->Click();
    });
    Form1->ActionApropos->Execute();
    EXPECT_EQ(shown, "A propos");
    ASSERT_EQ(Desktop.Count(platform::RecordingDesktop::Call::Kind::OpenWebPage), 1);
    EXPECT_EQ(Desktop.Calls().back().Target, AboutBox->Texts().LinkUrl);
}

TEST_F(WorkbenchTest, AboutBoxTakesAnotherProgramsTexts) {
    StartWithSensors(&sim::FixtureA, nullptr);
    AboutTexts texts = WorkbenchAboutTexts();
    texts.ProductName = "Trevalume USB";
    texts.LinkUrl = "https://www.example.org/trevalume/";
    texts.IconResource = ":/pictures/trevalume1.png";
    AboutBox->SetTexts(texts);
    EXPECT_EQ(AboutBox->ProductName->Caption(), "Trevalume USB");
    EXPECT_FALSE(AboutBox->ProgramIcon->Picture().isNull());
    AboutBox->Label3Click();
    EXPECT_EQ(Desktop.Calls().back().Target, "https://www.example.org/trevalume/");
}

} // namespace
} // namespace wbtest
