// The whole text of a line store at once: a reload as one undo step, and the text
// joined for saving.

#include <string>
#include <string_view>

#include "editor/line_store.h"

namespace tamso {

void CLineStore::ReplaceAllText(std::string_view bytes) {
  const LineSplit split = SplitLines(bytes, [](std::string_view) {});
  // A final line end adds no empty line, as in SetText.
  std::string_view body = bytes;
  if (body.ends_with("\r\n"))
    body.remove_suffix(2);
  else if (body.ends_with('\n') || body.ends_with('\r'))
    body.remove_suffix(1);
  BeginCompoundEdit();
  SelectAll();
  ReplaceSelection(body);
  EndCompoundEdit();
  loadedEnds_ = split.sawCrLf ? LineEnds::kCrLf
                : split.sawLf ? LineEnds::kLf
                : split.sawCr ? LineEnds::kCr
                              : LineEnds::kNone;
  finalLineEnd_ = split.finalLineEnd;
  SetSelection(0, 0);
}

std::string CLineStore::JoinedText(std::string_view eol, bool finalEol) const {
  std::size_t total = 0;
  for (const auto& l : lines_) total += l.size + eol.size();
  std::string out;
  out.reserve(total);
  for (const auto& l : lines_) {
    out.append(l.data, l.size);
    out.append(eol);
  }
  if (!finalEol) out.resize(out.size() - eol.size());
  return out;
}

}  // namespace tamso
