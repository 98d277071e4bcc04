#include <string>
#include <string_view>
#include <vector>

#include "lang/outline.h"

namespace tamso {

namespace {

bool IsWordByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || c >= 0x80;
}

bool IsTypeKeyword(std::string_view w) {
  return w == "class" || w == "interface" || w == "enum" || w == "record";
}

struct TopLevelType {
  std::string name;
  bool isPublic = false;
};

// The types declared at the top level of a Java text, outside comments, strings,
// character literals and text blocks, in order.
std::vector<TopLevelType> TopLevelTypes(const ILineSource& text) {
  std::vector<TopLevelType> found;
  enum class Skip { None, Comment, TextBlock } skip = Skip::None;
  int depth = 0;             // braces
  int parens = 0;            // parentheses at the top level (annotation arguments)
  bool toSemicolon = false;  // inside a package or import line
  bool afterDot = false;     // the word follows a '.' ("Foo.class")
  bool afterAt = false;      // the word names an annotation ("@interface" declares one)
  bool sawPublic = false;
  bool expectName = false;
  for (int l = 0; l < text.LineCount(); ++l) {
    const std::string_view s = text.Line(l);
    std::size_t i = 0;
    while (i < s.size()) {
      if (skip != Skip::None) {
        const std::string_view end = skip == Skip::Comment ? "*/" : "\"\"\"";
        std::size_t at = s.find(end, i);
        // An escaped quote does not end a text block.
        while (skip == Skip::TextBlock && at != std::string_view::npos && at > 0 &&
               s[at - 1] == '\\')
          at = s.find(end, at + 1);
        if (at == std::string_view::npos) {
          i = s.size();
        } else {
          skip = Skip::None;
          i = at + end.size();
        }
        continue;
      }
      const auto c = static_cast<unsigned char>(s[i]);
      if (c == '/' && i + 1 < s.size() && s[i + 1] == '/') break;
      if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
        skip = Skip::Comment;
        i += 2;
        continue;
      }
      if (c == '"' && s.substr(i, 3) == "\"\"\"") {
        skip = Skip::TextBlock;
        i += 3;
        continue;
      }
      if (c == '"' || c == '\'') {
        // A literal ends at its unescaped quote or the line end.
        std::size_t j = i + 1;
        while (j < s.size() && s[j] != s[i]) j += s[j] == '\\' ? 2 : 1;
        i = j + 1;
        afterDot = afterAt = false;
        continue;
      }
      if (!IsWordByte(c)) {
        ++i;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f') continue;
        afterDot = c == '.';
        afterAt = c == '@';
        if (c == '{') {
          ++depth;
          expectName = false;
        } else if (c == '}') {
          if (depth > 0) --depth;
          sawPublic = false;
        } else if (depth == 0 && c == '(') {
          ++parens;
        } else if (depth == 0 && c == ')') {
          if (parens > 0) --parens;
        } else if (depth == 0 && c == ';') {
          toSemicolon = sawPublic = expectName = false;
        }
        continue;
      }
      std::size_t j = i;
      while (j < s.size() && IsWordByte(static_cast<unsigned char>(s[j]))) ++j;
      const std::string_view word = s.substr(i, j - i);
      i = j;
      const bool dotted = afterDot, annotation = afterAt;
      afterDot = afterAt = false;
      if (depth != 0 || parens != 0 || toSemicolon || dotted) continue;
      if (expectName) {
        expectName = false;
        if (word[0] >= '0' && word[0] <= '9') continue;
        found.push_back({std::string(word), sawPublic});
        sawPublic = false;
      } else if (annotation) {
        expectName = word == "interface";
      } else if (word == "package" || word == "import") {
        toSemicolon = true;
      } else if (word == "public") {
        sawPublic = true;
      } else if (IsTypeKeyword(word)) {
        expectName = true;
      }
    }
  }
  return found;
}

}  // namespace

std::string JavaFileClassName(const ILineSource& text) {
  const std::vector<TopLevelType> types = TopLevelTypes(text);
  for (const TopLevelType& t : types)
    if (t.isPublic) return t.name;
  return types.size() == 1 ? types.front().name : std::string();
}

}  // namespace tamso
