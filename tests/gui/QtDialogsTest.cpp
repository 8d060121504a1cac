// The Qt dialog service: French buttons, captions by type, icons, line
// breaks, what Escape, access keys and the close button answer, file filters
// and default extensions, the toolkit's own dialogs in French.
#include "gui/QtDialogs.h"
#include "gui/Forms.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

using namespace vcl;

namespace {

using platform::MessageRequest;
using platform::ModalResult;
using platform::MsgType;

std::vector<std::string> ButtonTexts(QMessageBox& box) {
    std::vector<std::string> texts;
    for (QAbstractButton* button : box.buttons())
        texts.push_back(button->text().toStdString());
    std::sort(texts.begin(), texts.end());
    return texts;
}

TEST(QtDialogsTest, MessageBoxesShowCaptionsIconsAndFrenchButtons) {
    Application->Title = "Kestrova USB";
    struct Case {
        MessageRequest Request;
        std::string Caption;
        QMessageBox::Icon Icon;
        std::vector<std::string> Buttons; // sorted
    };
    const Case cases[] = {
        {{"Echec d'enregistrement", "", MsgType::Warning, platform::MbOk},
         "Avertissement",
         QMessageBox::Warning,
         {"OK"}},
        {{"x", "", MsgType::Error, platform::MbOk}, "Erreur", QMessageBox::Critical, {"OK"}},
        {{"x", "", MsgType::Information, platform::MbOk},
         "Information",
         QMessageBox::Information,
         {"OK"}},
        {{"Enregistrer ?", "", MsgType::Confirmation, platform::MbYes | platform::MbNo},
         "Confirmation",
         QMessageBox::Question,
         {"&Non", "&Oui"}},
        {{"x", "", MsgType::Custom, platform::MbOk | platform::MbCancel},
         "Kestrova USB",
         QMessageBox::NoIcon,
         {"Annuler", "OK"}},
        {{"x", "Attention", MsgType::Warning, platform::MbOk | platform::MbCancel},
         "Attention",
         QMessageBox::Warning,
         {"Annuler", "OK"}},
        {{"x", "", MsgType::Warning, platform::MbAbort | platform::MbRetry | platform::MbIgnore},
         "Avertissement",
         QMessageBox::Warning,
         {"Abandonner", "Ignorer", "Réessayer"}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<QMessageBox> box(BuildMessageBox(c.Request));
        EXPECT_EQ(box->windowTitle().toStdString(), c.Caption);
        EXPECT_EQ(box->icon(), c.Icon) << c.Caption;
        EXPECT_EQ(ButtonTexts(*box), c.Buttons) << c.Caption;
    }
    Application->Title.clear();
}

TEST(QtDialogsTest, LineBreaksAndEscape) {
    MessageRequest request{"L'interface de mesure n'est pas branchée\r\nconnectez-la\ravant",
                           "Attention", MsgType::Warning, platform::MbOk | platform::MbCancel};
    std::unique_ptr<QMessageBox> box(BuildMessageBox(request));
    EXPECT_EQ(box->text().toStdString(),
              "L'interface de mesure n'est pas branchée\nconnectez-la\navant");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    ASSERT_NE(box->escapeButton(), nullptr);
    EXPECT_EQ(box->escapeButton()->text().toStdString(), "Annuler");
    EXPECT_EQ(box->defaultButton()->text().toStdString(), "OK");

    struct Case {
        unsigned Buttons;
        const char* Escape; // nullptr: Escape does nothing
    };
    const Case cases[] = {
        {platform::MbOk, "OK"},
        {platform::MbYes | platform::MbNo | platform::MbCancel, "Annuler"},
        {platform::MbYes | platform::MbNo, nullptr},
        {platform::MbAbort | platform::MbRetry | platform::MbIgnore, nullptr},
    };
    for (const Case& c : cases) {
        request.Buttons = c.Buttons;
        box.reset(BuildMessageBox(request));
        if (c.Escape) {
            ASSERT_NE(box->escapeButton(), nullptr) << c.Escape;
            EXPECT_EQ(box->escapeButton()->text().toStdString(), c.Escape);
        } else {
            EXPECT_EQ(box->escapeButton(), nullptr) << c.Buttons;
            EXPECT_FALSE(box->windowFlags() & Qt::WindowCloseButtonHint) << c.Buttons;
        }
    }
}

QMessageBox* ActiveBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

// What the user does to the box once it shows (from its own message loop).
// A box still open a second later is answered with its last button, so that
// a box that ignored the user fails the test instead of hanging it.
void WhenTheBoxShows(std::function<void(QMessageBox&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        QMessageBox* box = ActiveBox();
        ASSERT_NE(box, nullptr);
        QApplication::setActiveWindow(box); // the window manager's part
        act(*box);
        QTimer::singleShot(1000, box, [box] { box->buttons().back()->click(); });
    });
}

TEST(QtDialogsTest, TheServiceReturnsTheButtonTheUserChose) {
    QtDialogService service;
    const MessageRequest question{"Voulez-vous enregistrer ?", "", MsgType::Confirmation,
                                  platform::MbYes | platform::MbNo};
    struct Case {
        const char* What;
        std::function<void(QMessageBox&)> Act;
        ModalResult Result;
    };
    auto click = [](const char* caption) {
        return [caption](QMessageBox& box) {
            for (QAbstractButton* button : box.buttons())
                if (button->text().toStdString() == caption)
                    button->click();
        };
    };
    auto key = [](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return [k, modifiers](QMessageBox& box) { QTest::keyClick(&box, k, modifiers); };
    };
    const Case cases[] = {
        {"Non", click("&Non"), ModalResult::No},
        {"Oui", click("&Oui"), ModalResult::Yes},
        {"O", key(Qt::Key_O), ModalResult::Yes},
        {"N", key(Qt::Key_N), ModalResult::No},
        {"Alt+O", key(Qt::Key_O, Qt::AltModifier), ModalResult::Yes},
        {"Alt+N", key(Qt::Key_N, Qt::AltModifier), ModalResult::No},
    };
    for (const Case& c : cases) {
        WhenTheBoxShows(c.Act);
        EXPECT_EQ(service.ShowMessage(question), c.Result) << c.What;
    }
}

// Escape or the frame's close button on a Yes/No question would have answered
// "Non" (in "Enregistrer": the series cleared without a save). The box stays
// and waits for an answer.
TEST(QtDialogsTest, AYesNoQuestionIgnoresEscapeAndTheCloseButton) {
    QtDialogService service;
    bool stayed = false;
    WhenTheBoxShows([&](QMessageBox& box) {
        QTest::keyClick(&box, Qt::Key_Escape);
        box.close();
        QTimer::singleShot(20, [&] {
            QMessageBox* still = ActiveBox();
            stayed = still == &box && box.isVisible();
            if (still)
                box.button(QMessageBox::Yes)->click();
        });
    });
    EXPECT_EQ(service.ShowMessage({"Voulez-vous enregistrer ?", "", MsgType::Confirmation,
                                   platform::MbYes | platform::MbNo}),
              ModalResult::Yes);
    EXPECT_TRUE(stayed);

    // With a Cancel button both cancel, as before.
    for (bool byEscape : {true, false}) {
        WhenTheBoxShows([byEscape](QMessageBox& box) {
            if (byEscape)
                QTest::keyClick(&box, Qt::Key_Escape);
            else
                box.close();
        });
        EXPECT_EQ(service.ShowMessage({"x", "", MsgType::Confirmation,
                                       platform::MbYes | platform::MbNo | platform::MbCancel}),
                  ModalResult::Cancel)
            << byEscape;
    }
}

TEST(QtDialogsTest, FiltersAndDefaultExtension) {
    EXPECT_EQ(QtFilterFromVcl("Mesures (*.mrs)|*.mrs").toStdString(), "Mesures (*.mrs)");
    EXPECT_EQ(QtFilterFromVcl("Mesures|*.mrs|Tous (*.*)|*.*").toStdString(),
              "Mesures (*.mrs);;Tous (*.*)");
    EXPECT_EQ(QtFilterFromVcl("Images (*.bmp)|*.bmp;*.jpg").toStdString(), "Images (*.bmp *.jpg)");

    struct Case {
        const char* Name;
        const char* Ext;
        const char* Expected;
    };
    for (const Case& c : {Case{"/tmp/essai", "mrs", "/tmp/essai.mrs"},
                          Case{"/tmp/essai.MRS", "mrs", "/tmp/essai.MRS"},
                          Case{"/tmp/v1.2/essai", "mrs", "/tmp/v1.2/essai.mrs"},
                          Case{"/tmp/essai.txt", "mrs", "/tmp/essai.txt"},
                          Case{"/tmp/essai", "", "/tmp/essai"}, Case{"", "mrs", ""}})
        EXPECT_EQ(platform::WithDefaultExt(c.Name, c.Ext), c.Expected) << c.Name;

    // A proposed name with a wildcard is a filter: the dialog proposes no name.
    struct Start {
        const char* Dir;
        const char* Name;
        const char* Expected;
    };
    for (const Start& c : {Start{"", "*.mrs", ""}, Start{"/tmp/tp", "*.mrs", "/tmp/tp"},
                           Start{"/tmp/tp", "mesure?.mrs", "/tmp/tp"},
                           Start{"/tmp/tp", "essai.mrs", "/tmp/tp/essai.mrs"},
                           Start{"", "essai.mrs", "essai.mrs"}}) {
        platform::FileDialogRequest request;
        request.InitialDir = c.Dir;
        request.FileName = c.Name;
        EXPECT_EQ(FileDialogStart(request).toStdString(), c.Expected) << c.Dir << c.Name;
    }
}

// The toolkit's own file dialog, as "Enregistrer" shows it: its buttons and
// labels in French once the application is set up.
TEST(QtDialogsTest, TheToolkitsOwnDialogsSpeakFrench) {
    platform::DialogService& before = platform::Dialogs();
    InitApplication();
    platform::SetDialogs(&before); // the rest of the suite keeps its service
    QFileDialog dialog(nullptr, "Enregistrer sous");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    std::vector<std::string> texts;
    for (QAbstractButton* button : dialog.findChild<QDialogButtonBox*>()->buttons())
        texts.push_back(button->text().toStdString());
    for (QLabel* label : dialog.findChildren<QLabel*>())
        texts.push_back(label->text().toStdString());
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"&Enregistrer", "&Nom de fichier :", "Annuler",
                                               "Fichiers de type :", "Voir dans :"}));
}

} // namespace
