#include "editor/control_marks.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "editor/text_cells.h"

namespace tamso::gui {

namespace {

// The mark font for one editor font and cell size, with the width of its widest
// mark; recomputed only when they change.
struct MarkFont {
  QFont base;
  QSize cell;
  QFont small;
  qreal width = 0;
  bool valid = false;
};

const MarkFont& SmallFont(const QFont& base, QSize cell) {
  static MarkFont cache;
  if (cache.valid && cache.cell == cell && cache.base == base) return cache;
  QFont f(base);
  f.setItalic(false);
  f.setPixelSize(std::max(5, cell.height() * 11 / 20));
  cache = MarkFont{base, cell, f, QFontMetricsF(f).horizontalAdvance(QStringLiteral("^W")), true};
  return cache;
}

}  // namespace

QString ControlMarkText(char c) {
  return QStringLiteral("^") + QLatin1Char(ControlMarkLetter(c));
}

void PaintControlMark(QPainter& p, const QRect& cell, char c, const QColor& ink,
                      const QColor& paper, const QFont& font) {
  // A pixel of paper above and below keeps marks on adjacent lines apart.
  const QRect box = cell.height() > 4 ? cell.adjusted(0, 1, 0, -1) : cell;
  p.fillRect(box, ink);
  const MarkFont& mark = SmallFont(font, cell.size());
  p.setFont(mark.small);
  p.setPen(paper);
  // Two letters in one cell: squeezed sideways rather than shrunk, so they stay legible.
  const qreal sx = mark.width > box.width() ? box.width() / mark.width : 1.0;
  p.save();
  p.translate(box.left(), box.top());
  p.scale(sx, 1.0);
  p.drawText(QRectF(0, 0, box.width() / sx, box.height()), Qt::AlignCenter, ControlMarkText(c));
  p.restore();
}

}  // namespace tamso::gui
