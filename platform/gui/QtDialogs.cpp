#include "gui/QtDialogs.h"

#include "gui/Forms.h"
#include "gui/Graphics.h"
#include "gui/Printers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>

namespace vcl {

using platform::ModalResult;
using platform::MsgType;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

struct ButtonInfo {
    unsigned Flag;
    QMessageBox::StandardButton Standard;
    const char* Text;
    ModalResult Result;
};

// In the order the buttons stand in the box.
const ButtonInfo ButtonTable[] = {
    {platform::MbYes, QMessageBox::Yes, "&Oui", ModalResult::Yes},
    {platform::MbNo, QMessageBox::No, "&Non", ModalResult::No},
    {platform::MbOk, QMessageBox::Ok, "OK", ModalResult::Ok},
    {platform::MbCancel, QMessageBox::Cancel, "Annuler", ModalResult::Cancel},
    {platform::MbAbort, QMessageBox::Abort, "Abandonner", ModalResult::Abort},
    {platform::MbRetry, QMessageBox::Retry, "Réessayer", ModalResult::Retry},
    {platform::MbIgnore, QMessageBox::Ignore, "Ignorer", ModalResult::Ignore},
};

QWidget* DialogParent() {
    return QApplication::activeWindow();
}

// A message box that, without a Cancel or an OK button, cannot be dismissed:
// Escape does nothing and the frame has no working close button (Qt would
// take "Non" for Escape and for the close button).
class PlatformMessageBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool Dismissable = true;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!Dismissable && event->key() == Qt::Key_Escape &&
            event->modifiers() == Qt::NoModifier) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (!Dismissable && !clickedButton()) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }
};

} // namespace

std::string NormalizeLineBreaks(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            result += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::string DefaultCaption(MsgType type) {
    switch (type) {
    case MsgType::Warning:
        return "Avertissement";
    case MsgType::Error:
        return "Erreur";
    case MsgType::Information:
        return "Information";
    case MsgType::Confirmation:
        return "Confirmation";
    case MsgType::Custom:
        break;
    }
    return Application->Title;
}

QMessageBox* BuildMessageBox(const platform::MessageRequest& request, QWidget* parent) {
    auto* box = new PlatformMessageBox(parent);
    box->setWindowTitle(
        Q(request.Caption.empty() ? DefaultCaption(request.Type) : request.Caption));
    box->setTextFormat(Qt::PlainText);
    box->setText(Q(NormalizeLineBreaks(request.Text)));
    switch (request.Type) {
    case MsgType::Warning:
        box->setIcon(QMessageBox::Warning);
        break;
    case MsgType::Error:
        box->setIcon(QMessageBox::Critical);
        break;
    case MsgType::Information:
        box->setIcon(QMessageBox::Information);
        break;
    case MsgType::Confirmation:
        box->setIcon(QMessageBox::Question);
        break;
    case MsgType::Custom:
        box->setIcon(QMessageBox::NoIcon);
        break;
    }
    const unsigned buttons = request.Buttons != 0 ? request.Buttons : platform::MbOk;
    for (const ButtonInfo& info : ButtonTable)
        if (buttons & info.Flag)
            box->addButton(info.Standard)->setText(QString::fromUtf8(info.Text));
    // Enter: OK, else Yes, else Retry; Escape and the close button: Cancel,
    // else OK, else nothing (the user has to answer the question).
    for (auto wanted : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::Retry})
        if (QAbstractButton* button = box->button(wanted)) {
            box->setDefaultButton(static_cast<QPushButton*>(button));
            break;
        }
    box->Dismissable = false;
    for (auto wanted : {QMessageBox::Cancel, QMessageBox::Ok})
        if (QAbstractButton* button = box->button(wanted)) {
            box->setEscapeButton(button);
            box->Dismissable = true;
            break;
        }
    if (!box->Dismissable)
        box->setWindowFlags((box->windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                            ~Qt::WindowCloseButtonHint);
    return box;
}

ModalResult MessageBoxResult(const QMessageBox& box) {
    QAbstractButton* clicked = box.clickedButton();
    if (!clicked)
        return ModalResult::Cancel;
    const QMessageBox::StandardButton standard = box.standardButton(clicked);
    for (const ButtonInfo& info : ButtonTable)
        if (info.Standard == standard)
            return info.Result;
    return ModalResult::Cancel;
}

QString QtFilterFromVcl(const std::string& filter) {
    const QStringList parts = Q(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        // Qt reads the patterns from the last parentheses: write them there
        // once, in place of the ones the description may already show.
        if (description.endsWith(')')) {
            const qsizetype open = description.lastIndexOf('(');
            if (open >= 0)
                description = description.left(open).trimmed();
        }
        filters << description + " (" + patterns.trimmed() + ")";
    }
    return filters.join(";;");
}

QString FileDialogStart(const platform::FileDialogRequest& request) {
    const std::string name = platform::IsFilterPattern(request.FileName) ? "" : request.FileName;
    if (request.InitialDir.empty())
        return Q(name);
    return Q(name.empty() ? request.InitialDir : request.InitialDir + "/" + name);
}

ModalResult QtDialogService::ShowMessage(const platform::MessageRequest& request) {
    std::unique_ptr<QMessageBox> box(BuildMessageBox(request, DialogParent()));
    box->exec();
    return MessageBoxResult(*box);
}

void QtDialogService::Beep() {
    QApplication::beep();
}

namespace {

// The open or save dialog for request; the chosen name with its default
// extension, or false when cancelled.
bool RunFileDialog(bool save, const platform::FileDialogRequest& request, std::string& fileName) {
    const QString title = Q(!request.Title.empty() ? request.Title
                            : save                 ? "Enregistrer sous"
                                                   : "Ouvrir");
    const QString start = FileDialogStart(request);
    const QString filter = QtFilterFromVcl(request.Filter);
    const QString chosen = save
                               ? QFileDialog::getSaveFileName(DialogParent(), title, start, filter)
                               : QFileDialog::getOpenFileName(DialogParent(), title, start, filter);
    if (chosen.isEmpty())
        return false;
    fileName = platform::WithDefaultExt(chosen.toStdString(), request.DefaultExt);
    return true;
}

} // namespace

bool QtDialogService::OpenFile(const platform::FileDialogRequest& request, std::string& fileName) {
    return RunFileDialog(false, request, fileName);
}

bool QtDialogService::SaveFile(const platform::FileDialogRequest& request, std::string& fileName) {
    return RunFileDialog(true, request, fileName);
}

bool QtDialogService::ChooseColor(uint32_t& color) {
    const QColor chosen = QColorDialog::getColor(ColorToQColor(color), DialogParent(), "Couleur");
    if (!chosen.isValid())
        return false;
    color = QColorToColor(chosen);
    return true;
}

bool QtDialogService::PrintSetup() {
    QPrintDialog dialog(&Printer()->QtPrinter(), DialogParent());
    dialog.setWindowTitle("Configuration de l'impression");
    return dialog.exec() == QDialog::Accepted;
}

} // namespace vcl
