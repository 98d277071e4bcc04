#include "jobs/output_bar.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QThread>
#include <algorithm>
#include <climits>
#include <cmath>

#include "jobs/output_bar_accessible.h"
#include "jobs/source_reference.h"

namespace tamso::gui {

namespace {

// How often a flood of output is brought on screen.
constexpr int kRefreshMs = 30;
// Output is painted at once when the last paint is older than this, so that it shows
// even while the user-interface thread is busy with a run of its own.
constexpr int kForcedPaintMs = 100;

int ClampToInt(size_t v) {
  return v > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(v);
}

bool IsWordByte(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
         c >= 0x80;
}

// The bytes [from, to) of a line as drawn from display column startCol: tabs
// expanded, control characters shown as replacement characters.
QString Display(const std::string& line, size_t from, size_t to, size_t startCol) {
  const QString decoded = QString::fromUtf8(line.data() + from, static_cast<qsizetype>(to - from));
  QString out;
  out.reserve(decoded.size());
  size_t col = startCol;
  for (QChar ch : decoded) {
    if (ch == u'\t') {
      const size_t next = (col / kOutputTabWidth + 1) * kOutputTabWidth;
      out.append(QString(static_cast<qsizetype>(next - col), u' '));
      col = next;
      continue;
    }
    if (ch.unicode() < 0x20 || ch.unicode() == 0x7f) ch = QChar(QChar::ReplacementCharacter);
    out.append(ch);
    if (!ch.isLowSurrogate()) ++col;
  }
  return out;
}

}  // namespace

OutputBar::OutputBar(IHost* host, QWidget* parent, size_t capBytes)
    : QAbstractScrollArea(parent),
      host_(host),
      text_(capBytes),
      a11y_(std::make_unique<OutputAccessibility>(*this)) {
  InstallOutputAccessibleFactory();
  setObjectName(QStringLiteral("2001"));
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setCursor(Qt::IBeamCursor);
  refresh_.setSingleShot(true);
  refresh_.setInterval(kRefreshMs);
  connect(&refresh_, &QTimer::timeout, this, &OutputBar::Flush);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
    if (!settingScroll_) following_ = value == verticalScrollBar()->maximum();
  });
  UpdateMetrics();
}

OutputBar::~OutputBar() = default;

bool OutputBar::OnUiThread() const {
  return QThread::currentThread() == thread();
}

void OutputBar::SetOutput(const std::string& text) {
  if (!OnUiThread()) {
    QMetaObject::invokeMethod(
        this, [&] { SetOutput(text); }, Qt::BlockingQueuedConnection);
    return;
  }
  a11y_->BeforeChange(true);
  text_.Set(text);
  styles_.clear();
  ansi_ = AnsiFilter{};
  a11y_->AfterChange(true);
  anchor_ = cursor_ = Pos{};
  referenceShown_ = false;
  droppedSeen_ = 0;
  following_ = true;
  Changed();
}

void OutputBar::AppendOutput(const std::string& text, bool newLineFirst) {
  if (!OnUiThread()) {
    QMetaObject::invokeMethod(
        this, [&] { AppendOutput(text, newLineFirst); }, Qt::BlockingQueuedConnection);
    return;
  }
  if (text.empty() && !newLineFirst) return;
  if (text.find('\x1b') == std::string::npos && !ansi_.Holding() && ansi_.Style() == AnsiStyle{}) {
    a11y_->BeforeChange(false);
    MarkStyle(AnsiStyle{});
    text_.Append(text, newLineFirst);
    a11y_->AfterChange(false);
    Changed();
    return;
  }
  std::vector<AnsiRun> runs;
  if (newLineFirst) {
    // A line of the IDE's own: what a program left held back shows as text, and the
    // line starts plain whatever colour the program left on.
    if (std::string held = ansi_.Flush(); !held.empty()) runs.push_back({held, ansi_.Style()});
    ansi_ = AnsiFilter{};
    runs.push_back({"\n", AnsiStyle{}});
    AnsiFilter own;
    for (AnsiRun& run : own.Feed(text)) runs.push_back(std::move(run));
    if (std::string rest = own.Flush(); !rest.empty()) runs.push_back({rest, own.Style()});
  } else {
    runs = ansi_.Feed(text);
  }
  AppendStyled(runs);
}

