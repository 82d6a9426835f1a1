#include "art_backgrounds.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "art_style.h"

namespace art {

namespace {

const QColor kTray(120, 85, 40, 34);   // the shade under a group of buttons

// A faint shadow around a windowed control's place (lists, picture boxes).
void Seat(QPainter& p, const QRectF& r) {
    Wash(p, r.adjusted(-4, -4, 4, 4), QColor(110, 76, 34, 30), 5);
    Groove(p, r.adjusted(-1, -1, 1, 1), 2);
}

void Underline(QPainter& p, qreal x1, qreal x2, qreal y) {
    p.save();
    p.setPen(QPen(QColor(kInkSoft.red(), kInkSoft.green(), kInkSoft.blue(), 150), 1));
    p.drawLine(QPointF(x1, y + 0.5), QPointF(x2, y + 0.5));
    p.restore();
}

}  // namespace

QImage MainBackground() {
    QImage img = Parchment(QSize(640, 460), SeedOf("frmMain"), true);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // The client area shows 638 x 455 of the picture; the border lies inside that.
    DoubleRule(p, QRectF(3, 3, 632, 449), kInkSoft);

    // The creature sheet on the left: statistic rows, the description and the
    // picture page, with the page buttons along its foot.
    const QRectF sheet(12, 14, 330, 434);
    Wash(p, sheet, QColor(kLight.red(), kLight.green(), kLight.blue(), 90), 6);
    DoubleRule(p, sheet, kInkSoft);
    CornerOrnaments(p, sheet.adjusted(8, 8, -8, -8), 3, kInkSoft);
    Flourish(p, QPointF(177, 23.5), 110, kInkSoft);
    for (int i = 0; i < 10; ++i) Underline(p, 34, 137, 48 + 24 * i + 17);   // under the statistic labels
    Underline(p, 34, 137, 288 + 17);
    for (int x : {40, 130, 220}) Groove(p, QRectF(x - 1, 399, 74, 38), 9);

    // The right column: name, category and roster rows with their buttons, the
    // roster panel and its buttons.
    const QRectF column(352, 12, 276, 376);
    Wash(p, column, QColor(kLight.red(), kLight.green(), kLight.blue(), 70), 6);
    DoubleRule(p, column, kInkSoft);
    CornerOrnaments(p, column.adjusted(8, 8, -8, -8), 3, kInkSoft);

    Underline(p, 366, 546, 50);   // under the creature's name
    FittedText(p, QRectF(366, 77, 68, 17), QStringLiteral("Category:"), 12, false, true, kInkSoft,
               Qt::AlignLeft | Qt::AlignVCenter);
    Underline(p, 436, 529, 95);
    FittedText(p, QRectF(366, 125, 120, 17), QStringLiteral("Roster:"), 12, false, true, kInkSoft,
               Qt::AlignLeft | Qt::AlignVCenter);
    Underline(p, 376, 609, 170);
    for (qreal y : {62.5, 110.5, 188.5}) Flourish(p, QPointF(490, y), 112, QColor(kInkFaint.red(), kInkFaint.green(), kInkFaint.blue(), 200));

    // Trays under the three small buttons of each row (the category row also
    // holds the lock).
    for (int row = 0; row < 3; ++row) {
        const int y = 27 + 48 * row;
        const QRectF tray = row == 1 ? QRectF(530, y - 3, 89, 26) : QRectF(550, y - 3, 69, 26);
        Wash(p, tray, kTray, 5);
        Groove(p, tray, 5);
    }

    Seat(p, QRectF(368, 208, 249, 137));   // the roster panel
    for (int x : {385, 450, 520}) Groove(p, QRectF(x - 1, 354, 66, 34), 9);

    // The bottom-right corner, where the Screen, Help and Exit buttons appear.
    FittedText(p, QRectF(380, 404, 240, 36), QStringLiteral("The Ostravell"), 20, false, true,
               QColor(150, 112, 66, 120));
    p.end();
    return img;
}

QImage RosterPanelBackground() {
    QImage img = Parchment(QSize(245, 133), SeedOf("picRoster"), false);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    Wash(p, QRectF(0, 0, 245, 133), QColor(kLight.red(), kLight.green(), kLight.blue(), 60));
    // One ruled line under each of the eight roster lines.
    p.setPen(QPen(QColor(kInkFaint.red(), kInkFaint.green(), kInkFaint.blue(), 150), 1));
    for (int i = 0; i < 8; ++i) p.drawLine(QPointF(6, 16 * i + 15.5), QPointF(212, 16 * i + 15.5));
    // The column of the scroll arrows, with a track between them.
    Wash(p, QRectF(216, 0, 29, 133), kTray);
    p.setPen(QPen(QColor(kInkSoft.red(), kInkSoft.green(), kInkSoft.blue(), 140), 1));
    p.drawLine(QPointF(215.5, 0), QPointF(215.5, 133));
    p.setPen(QPen(QColor(kInkSoft.red(), kInkSoft.green(), kInkSoft.blue(), 110), 1.2, Qt::DotLine));
    p.drawLine(QPointF(232, 26), QPointF(232, 107));
    p.end();
    return img;
}

QImage AreYouSureBackground() {
    QImage img = Parchment(QSize(200, 125), SeedOf("frmAreYouSure"), true);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    DoubleRule(p, QRectF(2, 2, 196, 121), kInkSoft);
    CornerOrnaments(p, QRectF(10, 10, 180, 105), 2.5, kInkSoft);
    Flourish(p, QPointF(100, 19.5), 62, kInkSoft);   // above the question at y 32
    Groove(p, QRectF(44, 69, 37, 32), 8);             // Yes
    Groove(p, QRectF(116, 69, 37, 32), 8);            // No
    Flourish(p, QPointF(100, 112.5), 40, kInkFaint);
    p.end();
    return img;
}

QImage InputBoxBackground() {
    QImage img = Parchment(QSize(330, 125), SeedOf("frmInputBox"), true);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    DoubleRule(p, QRectF(2, 2, 326, 121), kInkSoft);
    CornerOrnaments(p, QRectF(10, 10, 310, 105), 2.5, kInkSoft);
    Flourish(p, QPointF(165, 15.5), 96, kInkSoft);    // above the prompt at y 24
    Seat(p, QRectF(32, 56, 265, 19));                 // the text box
    Groove(p, QRectF(81, 79, 62, 27), 7);             // OK
    Groove(p, QRectF(166, 79, 62, 27), 7);            // Cancel
    Flourish(p, QPointF(165, 114.5), 60, kInkFaint);
    p.end();
    return img;
}

QImage SplashBackground() {
    QImage img = Parchment(QSize(480, 340), SeedOf("frmSplash"), true);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    DoubleRule(p, QRectF(4, 4, 472, 332), kInk, 4);
    DoubleRule(p, QRectF(12, 12, 456, 316), kInkSoft, 2);
    CornerOrnaments(p, QRectF(22, 22, 436, 296), 5, kInk);

    QFont title = Face(50, true);
    ShadowedText(p, QRectF(20, 34, 440, 72), QStringLiteral("The Ostravell"), title, kInk);
    Flourish(p, QPointF(240, 110.5), 160, kInkSoft);
    FittedText(p, QRectF(30, 118, 420, 26), QStringLiteral("A book of creatures for role-playing games"), 17,
               false, true, kInkSoft);

    // An emblem: a compass rose inside two rings.
    const QPointF c(240, 208);
    const qreal R = 52;
    p.setBrush(QColor(kLight.red(), kLight.green(), kLight.blue(), 120));
    p.setPen(QPen(kInk, 2));
    p.drawEllipse(c, R, R);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInkSoft, 1));
    p.drawEllipse(c, R - 5, R - 5);
    for (int i = 0; i < 8; ++i) {
        const qreal a = i * M_PI / 4 - M_PI / 2;
        const qreal len = (i % 2 == 0) ? R - 8 : (R - 8) * 0.62;
        const QPointF tip(c.x() + len * std::cos(a), c.y() + len * std::sin(a));
        for (int side : {-1, 1}) {
            const qreal b = a + side * M_PI / 8;
            const QPointF flank(c.x() + 9 * std::cos(b), c.y() + 9 * std::sin(b));
            QPainterPath half;
            half.moveTo(c);
            half.lineTo(tip);
            half.lineTo(flank);
            half.closeSubpath();
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(side < 0 ? kInk : QColor(196, 160, 110));
            p.drawPath(half);
        }
    }
    p.setBrush(kGold);
    p.setPen(QPen(kInk, 1));
    p.drawEllipse(c, 4, 4);
    p.end();
    return img;
}

