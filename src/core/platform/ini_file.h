#pragma once
// An initialisation file of [sections] and key=value lines, with the classic
// private-profile semantics:
//  - section and key names match without regard to letter case;
//  - values (and names) are trimmed of blanks;
//  - a new section is appended at the end of the file, a new key at the end of its section;
//  - every read goes to the file as it is now (an outside edit shows at the next read);
//    the text is read again only when the file's identity, size or times changed since
//    the last read, so many reads in a row read the file once;
//  - the file is created by the first write, and every write is atomic (a temporary
//    file beside it, renamed over it), so a crash mid-write leaves the old file whole;
//  - lines the store does not understand are kept as they are when the file is rewritten.
//  - a value that reading would change (blanks at either end, enclosing quotes) is
//    written in double quotes, so every value reads back as it was written.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tamso {

class IniFile {
 public:
  explicit IniFile(std::string path);
  // A store whose text is kept in memory instead of in a file, with the same reading
  // and writing rules (for checking those rules without a file system). A write
  // replaces the text; Path() is only a name.
  static IniFile InMemory(std::string text, std::string name = "memory.INI");
  // The text of an in-memory store.
  const std::string& MemoryText() const { return memory_; }

  const std::string& Path() const { return path_; }
  void SetPath(std::string path) {
    path_ = std::move(path);
    cache_.reset();
  }

  // A file larger than this is not read: it reads as missing, and writes fail
  // without touching it.
  void SetSizeLimit(std::uint64_t bytes) { sizeLimit_ = bytes; }
  // How many times the file's bytes were read from the disk (reads answered from the
  // text already read do not count).
  std::size_t DiskReads() const { return diskReads_; }

  // The value of section/key, or def when the file, section or key is missing.
  std::string GetString(std::string_view section, std::string_view key, std::string_view def) const;
  // Reads the value as the classic GetPrivateProfileInt does: leading blanks are
  // skipped, an optional '-' is taken, then decimal digits up to the first other
  // character ("12abc" gives 12, "-5" gives -5, " 7 " gives 7); a value that starts
  // with no digit ("abc") gives 0; a missing key gives def.
  int GetInt(std::string_view section, std::string_view key, int def) const;
  // Yes/no with the general rule: anything but exactly "N" is yes; missing is "N".
  bool GetYesNo(std::string_view section, std::string_view key) const;

  // Writes return false when the file could not be written (the old file is then untouched).
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInt(std::string_view section, std::string_view key, int value);
  bool WriteYesNo(std::string_view section, std::string_view key, bool yes);
  // Writing a string with no value: the key goes.
  bool RemoveKey(std::string_view section, std::string_view key);
  // Writing a string with no key: the whole section goes.
  bool RemoveSection(std::string_view section);

  // Removes the section (every section of the name) and appends it anew at the end with these keys,
  // in one atomic write: what removing a section and writing its keys one by one gives, without a
  // rewrite of the file per key. With also, that key is then set as WriteString sets it, in the
  // same write. When the result has the same bytes as the file, nothing is written.
  struct SetAlso {
    std::string_view section, key, value;
  };
  bool ReplaceSection(std::string_view section,
                      const std::vector<std::pair<std::string, std::string>>& entries,
                      const SetAlso* also = nullptr);

  // Called with a sentence for the user whenever a write fails (the program goes
  // on with what it has; the caller decides whether and how often to tell the user).
  void SetWriteFailureHandler(std::function<void(const std::string& error)> handler) {
    onWriteFailure_ = std::move(handler);
  }

  // Every key of the section with its value (read as GetString reads it), in file
  // order, in one read of the file: for sections of thousands of keys, where a read
  // per key would read the file thousands of times. Only the first section of the
  // name counts; a key named twice appears twice.
  std::vector<std::pair<std::string, std::string>> ReadSection(std::string_view section) const;
  // ReadSection for each name, from one read of the file.
  std::vector<std::vector<std::pair<std::string, std::string>>> ReadSections(
      const std::vector<std::string_view>& sections) const;

  // Names as they stand in the file, in file order.
  std::vector<std::string> Sections() const;
  std::vector<std::string> Keys(std::string_view section) const;

 private:
  bool Done(const struct WriteOutcome& outcome);
  // The file's text; null when it is missing, unreadable or too large.
  std::shared_ptr<const std::string> ReadText() const;
  // The text to update: a missing file is an empty one; false when it exists but
  // cannot be read.
  bool LoadForUpdate(std::string& text) const;
  struct WriteOutcome Store(const std::string& text);
  bool Exists() const;
  std::optional<std::string> Lookup(std::string_view section, std::string_view key) const;
  struct WriteOutcome Modify(std::string_view section, std::string_view key, std::string_view value,
                             int op);

  std::string path_;
  bool inMemory_ = false;
  std::string memory_;
  std::function<void(const std::string&)> onWriteFailure_;
  std::uint64_t sizeLimit_;
  // The text last read and the file it was read from (shared by copies: never changed).
  struct CachedText;
  mutable std::shared_ptr<const CachedText> cache_;
  mutable std::size_t diskReads_ = 0;
};

}  // namespace tamso
