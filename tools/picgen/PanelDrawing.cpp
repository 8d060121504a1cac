#include "PanelDrawing.h"

#include <cmath>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include "PanelStyle.h"

namespace picgen {

using namespace PanelLayout;

namespace {

QColor ToColor(PanelStyle::Rgb c) {
    return QColor(c.R, c.G, c.B);
}

QPointF ToQt(PointF p) {
    return {p.X, p.Y};
}

QPointF UnitPointer(Knob knob, int position) {
    const PointF v = PointerVector(knob, position);
    const double length = std::hypot(v.X, v.Y);
    return {v.X / length, v.Y / length};
}

// Every colour of the screen face halved: the face as it shows unlit.
QImage Halved(const QImage& picture) {
    QImage out = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            row[x] = qRgb(qRed(row[x]) / 2, qGreen(row[x]) / 2, qBlue(row[x]) / 2);
        }
    }
    return out;
}

// count triangles pointing along axis (a unit vector along x or y), stacked
// along it and centred on centre; each is `length` long along the axis and
// `width` across. The back of the stack falls on a pixel edge, so that the
// bases stay sharp.
void DrawTriangles(QPainter& painter, QPointF centre, QPointF axis, int count, double length,
                   double width, double step) {
    const QPointF across(-axis.y(), axis.x());
    const double span = length + step * (count - 1);
    QPointF back = centre - axis * (span / 2);
    back = axis.x() != 0 ? QPointF(std::round(back.x()), back.y())
                         : QPointF(back.x(), std::round(back.y()));
    for (int i = 0; i < count; ++i) {
        const QPointF base = back + axis * (step * i);
        const QPointF apex = base + axis * length;
        painter.drawPolygon(
            QPolygonF{base + across * (width / 2), apex, base - across * (width / 2)});
    }
}

void DrawPositionAndShiftMarks(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToColor(PanelStyle::Mark));
    for (const ClickZone& zone : ClickZones) {
        const QPointF centre(zone.Bounds.CentreX(), zone.Bounds.CentreY());
        const int count = std::abs(zone.Value) >= 5 ? 2 : 1;
        switch (zone.Kind) {
        case ZoneKind::VerticalPosition:
            DrawTriangles(painter, centre, QPointF(0, zone.Value > 0 ? -1 : 1), count, 5, 7, 6);
            break;
        case ZoneKind::HorizontalShift:
            if (count == 2) {
                DrawTriangles(painter, centre, QPointF(zone.Value > 0 ? 1 : -1, 0), 2, 4, 7, 4);
            } else {
                DrawTriangles(painter, centre, QPointF(zone.Value > 0 ? 1 : -1, 0), 1, 5, 7, 0);
            }
            break;
        case ZoneKind::ShiftReset:
            painter.drawEllipse(centre, 2.5, 2.5);
            break;
        default:
            break;
        }
    }
}

QFont LabelFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(PanelStyle::ValueLabelPixelSize);
    font.setBold(true);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// A value label centred on its zone: the digits' box on the zone's centre,
// on whole pixels so that the hinted glyphs stay sharp.
void DrawValueLabel(QPainter& painter, const QFontMetrics& metrics, const QString& text,
                    PointF centre) {
    const int width = metrics.horizontalAdvance(text);
    const int digitHeight = metrics.tightBoundingRect(QStringLiteral("0")).height();
    const double x = std::floor(centre.X - width / 2.0 + 0.5);
    const double baseline = std::floor(centre.Y + digitHeight / 2.0 + 0.5);
    painter.drawText(QPointF(x, baseline), text);
}

void DrawKnob(QPainter& painter, Knob knob, int position) {
    const QPointF centre = ToQt(DialCentreInWindow(knob));

    QPen tickPen(ToColor(PanelStyle::KnobTick), PanelStyle::TickWidth);
    tickPen.setCapStyle(Qt::FlatCap);
    painter.setPen(tickPen);
    for (int p = 0; p < KnobPositionCount; ++p) {
        const QPointF u = UnitPointer(knob, p);
        painter.drawLine(centre + u * PanelStyle::TickInnerRadius,
                         centre + u * PanelStyle::TickOuterRadius);
    }

    painter.setPen(QPen(ToColor(PanelStyle::KnobRim), 1));
    painter.setBrush(ToColor(PanelStyle::KnobBody));
    const double r = PanelStyle::KnobRadius - 0.5; // the rim's pen straddles the path
    painter.drawEllipse(centre, r, r);

    const QPointF u = UnitPointer(knob, position);
    QPen pointerPen(ToColor(PanelStyle::Pointer), PanelStyle::PointerWidth);
    pointerPen.setCapStyle(Qt::FlatCap);
    painter.setPen(pointerPen);
    const QPointF tip = centre + u * PanelStyle::PointerLength;
    painter.drawLine(centre, tip);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToColor(PanelStyle::Pointer));
    const double dot = PanelStyle::PointerDotRadius;
    painter.drawEllipse(centre + u * (PanelStyle::PointerLength - dot), dot, dot);
}

