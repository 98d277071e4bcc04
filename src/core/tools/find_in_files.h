#pragma once
// Find in files (Tools -> "Find in Files..."): the dialog's settings in section
// "Searcher" of the profile, the checks of Search Now, and the search itself, which
// runs on a worker thread while its hits stream into the output window. The build
// slot holds the running search, so Stop Building ends it and a compile waits for it.

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "jobs/build_job.h"
#include "tools/file_search.h"

namespace tamso {

class IHost;
class IniFile;

inline constexpr const char* kFindCaption = "Find in files   ( fgrep )";
inline constexpr const char* kFindHeading = "Tamso for Java(TM";
inline constexpr const char* kNoHits = "No hits";
inline constexpr const char* kDblClickHint = "Dbl-Click on line numbers to go to the source";

struct FindSettings {
  std::string text = "?";
  std::string directory;
  std::string filter = "*.java";
  bool recurse = false;
};

// The starting directory offered when none is stored: the open project's directory,
// else the home directory.
std::string DefaultSearchDirectory(const std::string& projectDir, const std::string& home);

FindSettings LoadFindSettings(const IniFile& profile, const std::string& defaultDirectory);
void SaveFindSettings(IniFile& profile, const FindSettings& settings);

// "Files scanned %d, hits: %d", and the line about what could not be read ("" when
// everything could).
std::string TotalsLine(const SearchTotals& totals);
std::string UnreadableLine(const SearchTotals& totals);

// How far a running search has come, for the dialog's progress line.
struct FindProgress {
  int files = 0;
  int hits = 0;
};

class FindInFiles {
 public:
  FindInFiles(IHost& host, IniFile& profile, IBuildSlot& slot, IUiThread& ui);
  // A search still running is ended and waited for.
  ~FindInFiles();
  FindInFiles(const FindInFiles&) = delete;
  FindInFiles& operator=(const FindInFiles&) = delete;

  // Search Now with the dialog's values: stores them, checks them (a message and false
  // when one is missing or a build runs), writes the heading and starts the search.
  // progress is called now and then, finished once with whether there were hits
  // (after the totals, the hint or "No hits"); both on the user-interface thread, and
  // neither once the search was stopped.
  bool SearchNow(const FindSettings& controls, bool verbose,
                 std::function<void(const FindProgress&)> progress,
                 std::function<void(bool anyHits)> finished);
  bool Running() const;
  // The dialog's Stop: ends the search, writes the totals so far and
  // "Terminated at user request.".
  void Stop();

 private:
  class Job;
  IHost& host_;
  IniFile& profile_;
  IBuildSlot& slot_;
  IUiThread& ui_;
  std::shared_ptr<Job> job_;
};

}  // namespace tamso
