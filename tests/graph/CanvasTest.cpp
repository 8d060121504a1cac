// The GDI-like canvas: which pixels lines, rectangles, ellipses and text
// cells cover, pen modes, fonts, and the off-screen bitmap.
#include "gui/Canvas.h"

#include <QFontInfo>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>

using namespace vcl;

namespace {

constexpr TColor Paper = 0x00F0E0D0;

std::set<std::pair<int, int>> PixelsOf(TBitmap& bitmap, TColor color) {
    std::set<std::pair<int, int>> result;
    const QImage& image = bitmap.Image();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (RgbToColor(image.pixel(x, y)) == color)
                result.insert({x, y});
    return result;
}

void Clear(TBitmap& bitmap, TColor color) {
    bitmap.Canvas().Brush.Style = bsSolid;
    bitmap.Canvas().Brush.Color = color;
    bitmap.Canvas().FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
}

TEST(CanvasTest, LineToLeavesOutItsEndPixelInEveryDirection) {
    struct Case {
        int x1, y1, x2, y2;
    };
    const Case cases[] = {
        {5, 10, 25, 10}, {25, 10, 5, 10}, {10, 3, 10, 27}, {10, 27, 10, 3}, {3, 3, 23, 23},
        {23, 23, 3, 3},  {3, 27, 23, 7},  {2, 5, 28, 14},  {28, 14, 2, 5},  {14, 2, 5, 28},
    };
    for (const Case& c : cases) {
        TBitmap bitmap(32, 32);
        Clear(bitmap, clWhite);
        TCanvas& canvas = bitmap.Canvas();
        canvas.Pen.Color = clRed;
        canvas.MoveTo(c.x1, c.y1);
        canvas.LineTo(c.x2, c.y2);
        const auto pixels = PixelsOf(bitmap, clRed);
        const std::string where = std::to_string(c.x1) + "," + std::to_string(c.y1) + " -> " +
                                  std::to_string(c.x2) + "," + std::to_string(c.y2);
        EXPECT_TRUE(pixels.count({c.x1, c.y1})) << where;
        EXPECT_FALSE(pixels.count({c.x2, c.y2})) << where;
        EXPECT_EQ(pixels.size(), size_t(std::max(std::abs(c.x2 - c.x1), std::abs(c.y2 - c.y1))))
            << where;
        EXPECT_EQ(canvas.PenPos, (TPoint{c.x2, c.y2})) << where;
        // Every pixel lies within one pixel of the true line.
        for (auto [x, y] : pixels) {
            const double cross =
                double(c.x2 - c.x1) * (y - c.y1) - double(c.y2 - c.y1) * (x - c.x1);
            const double length = std::hypot(c.x2 - c.x1, c.y2 - c.y1);
            EXPECT_LE(std::fabs(cross) / length, 0.75) << where << " at " << x << "," << y;
        }
    }
}

TEST(CanvasTest, PenStylesAndWidths) {
    TBitmap bitmap(60, 30);
    Clear(bitmap, clWhite);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Pen.Color = clRed;
    canvas.Pen.Style = psDot;
    canvas.MoveTo(0, 5);
    canvas.LineTo(60, 5);
    canvas.Pen.Style = psClear;
    canvas.MoveTo(0, 10);
    canvas.LineTo(60, 10);
    EXPECT_EQ(canvas.PenPos, (TPoint{60, 10}));
    canvas.Pen.Style = psSolid;
    canvas.Pen.Width = 3;
    canvas.MoveTo(10, 20);
    canvas.LineTo(50, 20);
    int dots = 0, wide = 0, clear = 0;
    for (auto [x, y] : PixelsOf(bitmap, clRed)) {
        dots += y == 5;
        clear += y == 10;
        wide += x == 30 && y >= 18 && y <= 22;
    }
    EXPECT_GT(dots, 15);
    EXPECT_LT(dots, 45);
    EXPECT_EQ(clear, 0);
    EXPECT_EQ(wide, 3);
}

TEST(CanvasTest, JoinedLinesDrawEveryCornerOnceAndNotXorTwiceRestores) {
    TBitmap bitmap(40, 30);
    TCanvas& canvas = bitmap.Canvas();
    // A background that is not uniform.
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            canvas.SetPixels(x, y, RGB(x * 6, y * 8, (x + y) * 3));
    const QImage before = bitmap.Image().copy();

    canvas.Pen.Color = 0x00336699;
    canvas.Pen.Mode = pmNotXor;
    auto square = [&] {
        canvas.MoveTo(5, 5);
        canvas.LineTo(30, 5);
        canvas.LineTo(30, 20);
        canvas.LineTo(5, 20);
        canvas.LineTo(5, 5);
        canvas.MoveTo(2, 28);
        canvas.LineTo(37, 1);
    };
    square();
    const QImage once = bitmap.Image().copy();
    EXPECT_NE(once, before);
    // The rubber line: each pixel inverted as ~(pen xor screen).
    const QRgb screen = before.pixel(17, 5);
    const TColor expected = ~(0x00336699u ^ RgbToColor(screen)) & 0x00FFFFFF;
    EXPECT_EQ(RgbToColor(once.pixel(17, 5)), expected);
    // Corners are drawn once: inverted, not restored by a second pass.
    EXPECT_NE(once.pixel(30, 5), before.pixel(30, 5));
    EXPECT_NE(once.pixel(5, 20), before.pixel(5, 20));
    square();
    EXPECT_EQ(bitmap.Image(), before);
}

TEST(CanvasTest, ClipsNestAndNarrowAndEndWithTheirObject) {
    TBitmap bitmap(20, 20);
    Clear(bitmap, clWhite);
    TCanvas& canvas = bitmap.Canvas();
    {
        TCanvasClip outer(canvas, Rect(5, 5, 15, 15));
        Clear(bitmap, clRed);
        {
            TCanvasClip inner(canvas, Rect(0, 0, 10, 10));
            Clear(bitmap, clBlue);
        }
        canvas.Brush.Color = clYellow;
        canvas.FillRect(Rect(2, 2, 3, 3)); // outside the outer limit, back alone
    }
    canvas.Brush.Color = clGreen;
    canvas.FillRect(Rect(0, 0, 1, 1)); // no limit left
    EXPECT_EQ(PixelsOf(bitmap, clBlue).size(), size_t(5 * 5));
    EXPECT_EQ(*PixelsOf(bitmap, clBlue).begin(), std::make_pair(5, 5));
    EXPECT_EQ(PixelsOf(bitmap, clRed).size(), size_t(10 * 10 - 5 * 5));
    EXPECT_TRUE(PixelsOf(bitmap, clYellow).empty());
    EXPECT_EQ(PixelsOf(bitmap, clGreen), (std::set<std::pair<int, int>>{{0, 0}}));
}

TEST(CanvasTest, RectangleAndEllipseLeaveOutRightAndBottomEdges) {
    TBitmap bitmap(40, 40);
    Clear(bitmap, clWhite);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Pen.Color = clBlue;
    canvas.Brush.Color = clYellow;
    canvas.Rectangle(2, 3, 9, 11);
    const auto outline = PixelsOf(bitmap, clBlue);
    const auto fill = PixelsOf(bitmap, clYellow);
    EXPECT_EQ(outline.size(), size_t(2 * 7 + 2 * 8 - 4));
    for (auto [x, y] : outline)
        EXPECT_TRUE(x == 2 || x == 8 || y == 3 || y == 10) << x << "," << y;
    EXPECT_EQ(fill.size(), size_t(5 * 6));
    EXPECT_FALSE(PixelsOf(bitmap, clBlue).count({9, 5}));
    EXPECT_FALSE(PixelsOf(bitmap, clBlue).count({5, 11}));

    // No pen: the filled area is one pixel smaller; a clear brush fills nothing.
    Clear(bitmap, clWhite);
    canvas.Brush.Color = clYellow;
    canvas.Pen.Style = psClear;
    canvas.Rectangle(2, 3, 9, 11);
    EXPECT_EQ(PixelsOf(bitmap, clYellow).size(), size_t(6 * 7));
    canvas.Pen.Style = psSolid;
    Clear(bitmap, clWhite);
    canvas.Brush.Color = clYellow;
    canvas.Brush.Style = bsClear;
    canvas.Rectangle(2, 3, 9, 11);
    EXPECT_TRUE(PixelsOf(bitmap, clYellow).empty());
    EXPECT_EQ(RgbToColor(bitmap.Image().pixel(5, 6)), clWhite);

    // The ellipse stays within its box, right and bottom edges excluded.
    Clear(bitmap, clWhite);
    canvas.Brush.Color = clYellow;
    canvas.Ellipse(10, 12, 30, 24);
    int minX = 99, maxX = -1, minY = 99, maxY = -1;
    for (auto [x, y] : PixelsOf(bitmap, clBlue)) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    EXPECT_EQ(minX, 10);
    EXPECT_EQ(maxX, 29);
    EXPECT_EQ(minY, 12);
    EXPECT_EQ(maxY, 23);
    EXPECT_EQ(RgbToColor(bitmap.Image().pixel(20, 18)), clYellow);
}

TEST(CanvasTest, TextCellTopLeftAndOpaqueBackground) {
    TBitmap bitmap(120, 60);
    Clear(bitmap, clWhite);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font.Name = "Arial";
    canvas.Font.Height = 20;
    canvas.Font.Color = clBlack;
    canvas.Brush.Color = Paper;
    const int w = canvas.TextWidth("8,5 T");
    const int h = canvas.TextHeight("8,5 T");
    EXPECT_EQ(h, 20);
    canvas.TextOut(10, 15, "8,5 T");
    const QImage& image = bitmap.Image();
    // The cell is filled from its top-left corner (10, 15) over w x h.
    EXPECT_EQ(RgbToColor(image.pixel(10, 15)), Paper);
    EXPECT_EQ(RgbToColor(image.pixel(10 + w - 1, 15)), Paper);
    EXPECT_EQ(RgbToColor(image.pixel(10, 15 + h - 1)), Paper);
    EXPECT_EQ(RgbToColor(image.pixel(9, 15)), clWhite);
    EXPECT_EQ(RgbToColor(image.pixel(10, 14)), clWhite);
    EXPECT_EQ(RgbToColor(image.pixel(10 + w, 20)), clWhite);
    EXPECT_EQ(RgbToColor(image.pixel(12, 15 + h)), clWhite);
    // Every glyph pixel lies inside the cell, and there are some.
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (RgbToColor(image.pixel(x, y)) == clBlack) {
                ++ink;
                EXPECT_TRUE(x >= 10 && x < 10 + w && y >= 15 && y < 15 + h) << x << "," << y;
            }
    EXPECT_GT(ink, 20);

    // A clear brush leaves the background as it was.
    Clear(bitmap, clWhite);
    canvas.Brush.Style = bsClear;
    canvas.TextOut(10, 15, "8,5 T");
    EXPECT_TRUE(PixelsOf(bitmap, Paper).empty());
}

TEST(CanvasTest, FontHeightIsTheCellHeightAndArialIsLiberationSans) {
    TBitmap bitmap(10, 10);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font.Name = "Arial";
    for (int height = 8; height <= 120; ++height) {
        canvas.Font.Height = height;
        EXPECT_EQ(canvas.TextHeight("["), height);
    }
    // Whole-pixel widths that add up (full hinting).
    canvas.Font.Height = 11;
    EXPECT_EQ(canvas.TextWidth("2000"), 4 * canvas.TextWidth("0"));
    EXPECT_EQ(canvas.TextWidth("-2000.0"), 36);
    EXPECT_EQ(QFontInfo(ToQFont(canvas.Font)).family(), "Liberation Sans");
}

TEST(CanvasTest, FarCoordinatesAreCutToTheImage) {
    TBitmap bitmap(50, 20);
    Clear(bitmap, clWhite);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Pen.Color = clRed;
    canvas.MoveTo(-1000000000, 5);
    canvas.LineTo(1000000000, 5);
    canvas.MoveTo(25, -2000000000);
    canvas.LineTo(25, 2000000000);
    canvas.Pen.Width = 3;
    canvas.MoveTo(-1000000000, -1000000000);
    canvas.LineTo(1000000000, 1000000000);
    canvas.Brush.Color = clLime;
    canvas.Rectangle(-2000000000, 12, 2000000000, 2000000000);
    canvas.Ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
    const auto red = PixelsOf(bitmap, clRed);
    for (int x = 0; x < 50; ++x)
        EXPECT_TRUE(red.count({x, 5}) || x == 25) << x;
    EXPECT_TRUE(red.count({10, 10})); // the thick diagonal
    EXPECT_EQ(RgbToColor(bitmap.Image().pixel(40, 16)), clLime);
    EXPECT_EQ(canvas.Pixels(50, 0), clInvalid);
    EXPECT_EQ(canvas.Pixels(-1, 0), clInvalid);
}

TEST(CanvasTest, BitmapKeepsContentOnResizeAndCopiesStayApart) {
    TBitmap bitmap(10, 10);
    Clear(bitmap, clBlue);
    bitmap.SetSize(20, 15);
    EXPECT_EQ(bitmap.Canvas().Pixels(9, 9), clBlue);
    EXPECT_EQ(bitmap.Canvas().Pixels(10, 9), clWhite);
    EXPECT_EQ(bitmap.Canvas().Pixels(19, 14), clWhite);

    const QImage copy = bitmap.Image();
    bitmap.Canvas().SetPixels(2, 2, clRed);
    EXPECT_EQ(bitmap.Canvas().Pixels(2, 2), clRed);
    EXPECT_EQ(RgbToColor(copy.pixel(2, 2)), clBlue);

    // Drawn onto another canvas at an offset, and a part of it copied.
    TBitmap target(40, 40);
    Clear(target, clWhite);
    target.Canvas().Draw(5, 6, bitmap);
    EXPECT_EQ(target.Canvas().Pixels(7, 8), clRed);
    EXPECT_EQ(target.Canvas().Pixels(5 + 19, 6 + 14), clWhite);
    EXPECT_EQ(target.Canvas().Pixels(5, 6), clBlue);
    target.Canvas().CopyRect(Rect(30, 30, 33, 33), bitmap, Rect(1, 1, 4, 4));
    EXPECT_EQ(target.Canvas().Pixels(31, 31), clRed);
    EXPECT_EQ(target.Canvas().Pixels(30, 30), clBlue);
    EXPECT_EQ(target.Canvas().Pixels(33, 33), clWhite);

    bitmap.SetSize(0, 0);
    bitmap.Canvas().LineTo(5, 5); // nothing to draw on, nothing fails
    EXPECT_EQ(bitmap.Width(), 0);
}

TEST(CanvasTest, DrawsThroughACallersPainter) {
    QImage page(60, 40, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        TCanvas canvas(&painter);
        canvas.Pen.Color = clRed;
        canvas.MoveTo(0, 10);
        canvas.LineTo(60, 10);
        canvas.Brush.Color = clBlue;
        canvas.FillRect(Rect(10, 20, 12, 22));
        EXPECT_EQ(canvas.Device(), &page);
    }
    EXPECT_EQ(RgbToColor(page.pixel(59, 10)), clRed);
    EXPECT_EQ(RgbToColor(page.pixel(11, 21)), clBlue);
    EXPECT_EQ(RgbToColor(page.pixel(12, 21)), clWhite);
}

} // namespace
