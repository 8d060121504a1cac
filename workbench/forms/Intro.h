// The splash window shown while the program starts: a picture and the label
// "Chargement en cours...". Shared by both programs.
#pragma once

#include "core/Dialogs.h"
#include "gui/Vcl.h"

namespace Intro {

using namespace vcl;

class TForm2 : public TForm {
public:
    TForm2();
    ~TForm2() override;

    TImage* Image1;
    TLabel* Label1;

    // The pause after the splash was first shown: 1300 ms on the program clock.
    void SplashPause();
};

// The splash window while it lives (nullptr once released).
extern TForm2* Form2;

// The prompts of the start-up (no interface, no sensor, "Port  non ouvert")
// come while the splash window is up. While a guard lives, every dialog is
// shown with the splash set back from "always on top", so that no prompt
// hides behind it; the splash is on top again after each dialog.
class SplashPromptGuard final : public platform::DialogService {
public:
    explicit SplashPromptGuard(TForm2& splash);
    ~SplashPromptGuard() override;
    SplashPromptGuard(const SplashPromptGuard&) = delete;
    SplashPromptGuard& operator=(const SplashPromptGuard&) = delete;

    platform::ModalResult ShowMessage(const platform::MessageRequest& request) override;
    void Beep() override;
    bool OpenFile(const platform::FileDialogRequest& request, std::string& fileName) override;
    bool SaveFile(const platform::FileDialogRequest& request, std::string& fileName) override;
    bool ChooseColor(uint32_t& color) override;
    bool PrintSetup() override;

private:
    // Runs a dialog with the splash below it.
    template <class F> auto Below(F&& dialog);
    TForm2& Splash;
    platform::DialogService& Inner;
};

} // namespace Intro
