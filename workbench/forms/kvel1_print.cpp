// Printing the graph: one copy on half a page or a whole page, or two, four
// or six copies on a sheet with cut marks between them, drawn by the same
// code as the screen graph at the printer's resolution.
#include "WindowRules.h"
#include "kvel1.h"

#include "core/Dialogs.h"
#include "graph/Graph.h"
#include "graph/PrintPage.h"
#include "gui/Canvas.h"
#include "gui/Printers.h"

#include <QGuiApplication>

namespace kvel1 {

namespace {

// One cut mark: black, half the line scale wide (0: the thinnest line).
void PrintCutLine(TCanvas& canvas, int lineScale, const workbench::PrintStep& mark) {
    canvas.Pen.Color = clBlack;
    canvas.Pen.Style = psSolid;
    canvas.Pen.Width = workbench::CutMarkWidth(lineScale);
    canvas.MoveTo(mark.X1, mark.Y1);
    canvas.LineTo(mark.X2, mark.Y2);
}

} // namespace

void TForm1::PrintGraph(int layout) {
    if (layout < 0 || layout >= workbench::PrintLayoutCount)
        return;
    TPrinter* printer = Printer();
    printer->SetPrinterIndex(PrinterIndex);
    if (!platform::Dialogs().PrintSetup())
        return;
    PrinterIndex = printer->PrinterIndex();

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const TColor background = Style.BackgroundColor;
    const int32_t gridWidth = Style.GridWidth;
    const int32_t lineScale = Graph.LineScale;
    // Puts the screen's settings back and draws the screen graph again.
    auto restore = [&] {
        QGuiApplication::restoreOverrideCursor();
        Graph.LineScale = lineScale;
        Style.BackgroundColor = background;
        Style.GridWidth = gridWidth;
        Graph.PlotWidth = GraphBitmap->Width();
        Graph.PlotHeight = GraphBitmap->Height();
        PaintBox1->Repaint();
        GroupBoxTrace->Repaint();
    };
    Style.BackgroundColor = clWhite;
    Style.GridWidth = 1;
    Graph.LineScale = workbench::LineScaleForDpi(printer->Resolution());
    try {
        printer->SetOrientation(workbench::PrintLayoutLandscape(layout) ? poLandscape : poPortrait);
        printer->BeginDoc();
        TCanvas& canvas = *printer->Canvas();
        canvas.Pen.Color = clBlack;
        const workbench::PrintPagePlan plan =
            workbench::PlanPrintPage(layout, printer->PageWidth(), printer->PageHeight());
        Graph.PlotWidth = plan.CopyWidth;
        Graph.PlotHeight = plan.CopyHeight;
        SyncGraphState();
        for (const workbench::PrintStep& step : plan.Steps) {
            if (step.CutMark)
                PrintCutLine(canvas, Graph.LineScale, step);
            else
                workbench::DrawGraph(canvas, step.X1, step.Y1, plan.CopyWidth, plan.CopyHeight,
                                     Graph, Style, MeasurementRecord);
        }
        printer->EndDoc();
        // The screen keeps the print's settings while the notice is shown.
        platform::ShowMessage("Impression terminée");
    } catch (...) {
        printer->Abort();
        restore();
        throw;
    }
    restore();
}

void TForm1::portrait12page1Click() {
    PrintGraph(0);
}
void TForm1::portrait2page1Click() {
    PrintGraph(1);
}
void TForm1::N6parpageportrait1Click() {
    PrintGraph(2);
}
void TForm1::N1parpageportrait1Click() {
    PrintGraph(3);
}
void TForm1::N4parpagepaysage1Click() {
    PrintGraph(4);
}
void TForm1::N1parpagepaysage1Click() {
    PrintGraph(5);
}

} // namespace kvel1
