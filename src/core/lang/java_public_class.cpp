#include <string>
#include <string_view>

#include "lang/outline.h"

namespace tamso {

namespace {

bool IsWordByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || c >= 0x80;
}

bool IsModifier(std::string_view w) {
  return w == "abstract" || w == "final" || w == "static" || w == "strictfp" || w == "sealed" ||
         w == "non" || w == "-";  // "non-sealed" arrives as "non", "-", "sealed"
}

bool IsTypeKeyword(std::string_view w) {
  return w == "class" || w == "interface" || w == "enum" || w == "record";
}

}  // namespace

std::string FirstPublicClassName(const ILineSource& text) {
  // After "public": 1 while modifiers may follow, 2 once the type keyword came.
  int state = 0;
  bool inComment = false;
  for (int l = 0; l < text.LineCount(); ++l) {
    const std::string_view s = text.Line(l);
    std::size_t i = 0;
    while (i < s.size()) {
      const auto c = static_cast<unsigned char>(s[i]);
      if (inComment) {
        const std::size_t end = s.find("*/", i);
        if (end == std::string_view::npos) {
          i = s.size();
        } else {
          inComment = false;
          i = end + 2;
        }
        continue;
      }
      if (c == '/' && i + 1 < s.size() && s[i + 1] == '/') break;
      if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
        inComment = true;
        i += 2;
        continue;
      }
      if (c == '"' || c == '\'') {
        // A literal ends at its unescaped quote or the line end.
        std::size_t j = i + 1;
        while (j < s.size() && s[j] != s[i]) j += s[j] == '\\' ? 2 : 1;
        i = j + 1;
        state = 0;
        continue;
      }
      if (c == '@' && state == 1) {  // an annotation between the modifiers
        ++i;
        continue;
      }
      if (!IsWordByte(c)) {
        if (!(c == ' ' || c == '\t' || c == '\r' || c == '\f' || (c == '-' && state == 1)))
          state = 0;
        ++i;
        continue;
      }
      std::size_t j = i;
      while (j < s.size() && IsWordByte(static_cast<unsigned char>(s[j]))) ++j;
      const std::string_view word = s.substr(i, j - i);
      i = j;
      if (state == 2) {
        if (word[0] >= '0' && word[0] <= '9') return {};
        return std::string(word);
      }
      if (word == "public") {
        state = 1;
      } else if (state == 1 && IsTypeKeyword(word)) {
        state = 2;
      } else if (state != 1 || !IsModifier(word)) {
        state = 0;
      }
    }
  }
  return {};
}

}  // namespace tamso
