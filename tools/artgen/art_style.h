#pragma once
// The one parchment style that every picture of the program is drawn in:
// colours, the program's face, a deterministic parchment texture, ruled
// frames, ornaments and captions fitted into a box.
//
// Everything here is deterministic: the texture comes from a hash of the pixel
// position and a fixed seed, never from a clock or a global random generator,
// so running the generator twice gives the same pixels.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <cstdint>

class QPainter;

namespace art {

inline const QColor kParchment(214, 198, 173);   // lists, text boxes, picture boxes
inline const QColor kInk(86, 53, 13);            // labels and captions
inline const QColor kInkSoft(128, 88, 42);       // ruled lines, faint print
inline const QColor kInkFaint(170, 140, 100);    // guides that must not compete with text
inline const QColor kGold(214, 160, 52);         // the glow of a lit button
inline const QColor kLight(238, 226, 202);       // a lighter sheet of parchment

// The program's face ("Comic Sans MS"; fontconfig maps it to Comic Neue) at a
// size in pixels, so nothing depends on the screen's dots per inch.
QFont Face(int px, bool bold = false, bool italic = false);

// A stable 32-bit hash of a name, used to give every picture its own seed.
std::uint32_t SeedOf(const QString& name);

// Parchment of the given size: the base colour with soft blotches and a fine
// grain. With aged set, the edges darken as on an old sheet.
QImage Parchment(QSize size, std::uint32_t seed, bool aged);

// Lays a translucent colour over a rectangle (lighter or darker panels).
void Wash(QPainter& p, const QRectF& r, const QColor& c, qreal radius = 0);

// A double ruled border: a firm outer line and a thin inner one `gap` inside.
void DoubleRule(QPainter& p, const QRectF& r, const QColor& c, qreal gap = 3);

// A small diamond ornament with two curls, centred on `c`.
void CornerOrnament(QPainter& p, QPointF c, qreal size, const QColor& col);

// Ornaments at the four corners of a rectangle.
void CornerOrnaments(QPainter& p, const QRectF& r, qreal size, const QColor& col);

// A horizontal flourish: a line that thickens in the middle with a diamond.
void Flourish(QPainter& p, QPointF centre, qreal halfWidth, const QColor& col);

// A sunken groove around a place where a control sits (shadow above and left,
// light below and right).
void Groove(QPainter& p, const QRectF& r, qreal radius = 2);

// Draws `text` centred in `box` in the largest size up to `px` whose width fits.
// Returns the size used.
int FittedText(QPainter& p, const QRectF& box, const QString& text, int px, bool bold, bool italic,
               const QColor& col, Qt::Alignment align = Qt::AlignCenter);

// Text with a soft offset shadow, for titles.
void ShadowedText(QPainter& p, const QRectF& box, const QString& text, const QFont& f, const QColor& col,
                  Qt::Alignment align = Qt::AlignCenter);

}  // namespace art
