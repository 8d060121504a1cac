// Acquisition settings (mode, sampling interval, number of measurements,
// trigger), the start of an acquisition, and the block and timed
// acquisitions.
#include "kvel1.h"

#include "BlockData.h"
#include "core/Clock.h"
#include "core/Dialogs.h"
#include "graph/Graph.h"
#include "graph/GraphScale.h"
#include "gui/Canvas.h"
#include "model/Acquisition.h"
#include "model/TimeBase.h"
#include "tampon.h"

namespace {

constexpr const char* InterfaceSilentMessage = "L'interface de mesure ne répond plus.";

// A refused exchange (another one under way) is asked again after this pause.
constexpr uint32_t BusyRetryMs = 10;

} // namespace

// ------------------------------------------------------ acquisition settings

void TForm1::ShowLevelText(int channel) {
    const int c = channel == 1 ? 1 : 0;
    Pnivdec->SetCaption(workbench::TriggerLevelText(TriggerLevel, ChannelSlope[c], ChannelOffset[c],
                                                    ChannelDecimals[c], ChannelUnit[c]));
}

void TForm1::RGVoieClick() {
    const int index = RGVoie->ItemIndex();
    if (index < 0 || index >= RGVoie->Items.Count())
        return;
    const int mode = workbench::AcqModeOfItem(RGVoie->Items[index]);
    if (mode < 0)
        return;

    CBdelta_t->Items.Clear();
    AcqMode = mode;
    const bool live = LiveMode == 1;

    // The interval list: the fast intervals only in XY, none in "man.".
    if (mode == workbench::ModeXY) {
        CBdelta_t->Items.Assign(FastTimeBases);
        CBdelta_t->SetDropDownCount(workbench::FastTimeBaseCount);
    } else if (mode != workbench::ModeManual) {
        LoadAllTimeBases();
    }
    PanelMinMax0->SetVisible(mode != workbench::ModeY2);
    PanelMinMax1->SetVisible(mode != workbench::ModeY1);
    if (live && mode != workbench::ModeManual) {
        // The trigger on the mode's channel (channel 0 for YY and XY, where
        // it can be chosen), at the count whose value is 0.
        const int c = mode == workbench::ModeY2 ? 1 : 0;
        RGvoieSynchro->SetItemIndex(c);
        TriggerChannel = c;
        TriggerLevel = workbench::ZeroCountLevel(ChannelSlope[c], ChannelOffset[c]);
        RGvoieSynchro->SetEnabled(mode == workbench::ModeYY || mode == workbench::ModeXY);
        CBdelta_t->SetEnabled(true);
        GroupBoxSynchro->SetVisible(true);
        GroupBoxTemps->SetVisible(true);
        if (mode == workbench::ModeXY)
            ResetRangeToSensor();
    }

    if (!live || mode == workbench::ModeManual) {
        GroupBoxSynchro->SetVisible(false);
        GroupBoxTemps->SetVisible(false);
    }
    if (Table->Visible())
        RefreshTable();
    CBmonoCoup->SetVisible(true);
    if (mode == workbench::ModeManual && live) {
        RGvoieSynchro->SetEnabled(false);
        CBmonoCoup->SetVisible(false);
        CBmonoCoup->SetChecked(false);
        ResetRangeToSensor();
    }

    ShowLevelText(TriggerChannel);
    FormResize();
    PaintBox1->Invalidate();
}

void TForm1::CBdelta_tCloseUp() {
    const int index = CBdelta_t->ItemIndex();
    // Closed with no interval chosen (right after a mode change): the
    // settings stay as they are.
    if (!workbench::IsValidTimeBaseIndex(index))
        return;

    const bool wasRunning = AcqState != 0;
    if (wasRunning)
        ActionFinMesuresExecute();

    CBdelta_t->SetItemIndex(index);
    if (index >= workbench::FastTimeBaseCount) {
        FastTimeBase = 0;
        NbMesures->SetEnabled(true);
        CBDec->SetChecked(false);
    } else {
        FastTimeBase = 1;
        NbMesures->SetValue(workbench::BlockSize);
        NbMesures->SetEnabled(false);
    }
    TimeBaseIndex = index;
    TimeStepMs = workbench::TimeBaseMs[index];
    LabelDuree->SetCaption(workbench::DurationText(NbMesures->Value(), TimeStepMs));
    MeasurementRecord.DeltaTIndex = static_cast<uint8_t>(index);

    if (wasRunning)
        ActionRefaireMesureExecute();
    else
        PaintBox1->Invalidate();
}

