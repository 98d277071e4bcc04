#include "jobs/output_bar_accessible.h"

#include <QAccessible>
#include <QScrollBar>
#include <algorithm>

#include "jobs/output_bar.h"

namespace tamso::gui {

namespace {

// Larger changes are not spelt out in an event: a reader reads them on demand.
constexpr int kMaxEventChars = 1 << 20;

}  // namespace

class OutputAccessible : public AccessibleTextView {
 public:
  explicit OutputAccessible(OutputBar* bar)
      : AccessibleTextView(bar, QStringLiteral("Output"), false), bar_(bar) {}

  int cursorPosition() const override { return OffsetOf(bar_->cursor_); }
  void setCursorPosition(int position) override { Select(position, position); }
  int selectionCount() const override { return bar_->anchor_ == bar_->cursor_ ? 0 : 1; }
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || selectionCount() == 0) return;
    *startOffset = OffsetOf(std::min(bar_->anchor_, bar_->cursor_));
    *endOffset = OffsetOf(std::max(bar_->anchor_, bar_->cursor_));
  }
  void addSelection(int startOffset, int endOffset) override { Select(startOffset, endOffset); }
  void removeSelection(int selectionIndex) override {
    if (selectionIndex == 0) bar_->anchor_ = bar_->cursor_;
    bar_->viewport()->update();
  }
  void setSelection(int selectionIndex, int startOffset, int endOffset) override {
    if (selectionIndex == 0) Select(startOffset, endOffset);
  }

  QRect characterRect(int offset) const override {
    const BytePos p = Text().PositionOf(offset);
    const auto line = static_cast<std::size_t>(p.line);
    const auto col = static_cast<long>(bar_->ColumnOf(line, static_cast<std::size_t>(p.index)));
    long cells = 1;
    const std::string ch = bar_->text_.LineSlice(line, static_cast<std::size_t>(p.index), 1);
    if (ch == "\t") cells = (col / kOutputTabWidth + 1) * kOutputTabWidth - col;
    const long firstCol = bar_->horizontalScrollBar()->value();
    const long row = static_cast<long>(line) - static_cast<long>(bar_->FirstVisibleLine());
    const QRect r(static_cast<int>((col - firstCol) * bar_->charWidth_),
                  static_cast<int>(row * bar_->lineHeight_),
                  static_cast<int>(cells * bar_->charWidth_), bar_->lineHeight_);
    return QRect(bar_->viewport()->mapToGlobal(r.topLeft()), r.size());
  }
  int offsetAtPoint(const QPoint& point) const override {
    const QPoint p = bar_->viewport()->mapFromGlobal(point);
    if (!bar_->viewport()->rect().contains(p)) return -1;
    const std::size_t line =
        bar_->FirstVisibleLine() + static_cast<std::size_t>(p.y() / bar_->lineHeight_);
    if (line >= bar_->text_.LineCount()) return -1;
    const auto col =
        static_cast<std::size_t>(bar_->horizontalScrollBar()->value() + p.x() / bar_->charWidth_);
    return OffsetOf(OutputBar::Pos{line, bar_->ByteOf(line, col)});
  }
  void scrollToSubstring(int startIndex, int /*endIndex*/) override {
    const BytePos p = Text().PositionOf(startIndex);
    bar_->PointOfLine(static_cast<std::size_t>(p.line));
  }

 protected:
  const AccessibleText& Text() const override { return bar_->a11y_->Text(); }

 private:
  int OffsetOf(const OutputBar::Pos& pos) const {
    return Text().OffsetOf(static_cast<int>(pos.line), static_cast<int>(pos.byte));
  }
  void Select(int startOffset, int endOffset) {
    const BytePos s = Text().PositionOf(std::min(startOffset, endOffset));
    const BytePos e = Text().PositionOf(std::max(startOffset, endOffset));
    bar_->anchor_ =
        OutputBar::Pos{static_cast<std::size_t>(s.line), static_cast<std::size_t>(s.index)};
    bar_->cursor_ =
        OutputBar::Pos{static_cast<std::size_t>(e.line), static_cast<std::size_t>(e.index)};
    bar_->viewport()->update();
  }

  OutputBar* bar_;
};

namespace {

QAccessibleInterface* OutputFactory(const QString&, QObject* object) {
  if (auto* bar = qobject_cast<OutputBar*>(object)) return new OutputAccessible(bar);
  return nullptr;
}

}  // namespace

OutputAccessibility::OutputAccessibility(OutputBar& bar)
    : bar_(bar),
      text_([&bar] { return static_cast<int>(bar.Text().LineCount()); },
            [&bar](int line, std::string& scratch) -> std::string_view {
              scratch = bar.Text().Line(static_cast<std::size_t>(line));
              return scratch;
            },
            &DecodeUtf8OrReplacement) {}

void OutputAccessibility::BeforeChange(bool replacing) {
  const OutputText& t = bar_.Text();
  oldLastLine_ = t.LineCount() - 1;
  oldDropped_ = t.DroppedBytes();
  wanted_ = AccessibleEventsWanted();
  if (!wanted_) return;
  oldCount_ = text_.CharacterCount();
  oldText_ = replacing && oldCount_ <= kMaxEventChars ? text_.Text(0, oldCount_) : QString();
}

void OutputAccessibility::AfterChange(bool replaced) {
  const bool dropped = bar_.Text().DroppedBytes() != oldDropped_;
  if (replaced || dropped)
    text_.Index().Reset();
  else
    text_.Index().LinesChanged(static_cast<int>(oldLastLine_));
  if (!wanted_) return;
  wanted_ = false;
  const int count = text_.CharacterCount();
  if (replaced) {
    if (!oldText_.isEmpty()) {
      QAccessibleTextRemoveEvent event(&bar_, 0, oldText_);
      SendAccessibleEvent(&event);
      oldText_.clear();
    }
    if (count > 0 && count <= kMaxEventChars) {
      QAccessibleTextInsertEvent event(&bar_, 0, text_.Text(0, count));
      SendAccessibleEvent(&event);
    }
    return;
  }
  if (dropped) return;  // the front went; a reader reads the new text on demand
  // Text before the old end stays; a '\r' that ended the text (never shown) comes
  // back as part of the new text when something other than '\n' follows it.
  const int from = oldCount_;
  if (count > from && count - from <= kMaxEventChars) {
    QAccessibleTextInsertEvent event(&bar_, from, text_.Text(from, count));
    SendAccessibleEvent(&event);
  }
}

void InstallOutputAccessibleFactory() {
  static const bool installed = [] {
    QAccessible::installFactory(&OutputFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace tamso::gui
