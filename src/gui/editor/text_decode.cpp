#include "editor/text_decode.h"

#include "editor/text_cells.h"

namespace tamso::gui {

namespace {

// Bytes 0x80..0x9F of the 8-bit Windows character set; 0 where it has no character.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

char32_t DecodeCharacter(std::string_view c) {
  if (c.empty()) return 0;
  const auto b0 = static_cast<unsigned char>(c[0]);
  if (c.size() == 1) {
    if (b0 < 0x80 || b0 >= 0xA0) return b0;
    const char16_t w = kHighControls[b0 - 0x80];
    return w ? w : 0xFFFD;
  }
  char32_t cp = b0 & (c.size() == 2 ? 0x1F : c.size() == 3 ? 0x0F : 0x07);
  for (std::size_t k = 1; k < c.size(); ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(c[k]) & 0x3F);
  return cp;
}

QString DecodeForDisplay(std::string_view bytes) {
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()));
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t n = CharLength(bytes, i);
    const char32_t cp = DecodeCharacter(bytes.substr(i, n));
    if (cp > 0xFFFF) {
      out += QChar(QChar::highSurrogate(cp));
      out += QChar(QChar::lowSurrogate(cp));
    } else {
      out += QChar(static_cast<char16_t>(cp));
    }
    i += n;
  }
  return out;
}

}  // namespace tamso::gui
