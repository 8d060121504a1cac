// The measurement record's series header, "Enregistrer", "Lire" and the file
// named on the command line.
#include "kvel1.h"

#include "ProgramArguments.h"
#include "core/Dialogs.h"
#include "model/MeasurementFile.h"

#include <filesystem>

using namespace kestrova;

namespace kvel1 {

namespace {

constexpr const char* SaveQuestion = "Voulez-vous enregistrer les mesures\ravant de les effacer";
constexpr const char* ReplaceQuestion =
    "Voulez-vous remplacer les mesures affichées\rpar celles que vous allez charger ?";
constexpr const char* SaveFailed = "Echec d'enregistrement";
constexpr const char* LoadFailed = "Echec de chargement";

platform::FileDialogRequest SaveDialog1() {
    platform::FileDialogRequest request;
    request.Title = "Enregistrement des mesures";
    request.DefaultExt = "mrs";
    request.Filter = "Série de mesures (.mrs)|*.mrs";
    // No name proposed: the user types one (the filter shows the ".mrs" files).
    return request;
}

platform::FileDialogRequest OpenDialog1() {
    platform::FileDialogRequest request;
    request.DefaultExt = "mrs";
    request.Filter = "série de mesures|*.mrs;*.MRS";
    request.FileName = "*.mrs";
    return request;
}

std::string NameWithoutDirectory(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

} // namespace

void TForm1::InitSeriesHeader(int series, int mode) {
    workbench::InitSeriesHeader(MeasurementRecord, series, mode, NbMesures->Value(), TimeBaseIndex);
}

bool TForm1::ActionRAZExecute() {
    const platform::ModalResult answer =
        platform::MessageDlg(SaveQuestion, platform::MsgType::Confirmation,
                             platform::MbYes | platform::MbNo, "Confirmation");
    if (answer == platform::ModalResult::Yes) {
        std::string fileName;
        // Cancelling the dialog after "Oui" keeps the series: the user
        // wanted them saved.
        const platform::FileDialogRequest request = SaveDialog1();
        if (!platform::Dialogs().SaveFile(request, fileName))
            return false;
        // A name without extension gets ".mrs"; a pattern ("*.mrs") is never
        // written as a file's name.
        fileName = platform::WithDefaultExt(fileName, request.DefaultExt);
        if (platform::IsFilterPattern(NameWithoutDirectory(fileName)) ||
            workbench::SaveMeasurementFile(MeasurementRecord, fileName) !=
                workbench::SaveResult::Saved) {
            platform::MessageDlg(SaveFailed, platform::MsgType::Warning, platform::MbOk,
                                 "Avertissement");
            return false;
        }
    }

    Label12->SetCaption("");
    LiveMode = 1;
    MeasurementRecord.SeriesCount = 0;
    MeasurementRecord.ShownSeries = 0;
    SelectedSeries = 1;
    MeasuredSeries = 0;
    RGVoie->SetVisible(false);
    for (workbench::SeriesLine& line : Graph.SeriesLines) {
        line.Valid = 0;
        line.Label.clear();
    }

    if (InterfaceOpen) {
        ActionAfficheurs->SetEnabled(true);
        ActionAffGeants->SetEnabled(true);
        DetectSensors();
        Timer->SetEnabled(true);
        RGVoie->SetVisible(true);
    }

    GroupBoxTrace->SetVisible(false);
    PaintBox1->Invalidate();
    return true;
}

void TForm1::ActionLireExecute() {
    const int shown = MeasurementRecord.ShownSeries;
    if (shown >= 1 && shown <= workbench::MaxSeries &&
        MeasurementRecord.PointCount[shown - 1] >= 1) {
        const platform::ModalResult answer =
            platform::MessageDlg(ReplaceQuestion, platform::MsgType::Confirmation,
                                 platform::MbYes | platform::MbNo, "Confirmation");
        if (answer != platform::ModalResult::Yes)
            return;
    }
    std::string fileName;
    if (!platform::Dialogs().OpenFile(OpenDialog1(), fileName))
        return;

    LeaveLiveDisplay();
    GroupBoxTrace->SetVisible(false);
    Label12->SetCaption(NameWithoutDirectory(fileName));

    // The record changes only when the whole file is accepted.
    if (workbench::LoadMeasurementFile(fileName, MeasurementRecord) !=
        workbench::LoadResult::Loaded) {
        platform::MessageDlg(LoadFailed, platform::MsgType::Warning, platform::MbOk,
                             "Avertissement");
        return;
    }
    ShowLoadedRecord();
    RefreshTable();
}

void TForm1::LoadCommandLineFile() {
    if (ParamCount() < 1)
        return;
    const workbench::CommandLineFile file = workbench::InspectCommandLineFile(ParamStr(1));
    if (!file.Exists)
        return;
    Label12->SetCaption(file.FileName);
    if (!file.Load)
        return;
    if (workbench::LoadMeasurementFile(file.Path, MeasurementRecord) !=
        workbench::LoadResult::Loaded)
        return; // refused silently

    // A loaded file is shown until "Enregistrer": the live tick would
    // otherwise rewrite its headers when a sensor changes.
    LeaveLiveDisplay();
    ShowLoadedRecord();
    PaintBox1->Invalidate();
}

void TForm1::LeaveLiveDisplay() {
    Timer->SetEnabled(false);
    SetLiveText(0, "");
    SetLiveText(1, "");
    ActionNouvelleMesure->SetEnabled(false);
    ActionAfficheurs->SetEnabled(false);
    ActionAffGeants->SetEnabled(false);
    if (PanelAfficheurs->Visible()) {
        PanelAfficheurs->SetVisible(false);
        LayOut();
    }
}

void TForm1::ShowLoadedRecord() {
    LiveMode = 0;
    const uint8_t count = MeasurementRecord.SeriesCount;
    MeasurementRecord.ShownSeries = count;
    MeasuredSeries = count;
    SelectedSeries = count;
    // Selecting "Y1" runs the mode choice (AcqMode 0 and the settings panel)
    // as a user's click does, also when "Y1" was already the selected item.
    RGVoie->SetItemIndex(-1);
    RGVoie->Items.Assign({"Y1", "Y2", "YY", "XY", "man."});
    RGVoie->SetItemIndex(0);
    AcqState = 0;
    UpdateSeriesControls();
    PanelBTS->SetVisible(true);
    GroupBoxTrace->SetVisible(true);
    RGVoie->SetEnabled(true);
    RGVoie->SetVisible(true);
    GraphShown = 1; // also without interface: the file is shown
}

} // namespace kvel1
