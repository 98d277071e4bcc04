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
