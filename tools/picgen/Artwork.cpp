#include "Artwork.h"

#include <cmath>
#include <numbers>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "PanelStyle.h"

namespace picgen {

namespace {

QImage Transparent(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void Smooth(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
}

QPen RoundPen(const QColor& colour, double width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A curve through f(t), t in [0, 1], mapped onto the rectangle (y upwards).
QPainterPath Curve(const QRectF& area, double (*f)(double), int steps = 64) {
    QPainterPath path;
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const QPointF p(area.left() + t * area.width(), area.bottom() - f(t) * area.height());
        if (i == 0) {
            path.moveTo(p);
        } else {
            path.lineTo(p);
        }
    }
    return path;
}

double Rising(double t) {
    return (1 - std::exp(-3.2 * t)) / (1 - std::exp(-3.2));
}

double Sine(double t) {
    return 0.5 + 0.5 * std::sin(2 * std::numbers::pi * 1.5 * t);
}

// Circular arrow around centre: an arc of `sweep` degrees from `start`
// (anticlockwise from east) ending in an arrow head.
void DrawCircularArrow(QPainter& painter, QPointF centre, double radius, double start, double sweep,
                       const QColor& colour, double width) {
    painter.setPen(RoundPen(colour, width));
    painter.setBrush(Qt::NoBrush);
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath arc;
    arc.arcMoveTo(box, start);
    arc.arcTo(box, start, sweep);
    painter.drawPath(arc);

    const double end = (start + sweep) * std::numbers::pi / 180;
    const QPointF tip(centre.x() + radius * std::cos(end), centre.y() - radius * std::sin(end));
    // Tangent in the direction of travel (anticlockwise when sweep > 0).
    const double sign = sweep > 0 ? 1 : -1;
    const QPointF tangent(-std::sin(end) * sign, -std::cos(end) * sign);
    const QPointF normal(std::cos(end), -std::sin(end));
    const double head = width * 2.2;
    const QPolygonF arrow{tip + tangent * head, tip - normal * head * 0.9,
                          tip + normal * head * 0.9};
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(arrow);
}

void DrawCheckMark(QPainter& painter, const QPolygonF& points, double width) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(RoundPen(QColor(20, 90, 30), width + 2));
    painter.drawPolyline(points);
    painter.setPen(RoundPen(QColor(40, 170, 60), width));
    painter.drawPolyline(points);
}

// A window with a side panel on the right; the arrow points right (hide) or
// left (show).
void DrawPanelToggle(QPainter& painter, bool pointRight) {
    painter.setPen(QPen(QColor(60, 70, 90), 1.2));
    painter.setBrush(QColor(250, 251, 253));
    painter.drawRoundedRect(QRectF(2.5, 4.5, 27, 23), 2, 2);
    painter.setBrush(QColor(120, 150, 200));
    painter.drawRect(QRectF(19.5, 4.5, 10, 23));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(70, 80, 100));
    painter.drawRect(QRectF(3, 5, 26, 3.5));

    const double y = 18;
    const double from = pointRight ? 5 : 16;
    const double to = pointRight ? 16 : 5;
    painter.setPen(RoundPen(QColor(30, 100, 200), 2.6));
    painter.drawLine(QPointF(from, y), QPointF(to, y));
    const double dir = pointRight ? 1 : -1;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 100, 200));
    painter.drawPolygon(QPolygonF{QPointF(to + dir * 2.5, y), QPointF(to - dir * 3, y - 4.5),
                                  QPointF(to - dir * 3, y + 4.5)});
}

// An icon's background: a rounded rectangle shaded from top to bottom, with a
// 4-px border.
void DrawRoundedCase(QPainter& painter, const QRectF& box, double radius, const QColor& top,
                     const QColor& bottom, const QColor& border) {
    QLinearGradient shade(0, box.top(), 0, box.bottom());
    shade.setColorAt(0, top);
    shade.setColorAt(1, bottom);
    painter.setPen(QPen(border, 4));
    painter.setBrush(shade);
    painter.drawRoundedRect(box, radius, radius);
}

