#include "java/java_mains.h"

#include <cctype>
#include <optional>

#include "java/java_source.h"
#include "platform/file_read.h"
#include "platform/paths.h"

namespace tamso {

namespace {

// A source longer than this is read only this far; mains lie well within it.
constexpr std::size_t kMainsHead = 4 * 1024 * 1024;

using Token = JavaSourceToken;

bool IsTypeKeyword(const std::string& w) {
  return w == "class" || w == "interface" || w == "enum" || w == "record";
}

// Tokens from i (just after "main" "(") form a main's parameter list: none, or one
// String array or varargs parameter. Returns the index after ")" or 0.
size_t MainParameters(const std::vector<Token>& t, size_t i) {
  auto at = [&](size_t k) -> const std::string& {
    static const std::string none;
    return k < t.size() ? t[k].text : none;
  };
  if (at(i) == ")") return i + 1;
  // Modifiers and annotations before the type.
  while (at(i) == "final" || at(i) == "@") i += at(i) == "@" ? 2 : 1;
  // "String" or "java.lang.String".
  if (at(i) == "java" && at(i + 1) == "." && at(i + 2) == "lang" && at(i + 3) == ".") i += 4;
  if (at(i) != "String") return 0;
  ++i;
  bool array = false;
  if (at(i) == "[" && at(i + 1) == "]") {
    array = true;
    i += 2;
  } else if (at(i) == "." && at(i + 1) == "." && at(i + 2) == ".") {
    array = true;
    i += 3;
  }
  if (i >= t.size() || !t[i].word) return 0;
  ++i;
  if (!array && at(i) == "[" && at(i + 1) == "]") {
    array = true;
    i += 2;
  }
  if (!array || at(i) != ")") return 0;
  return i + 1;
}

}  // namespace

std::vector<std::string> JavaMains::Launchable() const {
  std::vector<std::string> out;
  for (const JavaClassMain& c : classes)
    if (c.hasMain) out.push_back(package.empty() ? c.name : package + "." + c.name);
  return out;
}

std::string JavaMains::Preferred(std::string_view fileBaseName) const {
  const std::string prefix = package.empty() ? std::string() : package + ".";
  for (const JavaClassMain& c : classes)
    if (c.hasMain && c.name == fileBaseName) return prefix + c.name;
  for (const JavaClassMain& c : classes)
    if (c.hasMain) return prefix + c.name;
  return {};
}

JavaMains FindJavaMains(std::string_view source, std::string_view fileBaseName) {
  JavaMains result;
  result.package = DeclaredPackage(source);
  const std::vector<Token> t = JavaSourceTokens(source);
  struct Open {
    size_t index;  // into result.classes
    int depth;     // the brace depth of the class's body
  };
  std::vector<Open> open;
  int depth = 0;
  int parens = 0;
  // A declared type whose body's brace has not come yet.
  std::optional<size_t> pending;
  bool implicitAdded = false;
  for (size_t i = 0; i < t.size(); ++i) {
    const Token& tok = t[i];
    if (!tok.word) {
      if (tok.text == "(") ++parens;
      if (tok.text == ")" && parens > 0) --parens;
      if (tok.text == "{") {
        ++depth;
        if (pending) {
          open.push_back({*pending, depth});
          pending.reset();
        }
      } else if (tok.text == "}") {
        if (!open.empty() && open.back().depth == depth) open.pop_back();
        if (depth > 0) --depth;
      }
      continue;
    }
    // "class" after a dot is a class literal ("Foo.class"), not a declaration.
    const bool afterDot = i > 0 && t[i - 1].text == ".";
    if (IsTypeKeyword(tok.text) && !afterDot && i + 1 < t.size() && t[i + 1].word && parens == 0) {
      // "record" and "enum" are also ordinary names; a declaration names a type next.
      std::string name = t[i + 1].text;
      if (!open.empty()) name = result.classes[open.back().index].name + "$" + name;
      result.classes.push_back({name, false});
      pending = result.classes.size() - 1;
      ++i;
      continue;
    }
    if (tok.text == "void" && i + 2 < t.size() && t[i + 1].text == "main" && t[i + 2].text == "(") {
      const size_t after = MainParameters(t, i + 3);
      if (after == 0) continue;
      if (!open.empty() && open.back().depth == depth) {
        result.classes[open.back().index].hasMain = true;
      } else if (open.empty() && depth == 0 && !implicitAdded) {
        // A method outside any class: the file's implicit class.
        result.classes.insert(result.classes.begin(), {std::string(fileBaseName), true});
        for (Open& o : open) ++o.index;
        if (pending) ++*pending;
        implicitAdded = true;
      }
    }
  }
  return result;
}

JavaMains FindJavaMainsOfFile(const std::string& path) {
  std::string text;
  if (!ReadFileHead(path, kMainsHead, text)) return {};
  std::string base = paths::FileName(path);
  const size_t dot = base.find_last_of('.');
  if (dot != std::string::npos) base.resize(dot);
  return FindJavaMains(text, base);
}

}  // namespace tamso
