// The graph box's mouse: the values under the pointer in the status bar, the
// two period cursors placed with Ctrl-clicks on a time graph, and the line
// drawn over the manual XY points with its slope label.
#include "kvel1.h"

#include "graph/GraphScale.h"
#include "graph/Readouts.h"
#include "gui/Canvas.h"
#include "model/Acquisition.h"

#include <algorithm>
#include <cstdlib>

namespace kvel1 {

namespace {

bool IsTimeMode(int mode) {
    return mode == workbench::ModeY1 || mode == workbench::ModeY2 || mode == workbench::ModeYY;
}

// Half-length and height of the period arrow's heads, pixels (not scaled).
constexpr int ArrowHead = 6;
constexpr int ArrowSpread = 8;

} // namespace

void TForm1::BindCursorHandlers() {
    PaintBox1->OnMouseMove = [this](TShiftState shift, int x, int y) {
        PaintBox1MouseMove(shift, x, y);
    };
    PaintBox1->OnMouseDown = [this](TMouseButton button, TShiftState shift, int x, int y) {
        PaintBox1MouseDown(button, shift, x, y);
    };
    PaintBox1->OnMouseUp = [this](TMouseButton button, TShiftState shift, int x, int y) {
        PaintBox1MouseUp(button, shift, x, y);
    };
}

void TForm1::PaintBox1MouseMove(TShiftState shift, int x, int y) {
    if (GraphShown == 0) {
        StatusBar1->SetSimpleText("");
        return;
    }
    const int s = ValidSelectedSeries();
    const std::string text = workbench::PointerReadoutText(Graph, MeasurementRecord, AcqMode, s, x,
                                                           y, PaintWidth, PaintHeight, GraphMargin);
    if (AcqMode == workbench::ModeManual && LineDrawing == 1 && (shift & ssLeft) == 0) {
        // The release never came (a box opened during the drag): no line is
        // drawn any more, and the graph shows without the rubber line.
        LineDrawing = 0;
        PaintBox1->Repaint();
    } else if (AcqMode == workbench::ModeManual && LineDrawing == 1) {
        // The rubber line, on the box only: drawing the old one again
        // erases it.
        TCanvas& canvas = *PaintBox1->Canvas();
        const TPenMode mode = canvas.Pen.Mode;
        canvas.Pen.Mode = pmNotXor;
        canvas.Pen.Width = 1;
        canvas.Pen.Style = psSolid;
        canvas.Pen.Color = Style.CurveColor[s - 1][0];
        canvas.MoveTo(LineStart.X, LineStart.Y);
        canvas.LineTo(LineEnd.X, LineEnd.Y);
        LineEnd = {x, y};
        canvas.MoveTo(LineStart.X, LineStart.Y);
        canvas.LineTo(LineEnd.X, LineEnd.Y);
        canvas.Pen.Mode = mode;
    }
    StatusBar1->SetSimpleText(text);
}

void TForm1::PaintBox1MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (GraphShown == 0)
        return;
    if (IsTimeMode(AcqMode) && (shift & ssCtrl) != 0) {
        PlacePeriodCursor(x);
    } else if (button != mbRight) {
        // A plain click (any click in the XY modes) takes both cursors away.
        Graph.CursorPending1 = 1;
        Graph.CursorPending2 = 1;
        PaintBox1->Repaint();
    }
    if (AcqMode == workbench::ModeManual && button == mbLeft) {
        // A press always starts a line, also when the release of the last
        // one never came (a box opened during the drag).
        LineStart = {x, y};
        LineEnd = {x, y};
        LineDrawing = 1;
    }
}

void TForm1::PaintBox1MouseUp(TMouseButton button, TShiftState, int x, int y) {
    if (GraphShown == 0 || AcqMode != workbench::ModeManual || button != mbLeft || LineDrawing == 0)
        return;
    LineDrawing = 0;
    const int s = ValidSelectedSeries();
    TCanvas& canvas = *PaintBox1->Canvas();
    const TPenMode mode = canvas.Pen.Mode;
    canvas.Pen.Mode = pmCopy;
    canvas.MoveTo(LineStart.X, LineStart.Y);
    canvas.LineTo(x, y);
    canvas.Pen.Mode = mode;

    // Without a scale there is nothing to store: the repaint takes the
    // segment away.
    if (std::optional<workbench::SeriesLine> line =
            workbench::ManualLineFromPixels(Graph, GraphMargin, LineStart.X, LineStart.Y, x, y)) {
        line->Label =
            workbench::SlopeLabel(s, workbench::SeriesUnitText(MeasurementRecord, s, 0),
                                  workbench::SeriesUnitText(MeasurementRecord, s, 1), *line);
        Graph.SeriesLines[s - 1] = *line;
    }
    PaintBox1->Repaint();
}

void TForm1::PlacePeriodCursor(int x) {
    const std::optional<double> t = workbench::CursorTimeMs(Graph, x, GraphMargin);
    if (!t)
        return; // no time scale: nothing placed
    const bool first = Graph.CursorPending1 != 0;
    if (!first && Graph.CursorPending2 == 0)
        return; // both placed: a third Ctrl-click changes nothing
    TCanvas& canvas = *PaintBox1->Canvas();
    canvas.Pen.Mode = pmCopy;
    canvas.Pen.Style = psSolid;
    canvas.Pen.Width = 1;
    canvas.Pen.Color = clBlack;
    canvas.MoveTo(x, 0);
    canvas.LineTo(x, PaintBox1->Height());
    if (first) {
        Graph.CursorPending1 = 0;
        Graph.CursorX1 = x;
        Graph.CursorT1 = *t;
        return;
    }
    Graph.CursorPending2 = 0;
    Graph.CursorX2 = x;
    Graph.CursorT2 = *t;
    ShowPeriod(canvas);
}

void TForm1::ShowPeriod(TCanvas& canvas) {
    const int x1 = Graph.CursorX1;
    const int x2 = Graph.CursorX2;
    const int mb = Graph.MarginBottom;
    const int a = mb + 4;
    // The double arrow, pixel sizes that do not follow the line scale.
    canvas.Pen.Width = 2;
    canvas.MoveTo(x1, a);
    canvas.LineTo(x2, a);
    for (const int x : {x1, x2}) {
        const int head = x == x1 ? x1 + ArrowHead : x2 - ArrowHead;
        canvas.MoveTo(x, a);
        canvas.LineTo(head, mb);
        canvas.MoveTo(x, a);
        canvas.LineTo(head, mb + ArrowSpread);
    }

    // T and f centred between the cursors, just under the arrow. Two cursors
    // at one pixel give T = 0 and no frequency.
    const double period = workbench::CursorPeriodMs(Graph, x1, x2).value_or(0);
    const std::string periodText = workbench::PeriodText(period, Graph.TimeInSeconds != 0);
    const std::string frequencyText = workbench::FrequencyText(period);
    canvas.Font = GraphBitmap->Canvas().Font;
    canvas.Brush.Color = Style.BackgroundColor;
    canvas.Brush.Style = bsSolid;
    canvas.Font.Color = clBlack;
    const int spread = std::abs(x2 - x1);
    const int x = std::min(x1, x2) + (spread - canvas.TextWidth(periodText)) / 2;
    const int y = mb + ArrowSpread;
    canvas.TextOut(x, y, periodText);
    if (!frequencyText.empty())
        canvas.TextOut(x, y + canvas.TextHeight(frequencyText), frequencyText);
}

} // namespace kvel1