void OutputBar::MarkStyle(const AnsiStyle& style) {
  const AnsiStyle current = styles_.empty() ? AnsiStyle{} : styles_.back().second;
  if (current == style) return;
  const uint64_t at = text_.EndOffset();
  if (!styles_.empty() && styles_.back().first == at)
    styles_.back().second = style;
  else
    styles_.emplace_back(at, style);
}

void OutputBar::AppendStyled(const std::vector<AnsiRun>& runs) {
  if (runs.empty()) return;
  a11y_->BeforeChange(false);
  for (const AnsiRun& run : runs) {
    MarkStyle(run.style);
    text_.Append(run.text, false);
  }
  // Changes before the oldest kept text are of no use but the last of them.
  const uint64_t kept = text_.LineOffset(text_.DroppedBytes() > 0 ? 1 : 0);
  size_t gone = 0;
  while (gone + 1 < styles_.size() && styles_[gone + 1].first <= kept) ++gone;
  if (gone > 0) styles_.erase(styles_.begin(), styles_.begin() + static_cast<long>(gone));
  a11y_->AfterChange(false);
  Changed();
}

AnsiStyle OutputBar::StyleAt(size_t line, size_t byte) const {
  const uint64_t start = text_.LineOffset(line);
  if (start == UINT64_MAX || styles_.empty()) return {};
  const uint64_t at = start + byte;
  auto it = std::upper_bound(styles_.begin(), styles_.end(), at,
                             [](uint64_t v, const auto& s) { return v < s.first; });
  return it == styles_.begin() ? AnsiStyle{} : std::prev(it)->second;
}

void OutputBar::ShowNow() {
  if (!OnUiThread()) {
    QMetaObject::invokeMethod(
        this, [this] { ShowNow(); }, Qt::BlockingQueuedConnection);
    return;
  }
  Flush();
  viewport()->repaint();
}

void OutputBar::Changed() {
  if (text_.DroppedBytes() != droppedSeen_) {
    // Old lines went and the line numbers moved: a selection would point elsewhere.
    droppedSeen_ = text_.DroppedBytes();
    anchor_ = cursor_ = Pos{};
  }
  if (!sinceRefresh_.isValid() || sinceRefresh_.elapsed() >= kForcedPaintMs) {
    Flush();
    viewport()->repaint();
    return;
  }
  if (!refresh_.isActive()) refresh_.start();
}

void OutputBar::Flush() {
  refresh_.stop();
  sinceRefresh_.restart();
  UpdateScrollBars();
  viewport()->update();
}

void OutputBar::UpdateMetrics() {
  QFontMetrics fm(font());
  charWidth_ = std::max(1, fm.horizontalAdvance(QLatin1Char('M')));
  lineHeight_ = std::max(1, fm.height());
  ascent_ = fm.ascent();
}

size_t OutputBar::VisibleLineCount() const {
  return static_cast<size_t>(std::max(1, viewport()->height() / lineHeight_));
}

size_t OutputBar::FirstVisibleLine() const {
  return static_cast<size_t>(verticalScrollBar()->value());
}

void OutputBar::UpdateScrollBars() {
  const size_t page = VisibleLineCount();
  const size_t lines = text_.LineCount();
  const int vmax = ClampToInt(lines > page ? lines - page : 0);
  const size_t pageCols = static_cast<size_t>(std::max(1, viewport()->width() / charWidth_));
  // The longest line in bytes stands in for its width; a little slack covers tabs.
  const size_t cols = text_.LongestLine() + kOutputTabWidth;
  const int hmax = ClampToInt(cols > pageCols ? cols - pageCols : 0);
  settingScroll_ = true;
  QScrollBar* v = verticalScrollBar();
  v->setRange(0, vmax);
  v->setPageStep(ClampToInt(page));
  v->setSingleStep(1);
  if (following_) v->setValue(vmax);
  QScrollBar* h = horizontalScrollBar();
  h->setRange(0, hmax);
  h->setPageStep(ClampToInt(pageCols));
  h->setSingleStep(1);
  settingScroll_ = false;
}

void OutputBar::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void OutputBar::scrollContentsBy(int, int) {
  viewport()->update();
}

void OutputBar::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    UpdateMetrics();
    Flush();
  }
}

