#pragma once
// Searching the text of a line store: FindText, bracket matching, replace, and the
// flows of the toolbar's find box and the find/replace dialog.

#include <string>
#include <string_view>
#include <vector>

#include "editor/line_store.h"
#include "platform/host.h"

namespace tamso {

struct FindOptions {
  bool forward = true;
  bool matchCase = false;
  // A match must not have a word character (letter, digit, '_', '$', byte >= 0x80)
  // right before or after it.
  bool wholeWord = false;
};

// Searches from the selection and selects the match (one line; matches never span
// lines). Forward: from the selection start when the selection is empty, one
// position after it otherwise, through the end of the text. Backward: the nearest
// match starting before the selection start, back to the start of the text.
// Without matchCase, ASCII letters match either case. Returns whether it found one;
// without a match the selection is unchanged. host (may be null) shows the wait cursor.
bool FindText(CLineStore& store, std::string_view text, const FindOptions& options,
              IHost* host = nullptr);

// Finds every occurrence from the top of the text and replaces it, as one undo step.
// Returns the number replaced. The replacement may hold line breaks (as InsertText).
int ReplaceAll(CLineStore& store, std::string_view text, std::string_view replacement,
               const FindOptions& options, IHost* host = nullptr);

struct BracketMatch {
  bool found = false;
  int line = 0;
  int index = 0;  // byte index on the line
};

// Without a selection, for a ( ) { } at the caret: the matching bracket of the same
// kind, nesting counted (brackets in strings and comments count like any other). On a
// match the caret goes there with an empty selection; the caller flashes the cell and
// sounds the error beep. Not a bracket: an information beep; no match: the default
// beep. With a selection: nothing.
BracketMatch MatchBracket(CLineStore& store, IHost& host);
// Whether the character at the caret is one of ( ) { } (enables the command).
bool CaretOnBracket(const CLineStore& store);

// The list of the toolbar's find box, newest first.
class FindHistory {
 public:
  // Adds text at the top unless an entry already begins with it (letter case ignored,
  // as the box's own prefix search). Returns the entry's index.
  int Add(const std::string& text);
  const std::vector<std::string>& Items() const { return items_; }

 private:
  std::vector<std::string> items_;
};

// Quick find from the toolbar's find box (and Find Next): searches forward without
// letter case; when nothing is found, offers to start again at the top.
// Returns whether the text was found.
bool QuickFind(CLineStore& store, IHost& host, FindHistory& history, const std::string& text);

// The state of the find and replace dialogs; the dialog binds its widgets to it.
struct FindReplaceModel {
  std::string findWhat;
  std::string replaceWith;
  bool matchCase = false;
  bool wholeWord = false;
  bool searchDown = true;

  // A new dialog starts with the selected text (its first line) as both the text to
  // find and the replacement, searching down.
  static FindReplaceModel FromSelection(const CLineStore& store);
  FindOptions Options() const { return {searchDown, matchCase, wholeWord}; }

  // Find Next in the dialog's direction and letter case; when nothing is found, the
  // quick find's "Text not found" offer to go on from the top (or, searching up, the
  // bottom). It never wraps unasked.
  bool FindNext(CLineStore& store, IHost& host, FindHistory& history) const;
  // Replace: replaces the selection with the replacement; a beep without a selection.
  bool Replace(CLineStore& store, IHost& host, FindHistory& history) const;
  // Replace All: every occurrence from the top, one undo step; reports the count in a
  // message box. Returns the count.
  int ReplaceAll(CLineStore& store, IHost& host, FindHistory& history) const;
};

// The message Replace All shows for count replacements.
std::string ReplaceAllMessage(int count);

}  // namespace tamso
