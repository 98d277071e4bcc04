#include "java/java_source.h"

#include <cctype>

namespace tamso {

std::string DeclaredPackage(std::string_view s) {
  size_t i = 0;
  if (s.substr(0, 3) == "\xEF\xBB\xBF") i = 3;
  auto skipSpaceAndComments = [&] {
    for (;;) {
      while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
      if (s.substr(i, 2) == "//") {
        while (i < s.size() && s[i] != '\n') ++i;
      } else if (s.substr(i, 2) == "/*") {
        const size_t end = s.find("*/", i + 2);
        i = end == std::string_view::npos ? s.size() : end + 2;
      } else {
        return;
      }
    }
  };
  auto identifier = [&] {
    const size_t start = i;
    while (i < s.size()) {
      const unsigned char c = static_cast<unsigned char>(s[i]);
      if (std::isalnum(c) || c == '_' || c == '$' || c >= 0x80)
        ++i;
      else
        break;
    }
    return std::string(s.substr(start, i - start));
  };
  skipSpaceAndComments();
  if (identifier() != "package") return {};
  std::string name;
  for (;;) {
    skipSpaceAndComments();
    const std::string part = identifier();
    if (part.empty() || std::isdigit(static_cast<unsigned char>(part[0]))) return {};
    name += part;
    skipSpaceAndComments();
    if (i < s.size() && s[i] == '.') {
      name += '.';
      ++i;
      continue;
    }
    return i < s.size() && s[i] == ';' ? name : std::string();
  }
}

bool NamesJavaFile(std::string_view path) {
  const size_t at = path.find(".java", 1);
  return at != std::string_view::npos;
}

}  // namespace tamso
