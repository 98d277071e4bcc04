#pragma once
// A class source copied out of an archive, shown as a document of its own.

#include <string>

namespace tamso::gui {

class MainWindow;

// Opens the copy at path as a document called title ("src.zip!/java.base/...") that
// belongs to no file: saving it asks for a new name, and it does not enter the
// recent-file list. A document of that title already open is brought to the front.
bool OpenArchiveCopy(MainWindow& main, const std::string& path, const std::string& title);

}  // namespace tamso::gui