void DrawValueLabels(QPainter& painter) {
    const QFont font = LabelFont();
    const QFontMetrics metrics(font);
    painter.setFont(font);
    painter.setPen(ToColor(PanelStyle::ValueLabel));
    for (const KnobLayout& knob : Knobs) {
        for (int p = 0; p < KnobPositionCount; ++p) {
            const Rect& zone = KnobZone(knob.Id, p).Bounds;
            DrawValueLabel(painter, metrics, ValueLabel(knob.Id, p),
                           {zone.CentreX(), zone.CentreY()});
        }
    }
}

} // namespace

KnobPositions StartPositions() {
    return {Knobs[0].StartPosition, Knobs[1].StartPosition, Knobs[2].StartPosition};
}

QString ValueLabel(Knob knob, int position) {
    return QString::number(KnobZone(knob, position).Value, 'g', 3).replace('.', ',');
}

QImage DrawScreenFace() {
    using namespace Screen;
    QImage face(PlotWidth, PlotHeight, QImage::Format_RGB32);
    face.fill(ToColor(PanelStyle::ScreenBackground));
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);

    const QColor line = ToColor(PanelStyle::Graticule);
    for (int x : GraticuleColumns) {
        painter.fillRect(QRect(x, 0, 1, PlotHeight), line);
    }
    for (int y : GraticuleRows) {
        painter.fillRect(QRect(0, y, PlotWidth, 1), line);
    }

    // Centre lines, with a tick every fifth of a division.
    const QColor centre = ToColor(PanelStyle::GraticuleCentre);
    const int half = PanelStyle::TickLength / 2;
    painter.fillRect(QRect(CentreX, 0, 1, PlotHeight), centre);
    painter.fillRect(QRect(0, CentreY, PlotWidth, 1), centre);
    for (int m = 0;; ++m) {
        const int x = OriginX + RoundHalfEven(PixelsPerTimeDivision / 5 * m);
        if (x >= PlotWidth) {
            break;
        }
        painter.fillRect(QRect(x, CentreY - half, 1, PanelStyle::TickLength), centre);
    }
    for (int m = 0;; ++m) {
        const int dy = RoundHalfEven(PixelsPerDivision / 5 * m);
        if (CentreY - dy < 0 && CentreY + dy >= PlotHeight) {
            break;
        }
        for (int y : {CentreY - dy, CentreY + dy}) {
            painter.fillRect(QRect(CentreX - half, y, PanelStyle::TickLength, 1), centre);
        }
    }
    return face;
}

QImage DrawPanel(const KnobPositions& positions) {
    QImage panel(PanelWidth, PanelHeight, QImage::Format_RGB32);
    panel.fill(ToColor(PanelStyle::Panel));
    QPainter painter(&panel);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // Screen: bezel, the paint box's dark frame and the unlit face.
    const Rect& box = FindComponent("PaintBox1")->Bounds;
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToColor(PanelStyle::Bezel));
    painter.drawRoundedRect(QRectF(box.Left - 8, box.Top - 8, box.Width + 16, box.Height + 16), 9,
                            9);
    painter.fillRect(QRect(box.Left, box.Top, box.Width, box.Height),
                     ToColor(PanelStyle::PaintBoxFace));
    painter.drawImage(QPoint(box.Left + Screen::GraphMargin, box.Top + Screen::GraphMargin),
                      Halved(DrawScreenFace()));

    DrawPositionAndShiftMarks(painter);
    DrawValueLabels(painter);
    for (const KnobLayout& knob : Knobs) {
        DrawKnob(painter, knob.Id, positions[static_cast<std::size_t>(knob.Id)]);
    }
    return panel;
}

QImage CropKnob(const QImage& panel, Knob knob) {
    const Rect& r = KnobOf(knob).Picture;
    return panel.copy(r.Left, r.Top, r.Width, r.Height);
}

} // namespace picgen
