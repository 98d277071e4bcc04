#include "editor/line_store.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "editor/text_cells.h"

namespace tamso {

// ---- Undo records -------------------------------------------------------------

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

constexpr std::size_t kAttrCacheLimit = 1024;

}  // namespace

// ---- Line records -------------------------------------------------------------

CLineStore::LineRec::LineRec(const char* bytes, std::uint32_t n, bool own) : size(n) {
  if (own && n > 0) {
    data = new char[n];
    std::memcpy(data, bytes, n);
    capacity = n;
  } else {
    data = const_cast<char*>(bytes);
  }
}

CLineStore::LineRec::LineRec(LineRec&& o) noexcept
    : data(o.data), size(o.size), capacity(o.capacity), state(o.state), mark(o.mark) {
  o.data = nullptr;
  o.size = o.capacity = 0;
}

CLineStore::LineRec& CLineStore::LineRec::operator=(LineRec&& o) noexcept {
  if (this != &o) {
    if (capacity) delete[] data;
    data = o.data;
    size = o.size;
    capacity = o.capacity;
    state = o.state;
    mark = o.mark;
    o.data = nullptr;
    o.size = o.capacity = 0;
  }
  return *this;
}

CLineStore::LineRec::~LineRec() {
  if (capacity) delete[] data;
}

void CLineStore::LineRec::Replace(std::size_t pos, std::size_t count, std::string_view bytes) {
  pos = std::min<std::size_t>(pos, size);
  count = std::min<std::size_t>(count, size - pos);
  const std::size_t newSize = size - count + bytes.size();
  if (capacity == 0 || newSize > capacity) {
    // Arena lines are copied out on their first change; owned ones grow by half.
    std::size_t cap =
        capacity == 0 ? newSize + 8 : std::max<std::size_t>(newSize, capacity + capacity / 2);
    char* fresh = new char[cap];
    if (pos) std::memcpy(fresh, data, pos);
    if (!bytes.empty()) std::memcpy(fresh + pos, bytes.data(), bytes.size());
    if (size > pos + count)
      std::memcpy(fresh + pos + bytes.size(), data + pos + count, size - pos - count);
    if (capacity) delete[] data;
    data = fresh;
    capacity = static_cast<std::uint32_t>(cap);
  } else {
    if (size > pos + count)
      std::memmove(data + pos + bytes.size(), data + pos + count, size - pos - count);
    if (!bytes.empty()) std::memcpy(data + pos, bytes.data(), bytes.size());
  }
  size = static_cast<std::uint32_t>(newSize);
}

// ---- Construction and whole text ----------------------------------------------

CLineStore::CLineStore() {
  lines_.emplace_back("", 0, true);
}

CLineStore::~CLineStore() = default;

void CLineStore::SetLanguage(const Language* language) {
  language_ = language;
  ForgetAllAttributes();
}

int CLineStore::SetText(std::string_view bytes) {
  // The lines point into one copy of the text; only the line ends are left out.
  auto arena = std::make_unique_for_overwrite<char[]>(bytes.size() + 1);
  if (!bytes.empty()) std::memcpy(arena.get(), bytes.data(), bytes.size());
  std::vector<LineRec> lines;
  // About one line per 40 bytes of source; avoids most regrowth of the vector.
  lines.reserve(bytes.size() / 40 + 1);
  const LineSplit split =
      SplitLines(std::string_view(arena.get(), bytes.size()), [&lines](std::string_view line) {
        lines.emplace_back(line.data(), static_cast<std::uint32_t>(line.size()), false);
      });
  const bool sawLf = split.sawLf, sawCrLf = split.sawCrLf, sawCr = split.sawCr;
  const bool finalEnd = split.finalLineEnd;

  lines_ = std::move(lines);
  arena_ = std::shared_ptr<const char[]>(std::move(arena));
  arenaSize_ = bytes.size();
  arenaVersion_ = version_ + 1;
  loadedEnds_ = sawCrLf ? LineEnds::kCrLf
                : sawLf ? LineEnds::kLf
                : sawCr ? LineEnds::kCr
                        : LineEnds::kNone;
  finalLineEnd_ = finalEnd;
  selStart_ = selEnd_ = caret_ = TextPos{};
  undo_.clear();
  redo_.clear();
  typingOpen_ = false;
  savePoint_ = 0;
  dirty_ = LineRange{};
  ForgetAllAttributes();
  ++version_;
  if (log_.Followed()) log_.Reset(BaseText{arena_, arenaSize_});
  if (owner_) owner_->TextReplaced();
  return LineCount();
}