// Dots on f at count + 1 evenly spaced t, with the painter's pen and brush.
void DrawMarkedPoints(QPainter& painter, const QRectF& area, double (*f)(double), int count,
                      double radius) {
    for (int i = 0; i <= count; ++i) {
        const double t = static_cast<double>(i) / count;
        painter.drawEllipse(
            QPointF(area.left() + t * area.width(), area.bottom() - f(t) * area.height()), radius,
            radius);
    }
}

QImage PaintedIcon(void (*paint)(QPainter&)) {
    QImage image = Transparent(IconSize);
    QPainter painter(&image);
    Smooth(painter);
    paint(painter);
    return image;
}

} // namespace

QImage DrawIntro() {
    using namespace PanelStyle;
    QImage image(IntroWidth, IntroHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    Smooth(painter);

    QLinearGradient blue(0, 0, 0, IntroHeight);
    blue.setColorAt(0, QColor(0, 0, 150));
    blue.setColorAt(1, QColor(0, 0, 230));
    painter.fillRect(image.rect(), blue);

    // Everything but the gradient stays out of the label's band.
    const QRect band(IntroWidth - IntroLabelBandWidth, IntroHeight - IntroLabelBandHeight,
                     IntroLabelBandWidth, IntroLabelBandHeight);
    painter.setClipRegion(QRegion(image.rect()).subtracted(QRegion(band)));

    painter.setPen(QPen(QColor(255, 255, 255, 34), 1));
    for (int x = 12; x < IntroWidth; x += 25) {
        painter.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, IntroHeight));
    }
    for (int y = 12; y < IntroHeight; y += 25) {
        painter.drawLine(QPointF(0, y + 0.5), QPointF(IntroWidth, y + 0.5));
    }

    const QRectF plot(12, 30, 251, 130);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(RoundPen(QColor(140, 230, 255), 2.2));
    painter.drawPath(Curve(plot.adjusted(0, 20, 0, -20), Sine, 120));

    painter.setPen(RoundPen(QColor(255, 255, 255), 2.6));
    painter.drawPath(Curve(plot, Rising));
    painter.setBrush(QColor(255, 255, 255));
    painter.setPen(Qt::NoPen);
    for (int i = 0; i <= 10; ++i) {
        const double t = i / 10.0;
        painter.drawEllipse(
            QPointF(plot.left() + t * plot.width(), plot.bottom() - Rising(t) * plot.height()), 3.2,
            3.2);
    }
    return image;
}

