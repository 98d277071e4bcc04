#pragma once
// The "What's Cool" tips: one tip at a time from the plain-text file tips.txt, one
// tip a line. Lines that begin with a tab, a blank or ';', and empty lines, are
// skipped. The profile's "WhatsCool" section remembers where reading stopped
// ("FilePos", a byte offset), the file's modification time when it did
// ("TimeStamp", so that a changed file starts again at its first tip) and whether
// the tips are offered at start-up ("StartUp": 0 yes, 1 no).
//
// Every reader moves on by one tip when it is made, whether or not it is shown, and
// stores its position when it goes.

#include <ctime>
#include <string>
#include <string_view>

namespace tamso {

class IniFile;

inline constexpr const char* kTipsFileName = "tips.txt";
inline constexpr const char* kNoTipsFileText =
    "Tips file does not exist in the prescribed directory";
inline constexpr const char* kTipsTroubleText = "Trouble reading the tips file";
inline constexpr const char* kNoTipsText = "The tips file holds no tips.";

// A time in the 24-character form "Wed Dec  9 04:20:29 2026" (local time).
std::string TimeStampText(std::time_t t);

// tips.txt as the data files are found (user folder, installed data, build tree,
// current directory); "" when there is none.
std::string FindTipsFile();

// Whether the profile asks for the tips at start-up (its "Show on StartUp" box).
bool TipsShownAtStartUp(const IniFile& profile);

class TipsReader {
 public:
  // Reads the file (path "" means there is none) and the first tip at once.
  TipsReader(IniFile& profile, std::string path);
  ~TipsReader();
  TipsReader(const TipsReader&) = delete;
  TipsReader& operator=(const TipsReader&) = delete;

  // The "Show on StartUp" box as the profile has it.
  bool ShowAtStartUp() const { return showAtStartUp_; }
  // Whether there is a tips file to step through ("Next Item" is enabled).
  bool HasFile() const { return open_; }
  bool Missing() const { return missing_; }
  // The tip shown, without its line end (or the reason there is none).
  const std::string& Tip() const { return tip_; }
  // The next tip; after the last one the first again.
  void Next();
  // "Close": remembers whether to offer the tips at start-up.
  void Close(bool showAtStartUp);

  // The byte offset of the next line to read.
  std::size_t Position() const { return pos_; }

 private:
  IniFile& profile_;
  std::string path_;
  std::string bytes_;
  std::string tip_;
  std::size_t pos_ = 0;
  bool showAtStartUp_ = true;
  bool open_ = false;
  bool missing_ = false;
};

}  // namespace tamso
