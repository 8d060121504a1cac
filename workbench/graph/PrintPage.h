// Where the copies of the graph and the cut marks go on a printed page.
//
// A print has six layouts, numbered 0 to 5: one copy on half a portrait
// page, two or six copies on a portrait page, one copy on a whole portrait
// page, four copies on a landscape page and one copy on a whole landscape
// page. Every position is in printer pixels of the printable page, origin
// at its top-left corner. The margin m is a twentieth of the page width in
// both orientations; every division is an integer division toward zero.
#pragma once

#include <array>
#include <vector>

namespace workbench {

constexpr int PrintLayoutCount = 6;

// The captions of the layouts, in menu order (UTF-8).
extern const std::array<const char*, PrintLayoutCount> PrintLayoutCaptions;

// One step of a page: a copy of the graph with its top-left corner at
// (X1, Y1), or a cut mark from (X1, Y1) to (X2, Y2).
struct PrintStep {
    bool CutMark = false;
    int X1 = 0;
    int Y1 = 0;
    int X2 = 0;
    int Y2 = 0;
    friend bool operator==(const PrintStep&, const PrintStep&) = default;
};

struct PrintPagePlan {
    int Margin = 0;     // m
    int CopyWidth = 0;  // w
    int CopyHeight = 0; // h
    // Copies and cut marks in drawing order.
    std::vector<PrintStep> Steps;
};

// true for the layouts printed on a landscape page (4 and 5).
bool PrintLayoutLandscape(int layout);

// The plan of layout (0..5) on a page of pageWidth x pageHeight pixels, read
// once the orientation is set. A layout outside 0..5 gives an empty plan.
PrintPagePlan PlanPrintPage(int layout, int pageWidth, int pageHeight);

// Pen width of the cut marks: half the line scale (0 asks for the printer's
// thinnest line).
inline int CutMarkWidth(int lineScale) {
    return lineScale / 2;
}

} // namespace workbench