namespace {

// Sixteen colours that read on a light background and a dark one alike.
QColor AnsiColour(int index, const QColor& plain) {
  static const QRgb kColours[16] = {0x000000, 0xc01c28, 0x26a269, 0xa2734c, 0x1c71d8, 0xa347ba,
                                    0x2aa1b3, 0x808080, 0x5e5c64, 0xf66151, 0x33b16a, 0xc88800,
                                    0x2a7bde, 0xc061cb, 0x33c7de, 0xa0a0a0};
  if (index < 0 || index > 15) return plain;
  return QColor(kColours[index]);
}

}  // namespace

void OutputBar::DrawStyled(QPainter& p, size_t lineIndex, const std::string& line, size_t firstCol,
                           size_t pageCols, int x0, int baseline, const QFontMetricsF& metrics) {
  const size_t b0 = ByteOfColumn(line, firstCol);
  const size_t b1 = ByteOfColumn(line, firstCol + pageCols);
  const size_t startCol = ColumnOfByte(line, b0);
  const uint64_t lineStart = text_.LineOffset(lineIndex);
  const QColor plain = palette().text().color();
  QFont bold = font();
  bold.setBold(true);
  size_t from = b0;
  double x = x0;
  while (from < b1) {
    const AnsiStyle style = StyleAt(lineIndex, from);
    // The next change of style inside the shown part.
    size_t to = b1;
    if (lineStart != UINT64_MAX) {
      auto it = std::upper_bound(styles_.begin(), styles_.end(), lineStart + from,
                                 [](uint64_t v, const auto& s) { return v < s.first; });
      if (it != styles_.end() && it->first < lineStart + b1)
        to = static_cast<size_t>(it->first - lineStart);
    }
    // Never split a UTF-8 sequence.
    while (to < b1 && (static_cast<unsigned char>(line[to]) & 0xC0) == 0x80) ++to;
    const QString piece = Display(line, from, to, ColumnOfByte(line, from));
    p.setPen(AnsiColour(style.foreground, plain));
    p.setFont(style.bold ? bold : font());
    p.drawText(QPointF(x, baseline), piece);
    x += (style.bold ? QFontMetricsF(bold) : metrics).horizontalAdvance(piece);
    from = to;
  }
  p.setFont(font());
  (void)startCol;
}

void OutputBar::paintEvent(QPaintEvent*) {
  ++paints_;
  QPainter p(viewport());
  const QPalette& pal = palette();
  p.fillRect(viewport()->rect(), pal.base());
  p.setFont(font());
  const size_t first = FirstVisibleLine();
  const size_t firstCol = static_cast<size_t>(horizontalScrollBar()->value());
  const size_t pageCols = static_cast<size_t>(viewport()->width() / charWidth_) + 2;
  const size_t end = std::min(text_.LineCount(), first + VisibleLineCount() + 1);
  Pos selFrom = std::min(anchor_, cursor_);
  Pos selTo = std::max(anchor_, cursor_);
  const bool hasSelection = !(selFrom == selTo);
  const QFontMetricsF metrics(font());
  const double cell = metrics.horizontalAdvance(QLatin1Char('M'));
  for (size_t i = first; i < end; ++i) {
    const int y = static_cast<int>(i - first) * lineHeight_;
    const size_t length = text_.LineLength(i);
    QString shown;
    size_t startCol = firstCol;
    if (length > kLongLine) {
      const std::string part = text_.LineSlice(i, firstCol, pageCols);
      shown = Display(part, 0, part.size(), startCol);
    } else {
      const std::string line = text_.Line(i);
      const size_t b0 = ByteOfColumn(line, firstCol);
      startCol = ColumnOfByte(line, b0);
      shown = Display(line, b0, ByteOfColumn(line, firstCol + pageCols), startCol);
    }
    const int x = (static_cast<int>(startCol) - static_cast<int>(firstCol)) * charWidth_;
    QRect selRect;
    if (hasSelection && i >= selFrom.line && i <= selTo.line) {
      const size_t c0 = i == selFrom.line ? ColumnOf(i, selFrom.byte) : 0;
      // A selection that goes on past the line end takes its line break as one cell.
      const size_t c1 = i == selTo.line ? ColumnOf(i, selTo.byte) : ColumnOf(i, length) + 1;
      // The edges are measured on the text as drawn: a character is seldom a whole
      // number of pixels wide, and whole-pixel cells would end short of a long line.
      auto edge = [&](size_t col) -> double {
        if (col <= startCol) return x - static_cast<double>(startCol - col) * cell;
        const auto n = static_cast<qsizetype>(col - startCol);
        if (n <= shown.size()) return x + metrics.horizontalAdvance(shown.left(n));
        return x + metrics.horizontalAdvance(shown) + static_cast<double>(n - shown.size()) * cell;
      };
      const double limit = static_cast<double>(width()) + 1;
      const int l = static_cast<int>(std::floor(std::clamp(edge(c0), -1.0, limit)));
      const int r = static_cast<int>(std::ceil(std::clamp(edge(c1), -1.0, limit)));
      if (r > l) selRect = QRect(l, y, r - l, lineHeight_);
    }
    if (!selRect.isNull()) p.fillRect(selRect, pal.highlight());
    p.setPen(pal.text().color());
    if (styles_.empty() || length > kLongLine) {
      p.drawText(x, y + ascent_, shown);
    } else {
      DrawStyled(p, i, text_.Line(i), firstCol, pageCols, x, y + ascent_, metrics);
    }
    if (!selRect.isNull()) {
      p.save();
      p.setClipRect(selRect);
      p.setPen(pal.highlightedText().color());
      p.drawText(x, y + ascent_, shown);
      p.restore();
    }
  }
}

