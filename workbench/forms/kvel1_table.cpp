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

// Puts the rows in the grid, the newest point in view.
void ShowRows(TStringGrid& table, const std::vector<workbench::TableRow>& rows) {
    const int count = static_cast<int>(rows.size());
    table.SetRowCount(count);
    for (int r = 0; r < count; ++r)
        for (int c = 0; c < workbench::TableColumns; ++c)
            table.SetCells(c, r, rows[r][c]);
    table.SetRow(count - 1);
    if (table.Visible())
        table.Invalidate();
}

} // namespace

void TForm1::RefreshTable() {
    ShowRows(*Table, workbench::MeasurementTableRows(MeasurementRecord, SelectedSeries, AcqMode));
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
    // The rows the table shows: every cell followed by a tab, every line
    // ended by CR LF.
    const std::vector<workbench::TableRow> rows =
        workbench::MeasurementTableRows(MeasurementRecord, SelectedSeries, AcqMode);
    ShowRows(*Table, rows);
    const std::string text = workbench::TableClipboardText(rows);
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
