#pragma once
// How a text is laid out on printed pages: a fixed-pitch grid of columns and rows,
// tabs expanded as on screen, lines longer than the row wrapped onto further rows,
// an optional line-number gutter on the first row of each line.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tamso {

class ILineSource;

// The least distance of printed text from the paper's edges.
inline constexpr double kMinPrintMarginMm = 15.0;

struct PrintGeometry {
  int columns = 80;  // text cells per row, not counting the gutter
  int rows = 60;     // rows per page, not counting the header
  int tabWidth = 8;  // as the editor expands tabs
  bool lineNumbers = false;
  int numberBase = 0;  // the number printed for the first line, as the editor shows it
};

// One printed row: the bytes [begin, end) of a line. Cell positions are the display
// columns of the characters minus startColumn.
struct PrintRow {
  int line = 0;
  int begin = 0;
  int end = 0;
  int startColumn = 0;
  bool continuation = false;  // not the first row of its line
};

class PrintLayout {
 public:
  // Lays the text out; geometry values below 1 are taken as 1.
  PrintLayout(const ILineSource& text, PrintGeometry geometry);

  int PageCount() const { return static_cast<int>(pageStarts_.size()); }
  // The rows of a 0-based page.
  const PrintRow* PageBegin(int page) const;
  const PrintRow* PageEnd(int page) const;
  const PrintGeometry& Geometry() const { return geometry_; }
  // Cells of the line-number gutter (0 without line numbers).
  int GutterCells() const { return gutterCells_; }

  // "Page 2 of 5".
  static std::string PageText(int page, int pageCount);
  // The line number as the gutter on screen shows it (from the number base),
  // right-aligned in cells - 1.
  std::string LineNumberText(int line) const;

 private:
  PrintGeometry geometry_;
  int gutterCells_ = 0;
  std::vector<PrintRow> rows_;
  std::vector<size_t> pageStarts_;
};

// The PDF file offered for printing a document to a file: the document's name with
// ".pdf" in place of its extension, beside it; a document that has no file of its
// own (a new one, or one read out of an archive) gets its title's name in
// fallbackDir.
std::string PrintFileName(const std::string& documentPath, const std::string& title,
                          const std::string& fallbackDir);

// The display column after each character of a row, for painting: calls cell(index,
// column, width) for each character of the row with its cell column relative to the
// row and its width in cells (a tab spans to its stop, clipped to the row).
template <class F>
void ForEachCell(std::string_view line, const PrintRow& row, int tabWidth, int columns, F cell);

}  // namespace tamso

#include <algorithm>

#include "editor/text_cells.h"

namespace tamso {

template <class F>
void ForEachCell(std::string_view line, const PrintRow& row, int tabWidth, int columns, F cell) {
  int col = row.startColumn;
  for (size_t i = static_cast<size_t>(row.begin); i < static_cast<size_t>(row.end);) {
    const size_t n = CharLength(line, i);
    const int next = NextColumn(line[i], col, tabWidth);
    int x = col - row.startColumn;
    int w = std::min(next, row.startColumn + columns) - col;
    if (w > 0) cell(i, x, w);
    col = next;
    i += n;
  }
}

}  // namespace tamso
