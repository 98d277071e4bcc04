#pragma once
// Recovery journals: the text of every modified document, kept under
// $XDG_STATE_HOME/tamso/recovery/ (folder 0700, files 0600) while it has unsaved
// edits, so that a crash, a kill or a power cut loses at most the last moments of
// typing. A journal names the process that wrote it (pid and start time, so a reused
// pid is not mistaken for it) and the profile it ran with; a clean exit removes the
// process's journals. At the next start, the journals of runs that are gone and used
// the same profile are offered back; a running instance's journals are never taken.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "editor/edit_log.h"
#include "platform/file_identity.h"

namespace tamso {

struct JournalHeader {
  long pid = 0;
  std::uint64_t startTime = 0;  // the process's start time in clock ticks since boot
  std::string instanceKey;      // the profile the run used
  std::string path;             // the document's file, "" for a new document
  std::string title;            // "Java1" for a new one
  int templateIndex = 0;        // the document's kind
  // The file as the document last read or wrote it: at recovery, a file that differs
  // from it was changed by another program after the crash.
  FileIdentity disk = {};
  // How Save writes the lines: the line end, and whether the last line gets one.
  std::string eol = "\n";
  bool finalLineEnd = true;
};

struct Journal {
  std::string file;  // the journal's own path
  JournalHeader header;
  std::string text;  // the document's bytes as Save would write them
};

// $XDG_STATE_HOME/tamso/recovery, else ~/.local/state/tamso/recovery ("" without both).
std::string DefaultRecoveryDir(std::string_view xdgStateHome, std::string_view home);
// The folder journals are kept in: preferred when it can be made (0700, ours alone,
// writable), else the first fallback that can; "" when none can. When preferred
// cannot be used, *warning says so once, naming it and where journals go instead.
std::string ChooseRecoveryDir(const std::string& preferred,
                              const std::vector<std::string>& fallbacks, std::string* warning);
// Places to keep journals when the usual one cannot be made: the runtime folder,
// then a folder of this user's under /tmp.
std::vector<std::string> RecoveryDirFallbacks(std::string_view xdgRuntimeDir);

// The start time of a running process (field 22 of /proc/<pid>/stat), 0 when gone.
std::uint64_t ProcessStartTime(long pid);

// A journal holding the whole text as Save would write it.
std::string EncodeJournal(const JournalHeader& header, std::string_view text);
// A journal of a base text (split into lines as a loaded file is) and edits since.
std::string EncodeEditJournal(const JournalHeader& header, std::string_view base,
                              const std::vector<TextEdit>& edits);
// One record appended to an edit journal: the header as it is now and the edits
// since the last record. A record cut short by a crash is ignored when read.
std::string EncodeJournalRecord(const JournalHeader& header, std::span<const TextEdit> edits);
// Either kind; an edit journal's text is its base with every whole record applied.
// Nothing for a damaged or cut-short whole-text journal or edit journal's base.
std::optional<Journal> DecodeJournal(std::string_view bytes);

// "Tamso did not exit cleanly..." for the journals found at start-up.
std::string RecoveryQuestion(const std::vector<Journal>& journals);

// Whether the journal's file was changed by another program after the journal was
// written: the recovered text then goes over a newer file, and the user chooses.
bool ChangedSinceJournal(const Journal& journal);
// The reload-or-keep question for such a file.
std::string ChangedSinceJournalQuestion(const std::string& path);

class RecoveryStore {
 public:
  // An empty dir keeps no journals at all.
  RecoveryStore(std::string dir, std::string instanceKey);
  ~RecoveryStore();
  RecoveryStore(const RecoveryStore&) = delete;
  RecoveryStore& operator=(const RecoveryStore&) = delete;

  bool Enabled() const { return !dir_.empty(); }
  const std::string& Dir() const { return dir_; }

  // Queues the document's text to be written on the store's own thread (a newer
  // text of the same document replaces one not yet written). The write is atomic.
  void Keep(std::uint64_t docId, JournalHeader header, std::string text);
  // Queues a document's changes since the last call (a new base first when the text
  // was replaced whole). While it is modified its journal is on disk: the base is
  // written once, then each call appends its edits; now and then, when the edits
  // have grown, the journal is rewritten whole, all on the store's own thread. Not
  // modified, the journal goes but the changes are still followed for the next one.
  void Record(std::uint64_t docId, JournalHeader header, EditLog::Batch changes, bool modified);
  // Queues the removal of the document's journal (saved, closed, or no longer modified).
  void Drop(std::uint64_t docId);
  // Waits until everything queued is on disk.
  void Flush();
  // A clean exit: every journal of this process goes.
  void DropAll();

  // Journals of earlier runs with this profile whose process is gone, oldest first.
  // Only plain files owned by this user, in a folder of this user's alone (mode 0700)
  // are taken.
  std::vector<Journal> Stale() const;
  // Removes a journal found by Stale (recovered or discarded).
  static void Discard(const Journal& journal);

  // The journal file of a document of this process.
  std::string JournalFile(std::uint64_t docId) const;

 private:
  enum class TaskKind { kWhole, kEdits, kDrop };
  struct Task {
    std::uint64_t docId;
    TaskKind kind;
    JournalHeader header;
    std::string text;
    EditLog::Batch changes;
    bool modified = false;
  };
  // What the store's thread knows of a document followed through Record.
  struct Followed {
    BaseText base;
    std::vector<TextEdit> edits;  // since base
    std::uint64_t editBytes = 0;
    bool onDisk = false;  // the journal holds base and every edit
  };
  void Run();
  void Perform(Task& task);
  void PerformEdits(Task& task);
  void Stamp(JournalHeader& header) const;

  std::string dir_;
  std::string instanceKey_;
  long pid_;
  std::uint64_t startTime_;
  std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::deque<Task> queue_;
  std::map<std::uint64_t, Followed> followed_;  // the store's thread alone
  bool busy_ = false;
  bool stop_ = false;
  std::thread worker_;
};

}  // namespace tamso
