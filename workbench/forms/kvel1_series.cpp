// The series controls of the "Tracé" group (selection buttons, series group
// boxes and their display check boxes), erasing one series, and the settings
// panel action.
#include "kvel1.h"

#include "core/Dialogs.h"
#include "model/SeriesRecord.h"

#include <algorithm>

namespace kvel1 {

namespace {

// Indices of the three display check boxes of one series and channel.
constexpr int Pale = 0;
constexpr int Line = 1;
constexpr int Points = 2;

// The group box of the newest or selected series is marked.
constexpr unsigned MarkedStyle = fsBold | fsItalic | fsUnderline;

} // namespace

void TForm1::BindSeriesHandlers() {
    for (int s = 0; s < workbench::MaxSeries; ++s) {
        for (int c = 0; c < workbench::ChannelCount; ++c)
            for (TCheckBox* box : CurveBoxes[s][c])
                box->OnClick = [this] { cbsClick(); };
    }
    BTS1->OnClick = [this] { BTS1Click(); };
    BTS2->OnClick = [this] { BTS2Click(); };
    BTS3->OnClick = [this] { BTS3Click(); };
    BTS4->OnClick = [this] { BTS4Click(); };
    GBS1->OnContextPopup = [this](int x, int y, bool& handled) { GBS1ContextPopup(x, y, handled); };
    GBS2->OnContextPopup = [this](int x, int y, bool& handled) { GBS2ContextPopup(x, y, handled); };
    GBS3->OnContextPopup = [this](int x, int y, bool& handled) { GBS3ContextPopup(x, y, handled); };
    GBS4->OnContextPopup = [this](int x, int y, bool& handled) { GBS4ContextPopup(x, y, handled); };
}

void TForm1::SetCurveBoxes(int series, bool pale, bool line, bool points) {
    for (int c = 0; c < workbench::ChannelCount; ++c) {
        CurveBoxes[series - 1][c][Pale]->SetChecked(pale);
        CurveBoxes[series - 1][c][Line]->SetChecked(line);
        CurveBoxes[series - 1][c][Points]->SetChecked(points);
    }
}

void TForm1::MarkSeriesBox(int marked) {
    const int shown = std::min<int>(MeasurementRecord.ShownSeries, workbench::MaxSeries);
    for (int s = 1; s <= shown; ++s) {
        TGroupBox* box = SeriesBoxes[s - 1];
        if (s == marked) {
            TFont font = box->Font();
            font.Style = MarkedStyle;
            box->SetFont(font);
        } else {
            box->SetFont(box->Parent()->Font());
        }
    }
}

void TForm1::UpdateSeriesControls() {
    const int shown = MeasurementRecord.ShownSeries;
    for (int s = 1; s <= workbench::MaxSeries; ++s) {
        const bool held = s <= shown;
        SeriesBoxes[s - 1]->SetVisible(held);
        SeriesButtons[s - 1]->SetVisible(held);
        if (held) {
            SetCurveBoxes(s, true, true, false);
            for (int c = 0; c < workbench::ChannelCount; ++c)
                Style.CurveWidth[s - 1][c] = 1;
        } else {
            SetCurveBoxes(s, false, false, false);
        }
    }
    if (shown < 1 || shown > workbench::MaxSeries)
        return; // no series: nothing to mark
    // The newest series in points only, every older one as a pale line.
    SetCurveBoxes(shown, false, false, true);
    // Pressed as a state only: the selection stays as the caller set it.
    SeriesButtons[shown - 1]->SetDown(true);
    MarkSeriesBox(shown);
}

void TForm1::SelectSeries(int series) {
    SelectedSeries = static_cast<uint8_t>(series);
    for (int s = 1; s <= workbench::MaxSeries; ++s) {
        if (s == series)
            SetCurveBoxes(s, false, true, true);
        else
            SetCurveBoxes(s, false, false, false);
    }
    MarkSeriesBox(series);
    if (AcqState == 0) {
        PaintBox1->Invalidate();
        if (Table->Visible())
            RefreshTable();
    }
}

void TForm1::BTS1Click() {
    SelectSeries(1);
}

void TForm1::BTS2Click() {
    SelectSeries(2);
}

void TForm1::BTS3Click() {
    SelectSeries(3);
}

void TForm1::BTS4Click() {
    SelectSeries(4);
}

void TForm1::cbsClick() {
    // During a measurement the acquisition redraws the graph itself.
    if (AcqState == 0)
        PaintBox1->Invalidate();
    for (int s = 0; s < workbench::MaxSeries; ++s)
        for (int c = 0; c < workbench::ChannelCount; ++c)
            StyleSamples[s][c]->Repaint();
}

void TForm1::ActionPanneauReglagesExecute() {
    if (PanelBoutons->Visible()) {
        PanelBoutons->SetVisible(false);
        ActionPanneauReglages->SetImageIndex(4);
    } else {
        PanelBoutons->SetVisible(true);
        ActionPanneauReglages->SetImageIndex(0);
    }
    FormResize();
}

void TForm1::AskEraseSeries(int n, bool& handled) {
    // No context menu opens on a series box, whatever follows.
    handled = true;
    if (AcqState != 0)
        return;
    const std::string question =
        "Voulez-vous effacer la série\r\nde mesures n° " + std::to_string(n) + " ?";
    if (platform::MessageDlg(question, platform::MsgType::Confirmation,
                             platform::MbYes | platform::MbNo,
                             "Confirmation") == platform::ModalResult::Yes)
        EraseSeries(n);
}

void TForm1::GBS1ContextPopup(int, int, bool& handled) {
    AskEraseSeries(1, handled);
}

void TForm1::GBS2ContextPopup(int, int, bool& handled) {
    AskEraseSeries(2, handled);
}

void TForm1::GBS3ContextPopup(int, int, bool& handled) {
    AskEraseSeries(3, handled);
}

void TForm1::GBS4ContextPopup(int, int, bool& handled) {
    AskEraseSeries(4, handled);
}

void TForm1::EraseSeries(int n) {
    if (MeasurementRecord.SeriesCount == 1) {
        // The only series: cleared with the others, after the save question.
        ActionRAZExecute();
        return;
    }
    const int before = MeasurementRecord.SeriesCount;
    if (!workbench::RemoveSeries(MeasurementRecord, n))
        return;
    // The manual lines belong to the series by number: they move down too.
    workbench::SeriesLine* lines = Graph.SeriesLines;
    std::move(lines + n, lines + before, lines + n - 1);
    for (int s = MeasurementRecord.SeriesCount + 1; s <= workbench::MaxSeries; ++s)
        lines[s - 1].Valid = 0;
    // The selection follows the new last series, whose button the controls
    // press, as after a load or a new measurement: it never names a slot
    // that holds no series. The table and the graph show the moved data.
    const uint8_t count = MeasurementRecord.SeriesCount;
    SelectedSeries = count;
    MeasuredSeries = std::min(MeasuredSeries, count);
    UpdateSeriesControls();
    if (Table->Visible())
        RefreshTable();
    PaintBox1->Invalidate();
}

} // namespace kvel1
