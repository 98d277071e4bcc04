#include "app/icons.h"

#include <QAction>
#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QToolBar>
#include <QToolButton>
#include <QtMath>
#include <functional>

#include "app/command_ids.h"
#include "app/command_texts.h"
#include "platform/qt_host.h"

namespace tamso::gui {

namespace {

using Drawing = std::function<void(QPainter&)>;

// An icon drawn with vectors on a 32 x 32 grid at whatever size and pixel ratio it is
// asked for, so it stays sharp at 16, 22, 32 px and on a scaled screen. Disabled, it
// is drawn faded.
class DrawnIconEngine : public QIconEngine {
 public:
  explicit DrawnIconEngine(Drawing draw) : draw_(std::move(draw)) {}
  void paint(QPainter* p, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    p->translate(rect.topLeft());
    const qreal side = std::min(rect.width(), rect.height());
    p->translate((rect.width() - side) / 2, (rect.height() - side) / 2);
    p->scale(side / 32.0, side / 32.0);
    if (mode == QIcon::Disabled) p->setOpacity(0.35);
    draw_(*p);
    p->restore();
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }
  // size is in device pixels already; the picture is drawn on its logical grid.
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                       qreal scale) override {
    QPixmap pm(size);
    pm.setDevicePixelRatio(scale);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paint(&p, QRect(QPoint(0, 0), (QSizeF(size) / scale).toSize()), mode, state);
    return pm;
  }
  QIconEngine* clone() const override { return new DrawnIconEngine(draw_); }

