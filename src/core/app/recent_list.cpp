#include "app/recent_list.h"

#include <algorithm>
#include <cstdio>

#include "platform/ini_file.h"
#include "platform/paths.h"

namespace tamso {

RecentList::RecentList(int firstId, std::string section, std::string entryFormat, int size,
                       int displayLength)
    : firstId_(firstId),
      section_(std::move(section)),
      entryFormat_(std::move(entryFormat)),
      size_(size),
      displayLength_(displayLength) {}

std::string RecentList::At(int index) const {
  if (index < 0 || index >= Count()) return {};
  return paths_[static_cast<size_t>(index)];
}

void RecentList::Add(const std::string& path) {
  if (path.empty()) return;
  auto same = [&](const std::string& p) { return p == path || paths::SameFile(p, path); };
  paths_.erase(std::remove_if(paths_.begin(), paths_.end(), same), paths_.end());
  paths_.insert(paths_.begin(), path);
  if (Count() > size_) paths_.resize(static_cast<size_t>(size_));
  if (writeThrough_) WriteList(*writeThrough_);
}

void RecentList::Remove(int index) {
  if (index < 0 || index >= Count()) return;
  paths_.erase(paths_.begin() + index);
  if (writeThrough_) WriteList(*writeThrough_);
}

std::string RecentList::Key(int index) const {
  char buf[64];
  std::snprintf(buf, sizeof buf, entryFormat_.c_str(), index + 1);
  return buf;
}

void RecentList::ReadList(const IniFile& profile) {
  paths_.clear();
  for (int i = 0; i < size_; ++i) {
    std::string p = profile.GetString(section_, Key(i), "");
    if (!p.empty()) paths_.push_back(p);
  }
}

bool RecentList::WriteList(IniFile& profile) const {
  bool ok = true;
  for (int i = 0; i < size_; ++i) {
    if (i < Count()) {
      ok = profile.WriteString(section_, Key(i), paths_[static_cast<size_t>(i)]) && ok;
    } else if (!profile.GetString(section_, Key(i), "").empty()) {
      ok = profile.RemoveKey(section_, Key(i)) && ok;
    }
  }
  return ok;
}

std::string RecentList::DisplayName(const std::string& path) const {
  const auto limit = static_cast<size_t>(displayLength_);
  if (path.size() <= limit) return path;
  std::string name = paths::FileName(path);
  if (name.size() + 4 >= limit) return name;
  // Keep the root part, then "...", then as many trailing directories as fit.
  std::string head;
  size_t firstSep = path.find('/', 1);
  if (firstSep != std::string::npos) head = path.substr(0, firstSep + 1);
  std::string tail = "/" + name;
  size_t end = path.size() - tail.size();
  while (end > 0) {
    size_t sep = path.rfind('/', end - 1);
    if (sep == std::string::npos || sep < head.size()) break;
    std::string candidate = path.substr(sep);
    if (head.size() + 3 + candidate.size() > limit) break;
    tail = candidate;
    end = sep;
  }
  return head + "..." + tail;
}

std::vector<RecentMenuEntry> RecentList::MenuEntries() const {
  std::vector<RecentMenuEntry> out;
  for (int i = 0; i < Count(); ++i) {
    std::string name;
    for (char c : DisplayName(paths_[static_cast<size_t>(i)])) {
      name += c;
      if (c == '&') name += '&';
    }
    std::string number = i < 9 ? "&" + std::to_string(i + 1) : "1&0";
    out.push_back({number + " " + name, firstId_ + i});
  }
  return out;
}

}  // namespace tamso
