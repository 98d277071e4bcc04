// The whole text of a line store at once: a reload as one undo step, and the text
// joined for saving.

#include <string>
#include <string_view>

#include "editor/line_store.h"

namespace tamso {

void CLineStore::ReplaceAllText(std::string_view bytes) {
  bool sawLf = false, sawCrLf = false, sawCr = false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      sawLf = true;
    } else if (bytes[i] == '\r') {
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
        sawCrLf = true;
        ++i;
      } else {
        sawCr = true;
      }
    }
  }
  // A final line end adds no empty line, as in SetText.
  std::string_view body = bytes;
  bool finalEnd = false;
  if (body.ends_with("\r\n")) {
    body.remove_suffix(2);
    finalEnd = true;
  } else if (body.ends_with('\n') || body.ends_with('\r')) {
    body.remove_suffix(1);
    finalEnd = true;
  }
  BeginCompoundEdit();
  SelectAll();
  ReplaceSelection(body);
  EndCompoundEdit();
  loadedEnds_ = sawCrLf ? LineEnds::kCrLf
                : sawLf ? LineEnds::kLf
                : sawCr ? LineEnds::kCr
                        : LineEnds::kNone;
  finalLineEnd_ = finalEnd;
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