 private:
  Drawing draw_;
};

QIcon Drawn(Drawing draw) {
  return QIcon(new DrawnIconEngine(std::move(draw)));
}

// The desktop theme's picture of that name, else our drawing.
QIcon Themed(const char* name, Drawing fallback) {
  const QString n = QString::fromLatin1(name);
  if (QIcon::hasThemeIcon(n)) return QIcon::fromTheme(n);
  return Drawn(std::move(fallback));
}

// Outlines: dark on a light desktop, light on a dark one.
QColor Ink() {
  const bool dark = QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
  return dark ? QColor(205, 208, 214) : QColor(60, 64, 72);
}
const QColor kPaper(250, 250, 248);
const QColor kBlue(52, 101, 164);
const QColor kGreen(78, 154, 6);
const QColor kRed(204, 0, 0);
const QColor kOrange(206, 92, 0);
const QColor kPurple(117, 80, 123);

QPen Pen(QColor c, qreal w) {
  QPen pen(c, w);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

// A sheet of paper with a folded corner and a few lines of text.
void Page(QPainter& p, bool lines = true) {
  QPainterPath sheet;
  sheet.moveTo(6.5, 2.5);
  sheet.lineTo(20, 2.5);
  sheet.lineTo(26.5, 9);
  sheet.lineTo(26.5, 29.5);
  sheet.lineTo(6.5, 29.5);
  sheet.closeSubpath();
  p.setPen(Pen(Ink(), 1.4));
  p.setBrush(kPaper);
  p.drawPath(sheet);
  p.drawPolyline(QPolygonF({QPointF(20, 2.5), QPointF(20, 9), QPointF(26.5, 9)}));
  if (!lines) return;
  p.setPen(Pen(QColor(150, 155, 165), 1.6));
  for (qreal y : {13.0, 17.0, 21.0}) p.drawLine(QPointF(10, y), QPointF(23, y));
}

void Gear(QPainter& p, QPointF c, qreal r, QColor colour) {
  QPainterPath g;
  const int teeth = 8;
  for (int i = 0; i < teeth * 2; ++i) {
    const qreal a0 = (i - 0.5) * M_PI / teeth, a1 = (i + 0.5) * M_PI / teeth;
    const qreal rr = (i % 2 == 0) ? r : r * 0.72;
    QPointF p0 = c + QPointF(std::cos(a0) * rr, std::sin(a0) * rr);
    QPointF p1 = c + QPointF(std::cos(a1) * rr, std::sin(a1) * rr);
    if (i == 0)
      g.moveTo(p0);
    else
      g.lineTo(p0);
    g.lineTo(p1);
  }
  g.closeSubpath();
  g.addEllipse(c, r * 0.3, r * 0.3);
  g.setFillRule(Qt::OddEvenFill);
  p.setPen(Pen(colour.darker(140), 1));
  p.setBrush(colour);
  p.drawPath(g);
}

void DrawCompile(QPainter& p) {
  Page(p);
  Gear(p, QPointF(22, 23), 8.5, kGreen);
}

void DrawProjectTree(QPainter& p) {
  p.setPen(Pen(Ink(), 1.6));
  p.drawLine(QPointF(8, 9), QPointF(8, 25));
  p.drawLine(QPointF(8, 16), QPointF(15, 16));
  p.drawLine(QPointF(8, 25), QPointF(15, 25));
  auto node = [&](QRectF r, QColor c) {
    p.setPen(Pen(c.darker(140), 1.2));
    p.setBrush(c);
    p.drawRoundedRect(r, 1.5, 1.5);
  };
  node(QRectF(3, 3, 11, 7), QColor(237, 212, 0));
  node(QRectF(15, 12.5, 14, 7), kPaper);
  node(QRectF(15, 21.5, 14, 7), kPaper);
}

// A pair of curly braces: the left one's point at x = outer, its ends at x = inner;
// the right one mirrored about the middle of the two.
void Braces(QPainter& p, qreal outer, qreal inner, qreal top, qreal bottom, qreal across) {
  const qreal mid = (top + bottom) / 2, bend = 0.3 * (inner - outer);
  for (int side : {-1, 1}) {
    auto x = [&](qreal v) { return side < 0 ? v : across - v; };
    QPainterPath b;
    b.moveTo(x(inner), top);
    b.cubicTo(x(outer + bend), top, x(inner - bend), mid - 1, x(outer), mid);
    b.cubicTo(x(inner - bend), mid + 1, x(outer + bend), bottom, x(inner), bottom);
    p.drawPath(b);
  }
}

void DrawBraces(QPainter& p) {
  p.setPen(Pen(kBlue, 2.4));
  p.setBrush(Qt::NoBrush);
  Braces(p, 5, 12, 4, 28, 32);
  p.setPen(Pen(kOrange, 2));
  p.drawLine(QPointF(13.5, 16), QPointF(18.5, 16));
}

// Pages of the kinds of file a project holds; each says its kind by a drawing, not a
// letter: braces for Java source, angle brackets for HTML, linked boxes for a design.
void JavaPage(QPainter& p) {
  Page(p, false);
  p.setPen(Pen(kBlue, 1.8));
  p.setBrush(Qt::NoBrush);
  Braces(p, 10, 14, 12, 26, 33);
}

void HtmlPage(QPainter& p) {
  Page(p, false);
  p.setPen(Pen(kGreen.darker(120), 1.8));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF({QPointF(14, 14), QPointF(10, 19), QPointF(14, 24)}));
  p.drawPolyline(QPolygonF({QPointF(19, 14), QPointF(23, 19), QPointF(19, 24)}));
}

void DesignPage(QPainter& p) {
  Page(p, false);
  p.setPen(Pen(kPurple, 1.3));
  p.drawLine(QPointF(13, 16), QPointF(19, 23));
  p.setBrush(QColor(220, 200, 225));
  p.drawRect(QRectF(9.5, 12.5, 7, 5));
  p.drawRect(QRectF(16.5, 21.5, 7, 5));
}

// The file a project runs: a Java page with a green start mark.
void MainPage(QPainter& p) {
  JavaPage(p);
  p.setPen(Pen(kGreen.darker(150), 1.2));
  p.setBrush(kGreen);
  p.drawEllipse(QPointF(23, 23), 8, 8);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPolygon(QPolygonF({QPointF(20.5, 18.5), QPointF(27.5, 23), QPointF(20.5, 27.5)}));
}

void DrawSkeleton(QPainter& p) {
  Page(p, false);
  p.setPen(Pen(kBlue, 1.6));
  p.drawLine(QPointF(10, 13), QPointF(20, 13));
  p.drawLine(QPointF(13, 17.5), QPointF(23, 17.5));
  p.drawLine(QPointF(10, 22), QPointF(14, 22));
  // The insertion mark.
  p.setPen(Pen(kGreen, 2.4));
  p.drawLine(QPointF(22, 22), QPointF(30, 22));
  p.drawLine(QPointF(26, 18), QPointF(26, 26));
}

// A magnifying glass: its lens and its handle.
void Magnifier(QPainter& p, QPointF centre, qreal radius, qreal rim, QPointF handleFrom,
               QPointF handleTo, qreal handle) {
  p.setPen(Pen(Ink(), rim));
  p.setBrush(QColor(200, 220, 240, 200));
  p.drawEllipse(centre, radius, radius);
  p.setPen(Pen(Ink(), handle));
  p.drawLine(handleFrom, handleTo);
}

void DrawFindInFiles(QPainter& p) {
  p.save();
  p.translate(-3, -1);
  Page(p);
  p.restore();
  Magnifier(p, QPointF(20, 19), 6, 2.2, QPointF(24.5, 23.5), QPointF(29.5, 28.5), 3.2);
}

void DrawFindText(QPainter& p) {
  Magnifier(p, QPointF(13, 13), 8, 2.4, QPointF(19, 19), QPointF(28, 28), 3.6);
}

void DrawBug(QPainter& p) {
  p.setPen(Pen(Ink(), 1.6));
  for (qreal y : {14.0, 19.0, 24.0}) {
    p.drawLine(QPointF(9, y), QPointF(4, y - 2));
    p.drawLine(QPointF(23, y), QPointF(28, y - 2));
  }
  p.drawLine(QPointF(13, 7), QPointF(10, 3));
  p.drawLine(QPointF(19, 7), QPointF(22, 3));
  p.setPen(Pen(kRed.darker(150), 1.2));
  p.setBrush(kRed);
  p.drawEllipse(QRectF(9, 9, 14, 20));
  p.setBrush(Ink());
  p.drawEllipse(QRectF(11.5, 5.5, 9, 7));
  p.setPen(Pen(Ink(), 1.2));
  p.drawLine(QPointF(16, 12), QPointF(16, 28));
}

void DrawGlobe(QPainter& p) {
  p.setPen(Pen(kBlue.darker(130), 1.4));
  p.setBrush(QColor(114, 159, 207));
  p.drawEllipse(QPointF(16, 16), 13, 13);
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(16, 16), 5.5, 13);
  p.drawLine(QPointF(3, 16), QPointF(29, 16));
  p.drawLine(QPointF(5, 9.5), QPointF(27, 9.5));
  p.drawLine(QPointF(5, 22.5), QPointF(27, 22.5));
}

