#include "Canvas.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <tuple>

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
    if (font.Height > 0) {
        // The largest pixel size whose cell fits the height asked for: Qt rounds
        // ascent and descent up separately, so not every cell height exists.
        int px = font.Height;
        for (; px > 1; --px) {
            result.Font.setPixelSize(px);
            if (QFontMetrics(result.Font, device).height() <= font.Height)
                break;
        }
        result.Font.setPixelSize(std::max(px, 1));
    }
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

QPen QtPen(const TPen& pen) {
    QPen result(ColorToQColor(pen.Color));
    result.setStyle(QtPenStyle(pen.Style));
    if (pen.Width > 1) {
        result.setWidth(pen.Width);
        result.setCapStyle(Qt::RoundCap);
        result.setJoinStyle(Qt::RoundJoin);
    } else {
        result.setWidth(1);
        result.setCapStyle(Qt::FlatCap);
        result.setJoinStyle(Qt::MiterJoin);
    }
    return result;
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
    const QPoint from(PenPos.X, PenPos.Y);
    const QPoint to(x, y);
    PenPos = TPoint{x, y};
    QPainter* p = D->Active();
    if (p == nullptr || Pen.Style == psClear || from == to)
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

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    QPainter* p = D->Active();
    if (p == nullptr)
        return;
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    const int w = x2 - x1;
    const int h = y2 - y1;
    if (w <= 0 || h <= 0)
        return;
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

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    QPainter* p = D->Active();
    if (p == nullptr)
        return;
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    const int w = x2 - x1;
    const int h = y2 - y1;
    if (w <= 0 || h <= 0)
        return;
    ApplyMode(*p, Pen.Mode, D->Target());
    p->setPen(QtPen(Pen));
    if (Brush.Style == bsSolid)
        p->setBrush(ColorToQColor(Brush.Color));
    else
        p->setBrush(Qt::NoBrush);
    if (w == 1 || h == 1) {
        if (Pen.Style != psClear)
            p->fillRect(QRect(x1, y1, w, h), ColorToQColor(Pen.Color));
    } else {
        p->drawEllipse(QRect(x1, y1, w - 1, h - 1));
    }
    p->setBrush(Qt::NoBrush);
    ResetMode(*p);
}

void TCanvas::FillRect(const TRect& rect) {
    QPainter* p = D->Active();
    if (p == nullptr || Brush.Style == bsClear)
        return;
    const int left = std::min(rect.Left, rect.Right);
    const int top = std::min(rect.Top, rect.Bottom);
    const int w = std::abs(rect.Right - rect.Left);
    const int h = std::abs(rect.Bottom - rect.Top);
    if (w > 0 && h > 0)
        p->fillRect(QRect(left, top, w, h), ColorToQColor(Brush.Color));
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
    QPainter* p = D->Active();
    if (p == nullptr || points.size() < 2)
        return;
    QPolygon polygon;
    polygon.reserve(static_cast<int>(points.size()));
    for (const TPoint& point : points)
        polygon.append(QPoint(point.X, point.Y));
    ApplyMode(*p, Pen.Mode, D->Target());
    p->setPen(QtPen(Pen));
    if (Brush.Style == bsSolid)
        p->setBrush(ColorToQColor(Brush.Color));
    else
        p->setBrush(Qt::NoBrush);
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
