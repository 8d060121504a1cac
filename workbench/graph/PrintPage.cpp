#include "PrintPage.h"

namespace workbench {

const std::array<const char*, PrintLayoutCount> PrintLayoutCaptions = {
    "1 sur 1/2 page portrait", "2 par page portrait", "6 par page portrait",
    "1 par page portrait",     "4 par page paysage",  "1 par page paysage"};

namespace {

PrintStep Copy(int x, int y) {
    return {false, x, y, 0, 0};
}

PrintStep Mark(int x1, int y1, int x2, int y2) {
    return {true, x1, y1, x2, y2};
}

// A horizontal cut at y, in the left and right margins and, with two
// columns, in the gap between them.
void AddHorizontalCut(PrintPagePlan& plan, int y, int pageWidth, bool twoColumns) {
    const int m = plan.Margin;
    const int w = plan.CopyWidth;
    plan.Steps.push_back(Mark(0, y, m, y));
    if (twoColumns)
        plan.Steps.push_back(Mark(w + m, y, w + 2 * m, y));
    plan.Steps.push_back(Mark(pageWidth - m, y, pageWidth, y));
}

// The vertical cut between two columns of `rows` rows: one piece in the top
// margin, one in each gap between rows, the last one from the bottom of the
// last row to the bottom of the page.
void AddVerticalCut(PrintPagePlan& plan, int rows, int pageHeight) {
    const int m = plan.Margin;
    const int h = plan.CopyHeight;
    const int x = plan.CopyWidth + m + m / 2;
    plan.Steps.push_back(Mark(x, 0, x, m));
    for (int r = 1; r < rows; ++r)
        plan.Steps.push_back(Mark(x, r * (h + m), x, r * (h + m) + m));
    plan.Steps.push_back(Mark(x, rows * (h + m), x, pageHeight));
}

// rows x 2 copies, drawn from the last row up and right to left in each row,
// then the horizontal cuts from the bottom up, then the vertical cut.
void AddGrid(PrintPagePlan& plan, int rows, int pageWidth, int pageHeight) {
    const int m = plan.Margin;
    const int w = plan.CopyWidth;
    const int h = plan.CopyHeight;
    for (int r = rows - 1; r >= 0; --r) {
        plan.Steps.push_back(Copy(w + 2 * m, r * (h + m) + m));
        plan.Steps.push_back(Copy(m, r * (h + m) + m));
    }
    for (int r = rows - 1; r >= 1; --r)
        AddHorizontalCut(plan, r * (h + m) + m / 2, pageWidth, true);
    AddVerticalCut(plan, rows, pageHeight);
}

} // namespace

bool PrintLayoutLandscape(int layout) {
    return layout == 4 || layout == 5;
}

PrintPagePlan PlanPrintPage(int layout, int pageWidth, int pageHeight) {
    PrintPagePlan plan;
    if (layout < 0 || layout >= PrintLayoutCount)
        return plan;
    const int W = pageWidth;
    const int H = pageHeight;
    const int m = W / 20;
    plan.Margin = m;
    switch (layout) {
    case 0:
    case 1:
        plan.CopyWidth = W - 2 * m;
        plan.CopyHeight = (H - 3 * m) / 2;
        if (layout == 1) {
            const int h = plan.CopyHeight;
            plan.Steps.push_back(Copy(m, h + 2 * m));
            AddHorizontalCut(plan, h + m + m / 2, W, false);
        }
        plan.Steps.push_back(Copy(m, m));
        break;
    case 2:
        plan.CopyWidth = (W - 3 * m) / 2;
        plan.CopyHeight = (H - 4 * m) / 3;
        AddGrid(plan, 3, W, H);
        break;
    case 4:
        plan.CopyWidth = (W - 3 * m) / 2;
        plan.CopyHeight = (H - 3 * m) / 2;
        AddGrid(plan, 2, W, H);
        break;
    default: // 3 and 5: one copy on the whole page
        plan.CopyWidth = W - 2 * m;
        plan.CopyHeight = H - 2 * m;
        plan.Steps.push_back(Copy(m, m));
        break;
    }
    return plan;
}

} // namespace workbench
