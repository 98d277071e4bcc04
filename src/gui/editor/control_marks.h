#pragma once
// The marks that stand for control bytes in the editor: one cell filled in the ink
// colour with the byte's caret notation ("^@", "^L", "^[", "^?") small on top of it
// in the paper colour.

#include <QColor>
#include <QFont>
#include <QRect>

class QPainter;

namespace tamso::gui {

// "^" and the byte's letter (see ControlMarkLetter).
QString ControlMarkText(char c);

// Paints the mark of control byte c into cell, with a font derived from font that is
// small enough for both characters to fit.
void PaintControlMark(QPainter& p, const QRect& cell, char c, const QColor& ink,
                      const QColor& paper, const QFont& font);

}  // namespace tamso::gui