int CLineStore::FollowEdits() {
  return log_.Follow(arena_ && version_ == arenaVersion_ ? BaseText{arena_, arenaSize_}
                                                         : MakeBaseText(JoinedText("\n", true)));
}

// ---- Lines --------------------------------------------------------------------

CLineStore::LineRec& CLineStore::Rec(int line) {
  return lines_[static_cast<std::size_t>(line)];
}
const CLineStore::LineRec& CLineStore::Rec(int line) const {
  return lines_[static_cast<std::size_t>(line)];
}

std::string_view CLineStore::Line(int index) const {
  if (index < 0 || index >= LineCount()) return {};
  return Rec(index).view();
}

char CLineStore::CharAt(int line, int index) const {
  const std::string_view s = Line(line);
  if (index < 0 || static_cast<std::size_t>(index) >= s.size()) return 0;
  return s[static_cast<std::size_t>(index)];
}

int CLineStore::ClampLine(int line) const {
  return std::clamp(line, 0, LastLine());
}

std::uint8_t CLineStore::LineState(int line) const {
  if (line < 0 || line >= LineCount()) return kStateUnknown;
  return Rec(line).state;
}

void CLineStore::SetLineState(int line, std::uint8_t state) {
  if (line < 0 || line >= LineCount()) return;
  if (Rec(line).state != state) ForgetAttributes(line);
  Rec(line).state = state;
}

std::uint8_t CLineStore::LineMark(int line) const {
  if (line < 0 || line >= LineCount()) return 0;
  return Rec(line).mark;
}

void CLineStore::SetLineMark(int line, std::uint8_t mark) {
  if (line < 0 || line >= LineCount()) return;
  Rec(line).mark = mark;
}

// ---- Attributes ---------------------------------------------------------------

void CLineStore::ColourInto(int line, std::vector<std::uint8_t>& attrs) const {
  const std::string_view s = Line(line);
  attrs.assign(s.size(), kAttrNormal);
  if (language_ && !s.empty())
    language_->ColourLine(*this, line, SpanOfState(LineState(line)), attrs.data());
}

std::span<const std::uint8_t> CLineStore::LineAttributes(int line) const {
  if (line < 0 || line >= LineCount()) return {};
  auto it = attrCache_.find(line);
  if (it == attrCache_.end()) {
    if (attrCache_.size() >= kAttrCacheLimit) attrCache_.clear();
    it = attrCache_.emplace(line, std::vector<std::uint8_t>{}).first;
    ColourInto(line, it->second);
  }
  return it->second;
}

std::uint8_t CLineStore::AttributeAt(int line, int index) const {
  const auto attrs = LineAttributes(line);
  if (index < 0 || static_cast<std::size_t>(index) >= attrs.size()) return 0;
  return attrs[static_cast<std::size_t>(index)];
}

void CLineStore::SetAttributes(int line, int from, int to, std::uint8_t attribute) {
  if (line < 0 || line >= LineCount()) return;
  LineAttributes(line);
  auto& attrs = attrCache_[line];
  const int n = static_cast<int>(attrs.size());
  from = std::clamp(from, 0, n);
  to = std::clamp(to, from, n);
  std::fill(attrs.begin() + from, attrs.begin() + to, attribute);
}

