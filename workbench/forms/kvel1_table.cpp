// The measurement table and the clipboard copies of the table and the graph.
#include "kvel1.h"

#include "core/Dialogs.h"
#include "gui/Canvas.h"
#include "gui/Clipbrd.h"
#include "model/MeasurementTable.h"

namespace kvel1 {

namespace {

constexpr const char* TableCopied = "Le tableau de mesures\r\nest dans le presse-papiers";
constexpr const char* GraphCopied = "L'image du graphique\r\nest dans le presse-papiers";

} // namespace

void TForm1::RefreshTable() {
    const std::vector<workbench::TableRow> rows =
        workbench::MeasurementTableRows(MeasurementRecord, SelectedSeries, AcqMode);
    const int count = static_cast<int>(rows.size());
    Table->SetRowCount(count);
    for (int r = 0; r < count; ++r)
        for (int c = 0; c < workbench::TableColumns; ++c)
            Table->SetCells(c, r, rows[r][c]);
    // The newest point in view.
    Table->SetRow(count - 1);
    if (Table->Visible())
        Table->Invalidate();
}

void TForm1::ActionTableExecute() {
    RefreshTable();
    Table->SetVisible(!Table->Visible());
    ActionTable->SetChecked(Table->Visible());
    // The graph takes the room that the table leaves or gives up.
    FormResize();
    // Scrolled again now that the grid has its size on the screen.
    if (Table->Visible())
        Table->SetRow(Table->Row());
}

void TForm1::ActionCopierTableauExecute() {
    RefreshTable();
    // Built from the record, as the table shows it: every cell followed by a
    // tab, every line ended by CR LF.
    const std::string text = workbench::TableClipboardText(
        workbench::MeasurementTableRows(MeasurementRecord, SelectedSeries, AcqMode));
    Memo1->SetText(text);
    Clipboard()->SetAsText(text);
    platform::ShowMessage(TableCopied);
}

void TForm1::ActionCopierImageExecute() {
    // The graph as last drawn, at its place in the graph box; what was drawn
    // on the box only (a rubber line, a cursor placed since) is not in it.
    TBitmap picture(PaintBox1->Width(), PaintBox1->Height());
    TCanvas& canvas = picture.Canvas();
    canvas.Brush.Color = ClearColor;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(Rect(0, 0, picture.Width(), picture.Height()));
    canvas.Draw(GraphMargin, GraphMargin, *GraphBitmap);
    Clipboard()->Assign(picture);
    platform::ShowMessage(GraphCopied);
}

} // namespace kvel1
