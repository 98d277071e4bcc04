#pragma once
// A zip or jar of Java sources, such as the JDK's lib/src.zip. Its central directory
// is read and indexed once when the archive is opened; lookups then cost one hash
// probe. JDK 9 and later keep each source under a module folder
// (java.base/java/lang/String.java), so a relative name is looked up both at the top
// of the archive and under any one top-level folder.
//
// The archive is read through libzip; a damaged or truncated archive fails to open
// or fails to read an entry with a sentence for the user, never more.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct zip;

namespace tamso {

class SourceArchive {
 public:
  ~SourceArchive();
  SourceArchive(const SourceArchive&) = delete;
  SourceArchive& operator=(const SourceArchive&) = delete;

  // Opens and indexes the archive at path; null with a sentence in *error when it is
  // missing, unreadable or not a zip archive.
  static std::unique_ptr<SourceArchive> Open(const std::string& path, std::string* error);
  // The same over bytes held in memory (a test's or the fuzzer's archive).
  static std::unique_ptr<SourceArchive> OpenBytes(std::string bytes, std::string* error);

  // The entry name that holds relative ("java/lang/String.java"): the entry of that
  // name, else the first entry "<folder>/relative" in the archive's order.
  std::optional<std::string> Find(std::string_view relative) const;
  // Reads the whole entry, refusing one larger than maxBytes (by its recorded size or
  // by what it actually inflates to). False with a sentence in *error.
  bool Read(const std::string& name, std::uint64_t maxBytes, std::string& out,
            std::string* error) const;
  std::size_t EntryCount() const { return byName_.size(); }
  // Every entry name, sorted.
  std::vector<std::string> Names() const;

 private:
  SourceArchive() = default;
  static std::unique_ptr<SourceArchive> Index(zip* archive, std::unique_ptr<std::string> bytes);

  zip* zip_ = nullptr;
  std::unique_ptr<std::string> bytes_;  // the bytes of an archive opened from memory
  mutable std::mutex mutex_;            // libzip handles are not safe to share between threads
  std::unordered_map<std::string, std::uint64_t> byName_;
  std::unordered_map<std::string, std::uint64_t> underFolder_;  // name after the first "/"
};

// An archive with more entries than this is not indexed (its index alone would take
// hundreds of megabytes).
inline constexpr std::uint64_t kMostArchiveEntries = 4'000'000;

// The archive at path, indexed once per run: later calls for the same file (same
// device, inode, size and modification time) return the same index. Null with a
// sentence in *error when it cannot be opened. Waits for an index being built.
std::shared_ptr<const SourceArchive> CachedSourceArchive(const std::string& path,
                                                         std::string* error);

// The same without waiting, for the window's thread: the index when it is built;
// else null with *indexing set, after starting to build it on a thread of its own
// (once per file). With *indexing set, whenDone (if given) runs on that thread once
// the index is built or has failed; otherwise it is dropped.
std::shared_ptr<const SourceArchive> SourceArchiveNow(const std::string& path, std::string* error,
                                                      bool* indexing,
                                                      std::function<void()> whenDone = {});

}  // namespace tamso