void CLineStore::ForgetAttributes(int line) const {
  attrCache_.erase(line);
}
void CLineStore::ForgetAllAttributes() const {
  attrCache_.clear();
}

// ---- Columns ------------------------------------------------------------------

void CLineStore::SetTabWidth(int width) {
  tabWidth_ = std::max(1, width);
  ForgetAllAttributes();
}

int CLineStore::LineWidth(int line) const {
  const std::string_view s = Line(line);
  int col = 0;
  for (std::size_t i = 0; i < s.size(); i += CharLength(s, i))
    col = NextColumn(s[i], col, tabWidth_);
  return col;
}

int CLineStore::CharacterCount(int line) const {
  const std::string_view s = Line(line);
  int n = 0;
  for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) ++n;
  return n;
}

int CLineStore::IndexAtColumn(int line, int col) const {
  const std::string_view s = Line(line);
  int c = 0;
  for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
    c = NextColumn(s[i], c, tabWidth_);
    if (col < c) return static_cast<int>(i);
  }
  return static_cast<int>(s.size());
}

int CLineStore::ColumnOfIndex(int line, int index) const {
  const std::string_view s = Line(line);
  int c = 0;
  for (std::size_t i = 0; i < s.size() && static_cast<int>(i) < index; i += CharLength(s, i))
    c = NextColumn(s[i], c, tabWidth_);
  return c;
}

int CLineStore::SnapColumn(int line, int col) const {
  const std::string_view s = Line(line);
  int c = 0;
  for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
    const int next = NextColumn(s[i], c, tabWidth_);
    if (col < next) return c;
    c = next;
  }
  return c;
}

int CLineStore::StartIndex(int line, int col) const {
  return IndexAtColumn(line, col);
}

int CLineStore::EndIndex(int line, int col) const {
  // A character whose cells are partly selected counts as selected.
  const std::string_view s = Line(line);
  int c = 0;
  std::size_t i = 0;
  while (i < s.size() && c < col) {
    c = NextColumn(s[i], c, tabWidth_);
    i += CharLength(s, i);
  }
  return static_cast<int>(i);
}

// ---- Selection and caret ------------------------------------------------------

bool CLineStore::IsInSelection(int line, int col) const {
  if (!HasSelection() || line < selStart_.line || line > selEnd_.line) return false;
  if (selStart_.line == selEnd_.line) return col >= selStart_.col && col < selEnd_.col;
  if (line == selStart_.line) return col >= selStart_.col;
  if (line == selEnd_.line) return col < selEnd_.col;
  return true;
}

void CLineStore::SetSelection(int line, int col, int endLine, int endCol) {
  typingOpen_ = false;
  TextPos start = selStart_;
  if (line != -1) start.line = line;
  if (col != -1) start.col = col;
  start.line = ClampLine(start.line);
  start.col = std::max(0, start.col);
  TextPos end{endLine < 0 ? start.line : ClampLine(endLine), endCol < 0 ? start.col : endCol};
  if (end < start) std::swap(start, end);
  selStart_ = start;
  selEnd_ = end;
  caret_ = start;
}

void CLineStore::ExtendSelection(int line, int col) {
  typingOpen_ = false;
  caret_ = TextPos{ClampLine(line), std::max(0, col)};
  if (caret_.line < selStart_.line) {
    selStart_ = caret_;
  } else if (caret_.line == selStart_.line) {
    if (caret_.col > selStart_.col)
      selEnd_ = caret_;
    else
      selStart_ = caret_;
  } else {
    selEnd_ = caret_;
  }
}

void CLineStore::SelectAll() {
  SetSelection(0, 0, LastLine(), LineWidth(LastLine()));
  if (owner_) owner_->RepaintAll();
}

namespace {
void MoveTo(CLineStore& s, TextPos p, bool extend) {
  if (extend)
    s.ExtendSelection(p.line, p.col);
  else
    s.SetSelection(p.line, p.col);
}
}  // namespace

