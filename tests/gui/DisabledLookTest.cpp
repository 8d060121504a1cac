// Disabled controls look disabled: their text and pictures are greyed,
// whatever colour the window gave their font.
#include "gui/ActnList.h"
#include "gui/Buttons.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"

#include <QMenuBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace vcl;

namespace {

// The number of dark pixels (text or picture ink) in a control's rendering.
int Ink(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
    return ink;
}

// A control of one kind on form, with its font colour set as the windows set
// it; what is rendered and how it is disabled.
struct Subject {
    QWidget* Rendered;
    std::function<void(bool)> SetEnabled;
};

struct Kind {
    const char* Name;
    std::function<Subject(TForm&)> Make;
};
void PrintTo(const Kind& kind, std::ostream* os) {
    *os << kind.Name;
}

TFont DarkFont() {
    TFont font;
    font.Color = clWindowText;
    font.Height = -14;
    return font;
}

template <class T> Subject Plain(T* control, const std::string& caption) {
    control->SetBounds(10, 10, 160, 26);
    control->SetCaption(caption);
    control->SetFont(DarkFont());
    return {control, [control](bool on) { control->SetEnabled(on); }};
}

QImage BlackPicture() {
    QImage picture(32, 32, QImage::Format_ARGB32);
    picture.fill(Qt::black);
    return picture;
}

const Kind Kinds[] = {
    {"RadioButton", [](TForm& f) { return Plain(new TRadioButton(&f), "Voie 1"); }},
    {"CheckBox", [](TForm& f) { return Plain(new TCheckBox(&f), "Déclenché"); }},
    {"Button", [](TForm& f) { return Plain(new TButton(&f), "Valider"); }},
    {"SpeedButton", [](TForm& f) { return Plain(new TSpeedButton(&f), "stop"); }},
    {"SpinEdit",
     [](TForm& f) {
         auto* spin = new TSpinEdit(&f);
         spin->SetBounds(10, 10, 100, 26);
         spin->SetValue(95);
         spin->SetFont(DarkFont());
         return Subject{spin, [spin](bool on) { spin->SetEnabled(on); }};
     }},
    {"ToolBarCaption",
     [](TForm& f) {
         auto* action = new TAction("&Quitter", &f);
         auto* bar = new TActionToolBar(&f);
         bar->SetStyle(tsCaptions);
         bar->SetBounds(0, 0, 200, 30);
         bar->SetFont(DarkFont());
         bar->AddAction(action);
         return Subject{bar->ButtonFor(action), [action](bool on) { action->SetEnabled(on); }};
     }},
    {"ToolBarPicture",
     [](TForm& f) {
         auto* images = new TImageList(32, 32, &f);
         images->Add(BlackPicture());
         auto* action = new TAction("Nouvelle mesure", &f);
         action->SetImages(images);
         action->SetImageIndex(0);
         auto* bar = new TActionToolBar(&f);
         bar->SetStyle(tsPictures);
         bar->SetImages(images);
         bar->SetBounds(0, 0, 44, 44);
         bar->AddAction(action);
         return Subject{bar->ButtonFor(action), [action](bool on) { action->SetEnabled(on); }};
     }},
    {"MenuBarItem",
     [](TForm& f) {
         auto* menu = new TMainMenu(&f);
         TMenuItem* item = menu->Add("Fichier");
         item->Add("Quitter");
         f.SetFont(DarkFont());
         f.SetMenu(menu);
         return Subject{f.findChild<QMenuBar*>(), [item](bool on) { item->SetEnabled(on); }};
     }},
};

class DisabledLookTest : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override { InitFonts(); }
};

TEST_P(DisabledLookTest, TextAndPicturesAreGreyed) {
    TForm form;
    form.SetClientSize(300, 120);
    const Subject subject = GetParam().Make(form);
    form.ShowForm();
    ASSERT_NE(subject.Rendered, nullptr);
    const int enabled = Ink(subject.Rendered);
    subject.SetEnabled(false);
    const int disabled = Ink(subject.Rendered);
    subject.SetEnabled(true);
    EXPECT_GT(enabled, 20) << "the enabled control shows its ink";
    EXPECT_LT(disabled, enabled / 4) << "greyed when disabled";
    EXPECT_EQ(Ink(subject.Rendered), enabled) << "enabled again, as before";
}

INSTANTIATE_TEST_SUITE_P(Controls, DisabledLookTest, ::testing::ValuesIn(Kinds),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
