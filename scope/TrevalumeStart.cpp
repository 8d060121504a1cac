#include "TrevalumeStart.h"

#include "Intro.h"
#include "Trevalume.h"

#include <QCoreApplication>

using namespace About;
using namespace Intro;

namespace trevalume {

namespace {

constexpr const char* MutexName = "Trevalume";
constexpr const char* ApplicationTitle = "Trevalume USB";

void SplashShown(const TrevalumeStartHooks& hooks, TForm2& splash) {
    splash.BringToFrontAndPaint();
    if (hooks.SplashPainted)
        hooks.SplashPainted(splash);
}

} // namespace

AboutTexts TrevalumeAboutTexts() {
    AboutTexts texts;
    texts.ProductName = "Trevalume USB";
    texts.Version = "Version 1.0";
    texts.Authors = "Conception et programmation : l'équipe Trevalume";
    texts.Maker = "Interface de mesure USB à deux voies";
    texts.Comments = "Oscilloscope à deux voies : balayages continus, base de temps, "
                     "sensibilités, déclenchement et mode XY pour les travaux pratiques.";
    texts.LinkText = "Site de l'éditeur";
    texts.LinkUrl = "https://www.example.org/trevalume/";
    texts.IconResource = ":/pictures/trevalume1.png";
    return texts;
}

TrevalumeStartResult StartTrevalume(const TrevalumeStartHooks& hooks,
                                    std::unique_ptr<platform::SingleInstance>& lock) {
    // One instance only: a second start ends at once, showing nothing.
    lock = platform::SingleInstance::TryAcquire(MutexName, hooks.LockDirectory);
    if (!lock)
        return TrevalumeStartResult::SecondInstance;

    // The splash window, painted before any message loop runs.
    auto* splash = new TForm2;
    SplashShown(hooks, *splash);
    splash->SplashPause();
    splash->Label1->SetCaption("Chargement..");
    SplashShown(hooks, *splash);

    // The windows; an error raised inside the main window's creation handler
    // is shown there and start-up goes on, anything else ends the
    // application without a message.
    TrevalumeStartResult result = TrevalumeStartResult::Running;
    try {
        Application->Title = ApplicationTitle;
        Application->CreateForm(Form1);
        TAboutBox* about = nullptr;
        Application->CreateForm(about);
        about->SetTexts(TrevalumeAboutTexts());
        splash->Close();
    } catch (...) {
        Application->Terminate();
        result = TrevalumeStartResult::Terminated;
    }

    splash->Hide();
    splash->Release();
    return result;
}

void FreeTrevalumeWindows() {
    delete AboutBox;
    delete Form1;
    Application->MainForm = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace trevalume
