#include "editor/print_document.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>
#include <cstdio>
#include <vector>

#include "editor/control_marks.h"
#include "editor/editor_settings.h"
#include "editor/editor_style.h"
#include "editor/line_store.h"
#include "lang/language.h"

namespace tamso::gui {

namespace {

struct Metrics {
  EditorFonts fonts;
  qreal charWidth = 1;
  qreal lineHeight = 1;
  qreal ascent = 1;
  QRectF page;  // the printable area in device pixels, origin at its top left
  int headerRows = 2;
};

Metrics MetricsFor(QPrinter& printer, const IniFile& profile) {
  Metrics m;
  m.fonts = MakeEditorFonts(ReadPointSize(profile), printer.logicalDpiY());
  // The fonts were made for the printer's resolution; keep them there.
  QFontMetricsF fm(m.fonts.normal, &printer);
  m.charWidth = std::max<qreal>(1, fm.horizontalAdvance(QLatin1Char('M')));
  m.lineHeight = std::max<qreal>(1, fm.lineSpacing());
  m.ascent = fm.ascent();
  // The text keeps a margin from the paper's edges even where the printer's own
  // margins are narrower (a PDF has none).
  const int dpi = printer.resolution();
  const QRect full = printer.pageLayout().fullRectPixels(dpi);
  const QRect paint = printer.pageLayout().paintRectPixels(dpi);
  const qreal margin = kMinPrintMarginMm / 25.4 * dpi;
  const qreal left = std::max<qreal>(0, margin - (paint.left() - full.left()));
  const qreal top = std::max<qreal>(0, margin - (paint.top() - full.top()));
  const qreal right = std::max<qreal>(0, margin - (full.right() - paint.right()));
  const qreal bottom = std::max<qreal>(0, margin - (full.bottom() - paint.bottom()));
  m.page = QRectF(left, top, std::max<qreal>(m.charWidth, paint.width() - left - right),
                  std::max<qreal>(m.lineHeight, paint.height() - top - bottom));
  return m;
}

PrintGeometry GeometryFor(const Metrics& m, const IniFile& profile, bool lineNumbers, int lines) {
  PrintGeometry g;
  g.tabWidth = ReadTabWidth(profile);
  g.lineNumbers = lineNumbers;
  g.numberBase = ReadNumberBase(profile);
  int cells = static_cast<int>(m.page.width() / m.charWidth);
  int gutter = 0;
  if (lineNumbers)
    gutter = std::max(5, static_cast<int>(std::to_string(std::max(1, lines)).size()) + 1);
  g.columns = std::max(1, cells - gutter);
  g.rows = std::max(1, static_cast<int>(m.page.height() / m.lineHeight) - m.headerRows);
  return g;
}

bool IsPlainAscii(char c) {
  return c >= 0x20 && c < 0x7F;
}

}  // namespace

PrintGeometry PrintGeometryFor(QPrinter& printer, const IniFile& profile, bool lineNumbers) {
  return GeometryFor(MetricsFor(printer, profile), profile, lineNumbers, 1);
}

bool PaintText(QPrinter& printer, const CLineStore& store, const IniFile& profile,
               const PrintOptions& options, const PrintProgress& progress, QString* error) {
  const Metrics m = MetricsFor(printer, profile);
  const PrintLayout layout(store, GeometryFor(m, profile, options.lineNumbers, store.LineCount()));
  const PrintGeometry& g = layout.Geometry();

  // Dark ink on white paper whatever the screen's scheme.
  const EditorColours c = PrintColours(ReadEditorColours(profile), options.blackOnWhite);
  const QColor ink = FromColorRef(c.normal);
  const QColor reserved = FromColorRef(c.reserved);
  const QColor comment = FromColorRef(c.comment);
  const QColor numbers = FromColorRef(c.lineNumbers);
  const QColor paper = FromColorRef(c.background);
  QFont bold = m.fonts.normal;
  bold.setWeight(QFont::Bold);

  int first = 0, last = layout.PageCount() - 1;
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    first = std::max(0, printer.fromPage() - 1);
    last = std::min(last, printer.toPage() > 0 ? printer.toPage() - 1 : last);
  }

