#pragma once
// Source references in tool output: a found reference names a non-empty run of
// printable, non-blank bytes that stands in the text right before ":<digits>".
#include <cstdlib>
#include <string>
#include <string_view>

#include "jobs/source_reference.h"

namespace tamso::fuzz {

inline int FuzzSourceReference(std::string_view input) {
  const auto ref = ParseSourceReference(input);
  if (!ref) return 0;
  if (ref->file.empty() || ref->line < 0) std::abort();
  for (unsigned char c : ref->file)
    if (c <= ' ' || c == 0x7f) std::abort();
  const std::size_t at = input.find(ref->file + ":");
  if (at == std::string_view::npos) std::abort();
  // The same text again gives the same reference.
  const auto again = ParseSourceReference(input);
  if (!again || again->file != ref->file || again->line != ref->line) std::abort();
  return 0;
}

}  // namespace tamso::fuzz