void DrawAppletViewer(QPainter& p) {
  p.setPen(Pen(Ink(), 1.4));
  p.setBrush(kPaper);
  p.drawRoundedRect(QRectF(2.5, 4.5, 27, 23), 2, 2);
  p.setBrush(kBlue);
  p.drawRect(QRectF(2.5, 4.5, 27, 5));
  p.setPen(Pen(kGreen.darker(130), 1.2));
  p.setBrush(kGreen);
  p.drawPolygon(QPolygonF({QPointF(12, 13), QPointF(22, 18.5), QPointF(12, 24)}));
}

void DrawWizard(QPainter& p) {
  p.setPen(Pen(Ink(), 3.2));
  p.drawLine(QPointF(5, 28), QPointF(19, 14));
  p.setPen(Pen(kPaper, 1.2));
  p.drawLine(QPointF(6.5, 26.5), QPointF(8.5, 24.5));
  // A star at the tip.
  QPainterPath star;
  const QPointF c(22.5, 9.5);
  for (int i = 0; i < 10; ++i) {
    const qreal a = -M_PI / 2 + i * M_PI / 5;
    const qreal r = i % 2 == 0 ? 8.0 : 3.4;
    QPointF pt = c + QPointF(std::cos(a) * r, std::sin(a) * r);
    if (i == 0)
      star.moveTo(pt);
    else
      star.lineTo(pt);
  }
  star.closeSubpath();
  p.setPen(Pen(QColor(196, 160, 0), 1.2));
  p.setBrush(QColor(252, 233, 79));
  p.drawPath(star);
}

