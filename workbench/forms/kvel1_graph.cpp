// The graph box: its painting from the off-screen graph bitmap.
#include "kvel1.h"

#include "graph/Graph.h"
#include "gui/Canvas.h"

namespace kvel1 {

int TForm1::ValidSelectedSeries() const {
    return SelectedSeries >= 1 && SelectedSeries <= workbench::MaxSeries ? SelectedSeries : 1;
}

void TForm1::SyncGraphState() {
    Graph.AcqMode = AcqMode;
    Graph.AcqState = AcqState;
    Graph.SelectedSeries = ValidSelectedSeries();
    for (int s = 0; s < workbench::MaxSeries; ++s)
        for (int c = 0; c < workbench::ChannelCount; ++c) {
            workbench::CurveSwitch& sw = Style.Switches[s][c];
            sw.Pale = CurveBoxes[s][c][0]->Checked();
            sw.Line = CurveBoxes[s][c][1]->Checked();
            sw.Points = CurveBoxes[s][c][2]->Checked();
        }
}

void TForm1::PaintBox1Paint(TCanvas& canvas) {
    // During an acquisition the loop or the timer keeps the bitmap up to
    // date: a repaint only shows it.
    if (AcqState == 0) {
        if (GraphShown == 0 && !InterfaceOpen) {
            // No interface and no file shown yet: the area stays in the clear
            // colour, without frame. With the interface, the empty frame
            // stands even while a measurement that started nothing waits for
            // its end.
            canvas.Brush.Color = ClearColor;
            canvas.Brush.Style = bsSolid;
            canvas.FillRect(Rect(0, 0, PaintBox1->Width(), PaintBox1->Height()));
            return;
        }
        SyncGraphState();
        TCanvas& bitmap = GraphBitmap->Canvas();
        const int s = Graph.SelectedSeries - 1;
        if (MeasurementRecord.PointCount[s] == 0)
            workbench::DrawFrame(bitmap, 0, 0, GraphBitmap->Width(), GraphBitmap->Height(), Graph,
                                 Style, MeasurementRecord);
        else
            workbench::DrawGraph(bitmap, 0, 0, GraphBitmap->Width(), GraphBitmap->Height(), Graph,
                                 Style, MeasurementRecord);
    }
    canvas.Draw(GraphMargin, GraphMargin, *GraphBitmap);
}

void TForm1::ShowGraphBitmap() {
    // During an acquisition the paint handler copies the bitmap at once.
    // Once idle (the measurements ended while the loop ran) it draws the
    // graph afresh at the next paint, and copies that.
    if (AcqState != 0)
        PaintBox1->Repaint();
    else
        PaintBox1->Invalidate();
}

} // namespace kvel1