void CLineStore::MoveRight(bool extend) {
  TextPos p = caret_;
  const std::string_view s = Line(p.line);
  const int idx = IndexAtColumn(p.line, p.col);
  if (static_cast<std::size_t>(idx) < s.size()) {
    p.col = ColumnOfIndex(p.line, idx + static_cast<int>(CharLength(s, idx)));
  } else if (p.line < LastLine()) {
    p = TextPos{p.line + 1, 0};
  } else {
    p.col = LineWidth(p.line);
  }
  MoveTo(*this, p, extend);
}

void CLineStore::MoveLeft(bool extend) {
  TextPos p = caret_;
  if (p.col > 0) {
    p.col = SnapColumn(p.line, p.col - 1);
  } else if (p.line > 0) {
    --p.line;
    p.col = LineWidth(p.line);
  }
  MoveTo(*this, p, extend);
}

void CLineStore::MoveUp(bool extend) {
  TextPos p = caret_;
  p.line = ClampLine(p.line - 1);
  p.col = SnapColumn(p.line, p.col);
  MoveTo(*this, p, extend);
  if (extend && owner_) owner_->RepaintAll();
}

void CLineStore::MoveDown(bool extend) {
  TextPos p = caret_;
  p.line = ClampLine(p.line + 1);
  p.col = SnapColumn(p.line, p.col);
  MoveTo(*this, p, extend);
  if (extend && owner_) owner_->RepaintAll();
}

void CLineStore::MoveHome(bool extend) {
  MoveTo(*this, TextPos{caret_.line, 0}, extend);
}

void CLineStore::MoveEnd(bool extend) {
  MoveTo(*this, TextPos{caret_.line, LineWidth(caret_.line)}, extend);
}

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
    lines_.insert(lines_.begin() + line + 1, std::make_move_iterator(added.begin()),
                  std::make_move_iterator(added.end()));
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
    lines_.erase(lines_.begin() + line + 1, lines_.begin() + endLine + 1);
    AfterEdit(line, line, true);
  }
  if (recording_ && compoundDepth_ > 0)
    pending_->ops.push_back(EditOp{false, line, index, endLine, endIndex, removed});
  ++version_;
  log_.Erased(line, index, removed.size());
  if (owner_) owner_->TextErased(line, index, removed);
  return removed;
}

// ---- Undo bookkeeping ---------------------------------------------------------

void CLineStore::BeginCompoundEdit() {
  OpenStep(false);
}
void CLineStore::EndCompoundEdit() {
  CloseStep();
}

void CLineStore::OpenStep(bool typing) {
  if (compoundDepth_++ > 0) return;
  pending_ = std::make_unique<UndoStep>();
  pending_->typing = typing;
  pending_->beforeStart = selStart_;
  pending_->beforeEnd = selEnd_;
  pending_->beforeCaret = caret_;
  merging_ = typing && typingOpen_ && redo_.empty() && !undo_.empty() && undo_.back().typing &&
             undo_.back().afterCaret == caret_ && !HasSelection() &&
             savePoint_ != static_cast<long>(undo_.size());
}

void CLineStore::CloseStep() {
  if (compoundDepth_ == 0 || --compoundDepth_ > 0) return;
  std::unique_ptr<UndoStep> step = std::move(pending_);
  const bool changed = !step->ops.empty();
  if (changed) {
    redo_.clear();
    if (merging_) {
      auto& back = undo_.back();
      std::move(step->ops.begin(), step->ops.end(), std::back_inserter(back.ops));
      step.reset();
    } else {
      // A saved state that only redo could have reached is gone now.
      if (savePoint_ > static_cast<long>(undo_.size())) savePoint_ = -1;
      undo_.push_back(std::move(*step));
    }
    auto& back = undo_.back();
    back.afterStart = selStart_;
    back.afterEnd = selEnd_;
    back.afterCaret = caret_;
    Modified();
    typingOpen_ = back.typing;
  }
  merging_ = false;
}

