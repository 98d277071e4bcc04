#include "java/java_source.h"

#include <algorithm>
#include <cctype>

namespace tamso {

namespace {

bool WordChar(unsigned char c) {
  return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80;
}

}  // namespace

std::vector<JavaSourceToken> JavaSourceTokens(std::string_view s) {
  std::vector<JavaSourceToken> out;
  size_t i = 0;
  int line = 0;
  const size_t n = s.size();
  // Moves to `to`, counting the line breaks passed.
  auto skipTo = [&](size_t to) {
    to = std::min(to, n);
    line += static_cast<int>(std::count(s.begin() + static_cast<std::ptrdiff_t>(i),
                                        s.begin() + static_cast<std::ptrdiff_t>(to), '\n'));
    i = to;
  };
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '\n') {
      ++line;
      ++i;
    } else if (std::isspace(c)) {
      ++i;
    } else if (s.compare(i, 2, "//") == 0) {
      const size_t end = s.find('\n', i);
      skipTo(end == std::string_view::npos ? n : end);
    } else if (s.compare(i, 2, "/*") == 0) {
      const size_t end = s.find("*/", i + 2);
      skipTo(end == std::string_view::npos ? n : end + 2);
    } else if (s.compare(i, 3, "\"\"\"") == 0) {
      size_t k = i + 3;
      while (k < n && s.compare(k, 3, "\"\"\"") != 0) k += s[k] == '\\' ? 2 : 1;
      skipTo(k < n ? k + 3 : n);
    } else if (c == '"' || c == '\'') {
      size_t k = i + 1;
      while (k < n && s[k] != static_cast<char>(c) && s[k] != '\n') k += s[k] == '\\' ? 2 : 1;
      skipTo(k < n && s[k] != '\n' ? k + 1 : k);
    } else if (WordChar(c)) {
      const size_t start = i;
      while (i < n && WordChar(static_cast<unsigned char>(s[i]))) ++i;
      out.push_back({std::string(s.substr(start, i - start)), line, true});
    } else {
      out.push_back({std::string(1, static_cast<char>(c)), line, false});
      ++i;
    }
  }
  return out;
}

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
