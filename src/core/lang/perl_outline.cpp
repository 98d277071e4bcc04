#include <map>
#include <string>
#include <vector>

#include "lang/outline.h"
#include "lang/outline_reader.h"

namespace tamso {
namespace {

using lang_detail::OutlineReader;
using lang_detail::OutlineSyntax;
using lang_detail::OutlineToken;

bool IsDelimiter(const OutlineToken& t, char c) {
  return t.type == kTokenDelimiter && t.text[0] == c;
}

bool IsWord(const OutlineToken& t) {
  return t.type == kTokenWord || t.type == kTokenReserved;
}

// A package's version after its name: "package Foo 1.02;" or "package Foo v1.2.3 {".
bool IsVersion(const OutlineToken& t) {
  return IsWord(t) &&
         ((t.text[0] >= '0' && t.text[0] <= '9') ||
          (t.text.size() > 1 && t.text[0] == 'v' && t.text[1] >= '0' && t.text[1] <= '9'));
}

// Calls onPackage(name) where a package starts or, after the block of a block package
// ("package Foo { ... }"), where the one around it holds again (empty: main, the subs
// outside any package); and onSub(nameToken) for the name after every "sub". True from
// onSub stops the scan. An anonymous "sub {" names nothing.
template <class OnPackage, class OnSub>
void ScanPerl(const ILineSource& text, const OnPackage& onPackage, const OnSub& onSub) {
  OutlineReader reader(text, OutlineSyntax::kPerl, PerlWordTable());
  struct Block {
    int depth;          // the brace depth its "}" returns to
    std::string outer;  // the package around it
  };
  std::vector<Block> blocks;
  std::string current;
  int depth = 0;
  for (OutlineToken t = reader.Next(); t.type != kTokenEnd; t = reader.Next()) {
    if (IsDelimiter(t, '{')) {
      ++depth;
    } else if (IsDelimiter(t, '}')) {
      if (depth > 0) --depth;
      if (!blocks.empty() && depth == blocks.back().depth) {
        current = std::move(blocks.back().outer);
        blocks.pop_back();
        onPackage(std::string_view(current));
      }
    } else if (t.type == kTokenWord && t.text == "package") {
      const OutlineToken name = reader.Next();
      if (name.type != kTokenWord) {
        reader.PushBack(name);
        continue;
      }
      OutlineToken after = reader.Next();
      if (IsVersion(after)) after = reader.Next();
      if (IsDelimiter(after, '{')) {
        blocks.push_back({depth, current});
        ++depth;
      } else {
        reader.PushBack(after);
      }
      current = std::string(name.text);
      onPackage(std::string_view(current));
    } else if (t.type == kTokenReserved && t.text == "sub") {
      const OutlineToken name = reader.Next();
      if (IsWord(name)) {
        if (onSub(name)) return;
      } else {
        reader.PushBack(name);
      }
    }
  }
}

}  // namespace

void BuildPerlOutline(const ILineSource& text, IOutlineSink& sink) {
  const int root = sink.BeginOutline("Perl");
  sink.AddOutlineItem("Requires", kOutlineImportsFolder, root);
  const int subs = sink.AddOutlineItem("Subs", kOutlineSubsFolder, root);
  // A package declared twice gathers its subs in one folder.
  std::map<std::string, int, std::less<>> folders;
  int folder = subs;
  ScanPerl(
      text,
      [&](std::string_view package) {
        if (package.empty()) {
          folder = subs;
          return;
        }
        auto at = folders.find(package);
        if (at == folders.end())
          at = folders
                   .emplace(std::string(package),
                            sink.AddOutlineItem(std::string(package), kOutlineSubsFolder, root))
                   .first;
        folder = at->second;
      },
      [&](const OutlineToken& name) {
        sink.AddOutlineItem(std::string(name.text), kOutlineMethod, folder);
        return false;
      });
  sink.EndOutline();
}

std::optional<int> FindPerlSub(const ILineSource& text, std::string_view package,
                               std::string_view memberName) {
  // The folder of the subs outside any package is "Subs"; a package of that name is
  // looked for too.
  const bool mainPackage = package == "Subs" || package.empty();
  std::string current;
  std::optional<int> found;
  std::optional<int> elsewhere;  // the first sub of that name in another package
  ScanPerl(
      text, [&](std::string_view p) { current = p; },
      [&](const OutlineToken& name) {
        if (name.text != memberName) return false;
        if (current == package || (mainPackage && current.empty())) {
          found = name.line;
          return true;
        }
        if (!elsewhere) elsewhere = name.line;
        return false;
      });
  return found ? found : elsewhere;
}

}  // namespace tamso
