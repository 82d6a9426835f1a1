#include "art_style.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace art {

QFont Face(int px, bool bold, bool italic) {
    QFont f(QStringLiteral("Comic Sans MS"));
    f.setPixelSize(px);
    f.setBold(bold);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

std::uint32_t SeedOf(const QString& name) {
    std::uint32_t h = 2166136261u;   // FNV-1a
    for (QChar ch : name) {
        h ^= ch.unicode();
        h *= 16777619u;
    }
    return h;
}

namespace {

// A well-mixed hash of a lattice point: the texture's only source of chance.
std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = seed ^ (static_cast<std::uint32_t>(x) * 0x8da6b343u) ^ (static_cast<std::uint32_t>(y) * 0xd8163841u);
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

// Value noise in fixed point: 0..4096 at lattice spacing `cell`, smoothly
// interpolated between lattice points.
int ValueNoise(int x, int y, int cell, std::uint32_t seed) {
    const int gx = x / cell, gy = y / cell;
    const int fx = (x % cell) * 4096 / cell, fy = (y % cell) * 4096 / cell;
    auto smooth = [](int t) { return t * t / 4096 * (3 * 4096 - 2 * t) / 4096; };
    const int sx = smooth(fx), sy = smooth(fy);
    auto v = [&](int ix, int iy) { return static_cast<int>(Hash(ix, iy, seed) >> 20); };   // 0..4095
    const int top = v(gx, gy) + (v(gx + 1, gy) - v(gx, gy)) * sx / 4096;
    const int bottom = v(gx, gy + 1) + (v(gx + 1, gy + 1) - v(gx, gy + 1)) * sx / 4096;
    return top + (bottom - top) * sy / 4096;
}

int Clamp255(int v) { return std::clamp(v, 0, 255); }

}  // namespace

QImage Parchment(QSize size, std::uint32_t seed, bool aged) {
    QImage img(size, QImage::Format_RGB32);
    const int w = size.width(), h = size.height();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            // Broad blotches, medium mottling and a fibre-like streak along x.
            const int n = (ValueNoise(x, y, 56, seed) * 5 + ValueNoise(x, y, 17, seed + 1) * 3 +
                           ValueNoise(x / 3, y, 4, seed + 2) * 2) / 10;   // 0..4095
            const int d = (n - 2048) * 11 / 2048;                        // about -11..11
            const int grain = static_cast<int>(Hash(x, y, seed + 3) % 7) - 3;
            int shade = d + grain;
            if (aged) {
                const int edge = std::min({x, y, w - 1 - x, h - 1 - y});
                if (edge < 28) shade -= (28 - edge) * (28 - edge) / 28;
            }
            line[x] = qRgb(Clamp255(214 + shade), Clamp255(198 + shade * 11 / 10), Clamp255(173 + shade * 13 / 10));
        }
    }
    return img;
}

void Wash(QPainter& p, const QRectF& r, const QColor& c, qreal radius) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    if (radius > 0)
        p.drawRoundedRect(r, radius, radius);
    else
        p.drawRect(r);
    p.restore();
}

void DoubleRule(QPainter& p, const QRectF& r, const QColor& c, qreal gap) {
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c, 2));
    p.drawRect(r.adjusted(1, 1, -1, -1));
    QColor thin = c;
    thin.setAlpha(190);
    p.setPen(QPen(thin, 1));
    p.drawRect(r.adjusted(gap + 1.5, gap + 1.5, -gap - 1.5, -gap - 1.5));
    p.restore();
}

void CornerOrnament(QPainter& p, QPointF c, qreal s, const QColor& col) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath diamond;
    diamond.moveTo(c.x(), c.y() - s);
    diamond.lineTo(c.x() + s * 0.6, c.y());
    diamond.lineTo(c.x(), c.y() + s);
    diamond.lineTo(c.x() - s * 0.6, c.y());
    diamond.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(col);
    p.drawPath(diamond);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(col, 1.2));
    p.drawEllipse(c, s * 1.25, s * 1.25);
    p.restore();
}

void CornerOrnaments(QPainter& p, const QRectF& r, qreal size, const QColor& col) {
    CornerOrnament(p, r.topLeft(), size, col);
    CornerOrnament(p, r.topRight(), size, col);
    CornerOrnament(p, r.bottomLeft(), size, col);
    CornerOrnament(p, r.bottomRight(), size, col);
}

void Flourish(QPainter& p, QPointF c, qreal half, const QColor& col) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(c.x() - half, c.y());
    path.quadTo(c.x() - half / 2, c.y() - 2.2, c.x() - 7, c.y());
    path.quadTo(c.x() - half / 2, c.y() + 2.2, c.x() - half, c.y());
    path.moveTo(c.x() + half, c.y());
    path.quadTo(c.x() + half / 2, c.y() - 2.2, c.x() + 7, c.y());
    path.quadTo(c.x() + half / 2, c.y() + 2.2, c.x() + half, c.y());
    p.setPen(QPen(col, 0.8));
    p.setBrush(col);
    p.drawPath(path);
    p.restore();
    CornerOrnament(p, c, 4, col);
}

void Groove(QPainter& p, const QRectF& r, qreal radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(90, 60, 25, 110), 1));
    p.drawRoundedRect(r.adjusted(-0.5, -0.5, -0.5, -0.5), radius, radius);
    p.setPen(QPen(QColor(255, 248, 230, 150), 1));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, 0.5, 0.5), radius, radius);
    p.restore();
}

int FittedText(QPainter& p, const QRectF& box, const QString& text, int px, bool bold, bool italic,
               const QColor& col, Qt::Alignment align) {
    int size = px;
    for (; size > 6; --size) {
        QFontMetricsF fm(Face(size, bold, italic));
        if (fm.horizontalAdvance(text) <= box.width() && fm.height() * 0.8 <= box.height()) break;
    }
    p.save();
    p.setFont(Face(size, bold, italic));
    p.setPen(col);
    p.drawText(box, align, text);
    p.restore();
    return size;
}

void ShadowedText(QPainter& p, const QRectF& box, const QString& text, const QFont& f, const QColor& col,
                  Qt::Alignment align) {
    p.save();
    p.setFont(f);
    p.setPen(QColor(120, 85, 40, 90));
    p.drawText(box.translated(2, 2), align, text);
    p.setPen(col);
    p.drawText(box, align, text);
    p.restore();
}

}  // namespace art
