#include "Intro.h"

#include "EmbeddedPictures.h"
#include "core/Clock.h"

namespace Intro {

TForm2* Form2 = nullptr;

namespace {

constexpr int SplashWidth = 275;
constexpr int SplashHeight = 200;

} // namespace

TForm2::TForm2() {
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
    SetClientSize(SplashWidth, SplashHeight);
    Position = poDesktopCenter;
    SetColor(RGB(0, 0, 190));

    Image1 = new TImage(this);
    Image1->Center = true;
    Image1->SetBounds(0, 0, SplashWidth, SplashHeight);
    Image1->SetPicture(EmbeddedJpeg("intro.jpg"), true);
    Image1->SetAutoSize(true);

    Label1 = new TLabel(this);
    TFont font;
    font.Name = "Arial";
    font.Height = -13;
    font.Color = clWhite;
    font.Style = fsBold;
    Label1->SetFont(font);
    Label1->SetTransparent(true);
    Label1->SetAlignment(taRightJustify);
    Label1->SetAutoSize(true);
    Label1->SetCaption("Chargement en cours...");
    // Right edge 8 pixels from the window's, in the plain band of the picture.
    Label1->SetLeft(SplashWidth - 8 - Label1->Width());
    Label1->SetTop(SplashHeight - 6 - Label1->Height());

    if (!Form2)
        Form2 = this;
}

void TForm2::SplashPause() {
    Sleep(1300);
}

TForm2::~TForm2() {
    if (Form2 == this)
        Form2 = nullptr;
}

SplashPromptGuard::SplashPromptGuard(TForm2& splash) : Splash(splash), Inner(platform::Dialogs()) {
    platform::SetDialogs(this);
}

SplashPromptGuard::~SplashPromptGuard() {
    platform::SetDialogs(&Inner);
}

template <class F> auto SplashPromptGuard::Below(F&& dialog) {
    Splash.SetFormStyle(fsNormal);
    struct Restore {
        TForm2& Splash;
        ~Restore() { Splash.SetFormStyle(fsStayOnTop); }
    } restore{Splash};
    return dialog();
}

platform::ModalResult SplashPromptGuard::ShowMessage(const platform::MessageRequest& request) {
    return Below([&] { return Inner.ShowMessage(request); });
}

void SplashPromptGuard::Beep() {
    Inner.Beep();
}

bool SplashPromptGuard::OpenFile(const platform::FileDialogRequest& request,
                                 std::string& fileName) {
    return Below([&] { return Inner.OpenFile(request, fileName); });
}

bool SplashPromptGuard::SaveFile(const platform::FileDialogRequest& request,
                                 std::string& fileName) {
    return Below([&] { return Inner.SaveFile(request, fileName); });
}

bool SplashPromptGuard::ChooseColor(uint32_t& color) {
    return Below([&] { return Inner.ChooseColor(color); });
}

bool SplashPromptGuard::PrintSetup() {
    return Below([&] { return Inner.PrintSetup(); });
}

} // namespace Intro
