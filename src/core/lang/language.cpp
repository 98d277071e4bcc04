#include "lang/language.h"

#include "lang/line_tokenizer.h"

namespace tamso {

LineToken Language::NextToken(std::string_view line, std::size_t pos) const {
  return lang_detail::ScanLineToken(line, pos, true,
                                    [this](std::string_view word) { return IsReservedWord(word); });
}

}  // namespace tamso
