// Forms: the creation handler's error box, key presses reaching the form's
// handler, modal forms, closing the main window.
#include "gui/Forms.h"
#include "ApplicationGuard.h"
#include "ScriptedDialogsFixture.h"
#include "core/Clock.h"
#include "gui/StdCtrls.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace vcl;

namespace {

struct Window1 : TForm {
    std::vector<std::string>* Log;
    explicit Window1(std::vector<std::string>* log) : Log(log) {
        OnCreate = [this] {
            Log->push_back("create 1");
            throw std::runtime_error("Erreur de conversion : 'x1,5' n'est pas un nombre");
        };
    }
};

struct Window2 : TForm {
    explicit Window2(std::vector<std::string>* log) {
        OnCreate = [log] { log->push_back("create 2"); };
    }
};

TEST(FormsTest, CreationErrorIsShownAndStartUpGoesOn) {
    ScriptedDialogsGuard guard;
    guard.Dialogs.Answer(platform::ModalResult::Ok, "n'est pas un nombre");
    Application->Title = "Kestrova USB";
    std::vector<std::string> log;
    Window1* first = nullptr;
    Window2* second = nullptr;
    Application->CreateForm(first, &log);
    Application->CreateForm(second, &log);

    EXPECT_EQ(log, (std::vector<std::string>{"create 1", "create 2"}));
    ASSERT_EQ(guard.Dialogs.Messages().size(), 1u);
    const platform::MessageRequest box = guard.Dialogs.Messages()[0];
    EXPECT_EQ(box.Text, "Erreur de conversion : 'x1,5' n'est pas un nombre.");
    EXPECT_EQ(box.Type, platform::MsgType::Error);
    EXPECT_EQ(box.Buttons, platform::MbOk);
    EXPECT_EQ(box.Caption, "Kestrova USB");
    EXPECT_EQ(Application->MainForm, first);

    delete second;
    delete first;
    EXPECT_EQ(Application->MainForm, nullptr);
    Application->Title.clear();
}

TEST(FormsTest, TheStandardErrorBoxEndsTheSentence) {
    ScriptedDialogsGuard guard;
    const std::pair<std::string, std::string> cases[] = {
        {"Image bitmap incorrecte", "Image bitmap incorrecte."},
        {"Erreur JPEG #42", "Erreur JPEG #42."},
        {"Le fichier spécifié est introuvable", "Le fichier spécifié est introuvable."},
        {"Déjà terminé.", "Déjà terminé."},
        {"Attention !", "Attention !"},
        {"", ""},
    };
    for (const auto& [text, shown] : cases) {
        guard.Dialogs.Answer(platform::ModalResult::Ok);
        Application->ShowException(text);
        EXPECT_EQ(guard.Dialogs.Messages().back().Text, shown) << text;
    }
}

TEST(FormsTest, AHandlerErrorFromUserInputIsShownAndTheLoopGoesOn) {
    ScriptedDialogsGuard guard;
    guard.Dialogs.Answer(platform::ModalResult::Ok, "bt2V.jpg");
    TForm form;
    auto* button = new TButton(&form);
    button->SetBounds(10, 10, 80, 25);
    button->OnClick = [] {
        throw std::runtime_error("Impossible d'ouvrir le fichier \"bt2V.jpg\"");
    };
    form.show();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(guard.Dialogs.Messages().size(), 1u);
}

class FormKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form.SetClientSize(300, 200);
        First = new TCheckBox(&Form);
        First->SetBounds(10, 10, 100, 20);
        Second = new TCheckBox(&Form);
        Second->SetBounds(10, 40, 100, 20);
        Form.OnKeyDown = [this](uint16_t& key, TShiftState shift) { Keys.push_back({key, shift}); };
        Form.show();
        QApplication::setActiveWindow(&Form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
    }
    // What the keyboard does: the key goes to the focused widget.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &Form;
        QTest::keyClick(target, key, modifiers);
    }
    TForm Form;
    TCheckBox* First = nullptr;
    TCheckBox* Second = nullptr;
    std::vector<std::pair<uint16_t, TShiftState>> Keys;
};

TEST_F(FormKeysTest, SpaceReachesTheFormWhenTheFocusedControlIsDisabled) {
    First->SetFocus();
    ASSERT_EQ(QApplication::focusWidget(), First);
    First->SetEnabled(false);
    Press(Qt::Key_Space);
    Press(Qt::Key_Space, Qt::ControlModifier); // Ctrl, then Space with Ctrl held
    EXPECT_FALSE(Second->Checked());           // no other control took it
    EXPECT_FALSE(First->Checked());
    ASSERT_EQ(Keys.size(), 3u);
    EXPECT_EQ(Keys[0], std::make_pair(uint16_t(VK_SPACE), TShiftState(0)));
    EXPECT_EQ(Keys[1].first, VK_CONTROL);
    EXPECT_EQ(Keys[2], std::make_pair(uint16_t(VK_SPACE), TShiftState(ssCtrl)));
}

TEST_F(FormKeysTest, HidingTheFocusedControlAlsoLeavesKeysToTheForm) {
    Second->SetFocus();
    Second->Hide();
    Press(Qt::Key_Space);
    EXPECT_FALSE(First->Checked());
    ASSERT_EQ(Keys.size(), 1u);
    EXPECT_EQ(Keys[0].first, VK_SPACE);
}

TEST_F(FormKeysTest, AnEnabledFocusedControlUsesSpace) {
    First->SetFocus();
    Press(Qt::Key_Space);
    EXPECT_TRUE(First->Checked());
    EXPECT_TRUE(Keys.empty());
}

TEST(FormsModalTest, ButtonsEndAModalFormOnTheTestPump) {
    platform::VirtualClock clock;
    platform::ScopedClock scope(clock);
    TForm dialog;
    auto* ok = new TButton(&dialog);
    ok->SetCaption("OK");
    ok->ModalResult = mrOk;
    // The user clicks OK after 2 s; meanwhile the dialog's own timer ticks.
    TTimer user(&dialog);
    user.SetInterval(2000);
    user.OnTimer = [&] { ok->click(); };
    TTimer refresh(&dialog);
    refresh.SetInterval(300);
    int refreshes = 0;
    refresh.OnTimer = [&] { ++refreshes; };

    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_EQ(clock.NowUs(), 2'000'000);
    EXPECT_EQ(refreshes, 6);
    EXPECT_FALSE(dialog.isVisible());

    // A refusing OnCloseQuery keeps the form open until the next OK.
    int asked = 0;
    dialog.OnCloseQuery = [&](bool& canClose) { canClose = ++asked > 1; };
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(clock.NowUs(), 6'000'000);

    // A driver answers instead of the user.
    TForm::SetModalDriver([](TForm& form) { form.ModalResult = mrYes; });
    EXPECT_EQ(dialog.ShowModal(), mrYes);
    TForm::SetModalDriver(nullptr);
}

TEST(FormsTest, ClosingTheMainFormEndsTheApplication) {
    ApplicationGuard application;
    bool asked = false;
    auto* form = new TForm;
    Application->MainForm = form;
    form->OnCloseQuery = [&](bool& canClose) {
        canClose = asked;
        asked = true;
    };
    form->show();
    form->Close(); // refused the first time
    EXPECT_FALSE(Application->Terminated());
    EXPECT_TRUE(form->isVisible());
    form->Close();
    EXPECT_TRUE(Application->Terminated());
    delete form;
}

} // namespace
