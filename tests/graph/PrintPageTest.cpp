// Page plans of the six print layouts: margins, copy sizes, corners and cut
// marks in drawing order.
#include "graph/PrintPage.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

using workbench::PlanPrintPage;
using workbench::PrintStep;

PrintStep C(int x, int y) {
    return {false, x, y, 0, 0};
}
PrintStep M(int x1, int y1, int x2, int y2) {
    return {true, x1, y1, x2, y2};
}

struct PlanCase {
    std::string Name;
    int Layout;
    int PageWidth;
    int PageHeight;
    int Margin;
    int CopyWidth;
    int CopyHeight;
    std::vector<PrintStep> Steps;
};

// Portrait pages of 4800 x 6800 (m = 240) and landscape pages of 6800 x 4800
// (m = 340: the margin follows the width, so landscape margins are larger).
const PlanCase PlanCases[] = {
    {"HalfPage", 0, 4800, 6800, 240, 4320, 3040, {C(240, 240)}},
    {"TwoPortrait",
     1,
     4800,
     6800,
     240,
     4320,
     3040,
     {C(240, 3520), M(0, 3400, 240, 3400), M(4560, 3400, 4800, 3400), C(240, 240)}},
    // The worked example: columns at 240 and 2520, rows at 240, 2426 and
    // 4612, horizontal marks at 4492 then 2306, vertical marks at 2400, the
    // last piece from 6558 to the bottom of the page.
    {"SixPortrait",
     2,
     4800,
     6800,
     240,
     2040,
     1946,
     {C(2520, 4612), C(240, 4612), C(2520, 2426), C(240, 2426), C(2520, 240), C(240, 240),
      M(0, 4492, 240, 4492), M(2280, 4492, 2520, 4492), M(4560, 4492, 4800, 4492),
      M(0, 2306, 240, 2306), M(2280, 2306, 2520, 2306), M(4560, 2306, 4800, 2306),
      M(2400, 0, 2400, 240), M(2400, 2186, 2400, 2426), M(2400, 4372, 2400, 4612),
      M(2400, 6558, 2400, 6800)}},
    {"OnePortrait", 3, 4800, 6800, 240, 4320, 6320, {C(240, 240)}},
    {"FourLandscape",
     4,
     6800,
     4800,
     340,
     2890,
     1890,
     {C(3570, 2570), C(340, 2570), C(3570, 340), C(340, 340), M(0, 2400, 340, 2400),
      M(3230, 2400, 3570, 2400), M(6460, 2400, 6800, 2400), M(3400, 0, 3400, 340),
      M(3400, 2230, 3400, 2570), M(3400, 4460, 3400, 4800)}},
    {"OneLandscape", 5, 6800, 4800, 340, 6120, 4120, {C(340, 340)}},
};

class PrintPagePlanTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PrintPagePlanTest, MarginCopySizeCornersAndMarksInDrawingOrder) {
    const PlanCase& c = GetParam();
    const workbench::PrintPagePlan plan = PlanPrintPage(c.Layout, c.PageWidth, c.PageHeight);
    EXPECT_EQ(plan.Margin, c.Margin);
    EXPECT_EQ(plan.CopyWidth, c.CopyWidth);
    EXPECT_EQ(plan.CopyHeight, c.CopyHeight);
    ASSERT_EQ(plan.Steps.size(), c.Steps.size());
    for (size_t i = 0; i < c.Steps.size(); ++i) {
        const PrintStep& got = plan.Steps[i];
        EXPECT_EQ(got, c.Steps[i]) << "step " << i << ": " << (got.CutMark ? "mark " : "copy ")
                                   << got.X1 << "," << got.Y1 << " " << got.X2 << "," << got.Y2;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PrintPagePlanTest, ::testing::ValuesIn(PlanCases),
                         [](const auto& info) { return info.param.Name; });

// On every layout and on pages whose sizes do not divide evenly, the copies
// lie inside the page and apart from each other, and every cut mark lies on
// the page and crosses only margins and gaps, never a copy.
TEST(PrintPagePlan, MarksNeverCrossACopyOnAnyPage) {
    const int sizes[][2] = {{4800, 6800}, {6800, 4800}, {2481, 3509}, {3509, 2481}, {999, 1001}};
    for (int layout = 0; layout < workbench::PrintLayoutCount; ++layout)
        for (const auto& size : sizes) {
            const int W = size[0];
            const int H = size[1];
            SCOPED_TRACE("layout " + std::to_string(layout) + " on " + std::to_string(W) + " x " +
                         std::to_string(H));
            const workbench::PrintPagePlan plan = PlanPrintPage(layout, W, H);
            EXPECT_EQ(plan.Margin, W / 20);
            std::vector<PrintStep> copies;
            for (const PrintStep& s : plan.Steps)
                if (!s.CutMark)
                    copies.push_back(s);
            for (size_t i = 0; i < copies.size(); ++i) {
                EXPECT_GE(copies[i].X1, plan.Margin);
                EXPECT_GE(copies[i].Y1, plan.Margin);
                EXPECT_LE(copies[i].X1 + plan.CopyWidth, W - plan.Margin);
                EXPECT_LE(copies[i].Y1 + plan.CopyHeight, H - plan.Margin);
                for (size_t j = i + 1; j < copies.size(); ++j)
                    EXPECT_TRUE(copies[i].X1 + plan.CopyWidth < copies[j].X1 ||
                                copies[j].X1 + plan.CopyWidth < copies[i].X1 ||
                                copies[i].Y1 + plan.CopyHeight < copies[j].Y1 ||
                                copies[j].Y1 + plan.CopyHeight < copies[i].Y1);
            }
            for (const PrintStep& s : plan.Steps) {
                if (!s.CutMark)
                    continue;
                EXPECT_TRUE(s.X1 == s.X2 || s.Y1 == s.Y2);
                EXPECT_GE(std::min(s.X1, s.X2), 0);
                EXPECT_GE(std::min(s.Y1, s.Y2), 0);
                EXPECT_LE(std::max(s.X1, s.X2), W);
                EXPECT_LE(std::max(s.Y1, s.Y2), H);
                for (const PrintStep& copy : copies) {
                    const bool apartX = std::max(s.X1, s.X2) <= copy.X1 ||
                                        std::min(s.X1, s.X2) >= copy.X1 + plan.CopyWidth;
                    const bool apartY = std::max(s.Y1, s.Y2) <= copy.Y1 ||
                                        std::min(s.Y1, s.Y2) >= copy.Y1 + plan.CopyHeight;
                    EXPECT_TRUE(apartX || apartY)
                        << "mark " << s.X1 << "," << s.Y1 << " " << s.X2 << "," << s.Y2;
                }
            }
        }
}

TEST(PrintPagePlan, OrientationAndOutOfRangeLayouts) {
    for (int layout = 0; layout < workbench::PrintLayoutCount; ++layout)
        EXPECT_EQ(workbench::PrintLayoutLandscape(layout), layout >= 4) << layout;
    EXPECT_TRUE(PlanPrintPage(-1, 4800, 6800).Steps.empty());
    EXPECT_TRUE(PlanPrintPage(6, 4800, 6800).Steps.empty());
}

} // namespace
