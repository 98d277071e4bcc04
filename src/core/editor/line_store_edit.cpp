// The editing operations of a line store: the two primitive edits every change goes
// through, and the typing, inserting and deleting built on them.

#include <algorithm>
#include <iterator>

#include "editor/line_store.h"
#include "editor/line_store_undo.h"

namespace tamso {

namespace {

// Keeps Begin/EndCompoundEdit balanced around one public edit.
class StepScope {
 public:
  explicit StepScope(CLineStore& store) : store_(store) { store_.BeginCompoundEdit(); }
  ~StepScope() { store_.EndCompoundEdit(); }
  StepScope(const StepScope&) = delete;
  StepScope& operator=(const StepScope&) = delete;

 private:
  CLineStore& store_;
};

inline bool IsLineEndByte(char c) {
  return c == '\n' || c == '\r';
}

}  // namespace

// ---- Primitive edits ----------------------------------------------------------

void CLineStore::Dirty(int line) {
  if (line < 0) return;
  if (dirty_.empty()) {
    dirty_ = LineRange{line, line};
  } else {
    dirty_.first = std::min(dirty_.first, line);
    dirty_.last = std::max(dirty_.last, line);
  }
  if (owner_) owner_->MarkLineDirty(line);
}

void CLineStore::Modified() {
  if (owner_) owner_->SetModified(true);
}

void CLineStore::AfterEdit(int firstLine, int lastLine, bool structural) {
  for (int l = firstLine; l <= lastLine; ++l) Dirty(l);
  if (structural) {
    ForgetAllAttributes();
    if (owner_) owner_->RepaintAll();
  } else {
    ForgetAttributes(firstLine);
  }
}

void CLineStore::RawInsert(int line, int index, std::string_view text, int* endLine,
                           int* endIndex) {
  line = ClampLine(line);
  LineRec& rec = Rec(line);
  index = std::clamp(index, 0, static_cast<int>(rec.size));
  const std::size_t nl = text.find('\n');
  if (nl == std::string_view::npos) {
    rec.Replace(static_cast<std::size_t>(index), 0, text);
    *endLine = line;
    *endIndex = index + static_cast<int>(text.size());
    AfterEdit(line, line, false);
  } else {
    // Split the text into its lines; the line's tail goes after the last piece.
    std::vector<LineRec> added;
    const std::string tail(rec.view().substr(static_cast<std::size_t>(index)));
    const std::uint8_t state = rec.state;
    rec.Replace(static_cast<std::size_t>(index), tail.size(), text.substr(0, nl));
    std::size_t pos = nl + 1;
    for (;;) {
      const std::size_t next = text.find('\n', pos);
      if (next == std::string_view::npos) break;
      added.emplace_back(text.data() + pos, static_cast<std::uint32_t>(next - pos), true);
      pos = next + 1;
    }
    std::string last(text.substr(pos));
    *endIndex = static_cast<int>(last.size());
    last += tail;
    added.emplace_back(last.data(), static_cast<std::uint32_t>(last.size()), true);
    for (auto& a : added) a.state = state;
    const int count = static_cast<int>(added.size());
    lines_.insert(static_cast<std::size_t>(line) + 1, std::move(added));
    if (line < colouredTo_) colouredTo_ += count;
    *endLine = line + count;
    AfterEdit(line, line + count, true);
  }
  if (recording_ && compoundDepth_ > 0)
    pending_->ops.push_back(EditOp{true, line, index, *endLine, *endIndex, std::string(text)});
  ++version_;
  log_.Inserted(line, index, text);
  if (owner_) owner_->TextInserted(line, index, text);
}

std::string CLineStore::RawErase(int line, int index, int endLine, int endIndex) {
  line = ClampLine(line);
  endLine = std::clamp(endLine, line, LastLine());
  index = std::clamp(index, 0, LineLength(line));
  endIndex = std::clamp(endIndex, 0, LineLength(endLine));
  if (endLine == line && endIndex <= index) return {};
  std::string removed;
  if (endLine == line) {
    removed.assign(Line(line).substr(static_cast<std::size_t>(index),
                                     static_cast<std::size_t>(endIndex - index)));
    Rec(line).Replace(static_cast<std::size_t>(index), removed.size(), {});
    AfterEdit(line, line, false);
  } else {
    removed.assign(Line(line).substr(static_cast<std::size_t>(index)));
    for (int l = line + 1; l < endLine; ++l) {
      removed += '\n';
      removed.append(Line(l));
    }
    removed += '\n';
    removed.append(Line(endLine).substr(0, static_cast<std::size_t>(endIndex)));
    const std::string tail(Line(endLine).substr(static_cast<std::size_t>(endIndex)));
    LineRec& rec = Rec(line);
    rec.Replace(static_cast<std::size_t>(index), rec.size - static_cast<std::size_t>(index), tail);
    lines_.erase(static_cast<std::size_t>(line) + 1, static_cast<std::size_t>(endLine) + 1);
    // The joined line is coloured again; lines that were below the coloured ones stay so.
    if (colouredTo_ > endLine)
      colouredTo_ -= endLine - line;
    else if (colouredTo_ > line)
      colouredTo_ = line + 1;
    AfterEdit(line, line, true);
  }
  if (recording_ && compoundDepth_ > 0)
    pending_->ops.push_back(EditOp{false, line, index, endLine, endIndex, removed});
  ++version_;
  log_.Erased(line, index, removed.size());
  if (owner_) owner_->TextErased(line, index, removed);
  return removed;
}

// ---- Editing ------------------------------------------------------------------

void CLineStore::InsertTyped(std::string_view bytes) {
  if (bytes.empty()) return;
  const bool typing = compoundDepth_ == 0;
  OpenStep(typing);
  if (HasSelection()) DeleteSelection();
  const int line = caret_.line;
  const int idx = IndexAtColumn(line, caret_.col);
  // The new bytes show as not yet coloured until the line is recoloured.
  std::vector<std::uint8_t> attrs;
  const auto old = LineAttributes(line);
  attrs.reserve(old.size() + bytes.size());
  attrs.assign(old.begin(), old.begin() + idx);
  attrs.insert(attrs.end(), bytes.size(), kAttrUncoloured);
  attrs.insert(attrs.end(), old.begin() + idx, old.end());
  int endLine = 0;
  int endIndex = 0;
  RawInsert(line, idx, bytes, &endLine, &endIndex);
  attrCache_[line] = std::move(attrs);
  const int col = ColumnOfIndex(line, endIndex);
  selStart_ = selEnd_ = caret_ = TextPos{line, col};
  CloseStep();
}

void CLineStore::InsertChar(char c) {
  InsertChar(std::string_view(&c, 1));
}

void CLineStore::InsertChar(std::string_view character) {
  if (character == "\r") {
    StepScope scope(*this);
    if (HasSelection()) DeleteSelection();
    BreakLine(true);
    return;
  }
  std::string kept;
  for (char c : character)
    if (!IsLineEndByte(c)) kept += c;
  InsertTyped(kept);
}

namespace {
// Line breaks become '\n' (CR LF counts once); every other byte is kept.
std::string NormalizeInserted(std::string_view text) {
  std::string norm;
  norm.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      norm += '\n';
    } else {
      norm += static_cast<char>(c);
    }
  }
  return norm;
}
}  // namespace

