// A GDI-like drawing canvas over QPainter, and the off-screen bitmap.
//
// Semantics follow the classic Windows canvas, pixel for pixel where it matters:
// - antialiasing is off;
// - LineTo draws from the pen position to (x, y) and leaves out its end pixel;
// - Rectangle and Ellipse cover Left..Right-1 and Top..Bottom-1 (right and bottom
//   edges left out), outlined with the pen and filled with the brush;
// - FillRect fills Left..Right-1 x Top..Bottom-1 with the brush, no outline;
// - TextOut puts the top-left corner of the text cell at (x, y); with a solid
//   brush the cell is filled with the brush colour first (opaque text);
// - a positive Font.Height is the cell height in pixels (ascent + descent):
//   TextHeight returns it exactly (the largest font that fits the cell is
//   used) and TextWidth the advance width of the text;
// - pen, brush and font are plain fields that persist between calls;
// - Pen.Mode pmNotXor inverts "pen XOR destination" (drawing a line twice leaves
//   the picture as it was); it needs a raster device (an image or the screen).
//
// The same canvas draws on a QImage (TBitmap), on any other QPaintDevice, or
// through a QPainter the caller has already begun (a printer page, a widget's
// paint event).
#pragma once

#include "Graphics.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QPaintDevice;
class QPainter;

namespace vcl {

// The $00BBGGRR value of an image pixel (QRgb is $AARRGGBB).
TColor RgbToColor(QRgb rgb);
// What Pixels reads outside the picture or on a device that cannot be read.
constexpr TColor clInvalid = 0xFFFFFFFF;

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Rect(int left, int top, int right, int bottom) {
    return TRect{left, top, right, bottom};
}

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum TPenMode { pmCopy, pmNotXor, pmXor };
enum TBrushStyle { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1; // pixels; 0 draws as 1
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
    friend bool operator==(const TPen&, const TPen&) = default;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    friend bool operator==(const TBrush&, const TBrush&) = default;
};

class TBitmap;

class TCanvas {
public:
    // Draws on device; a painter is begun on the first drawing call and ended
    // by EndPaint() or the destructor. The device must outlive the canvas.
    explicit TCanvas(QPaintDevice* device);
    // Draws through a painter begun by the caller (printer page, paint event);
    // the canvas never ends it.
    explicit TCanvas(QPainter* painter);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen Pen;
    TBrush Brush;
    TFont Font;
    TPoint PenPos;

    void MoveTo(int x, int y);
    // Line from PenPos to (x, y), end pixel left out; PenPos := (x, y).
    void LineTo(int x, int y);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
    void Ellipse(int x1, int y1, int x2, int y2);
    void FillRect(const TRect& rect);
    // Closed polygon, outlined with the pen and filled with the brush (even-odd).
    void Polygon(const std::vector<TPoint>& points);
    // Open line through the points, each segment's end pixel left out.
    void Polyline(const std::vector<TPoint>& points);

    // Pixel read (image devices only; clInvalid elsewhere) and write.
    TColor Pixels(int x, int y);
    void SetPixels(int x, int y, TColor color);

    void TextOut(int x, int y, const QString& text);
    void TextOut(int x, int y, const std::string& utf8) {
        TextOut(x, y, QString::fromStdString(utf8));
    }
    void TextOut(int x, int y, const char* utf8) { TextOut(x, y, QString::fromUtf8(utf8)); }
    int TextWidth(const QString& text);
    int TextWidth(const std::string& utf8) { return TextWidth(QString::fromStdString(utf8)); }
    int TextWidth(const char* utf8) { return TextWidth(QString::fromUtf8(utf8)); }
    // The cell height of the font (the same for every text).
    int TextHeight(const QString& text);
    int TextHeight(const std::string& utf8) { return TextHeight(QString::fromStdString(utf8)); }
    int TextHeight(const char* utf8) { return TextHeight(QString::fromUtf8(utf8)); }

    // Copies the whole picture with its top-left corner at (x, y) (plain copy).
    void Draw(int x, int y, const QImage& image);
    void Draw(int x, int y, TBitmap& bitmap);
    // Copies source's rectangle src into dest (scaled when the sizes differ).
    void CopyRect(const TRect& dest, const QImage& source, const TRect& src);
    void CopyRect(const TRect& dest, TBitmap& source, const TRect& src);

    // The painter, begun on demand (for calls the canvas does not offer);
    // nullptr when the device cannot be painted (an empty image).
    QPainter* Painter();
    // The device drawn on (nullptr when drawing through a caller's painter
    // whose device is unknown to Qt).
    QPaintDevice* Device() const;
    // Ends the painter begun by the canvas (no-op on a caller's painter), so
    // that the device can be read, copied or resized. Drawing again begins a
    // new painter; pen, brush and font are kept.
    void EndPaint();

private:
    struct Impl;
    std::unique_ptr<Impl> D;
};

// While it lives, whatever is drawn on the canvas stays inside rect, within
// any limit already set (limits nest and narrow); the limit goes with it.
// Reading a bitmap ends its painter and with it the limit: read afterwards.
class TCanvasClip {
public:
    TCanvasClip(TCanvas& canvas, const TRect& rect);
    ~TCanvasClip();
    TCanvasClip(const TCanvasClip&) = delete;
    TCanvasClip& operator=(const TCanvasClip&) = delete;

private:
    QPainter* Painter;
};

// An off-screen bitmap: an RGB image with its canvas (new bitmaps are white).
class TBitmap {
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const;
    int Height() const;
    // Resizing keeps the top-left content; new area is white.
    void SetWidth(int width);
    void SetHeight(int height);
    void SetSize(int width, int height);

    TCanvas& Canvas() { return *CanvasPtr; }
    // The picture as drawn so far (ends the canvas' painter first).
    const QImage& Image();
    // Replaces the picture (size included).
    void Assign(const QImage& image);
    // Loads a picture Qt can read (BMP, PNG); false and unchanged on failure.
    bool LoadFromFile(const std::string& fileName);

private:
    QImage Img;
    std::unique_ptr<TCanvas> CanvasPtr;
};

} // namespace vcl
