#include "art_buttons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "art_style.h"

namespace art {

namespace {

QColor CaptionColour(Look look) {
    switch (look) {
    case Look::Lit: return QColor(120, 52, 0);
    case Look::Pressed: return QColor(58, 34, 6);
    case Look::Normal: break;
    }
    return kInk;
}

// The plaque's rectangle: one pixel is kept free at the bottom and right for
// the drop shadow of the raised looks; the pressed plaque moves into it.
QRectF PlaqueRect(QSize size, Look look) {
    QRectF r(0.5, 0.5, size.width() - 2.0, size.height() - 2.0);
    return look == Look::Pressed ? r.translated(1, 1) : r;
}

void DrawPlaque(QPainter& p, const QRectF& r, Look look, qreal radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(r, radius, radius);

    switch (look) {
    case Look::Normal: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 42, 10, 90));
        p.drawRoundedRect(r.translated(1, 1), radius, radius);
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, QColor(238, 226, 200));
        g.setColorAt(1, QColor(200, 178, 142));
        p.setBrush(g);
        p.setPen(QPen(QColor(112, 74, 30), 1.2));
        p.drawPath(shape);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 251, 238, 150), 1));
        p.drawRoundedRect(r.adjusted(1.2, 1.2, -1.2, -1.2), radius - 1, radius - 1);
        break;
    }
    case Look::Lit: {
        // A golden glow around the plaque, then a bright face with a warm centre.
        p.setPen(Qt::NoPen);
        for (int i = 3; i >= 1; --i) {
            p.setBrush(QColor(255, 200, 60, 40));
            p.drawRoundedRect(r.adjusted(-0.6 * i, -0.6 * i, 0.6 * i, 0.6 * i), radius + i, radius + i);
        }
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, QColor(255, 250, 226));
        g.setColorAt(1, QColor(244, 214, 146));
        p.setBrush(g);
        p.setPen(QPen(QColor(200, 128, 16), 1.8));
        p.drawPath(shape);
        QRadialGradient glow(r.center(), std::max(r.width(), r.height()) * 0.6);
        glow.setColorAt(0, QColor(255, 255, 235, 150));
        glow.setColorAt(1, QColor(255, 255, 235, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1, radius - 1);
        break;
    }
    case Look::Pressed: {
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, QColor(160, 134, 96));
        g.setColorAt(1, QColor(192, 170, 132));
        p.setBrush(g);
        p.setPen(Qt::NoPen);
        p.drawPath(shape);
        // Shade inside along the top and left edges: the face looks sunken.
        QPainterPath inner = shape.subtracted(shape.translated(2, 2));
        p.setBrush(QColor(50, 28, 4, 120));
        p.drawPath(inner);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(66, 38, 8), 1.4));
        p.drawPath(shape);
        break;
    }
    }
    p.restore();
}

void DrawGlyph(QPainter& p, Glyph glyph, QPointF c, Look look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = CaptionColour(look);
    const QColor green = look == Look::Lit ? QColor(30, 110, 20) : QColor(34, 84, 22);
    const QColor red = look == Look::Lit ? QColor(178, 30, 10) : QColor(132, 28, 14);
    auto triangle = [&](bool up, qreal top) {
        QPainterPath t;
        if (up) {
            t.moveTo(c.x(), top);
            t.lineTo(c.x() + 5, top + 6);
            t.lineTo(c.x() - 5, top + 6);
        } else {
            t.moveTo(c.x() - 5, top);
            t.lineTo(c.x() + 5, top);
            t.lineTo(c.x(), top + 6);
        }
        t.closeSubpath();
        p.setPen(QPen(ink, 0.8));
        p.setBrush(ink);
        p.drawPath(t);
    };
    switch (glyph) {
    case Glyph::List:
        p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(c.x() - 5, c.y() - 3.5), QPointF(c.x() + 5, c.y() - 3.5));
        triangle(false, c.y() - 1);
        break;
    case Glyph::New:
        p.setPen(QPen(green, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(c.x() - 4.5, c.y()), QPointF(c.x() + 4.5, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - 4.5), QPointF(c.x(), c.y() + 4.5));
        break;
    case Glyph::Delete:
        p.setPen(QPen(red, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(c.x() - 3.8, c.y() - 3.8), QPointF(c.x() + 3.8, c.y() + 3.8));
        p.drawLine(QPointF(c.x() + 3.8, c.y() - 3.8), QPointF(c.x() - 3.8, c.y() + 3.8));
        break;
    case Glyph::ScrollUp: triangle(true, c.y() - 3.5); break;
    case Glyph::ScrollDown: triangle(false, c.y() - 2.5); break;
    case Glyph::Lock: {
        // The pressed look is the lock turned on: its shackle closed. Open, the
        // shackle stands raised with its right leg free of the body.
        const bool closed = look == Look::Pressed;
        const qreal lift = closed ? 0 : 1.5;
        const qreal bodyTop = c.y() - 0.5;
        p.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath shackle;
        shackle.moveTo(c.x() - 3, bodyTop);
        shackle.lineTo(c.x() - 3, c.y() - 4 - lift);
        shackle.arcTo(QRectF(c.x() - 3, c.y() - 7 - lift, 6, 6), 180, -180);
        shackle.lineTo(c.x() + 3, closed ? bodyTop : c.y() - 2.5);
        p.drawPath(shackle);
        p.setPen(QPen(ink, 1));
        p.setBrush(look == Look::Lit ? QColor(214, 150, 40) : QColor(160, 110, 40));
        p.drawRoundedRect(QRectF(c.x() - 5, bodyTop, 10, 7), 1.5, 1.5);
        p.setBrush(ink);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(c.x(), bodyTop + 3.2), 1.2, 1.2);
        break;
    }
    }
    p.restore();
}

}  // namespace

QImage CaptionButton(const QImage& base, const QString& caption, int px, Look look) {
    QImage img = base.convertToFormat(QImage::Format_RGB32);
    QPainter p(&img);
    const QRectF r = PlaqueRect(img.size(), look);
    DrawPlaque(p, r, look, std::min(r.height() / 3.2, 9.0));
    FittedText(p, r.adjusted(4, 1, -4, -1), caption, px, true, false, CaptionColour(look));
    p.end();
    return img;
}

QImage GlyphButton(const QImage& base, Glyph glyph, Look look) {
    QImage img = base.convertToFormat(QImage::Format_RGB32);
    QPainter p(&img);
    const QRectF r = PlaqueRect(img.size(), look);
    DrawPlaque(p, r, look, 4);
    DrawGlyph(p, glyph, r.center(), look);
    p.end();
    return img;
}

QImage ComposeGrid(const QList<QImage>& cells, int columns) {
    const QSize cell = cells.first().size();
    const int rows = (static_cast<int>(cells.size()) + columns - 1) / columns;
    QImage grid(cell.width() * columns, cell.height() * rows, QImage::Format_RGB32);
    grid.fill(kParchment);
    QPainter p(&grid);
    for (int i = 0; i < cells.size(); ++i)
        p.drawImage(QPoint((i % columns) * cell.width(), (i / columns) * cell.height()), cells[i]);
    p.end();
    return grid;
}

}  // namespace art
