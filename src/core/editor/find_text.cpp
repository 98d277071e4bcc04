#include "editor/find_text.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "editor/text_cells.h"

namespace tamso {

namespace {

inline unsigned char Lower(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? c + 32 : c;
}
inline unsigned char Upper(unsigned char c) {
  return c >= 'a' && c <= 'z' ? c - 32 : c;
}

bool EqualFold(const char* a, const char* b, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (Lower(static_cast<unsigned char>(a[i])) != Lower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool IsWordByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || c >= 0x80;
}

bool WholeWordAt(std::string_view s, std::size_t p, std::size_t n) {
  if (p > 0 && IsWordByte(static_cast<unsigned char>(s[p - 1]))) return false;
  if (p + n < s.size() && IsWordByte(static_cast<unsigned char>(s[p + n]))) return false;
  return true;
}

// First position >= from at which pat matches s, ignoring ASCII letter case.
std::size_t FindFold(std::string_view s, std::size_t from, std::string_view pat) {
  const std::size_t n = pat.size();
  if (s.size() < n || from > s.size() - n) return std::string_view::npos;
  const std::size_t lastStart = s.size() - n;
  const auto a = Lower(static_cast<unsigned char>(pat[0]));
  const auto b = Upper(static_cast<unsigned char>(pat[0]));
  const char* base = s.data();
  std::size_t i = from;
  while (i <= lastStart) {
    const std::size_t span = lastStart - i + 1;
    const auto* pa = static_cast<const char*>(std::memchr(base + i, a, span));
    const char* hit = pa;
    if (a != b) {
      const std::size_t bspan = pa ? static_cast<std::size_t>(pa - (base + i)) : span;
      if (const auto* pb = static_cast<const char*>(std::memchr(base + i, b, bspan))) hit = pb;
    }
    if (!hit) return std::string_view::npos;
    i = static_cast<std::size_t>(hit - base);
    if (EqualFold(base + i + 1, pat.data() + 1, n - 1)) return i;
    ++i;
  }
  return std::string_view::npos;
}

std::size_t FindIn(std::string_view s, std::size_t from, std::string_view pat,
                   const FindOptions& o) {
  for (;;) {
    const std::size_t p = o.matchCase ? s.find(pat, from) : FindFold(s, from, pat);
    if (p == std::string_view::npos || !o.wholeWord || WholeWordAt(s, p, pat.size())) return p;
    from = p + 1;
  }
}

// Last position p <= from at which pat matches s.
std::size_t RFindIn(std::string_view s, std::size_t from, std::string_view pat,
                    const FindOptions& o) {
  const std::size_t n = pat.size();
  if (s.size() < n) return std::string_view::npos;
  const auto first = static_cast<unsigned char>(pat[0]);
  const unsigned char a = o.matchCase ? first : Lower(first);
  const unsigned char b = o.matchCase ? first : Upper(first);
  const char* base = s.data();
  // Candidates are the bytes equal to the pattern's first byte, nearest first.
  std::size_t end = std::min(from, s.size() - n) + 1;  // search [0, end)
  while (end > 0) {
    const auto* pa = static_cast<const char*>(::memrchr(base, a, end));
    const char* hit = pa;
    if (a != b) {
      const std::size_t lo = pa ? static_cast<std::size_t>(pa - base) + 1 : 0;
      if (const auto* pb = static_cast<const char*>(::memrchr(base + lo, b, end - lo))) hit = pb;
    }
    if (!hit) return std::string_view::npos;
    const auto p = static_cast<std::size_t>(hit - base);
    const bool match = o.matchCase ? std::memcmp(base + p + 1, pat.data() + 1, n - 1) == 0
                                   : EqualFold(base + p + 1, pat.data() + 1, n - 1);
    if (match && (!o.wholeWord || WholeWordAt(s, p, n))) return p;
    end = p;
  }
  return std::string_view::npos;
}

std::optional<BytePos> Search(const CLineStore& store, std::string_view text,
                              const FindOptions& o) {
  const TextPos start = store.SelectionStart();
  const int first = start.line;
  const std::string_view s0 = store.Line(first);
  std::size_t pos = static_cast<std::size_t>(store.IndexAtColumn(first, start.col));
  if (o.forward) {
    if (store.HasSelection() && pos < s0.size()) pos += CharLength(s0, pos);
    for (int l = first; l < store.LineCount(); ++l) {
      const std::size_t p = FindIn(store.Line(l), l == first ? pos : 0, text, o);
      if (p != std::string_view::npos) return BytePos{l, static_cast<int>(p)};
    }
    return std::nullopt;
  }
  // Backward: the nearest match that starts before the selection start.
  if (pos > 0) {
    const std::size_t p = RFindIn(s0, pos - 1, text, o);
    if (p != std::string_view::npos) return BytePos{first, static_cast<int>(p)};
  }
  for (int l = first - 1; l >= 0; --l) {
    const std::string_view s = store.Line(l);
    if (s.size() < text.size()) continue;
    const std::size_t p = RFindIn(s, s.size(), text, o);
    if (p != std::string_view::npos) return BytePos{l, static_cast<int>(p)};
  }
  return std::nullopt;
}

}  // namespace

bool FindText(CLineStore& store, std::string_view text, const FindOptions& options, IHost* host) {
  if (text.empty()) return false;
  std::optional<ScopedWaitCursor> wait;
  if (host) wait.emplace(*host);
  const auto hit = Search(store, text, options);
  if (!hit) return false;
  const int l = hit->line;
  store.SetSelection(l, store.ColumnOfIndex(l, hit->index), l,
                     store.ColumnOfIndex(l, hit->index + static_cast<int>(text.size())));
  return true;
}

int ReplaceAll(CLineStore& store, std::string_view text, std::string_view replacement,
               const FindOptions& options, IHost* host) {
  if (text.empty()) return 0;
  std::optional<ScopedWaitCursor> wait;
  if (host) wait.emplace(*host);
  const TextPos caret = store.Caret();
  int count = 0;
  store.BeginCompoundEdit();
  for (int l = 0; l < store.LineCount(); ++l) {
    const std::string_view s = store.Line(l);
    std::size_t p = FindIn(s, 0, text, options);
    if (p == std::string_view::npos) continue;
    // Rebuild the line once, so a long line with many matches stays linear.
    std::string rebuilt;
    std::size_t from = 0;
    while (p != std::string_view::npos) {
      rebuilt.append(s.substr(from, p - from));
      rebuilt.append(replacement);
      from = p + text.size();
      ++count;
      p = FindIn(s, from, text, options);
    }
    rebuilt.append(s.substr(from));
    l = store.ReplaceAt(l, 0, static_cast<int>(s.size()), rebuilt).line;
  }
  const int line = std::min(caret.line, store.LineCount() - 1);
  store.SetSelection(line, store.SnapColumn(line, caret.col));
  store.EndCompoundEdit();
  return count;
}

bool CaretOnBracket(const CLineStore& store) {
  const TextPos c = store.Caret();
  const char ch = store.CharAt(c.line, store.IndexAtColumn(c.line, c.col));
  return ch == '(' || ch == ')' || ch == '{' || ch == '}';
}

BracketMatch MatchBracket(CLineStore& store, IHost& host) {
  if (store.HasSelection()) return {};
  const TextPos c = store.Caret();
  const int idx = store.IndexAtColumn(c.line, c.col);
  const char ch = store.CharAt(c.line, idx);
  if (ch != '(' && ch != ')' && ch != '{' && ch != '}') {
    host.Beep(BeepKind::Asterisk);
    return {};
  }
  ScopedWaitCursor wait(host);
  const bool forward = ch == '(' || ch == '{';
  const char open = ch == '(' || ch == ')' ? '(' : '{';
  const char close = open == '(' ? ')' : '}';
  const char same = forward ? open : close;
  const char other = forward ? close : open;
  int depth = 0;
  BracketMatch m;
  if (forward) {
    for (int l = c.line; l < store.LineCount() && !m.found; ++l) {
      const std::string_view s = store.Line(l);
      for (std::size_t i = l == c.line ? static_cast<std::size_t>(idx) + 1 : 0; i < s.size(); ++i) {
        if (s[i] == same) {
          ++depth;
        } else if (s[i] == other && depth-- == 0) {
          m = BracketMatch{true, l, static_cast<int>(i)};
          break;
        }
      }
    }
  } else {
    for (int l = c.line; l >= 0 && !m.found; --l) {
      const std::string_view s = store.Line(l);
      for (std::size_t i = l == c.line ? static_cast<std::size_t>(idx) : s.size(); i-- > 0;) {
        if (s[i] == same) {
          ++depth;
        } else if (s[i] == other && depth-- == 0) {
          m = BracketMatch{true, l, static_cast<int>(i)};
          break;
        }
      }
    }
  }
  if (!m.found) {
    host.Beep(BeepKind::Default);
    return m;
  }
  store.SetSelection(m.line, store.ColumnOfIndex(m.line, m.index));
  return m;
}

int FindHistory::Add(const std::string& text) {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const std::string& item = items_[i];
    if (item.size() >= text.size() && EqualFold(item.data(), text.data(), text.size()))
      return static_cast<int>(i);
  }
  items_.insert(items_.begin(), text);
  return 0;
}

namespace {

// Searches; when nothing is found, beeps and offers to go on from the top (searching
// down) or the bottom (searching up), and searches once more when the user agrees.
bool FindOrOfferToWrap(CLineStore& store, IHost& host, const std::string& text,
                       const FindOptions& options) {
  if (FindText(store, text, options, &host)) return true;
  host.Beep(BeepKind::Default);
  const Answer again = host.MessageBox("Searched for: " + text + "\n\n\nDidn't find it." +
                                           "\n\n\nDo you want to start again at the " +
                                           (options.forward ? "top" : "bottom") + " ?\n\n",
                                       "Text not found", MsgIcon::Question, MsgButtons::YesNo);
  if (again != Answer::Yes) return false;
  if (options.forward) {
    store.SetSelection(0, 0);
  } else {
    const int last = store.LineCount() - 1;
    store.SetSelection(last, store.LineWidth(last));
  }
  if (FindText(store, text, options, &host)) return true;
  host.Message("Nope. Still couldn't find it.");
  return false;
}

}  // namespace

bool QuickFind(CLineStore& store, IHost& host, FindHistory& history, const std::string& text) {
  if (text.empty()) return false;
  history.Add(text);
  return FindOrOfferToWrap(store, host, text, FindOptions{true, false, false});
}

FindReplaceModel FindReplaceModel::FromSelection(const CLineStore& store) {
  FindReplaceModel m;
  std::string sel = store.GetSelectedText();
  const auto eol = sel.find("\r\n");
  if (eol != std::string::npos) sel.resize(eol);
  m.findWhat = sel;
  m.replaceWith = sel;
  return m;
}

bool FindReplaceModel::FindNext(CLineStore& store, IHost& host, FindHistory& history) const {
  if (findWhat.empty()) return false;
  history.Add(findWhat);
  return FindOrOfferToWrap(store, host, findWhat, Options());
}

bool FindReplaceModel::Replace(CLineStore& store, IHost& host, FindHistory& history) const {
  if (!findWhat.empty()) history.Add(findWhat);
  if (!store.HasSelection()) {
    host.Beep(BeepKind::Default);
    return false;
  }
  store.ReplaceSelection(replaceWith);
  return true;
}

int FindReplaceModel::ReplaceAll(CLineStore& store, IHost& host, FindHistory& history) const {
  if (!findWhat.empty()) history.Add(findWhat);
  const int n = tamso::ReplaceAll(store, findWhat, replaceWith, Options(), &host);
  host.MessageBox(ReplaceAllMessage(n), std::string(), MsgIcon::Information, MsgButtons::Ok);
  return n;
}

std::string ReplaceAllMessage(int count) {
  if (count == 1) return "Replaced 1 occurrence.";
  return "Replaced " + std::to_string(count) + " occurrences.";
}

}  // namespace tamso