void TForm1::NbMesuresChange() {
    MeasurementRecord.MeasureCount = NbMesures->Value();
    LabelDuree->SetCaption(workbench::DurationText(NbMesures->Value(), TimeStepMs));
    if (AcqState == 0)
        PaintBox1->Invalidate();
}

void TForm1::RGvoieSynchroClick() {
    TriggerChannel = RGvoieSynchro->ItemIndex() == 1 ? 1 : 0;
    ShowLevelText(TriggerChannel);
}

void TForm1::SBnivdecDownClick() {
    TriggerLevel = workbench::TriggerLevelDown(TriggerLevel);
    ShowLevelText(RGvoieSynchro->ItemIndex());
}

void TForm1::SBnivdecUpClick() {
    TriggerLevel = workbench::TriggerLevelUp(TriggerLevel);
    ShowLevelText(RGvoieSynchro->ItemIndex());
}

void TForm1::LoadAllTimeBases() {
    std::vector<std::string> all = FastTimeBases;
    all.insert(all.end(), SlowTimeBases.begin(), SlowTimeBases.end());
    CBdelta_t->Items.Assign(all);
    CBdelta_t->SetDropDownCount(21);
}

void TForm1::ResetRangeToSensor() {
    if (SelectedSeries < 1 || SelectedSeries > workbench::MaxSeries)
        return;
    const int s = SelectedSeries - 1;
    for (int c = 0; c < workbench::ChannelCount; ++c) {
        MeasurementRecord.DisplayMax[s][c] = MeasurementRecord.SensorMax[s][c];
        MeasurementRecord.DisplayMin[s][c] = MeasurementRecord.SensorMin[s][c];
    }
}

void TForm1::StartAcquisition() {
    using workbench::AcqStart;
    // A block loop under way (this start runs inside its message
    // processing) leaves the window to this acquisition, whatever it is.
    ++AcquisitionRuns;
    switch (workbench::AcquisitionFor(AcqMode, FastTimeBase == 1)) {
    case AcqStart::BlockYt:
        Acquiring = 1;
        RunBlockYt();
        break;
    case AcqStart::BlockYY:
        Acquiring = 1;
        RGvoieSynchro->SetEnabled(true);
        RunBlockYY();
        break;
    case AcqStart::BlockXY:
        Acquiring = 1;
        RGvoieSynchro->SetEnabled(true);
        RunBlockXY();
        break;
    case AcqStart::ManualXY:
        PrepareManualXY(); // Acquiring := 1 among the rest
        RunManualXY(GraphBitmap->Canvas());
        break;
    case AcqStart::TimedYt:
        StartTimedYt(GraphBitmap->Canvas());
        break;
    case AcqStart::TimedYY:
        StartTimedYY(GraphBitmap->Canvas());
        break;
    case AcqStart::Nothing:
        break;
    }
}

// ---------------------------------------------------------- block acquisitions

namespace {

// One block with the timing bytes of row and the window's trigger settings:
// channel and edge from their radio groups, the level only when "Déclenché"
// is checked.
LinkResult RequestBlock(TForm1& form, int row, SampleBlock& block) {
    const int r = workbench::BlockRowFor(row);
    const uint16_t level = form.CBDec->Checked() ? form.TriggerLevel : 0;
    const uint8_t channel = form.RGvoieSynchro->ItemIndex() == 1 ? 1 : 0;
    const uint8_t edge = form.RGfront->ItemIndex() == 1 ? 1 : 0;
    return AcquireBlock(workbench::BlockCodeA[r], workbench::BlockCodeB[r],
                        workbench::BlockCodeC[r], channel, level, edge, block);
}

} // namespace

void TForm1::DrawAndShowGraph(TCanvas& canvas) {
    SyncGraphState();
    workbench::DrawGraph(canvas, 0, 0, GraphBitmap->Width(), GraphBitmap->Height(), Graph, Style,
                         MeasurementRecord);
    ShowGraphBitmap();
}

void TForm1::EndOnSilentInterface() {
    ActionFinMesuresExecute();
    // The live tick would only fail again and again: it waits for the next
    // measurement or "Enregistrer".
    Timer->SetEnabled(false);
    platform::ShowMessage(InterfaceSilentMessage);
}

