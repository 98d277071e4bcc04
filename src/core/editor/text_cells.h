#pragma once
// How the bytes of a line map to display cells: a valid UTF-8 sequence is one
// character of one cell, every other byte a character of its own; a tab advances to
// the next multiple of the tab width.

#include <cstddef>
#include <string_view>

namespace tamso {

// Length in bytes of the character starting at s[i] (1 for an invalid byte).
inline std::size_t CharLength(std::string_view s, std::size_t i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) return 1;
  std::size_t n;
  unsigned min;
  unsigned cp;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    n = 2, min = 0x80, cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 3, min = 0x800, cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 4, min = 0x10000, cp = b0 & 0x07;
  } else {
    return 1;
  }
  if (i + n > s.size()) return 1;
  for (std::size_t k = 1; k < n; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 1;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 1;
  return n;
}

// A control byte other than the tab (NUL, form feed, ESC, ...) or DEL: text like any
// other byte, one cell wide, shown as a mark.
inline bool IsControlByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b < 0x20 && b != '\t') || b == 0x7F;
}

// The letter after the caret in the mark of a control byte: '@' for NUL, 'L' for
// form feed, '[' for ESC, '?' for DEL.
inline char ControlMarkLetter(char c) {
  return static_cast<char>(static_cast<unsigned char>(c) ^ 0x40);
}

// Column after a character starting at column col.
inline int NextColumn(char c, int col, int tabWidth) {
  return c == '\t' ? (col / tabWidth + 1) * tabWidth : col + 1;
}

// a / b rounded towards minus infinity (a pixel above or left of the text is cell -1).
inline int FloorDiv(int a, int b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace tamso