void CLineStore::InsertText(std::string_view text) {
  // A text that starts with CR continues the indentation, as Enter does.
  std::size_t skip = 0;
  const bool leadingBreak = !text.empty() && text[0] == '\r';
  if (leadingBreak) skip = text.size() > 1 && text[1] == '\n' ? 2 : 1;
  const std::string norm = NormalizeInserted(text.substr(skip));
  StepScope scope(*this);
  if (leadingBreak) BreakLine(true);
  if (norm.empty()) return;
  const int line = caret_.line;
  int endLine = 0;
  int endIndex = 0;
  RawInsert(line, IndexAtColumn(line, caret_.col), norm, &endLine, &endIndex);
  const int col = ColumnOfIndex(endLine, endIndex);
  selStart_ = selEnd_ = caret_ = TextPos{endLine, col};
}

BytePos CLineStore::ReplaceAt(int line, int index, int length, std::string_view text) {
  if (line < 0 || line >= LineCount()) return {};
  StepScope scope(*this);
  index = std::clamp(index, 0, LineLength(line));
  length = std::clamp(length, 0, LineLength(line) - index);
  RawErase(line, index, line, index + length);
  BytePos end{line, index};
  const std::string norm = NormalizeInserted(text);
  if (!norm.empty()) RawInsert(line, index, norm, &end.line, &end.index);
  return end;
}

