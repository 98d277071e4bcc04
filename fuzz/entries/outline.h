#pragma once
// Builds the Java and Perl outlines of the input and looks up the members found,
// checking the sink calls: one Begin, items only under existing parents, one End.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "checked_lines.h"
#include "lang/language.h"

namespace tamso::fuzz {
namespace outline_detail {

using Lines = CheckedLines;

class CheckingSink : public tamso::IOutlineSink {
 public:
  int BeginOutline(const std::string&) override {
    if (begun || ended) std::abort();
    begun = true;
    parents.assign(1, -1);
    kinds.assign(1, 0);
    return 0;
  }
  int AddOutlineItem(const std::string& text, int kind, int parent) override {
    if (!begun || ended) std::abort();
    if (parent < 0 || parent >= static_cast<int>(parents.size())) std::abort();
    if (kind < 1 || kind > 10 || kind == 5) std::abort();
    parents.push_back(parent);
    kinds.push_back(kind);
    if (kind == tamso::kOutlineMethod || kind == tamso::kOutlineField) {
      members.emplace_back(parent, text);
    }
    texts.push_back(text);
    return static_cast<int>(parents.size()) - 1;
  }
  void EndOutline() override {
    if (!begun || ended) std::abort();
    ended = true;
  }
  bool begun = false;
  bool ended = false;
  std::vector<int> parents;
  std::vector<int> kinds;
  std::vector<std::string> texts;                    // item i + 1
  std::vector<std::pair<int, std::string>> members;  // parent handle, name
};

}  // namespace outline_detail

inline int FuzzOutline(std::string_view input) {
  using namespace outline_detail;
  Lines text;
  for (std::size_t start = 0; start < input.size();) {
    std::size_t end = input.find('\n', start);
    if (end == std::string_view::npos) end = input.size();
    text.lines.push_back(input.substr(start, end - start));
    start = end + 1;
  }
  for (const tamso::Language* lang : {&tamso::JavaLanguage(), &tamso::PerlLanguage()}) {
    CheckingSink sink;
    lang->BuildOutline(text, "Fuzz.java", sink);
    if (!sink.ended) std::abort();
    // Every listed member is found again, on a line of the text.
    for (std::size_t i = 0; i < sink.members.size() && i < 16; ++i) {
      const auto& [parent, name] = sink.members[i];
      const std::string className =
          parent > 0 ? sink.texts[static_cast<std::size_t>(parent - 1)] : std::string();
      const std::optional<int> line = lang->FindMember(text, className, name);
      if (!line || *line < 0 || *line >= text.LineCount()) std::abort();
    }
    lang->FindMember(text, "A", "b");
  }
  return 0;
}

}  // namespace tamso::fuzz
