#include "app/document_tabs.h"

#include <algorithm>

#include "editor/text_cells.h"

namespace tamso {

std::string TabTitle(std::string_view title, std::size_t maxChars) {
  std::vector<std::size_t> starts;  // byte offset of each character
  for (std::size_t i = 0; i < title.size(); i += CharLength(title, i)) starts.push_back(i);
  if (starts.size() <= maxChars || maxChars < 3) return std::string(title);
  const std::size_t keep = maxChars - 1;  // one character goes to the ellipsis
  // The end gets two thirds, or more to keep the file name after the last '/' whole,
  // but the beginning keeps at least one character.
  std::size_t nameChars = 0;
  if (const std::size_t slash = title.rfind('/'); slash != std::string_view::npos)
    for (std::size_t k = starts.size(); k > 0 && starts[k - 1] > slash; --k) ++nameChars;
  const std::size_t tail = std::min(keep - 1, std::max(keep * 2 / 3, nameChars));
  const std::size_t head = keep - tail;
  std::string shown(title.substr(0, starts[head]));
  shown += "\xE2\x80\xA6";
  shown += title.substr(starts[starts.size() - tail]);
  return shown;
}

}  // namespace tamso
