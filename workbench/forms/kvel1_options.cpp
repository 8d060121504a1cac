// The options files: the program's own ".INI" beside it, read at start and
// written by "Enregistrer options", and the factory file "original.INI",
// which "Réinitialiser" puts into effect and writes into the own file.
#include "kvel1.h"

#include "core/Desktop.h"
#include "core/Dialogs.h"
#include "core/IniFile.h"
#include "graph/OptionsFile.h"

namespace kvel1 {

std::string OptionsProgramPath;

namespace {

// Without a program path the options paths fall back on their own names.
std::string ProgramPath() {
    return OptionsProgramPath.empty() ? platform::ProgramFilePath() : OptionsProgramPath;
}

} // namespace

std::string TForm1::OwnOptionsFile() const {
    return workbench::OwnOptionsPath(ProgramPath());
}

void TForm1::LoadOptions(bool FromFactory) {
    const std::string path =
        FromFactory ? workbench::FactoryOptionsPath(ProgramPath()) : OwnOptionsFile();
    workbench::PanelColors panels;
    workbench::ReadOptions(platform::IniFile(path), Style, panels);
    TPanel* const displays[2] = {PanelY0, PanelY1};
    for (int c = 0; c < 2; ++c) {
        displays[c]->SetColor(panels.Background[c]);
        TFont font = displays[c]->Font();
        font.Color = panels.Text[c];
        displays[c]->SetFont(font);
    }
}

bool TForm1::SaveOptions() {
    workbench::PanelColors panels;
    panels.Background[0] = PanelY0->Color();
    panels.Background[1] = PanelY1->Color();
    panels.Text[0] = PanelY0->Font().Color;
    panels.Text[1] = PanelY1->Font().Color;
    platform::IniFile file(OwnOptionsFile());
    if (workbench::WriteOptions(file, Style, panels))
        return true;
    platform::MessageDlg("Impossible d'écrire dans " + file.FileName(), platform::MsgType::Error,
                         platform::MbOk);
    return false;
}

void TForm1::RAZparamsClick() {
    LoadOptions(true);
    SaveOptions();
    RepaintStyles(0);
}

void TForm1::Enregistreroptions1Click() {
    SaveOptions();
}

} // namespace kvel1
