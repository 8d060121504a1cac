// The main window's creation, the interface search, quitting, help and the
// about box.
#include "kvel1.h"

#include "About.h"
#include "WindowRules.h"
#include "core/Clock.h"
#include "core/Desktop.h"
#include "core/Dialogs.h"
#include "graph/Graph.h"
#include "gui/Canvas.h"
#include "model/MeasurementFile.h"
#include "model/TimeBase.h"
#include "tampon.h"

#include <QGuiApplication>
#include <QScreen>

using namespace tampon;
using namespace About;

namespace kvel1 {

namespace {

constexpr const char* NoDeviceQuestion =
    "L'interface de mesure n'est pas branchée\r\nconnectez-la avant de continuer";

int ScreenPixelsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(screen->logicalDotsPerInch()) : 96;
}

} // namespace

void TForm1::FormCreate() {
    // No cursor placed, no manual line drawn, the default printer.
    Graph.CursorPending1 = 1;
    Graph.CursorPending2 = 1;
    LineDrawing = 0;
    PrinterIndex = -1;

    // A measurement may run for hours unattended: the screen saver and the
    // display power-off stay off for the program's life.
    platform::DisableScreenSaver();

    // Nothing talks to the interface before it is found.
    Timer->SetEnabled(false);
    TimerYt->SetEnabled(false);
    TimerYY->SetEnabled(false);
    TimerXY->SetEnabled(false);

    // Live display, no acquisition, the first (fastest) interval, nothing drawn.
    InterfaceOpen = false;
    LiveMode = 1;
    Acquiring = 0;
    FastTimeBase = 1;
    GraphShown = 0;
    TimeStepMs = workbench::TimeBaseMs[0];
    TimeBaseIndex = 0;
    MeasuredSeries = 0;

    // The "Delta t" list: the block intervals, then the timed ones.
    FastTimeBases.assign(std::begin(workbench::FastTimeBases), std::end(workbench::FastTimeBases));
    SlowTimeBases.assign(std::begin(workbench::SlowTimeBases), std::end(workbench::SlowTimeBases));
    std::vector<std::string> all = FastTimeBases;
    all.insert(all.end(), SlowTimeBases.begin(), SlowTimeBases.end());
    CBdelta_t->Items.Assign(all);
    CBdelta_t->SetItemIndex(0);
    CBdelta_t->SetDropDownCount(21);

    // The control tables are filled at construction.
    SelectedSeries = 1;

    // Neutral sensor tables until the first identification.
    for (int c = 0; c < 2; ++c) {
        ChannelSlope[c] = 1.0f;
        ChannelOffset[c] = 0.0f;
        CalRawLow[c] = 0;
    }
    AcqMode = 0;

    // The graph's size and its off-screen bitmap.
    PaintWidth = static_cast<uint16_t>(PaintBox1->Width());
    PaintHeight = static_cast<uint16_t>(PaintBox1->Height());
    GraphMargin = 0;
    Graph.PlotWidth = PaintWidth - 2 * GraphMargin;
    Graph.PlotHeight = PaintHeight - 2 * GraphMargin;
    GraphBitmap->SetSize(Graph.PlotWidth, Graph.PlotHeight);

    // Margins, grids, pen widths.
    Graph.MarginLeft = 40;
    Graph.MarginBottom = 24;
    Style.GridOn[0] = Style.GridOn[1] = 1;
    Graph.LineScale = workbench::LineScaleForDpi(ScreenPixelsPerInch());

    // The graph area in the clear colour until something is drawn.
    TCanvas* paint = PaintBox1->Canvas();
    paint->Brush.Color = ClearColor;
    paint->Brush.Style = bsSolid;
    paint->FillRect(Rect(0, 0, PaintWidth, PaintHeight));
    PaintBox1->Invalidate();

    SetCaption(workbench::DetectingCaption);

    // Preset ranges of the sensor tables.
    for (int c = 0; c < 2; ++c) {
        StoredRangeHigh[c] = 10.0f;
        StoredRangeLow[c] = -10.0f;
        RangeHigh[c] = 10.0f;
        RangeLow[c] = -10.0f;
    }

    // The options file, read before anything is drawn with its colours.
    LoadOptions(false);

    // The measurement record: no series held, series 1 prepared.
    workbench::PresetMeasurementSet(MeasurementRecord);
    InterfaceOpen = false;
    ConnectGivenUp = false;
    InitSeriesHeader(1, 0);
    MeasurementRecord.SeriesCount = 0;

    // The interface search, with the user's help: asks again until an
    // interface is open or the user gives up.
    while (!InterfaceOpen && !ConnectGivenUp)
        ConnectInterface();

    // The empty graph frame once an interface answers; otherwise the caption
    // says that none was found.
    if (InterfaceOpen) {
        SyncGraphState();
        workbench::DrawFrame(GraphBitmap->Canvas(), 0, 0, GraphBitmap->Width(),
                             GraphBitmap->Height(), Graph, Style, MeasurementRecord);
        GraphShown = 1;
        PaintBox1->Invalidate();
    } else {
        SetCaption(workbench::NoInterfaceCaption);
    }

    // A file given on the command line is shown last, over the empty frame.
    LoadCommandLineFile();
}

void TForm1::ConnectInterface() {
    if (GetDeviceCount() <= 0) {
        const platform::ModalResult answer =
            platform::MessageDlg(NoDeviceQuestion, platform::MsgType::Warning,
                                 platform::MbOk | platform::MbCancel, "Attention");
        if (answer != platform::ModalResult::Ok)
            ConnectGivenUp = true;
        return;
    }
    switch (OpenFirstInterface()) {
    case OpenOutcome::NoDescription:
        // Listed but unreadable (no permission, busy, unplugged): said when
        // the driver knows why.
        ConnectGivenUp = true;
        if (!InterfaceFailureReason().empty())
            platform::ShowMessage(OpenFailureMessage());
        return;
    case OpenOutcome::OpenFailed:
        ConnectGivenUp = true;
        platform::ShowMessage(OpenFailureMessage());
        return;
    case OpenOutcome::Opened:
        break;
    }
    InterfaceOpen = true;
    DetectSensors();
}

void TForm1::ActionQuitterExecute() {
    Timer->SetEnabled(false);
    TimerYt->SetEnabled(false);
    Acquiring = 0;
    if (InterfaceOpen) {
        CloseInterface();
        InterfaceOpen = false;
    }
    platform::MessageBeep();
    platform::MessageBeep();
    Close();
}

void TForm1::FormClose(TCloseAction&) {
    // Closed by its frame while a measurement runs: end it first, so that no
    // loop or timer outlives the window.
    if (AcqState != 0 || Acquiring != 0) {
        ActionFinMesuresExecute();
        AcqState = 0;
        Acquiring = 0;
    }
    Timer->SetEnabled(false);
    TimerYt->SetEnabled(false);
    TimerYY->SetEnabled(false);
    TimerXY->SetEnabled(false);
}

void TForm1::ActionAide1Execute() {
    platform::ShowHelp();
}

void TForm1::ActionAproposExecute() {
    if (AboutBox)
        AboutBox->ShowModal();
}

} // namespace kvel1
