#pragma once
// Byte classes shared by the tokenizers. Bytes 0x80-0xFF are word characters, so
// the bytes of a UTF-8 identifier stay one word. Control bytes other than the tab
// (NUL, form feed, ESC, ..., DEL) are word characters to the line colouring, which
// shows them as marks in the text's colour; the outline reader skips them as blanks.

#include <array>
#include <cstdint>

namespace tamso::lang_detail {

// Bits of kByteClass.
inline constexpr std::uint8_t kBlank = 1;      // skipped between tokens: space, tab
inline constexpr std::uint8_t kDelimiter = 2;  // ends a word
inline constexpr std::uint8_t kControl = 4;    // a control byte other than the tab, or DEL

inline constexpr std::array<std::uint8_t, 256> kByteClass = [] {
  std::array<std::uint8_t, 256> t{};
  for (int c = 0; c < 0x20; ++c) t[c] = kControl;
  t[0x7F] = kControl;
  t['\t'] = kBlank | kDelimiter;
  t[' '] = kBlank | kDelimiter;
  for (unsigned char c : "!\"%&()*+,-./:;<=>?[]^{}|") {
    if (c != 0) t[c] = kDelimiter;
  }
  return t;
}();

inline bool IsBlankByte(unsigned char c) {
  return (kByteClass[c] & kBlank) != 0;
}
inline bool IsDelimiterByte(unsigned char c) {
  return (kByteClass[c] & kDelimiter) != 0;
}
// The outline reader's classes: control bytes count as blanks there.
inline bool IsOutlineBlankByte(unsigned char c) {
  return (kByteClass[c] & (kBlank | kControl)) != 0;
}
inline bool IsOutlineDelimiterByte(unsigned char c) {
  return (kByteClass[c] & (kDelimiter | kControl)) != 0;
}

}  // namespace tamso::lang_detail
