// The string grid's current row, set after rows were added to a grid on the
// screen, lies wholly in view once the grid has shown the scroll bars that the
// new rows call for.
#include "gui/ComCtrls.h"
#include "gui/Forms.h"

#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace vcl;

namespace {

struct GridCase {
    const char* Name;
    std::vector<int> ColWidths;
    bool HorizontalBar; // whether the columns are wider than the grid's room
};

void PrintTo(const GridCase& grid, std::ostream* out) {
    *out << grid.Name;
}

class StringGridRowTest : public ::testing::TestWithParam<GridCase> {};

TEST_P(StringGridRowTest, LastRowSetAfterAddingRowsIsWhollyInView) {
    const GridCase& grid = GetParam();
    TForm form;
    form.SetClientSize(400, 300);
    auto* table = new TStringGrid(&form);
    table->SetBounds(0, 0, 272, 200);
    table->SetColCount(static_cast<int>(grid.ColWidths.size()));
    table->SetRowCount(2);
    table->SetDefaultRowHeight(24);
    for (size_t col = 0; col < grid.ColWidths.size(); ++col)
        table->SetColWidths(static_cast<int>(col), grid.ColWidths[col]);
    table->SetOptions(goColSizing | goRowSelect | goGridLines);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    // Rows arrive while the grid is on the screen, and the newest is made
    // current at once, before the grid has had a chance to lay itself out.
    const int rows = 40;
    table->SetRowCount(rows);
    for (int r = 0; r < rows; ++r)
        table->SetCells(0, r, std::to_string(r));
    table->SetRow(rows - 1);
    QCoreApplication::processEvents();

    EXPECT_TRUE(table->verticalScrollBar()->isVisible());
    EXPECT_EQ(table->horizontalScrollBar()->isVisible(), grid.HorizontalBar);
    const QRect cell = table->visualRect(table->model()->index(rows - 1, 0));
    const QRect viewport = table->viewport()->rect();
    EXPECT_TRUE(viewport.contains(cell)) << "row at y " << cell.top() << ".." << cell.bottom()
                                         << ", viewport 0.." << viewport.bottom();
    EXPECT_EQ(table->Row(), rows - 1);
}

// The table's own widths are narrower than the grid, but not once the
// vertical scroll bar takes its room: the horizontal bar comes second.
INSTANTIATE_TEST_SUITE_P(
    Columns, StringGridRowTest,
    ::testing::Values(GridCase{"NarrowerThanTheGrid", {32, 60, 60, 60}, false},
                      GridCase{"WiderOnceTheVerticalBarIsShown", {32, 73, 76, 76}, true},
                      GridCase{"WiderThanTheGrid", {32, 100, 100, 100}, true}),
    [](const ::testing::TestParamInfo<GridCase>& info) { return std::string(info.param.Name); });

} // namespace
