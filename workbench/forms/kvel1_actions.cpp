// The measurement actions of the right tool bar and the window's key handler
// (Space and Ctrl+Space validate manual XY points, Escape ends the measurements).
#include "kvel1.h"

#include "BlockData.h"
#include "core/Dialogs.h"
#include "model/TimeBase.h"

namespace kvel1 {

namespace {

bool IsSeries(int series) {
    return series >= 1 && series <= workbench::MaxSeries;
}

} // namespace

void TForm1::EnterMeasuringState(bool newMeasurement) {
    if (newMeasurement)
        Label12->SetCaption("");
    PopupMenu1->AutoPopup = false;
    PanelBTS->SetVisible(false);
    GroupBoxTrace->SetVisible(true);
    for (TAction* action : {ActionQuitter, ActionApropos, ActionNouvelleMesure, ActionRefaireMesure,
                            ActionLire, ActionRAZ, ActionCopierTableau, ActionCopierImage})
        action->SetEnabled(false);
    ActionFinMesures->SetEnabled(true);
    GraphShown = 0;
    RGVoie->SetEnabled(false);
    RGvoieSynchro->SetEnabled(false);
}

void TForm1::PrepareManualXY() {
    ActionValiderXY->SetVisible(true);
    ActionRevaliderXY->SetVisible(true);
    Acquiring = 1;
    RGvoieSynchro->SetEnabled(false);
    CBdelta_t->SetEnabled(false);
    CBdelta_t->SetItemIndex(0);
    NbMesures->SetEnabled(false);
    NbMesures->SetValue(workbench::BlockSize);
    if (IsSeries(MeasuredSeries))
        for (int c = 0; c < workbench::ChannelCount; ++c)
            CurveBoxes[MeasuredSeries - 1][c][1]->SetChecked(false);
}

void TForm1::ActionNouvelleMesureExecute() {
    EnterMeasuringState(true);
    if (MeasurementRecord.SeriesCount >= workbench::MaxSeries) {
        // Every series is taken: offer to save them and clear them; nothing
        // is measured now, the next new measurement takes series 1.
        if (!ActionRAZExecute()) {
            // The user kept the series (save dialog cancelled, or the file
            // could not be written): the window is given back as it was.
            ActionFinMesuresExecute();
            return;
        }
        MeasurementRecord.SeriesCount = 0;
        return;
    }
    const auto series = static_cast<uint8_t>(MeasurementRecord.SeriesCount + 1);
    MeasurementRecord.SeriesCount = series;
    MeasurementRecord.ShownSeries = series;
    MeasuredSeries = series;
    SelectedSeries = series;
    UpdateSeriesControls();
    RefreshTable();
    GroupBoxTrace->SetVisible(true);
    StartAcquisition();
}

void TForm1::ActionRefaireMesureExecute() {
    EnterMeasuringState(false);
    if (!IsSeries(SelectedSeries))
        SelectedSeries = 1;
    MeasuredSeries = SelectedSeries;
    MeasurementRecord.ShownSeries = SelectedSeries;
    MeasurementRecord.PointCount[SelectedSeries - 1] = 0;
    MeasurementRecord.XYPointCount[SelectedSeries - 1] = 0;
    RefreshTable();
    GroupBoxTrace->SetVisible(true);
    StartAcquisition();
}

void TForm1::ActionFinMesuresExecute() {
    PanelBTS->SetVisible(true);
    PopupMenu1->AutoPopup = true;
    AcqState = 0;
    Acquiring = 0;
    TimerYt->SetEnabled(false);
    TimerYY->SetEnabled(false);
    ActionFinMesures->SetEnabled(false);
    ActionValiderXY->SetVisible(false);
    ActionRevaliderXY->SetVisible(false);
    for (TAction* action : {ActionNouvelleMesure, ActionRefaireMesure, ActionQuitter, ActionApropos,
                            ActionCopierTableau, ActionCopierImage, ActionLire, ActionRAZ})
        action->SetEnabled(true);
    GraphShown = 1;
    RGVoie->SetEnabled(true);
    RGvoieSynchro->SetEnabled(true);
    if (workbench::IsFastTimeBaseIndex(TimeBaseIndex)) {
        FastTimeBase = 1;
        NbMesures->SetValue(workbench::BlockSize);
        NbMesures->SetEnabled(false);
    } else {
        FastTimeBase = 0;
        NbMesures->SetEnabled(true);
    }
    RefreshTable();
    Timer->SetEnabled(true);
    PaintBox1->Invalidate();
}

void TForm1::ActionValiderXYExecute() {
    if (!workbench::ValidateManualPoint(MeasurementRecord, MeasuredSeries, MeanY1, MeanY2)) {
        platform::MessageBeep(); // the series holds its 200 points
        return;
    }
    RefreshTable();
}

void TForm1::ActionRevaliderXYExecute() {
    if (!workbench::RevalidateManualPoint(MeasurementRecord, MeasuredSeries, MeanY1, MeanY2)) {
        platform::MessageBeep(); // no point validated yet: nothing to replace
        return;
    }
    RefreshTable();
}

void TForm1::FormKeyDown(uint16_t& key, TShiftState shift) {
    // Escape ends the measurements, as "Fin" does (nothing when none runs).
    if (key == VK_ESCAPE) {
        if (ActionFinMesures->Execute())
            key = 0;
        return;
    }
    if (key != VK_SPACE || AcqState != workbench::AcqManualXY)
        return;
    if ((shift & (ssShift | ssAlt | ssCtrl)) == ssCtrl)
        ActionRevaliderXYExecute();
    else
        ActionValiderXYExecute();
    key = 0;
}

} // namespace kvel1