size_t OutputBar::ColumnOf(size_t line, size_t byte) const {
  if (text_.LineLength(line) > kLongLine) return byte;
  return ColumnOfByte(text_.Line(line), byte);
}

size_t OutputBar::ByteOf(size_t line, size_t column) const {
  const size_t length = text_.LineLength(line);
  if (length > kLongLine) return std::min(column, length);
  return ByteOfColumn(text_.Line(line), column);
}

OutputBar::Pos OutputBar::PosAt(QPoint pt) const {
  Pos pos;
  const size_t count = text_.LineCount();
  const long row = pt.y() < 0 ? -1 : pt.y() / lineHeight_;
  long line = static_cast<long>(FirstVisibleLine()) + row;
  line = std::clamp(line, 0L, static_cast<long>(count) - 1);
  pos.line = static_cast<size_t>(line);
  const long col = static_cast<long>(horizontalScrollBar()->value()) +
                   std::max(0, pt.x() + charWidth_ / 2) / charWidth_;
  pos.byte = ByteOf(pos.line, static_cast<size_t>(col));
  return pos;
}

void OutputBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const Pos pos = PosAt(event->position().toPoint());
  if (!(event->modifiers() & Qt::ShiftModifier)) anchor_ = pos;
  cursor_ = pos;
  selecting_ = true;
  viewport()->update();
}

void OutputBar::mouseMoveEvent(QMouseEvent* event) {
  if (!selecting_ || !(event->buttons() & Qt::LeftButton)) return;
  QPoint pt = event->position().toPoint();
  // Dragging past an edge scrolls.
  if (pt.y() < 0) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
  if (pt.y() > viewport()->height())
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  cursor_ = PosAt(pt);
  viewport()->update();
}

void OutputBar::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mouseDoubleClickEvent(event);
    return;
  }
  selecting_ = false;
  const Pos pos = PosAt(event->position().toPoint());
  // A name and line number sit at the start of a line; a huge line is not read whole.
  const std::string line = text_.LineSlice(pos.line, 0, kLongLine);
  if (ParseLineReference(line, referenceRoots_)) {
    // A place only opens: the caret goes to the start of its line, nothing is selected.
    anchor_ = cursor_ = Pos{pos.line, 0};
  } else {
    // Elsewhere the word under the pointer is selected, as a double click does anywhere.
    size_t from = std::min(pos.byte, line.size());
    size_t to = from;
    while (from > 0 && IsWordByte(static_cast<unsigned char>(line[from - 1]))) --from;
    while (to < line.size() && IsWordByte(static_cast<unsigned char>(line[to]))) ++to;
    anchor_ = Pos{pos.line, from};
    cursor_ = Pos{pos.line, to};
  }
  viewport()->update();
  if (!host_) {
    QApplication::beep();
    return;
  }
  std::string file;
  if (JumpToSource(line, *host_, referenceDir_, &file, referenceRoots_, CaretColumnOf(pos.line)) ==
      JumpResult::Done) {
    referenceShown_ = true;
    const auto ref = ParseLineReference(line, referenceRoots_);
    emit sourceReferenceActivated(QFile::decodeName(file.c_str()), ref->line);
  }
}

