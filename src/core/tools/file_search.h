#pragma once
// The search behind find in files: walks a directory (optionally all of it) and
// lists the lines of the files matching a wildcard that contain a text.
//
//  - Order: with recursion, a directory's subdirectories come first, depth first,
//    in name order, then its own files in name order. Directories whose names begin
//    with a dot are not entered; the filter applies to files only.
//  - A directory reached twice (a loop of symbolic links) is searched once.
//  - Lines end at LF, CR LF or a lone CR, as the editor counts them, so a hit's line
//    number is the editor's; lines of any length are searched whole, the last line
//    without a line end too. A line with several occurrences is one hit.
//  - A file with a NUL byte in its first 8 KB is binary: one "Binary file %s matches"
//    line instead of its lines.
//  - Files and directories that cannot be read are counted and skipped; so are
//    pipes, sockets and devices, which are never opened.
//
// Files are read in large blocks into one reused buffer and scanned with vector
// compares (a block without a hit costs little more than the read).

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

namespace tamso {

struct SearchOptions {
  std::string text;
  std::string directory;
  std::string filter = "*.java";
  bool recurse = false;
  bool verbose = false;  // a "Scanning...<path>" line for every file
};

struct SearchTotals {
  int files = 0;            // files scanned (one that could not be read counts too)
  int hits = 0;             // lines that hold the text (a binary file that does: one)
  int unreadableFiles = 0;  // files that could not be read
  int unreadableDirs = 0;   // directories that could not be listed
};

// Where the search writes: output text, each line with its line break first, and a
// call after every file.
class ISearchSink {
 public:
  virtual ~ISearchSink() = default;
  virtual void Write(std::string_view text) = 0;
  virtual void FileDone(const SearchTotals& totals) { (void)totals; }
};

// Wildcard match of a file name: '*' any run, '?' one byte; "*.*" and "*" match
// every name. Letter case counts, as it does in file names here.
bool MatchesFilter(std::string_view name, std::string_view filter);

// Runs the whole search; returns early (with the totals so far) once *cancel is set.
SearchTotals SearchFiles(const SearchOptions& options, ISearchSink& sink,
                         const std::atomic<bool>* cancel = nullptr);

// Lines longer than this show only the part around the hit, marked with "...".
inline constexpr size_t kShownLineBytes = 8192;

// For tests and the benchmark: the first occurrence of needle in the bytes, and the
// number of bytes c among n.
const char* FindText(const char* hay, size_t n, std::string_view needle);
size_t CountByte(const char* p, size_t n, char c);

}  // namespace tamso
