#pragma once
// A most-recent-first list of file paths kept in the profile as "File1".."FileN"
// of one section, shown in a menu in place of its first command id.

#include <string>
#include <vector>

namespace tamso {

class IniFile;

struct RecentMenuEntry {
  std::string text;  // "&1 name", ampersands of the name doubled
  int id;
};

class RecentList {
 public:
  RecentList(int firstId, std::string section, std::string entryFormat, int size,
             int displayLength);

  int FirstId() const { return firstId_; }
  int Capacity() const { return size_; }
  const std::string& Section() const { return section_; }
  int Count() const { return static_cast<int>(paths_.size()); }
  const std::vector<std::string>& Paths() const { return paths_; }
  // The path of entry index (0-based), or "" when there is none.
  std::string At(int index) const;

  // Puts path at the head; an equal entry already in the list moves there.
  void Add(const std::string& path);
  void Remove(int index);

  void ReadList(const IniFile& profile);
  // From now on every change is written to the profile at once (null: no longer), so
  // that a run that ends without a clean exit still leaves the list behind.
  void WriteThrough(IniFile* profile) { writeThrough_ = profile; }
  // Writes the entries; keys of slots beyond the entries are removed.
  bool WriteList(IniFile& profile) const;

  // Menu entries for the list, ids from FirstId().
  std::vector<RecentMenuEntry> MenuEntries() const;
  // The path shortened to the display length: the file name is always kept whole,
  // leading directories give way to "...".
  std::string DisplayName(const std::string& path) const;

 private:
  std::string Key(int index) const;
  int firstId_;
  std::string section_;
  std::string entryFormat_;
  int size_;
  int displayLength_;
  std::vector<std::string> paths_;
  IniFile* writeThrough_ = nullptr;
};

}  // namespace tamso
