#include "browser/browser_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

namespace tamso::gui {

namespace {

// Every picture is drawn in a 16 x 16 grid of logical pixels, once at 1x and once at
// 2x, so that it stays sharp on a high-density screen.
using Draw = void (*)(QPainter&);

const QColor kOutline(60, 60, 60);

void Page(QPainter& p) {  // the file: a page with a folded corner and text lines
  QPainterPath page;
  page.moveTo(3.5, 1.5);
  page.lineTo(10.5, 1.5);
  page.lineTo(13.5, 4.5);
  page.lineTo(13.5, 14.5);
  page.lineTo(3.5, 14.5);
  page.closeSubpath();
  p.setPen(QPen(kOutline, 1));
  p.setBrush(Qt::white);
  p.drawPath(page);
  p.drawLine(QPointF(10.5, 1.5), QPointF(10.5, 4.5));
  p.drawLine(QPointF(10.5, 4.5), QPointF(13.5, 4.5));
  p.setPen(QPen(QColor(70, 110, 190), 1));
  for (double y : {7.5, 9.5, 11.5}) p.drawLine(QPointF(5.5, y), QPointF(11.5, y));
}

void Disc(QPainter& p, const QColor& fill) {
  p.setPen(QPen(fill.darker(150), 1));
  p.setBrush(fill);
  p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
}

void Letter(QPainter& p, const QPainterPath& strokes) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(strokes);
}

void Import(QPainter& p) {  // an arrow into a box
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(235, 235, 225));
  p.drawRect(QRectF(6.5, 4.5, 8, 10));
  QPainterPath arrow;
  arrow.moveTo(1, 7);
  arrow.lineTo(6, 7);
  arrow.lineTo(6, 4.5);
  arrow.lineTo(10.5, 9);
  arrow.lineTo(6, 13.5);
  arrow.lineTo(6, 11);
  arrow.lineTo(1, 11);
  arrow.closeSubpath();
  p.setPen(QPen(QColor(20, 110, 40), 1));
  p.setBrush(QColor(60, 170, 80));
  p.drawPath(arrow);
}

void Class(QPainter& p) {  // a green disc with a C
  Disc(p, QColor(40, 150, 70));
  QPainterPath c;
  c.arcMoveTo(QRectF(4.5, 4.5, 7, 7), 45);
  c.arcTo(QRectF(4.5, 4.5, 7, 7), 45, 270);
  Letter(p, c);
}

void Extends(QPainter& p) {  // an arrow pointing up to the superclass
  QPainterPath arrow;
  arrow.moveTo(8, 1.5);
  arrow.lineTo(14.5, 8.5);
  arrow.lineTo(10.5, 8.5);
  arrow.lineTo(10.5, 14.5);
  arrow.lineTo(5.5, 14.5);
  arrow.lineTo(5.5, 8.5);
  arrow.lineTo(1.5, 8.5);
  arrow.closeSubpath();
  p.setPen(QPen(QColor(25, 70, 150), 1));
  p.setBrush(QColor(70, 130, 220));
  p.drawPath(arrow);
}

void Method(QPainter& p) {  // a purple diamond
  QPainterPath d;
  d.moveTo(8, 1.5);
  d.lineTo(14.5, 8);
  d.lineTo(8, 14.5);
  d.lineTo(1.5, 8);
  d.closeSubpath();
  p.setPen(QPen(QColor(100, 30, 120), 1));
  p.setBrush(QColor(170, 70, 190));
  p.drawPath(d);
}

void Crate(QPainter& p, const QColor& fill) {  // a box seen from above the front
  QPainterPath top;
  top.moveTo(1.5, 5.5);
  top.lineTo(5.5, 1.5);
  top.lineTo(14.5, 1.5);
  top.lineTo(10.5, 5.5);
  top.closeSubpath();
  QPainterPath side;
  side.moveTo(10.5, 5.5);
  side.lineTo(14.5, 1.5);
  side.lineTo(14.5, 10.5);
  side.lineTo(10.5, 14.5);
  side.closeSubpath();
  p.setPen(QPen(fill.darker(180), 1));
  p.setBrush(fill);
  p.drawRect(QRectF(1.5, 5.5, 9, 9));
  p.setBrush(fill.lighter(125));
  p.drawPath(top);
  p.setBrush(fill.darker(115));
  p.drawPath(side);
}

void PackagePart(QPainter& p) {
  Crate(p, QColor(200, 170, 110));
}

void Folder(QPainter& p, const QColor& fill) {
  QPainterPath f;
  f.moveTo(1.5, 3.5);
  f.lineTo(6.5, 3.5);
  f.lineTo(8, 5.5);
  f.lineTo(14.5, 5.5);
  f.lineTo(14.5, 13.5);
  f.lineTo(1.5, 13.5);
  f.closeSubpath();
  p.setPen(QPen(fill.darker(170), 1));
  p.setBrush(fill);
  p.drawPath(f);
  p.setBrush(fill.lighter(120));
  p.drawRect(QRectF(1.5, 7.5, 13, 6));
}

void Group(QPainter& p) {
  Folder(p, QColor(230, 190, 70));
}

void Implements(QPainter& p) {  // a teal disc with an I
  Disc(p, QColor(20, 140, 150));
  QPainterPath i;
  i.moveTo(8, 4.5);
  i.lineTo(8, 11.5);
  i.moveTo(5.5, 4.5);
  i.lineTo(10.5, 4.5);
  i.moveTo(5.5, 11.5);
  i.lineTo(10.5, 11.5);
  Letter(p, i);
}

void Package(QPainter& p) {
  Crate(p, QColor(170, 110, 50));
}

void Field(QPainter& p) {  // a small blue square
  p.setPen(QPen(QColor(20, 80, 150), 1));
  p.setBrush(QColor(80, 150, 230));
  p.drawRect(QRectF(3.5, 3.5, 9, 9));
}

void Subs(QPainter& p) {  // a green folder
  Folder(p, QColor(120, 190, 90));
}

constexpr std::array<Draw, kBrowserImageCount> kDraw = {
    Page, Import, Class, Extends, Method, PackagePart, Group, Implements, Package, Field, Subs,
};

QPixmap Render(Draw draw, int scale) {
  QPixmap pm(16 * scale, 16 * scale);
  pm.setDevicePixelRatio(scale);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  draw(p);
  return pm;
}

}  // namespace

QIcon BrowserIcon(int image) {
  static const std::array<QIcon, kBrowserImageCount> icons = [] {
    std::array<QIcon, kBrowserImageCount> made;
    for (int i = 0; i < kBrowserImageCount; ++i) {
      made[static_cast<std::size_t>(i)].addPixmap(Render(kDraw[static_cast<std::size_t>(i)], 1));
      made[static_cast<std::size_t>(i)].addPixmap(Render(kDraw[static_cast<std::size_t>(i)], 2));
    }
    return made;
  }();
  if (image < 0 || image >= kBrowserImageCount) return QIcon();
  return icons[static_cast<std::size_t>(image)];
}

}  // namespace tamso::gui
