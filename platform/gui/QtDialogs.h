// The dialog service of the programs: Qt message boxes with French buttons,
// file, colour and print set-up dialogs. InitApplication installs it.
#pragma once

#include "core/Dialogs.h"

#include <QString>

#include <string>

class QMessageBox;
class QWidget;

namespace vcl {

class QtDialogService final : public platform::DialogService {
public:
    platform::ModalResult ShowMessage(const platform::MessageRequest& request) override;
    void Beep() override;
    bool OpenFile(const platform::FileDialogRequest& request, std::string& fileName) override;
    bool SaveFile(const platform::FileDialogRequest& request, std::string& fileName) override;
    bool ChooseColor(uint32_t& color) override;
    bool PrintSetup() override;
};

// The message box for request, built but not shown (the service execs it):
// caption (or the toolkit's caption for its type), icon, text with "\r\n"
// and "\r" as line breaks, French buttons ("OK", "Annuler", "&Oui", "&Non",
// "Abandonner", "Réessayer", "Ignorer"), Escape and the frame's close button
// on Cancel (or OK); a box with neither ignores both, as the platform's own
// boxes do ("Non" is never an answer the user gave by Escape).
QMessageBox* BuildMessageBox(const platform::MessageRequest& request, QWidget* parent = nullptr);
// The result a clicked button of that box stands for.
platform::ModalResult MessageBoxResult(const QMessageBox& box);
// The toolkit's caption of a message type: "Avertissement", "Erreur",
// "Information", "Confirmation"; the application title for Custom.
std::string DefaultCaption(platform::MsgType type);
// "\r\n" and "\r" -> "\n".
std::string NormalizeLineBreaks(const std::string& text);
// "Mesures (*.mrs)|*.mrs|Tous (*.*)|*.*" -> "Mesures (*.mrs);;Tous (*.*)".
QString QtFilterFromVcl(const std::string& filter);
// Where the file dialog opens: InitialDir and the proposed name, without a
// name that is only a filter ("*.mrs").
QString FileDialogStart(const platform::FileDialogRequest& request);

} // namespace vcl
