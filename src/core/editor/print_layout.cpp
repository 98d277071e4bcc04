#include "editor/print_layout.h"

#include <algorithm>

#include "editor/editor_settings.h"
#include "editor/text_cells.h"
#include "lang/language.h"
#include "platform/paths.h"

namespace tamso {

PrintLayout::PrintLayout(const ILineSource& text, PrintGeometry geometry) : geometry_(geometry) {
  geometry_.columns = std::max(1, geometry_.columns);
  geometry_.rows = std::max(1, geometry_.rows);
  geometry_.tabWidth = std::max(1, geometry_.tabWidth);
  const int lines = text.LineCount();
  gutterCells_ = GutterCellsFor(geometry_.lineNumbers, lines, geometry_.numberBase);
  rows_.reserve(static_cast<size_t>(lines));
  for (int line = 0; line < lines; ++line) {
    std::string_view s = text.Line(line);
    PrintRow row{line, 0, 0, 0, false};
    int col = 0;
    size_t i = 0;
    while (i < s.size()) {
      const size_t n = CharLength(s, i);
      const int next = NextColumn(s[i], col, geometry_.tabWidth);
      // A character that would cross the right edge starts the next row (unless the
      // row is empty, when it is clipped: a tab wider than the whole row).
      if (next - row.startColumn > geometry_.columns && static_cast<int>(i) > row.begin) {
        row.end = static_cast<int>(i);
        rows_.push_back(row);
        row = PrintRow{line, static_cast<int>(i), 0, col, true};
      }
      col = next;
      i += n;
    }
    row.end = static_cast<int>(s.size());
    rows_.push_back(row);
  }
  for (size_t r = 0; r < rows_.size(); r += static_cast<size_t>(geometry_.rows))
    pageStarts_.push_back(r);
  // An empty text still prints one (empty) page.
  if (pageStarts_.empty()) pageStarts_.push_back(0);
}

const PrintRow* PrintLayout::PageBegin(int page) const {
  return rows_.data() + pageStarts_.at(static_cast<size_t>(page));
}

const PrintRow* PrintLayout::PageEnd(int page) const {
  size_t next = static_cast<size_t>(page) + 1;
  return rows_.data() + (next < pageStarts_.size() ? pageStarts_[next] : rows_.size());
}

std::string PrintLayout::PageText(int page, int pageCount) {
  return "Page " + std::to_string(page + 1) + " of " + std::to_string(pageCount);
}

std::string PrintLayout::LineNumberText(int line) const {
  std::string n = std::to_string(line + geometry_.numberBase);  // as the gutter on screen
  const int width = gutterCells_ - 1;
  if (static_cast<int>(n.size()) < width) n.insert(0, static_cast<size_t>(width) - n.size(), ' ');
  return n;
}

std::string PrintFileName(const std::string& documentPath, const std::string& title,
                          const std::string& fallbackDir) {
  if (!documentPath.empty() && paths::IsAbsolute(documentPath)) {
    const std::string dir = paths::Directory(documentPath);
    if (paths::IsDirectory(dir)) return paths::Join(dir, paths::BaseName(documentPath) + ".pdf");
  }
  // A title may name an archive member ("src.zip!/java.base/.../String.java"): only its
  // last part names the file.
  std::string name = paths::BaseName(paths::FileName(title));
  if (name.empty()) name = "print";
  return paths::Join(fallbackDir, name + ".pdf");
}

}  // namespace tamso
