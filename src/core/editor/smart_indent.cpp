#include "editor/smart_indent.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/ini_file.h"

namespace tamso {

// ---- Settings and detection ---------------------------------------------------

IndentStyle ReadIndentStyle(const IniFile& profile) {
  IndentStyle style;
  style.tabs = profile.GetInt("Editor", "IndentSpaces", 1) == 0;
  const int width = profile.GetInt("Editor", "IndentWidth", 4);
  style.width = width >= 1 && width <= kMaxIndentWidth ? width : 4;
  return style;
}

int IndentBytes(std::string_view line) {
  std::size_t n = 0;
  while (n < line.size() && (line[n] == ' ' || line[n] == '\t')) ++n;
  return static_cast<int>(n);
}

int IndentColumns(std::string_view line, int tabWidth) {
  tabWidth = std::max(1, tabWidth);
  int col = 0;
  for (char c : line) {
    if (c == ' ')
      ++col;
    else if (c == '\t')
      col += tabWidth - col % tabWidth;
    else
      break;
  }
  return col;
}

std::string IndentString(int columns, const IndentStyle& style, int tabWidth) {
  columns = std::max(0, columns);
  tabWidth = std::max(1, tabWidth);
  if (!style.tabs) return std::string(static_cast<std::size_t>(columns), ' ');
  std::string s(static_cast<std::size_t>(columns / tabWidth), '\t');
  s.append(static_cast<std::size_t>(columns % tabWidth), ' ');
  return s;
}

std::optional<IndentStyle> DetectIndentStyle(const ILineSource& text, int tabWidth, int maxLines) {
  const int count = std::min(text.LineCount(), maxLines);
  int tabLines = 0;
  int spaceLines = 0;
  std::array<int, 9> steps{};  // how often the indentation grows by 2..8 spaces
  int previous = 0;            // indentation of the last code line (spaces only)
  for (int i = 0; i < count; ++i) {
    const std::string_view line = text.Line(i);
    const int n = IndentBytes(line);
    if (n == static_cast<int>(line.size())) continue;  // blank
    const char first = line[static_cast<std::size_t>(n)];
    if (n > 0 && first == '*') continue;  // inside a block comment
    if (n == 0) {
      previous = 0;
      continue;
    }
    if (line[0] == '\t') {
      ++tabLines;
      continue;
    }
    if (line.substr(0, static_cast<std::size_t>(n)).find('\t') != std::string_view::npos) continue;
    ++spaceLines;
    if (n > previous && n - previous >= 2 && n - previous <= 8) ++steps[n - previous];
    previous = n;
  }
  if (tabLines == 0 && spaceLines == 0) return std::nullopt;
  IndentStyle style;
  if (tabLines > spaceLines) {
    style.tabs = true;
    style.width = std::max(1, tabWidth);
    return style;
  }
  int best = 0;
  for (int w = 2; w <= 8; ++w)
    if (steps[w] > steps[best]) best = w;
  if (best == 0) return std::nullopt;  // spaces, but no step to go by
  style.width = best;
  return style;
}

bool UsesBraceIndent(const Language* language) {
  if (!language) return false;
  const std::string_view name = language->Name();
  return name == "Java" || name == "Perl";
}

// ---- Bracket scan -------------------------------------------------------------

namespace {

bool IsOpener(char c) {
  return c == '{' || c == '(' || c == '[';
}

// The brackets of line[from, to) outside strings, character literals and comments,
// in order. The line starts inside what state says; a comment or text block left open
// swallows the rest.
std::string Brackets(std::string_view line, std::size_t to, std::uint8_t state, bool perl) {
  std::string out;
  to = std::min(to, line.size());
  std::size_t i = 0;
  if (state == kStateInComment || state == kStateInTextBlock) {
    const char* end = state == kStateInComment ? "*/" : "\"\"\"";
    const std::size_t e = line.find(end);
    if (e == std::string_view::npos || e >= to) return out;
    i = e + std::strlen(end);
  }
  while (i < to) {
    const char c = line[i];
    if (perl && c == '#' && (i == 0 || line[i - 1] != '$')) break;
    if (!perl && c == '/' && i + 1 < to && line[i + 1] == '/') break;
    if (!perl && c == '/' && i + 1 < to && line[i + 1] == '*') {
      const std::size_t e = line.find("*/", i + 2);
      if (e == std::string_view::npos) break;
      i = e + 2;
      continue;
    }
    if (!perl && line.substr(i, 3) == "\"\"\"") {
      const std::size_t e = line.find("\"\"\"", i + 3);
      if (e == std::string_view::npos) break;
      i = e + 3;
      continue;
    }
    if (c == '"' || c == '\'') {
      std::size_t j = i + 1;
      while (j < to && line[j] != c) j += line[j] == '\\' ? 2 : 1;
      i = j + 1;
      continue;
    }
    if (IsOpener(c) || c == '}' || c == ')' || c == ']') out += c;
    ++i;
  }
  return out;
}

bool IsPerl(const CLineStore& store) {
  return store.GetLanguage() && std::string_view(store.GetLanguage()->Name()) == "Perl";
}

// Brackets of a line before byte index `to`, from the line's known start state.
std::string LineBrackets(const CLineStore& store, int line, std::size_t to) {
  return Brackets(store.Line(line), to, store.LineState(line), IsPerl(store));
}

// What a run of brackets leaves open and unmatched: the openers still open (in order)
// and how many closers found no opener.
struct Balance {
  std::string open;
  int unmatchedClosers = 0;
};

Balance BalanceOf(std::string_view brackets) {
  Balance b;
  for (char c : brackets) {
    if (IsOpener(c))
      b.open += c;
    else if (!b.open.empty())
      b.open.pop_back();
    else
      ++b.unmatchedClosers;
  }
  return b;
}

// The line holding the opener that `depth` closers standing at (line, index) close,
// looking at brace pairs only (bracesOnly) or at every kind of bracket alike. The
// line's bytes before index are looked at first, then the lines above, no more than
// kMaxIndentScanLines of them.
std::optional<int> OpenerLine(const CLineStore& store, int line, int index, int depth,
                              bool bracesOnly) {
  const int stop = std::max(0, line - kMaxIndentScanLines);
  for (int l = line; l >= stop; --l) {
    const std::string b = LineBrackets(
        store, l, l == line ? static_cast<std::size_t>(index) : std::string_view::npos);
    for (auto it = b.rbegin(); it != b.rend(); ++it) {
      if (bracesOnly && *it != '{' && *it != '}') continue;
      if (IsOpener(*it)) {
        if (--depth == 0) return l;
      } else {
        ++depth;
      }
    }
  }
  return std::nullopt;
}

void PlaceCaret(CLineStore& store, int line, int index) {
  const int col = store.ColumnOfIndex(line, index);
  store.SetSelection(line, col);
}

}  // namespace

// ---- Editing ------------------------------------------------------------------

void SmartBreakLine(CLineStore& store, const IndentStyle& style, bool braceRules) {
  if (!braceRules) {
    store.InsertChar('\r');
    return;
  }
  store.CloseTypingGroup();
  store.BeginCompoundEdit();
  store.DeleteSelection();
  const int tab = store.TabWidth();
  const int line = store.Caret().line;
  store.ColourThrough(line);  // the brackets are read from the lines' start states
  const std::string_view text = store.Line(line);
  const int idx = store.IndexAtColumn(line, store.Caret().col);
  const std::string_view head = text.substr(0, static_cast<std::size_t>(idx));
  const int tailBlanks = IndentBytes(text.substr(static_cast<std::size_t>(idx)));
  const std::string_view tail = text.substr(static_cast<std::size_t>(idx + tailBlanks));

  if (IndentBytes(head) == idx) {
    // In the leading blanks the line moves down whole, its indentation kept.
    store.BreakLine(true);
    store.EndCompoundEdit();
    store.CloseTypingGroup();
    return;
  }
  int base = IndentColumns(head, tab);
  const Balance bal = BalanceOf(LineBrackets(store, line, static_cast<std::size_t>(idx)));
  if (bal.open.empty() && bal.unmatchedClosers > 0) {
    // "foo(a,\n    b);" continues at the indentation of the line that opened "(".
    const std::optional<int> opener =
        OpenerLine(store, line - 1, 1 << 30, bal.unmatchedClosers, false);
    if (opener) base = IndentColumns(store.Line(*opener), tab);
  }
  const int step = style.tabs ? tab : style.width;
  const int inner = bal.open.empty() ? base : base + step;

  std::string ins = "\n" + IndentString(inner, style, tab);
  int caretLine = line + 1;
  int caretIndex = static_cast<int>(ins.size()) - 1;
  if (!tail.empty() && tail.front() == '}') {
    if (!bal.open.empty() && bal.open.back() == '{') {
      ins += "\n" + IndentString(base, style, tab);  // the '}' on a line of its own
    } else {
      // A '}' that starts the new line goes under its opening brace's line.
      const std::optional<int> opener = OpenerLine(store, line, idx, 1, true);
      const int closer = opener ? IndentColumns(store.Line(*opener), tab) : inner;
      ins = "\n" + IndentString(closer, style, tab);
      caretIndex = static_cast<int>(ins.size()) - 1;
    }
  }
  store.ReplaceAt(line, idx, tailBlanks, ins);
  PlaceCaret(store, caretLine, caretIndex);
  store.EndCompoundEdit();
  store.CloseTypingGroup();
}

bool TypeWithIndent(CLineStore& store, char c, const IndentStyle& style, bool braceRules) {
  if (!braceRules || c != '}' || store.SelectionStart().line != store.SelectionEnd().line) {
    store.InsertChar(c);
    return false;
  }
  const int line = store.Caret().line;
  store.ColourThrough(line);
  const std::string_view text = store.Line(line);
  const int start = store.IndexAtColumn(line, store.SelectionStart().col);
  const std::uint8_t state = store.LineState(line);
  if (start > IndentBytes(text) || state == kStateInComment || state == kStateInTextBlock) {
    store.InsertChar(c);
    return false;
  }
  const std::optional<int> opener = OpenerLine(store, line - 1, 1 << 30, 1, true);
  const int tab = store.TabWidth();
  const std::string want =
      opener ? IndentString(IndentColumns(store.Line(*opener), tab), style, tab) : std::string();
  const int end = store.IndexAtColumn(line, store.SelectionEnd().col);
  if (!opener || (start == end && text.substr(0, static_cast<std::size_t>(start)) == want)) {
    store.InsertChar(c);
    return false;
  }
  store.CloseTypingGroup();
  store.BeginCompoundEdit();
  // The blanks before the caret and the selection make way for the brace's indentation.
  const BytePos after = store.ReplaceAt(line, 0, end, want + "}");
  PlaceCaret(store, after.line, after.index);
  store.EndCompoundEdit();
  store.CloseTypingGroup();
  return true;
}

namespace {

// Adds (indent) or removes one level at the start of every selected line.
void ShiftLines(CLineStore& store, const IndentStyle& style, bool indent) {
  const int first = store.SelectionStart().line;
  const int last = store.SelectionEnd().line;
  const int tab = store.TabWidth();
  const int step = style.tabs ? tab : style.width;
  const std::string unit =
      style.tabs ? std::string("\t") : std::string(static_cast<std::size_t>(step), ' ');
  store.CloseTypingGroup();
  store.BeginCompoundEdit();
  for (int l = first; l <= last; ++l) {
    const std::string_view text = store.Line(l);
    const int blanks = IndentBytes(text);
    if (indent) {
      if (!text.empty()) store.ReplaceAt(l, 0, 0, unit);
      continue;
    }
    // Up to one level of blanks goes, counting a tab as the columns it covers.
    int cols = 0;
    int n = 0;
    while (n < blanks && cols < step) {
      cols += text[static_cast<std::size_t>(n)] == '\t' ? tab - cols % tab : 1;
      ++n;
    }
    if (n > 0) store.ReplaceAt(l, 0, n, {});
  }
  store.SetSelection(first, 0, last, store.LineWidth(last));
  store.EndCompoundEdit();
  store.CloseTypingGroup();
}

}  // namespace

void IndentKey(CLineStore& store, const IndentStyle& style) {
  if (store.SelectionStart().line != store.SelectionEnd().line)
    return ShiftLines(store, style, true);
  if (style.tabs) {
    store.InsertChar('\t');
    return;
  }
  const int col = store.SelectionStart().col;
  const int n = style.width - col % style.width;
  store.ReplaceSelection(std::string(static_cast<std::size_t>(n), ' '));
  store.CloseTypingGroup();
}

void UnindentKey(CLineStore& store, const IndentStyle& style) {
  if (store.SelectionStart().line != store.SelectionEnd().line)
    return ShiftLines(store, style, false);
  if (store.HasSelection()) {
    store.DeleteSelection();
    return;
  }
  const int line = store.Caret().line;
  const std::string_view text = store.Line(line);
  const int idx = store.IndexAtColumn(line, store.Caret().col);
  int from = idx;
  while (from > 0 && text[static_cast<std::size_t>(from - 1)] == ' ') --from;
  if (from == idx || style.tabs) {
    store.DeleteBackward();
    return;
  }
  // Spaces back to the previous multiple of the width (at least one).
  const int col = store.Caret().col;
  const int target = (col - 1) / style.width * style.width;
  const int keep = std::max(from, idx - (col - target));
  store.CloseTypingGroup();
  store.BeginCompoundEdit();
  store.ReplaceAt(line, keep, idx - keep, {});
  PlaceCaret(store, line, keep);
  store.EndCompoundEdit();
  store.CloseTypingGroup();
}

std::string IndentInsertedText(std::string_view text, std::string_view caretLine) {
  const std::string_view prefix =
      caretLine.substr(0, static_cast<std::size_t>(IndentBytes(caretLine)));
  if (prefix.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size() + prefix.size() * 8);
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    out += c;
    ++i;
    if (c != '\r' && c != '\n') continue;
    if (c == '\r' && i < text.size() && text[i] == '\n') {
      out += '\n';
      ++i;
    }
    // The next line gets the prefix unless it is empty (or the text ends here).
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') out.append(prefix);
  }
  return out;
}

}  // namespace tamso
