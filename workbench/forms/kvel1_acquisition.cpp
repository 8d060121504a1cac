// Acquisition settings (mode, sampling interval, number of measurements,
// trigger), the start of an acquisition, and the block and timed
// acquisitions.
#include "kvel1.h"

#include "BlockData.h"
#include "TimedData.h"
#include "WindowRules.h"
#include "core/Clock.h"
#include "core/Dialogs.h"
#include "graph/Graph.h"
#include "graph/GraphScale.h"
#include "gui/Canvas.h"
#include "model/Acquisition.h"
#include "model/TimeBase.h"
#include "tampon.h"

#include <algorithm>

using namespace tampon;

namespace kvel1 {

namespace {

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
    platform::ShowMessage(workbench::InterfaceSilentText);
}

bool TForm1::EndIfInterfaceStopped() {
    // One lost or late answer is not a dead interface: the link tells the
    // two apart right after the exchange.
    if (!InterfaceSilent())
        return false;
    EndOnSilentInterface();
    return true;
}

void TForm1::BeginLoop(uint8_t state) {
    AcqState = state;
    Timer->SetEnabled(false);
    SetLiveText(0, "");
    SetLiveText(1, "");
    ActionNouvelleMesure->SetEnabled(false);
    ActionFinMesures->SetEnabled(true);
}

std::unique_ptr<TWaitKeeper> TForm1::KeepAliveWhileWaiting(uint32_t run) {
    std::vector<QWidget*> admitted{GroupBoxSynchro};
    for (TAction* action : {ActionFinMesures, ActionValiderXY, ActionRevaliderXY})
        admitted.push_back(ActionToolBar2->ButtonFor(action));
    // "Tableau" stays usable during a measurement.
    admitted.push_back(ActionToolBar1->ButtonFor(ActionTable));
    return std::make_unique<TWaitKeeper>(
        [this, run] { return Acquiring == 0 || run != AcquisitionRuns; }, admitted,
        [this] { ActionFinMesures->Execute(); },
        // The validation keys of the manual loop, which waits most of its time.
        [this](uint16_t key, TShiftState shift) {
            if (key != VK_SPACE || AcqState != workbench::AcqManualXY)
                return false;
            FormKeyDown(key, shift);
            return true;
        });
}

void TForm1::RunBlockLoop(uint8_t state, bool rowFromRecord, bool resetEveryBlock, int series) {
    BeginLoop(state);
    const uint32_t run = AcquisitionRuns;
    const auto keeper = KeepAliveWhileWaiting(run);
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
        // A lost or cut block is skipped; the measurement ends only when the
        // interface has stopped answering.
        if (result == LinkResult::NoAnswer && EndIfInterfaceStopped())
            return;
        if (result == LinkResult::Answered) {
            workbench::StoreBlock(MeasurementRecord, MeasuredSeries, block, TimeStepMs, Elapsed);
            DrawAndShowGraph(GraphBitmap->Canvas());
        } else if (result == LinkResult::Busy) {
            Sleep(BusyRetryMs);
        }
        // No trigger yet, a block shown, or the wait ended by "Fin": the
        // user's clicks and keys run here, and may end the loop.
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
    const auto keeper = KeepAliveWhileWaiting(run);
    InitSeriesHeader(MeasuredSeries, AcqMode);

    while (Acquiring != 0) {
        SampleBlock block{};
        const LinkResult result = RequestBlock(*this, TimeBaseIndex, block);
        if (result == LinkResult::NoAnswer && EndIfInterfaceStopped())
            return;
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
        const int s = ValidSelectedSeries();
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

namespace {

// The longest stretch of a trigger pause without a look at the window's
// messages (the user's "Fin").
constexpr uint32_t TriggerSliceMs = 20;

} // namespace

bool TForm1::TriggerPause(uint32_t ms, uint8_t state, uint32_t run) {
    const uint32_t start = GetTickCount();
    for (;;) {
        Application->ProcessMessages();
        if (run != AcquisitionRuns || AcqState != state)
            return false;
        const uint32_t passed = GetTickCount() - start; // modulo 2^32
        if (passed >= ms)
            return true;
        Sleep(std::min(ms - passed, TriggerSliceMs));
    }
}

bool TForm1::SoftwareTriggerWait(int channel, uint32_t pauseMs, uint16_t giveUpRounds) {
    const int edge = RGfront->ItemIndex();
    if (edge != workbench::RisingEdge && edge != workbench::FallingEdge)
        return true;
    const uint8_t state = AcqState;
    const uint32_t run = AcquisitionRuns;
    uint16_t rounds = 0;
    for (;;) {
        uint16_t readings[3] = {};
        bool complete = true;
        for (int i = 0; i < 3; ++i) {
            if (i > 0 && !TriggerPause(pauseMs, state, run))
                return false;
            RawPair raw{};
            const LinkResult result = ReadRawPair(raw);
            if (result == LinkResult::NoAnswer && EndIfInterfaceStopped())
                return false;
            if (result == LinkResult::Answered)
                readings[i] = static_cast<uint16_t>(raw[channel == 1 ? 1 : 0]);
            else
                complete = false; // a round with a lost or refused reading does not trigger
        }
        ++rounds;
        if (complete && workbench::SoftwareTriggerHolds(edge, TriggerLevel, readings[0],
                                                        readings[1], readings[2]))
            return true;
        if (rounds > giveUpRounds)
            return true; // given up: the series starts untriggered
    }
}

void TForm1::PrepareTimedSeries(uint8_t state, TCanvas& canvas) {
    AcqState = state;
    // Also when a series starts again from a tick of its own timer: no old
    // period runs on.
    TimerYt->SetEnabled(false);
    TimerYY->SetEnabled(false);
    Timer->SetEnabled(false);
    RGVoie->SetEnabled(false);
    SetLiveText(1, "");
    SetLiveText(0, "");
    Elapsed = 0;
    InitSeriesHeader(MeasuredSeries, AcqMode);
    SampleIndex = 0;
    // The empty time frame of the mode's channels.
    SyncGraphState();
    workbench::DrawFrame(canvas, 0, 0, GraphBitmap->Width(), GraphBitmap->Height(), Graph, Style,
                         MeasurementRecord);
    ShowGraphBitmap();
}

bool TForm1::TimedTriggerWait(int channel, int pauseDivisor, int giveUpFactor) {
    const int row = MeasurementRecord.DeltaTIndex;
    if (!CBDec->Checked() || !workbench::IsValidTimeBaseIndex(row))
        return true;
    return SoftwareTriggerWait(
        channel, workbench::TriggerPauseMs(workbench::TimeBaseMs[row], pauseDivisor),
        workbench::TriggerGiveUpRounds(MeasurementRecord.MeasureCount, giveUpFactor));
}

bool TForm1::ReadTimedPoint(ValuePair& values, int firstPanel, int lastPanel) {
    NowTick = GetTickCount();
    if (Elapsed == 0)
        StartTick = NowTick;
    Elapsed = workbench::TickElapsedMs(StartTick, NowTick);

    const LinkResult result = ReadChannels(values);
    if (result == LinkResult::NoAnswer) {
        // This tick is skipped, and the series goes on unless the interface
        // has stopped answering.
        EndIfInterfaceStopped();
        return false;
    }
    if (result != LinkResult::Answered)
        return false; // refused: the next tick reads again
    if (TimeStepMs > 300)
        for (int c = firstPanel; c <= lastPanel; ++c)
            SetLiveText(c,
                        workbench::TimedPanelText(values[c], ChannelDecimals[c], ChannelUnit[c]));
    return true;
}

bool TForm1::StoreNextTimedPoint(const ValuePair& values) {
    const int n = SampleIndex + 1;
    if (!workbench::StoreTimedPoint(MeasurementRecord, MeasuredSeries, n, Elapsed, values[0],
                                    values[1]))
        return false;
    SampleIndex = n;
    Elapsed = 1; // later ticks keep the time origin
    DrawAndShowGraph(GraphBitmap->Canvas());
    return true;
}

void TForm1::StartTimedYt(TCanvas& canvas) {
    const int c = AcqMode == 1 ? 1 : 0;
    PrepareTimedSeries(workbench::AcqOneChannelTimed, canvas);
    RGvoieSynchro->SetItemIndex(c);
    RGvoieSynchro->SetEnabled(false);
    if (Table->Visible())
        RefreshTable();
    TimerYt->SetInterval(workbench::TimedIntervalMs(TimeStepMs));

    const uint32_t run = AcquisitionRuns;
    if (!TimedTriggerWait(c, 10, 4))
        return;
    // The first point at once.
    Elapsed = 0;
    TickTimedYt(c);
    if (run != AcquisitionRuns || AcqState != workbench::AcqOneChannelTimed)
        return; // ended by that point (the interface went silent)
    TimerYt->SetEnabled(true);
}

void TForm1::StartTimedYY(TCanvas& canvas) {
    PrepareTimedSeries(workbench::AcqTwoChannelTimed, canvas);
    RGvoieSynchro->SetEnabled(true);
    TimerYY->SetInterval(workbench::TimedIntervalMs(TimeStepMs));

    // The wait watches channel 0 whatever the trigger channel shows.
    if (!TimedTriggerWait(0, 4, 2))
        return;
    // The first point comes with the first tick, one interval later, dated 0.
    Elapsed = 0;
    TimerYY->SetEnabled(true);
}

void TForm1::TickTimedYt(int channel) {
    if (channel != 0 && channel != 1)
        return;
    ValuePair values{};
    if (!ReadTimedPoint(values, channel, channel))
        return;
    if (SampleIndex < NbMesures->Value() && StoreNextTimedPoint(values)) {
        if (TimeStepMs > 300 && Table->Visible())
            RefreshTable();
        return;
    }

    // The tick after the last point: the series is complete.
    if (CBmonoCoup->Checked())
        ActionFinMesuresExecute();
    else
        ActionRefaireMesureExecute();
}

void TForm1::TickTimedYY() {
    if (SampleIndex >= NbMesures->Value() || SampleIndex >= workbench::MaxPoints) {
        // The series is complete; nothing is read on this tick.
        if (CBmonoCoup->Checked()) {
            ActionFinMesuresExecute();
        } else if (MeasuredSeries == MeasurementRecord.SeriesCount &&
                   MeasurementRecord.SeriesCount >= 1) {
            // A new measurement counts the series again: the same number.
            --MeasurementRecord.SeriesCount;
            ActionNouvelleMesureExecute();
        } else {
            // An older series measured again: a new measurement would take
            // the newest one's place, so the same series is redone instead.
            ActionRefaireMesureExecute();
        }
        return;
    }

    ValuePair values{};
    if (ReadTimedPoint(values, 0, 1))
        StoreNextTimedPoint(values);
}

void TForm1::TimerYtTimer() {
    TickTimedYt(AcqMode);
}

void TForm1::TimerYYTimer() {
    TickTimedYY();
}

// The XY modes have no timed form: this timer never runs.
void TForm1::TimerXYTimer() {}

} // namespace kvel1
