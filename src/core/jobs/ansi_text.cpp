#include "jobs/ansi_text.h"

namespace tamso {

namespace {

constexpr char kEsc = '\x1b';

enum class Scan { Complete, Incomplete, Broken };

// Reads the sequence at s[0] == ESC: its length in *length when complete.
Scan ScanSequence(std::string_view s, std::size_t* length) {
  if (s.size() < 2) return Scan::Incomplete;
  const unsigned char kind = static_cast<unsigned char>(s[1]);
  if (kind == '[') {
    // CSI: parameter and intermediate bytes, then a final byte 0x40..0x7e.
    for (std::size_t i = 2; i < s.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(s[i]);
      if (c >= 0x40 && c <= 0x7e) {
        *length = i + 1;
        return Scan::Complete;
      }
      if (c < 0x20 || c > 0x3f) return Scan::Broken;
    }
    return Scan::Incomplete;
  }
  if (kind == ']' || kind == 'P' || kind == '_' || kind == '^' || kind == 'X') {
    // A string: up to BEL or ESC '\\'.
    for (std::size_t i = 2; i < s.size(); ++i) {
      if (s[i] == '\a') {
        *length = i + 1;
        return Scan::Complete;
      }
      if (s[i] == kEsc) {
        if (i + 1 >= s.size()) return Scan::Incomplete;
        if (s[i + 1] != '\\') return Scan::Broken;
        *length = i + 2;
        return Scan::Complete;
      }
      if (s[i] == '\n') return Scan::Broken;
    }
    return Scan::Incomplete;
  }
  if (kind >= 0x20 && kind <= 0x2f) {
    // ESC, intermediates, then a final byte (character set choices and the like).
    for (std::size_t i = 2; i < s.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(s[i]);
      if (c >= 0x30 && c <= 0x7e) {
        *length = i + 1;
        return Scan::Complete;
      }
      if (c < 0x20 || c > 0x2f) return Scan::Broken;
    }
    return Scan::Incomplete;
  }
  if (kind >= 0x30 && kind <= 0x7e) {
    *length = 2;
    return Scan::Complete;
  }
  return Scan::Broken;
}

void Add(std::vector<AnsiRun>& runs, std::string_view text, const AnsiStyle& style) {
  if (text.empty()) return;
  if (!runs.empty() && runs.back().style == style)
    runs.back().text.append(text);
  else
    runs.push_back({std::string(text), style});
}

}  // namespace

void AnsiFilter::ApplySgr(std::string_view params) {
  std::vector<int> codes;
  int value = 0;
  bool any = false;
  for (char c : params) {
    if (c >= '0' && c <= '9') {
      value = value < 10000 ? value * 10 + (c - '0') : value;
      any = true;
    } else if (c == ';' || c == ':') {
      codes.push_back(any ? value : 0);
      value = 0;
      any = false;
    } else {
      return;  // private modes and the like: no style
    }
  }
  codes.push_back(any ? value : 0);
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const int code = codes[i];
    if (code == 0) {
      style_ = AnsiStyle{};
    } else if (code == 1) {
      style_.bold = true;
    } else if (code == 22) {
      style_.bold = false;
    } else if (code >= 30 && code <= 37) {
      style_.foreground = code - 30;
    } else if (code >= 90 && code <= 97) {
      style_.foreground = code - 90 + 8;
    } else if (code == 39) {
      style_.foreground = -1;
    } else if (code == 38 || code == 48) {
      // 256-colour and true-colour choices: the low 16 are kept, the rest skipped.
      if (i + 1 < codes.size() && codes[i + 1] == 5 && i + 2 < codes.size()) {
        if (code == 38) style_.foreground = codes[i + 2] < 16 ? codes[i + 2] : -1;
        i += 2;
      } else if (i + 1 < codes.size() && codes[i + 1] == 2) {
        i += 4;
      }
    }
  }
}

std::vector<AnsiRun> AnsiFilter::Feed(std::string_view chunk) {
  std::vector<AnsiRun> runs;
  std::string joined;
  std::string_view s = chunk;
  if (!held_.empty()) {
    joined = std::move(held_);
    held_.clear();
    joined.append(chunk);
    s = joined;
  }
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t esc = s.find(kEsc, i);
    if (esc == std::string_view::npos) break;
    std::size_t length = 0;
    const Scan scan = ScanSequence(s.substr(esc), &length);
    if (scan == Scan::Incomplete && s.size() - esc < kMaxSequence) {
      Add(runs, s.substr(start, esc - start), style_);
      held_.assign(s.substr(esc));
      return runs;
    }
    Add(runs, s.substr(start, esc - start), style_);
    if (scan == Scan::Complete) {
      const std::string_view seq = s.substr(esc, length);
      if (seq.size() >= 3 && seq[1] == '[' && seq.back() == 'm')
        ApplySgr(seq.substr(2, seq.size() - 3));
      i = start = esc + length;
    } else {
      // Broken or endless: only the escape goes.
      i = start = esc + 1;
    }
  }
  Add(runs, s.substr(start), style_);
  return runs;
}

std::string AnsiFilter::FeedPlain(std::string_view chunk) {
  std::string out;
  for (const AnsiRun& r : Feed(chunk)) out += r.text;
  return out;
}

std::string AnsiFilter::Flush() {
  std::string rest;
  if (held_.size() > 1) rest = held_.substr(1);
  held_.clear();
  return rest;
}

}  // namespace tamso
