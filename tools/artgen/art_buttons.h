#pragma once
// Button pictures in their three looks. Every button is drawn over `base`, the
// piece of the background it will sit on, so the corners around its rounded
// plaque match the window behind it exactly.
//
// The looks: normal is a raised parchment plaque; lit is brighter with a golden
// rim and glow; pressed is darker, shaded inside along its top and left edges
// and shifted one pixel down and right, caption included.
#include <QImage>
#include <QString>

namespace art {

enum class Look { Normal = 0, Lit = 1, Pressed = 2 };

// The small pictures drawn on the 20 x 20 buttons.
enum class Glyph { List, New, Delete, ScrollUp, ScrollDown, Lock };

// A button with a caption, of the size of `base`; the caption is set as large as
// `px` pixels allows within the plaque.
QImage CaptionButton(const QImage& base, const QString& caption, int px, Look look);

// A small button showing a glyph, of the size of `base`.
QImage GlyphButton(const QImage& base, Glyph glyph, Look look);

// Puts `cells` (all of one size) into a grid of `columns` columns, row by row.
QImage ComposeGrid(const QList<QImage>& cells, int columns);

}  // namespace art
