#include "Canvas.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <tuple>

namespace vcl {

TColor RgbToColor(QRgb rgb) {
    return static_cast<TColor>(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
}

namespace {

bool IsRasterDevice(const QPaintDevice* device) {
    if (device == nullptr)
        return false;
    const int type = device->devType();
    return type == QInternal::Image || type == QInternal::Pixmap || type == QInternal::Widget;
}

// A canvas font resolved for one device resolution: the Qt font and where
// its baseline lies in the cell.
struct ResolvedFont {
    QFont Font;
    int CellHeight = 0;
    int BaselineOffset = 0; // from the top of the cell
};

using FontKey = std::tuple<std::string, int, int, unsigned, int>;

ResolvedFont ResolveFont(const TFont& font, QPaintDevice* device) {
    static std::map<FontKey, ResolvedFont> cache;
    const int dpi = device != nullptr ? device->logicalDpiY() : 96;
    const FontKey key{font.Name, font.Height, font.Size, font.Style, dpi};
    if (auto it = cache.find(key); it != cache.end())
        return it->second;

    ResolvedFont result;
    result.Font = ToQFont(font);
    result.Font.setStyleStrategy(QFont::NoAntialias);
    result.Font.setHintingPreference(QFont::PreferFullHinting);
    if (font.Height > 0)
        FitFontToCell(result.Font, font.Height, device); // this device's metrics
    const QFontMetrics metrics(result.Font, device);
    result.CellHeight = font.Height > 0 ? font.Height : metrics.height();
    result.BaselineOffset = metrics.ascent() + (result.CellHeight - metrics.height()) / 2;
    if (cache.size() > 256)
        cache.clear();
    cache.emplace(key, result);
    return result;
}

} // namespace

struct TCanvas::Impl {
    QPaintDevice* Device = nullptr;
    QPainter* External = nullptr;
    std::unique_ptr<QPainter> Own;

    QPainter* Active() {
        if (External != nullptr)
            return External;
        if (Own)
            return Own.get();
        if (Device == nullptr || Device->width() <= 0 || Device->height() <= 0)
            return nullptr;
        Own = std::make_unique<QPainter>();
        if (!Own->begin(Device)) {
            Own.reset();
            return nullptr;
        }
        Own->setRenderHint(QPainter::Antialiasing, false);
        Own->setRenderHint(QPainter::TextAntialiasing, false);
        Own->setRenderHint(QPainter::SmoothPixmapTransform, false);
        return Own.get();
    }

    QPaintDevice* Target() const {
        if (External != nullptr)
            return External->device();
        return Device;
    }

    void End() {
        if (Own) {
            Own->end();
            Own.reset();
        }
    }
};

TCanvas::TCanvas(QPaintDevice* device) : D(std::make_unique<Impl>()) {
    D->Device = device;
}

TCanvas::TCanvas(QPainter* painter) : D(std::make_unique<Impl>()) {
    D->External = painter;
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::TextAntialiasing, false);
}

TCanvas::~TCanvas() {
    D->End();
}

QPainter* TCanvas::Painter() {
    return D->Active();
}

QPaintDevice* TCanvas::Device() const {
    return D->Target();
}

void TCanvas::EndPaint() {
    D->End();
}

TCanvasClip::TCanvasClip(TCanvas& canvas, const TRect& rect) : Painter(canvas.Painter()) {
    if (Painter == nullptr)
        return;
    Painter->save();
    Painter->setClipRect(QRect(rect.Left, rect.Top, std::max(rect.Right - rect.Left, 0),
                               std::max(rect.Bottom - rect.Top, 0)),
                         Painter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

TCanvasClip::~TCanvasClip() {
    if (Painter != nullptr)
        Painter->restore();
}

namespace {

// Pen mode as a composition mode; the raster operations exist only on raster
// devices, elsewhere the pen copies.
void ApplyMode(QPainter& p, TPenMode mode, const QPaintDevice* device) {
    QPainter::CompositionMode cm = QPainter::CompositionMode_SourceOver;
    if (IsRasterDevice(device)) {
        if (mode == pmNotXor)
            cm = QPainter::RasterOp_NotSourceXorDestination;
        else if (mode == pmXor)
            cm = QPainter::RasterOp_SourceXorDestination;
    }
    p.setCompositionMode(cm);
}

void ResetMode(QPainter& p) {
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

Qt::PenStyle QtPenStyle(TPenStyle style) {
    switch (style) {
    case psDash:
        return Qt::DashLine;
    case psDot:
        return Qt::DotLine;
    case psDashDot:
        return Qt::DashDotLine;
    case psDashDotDot:
        return Qt::DashDotDotLine;
    case psClear:
        return Qt::NoPen;
    case psSolid:
        break;
    }
    return Qt::SolidLine;
}

// Pen widths beyond any page are drawn this wide.
constexpr int MaxPenWidth = 10000;

QPen QtPen(const TPen& pen) {
    QPen result(ColorToQColor(pen.Color));
    result.setStyle(QtPenStyle(pen.Style));
    if (pen.Width > 1) {
        result.setWidth(std::min(pen.Width, MaxPenWidth));
        result.setCapStyle(Qt::RoundCap);
        result.setJoinStyle(Qt::RoundJoin);
    } else {
        result.setWidth(1);
        result.setCapStyle(Qt::FlatCap);
        result.setJoinStyle(Qt::MiterJoin);
    }
    return result;
}

// The part of the plane worth drawing on: the device and a border of pad
// pixels around it. Coordinates far beyond it (a curve point mapped millions
// of pixels away) are cut to it first, so that no drawing call walks them.
struct Area {
    int64_t Left, Top, Right, Bottom; // inclusive
};

Area DrawableArea(QPainter& p, QPaintDevice* device, int pad) {
    constexpr int64_t Far = int64_t(1) << 24;
    if (device == nullptr || !p.combinedTransform().isIdentity())
        return Area{-Far, -Far, Far, Far};
    return Area{-int64_t(pad), -int64_t(pad), int64_t(device->width()) + pad,
                int64_t(device->height()) + pad};
}

// Liang-Barsky: cuts the segment a-b to the area; false when nothing is left.
bool ClipSegment(const Area& area, QPoint& a, QPoint& b) {
    const auto inside = [&](QPoint q) {
        return q.x() >= area.Left && q.x() <= area.Right && q.y() >= area.Top &&
               q.y() <= area.Bottom;
    };
    if (inside(a) && inside(b))
        return true;
    const double x0 = a.x(), y0 = a.y();
    const double dx = double(b.x()) - x0, dy = double(b.y()) - y0;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - double(area.Left), double(area.Right) - x0, y0 - double(area.Top),
                         double(area.Bottom) - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    if (t1 < 1)
        b = QPoint(int(std::lround(x0 + t1 * dx)), int(std::lround(y0 + t1 * dy)));
    if (t0 > 0)
        a = QPoint(int(std::lround(x0 + t0 * dx)), int(std::lround(y0 + t0 * dy)));
    return true;
}

// Cuts a box (x1 < x2, y1 < y2, right and bottom excluded) to the area; false
// when it lies wholly outside.
bool ClipBox(const Area& area, int64_t& x1, int64_t& y1, int64_t& x2, int64_t& y2) {
    if (x2 <= area.Left || x1 > area.Right || y2 <= area.Top || y1 > area.Bottom)
        return false;
    x1 = std::max(x1, area.Left);
    y1 = std::max(y1, area.Top);
    x2 = std::min(x2, area.Right + 1);
    y2 = std::min(y2, area.Bottom + 1);
    return true;
}

// Pen (with its mode) and brush for an outlined and filled shape.
void ApplyPenAndBrush(QPainter& p, const TPen& pen, const TBrush& brush,
                      const QPaintDevice* device) {
    ApplyMode(p, pen.Mode, device);
    p.setPen(QtPen(pen));
    if (brush.Style == bsSolid)
        p.setBrush(ColorToQColor(brush.Color));
    else
        p.setBrush(Qt::NoBrush);
}

bool ThinSolid(const TPen& pen) {
    return pen.Width <= 1 && pen.Style == psSolid;
}

// The pixels of a thin line from a to b, b itself left out (Bresenham).
void ThinLinePixels(QPoint a, QPoint b, QPolygon& out) {
    out.clear();
    const int dx = std::abs(b.x() - a.x());
    const int dy = -std::abs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1;
    const int sy = a.y() < b.y() ? 1 : -1;
    int err = dx + dy;
    int x = a.x();
    int y = a.y();
    out.reserve(std::max(dx, -dy));
    while (x != b.x() || y != b.y()) {
        out.append(QPoint(x, y));
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

} // namespace

void TCanvas::MoveTo(int x, int y) {
    PenPos = TPoint{x, y};
}

void TCanvas::LineTo(int x, int y) {
    QPoint from(PenPos.X, PenPos.Y);
    QPoint to(x, y);
    PenPos = TPoint{x, y};
    QPainter* p = D->Active();
    if (p == nullptr || Pen.Style == psClear || from == to)
        return;
    const Area area = DrawableArea(*p, D->Target(), std::min(Pen.Width, MaxPenWidth) + 2);
    if (!ClipSegment(area, from, to) || from == to)
        return;
    ApplyMode(*p, Pen.Mode, D->Target());
    if (ThinSolid(Pen)) {
        const QColor color = ColorToQColor(Pen.Color);
        if (from.y() == to.y()) {
            const int left = from.x() < to.x() ? from.x() : to.x() + 1;
            p->fillRect(QRect(left, from.y(), std::abs(to.x() - from.x()), 1), color);
        } else if (from.x() == to.x()) {
            const int top = from.y() < to.y() ? from.y() : to.y() + 1;
            p->fillRect(QRect(from.x(), top, 1, std::abs(to.y() - from.y())), color);
        } else {
            QPolygon pixels;
            ThinLinePixels(from, to, pixels);
            p->setPen(QtPen(Pen));
            p->drawPoints(pixels);
        }
    } else {
        p->setPen(QtPen(Pen));
        p->drawLine(from, to);
    }
    ResetMode(*p);
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
    if (points.empty())
        return;
    const TPoint saved = PenPos;
    MoveTo(points[0].X, points[0].Y);
    for (size_t i = 1; i < points.size(); ++i)
        LineTo(points[i].X, points[i].Y);
    PenPos = saved;
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    QPainter* p = D->Active();
    if (p == nullptr)
        return;
    int64_t bx1 = std::min(left, right), bx2 = std::max(left, right);
    int64_t by1 = std::min(top, bottom), by2 = std::max(top, bottom);
    if (bx2 == bx1 || by2 == by1)
        return;
    const Area area = DrawableArea(*p, D->Target(), std::min(Pen.Width, MaxPenWidth) + 2);
    if (!ClipBox(area, bx1, by1, bx2, by2))
        return;
    const int x1 = int(bx1), y1 = int(by1), x2 = int(bx2), y2 = int(by2);
    const int w = x2 - x1;
    const int h = y2 - y1;
    ApplyMode(*p, Pen.Mode, D->Target());
    const bool outline = Pen.Style != psClear;
    if (Brush.Style == bsSolid) {
        // Without a pen the filled area is one pixel smaller on the right and
        // bottom; with a thin pen the outline covers the border pixels.
        QRect fill = outline ? QRect(x1 + 1, y1 + 1, w - 2, h - 2) : QRect(x1, y1, w - 1, h - 1);
        if (outline && !ThinSolid(Pen))
            fill = QRect(x1, y1, w, h);
        if (fill.width() > 0 && fill.height() > 0)
            p->fillRect(fill, ColorToQColor(Brush.Color));
    }
    if (outline) {
        if (ThinSolid(Pen)) {
            const QColor color = ColorToQColor(Pen.Color);
            if (w <= 2 || h <= 2) {
                p->fillRect(QRect(x1, y1, w, h), color);
            } else {
                p->fillRect(QRect(x1, y1, w, 1), color);
                p->fillRect(QRect(x1, y2 - 1, w, 1), color);
                p->fillRect(QRect(x1, y1 + 1, 1, h - 2), color);
                p->fillRect(QRect(x2 - 1, y1 + 1, 1, h - 2), color);
            }
        } else {
            p->setPen(QtPen(Pen));
            p->setBrush(Qt::NoBrush);
            p->drawRect(QRect(x1, y1, w - 1, h - 1));
        }
    }
    ResetMode(*p);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
    QPainter* p = D->Active();
    if (p == nullptr)
        return;
    const int64_t x1 = std::min(left, right), x2 = std::max(left, right);
    const int64_t y1 = std::min(top, bottom), y2 = std::max(top, bottom);
    // An ellipse larger than any page is left out rather than flattened.
    constexpr int64_t MaxExtent = 1 << 16;
    if (x2 == x1 || y2 == y1 || x2 - x1 > MaxExtent || y2 - y1 > MaxExtent)
        return;
    int64_t cx1 = x1, cy1 = y1, cx2 = x2, cy2 = y2;
    const Area area = DrawableArea(*p, D->Target(), std::min(Pen.Width, MaxPenWidth) + 2);
    if (!ClipBox(area, cx1, cy1, cx2, cy2))
        return;
    const int w = int(x2 - x1);
    const int h = int(y2 - y1);
    ApplyPenAndBrush(*p, Pen, Brush, D->Target());
    if (w == 1 || h == 1) {
        if (Pen.Style != psClear)
            p->fillRect(QRect(int(x1), int(y1), w, h), ColorToQColor(Pen.Color));
    } else {
        p->drawEllipse(QRect(int(x1), int(y1), w - 1, h - 1));
    }
    p->setBrush(Qt::NoBrush);
    ResetMode(*p);
}

void TCanvas::FillRect(const TRect& rect) {
    QPainter* p = D->Active();
    if (p == nullptr || Brush.Style == bsClear)
        return;
    int64_t x1 = std::min(rect.Left, rect.Right), x2 = std::max(rect.Left, rect.Right);
    int64_t y1 = std::min(rect.Top, rect.Bottom), y2 = std::max(rect.Top, rect.Bottom);
    if (x2 == x1 || y2 == y1 || !ClipBox(DrawableArea(*p, D->Target(), 1), x1, y1, x2, y2))
        return;
    p->fillRect(QRect(int(x1), int(y1), int(x2 - x1), int(y2 - y1)), ColorToQColor(Brush.Color));
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
    QPainter* p = D->Active();
    if (p == nullptr || points.size() < 2)
        return;
    QPolygon polygon;
    polygon.reserve(static_cast<int>(points.size()));
    for (const TPoint& point : points)
        polygon.append(QPoint(point.X, point.Y));
    ApplyPenAndBrush(*p, Pen, Brush, D->Target());
    p->drawPolygon(polygon, Qt::OddEvenFill);
    p->setBrush(Qt::NoBrush);
    ResetMode(*p);
}

TColor TCanvas::Pixels(int x, int y) {
    QPaintDevice* device = D->Target();
    if (device == nullptr || device->devType() != QInternal::Image)
        return clInvalid;
    const QImage* image = static_cast<const QImage*>(device);
    if (!image->valid(x, y))
        return clInvalid;
    return RgbToColor(image->pixel(x, y));
}

void TCanvas::SetPixels(int x, int y, TColor color) {
    QPainter* p = D->Active();
    if (p == nullptr)
        return;
    p->fillRect(QRect(x, y, 1, 1), ColorToQColor(color));
}

void TCanvas::TextOut(int x, int y, const QString& text) {
    QPainter* p = D->Active();
    if (p == nullptr || text.isEmpty())
        return;
    const ResolvedFont font = ResolveFont(Font, D->Target());
    const Area area = DrawableArea(*p, D->Target(), 1);
    if (y > area.Bottom || int64_t(y) + font.CellHeight < area.Top || x > area.Right)
        return;
    if (Brush.Style == bsSolid) {
        const int width = QFontMetrics(font.Font, D->Target()).horizontalAdvance(text);
        p->fillRect(QRect(x, y, width, font.CellHeight), ColorToQColor(Brush.Color));
    }
    p->setFont(font.Font);
    p->setPen(ColorToQColor(Font.Color));
    p->drawText(QPoint(x, y + font.BaselineOffset), text);
}

int TCanvas::TextWidth(const QString& text) {
    const ResolvedFont font = ResolveFont(Font, D->Target());
    return QFontMetrics(font.Font, D->Target()).horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString&) {
    return ResolveFont(Font, D->Target()).CellHeight;
}

void TCanvas::Draw(int x, int y, const QImage& image) {
    QPainter* p = D->Active();
    if (p == nullptr || image.isNull())
        return;
    p->drawImage(QPoint(x, y), image);
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
    Draw(x, y, bitmap.Image());
}

void TCanvas::CopyRect(const TRect& dest, const QImage& source, const TRect& src) {
    QPainter* p = D->Active();
    if (p == nullptr || source.isNull())
        return;
    p->drawImage(QRect(dest.Left, dest.Top, dest.Width(), dest.Height()), source,
                 QRect(src.Left, src.Top, src.Width(), src.Height()));
}

void TCanvas::CopyRect(const TRect& dest, TBitmap& source, const TRect& src) {
    CopyRect(dest, source.Image(), src);
}

// --- TBitmap ---

TBitmap::TBitmap() : CanvasPtr(std::make_unique<TCanvas>(&Img)) {}

TBitmap::TBitmap(int width, int height) : TBitmap() {
    SetSize(width, height);
}

TBitmap::~TBitmap() {
    CanvasPtr.reset();
}

int TBitmap::Width() const {
    return Img.width();
}

int TBitmap::Height() const {
    return Img.height();
}

void TBitmap::SetWidth(int width) {
    SetSize(width, Img.height());
}

void TBitmap::SetHeight(int height) {
    SetSize(Img.width(), height);
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == Img.width() && height == Img.height())
        return;
    CanvasPtr->EndPaint();
    if (width == 0 || height == 0) {
        Img = QImage();
        return;
    }
    QImage resized(width, height, QImage::Format_RGB32);
    resized.fill(Qt::white);
    if (!Img.isNull()) {
        QPainter p(&resized);
        p.drawImage(QPoint(0, 0), Img);
    }
    Img = resized;
}

const QImage& TBitmap::Image() {
    CanvasPtr->EndPaint();
    return Img;
}

void TBitmap::Assign(const QImage& image) {
    CanvasPtr->EndPaint();
    Img = image.convertToFormat(QImage::Format_RGB32);
}

bool TBitmap::LoadFromFile(const std::string& fileName) {
    QImage loaded;
    if (!loaded.load(QString::fromStdString(fileName)))
        return false;
    Assign(loaded);
    return true;
}

} // namespace vcl
