#pragma once
// Printing a source text: the editor's font and colours (or black on white), the
// line-number gutter when the editor shows one, a header with the file name and
// "Page n of m" on every page, tabs as on screen and long lines wrapped.

#include <QString>
#include <functional>

#include "editor/print_layout.h"

class QPrinter;

namespace tamso {
class CLineStore;
class IniFile;
}  // namespace tamso

namespace tamso::gui {

struct PrintOptions {
  QString title;  // the file name in the header
  bool blackOnWhite = false;
  bool lineNumbers = false;
};

// The grid a page of this printer holds with the editor's font.
PrintGeometry PrintGeometryFor(QPrinter& printer, const IniFile& profile, bool lineNumbers);

// Called before each page with the 0-based page and the page count; false cancels.
using PrintProgress = std::function<bool(int page, int pageCount)>;

// Paints the text onto the printer (its page range is honoured). False when cancelled
// or when the printer could not be started (*error then says why).
bool PaintText(QPrinter& printer, const CLineStore& store, const IniFile& profile,
               const PrintOptions& options, const PrintProgress& progress, QString* error);

// As PaintText, but a PDF file is written under a temporary name beside the target and
// renamed over it only when complete: a cancelled or failed print leaves any old file
// as it was and no debris.
bool PrintText(QPrinter& printer, const CLineStore& store, const IniFile& profile,
               const PrintOptions& options, const PrintProgress& progress, QString* error);

}  // namespace tamso::gui
