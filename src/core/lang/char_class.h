#pragma once
// Byte classes shared by the tokenizers. Bytes 0x80-0xFF are word characters, so
// the bytes of a UTF-8 identifier stay one word.

#include <array>
#include <cstdint>

namespace tamso::lang_detail {

// Bits of kByteClass.
inline constexpr std::uint8_t kBlank = 1;      // skipped between tokens: space, control bytes, DEL
inline constexpr std::uint8_t kDelimiter = 2;  // ends a word

inline constexpr std::array<std::uint8_t, 256> kByteClass = [] {
  std::array<std::uint8_t, 256> t{};
  for (int c = 0; c < 0x20; ++c) t[c] = kBlank | kDelimiter;
  t[0x7F] = kBlank | kDelimiter;
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

}  // namespace tamso::lang_detail