// A class box: name part above, members below.
void ClassBox(QPainter& p, QRectF r) {
  p.setPen(Pen(kPurple.darker(130), 1.3));
  p.setBrush(kPaper);
  p.drawRect(r);
  p.setBrush(QColor(173, 127, 168));
  p.drawRect(QRectF(r.left(), r.top(), r.width(), r.height() * 0.35));
}

void DrawClassOne(QPainter& p) {
  ClassBox(p, QRectF(6.5, 5.5, 19, 21));
}

void DrawClassTwo(QPainter& p) {
  ClassBox(p, QRectF(2.5, 3.5, 13, 14));
  ClassBox(p, QRectF(16.5, 14.5, 13, 14));
  p.setPen(Pen(Ink(), 1.3));
  p.drawLine(QPointF(9, 17.5), QPointF(9, 22));
  p.drawLine(QPointF(9, 22), QPointF(16.5, 22));
}

void DrawZoom(QPainter& p, bool bigger) {
  DrawFindText(p);
  p.setPen(Pen(Ink(), 2.2));
  p.drawLine(QPointF(9, 13), QPointF(17, 13));
  if (bigger) p.drawLine(QPointF(13, 9), QPointF(13, 17));
}

void DrawLineNumbers(QPainter& p) {
  QFont f = QApplication::font();
  f.setPixelSize(8);
  f.setBold(true);
  p.setFont(f);
  for (int i = 0; i < 3; ++i) {
    const qreal y = 5 + i * 9;
    p.setPen(kBlue);
    p.drawText(QRectF(2, y - 1, 8, 9), Qt::AlignRight | Qt::AlignVCenter, QString::number(i + 1));
    p.setPen(Pen(QColor(150, 155, 165), 2));
    p.drawLine(QPointF(13, y + 3.5), QPointF(i == 1 ? 24 : 29, y + 3.5));
  }
  p.setPen(Pen(Ink(), 1));
  p.drawLine(QPointF(11, 3), QPointF(11, 29));
}

void DrawPlay(QPainter& p) {
  p.setPen(Pen(kGreen.darker(140), 1.4));
  p.setBrush(kGreen);
  p.drawPolygon(QPolygonF({QPointF(8, 4), QPointF(27, 16), QPointF(8, 28)}));
}

void DrawStop(QPainter& p) {
  p.setPen(Pen(kRed.darker(140), 1.4));
  p.setBrush(kRed);
  p.drawEllipse(QPointF(16, 16), 13, 13);
  p.setPen(Pen(Qt::white, 3.2));
  p.drawLine(QPointF(11, 11), QPointF(21, 21));
  p.drawLine(QPointF(21, 11), QPointF(11, 21));
}

void DrawRefresh(QPainter& p) {
  p.setPen(Pen(kBlue, 3));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(5, 5, 22, 22), 100 * 16, 290 * 16);
  p.setPen(Pen(kBlue, 1));
  p.setBrush(kBlue);
  p.drawPolygon(QPolygonF({QPointF(13, 1.5), QPointF(20, 6.5), QPointF(13, 11)}));
}

void DrawNewPage(QPainter& p) {
  Page(p, false);
  p.setPen(Pen(kGreen, 2.6));
  p.drawLine(QPointF(16.5, 19), QPointF(16.5, 27));
  p.drawLine(QPointF(12.5, 23), QPointF(20.5, 23));
}

