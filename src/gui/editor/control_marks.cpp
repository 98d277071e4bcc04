#include "editor/control_marks.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "editor/text_cells.h"

namespace tamso::gui {

namespace {

// The mark font for one editor font and cell size; recomputed only when they change.
struct MarkFont {
  QFont base;
  QSize cell;
  QFont small;
  bool valid = false;
};

const QFont& SmallFont(const QFont& base, QSize cell) {
  static MarkFont cache;
  if (cache.valid && cache.cell == cell && cache.base == base) return cache.small;
  QFont f(base);
  f.setItalic(false);
  int px = std::max(4, cell.height() * 3 / 5);
  for (; px > 4; --px) {
    f.setPixelSize(px);
    if (QFontMetrics(f).horizontalAdvance(QStringLiteral("^M")) <= cell.width()) break;
  }
  f.setPixelSize(px);
  cache = MarkFont{base, cell, f, true};
  return cache.small;
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
  p.setFont(SmallFont(font, cell.size()));
  p.setPen(paper);
  p.drawText(box, Qt::AlignCenter, ControlMarkText(c));
}

}  // namespace tamso::gui
