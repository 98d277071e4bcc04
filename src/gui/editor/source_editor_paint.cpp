// Painting of the source editor: the gutter, the text runs in their colours, the
// selection and the separator lines.

#include <QFontMetrics>
#include <QGlyphRun>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

#include "editor/control_marks.h"
#include "editor/source_editor.h"
#include "editor/text_cells.h"
#include "editor/text_decode.h"
#include "platform/startup_trace.h"

namespace tamso::gui {

namespace {

int AttrClass(std::uint8_t a) {
  if (a == kAttrReserved) return kAttrReserved;
  if (a == kAttrComment) return kAttrComment;
  return kAttrNormal;
}

}  // namespace

void CSourceEditor::paintEvent(QPaintEvent* event) {
  QPainter p(viewport());
  Paint(p, event->rect());
  pendingUpdate_ -= event->region();
  startup::MarkOnce("first paint of the editor");
  if (colourAfterPaint_) {
    // What is shown is coloured; the rest follows while the window is idle.
    colourAfterPaint_ = false;
    if (store_.ColouredLines() < store_.LineCount()) colourTimer_.start();
  }
}

void CSourceEditor::Paint(QPainter& p, const QRect& area) {
  const int width = std::max(viewport()->width(), area.right() + 1);
  const int height = std::max(viewport()->height(), area.bottom() + 1);
  const int count = store_.LineCount();
  // The lines down to the last one shown get their colouring states (and marks).
  if (lineHeight_ > 0) store_.ColourThrough(firstLine_ + height / lineHeight_);
  for (int y = 0, line = firstLine_; y < height; y += lineHeight_, ++line) {
    if (y + lineHeight_ <= area.top()) continue;
    if (y > area.bottom()) break;
    if (line < count) {
      PaintLine(p, line, y, area);
    } else {
      p.fillRect(0, y, width, lineHeight_, background_);
      p.setFont(fonts_.normal);
      p.setPen(normal_);
      p.drawText(0, y + 2 + ascent_, QStringLiteral("~"));
    }
  }
  if (hasFocus() && caretShown_ && !dragging_ && caretRect_.intersects(area)) {
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.fillRect(caretRect_, Qt::black);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
  if (flashTimer_.isActive() && flashTicks_ % 2 == 0 && flashRect_.intersects(area)) {
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.fillRect(flashRect_, Qt::black);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
}

namespace {

QColor MarkColour(DiagnosticSeverity severity) {
  return severity == DiagnosticSeverity::Error ? QColor(0xd0, 0x20, 0x20)
                                               : QColor(0xe0, 0x98, 0x00);
}

}  // namespace

void CSourceEditor::SetDiagnostics(std::vector<LineDiagnostic> marks) {
  if (marks.empty() && diagnostics_.Empty()) return;
  diagnostics_.Set(std::move(marks));
  InvalidateAll();
}

QString CSourceEditor::GutterToolTip(const QPoint& viewportPos) const {
  const int gutterPx = gutterCells_ * charWidth_;
  const int hot = gutterPx > 0 ? gutterPx : std::max(3, charWidth_ / 3);
  if (viewportPos.x() < 0 || viewportPos.x() >= hot || lineHeight_ <= 0) return {};
  const int line = firstLine_ + viewportPos.y() / lineHeight_;
  if (line >= store_.LineCount()) return {};
  const std::string message = diagnostics_.MessageAt(line);
  return message.empty() ? QString() : QString::fromUtf8(message.data(), qsizetype(message.size()));
}

bool CSourceEditor::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = GutterToolTip(help->pos());
    if (tip.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), tip, viewport());
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void CSourceEditor::PaintLine(QPainter& p, int line, int y, const QRect& area) {
  const int width = std::max(viewport()->width(), area.right() + 1);
  const int gutterPx = gutterCells_ * charWidth_;
  p.fillRect(0, y, width, lineHeight_, background_);
  const bool mark = separatorLines_ && store_.LineMark(line) == 1;
  const int top = y + (mark ? 1 : 0);
  if (mark) {
    // Every other pixel of the strip's top row: a dotted line, filled rather than
    // stroked, which costs a fraction of a dashed pen.
    p.setBrushOrigin(0, y);
    p.fillRect(QRect(0, y, width, 1), QBrush(comment_, Qt::Dense4Pattern));
  }
  if (gutterCells_ > 0) {
    p.save();
    p.setClipRect(0, y, gutterPx, lineHeight_);
    p.setFont(fonts_.lineNumber);
    p.setPen(lineNumbers_);
    const QString number = QString::number(line + numberBase_);
    if (numberGlyphs_.usable) {
      glyphScratch_.resize(number.size());
      positionScratch_.resize(number.size());
      qreal x = 0;
      for (qsizetype k = 0; k < number.size(); ++k) {
        const quint32 glyph = numberGlyphs_.index[number[k].unicode()];
        glyphScratch_[k] = glyph;
        positionScratch_[k] = QPointF(x, 0);
        x += numberGlyphs_.advance[number[k].unicode()];
      }
      QGlyphRun run;
      run.setRawFont(numberGlyphs_.raw);
      run.setGlyphIndexes(glyphScratch_);
      run.setPositions(positionScratch_);
      p.drawGlyphRun(QPointF(2, y + 3 + numberAscent_), run);
    } else {
      p.drawText(2, y + 3 + numberAscent_, number);
    }
    p.restore();
  }
  if (const auto severity = diagnostics_.SeverityAt(line)) {
    // A tint behind the number and a bar at the gutter's edge (at the text's left
    // edge when the gutter is off).
    const QColor colour = MarkColour(*severity);
    if (gutterPx > 0) {
      QColor tint = colour;
      tint.setAlpha(60);
      p.fillRect(QRect(0, top, gutterPx, y + lineHeight_ - top), tint);
    }
    const int bar = std::max(3, charWidth_ / 3);
    p.fillRect(QRect(gutterPx > 0 ? gutterPx - bar : 0, top, bar, y + lineHeight_ - top), colour);
  }

  p.save();
  p.setClipRect(gutterPx, y, width - gutterPx, lineHeight_);
  const std::string_view text = store_.Line(line);
  const std::span<const std::uint8_t> attrs = store_.LineAttributes(line);
  const TextPos s = store_.SelectionStart();
  const TextPos e = store_.SelectionEnd();
  const bool hasSelection = s != e && line >= s.line && line <= e.line;
  auto selected = [&](int col) {
    if (!hasSelection) return false;
    if (s.line == e.line) return col >= s.col && col < e.col;
    if (line == s.line) return col >= s.col;
    if (line == e.line) return col < e.col;
    return true;
  };
  const int tabWidth = std::max(1, store_.TabWidth());
  const int leftCol = firstCol_;
  const int rightCol = firstCol_ + (width - gutterPx) / charWidth_ + 1;
  const int baseline = top + 2 + ascent_;

  QString run;
  bool runAscii = true;
  bool haveRun = false;
  int runCol = 0;
  int runCells = 0;
  std::uint8_t runAttr = kAttrNormal;
  bool runSelected = false;
  auto flush = [&] {
    if (haveRun)
      PaintTextRun(p, run, runAscii, runCol, runCells, runAttr, runSelected, baseline, top,
                   y + lineHeight_);
    run.clear();
    runAscii = true;
    haveRun = false;
    runCells = 0;
  };

  int col = 0;
  std::size_t i = 0;
  bool lastSelected = false;
  while (i < text.size() && col < rightCol) {
    const char c = text[i];
    const std::size_t n = c == '\t' ? 1 : CharLength(text, i);
    const int next = NextColumn(c, col, tabWidth);
    const bool sel = selected(col);
    lastSelected = sel;
    if (next > leftCol) {
      const std::uint8_t attr = AttrClass(i < attrs.size() ? attrs[i] : std::uint8_t{kAttrNormal});
      if (c == '\t') {
        flush();
        PaintTextRun(p, QString(), true, col, next - col, attr, sel, baseline, top,
                     y + lineHeight_);
      } else if (IsControlByte(c)) {
        flush();
        const QRect cell((gutterCells_ + col - firstCol_) * charWidth_, top, charWidth_,
                         y + lineHeight_ - top);
        PaintControlMark(p, cell, c, sel ? background_ : normal_, sel ? normal_ : background_,
                         fonts_.normal);
      } else {
        if (haveRun && (attr != runAttr || sel != runSelected || runCells >= 100)) flush();
        if (!haveRun) {
          haveRun = true;
          runAttr = attr;
          runSelected = sel;
          runCol = col;
        }
        const char32_t cp = DecodeCharacter(text.substr(i, n));
        if (cp >= 0x80) runAscii = false;
        if (cp > 0xFFFF) {
          run += QChar(QChar::highSurrogate(cp));
          run += QChar(QChar::lowSurrogate(cp));
        } else {
          run += QChar(static_cast<char16_t>(cp));
        }
        ++runCells;
      }
    }
    col = next;
    i += n;
  }
  flush();
  // One more cell follows the last character: highlighted when the selection goes on
  // past the line's end or its last character is selected.
  if (i >= text.size() && col >= leftCol && (selected(col) || (!text.empty() && lastSelected)))
    p.fillRect(
        QRect(gutterPx + (col - leftCol) * charWidth_, top, charWidth_, y + lineHeight_ - top),
        normal_);
  p.restore();
}

void CSourceEditor::PaintTextRun(QPainter& p, const QString& text, bool ascii, int col, int cells,
                                 std::uint8_t attr, bool selected, int baseline, int top,
                                 int bottom) {
  const int x = (gutterCells_ + col - firstCol_) * charWidth_;
  const QRect cellsRect(x, top, cells * charWidth_, bottom - top);
  if (selected) p.fillRect(cellsRect, normal_);
  if (text.isEmpty()) return;
  const bool comment = attr == kAttrComment;
  p.setFont(comment ? fonts_.comment : fonts_.normal);
  p.setPen(selected                ? background_
           : attr == kAttrReserved ? reserved_
           : comment               ? comment_
                                   : normal_);
  const AsciiGlyphs& glyphs = glyphs_[comment ? 1 : 0];
  if (ascii && glyphs.usable) {
    glyphScratch_.resize(text.size());
    positionScratch_.resize(text.size());
    for (qsizetype k = 0; k < text.size(); ++k) {
      const char16_t c = text[k].unicode();
      glyphScratch_[k] = glyphs.index[c < 128 ? c : 32];
      positionScratch_[k] = QPointF(static_cast<qreal>(k * charWidth_), 0);
    }
    QGlyphRun run;
    run.setRawFont(glyphs.raw);
    run.setGlyphIndexes(glyphScratch_);
    run.setPositions(positionScratch_);
    p.drawGlyphRun(QPointF(x, baseline), run);
    return;
  }
  // Characters outside ASCII (and fonts whose glyphs are not all one cell wide) are
  // placed cell by cell, each clipped to the run's cells.
  p.save();
  p.setClipRect(cellsRect, Qt::IntersectClip);
  int k = 0;
  for (qsizetype j = 0; j < text.size(); ++k) {
    const qsizetype len = text[j].isHighSurrogate() && j + 1 < text.size() ? 2 : 1;
    p.drawText(x + k * charWidth_, baseline, text.mid(j, len));
    j += len;
  }
  p.restore();
}

// ---- Input ------------------------------------------------------------------

}  // namespace tamso::gui
