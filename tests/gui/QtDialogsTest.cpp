// The Qt dialog service: French buttons, captions by type, icons, line
// breaks, file filters and default extensions.
#include "gui/QtDialogs.h"
#include "gui/Forms.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
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
         {"Non", "Oui"}},
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

    request.Buttons = platform::MbYes | platform::MbNo;
    box.reset(BuildMessageBox(request));
    EXPECT_EQ(box->escapeButton()->text().toStdString(), "Non");
}

TEST(QtDialogsTest, TheServiceReturnsTheClickedButton) {
    QtDialogService service;
    for (const auto& [wanted, expected] : {std::pair{std::string("Non"), ModalResult::No},
                                           std::pair{std::string("Oui"), ModalResult::Yes}}) {
        QTimer::singleShot(0, [wanted = wanted] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            for (QAbstractButton* button : box->buttons())
                if (button->text().toStdString() == wanted)
                    button->click();
        });
        EXPECT_EQ(service.ShowMessage({"Voulez-vous enregistrer ?", "", MsgType::Confirmation,
                                       platform::MbYes | platform::MbNo}),
                  expected);
    }
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(
        service.ShowMessage({"x", "", MsgType::Confirmation, platform::MbYes | platform::MbNo}),
        ModalResult::No); // closing the box is its escape button
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

} // namespace
