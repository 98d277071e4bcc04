#include "editor/line_store.h"

#include <algorithm>
#include <cstring>

#include "editor/line_store_undo.h"
#include "editor/text_cells.h"

namespace tamso {

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

namespace {

std::size_t CountByte(std::string_view text, char byte) {
  std::size_t n = 0;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end && (p = static_cast<const char*>(
                         std::memchr(p, byte, static_cast<std::size_t>(end - p)))) != nullptr) {
    ++n;
    ++p;
  }
  return n;
}

}  // namespace

CLineStore::CLineStore() {
  lines_.emplace_back("", 0, true);
}

CLineStore::~CLineStore() = default;

void CLineStore::SetLanguage(const Language* language) {
  language_ = language;
  ForgetColours();
}

int CLineStore::SetText(std::string_view bytes) {
  return SetText(MakeBaseText(bytes));
}

int CLineStore::SetText(BaseText text) {
  // The lines point into the block; only the line ends are left out.
  std::vector<LineRec, LargeAllocator<LineRec>> lines;
  // Room for every line at once: regrowing a table of millions of lines copies it
  // and touches fresh memory again. Each LF or CR may end a line.
  lines.reserve(CountByte(text.view(), '\n') + CountByte(text.view(), '\r') + 1);
  const LineSplit split = SplitLines(text.view(), [&lines](std::string_view line) {
    lines.emplace_back(line.data(), static_cast<std::uint32_t>(line.size()), false);
  });
  const bool sawLf = split.sawLf, sawCrLf = split.sawCrLf, sawCr = split.sawCr;
  const bool finalEnd = split.finalLineEnd;

  lines_ = std::move(lines);
  arena_ = std::move(text.bytes);
  arenaSize_ = text.size;
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
  colouredTo_ = 0;
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
  ColourThrough(line);
  return Rec(line).mark;
}

void CLineStore::SetLineMark(int line, std::uint8_t mark) {
  if (line < 0 || line >= LineCount()) return;
  Rec(line).mark = mark;
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

}  // namespace tamso