void CLineStore::ApplyOp(const EditOp& op, bool inverse) {
  int l = 0;
  int i = 0;
  if (op.insert != inverse)
    RawInsert(op.line, op.index, op.text, &l, &i);
  else
    RawErase(op.line, op.index, op.endLine, op.endIndex);
}

bool CLineStore::CanUndo() const {
  return !undo_.empty();
}
bool CLineStore::CanRedo() const {
  return !redo_.empty();
}

bool CLineStore::Undo() {
  if (undo_.empty() || compoundDepth_ > 0) return false;
  typingOpen_ = false;
  UndoStep step = std::move(undo_.back());
  undo_.pop_back();
  recording_ = false;
  for (auto it = step.ops.rbegin(); it != step.ops.rend(); ++it) ApplyOp(*it, true);
  recording_ = true;
  selStart_ = step.beforeStart;
  selEnd_ = step.beforeEnd;
  caret_ = step.beforeCaret;
  redo_.push_back(std::move(step));
  if (owner_) {
    owner_->RepaintAll();
    owner_->SetModified(!IsAtSavePoint());
  }
  return true;
}

bool CLineStore::Redo() {
  if (redo_.empty() || compoundDepth_ > 0) return false;
  typingOpen_ = false;
  UndoStep step = std::move(redo_.back());
  redo_.pop_back();
  recording_ = false;
  for (const auto& op : step.ops) ApplyOp(op, false);
  recording_ = true;
  selStart_ = step.afterStart;
  selEnd_ = step.afterEnd;
  caret_ = step.afterCaret;
  undo_.push_back(std::move(step));
  if (owner_) {
    owner_->RepaintAll();
    owner_->SetModified(!IsAtSavePoint());
  }
  return true;
}

void CLineStore::MarkSaved() {
  savePoint_ = static_cast<long>(undo_.size());
  typingOpen_ = false;
}

bool CLineStore::IsAtSavePoint() const {
  return savePoint_ == static_cast<long>(undo_.size());
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

// ---- Colouring ----------------------------------------------------------------

int CLineStore::RecolourFrom(int line) {
  if (line < 0 || line >= LineCount()) return 0;
  LineRec& first = Rec(line);
  if (first.state != kStateInComment && first.state != kStateInTextBlock)
    first.state = kStateOutside;
  ForgetAttributes(line);
  auto colour = [&](int l) {
    scratch_.assign(Rec(l).size, kAttrNormal);
    LineColouring r;
    if (language_) r = language_->ColourLine(*this, l, SpanOfState(Rec(l).state), scratch_.data());
    Rec(l).mark = r.mark ? 1 : 0;
    return r.endsIn;
  };
  OpenSpan open = colour(line);
  int count = 1;
  const int n = LineCount();
  for (int l = line + 1; l < n; ++l) {
    const std::uint8_t want = StateOfSpan(open);
    LineRec& rec = Rec(l);
    if (rec.state == want) break;
    rec.state = want;
    ForgetAttributes(l);
    open = colour(l);
    ++count;
  }
  return count;
}

void CLineStore::RecolourAll() {
  for (auto& l : lines_) l.state = kStateUnknown;
  ForgetAllAttributes();
  dirty_ = LineRange{};
  Rec(0).state = kStateOutside;
  for (int l = 0; l < LineCount();) l += RecolourFrom(l);
}

LineRange CLineStore::RecolourDirty() {
  if (dirty_.empty()) return {};
  LineRange range = dirty_;
  dirty_ = LineRange{};
  // The line above may change its separator mark when a brace appears below it.
  range.first = std::clamp(range.first - 1, 0, LastLine());
  range.last = std::clamp(range.last, range.first, LastLine());
  int l = range.first;
  int lastColoured = l;
  while (l <= range.last) {
    const int k = RecolourFrom(l);
    lastColoured = l + k - 1;
    l += k;
  }
  range.last = std::max(range.last, lastColoured);
  return range;
}

}  // namespace tamso