void CLineStore::ReplaceSelection(std::string_view text) {
  StepScope scope(*this);
  DeleteSelection();
  InsertText(text);
}

void CLineStore::BreakLine(bool autoIndent) {
  StepScope scope(*this);
  const int line = caret_.line;
  const std::string_view s = Line(line);
  const int idx = IndexAtColumn(line, caret_.col);
  std::string ins = "\n";
  if (autoIndent) {
    std::size_t n = 0;
    while (n < s.size() && static_cast<int>(n) < idx && (s[n] == ' ' || s[n] == '\t')) ++n;
    ins.append(s.substr(0, n));
  }
  int endLine = 0;
  int endIndex = 0;
  RawInsert(line, idx, ins, &endLine, &endIndex);
  Rec(endLine).mark = 0;
  selStart_ = selEnd_ = caret_ = TextPos{endLine, ColumnOfIndex(endLine, endIndex)};
}

void CLineStore::DeleteSelection() {
  if (!HasSelection()) return;
  StepScope scope(*this);
  const int line = selStart_.line;
  const int si = StartIndex(line, selStart_.col);
  const int ei = EndIndex(selEnd_.line, selEnd_.col);
  RawErase(line, si, selEnd_.line, ei);
  const int col = ColumnOfIndex(line, si);
  selStart_ = selEnd_ = caret_ = TextPos{line, col};
}

void CLineStore::DeleteBackward() {
  if (!HasSelection()) MoveLeft(true);
  DeleteSelection();
}

void CLineStore::DeleteForward() {
  if (!HasSelection()) MoveRight(true);
  DeleteSelection();
}

void CLineStore::IndentBlock(bool indent) {
  StepScope scope(*this);
  const int first = selStart_.line;
  const int last = selEnd_.line;
  for (int l = first; l <= last; ++l) {
    int el = 0;
    int ei = 0;
    if (indent) {
      RawInsert(l, 0, "\t", &el, &ei);
      continue;
    }
    const std::string_view s = Line(l);
    int count = 0;
    std::size_t n = 0;
    while (n < s.size() && count < tabWidth_ && (s[n] == ' ' || s[n] == '\t')) {
      count += s[n] == '\t' ? tabWidth_ : 1;
      ++n;
    }
    RawErase(l, 0, l, static_cast<int>(n));
  }
  SetSelection(first, 0, last, LineWidth(last));
  if (owner_) owner_->RepaintAll();
}

std::string CLineStore::GetSelectedText() const {
  if (!HasSelection()) return {};
  const int si = StartIndex(selStart_.line, selStart_.col);
  const int ei = EndIndex(selEnd_.line, selEnd_.col);
  const std::string_view first = Line(selStart_.line);
  if (selStart_.line == selEnd_.line) {
    if (ei <= si) return {};
    return std::string(
        first.substr(static_cast<std::size_t>(si), static_cast<std::size_t>(ei - si)));
  }
  std::string out(first.substr(std::min(static_cast<std::size_t>(si), first.size())));
  for (int l = selStart_.line + 1; l < selEnd_.line; ++l) {
    out += "\r\n";
    out.append(Line(l));
  }
  out += "\r\n";
  out.append(Line(selEnd_.line).substr(0, static_cast<std::size_t>(ei)));
  return out;
}

}  // namespace tamso
