#include "lang/outline_reader.h"

#include "lang/char_class.h"

namespace tamso::lang_detail {
namespace {

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// "__END__" or "__DATA__" alone on a line ends the code of a Perl file.
bool IsPerlEndMarker(std::string_view line) {
  while (!line.empty() && IsOutlineBlankByte(static_cast<unsigned char>(line.back()))) {
    line.remove_suffix(1);
  }
  return line == "__END__" || line == "__DATA__";
}

}  // namespace

OutlineReader::OutlineReader(const ILineSource& text, OutlineSyntax syntax, const WordTable& words)
    : text_(text), syntax_(syntax), words_(words), lineCount_(text.LineCount()) {
  if (lineCount_ < 0) lineCount_ = 0;
  EnterLine(0);
}

// Moves to line index (or past the end). Perl documentation blocks, from a line
// starting with "=" and a letter through the line starting with "=cut", are skipped.
void OutlineReader::EnterLine(int index) {
  lineIndex_ = index;
  pos_ = 0;
  line_ = {};
  while (lineIndex_ < lineCount_) {
    line_ = text_.Line(lineIndex_);
    if (syntax_ != OutlineSyntax::kPerl) return;
    if (IsPerlEndMarker(line_)) {
      lineIndex_ = lineCount_;
      line_ = {};
      return;
    }
    if (line_.size() < 2 || line_[0] != '=' || !IsAsciiLetter(line_[1])) return;
    while (lineIndex_ < lineCount_ && !StartsWith(text_.Line(lineIndex_), "=cut")) ++lineIndex_;
    ++lineIndex_;
  }
  line_ = {};
}

OutlineToken OutlineReader::Make(int type, std::size_t start, std::size_t end) const {
  return {type, lineIndex_, line_.substr(start, end - start)};
}

OutlineToken OutlineReader::Next() {
  if (havePushedBack_) {
    havePushedBack_ = false;
    return pushedBack_;
  }
  const bool java = syntax_ == OutlineSyntax::kJava;
  for (;;) {
    if (lineIndex_ >= lineCount_) return {kTokenEnd, lineCount_, {}};
    const std::size_t n = line_.size();
    const auto* p = reinterpret_cast<const unsigned char*>(line_.data());
    if (inBlockComment_) {
      const std::size_t close = pos_ < n ? line_.find("*/", pos_) : std::string_view::npos;
      if (close == std::string_view::npos) {
        EnterLine(lineIndex_ + 1);
        continue;
      }
      inBlockComment_ = false;
      pos_ = close + 2;
    }
    while (pos_ < n && IsOutlineBlankByte(p[pos_])) ++pos_;
    if (pos_ >= n) {
      EnterLine(lineIndex_ + 1);
      continue;
    }
    const std::size_t start = pos_;
    const unsigned char c = p[pos_];
    const unsigned char next = pos_ + 1 < n ? p[pos_ + 1] : 0;
    if (java && c == '/' && next == '/') {
      EnterLine(lineIndex_ + 1);
      continue;
    }
    if (java && c == '/' && next == '*') {
      inBlockComment_ = true;
      pos_ += 2;
      continue;
    }
    if (!java && c == '#') {
      EnterLine(lineIndex_ + 1);
      continue;
    }
    if (java && c == '"' && next == '"' && pos_ + 2 < n && p[pos_ + 2] == '"') {
      // A text block: one string token, however many lines it spans, up to the
      // closing """ (a backslash escapes the byte after it).
      const OutlineToken token = Make(kTokenString, start, start + 3);
      pos_ += 3;
      SkipTextBlock();
      return token;
    }
    if (c == '"' || (java && c == '\'')) {
      // A string or character literal; a backslash escapes the next byte.
      std::size_t i = start + 1;
      while (i < n && p[i] != c) i += p[i] == '\\' ? 2 : 1;
      pos_ = i < n ? i + 1 : n;
      return Make(kTokenString, start, pos_);
    }
    if (IsOutlineDelimiterByte(c)) {  // a full stop only joins words, it does not start one
      pos_ = start + 1;
      return Make(kTokenDelimiter, start, pos_);
    }
    std::size_t i = start + 1;
    for (;;) {
      if (i < n && (!IsOutlineDelimiterByte(p[i]) || p[i] == '.')) {
        ++i;
      } else if (!java && i + 1 < n && p[i] == ':' && p[i + 1] == ':') {
        i += 2;
      } else {
        break;
      }
    }
    pos_ = i;
    const std::string_view word = line_.substr(start, i - start);
    return Make(words_.Contains(word) ? kTokenReserved : kTokenWord, start, i);
  }
}

void OutlineReader::SkipTextBlock() {
  while (lineIndex_ < lineCount_) {
    const std::size_t n = line_.size();
    std::size_t i = pos_;
    while (i < n) {
      if (line_[i] == '\\') {
        i += 2;
      } else if (line_[i] == '"' && i + 2 < n && line_[i + 1] == '"' && line_[i + 2] == '"') {
        pos_ = i + 3;
        return;
      } else {
        ++i;
      }
    }
    EnterLine(lineIndex_ + 1);
  }
}

}  // namespace tamso::lang_detail
