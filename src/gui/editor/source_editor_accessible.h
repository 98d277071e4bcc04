#pragma once
// What the source editor tells assistive technology: its text by character offsets
// (see AccessibleText), the caret and the selection, character extents on screen,
// and an event for every insertion, removal and caret move while a reader listens.

#include <string_view>

#include "editor/accessible_text.h"
#include "editor/line_store.h"

namespace tamso::gui {

class CSourceEditor;

// Kept by the editor for its whole life, so the offset index follows every edit.
class EditorAccessibility {
 public:
  explicit EditorAccessibility(CSourceEditor& editor);

  AccessibleText& Text() { return text_; }
  const AccessibleText& Text() const { return text_; }
  // Offsets of the caret and of a display position.
  int OffsetOf(TextPos pos) const;
  int CaretOffset() const;

  // From the store, after each change.
  void Inserted(int line, int index, std::string_view text);
  void Erased(int line, int index, std::string_view removed);
  void Replaced();
  // From the editor's caret update: reports a moved caret or a changed selection.
  void CaretUpdated();

 private:
  CSourceEditor& editor_;
  AccessibleText text_;
  TextPos caret_{-1, -1};
  TextPos selStart_, selEnd_;
  bool textChanged_ = true;
};

// Makes QAccessible build the editor's interface (safe to call more than once).
void InstallEditorAccessibleFactory();

}  // namespace tamso::gui
