#pragma once
// Finding the files of a project below a folder: every Java, HTML and Perl file,
// skipping hidden folders and build output, never following a folder twice (so a
// link that points back up ends), and bounded.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tamso {

// A folder scan stops after this many files.
inline constexpr std::size_t kFolderScanLimit = 20000;

struct FolderScan {
  std::vector<std::string> files;  // full paths, sorted
  bool truncated = false;          // the limit was reached; more files may follow
  bool cancelled = false;          // the progress callback asked to stop
  std::string error;               // the folder itself could not be read ("" none)
};

// True for the files a project takes from a folder: ".java", ".html", ".htm", ".pl"
// (any letter case).
bool IsProjectSourceName(std::string_view name);

// Told the files found and the folders read so far, after each folder; false stops
// the scan (what was found so far is kept).
using ScanProgress = std::function<bool(std::size_t files, std::size_t folders)>;

// Walks folder. Folders whose name begins with '.', the folders in skip (full paths,
// compared after resolving links) and, directly below folder, the usual output folders
// "out", "target", "build" and "bin" are left out. Links to folders are followed once.
// The file system's root is not walked (error says so).
FolderScan ScanProjectFolder(const std::string& folder, const std::vector<std::string>& skip = {},
                             std::size_t limit = kFolderScanLimit,
                             const ScanProgress& progress = {});

// The text a progress window shows for a scan: "1234 files found in 56 folders".
std::string ScanCountText(std::size_t files, std::size_t folders);

// True when Java source text declares a main method ("void main(" outside comments,
// strings and character literals).
bool DeclaresMainMethod(std::string_view source);

}  // namespace tamso
