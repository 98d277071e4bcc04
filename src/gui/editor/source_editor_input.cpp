// Keys, typed text, input methods and the mouse of the source editor.

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "editor/char_offsets.h"
#include "editor/source_editor.h"
#include "editor/text_cells.h"
#include "editor/text_decode.h"

namespace tamso::gui {

void CSourceEditor::TypeText(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  const std::string_view all(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  const bool braces = UsesBraceIndent(GetLanguage());
  for (std::size_t i = 0; i < all.size();) {
    const std::size_t n = CharLength(all, i);
    if (n == 1 && all[i] == '}')
      TypeWithIndent(store_, '}', indent_, braces);
    else
      store_.InsertChar(all.substr(i, n));
    i += n;
  }
}

void CSourceEditor::DetectFileIndent() {
  fileIndent_ = DetectIndentStyle(store_, store_.TabWidth());
  indent_ = fileIndent_ ? *fileIndent_ : ReadIndentStyle(profile_);
}

void CSourceEditor::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool shift = mods & Qt::ShiftModifier;
  const bool ctrl = mods & Qt::ControlModifier;
  const bool alt = mods & Qt::AltModifier;
  const int key = event->key();

  if (event == QKeySequence::Undo) return Undo();
  if (event == QKeySequence::SelectAll) return SelectAll();
  if (event == QKeySequence::Copy) return Copy();
  if (event == QKeySequence::Cut) return Cut();
  if (event == QKeySequence::Paste) return Paste();
  if (ctrl && !alt && (key == Qt::Key_Y || (shift && key == Qt::Key_Z))) return Redo();

  switch (key) {
    case Qt::Key_PageUp:
      ScrollPage(false, shift);
      break;
    case Qt::Key_PageDown:
      ScrollPage(true, shift);
      break;
    case Qt::Key_Home:
      if (ctrl)
        CollapseOrExtendToCaret(TextPos{0, 0}, shift);
      else
        store_.MoveHome(shift);
      break;
    case Qt::Key_End:
      if (ctrl) {
        const int last = store_.LineCount() - 1;
        CollapseOrExtendToCaret(TextPos{last, store_.LineWidth(last)}, shift);
      } else {
        store_.MoveEnd(shift);
      }
      break;
    case Qt::Key_Left:
      store_.MoveLeft(shift);
      break;
    case Qt::Key_Right:
      store_.MoveRight(shift);
      break;
    case Qt::Key_Up:
      store_.MoveUp(shift);
      break;
    case Qt::Key_Down:
      store_.MoveDown(shift);
      break;
    case Qt::Key_Insert: {
      InvalidateCaret();
      blockCaret_ = !blockCaret_;
      if (!shift) {
        const TextPos e = store_.SelectionEnd();
        store_.SetSelection(e.line, e.col);
      }
      break;
    }
    case Qt::Key_Delete:
      store_.DeleteForward();
      break;
    case Qt::Key_Backspace:
      if (alt)
        store_.Undo();
      else
        store_.DeleteBackward();
      break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
      if (ctrl) {  // window switching belongs to the frame
        event->ignore();
        return;
      }
      if (shift || key == Qt::Key_Backtab)
        UnindentKey(store_, indent_);
      else
        IndentKey(store_, indent_);
      break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (ctrl) {  // a line feed
        host_.Beep(BeepKind::Default);
        return;
      }
      SmartBreakLine(store_, indent_, UsesBraceIndent(GetLanguage()));
      break;
    case Qt::Key_Escape:
      host_.Beep(BeepKind::Default);
      return;
    case Qt::Key_F3:  // Find Next belongs to the frame, which knows the find box
      event->ignore();
      return;
    default: {
      const QString text = event->text();
      // Control or Alt combinations (an Alt+letter no menu took) and control characters
      // type nothing; Ctrl+Alt together is how some keyboards type their third level.
      if (text.isEmpty() || ctrl != alt || text.at(0).unicode() < 0x20 ||
          text.at(0).unicode() == 0x7F) {
        event->ignore();
        return;
      }
      if (viewport()->cursor().shape() != Qt::BlankCursor) viewport()->setCursor(Qt::BlankCursor);
      TypeText(text);
      break;
    }
  }
  AfterCommand();
}

void CSourceEditor::inputMethodEvent(QInputMethodEvent* event) {
  if (!event->commitString().isEmpty()) {
    TypeText(event->commitString());
    AfterCommand();
  }
  event->accept();
}

QVariant CSourceEditor::inputMethodQuery(Qt::InputMethodQuery query) const {
  if (query == Qt::ImCursorRectangle) return CaretRect();
  return QAbstractScrollArea::inputMethodQuery(query);
}

void CSourceEditor::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = true;
  setFocus(Qt::MouseFocusReason);
  const TextPos pos = PositionAt(event->position().toPoint(), true);
  // A click on a compiler's mark in the gutter goes to the place it names.
  const int gutterPx = gutterCells_ * charWidth_;
  if (event->position().x() < (gutterPx > 0 ? gutterPx : std::max(3, charWidth_ / 3))) {
    if (const std::optional<int> column = diagnostics_.ColumnAt(pos.line)) {
      const int index = ByteOfUtf16Unit(store_.Line(pos.line), *column);
      store_.SetSelection(pos.line, store_.ColumnOfIndex(pos.line, index));
      InvalidateCaret();
      UpdateCaret();
      return;
    }
  }
  store_.SetSelection(pos.line, pos.col);
  InvalidateCaret();
  UpdateCaret();
}

void CSourceEditor::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
}

void CSourceEditor::mouseMoveEvent(QMouseEvent* event) {
  if (viewport()->cursor().shape() == Qt::BlankCursor) viewport()->setCursor(Qt::IBeamCursor);
  if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
  const QPoint pt = event->position().toPoint();
  const int line =
      std::clamp(firstLine_ + FloorDiv(pt.y(), lineHeight_), 0, store_.LineCount() - 1);
  if (line < firstLine_)
    SetFirstLine(line);
  else if (line > firstLine_ + visibleLines_ - 1)
    SetFirstLine(line - visibleLines_ + 1);
  const TextPos pos = PositionAt(pt, false);
  store_.ExtendSelection(line, pos.col);
  UpdateCaret();
}

void CSourceEditor::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragging_ = false;
    InvalidateCaret();
    UpdateCaret();
    return;
  }
  if (event->button() != Qt::RightButton) return;
  dragging_ = false;
  if (!store_.HasSelection()) {
    const TextPos pos = PositionAt(event->position().toPoint(), true);
    store_.SetSelection(pos.line, pos.col);
  }
  UpdateCaret();
  QMenu* menu = CreateContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPosition().toPoint());
}

void CSourceEditor::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  if (event->reason() == QContextMenuEvent::Mouse) return;  // shown on button release
  QMenu* menu = CreateContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(viewport()->mapToGlobal(CaretRect().bottomLeft()));
}

void CSourceEditor::wheelEvent(QWheelEvent* event) {
  // The wheel scrolls the view only; the caret and the selection stay.
  wheelRemainder_ += event->angleDelta();
  const int rows = wheelRemainder_.y() / 120;
  const int cols = wheelRemainder_.x() / 120;
  wheelRemainder_ -= QPoint(cols * 120, rows * 120);
  if (rows) SetFirstLine(firstLine_ - rows * 3);
  if (cols) SetFirstColumn(firstCol_ - cols * 3);
  if (rows || cols) UpdateCaret();
  event->accept();
}

}  // namespace tamso::gui
