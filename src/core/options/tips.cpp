#include "options/tips.h"

#include <sys/stat.h>

#include <climits>
#include <cstdio>

#include "platform/data_files.h"
#include "platform/file_read.h"
#include "platform/ini_file.h"

namespace tamso {

namespace {

constexpr const char* kSection = "WhatsCool";
// A tips file is a page of text; anything this big is not one.
constexpr std::uint64_t kTipsReadLimit = 16u << 20;

bool Skipped(char first) {
  return first == '\t' || first == ' ' || first == ';' || first == '\n' || first == '\r';
}

}  // namespace

std::string TimeStampText(std::time_t t) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm tm{};
  if (!::localtime_r(&t, &tm)) return {};
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s %s %2d %02d:%02d:%02d %d", kDays[tm.tm_wday % 7],
                kMonths[tm.tm_mon % 12], tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                tm.tm_year + 1900);
  return buf;
}

std::string FindTipsFile() {
  return FindDataFile(kTipsFileName, DataFileDirsFromEnvironment());
}

bool TipsShownAtStartUp(const IniFile& profile) {
  return profile.GetInt(kSection, "StartUp", 0) == 0;
}

TipsReader::TipsReader(IniFile& profile, std::string path)
    : profile_(profile), path_(std::move(path)) {
  showAtStartUp_ = TipsShownAtStartUp(profile_);
  const int storedPos = profile_.GetInt(kSection, "FilePos", 0);
  std::size_t start = storedPos > 0 ? static_cast<std::size_t>(storedPos) : 0;

  struct stat st {};
  if (path_.empty() || ::stat(path_.c_str(), &st) != 0) {
    missing_ = true;
    tip_ = kNoTipsFileText;
    return;
  }
  std::string error;
  if (!ReadWholeFile(path_, bytes_, &error, kTipsReadLimit)) {
    tip_ = std::string(kTipsTroubleText) + ": " + error;
    return;
  }
  open_ = true;
  const std::string stamp = TimeStampText(st.st_mtime);
  if (profile_.GetString(kSection, "TimeStamp", "") != stamp) {
    start = 0;
    profile_.WriteString(kSection, "TimeStamp", stamp);
  }
  // A stored position inside a line (a file edited within the same second) goes on
  // at the next line rather than showing the rest of one as a tip.
  if (start > 0 && start < bytes_.size() && bytes_[start - 1] != '\n') {
    const std::size_t eol = bytes_.find('\n', start);
    start = eol == std::string::npos ? bytes_.size() : eol + 1;
  }
  pos_ = start;
  Next();
}

TipsReader::~TipsReader() {
  if (open_ && pos_ <= static_cast<std::size_t>(INT_MAX))
    profile_.WriteInt(kSection, "FilePos", static_cast<int>(pos_));
}

void TipsReader::Next() {
  if (!open_) return;
  // At most one pass over the whole file after the first wrap: a file without a
  // single tip line ends the search instead of going round for ever.
  int wraps = 0;
  for (;;) {
    if (pos_ >= bytes_.size()) {
      pos_ = 0;
      if (++wraps > 1 || bytes_.empty()) {
        tip_ = kNoTipsText;
        return;
      }
    }
    const std::size_t eol = bytes_.find('\n', pos_);
    const std::size_t end = eol == std::string::npos ? bytes_.size() : eol;
    const std::size_t lineStart = pos_;
    pos_ = eol == std::string::npos ? bytes_.size() : eol + 1;
    if (Skipped(bytes_[lineStart])) continue;
    std::size_t textEnd = end;
    while (textEnd > lineStart && bytes_[textEnd - 1] == '\r') --textEnd;
    tip_ = bytes_.substr(lineStart, textEnd - lineStart);
    return;
  }
}

void TipsReader::Close(bool showAtStartUp) {
  showAtStartUp_ = showAtStartUp;
  profile_.WriteInt(kSection, "StartUp", showAtStartUp ? 0 : 1);
}

}  // namespace tamso
