#pragma once
// What the output window tells assistive technology: its text by character offsets,
// read from its blocks line by line, the selection, character extents on screen
// (so a tool can double-click a line it read), and an event for each append.

#include <cstddef>
#include <string>

#include "editor/accessible_text.h"

namespace tamso::gui {

class OutputBar;

// Kept by the output window for its whole life.
class OutputAccessibility {
 public:
  explicit OutputAccessibility(OutputBar& bar);

  const AccessibleText& Text() const { return text_; }
  // Around a change of the text (Set or Append).
  void BeforeChange(bool replacing);
  void AfterChange(bool replaced);

 private:
  OutputBar& bar_;
  AccessibleText text_;
  bool wanted_ = false;
  int oldCount_ = 0;
  QString oldText_;  // the text a replacement removes, when small enough to report
  std::size_t oldLastLine_ = 0;
  std::size_t oldDropped_ = 0;
};

// Makes QAccessible build the output window's interface (safe to call more than once).
void InstallOutputAccessibleFactory();

}  // namespace tamso::gui