void DrawFolder(QPainter& p) {
  p.setPen(Pen(QColor(143, 89, 2), 1.3));
  p.setBrush(QColor(233, 185, 110));
  p.drawRoundedRect(QRectF(2.5, 6.5, 27, 21), 2, 2);
  p.setBrush(QColor(252, 175, 62));
  p.drawRoundedRect(QRectF(2.5, 11.5, 27, 16), 2, 2);
}

// A project: a folder with the tree of its members on it.
void ProjectFolder(QPainter& p) {
  DrawFolder(p);
  p.setPen(Pen(kBlue, 1.6));
  p.drawPolyline(QPolygonF({QPointF(10, 15), QPointF(10, 23.5), QPointF(21, 23.5)}));
  p.drawLine(QPointF(10, 19), QPointF(21, 19));
}

void DrawSave(QPainter& p) {
  p.setPen(Pen(Ink(), 1.4));
  p.setBrush(kBlue);
  p.drawRoundedRect(QRectF(3.5, 3.5, 25, 25), 2, 2);
  p.setBrush(kPaper);
  p.drawRect(QRectF(8.5, 3.5, 15, 9));
  p.setBrush(QColor(200, 205, 212));
  p.drawRect(QRectF(9.5, 18.5, 13, 10));
}

void DrawScissors(QPainter& p) {
  p.setPen(Pen(Ink(), 2));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(9, 24), 4.5, 4.5);
  p.drawEllipse(QPointF(23, 24), 4.5, 4.5);
  p.drawLine(QPointF(12, 20.5), QPointF(23, 3));
  p.drawLine(QPointF(20, 20.5), QPointF(9, 3));
}

void DrawCopy(QPainter& p) {
  p.save();
  p.translate(-4, -2);
  p.scale(0.85, 0.85);
  Page(p);
  p.restore();
  p.save();
  p.translate(6, 5);
  p.scale(0.85, 0.85);
  Page(p);
  p.restore();
}

void DrawPaste(QPainter& p) {
  p.setPen(Pen(QColor(143, 89, 2), 1.4));
  p.setBrush(QColor(193, 125, 17));
  p.drawRoundedRect(QRectF(4.5, 5.5, 20, 24), 2, 2);
  p.setBrush(QColor(186, 189, 182));
  p.drawRoundedRect(QRectF(9.5, 2.5, 10, 6), 1.5, 1.5);
  p.save();
  p.translate(9, 9);
  p.scale(0.7, 0.7);
  Page(p);
  p.restore();
}

// Where a command has a freedesktop name, the theme's picture; our drawing otherwise.
struct IconSpec {
  int id;
  const char* themeName;  // nullptr: always our own drawing
  void (*draw)(QPainter&);
};

const IconSpec kIcons[] = {
    {cmd::kProjectTree, nullptr, DrawProjectTree},
    {cmd::kFileNew, "document-new", DrawNewPage},
    {cmd::kFileOpen, "document-open", DrawFolder},
    {cmd::kFileSave, "document-save", DrawSave},
    {cmd::kEditCut, "edit-cut", DrawScissors},
    {cmd::kEditCopy, "edit-copy", DrawCopy},
    {cmd::kEditPaste, "edit-paste", DrawPaste},
    {cmd::kFindComboText, "edit-find", DrawFindText},
    {cmd::kEditFind, "edit-find", DrawFindText},
    {cmd::kFindInFiles, nullptr, DrawFindInFiles},
    {cmd::kMatchBracket, nullptr, DrawBraces},
    {cmd::kInsertSkeleton, nullptr, DrawSkeleton},
    {cmd::kCompile, nullptr, DrawCompile},
    {cmd::kStopBuilding, "process-stop", DrawStop},
    {cmd::kRefreshClassTree, "view-refresh", DrawRefresh},
    {cmd::kRunJava, "media-playback-start", DrawPlay},
    {cmd::kJavaDebugger, nullptr, DrawBug},
    {cmd::kLaunchBrowser, "web-browser", DrawGlobe},
    {cmd::kAppletViewer, nullptr, DrawAppletViewer},
    {cmd::kClassWizard, nullptr, DrawWizard},
    {cmd::kChildButton1, nullptr, DrawClassOne},
    {cmd::kChildButton2, nullptr, DrawClassTwo},
    {cmd::kFontBigger, "zoom-in", [](QPainter& p) { DrawZoom(p, true); }},
    {cmd::kFontSmaller, "zoom-out", [](QPainter& p) { DrawZoom(p, false); }},
    {cmd::kLineNumbers, nullptr, DrawLineNumbers},
};

