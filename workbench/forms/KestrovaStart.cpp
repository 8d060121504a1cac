#include "KestrovaStart.h"

#include "About.h"
#include "Intro.h"
#include "Oxym.h"
#include "colorAff.h"
#include "kvel1.h"
#include "zero.h"

#include <QCoreApplication>

using namespace kvel1;
using namespace Intro;
using namespace About;
using namespace zero;
using namespace Oxym;
using namespace colorAff;

namespace kestrova {

namespace {

constexpr const char* MutexName = "Kestrova";
constexpr const char* ApplicationTitle = "Kestrova USB";

void Painted(const StartHooks& hooks, TForm2& splash) {
    if (hooks.SplashPainted)
        hooks.SplashPainted(splash);
}

} // namespace

StartResult StartKestrova(const StartHooks& hooks,
                          std::unique_ptr<platform::SingleInstance>& lock) {
    // One instance only: a second start ends at once, showing nothing.
    lock = platform::SingleInstance::TryAcquire(MutexName, hooks.LockDirectory);
    if (!lock)
        return StartResult::SecondInstance;

    // The splash window, painted before any message loop runs.
    auto* splash = new TForm2;
    splash->BringToFrontAndPaint();
    Painted(hooks, *splash);
    splash->SplashPause();
    splash->Label1->SetCaption("Chargement..");
    splash->BringToFrontAndPaint();
    Painted(hooks, *splash);

    // The windows, main window first; an error raised inside a window's
    // creation handler is shown there and start-up goes on, anything else
    // ends the application without a message.
    StartResult result = StartResult::Running;
    auto prompts = std::make_unique<SplashPromptGuard>(*splash);
    try {
        Application->Title = ApplicationTitle;
        TForm1* main = nullptr;
        Application->CreateForm(main);
        TOKRightDlg* zero = nullptr;
        Application->CreateForm(zero);
        TOKRightDlg2* oxygen = nullptr;
        Application->CreateForm(oxygen);
        TAboutBox* about = nullptr;
        Application->CreateForm(about);
        TForm3* colours = nullptr;
        Application->CreateForm(colours);
        splash->Close();
    } catch (...) {
        Application->Terminate();
        result = StartResult::Terminated;
    }
    prompts.reset();

    // The splash is destroyed once the pending messages are handled.
    splash->Hide();
    splash->Release();
    return result;
}

void FreeKestrovaWindows() {
    delete Form3;
    delete AboutBox;
    delete OKRightDlg2;
    delete OKRightDlg;
    delete Form1;
    Application->MainForm = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace kestrova
