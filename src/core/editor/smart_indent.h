#pragma once
// Indentation while typing: what one level of indentation is (tabs or a number of
// spaces, from the settings or detected from a file's own lines), Return that keeps
// the line's indentation and adds a level after an opening bracket, a closing brace
// typed first on a line that moves to its opening brace's indentation, and Tab /
// Shift+Tab that indent and unindent lines by one level.
//
// Every edit here is one undo step. Brackets are found by a light scan of nearby
// lines that skips strings, character literals and comments; no edit looks at more
// than kMaxIndentScanLines lines, so typing costs the same at any line of any file.

#include <optional>
#include <string>
#include <string_view>

#include "editor/line_store.h"

namespace tamso {

class IniFile;

// One level of indentation: a tab (shown as the tab width), or width spaces.
struct IndentStyle {
  bool tabs = false;
  int width = 4;  // columns of one level with spaces; ignored with tabs
  friend bool operator==(const IndentStyle&, const IndentStyle&) = default;
};

// "Editor"/"IndentSpaces" (default 1: spaces; 0: tabs) and "Editor"/"IndentWidth"
// (default 4; a value outside 1..16 gives 4).
IndentStyle ReadIndentStyle(const IniFile& profile);
inline constexpr int kMaxIndentWidth = 16;

// How the text indents, from its first indented lines (at most maxLines lines from
// the top are read): tabs when more of them start with a tab than with spaces, else
// the step between the indentation of neighbouring lines that occurs most often
// (2 to 8 spaces). No value for a text with no indented code line. Lines of block
// comments (" * ...") do not count.
std::optional<IndentStyle> DetectIndentStyle(const ILineSource& text, int tabWidth,
                                             int maxLines = 1000);

// The columns covered by the leading tabs and spaces of a line.
int IndentColumns(std::string_view line, int tabWidth);
// The number of leading tab and space bytes of a line.
int IndentBytes(std::string_view line);
// Blanks that indent to columns: tabs as far as they go then spaces (with tabs), or
// spaces only.
std::string IndentString(int columns, const IndentStyle& style, int tabWidth);

// True for the languages whose blocks are braces (Java, Perl).
bool UsesBraceIndent(const Language* language);

// No edit looks further up than this many lines for an opening bracket.
inline constexpr int kMaxIndentScanLines = 4000;

// Return at the caret (the selection is deleted first). Without brace rules the new
// line copies the caret line's leading blanks (as far as they lie before the caret).
// With them, also: one level more when an opening bracket before the caret is left
// open; between '{' and '}' the '}' goes to a line of its own at the old indentation
// with the caret on an indented line between; a line that begins with closing
// brackets left unmatched before the caret continues at the indentation of the
// line that opened them; blanks after the caret are dropped. With only blanks before
// the caret the line just moves down, its indentation kept.
void SmartBreakLine(CLineStore& store, const IndentStyle& style, bool braceRules);

// Types c at the caret. A '}' typed with only blanks before it on its line (outside a
// comment or text block) first moves the line to the indentation of the line of its
// matching '{'; the line stays as it was when no match is found nearby. Returns true
// when it re-indented (the move and the brace are one undo step).
bool TypeWithIndent(CLineStore& store, char c, const IndentStyle& style, bool braceRules);

// Tab: with a selection over several lines, every line of it (but empty ones) gets
// one level more at its start; otherwise the selection is replaced by one level: a tab, or spaces
// to the next multiple of the width.
void IndentKey(CLineStore& store, const IndentStyle& style);
// Shift+Tab: with a selection over several lines, every line of it loses up to one
// level of leading blanks; otherwise blanks before the caret are deleted back to the
// previous level's column, or one character is deleted backwards when none is there.
void UnindentKey(CLineStore& store, const IndentStyle& style);

// Indents every line of text but the first (which goes where the caret is, after the
// caret line's indentation) by the caret line's indentation, for a block of code
// inserted at the caret. The text's own relative indentation is kept; empty lines
// stay empty.
std::string IndentInsertedText(std::string_view text, std::string_view caretLine);

}  // namespace tamso