QImage Icon(int size) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 32.0;
    // A bound book: a brown cover, parchment pages, and the program's initial.
    const QRectF cover(2.5 * s, 1.5 * s, 27 * s, 29 * s);
    QLinearGradient g(cover.topLeft(), cover.bottomRight());
    g.setColorAt(0, QColor(140, 92, 38));
    g.setColorAt(1, QColor(78, 46, 12));
    p.setPen(QPen(QColor(50, 28, 4), std::max(1.0, s)));
    p.setBrush(g);
    p.drawRoundedRect(cover, 3 * s, 3 * s);
    const QRectF page(7 * s, 4.5 * s, 20 * s, 23 * s);
    p.setPen(Qt::NoPen);
    p.setBrush(kParchment);
    p.drawRoundedRect(page, 1.5 * s, 1.5 * s);
    p.setBrush(QColor(kGold.red(), kGold.green(), kGold.blue()));
    p.drawRect(QRectF(4 * s, 3 * s, 1.5 * s, 26 * s));   // the spine's gilt band
    // The program's initial, drawn as a ring so it keeps its weight at 16 pixels.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, size == 16 ? 1.6 : 2.8));
    p.drawEllipse(QPointF(17 * s, 15 * s), 5.6 * s, 7.2 * s);
    // A red ribbon marks a page.
    QPainterPath ribbon;
    ribbon.moveTo(22 * s, 27.5 * s);
    ribbon.lineTo(22 * s, 31 * s);
    ribbon.lineTo(23.5 * s, 29.8 * s);
    ribbon.lineTo(25 * s, 31 * s);
    ribbon.lineTo(25 * s, 27.5 * s);
    ribbon.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(160, 30, 20));
    p.drawPath(ribbon);
    p.end();
    return img;
}

}  // namespace art