  QPainter p;
  if (!p.begin(&printer)) {
    if (error) *error = QStringLiteral("The printer could not be started.");
    return false;
  }
  const qreal gutterX = layout.GutterCells() * m.charWidth;
  std::vector<std::uint8_t> attrs;
  QString run;
  // Font and pen changes are not free in a PDF: set them only when they change.
  int style = -1;
  auto use = [&](int wanted) {
    if (wanted == style) return;
    style = wanted;
    switch (wanted) {
      case 0:
        p.setFont(bold);
        p.setPen(ink);
        break;
      case 1:
        p.setFont(m.fonts.normal);
        p.setPen(numbers);
        break;
      case 2:
        p.setFont(m.fonts.normal);
        p.setPen(ink);
        break;
      case 3:
        p.setFont(m.fonts.normal);
        p.setPen(reserved);
        break;
      default:
        p.setFont(m.fonts.comment);
        p.setPen(comment);
    }
  };
  auto styleOf = [](std::uint8_t a) { return a == kAttrReserved ? 3 : a == kAttrComment ? 4 : 2; };
  for (int page = first; page <= last; ++page) {
    if (progress && !progress(page - first, last - first + 1)) {
      p.end();
      if (error) *error = QStringLiteral("Printing was cancelled.");
      return false;
    }
    if (page > first) printer.newPage();
    p.resetTransform();
    p.translate(m.page.topLeft());

    // Header: the file name on the left, the page on the right, a rule below.
    style = -1;  // a new page starts with the painter's defaults
    use(0);
    const QRectF head(0, 0, m.page.width(), m.lineHeight);
    p.drawText(head, Qt::AlignLeft | Qt::AlignVCenter, options.title);
    p.drawText(head, Qt::AlignRight | Qt::AlignVCenter,
               QString::fromStdString(PrintLayout::PageText(page, layout.PageCount())));
    p.drawLine(QPointF(0, m.lineHeight * 1.4), QPointF(m.page.width(), m.lineHeight * 1.4));

    qreal y = m.lineHeight * m.headerRows;
    for (const PrintRow* row = layout.PageBegin(page); row != layout.PageEnd(page); ++row) {
      const qreal base = y + m.ascent;
      if (layout.GutterCells() && !row->continuation) {
        use(1);
        p.drawText(QPointF(0, base), QString::fromStdString(layout.LineNumberText(row->line)));
      }
      std::string_view line = store.Line(row->line);
      auto span = store.LineAttributes(row->line);
      attrs.assign(span.begin(), span.end());
      auto colourOf = [&](size_t i) -> std::uint8_t {
        return i < attrs.size() ? attrs[i] : static_cast<std::uint8_t>(kAttrNormal);
      };
      // Runs of plain ASCII in one colour are drawn as one string (the font is fixed
      // pitch); every other character in its own cell.
      int runX = 0;
      std::uint8_t runAttr = 0;
      auto flush = [&] {
        if (run.isEmpty()) return;
        use(styleOf(runAttr));
        p.drawText(QPointF(gutterX + runX * m.charWidth, base), run);
        run.clear();
      };
      int expectX = -1;
      ForEachCell(line, *row, g.tabWidth, g.columns, [&](size_t i, int x, int w) {
        const char ch = line[i];
        const std::uint8_t a = colourOf(i);
        if (ch == '\t') {
          flush();
          expectX = -1;
          return;
        }
        if (IsControlByte(ch)) {
          flush();
          expectX = -1;
          const QRect cell(static_cast<int>(gutterX + x * m.charWidth), static_cast<int>(y),
                           static_cast<int>(m.charWidth), static_cast<int>(m.lineHeight));
          PaintControlMark(p, cell, ch, a == kAttrComment ? comment : ink, paper, m.fonts.normal);
          style = -1;  // the mark sets its own font and pen
          return;
        }
        if (!IsPlainAscii(ch)) {
          flush();
          expectX = -1;
          use(styleOf(a));
          const size_t n = CharLength(line, i);
          p.drawText(QPointF(gutterX + x * m.charWidth, base),
                     QString::fromUtf8(line.data() + i, static_cast<qsizetype>(n)));
          return;
        }
        if (run.isEmpty() || a != runAttr || x != expectX) {
          flush();
          runX = x;
          runAttr = a;
        }
        run += QLatin1Char(ch);
        expectX = x + w;
      });
      flush();
      y += m.lineHeight;
    }
  }
  if (!p.end()) {
    if (error) *error = QStringLiteral("The printer reported an error.");
    return false;
  }
  return true;
}

bool PrintText(QPrinter& printer, const CLineStore& store, const IniFile& profile,
               const PrintOptions& options, const PrintProgress& progress, QString* error) {
  const QString target = printer.outputFileName();
  if (target.isEmpty()) return PaintText(printer, store, profile, options, progress, error);

  QFileInfo info(target);
  QTemporaryFile temp(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                      QStringLiteral(".XXXXXX"));
  if (!temp.open()) {
    if (error)
      *error =
          QStringLiteral("Cannot write into %1: %2").arg(info.absolutePath(), temp.errorString());
    return false;
  }
  temp.close();
  printer.setOutputFileName(temp.fileName());
  bool ok = PaintText(printer, store, profile, options, progress, error);
  printer.setOutputFileName(target);
  if (!ok) return false;
  // An existing file keeps its permissions.
  if (info.exists())
    temp.setPermissions(QFile::permissions(target));
  else
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
  if (std::rename(QFile::encodeName(temp.fileName()).constData(),
                  QFile::encodeName(target).constData()) != 0) {
    if (error) *error = QStringLiteral("Cannot write %1.").arg(target);
    return false;
  }
  temp.setAutoRemove(false);
  return true;
}

}  // namespace tamso::gui
