#include "app/icons.h"

#include <QAction>
#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include "app/command_ids.h"
#include "app/command_texts.h"
#include "platform/qt_host.h"

namespace tamso::gui {

namespace {

// A small glyph on a tinted tile, for commands without a standard picture.
QIcon Glyph(const QString& text, QColor tint) {
  QPixmap pm(32, 30);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(tint);
  p.setPen(tint.darker(150));
  p.drawRoundedRect(QRectF(1.5, 1.5, 29, 27), 5, 5);
  QFont f = QApplication::font();
  f.setBold(true);
  f.setPixelSize(text.size() > 2 ? 11 : text.size() > 1 ? 14 : 18);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(pm.rect(), Qt::AlignCenter, text);
  return QIcon(pm);
}

QIcon Standard(QStyle::StandardPixmap sp) {
  return QApplication::style()->standardIcon(sp);
}

}  // namespace

QIcon CommandIcon(int id) {
  const QColor edit(70, 110, 160), build(60, 140, 80), run(180, 110, 40), tree(110, 80, 150);
  switch (id) {
    case cmd::kProjectTree:
      return Glyph(QStringLiteral("\u2261"), tree);
    case cmd::kFileNew:
      return Standard(QStyle::SP_FileIcon);
    case cmd::kFileOpen:
      return Standard(QStyle::SP_DialogOpenButton);
    case cmd::kFileSave:
      return Standard(QStyle::SP_DialogSaveButton);
    case cmd::kEditCut:
      return Glyph(QStringLiteral("Ct"), edit);
    case cmd::kEditCopy:
      return Glyph(QStringLiteral("Cp"), edit);
    case cmd::kEditPaste:
      return Glyph(QStringLiteral("Pa"), edit);
    case cmd::kFindComboText:
      return Glyph(QStringLiteral("\u2192"), edit);
    case cmd::kFindInFiles:
      return Glyph(QStringLiteral("F*"), edit);
    case cmd::kMatchBracket:
      return Glyph(QStringLiteral("{}"), edit);
    case cmd::kInsertSkeleton:
      return Glyph(QStringLiteral("Sk"), edit);
    case cmd::kCompile:
      return Glyph(QStringLiteral("C"), build);
    case cmd::kStopBuilding:
      return Standard(QStyle::SP_BrowserStop);
    case cmd::kRefreshClassTree:
      return Standard(QStyle::SP_BrowserReload);
    case cmd::kRunJava:
      return Standard(QStyle::SP_MediaPlay);
    case cmd::kJavaDebugger:
      return Glyph(QStringLiteral("Dbg"), run);
    case cmd::kLaunchBrowser:
      return Glyph(QStringLiteral("W"), run);
    case cmd::kAppletViewer:
      return Glyph(QStringLiteral("A"), run);
    case cmd::kClassWizard:
      return Glyph(QStringLiteral("Wz"), tree);
    case cmd::kChildButton1:
      return Glyph(QStringLiteral("1"), Qt::gray);
    case cmd::kChildButton2:
      return Glyph(QStringLiteral("2"), Qt::gray);
    case cmd::kFontBigger:
      return Glyph(QStringLiteral("A+"), edit);
    case cmd::kFontSmaller:
      return Glyph(QStringLiteral("A-"), edit);
    default:
      return Glyph(QStringLiteral("?"), Qt::gray);
  }
}

void ApplyCommandTexts(QAction* action, int id) {
  CommandText t = CommandTextOf(id);
  action->setStatusTip(Q(t.prompt));
  action->setToolTip(Q(t.toolTip));
}

QIcon ApplicationIcon() {
  return QIcon(QStringLiteral(":/icons/tamso.png"));
}

}  // namespace tamso::gui