QImage DrawToolPicture(int index) {
    QImage image = Transparent(ToolPictureSize);
    QPainter painter(&image);
    Smooth(painter);
    switch (index) {
    case 0:
        DrawPanelToggle(painter, true);
        break;
    case 1: {
        DrawCircularArrow(painter, QPointF(16, 16), 11.5, 110, 300, QColor(30, 100, 200), 2.6);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(RoundPen(QColor(200, 60, 40), 2));
        painter.drawPath(Curve(QRectF(10.5, 10.5, 11, 11), Rising, 24));
        break;
    }
    case 2: {
        QLinearGradient green(0, 6, 0, 26);
        green.setColorAt(0, QColor(90, 210, 90));
        green.setColorAt(1, QColor(20, 140, 40));
        painter.setPen(QPen(QColor(15, 90, 25), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(green);
        painter.drawPolygon(QPolygonF{QPointF(8, 5), QPointF(27, 16), QPointF(8, 27)});
        break;
    }
    case 3: {
        QLinearGradient red(0, 7, 0, 25);
        red.setColorAt(0, QColor(240, 90, 80));
        red.setColorAt(1, QColor(190, 30, 30));
        painter.setPen(QPen(QColor(120, 20, 20), 1.2));
        painter.setBrush(red);
        painter.drawRoundedRect(QRectF(7.5, 7.5, 17, 17), 2, 2);
        break;
    }
    case 4:
        DrawPanelToggle(painter, false);
        break;
    case 5:
        DrawCheckMark(painter, QPolygonF{QPointF(6, 17), QPointF(13, 24), QPointF(26, 8)}, 4);
        break;
    case 6:
        DrawCheckMark(painter, QPolygonF{QPointF(3, 15), QPointF(9, 21), QPointF(19, 7)}, 3.4);
        DrawCircularArrow(painter, QPointF(23, 23), 5.5, 90, 270, QColor(30, 100, 200), 2);
        break;
    default:
        break;
    }
    return image;
}

namespace {

void PaintWorkbenchIcon(QPainter& painter) {
    DrawRoundedCase(painter, QRectF(14, 14, 228, 228), 30, QColor(255, 255, 255),
                    QColor(222, 230, 240), QColor(90, 110, 140));

    // Grid, axes with arrows, and a rising curve of marked points.
    painter.setPen(QPen(QColor(190, 205, 225), 2));
    for (int i = 1; i <= 4; ++i) {
        painter.drawLine(QPointF(52 + 40 * i, 40), QPointF(52 + 40 * i, 204));
        painter.drawLine(QPointF(52, 204 - 38 * i), QPointF(222, 204 - 38 * i));
    }
    const QColor axis(40, 50, 70);
    painter.setPen(RoundPen(axis, 7));
    painter.drawLine(QPointF(52, 214), QPointF(52, 44));
    painter.drawLine(QPointF(42, 204), QPointF(214, 204));
    painter.setPen(Qt::NoPen);
    painter.setBrush(axis);
    painter.drawPolygon(QPolygonF{QPointF(52, 26), QPointF(40, 50), QPointF(64, 50)});
    painter.drawPolygon(QPolygonF{QPointF(232, 204), QPointF(208, 192), QPointF(208, 216)});

    const QRectF plot(60, 60, 150, 136);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(RoundPen(QColor(30, 100, 200), 7));
    painter.drawPath(Curve(plot, Rising));
    painter.setPen(QPen(QColor(150, 30, 30), 3));
    painter.setBrush(QColor(220, 60, 50));
    DrawMarkedPoints(painter, plot, Rising, 6, 9);
}

void PaintScopeIcon(QPainter& painter) {
    // The instrument's case.
    DrawRoundedCase(painter, QRectF(8, 40, 240, 176), 22, QColor(226, 228, 230),
                    QColor(180, 183, 188), QColor(90, 94, 100));

    // A small dark screen with a green sine.
    const QRectF screen(26, 60, 140, 136);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 42, 46));
    painter.drawRoundedRect(screen.adjusted(-6, -6, 6, 6), 10, 10);
    painter.setBrush(QColor(16, 24, 16));
    painter.drawRect(screen);
    painter.setPen(QPen(QColor(70, 90, 70), 2));
    for (int i = 1; i < 4; ++i) {
        painter.drawLine(QPointF(screen.left() + 35 * i, screen.top()),
                         QPointF(screen.left() + 35 * i, screen.bottom()));
        painter.drawLine(QPointF(screen.left(), screen.top() + 34 * i),
                         QPointF(screen.right(), screen.top() + 34 * i));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(RoundPen(QColor(80, 240, 100), 6));
    painter.drawPath(Curve(screen.adjusted(6, 22, -6, -22), Sine, 96));

    // A knob beside it.
    const QPointF centre(208, 100);
    painter.setPen(RoundPen(QColor(64, 64, 66), 5));
    for (int i = 0; i < 6; ++i) {
        const double a = (210 - 48 * i) * std::numbers::pi / 180;
        const QPointF u(std::cos(a), -std::sin(a));
        painter.drawLine(centre + u * 29, centre + u * 36);
    }
    painter.setPen(QPen(QColor(120, 122, 126), 2));
    painter.setBrush(QColor(60, 62, 66));
    painter.drawEllipse(centre, 25, 25);
    const double a = 114 * std::numbers::pi / 180;
    const QPointF u(std::cos(a), -std::sin(a));
    painter.setPen(RoundPen(QColor(255, 255, 255), 6));
    painter.drawLine(centre, centre + u * 19);

    // Two small buttons under it.
    painter.setPen(QPen(QColor(90, 94, 100), 2));
    painter.setBrush(QColor(240, 241, 243));
    painter.drawRoundedRect(QRectF(184, 158, 20, 18), 3, 3);
    painter.setBrush(QColor(80, 200, 90));
    painter.drawRoundedRect(QRectF(212, 158, 20, 18), 3, 3);
}

} // namespace

QImage DrawWorkbenchIcon() {
    return PaintedIcon(PaintWorkbenchIcon);
}

QImage DrawScopeIcon() {
    return PaintedIcon(PaintScopeIcon);
}

} // namespace picgen