int OutputBar::CaretColumnOf(size_t line) const {
  return CaretLineColumn(
             text_.LineCount(), [this](size_t i) { return text_.LineSlice(i, 0, kLongLine); }, line)
      .value_or(-1);
}

bool OutputBar::GoToReference(bool forward) {
  std::optional<size_t> current;
  if (referenceShown_ || anchor_ != cursor_) current = std::min(anchor_, cursor_).line;
  const auto next = FindNextReference(
      text_.LineCount(), [this](size_t i) { return text_.LineSlice(i, 0, kLongLine); }, current,
      forward, referenceRoots_);
  if (!next) {
    if (host_)
      host_->Beep(BeepKind::Default);
    else
      QApplication::beep();
    return false;
  }
  // The whole line is selected and brought into view, then its place is opened.
  anchor_ = Pos{*next, 0};
  cursor_ = Pos{*next, text_.LineLength(*next)};
  referenceShown_ = true;
  following_ = false;
  const int line = static_cast<int>(*next);
  QScrollBar* v = verticalScrollBar();
  if (line < v->value() || line >= v->value() + std::max(1, v->pageStep()))
    v->setValue(std::max(0, line - v->pageStep() / 2));
  viewport()->update();
  if (!host_) return false;
  const std::string text = text_.LineSlice(*next, 0, kLongLine);
  std::string file;
  if (JumpToSource(text, *host_, referenceDir_, &file, referenceRoots_, CaretColumnOf(*next)) !=
      JumpResult::Done)
    return false;
  emit sourceReferenceActivated(QFile::decodeName(file.c_str()),
                                ParseLineReference(text, referenceRoots_)->line);
  return true;
}

std::string OutputBar::SelectedText() const {
  const Pos from = std::min(anchor_, cursor_);
  const Pos to = std::max(anchor_, cursor_);
  std::string out;
  for (size_t i = from.line; i <= to.line && i < text_.LineCount(); ++i) {
    const std::string line = text_.Line(i);
    const size_t s = i == from.line ? std::min(from.byte, line.size()) : 0;
    const size_t e = i == to.line ? std::min(to.byte, line.size()) : line.size();
    if (e > s) out.append(line, s, e - s);
    if (i != to.line) out += '\n';
  }
  return out;
}

void OutputBar::SelectAll() {
  anchor_ = Pos{};
  const size_t last = text_.LineCount() - 1;
  cursor_ = Pos{last, text_.LineLength(last)};
  viewport()->update();
}

void OutputBar::CopySelection() const {
  const std::string bytes = SelectedText();
  if (bytes.empty()) return;
  QApplication::clipboard()->setText(
      QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

void OutputBar::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    CopySelection();
  } else if (event->matches(QKeySequence::SelectAll)) {
    SelectAll();
  } else if (event->matches(QKeySequence::MoveToStartOfDocument)) {
    verticalScrollBar()->setValue(0);
  } else if (event->matches(QKeySequence::MoveToEndOfDocument)) {
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  } else {
    QAbstractScrollArea::keyPressEvent(event);
  }
}

void OutputBar::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(QStringLiteral("&Copy"), this, &OutputBar::CopySelection);
  copy->setEnabled(!(anchor_ == cursor_));
  menu.addAction(QStringLiteral("Select &All"), this, &OutputBar::SelectAll);
  menu.exec(event->globalPos());
}

QPoint OutputBar::PointOfLine(size_t line) {
  Flush();
  if (line >= text_.LineCount()) return QPoint(-1, -1);
  QScrollBar* v = verticalScrollBar();
  const size_t first = FirstVisibleLine();
  if (line < first || line >= first + VisibleLineCount()) {
    v->setValue(ClampToInt(line));
  }
  horizontalScrollBar()->setValue(0);
  const size_t top = FirstVisibleLine();
  return QPoint(charWidth_ / 2, static_cast<int>(line - top) * lineHeight_ + lineHeight_ / 2);
}

OutputBar* CreateOutputBarWidget(IHost& host, QWidget* parent) {
  return new OutputBar(&host, parent);
}

QtUiThread::QtUiThread() {
  if (QCoreApplication::instance()) moveToThread(QCoreApplication::instance()->thread());
}

void QtUiThread::Post(std::function<void()> fn) {
  QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

IUiThread& MainUiThread() {
  static QtUiThread* dispatcher = new QtUiThread();
  return *dispatcher;
}

}  // namespace tamso::gui
