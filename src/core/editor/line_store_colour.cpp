// The colouring of a line store: the attribute cache of the lines shown and the
// colouring states carried from line to line.

#include <algorithm>

#include "editor/line_store.h"

namespace tamso {

namespace {
constexpr std::size_t kAttrCacheLimit = 1024;
}  // namespace

// ---- Attributes ---------------------------------------------------------------

void CLineStore::ColourInto(int line, std::vector<std::uint8_t>& attrs) const {
  const std::string_view s = Line(line);
  attrs.assign(s.size(), kAttrNormal);
  if (language_ && !s.empty())
    language_->ColourLine(*this, line, SpanOfState(LineState(line)), attrs.data());
}

std::span<const std::uint8_t> CLineStore::LineAttributes(int line) const {
  if (line < 0 || line >= LineCount()) return {};
  ColourThrough(line);
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

// ---- Colouring ----------------------------------------------------------------

OpenSpan CLineStore::ColourLineState(int line) const {
  const LineRec& rec = Rec(line);
  scratch_.assign(rec.size, kAttrNormal);
  LineColouring r;
  if (language_) r = language_->ColourLine(*this, line, SpanOfState(rec.state), scratch_.data());
  rec.mark = r.mark ? 1 : 0;
  return r.endsIn;
}

void CLineStore::ColourOn(int last, std::size_t maxBytes) const {
  const int n = std::min(last + 1, LineCount());
  int l = colouredTo_;
  if (l >= n) return;
  // The line above, coloured already, gives the first one's start state.
  OpenSpan open = l == 0 ? OpenSpan::kNone : ColourLineState(l - 1);
  std::size_t bytes = 0;
  for (; l < n && bytes < maxBytes; ++l) {
    const LineRec& rec = Rec(l);
    rec.state = StateOfSpan(open);
    bytes += rec.size + 1;
    open = ColourLineState(l);
  }
  colouredTo_ = l;
}

void CLineStore::ColourThrough(int line) const {
  ColourOn(line, static_cast<std::size_t>(-1));
}

bool CLineStore::ColourAhead(std::size_t bytes) {
  ColourOn(LastLine(), std::max<std::size_t>(bytes, 1));
  return colouredTo_ < LineCount();
}

void CLineStore::ForgetColours() {
  for (auto& l : lines_) l.state = kStateUnknown;
  colouredTo_ = 0;
  dirty_ = LineRange{};
  ForgetAllAttributes();
}

int CLineStore::RecolourFrom(int line) {
  if (line < 0 || line >= LineCount()) return 0;
  if (line >= colouredTo_) {
    const int before = colouredTo_;
    ColourThrough(line);
    return colouredTo_ - before;
  }
  LineRec& first = Rec(line);
  if (first.state != kStateInComment && first.state != kStateInTextBlock)
    first.state = kStateOutside;
  ForgetAttributes(line);
  OpenSpan open = ColourLineState(line);
  int count = 1;
  // The lines not coloured yet get their states when colouring reaches them.
  const int n = colouredTo_;
  for (int l = line + 1; l < n; ++l) {
    const std::uint8_t want = StateOfSpan(open);
    LineRec& rec = Rec(l);
    if (rec.state == want) break;
    rec.state = want;
    ForgetAttributes(l);
    open = ColourLineState(l);
    ++count;
  }
  return count;
}

void CLineStore::RecolourAll() {
  ForgetColours();
  ColourThrough(LastLine());
}

LineRange CLineStore::RecolourDirty() {
  if (dirty_.empty()) return {};
  LineRange range = dirty_;
  dirty_ = LineRange{};
  // The line above may change its separator mark when a brace appears below it.
  range.first = std::clamp(range.first - 1, 0, LastLine());
  range.last = std::clamp(range.last, range.first, LastLine());
  // Lines below the coloured ones are coloured when colouring gets there.
  const int stop = std::min(range.last, colouredTo_ - 1);
  int l = range.first;
  int lastColoured = l;
  while (l <= stop) {
    const int k = RecolourFrom(l);
    lastColoured = l + k - 1;
    l += k;
  }
  range.last = std::max(range.last, lastColoured);
  return range;
}

}  // namespace tamso
