#pragma once
// The undo records of a line store, shared by its edit and undo parts.

#include <string>
#include <vector>

#include "editor/line_store.h"

namespace tamso {

// One primitive change: text (lines separated by '\n') inserted at or erased from
// (line, index); the change ends at (endLine, endIndex).
struct CLineStore::EditOp {
  bool insert = true;
  int line = 0;
  int index = 0;
  int endLine = 0;
  int endIndex = 0;
  std::string text;
};

struct CLineStore::UndoStep {
  std::vector<EditOp> ops;
  TextPos beforeStart, beforeEnd, beforeCaret;
  TextPos afterStart, afterEnd, afterCaret;
  bool typing = false;
};

}  // namespace tamso
