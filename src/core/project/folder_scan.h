#pragma once
// Finding the files of a project below a folder: every Java, HTML and Perl file,
// skipping hidden folders and build output, never following a folder twice (so a
// link that points back up ends), and bounded.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tamso {

// A folder scan stops after this many files.
inline constexpr std::size_t kFolderScanLimit = 20000;

struct FolderScan {
  std::vector<std::string> files;  // full paths, sorted
  bool truncated = false;          // the limit was reached; more files may follow
  std::string error;               // the folder itself could not be read ("" none)
};

// True for the files a project takes from a folder: ".java", ".html", ".htm", ".pl"
// (any letter case).
bool IsProjectSourceName(std::string_view name);

// Walks folder. Folders whose name begins with '.', the folders in skip (full paths,
// compared after resolving links) and, directly below folder, the usual output folders
// "out", "target", "build" and "bin" are left out. Links to folders are followed once.
FolderScan ScanProjectFolder(const std::string& folder, const std::vector<std::string>& skip = {},
                             std::size_t limit = kFolderScanLimit);

// True when Java source text declares a main method ("void main(" outside comments,
// strings and character literals).
bool DeclaresMainMethod(std::string_view source);

}  // namespace tamso