// Menu commands with a standard picture and no drawing of ours.
struct ThemeOnly {
  int id;
  const char* themeName;
};
const ThemeOnly kThemeOnly[] = {
    {cmd::kFileSaveAs, "document-save-as"},
    {cmd::kFileClose, "window-close"},
    {cmd::kFilePrintSetup, "document-page-setup"},
    {cmd::kWindowNew, "window-new"},
    {cmd::kFilePrint, "document-print"},
    {cmd::kFilePrintPreview, "document-print-preview"},
    {cmd::kAppExit, "application-exit"},
    {cmd::kEditUndo, "edit-undo"},
    {cmd::kEditRedo, "edit-redo"},
    {cmd::kEditReplace, "edit-find-replace"},
    {cmd::kEditSelectAll, "edit-select-all"},
    {cmd::kGoToLine, "go-jump"},
    {cmd::kAppAbout, "help-about"},
    {cmd::kJavaHelp, "help-contents"},
    {cmd::kSettings, "preferences-system"},
};

}  // namespace

void UseDesktopIconTheme() {
  // Without a desktop's theme (no settings daemon, a bare X server) the generic
  // theme has almost nothing; look in a complete one too.
  if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == "hicolor")
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
  if (QIcon::themeName().isEmpty()) QIcon::setThemeName(QStringLiteral("hicolor"));
}

QIcon CommandIcon(int id) {
  for (const IconSpec& s : kIcons) {
    if (s.id != id) continue;
    return s.themeName ? Themed(s.themeName, s.draw) : Drawn(s.draw);
  }
  for (const ThemeOnly& s : kThemeOnly)
    if (s.id == id) return QIcon::fromTheme(QString::fromLatin1(s.themeName));
  return QIcon();
}

QIcon DocumentIcon(ViewKind kind) {
  switch (kind) {
    case ViewKind::Java:
      return Themed("text-x-java", JavaPage);
    case ViewKind::Html:
      return Themed("text-html", HtmlPage);
    case ViewKind::Perl:
      return Themed("text-x-script", [](QPainter& p) { Page(p); });
    case ViewKind::Other:
      break;
  }
  return Themed("text-x-generic", [](QPainter& p) { Page(p); });
}

QIcon ProjectMemberIcon(MemberKind kind) {
  switch (kind) {
    case MemberKind::ProjectRoot:
      return Drawn(ProjectFolder);
    case MemberKind::MainFile:
      return Drawn(MainPage);
    case MemberKind::JavaFile:
      return DocumentIcon(ViewKind::Java);
    case MemberKind::HtmlFile:
      return DocumentIcon(ViewKind::Html);
    case MemberKind::DesignFile:
      return Themed("x-office-drawing", DesignPage);
    case MemberKind::OtherFile:
      break;
  }
  return DocumentIcon(ViewKind::Other);
}

void ApplyCommandTexts(QAction* action, int id) {
  CommandText t = CommandTextOf(id);
  action->setStatusTip(Q(t.prompt));
  action->setToolTip(Q(t.toolTip));
  // A toolbar button shows only its picture; its text is the name a screen reader says.
  if (action->text().isEmpty()) action->setText(Q(CommandName(id)));
}

void NameToolBarExtension(QToolBar* bar) {
  for (auto* b : bar->findChildren<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
    b->setAccessibleName(QStringLiteral("More buttons"));
}

QIcon ApplicationIcon() {
  return QIcon(QStringLiteral(":/icons/tamso.png"));
}

}  // namespace tamso::gui
