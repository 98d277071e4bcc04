#include "project/project_icons.h"

#include <QPainter>
#include <QPixmap>

namespace tamso::gui {

namespace {

// A page with a folded corner and a coloured band holding one letter.
QIcon PageIcon(const QColor& band, const QString& letter) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, false);
  QPolygon page;
  page << QPoint(2, 0) << QPoint(10, 0) << QPoint(13, 3) << QPoint(13, 15) << QPoint(2, 15);
  p.setPen(QColor(80, 80, 80));
  p.setBrush(Qt::white);
  p.drawPolygon(page);
  p.drawLine(10, 0, 10, 3);
  p.drawLine(10, 3, 13, 3);
  if (!letter.isEmpty()) {
    p.fillRect(QRect(3, 6, 10, 8), band);
    QFont f = p.font();
    f.setPixelSize(8);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(3, 6, 10, 8), Qt::AlignCenter, letter);
  } else {
    p.setPen(QColor(150, 150, 150));
    for (int y = 6; y <= 12; y += 3) p.drawLine(4, y, 11, y);
  }
  return QIcon(pm);
}

QIcon ProjectIcon() {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setPen(QColor(120, 90, 20));
  p.setBrush(QColor(240, 200, 90));
  p.drawRect(1, 3, 6, 2);
  p.drawRect(1, 5, 14, 9);
  p.setBrush(QColor(60, 110, 190));
  p.setPen(Qt::NoPen);
  p.drawRect(5, 8, 6, 3);
  return QIcon(pm);
}

}  // namespace

const std::vector<QIcon>& ProjectTreeIcons() {
  static const std::vector<QIcon> icons = {
      ProjectIcon(),
      PageIcon(QColor(), QString()),
      PageIcon(QColor(200, 40, 40), QStringLiteral("M")),
      PageIcon(QColor(40, 90, 170), QStringLiteral("J")),
      PageIcon(QColor(30, 140, 60), QStringLiteral("H")),
      PageIcon(QColor(140, 60, 160), QStringLiteral("D")),
  };
  return icons;
}

}  // namespace tamso::gui
