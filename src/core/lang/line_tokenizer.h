#pragma once
// The line tokenizer shared by the three languages. Header-only so each language
// inlines its own reserved-word lookup into the loop.

#include <cstdint>
#include <cstring>
#include <string_view>

#include "lang/char_class.h"
#include "lang/language.h"

namespace tamso::lang_detail {

// Position of needle in line at or after from, or npos.
inline std::size_t FindFrom(std::string_view line, std::size_t from, std::string_view needle) {
  if (from >= line.size()) return std::string_view::npos;
  return line.find(needle, from);
}

// The next token at or after pos. With escapes, a backslash inside a string keeps
// the next byte from closing it ("\"" is one string).
template <class IsReserved>
inline LineToken ScanLineToken(std::string_view line, std::size_t pos, bool escapes,
                               const IsReserved& isReserved) {
  const std::size_t n = line.size();
  const auto* p = reinterpret_cast<const unsigned char*>(line.data());
  while (pos < n && IsBlankByte(p[pos])) ++pos;
  if (pos >= n) return {kTokenEnd, n, n};
  const std::size_t start = pos;
  const unsigned char c = p[pos];
  const unsigned char next = pos + 1 < n ? p[pos + 1] : 0;
  switch (c) {
    case '"': {
      std::size_t i = start + 1;
      while (i < n) {
        if (p[i] == '"') return {kTokenString, start, i + 1};
        i += (escapes && p[i] == '\\') ? 2 : 1;
      }
      return {kTokenString, start, n};
    }
    case '*':
      if (next == '/') return {kTokenCommentClose, start, start + 2};
      break;
    case '-':
      if (next == '-' && pos + 2 < n && p[pos + 2] == '>') {
        return {kTokenCommentClose, start, start + 3};
      }
      break;
    case '<':
      if (next == '!' && n - pos >= 4 && p[pos + 2] == '-' && p[pos + 3] == '-') {
        const std::size_t close = FindFrom(line, start + 4, "-->");
        if (close == std::string_view::npos) return {kTokenOpenComment, start, n};
        return {kTokenComment, start, close + 3};
      }
      break;
    case '/':
      if (next == '/') return {kTokenComment, start, n};
      if (next == '*') {
        const std::size_t close = FindFrom(line, start + 2, "*/");
        if (close == std::string_view::npos) return {kTokenOpenComment, start, n};
        return {kTokenComment, start, close + 2};
      }
      break;
    default:
      break;
  }
  if (IsDelimiterByte(c)) return {kTokenDelimiter, start, start + 1};
  ++pos;
  while (pos < n && !IsDelimiterByte(p[pos])) ++pos;
  const std::string_view word(line.data() + start, pos - start);
  return {isReserved(word) ? kTokenReserved : kTokenWord, start, pos};
}

// Inside an open comment: everything up to and including the first of closers is
// one comment token (type kTokenCommentClose), so quotes and "//" in the comment
// cannot hide its end. Without a closer the comment runs to the line end.
inline LineToken ScanCommentBody(std::string_view line, std::size_t pos, std::string_view closerA,
                                 std::string_view closerB) {
  const std::size_t n = line.size();
  const auto* p = reinterpret_cast<const unsigned char*>(line.data());
  while (pos < n && IsBlankByte(p[pos])) ++pos;
  if (pos >= n) return {kTokenEnd, n, n};
  std::size_t a = FindFrom(line, pos, closerA);
  std::size_t b = closerB.empty() ? std::string_view::npos : FindFrom(line, pos, closerB);
  if (a == std::string_view::npos && b == std::string_view::npos) return {kTokenComment, pos, n};
  if (a == std::string_view::npos || (b != std::string_view::npos && b < a)) {
    return {kTokenCommentClose, pos, b + closerB.size()};
  }
  return {kTokenCommentClose, pos, a + closerA.size()};
}

// Fills attrs[from, to) with attr. Runs are short (a token and its blanks), so
// overlapping fixed-size stores beat a call to memset.
inline void FillAttrs(std::uint8_t* attrs, std::size_t from, std::size_t to, std::uint8_t attr) {
  if (to <= from) return;
  std::uint8_t* p = attrs + from;
  const std::size_t n = to - from;
  if (n >= 8) {
    const std::uint64_t pattern = 0x0101010101010101ull * attr;
    for (std::size_t i = 0; i + 8 <= n; i += 8) std::memcpy(p + i, &pattern, 8);
    std::memcpy(p + n - 8, &pattern, 8);
  } else if (n >= 4) {
    const std::uint32_t pattern = 0x01010101u * attr;
    std::memcpy(p, &pattern, 4);
    std::memcpy(p + n - 4, &pattern, 4);
  } else if (n >= 2) {
    const std::uint16_t pattern = static_cast<std::uint16_t>(0x0101u * attr);
    std::memcpy(p, &pattern, 2);
    std::memcpy(p + n - 2, &pattern, 2);
  } else {
    *p = attr;
  }
}

}  // namespace tamso::lang_detail
