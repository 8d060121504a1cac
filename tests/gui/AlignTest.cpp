// The align engine: aligned children fill the parent's client area in VCL
// order, on every resize, also while the window is hidden; anchored
// children follow the parent's right and bottom edges.
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"

#include <gtest/gtest.h>

using namespace vcl;

namespace {

QRect R(int l, int t, int w, int h) {
    return QRect(l, t, w, h);
}

TEST(AlignTest, ChildrenFillTheClientAreaOnEveryResize) {
    InitFonts();
    TForm form;
    form.SetClientSize(755, 550);
    auto* toolBar = new TPanel(&form);
    toolBar->SetHeight(30);
    toolBar->SetAlign(alTop);
    auto* settings = new TPanel(&form);
    settings->SetWidth(203);
    settings->SetAlign(alRight);
    auto* client = new TPanel(&form);
    client->SetAlign(alClient);
    client->SetBevelOuter(bvNone);
    auto* status = new TStatusBar(client);
    status->SetHeight(19);
    status->SetAlign(alBottom);
    auto* displays = new TPanel(client);
    displays->SetHeight(68);
    displays->SetAlign(alTop);
    auto* graph = new TPanel(client);
    graph->SetAlign(alClient);
    auto* left = new TPanel(graph); // inside a raised bevel of 1 pixel
    left->SetWidth(272);
    left->SetAlign(alLeft);

    struct Case {
        int Width, Height;
    };
    for (const Case& size : {Case{755, 550}, Case{900, 700}, Case{712, 550}}) {
        form.SetClientSize(size.Width, size.Height); // never shown
        const int w = size.Width, h = size.Height;
        EXPECT_EQ(toolBar->BoundsRect(), R(0, 0, w, 30)) << w;
        EXPECT_EQ(settings->BoundsRect(), R(w - 203, 30, 203, h - 30)) << w;
        EXPECT_EQ(client->BoundsRect(), R(0, 30, w - 203, h - 30)) << w;
        EXPECT_EQ(displays->BoundsRect(), R(0, 0, w - 203, 68)) << w;
        EXPECT_EQ(status->BoundsRect(), R(0, h - 30 - 19, w - 203, 19)) << w;
        EXPECT_EQ(graph->BoundsRect(), R(0, 68, w - 203, h - 30 - 19 - 68)) << w;
        EXPECT_EQ(left->BoundsRect(), R(1, 1, 272, h - 30 - 19 - 68 - 2)) << w;
    }

    // Hiding an aligned panel gives its room to the others; a new height
    // of an aligned panel moves the ones below it.
    displays->Hide();
    EXPECT_EQ(graph->BoundsRect().top(), 0);
    displays->Show();
    displays->SetHeight(100);
    EXPECT_EQ(graph->BoundsRect(), R(0, 100, 712 - 203, 550 - 30 - 19 - 100));

    // The same on a shown window resized by the window manager.
    form.show();
    form.resize(800, 600);
    EXPECT_EQ(settings->BoundsRect(), R(800 - 203, 30, 203, 570));
}

TEST(AlignTest, TwoPanelsSideBySideOrStacked) {
    // The live display layout: two halves side by side, then one above the
    // other.
    TForm form;
    form.SetClientSize(500, 400);
    auto* panels = new TPanel(&form);
    panels->SetBevelOuter(bvNone);
    panels->SetAlign(alTop);
    panels->SetHeight(50);
    auto* y0 = new TPanel(panels);
    auto* y1 = new TPanel(panels);
    y0->SetWidth(panels->Width() / 2);
    y0->SetAlign(alLeft);
    y1->SetWidth(y0->Width());
    y1->SetAlign(alRight);
    EXPECT_EQ(y0->BoundsRect(), R(0, 0, 250, 50));
    EXPECT_EQ(y1->BoundsRect(), R(250, 0, 250, 50));

    // As a window does it: the height of a panel aligned left is the
    // parent's, so the new heights hold from the second pass on.
    for (int pass = 0; pass < 2; ++pass) {
        panels->SetHeight(form.ClientHeight() * 2 / 3);
        y0->SetHeight(panels->Height() / 2);
        y0->SetAlign(alTop);
        y1->SetHeight(y0->Height());
        y1->SetAlign(alBottom);
    }
    EXPECT_EQ(y0->BoundsRect(), R(0, 0, 500, 133));
    EXPECT_EQ(y1->BoundsRect(), R(0, 266 - 133, 500, 133));
}

TEST(AlignTest, AnchorsFollowTheRightAndBottomEdges) {
    TForm form;
    form.SetClientSize(300, 200);
    auto* button = new TPanel(&form);
    button->SetBounds(220, 170, 70, 20);
    button->SetAnchors(akRight | akBottom);
    auto* stretched = new TPanel(&form);
    stretched->SetBounds(10, 10, 280, 100);
    stretched->SetAnchors(akLeft | akTop | akRight);
    form.SetClientSize(400, 260);
    EXPECT_EQ(button->BoundsRect(), R(320, 230, 70, 20));
    EXPECT_EQ(stretched->BoundsRect(), R(10, 10, 380, 100));
}

} // namespace

namespace {

TEST(AlignTest, DialogFramesKeepTheirSizeButCodeCanSetIt) {
    TForm dialog;
    dialog.SetBorderStyle(bsDialog);
    dialog.SetClientSize(318, 110);
    EXPECT_EQ(dialog.ClientWidth(), 318);
    EXPECT_EQ(dialog.ClientHeight(), 110);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    TForm main;
    main.SetClientSize(755, 550);
    main.SetMinSize(712, 550);
    main.SetClientSize(600, 400); // below the smallest size: kept at it
    EXPECT_EQ(main.ClientWidth(), 712);
    EXPECT_EQ(main.ClientHeight(), 550);
}

} // namespace