void TForm1::BeginLoop(uint8_t state) {
    AcqState = state;
    Timer->SetEnabled(false);
    SetLiveText(0, "");
    SetLiveText(1, "");
    ActionNouvelleMesure->SetEnabled(false);
    ActionFinMesures->SetEnabled(true);
}

void TForm1::RunBlockLoop(uint8_t state, bool rowFromRecord, bool resetEveryBlock, int series) {
    BeginLoop(state);
    const uint32_t run = AcquisitionRuns;
    if (!resetEveryBlock)
        InitSeriesHeader(series, AcqMode);

    while (Acquiring != 0) {
        if (resetEveryBlock) {
            InitSeriesHeader(series, AcqMode);
            SetLiveText(0, "");
            SetLiveText(1, "");
        }
        const int row = rowFromRecord ? MeasurementRecord.DeltaTIndex : TimeBaseIndex;
        SampleBlock block{};
        const LinkResult result = RequestBlock(*this, row, block);
        if (result == LinkResult::NoAnswer) {
            EndOnSilentInterface();
            return;
        }
        if (result == LinkResult::Answered) {
            workbench::StoreBlock(MeasurementRecord, MeasuredSeries, block, TimeStepMs, Elapsed);
            DrawAndShowGraph(GraphBitmap->Canvas());
        } else if (result == LinkResult::Busy) {
            Sleep(BusyRetryMs);
        }
        // No trigger yet, or a block shown: the user's clicks and keys run
        // here, and may end the loop.
        Application->ProcessMessages();
        if (run != AcquisitionRuns)
            return; // an acquisition started in there has the window now
        if (result == LinkResult::Answered && CBmonoCoup->Checked())
            ActionFinMesuresExecute();
    }
    Timer->SetEnabled(true);
}

void TForm1::RunBlockYt() {
    RunBlockLoop(workbench::AcqOneChannelBlock, true, false, SelectedSeries);
}

void TForm1::RunBlockYY() {
    RunBlockLoop(workbench::AcqTwoChannelBlock, false, true, MeasuredSeries);
}

void TForm1::RunBlockXY() {
    RunBlockLoop(workbench::AcqXYBlock, false, false, MeasuredSeries);
}

void TForm1::RunManualXY(TCanvas& canvas) {
    BeginLoop(workbench::AcqManualXY);
    const uint32_t run = AcquisitionRuns;
    InitSeriesHeader(MeasuredSeries, AcqMode);

    while (Acquiring != 0) {
        SampleBlock block{};
        const LinkResult result = RequestBlock(*this, TimeBaseIndex, block);
        if (result == LinkResult::NoAnswer) {
            EndOnSilentInterface();
            return;
        }
        if (result == LinkResult::Busy)
            Sleep(BusyRetryMs);
        // The validation keys and actions run here: they store the means
        // shown, those of the block before this one.
        Application->ProcessMessages();
        if (run != AcquisitionRuns)
            return;
        if (result != LinkResult::Answered)
            continue;

        workbench::StoreBlock(MeasurementRecord, MeasuredSeries, block, TimeStepMs, Elapsed);
        const workbench::ManualMeans means = workbench::BlockManualMeans(block);
        MeanY1 = means.Y1;
        MeanY2 = means.Y2;
        const int s =
            SelectedSeries >= 1 && SelectedSeries <= workbench::MaxSeries ? SelectedSeries : 1;
        // In the live display panels, whose font is made smaller when a mean
        // would not fit (an out-of-range mean is written in exponent form).
        auto meanText = [&](float mean, int c) {
            return workbench::ManualMeanText(mean, MeasurementRecord.SeriesDecimals[s - 1][c],
                                             workbench::SeriesUnitText(MeasurementRecord, s, c));
        };
        SetLiveText(1, meanText(MeanY2, 1));
        SetLiveText(0, meanText(MeanY1, 0));
        DrawAndShowGraph(canvas);
        // The pause between blocks; the window stays still meanwhile. After
        // the end of the measurements there is nothing left to wait for.
        if (Acquiring != 0)
            Sleep(500);
    }
    Timer->SetEnabled(true);
}

// ---------------------------------------------------------- timed acquisitions

void TForm1::StartTimedYt(TCanvas&) {}

void TForm1::StartTimedYY(TCanvas&) {}

void TForm1::TickTimedYt(int) {}

void TForm1::TickTimedYY() {}

void TForm1::TimerYtTimer() {}

void TForm1::TimerYYTimer() {}

void TForm1::TimerXYTimer() {}
