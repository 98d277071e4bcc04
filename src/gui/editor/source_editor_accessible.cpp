#include "editor/source_editor_accessible.h"

#include <QAccessible>
#include <QScrollBar>
#include <algorithm>

#include "editor/source_editor.h"
#include "editor/text_cells.h"
#include "editor/text_decode.h"

namespace tamso::gui {

class EditorAccessible : public AccessibleTextView, public QAccessibleEditableTextInterface {
 public:
  explicit EditorAccessible(CSourceEditor* editor)
      : AccessibleTextView(editor, QStringLiteral("Source editor"), true), editor_(editor) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::EditableTextInterface)
      return static_cast<QAccessibleEditableTextInterface*>(this);
    return AccessibleTextView::interface_cast(type);
  }

  // ---- Caret and selection ---------------------------------------------------
  int cursorPosition() const override { return Tracker().CaretOffset(); }
  void setCursorPosition(int position) override { Select(position, position); }
  int selectionCount() const override { return Store().HasSelection() ? 1 : 0; }
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !Store().HasSelection()) return;
    *startOffset = Tracker().OffsetOf(Store().SelectionStart());
    *endOffset = Tracker().OffsetOf(Store().SelectionEnd());
  }
  void addSelection(int startOffset, int endOffset) override { Select(startOffset, endOffset); }
  void removeSelection(int selectionIndex) override {
    if (selectionIndex != 0) return;
    const int caret = cursorPosition();
    Select(caret, caret);
  }
  void setSelection(int selectionIndex, int startOffset, int endOffset) override {
    if (selectionIndex == 0) Select(startOffset, endOffset);
  }

  // ---- Geometry --------------------------------------------------------------
  QRect characterRect(int offset) const override {
    const BytePos p = Tracker().Text().PositionOf(offset);
    const CLineStore& store = Store();
    const int col = store.ColumnOfIndex(p.line, p.index);
    const std::string_view line = store.Line(p.line);
    int cells = 1;
    if (static_cast<std::size_t>(p.index) < line.size())
      cells = NextColumn(line[static_cast<std::size_t>(p.index)], col, store.TabWidth()) - col;
    QRect r = editor_->CellRect(p.line, col);
    r.setWidth(cells * editor_->CharWidth());
    return QRect(editor_->viewport()->mapToGlobal(r.topLeft()), r.size());
  }
  int offsetAtPoint(const QPoint& point) const override {
    const QPoint p = editor_->viewport()->mapFromGlobal(point);
    if (!editor_->viewport()->rect().contains(p)) return -1;
    const int line = editor_->FirstVisibleLine() + p.y() / editor_->LineHeight();
    if (line >= Store().LineCount()) return -1;
    const int col = std::max(
        0, p.x() / editor_->CharWidth() + editor_->FirstVisibleColumn() - editor_->GutterCells());
    return Tracker().Text().OffsetOf(line, Store().IndexAtColumn(line, col));
  }
  void scrollToSubstring(int startIndex, int endIndex) override {
    const BytePos s = Tracker().Text().PositionOf(startIndex);
    const BytePos e = Tracker().Text().PositionOf(endIndex);
    const int first = editor_->FirstVisibleLine();
    if (s.line < first || e.line >= first + editor_->VisibleLines())
      editor_->ShowLineAtTop(std::max(0, s.line - editor_->VisibleLines() / 2));
  }

  // ---- Editing ---------------------------------------------------------------
  void deleteText(int startOffset, int endOffset) override {
    replaceText(startOffset, endOffset, QString());
  }
  void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
  void replaceText(int startOffset, int endOffset, const QString& text) override {
    Select(startOffset, endOffset);
    editor_->ReplaceSelection(text.toStdString());
  }

 protected:
  const AccessibleText& Text() const override { return editor_->a11y_->Text(); }

 private:
  const CLineStore& Store() const { return editor_->Store(); }
  const EditorAccessibility& Tracker() const { return *editor_->a11y_; }
  void Select(int startOffset, int endOffset) {
    if (startOffset > endOffset) std::swap(startOffset, endOffset);
    const AccessibleText& text = Text();
    const BytePos s = text.PositionOf(startOffset);
    const BytePos e = text.PositionOf(endOffset);
    CLineStore& store = editor_->Store();
    store.SetSelection(s.line, store.ColumnOfIndex(s.line, s.index), e.line,
                       store.ColumnOfIndex(e.line, e.index));
    editor_->AfterCommand();
  }

  CSourceEditor* editor_;
};

namespace {

QAccessibleInterface* EditorFactory(const QString&, QObject* object) {
  if (auto* editor = qobject_cast<CSourceEditor*>(object)) return new EditorAccessible(editor);
  return nullptr;
}

bool IsActive() {
  return AccessibleEventsWanted();
}

}  // namespace

EditorAccessibility::EditorAccessibility(CSourceEditor& editor)
    : editor_(editor),
      text_([&editor] { return editor.Store().LineCount(); },
            [&editor](int line, std::string&) { return editor.Store().Line(line); },
            &DecodeCharacter) {}

int EditorAccessibility::OffsetOf(TextPos pos) const {
  const CLineStore& store = editor_.Store();
  return text_.OffsetOf(pos.line, store.IndexAtColumn(pos.line, pos.col));
}

int EditorAccessibility::CaretOffset() const {
  return OffsetOf(editor_.Store().Caret());
}

void EditorAccessibility::Inserted(int line, int index, std::string_view text) {
  if (text.find('\n') != std::string_view::npos)
    text_.Index().LinesChanged(line);
  else
    text_.Index().LineChanged(line);
  textChanged_ = true;
  if (text.empty() || !IsActive()) return;
  QAccessibleTextInsertEvent event(&editor_, text_.OffsetOf(line, index), DecodeForDisplay(text));
  SendAccessibleEvent(&event);
}

void EditorAccessibility::Erased(int line, int index, std::string_view removed) {
  if (removed.find('\n') != std::string_view::npos)
    text_.Index().LinesChanged(line);
  else
    text_.Index().LineChanged(line);
  textChanged_ = true;
  if (removed.empty() || !IsActive()) return;
  QAccessibleTextRemoveEvent event(&editor_, text_.OffsetOf(line, index),
                                   DecodeForDisplay(removed));
  SendAccessibleEvent(&event);
}

void EditorAccessibility::Replaced() {
  text_.Index().Reset();
  textChanged_ = true;
}

void EditorAccessibility::CaretUpdated() {
  const CLineStore& store = editor_.Store();
  const TextPos caret = store.Caret();
  const TextPos s = store.SelectionStart();
  const TextPos e = store.SelectionEnd();
  const bool moved = caret != caret_ || textChanged_;
  const bool selectionChanged = s != selStart_ || e != selEnd_;
  caret_ = caret;
  selStart_ = s;
  selEnd_ = e;
  textChanged_ = false;
  if (!IsActive() || !(moved || selectionChanged)) return;
  if (selectionChanged) {
    QAccessibleTextSelectionEvent event(&editor_, OffsetOf(s), OffsetOf(e));
    event.setCursorPosition(CaretOffset());
    SendAccessibleEvent(&event);
  }
  if (moved) {
    QAccessibleTextCursorEvent event(&editor_, CaretOffset());
    SendAccessibleEvent(&event);
  }
}

void InstallEditorAccessibleFactory() {
  static const bool installed = [] {
    QAccessible::installFactory(&EditorFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace tamso::gui
