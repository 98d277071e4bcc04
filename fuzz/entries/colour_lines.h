#pragma once
// Splits the input into lines and colours them all with each language, checking
// that every attribute is written and valid and nothing is written past a line.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "checked_lines.h"
#include "lang/language.h"

namespace tamso::fuzz {
namespace colour_lines_detail {

using Lines = CheckedLines;

constexpr std::uint8_t kGuard = 0xA5;

}  // namespace colour_lines_detail

inline int FuzzColourLines(std::string_view input) {
  using namespace colour_lines_detail;
  Lines text;
  for (std::size_t start = 0; start <= input.size();) {
    std::size_t end = input.find('\n', start);
    if (end == std::string_view::npos) end = input.size();
    text.lines.push_back(input.substr(start, end - start));
    start = end + 1;
  }
  std::vector<std::uint8_t> attrs;
  for (const tamso::Language* lang :
       {&tamso::JavaLanguage(), &tamso::HtmlLanguage(), &tamso::PerlLanguage()}) {
    tamso::OpenSpan open = tamso::OpenSpan::kNone;
    for (int i = 0; i < text.LineCount(); ++i) {
      const std::size_t n = text.Line(i).size();
      attrs.assign(n + 8, kGuard);
      const tamso::LineColouring c = lang->ColourLine(text, i, open, attrs.data());
      for (std::size_t k = 0; k < n; ++k) {
        const std::uint8_t a = attrs[k];
        if (a != tamso::kAttrReserved && a != tamso::kAttrComment && a != tamso::kAttrNormal) {
          std::abort();
        }
      }
      for (std::size_t k = n; k < attrs.size(); ++k) {
        if (attrs[k] != kGuard) std::abort();
      }
      // Colouring is a function of the line, its start state and what follows.
      std::vector<std::uint8_t> again(n + 1);
      const tamso::LineColouring d = lang->ColourLine(text, i, open, again.data());
      if (d.endsIn != c.endsIn || d.mark != c.mark ||
          !std::equal(again.begin(), again.begin() + static_cast<std::ptrdiff_t>(n),
                      attrs.begin())) {
        std::abort();
      }
      open = c.endsIn;
    }
  }
  return 0;
}

}  // namespace tamso::fuzz
