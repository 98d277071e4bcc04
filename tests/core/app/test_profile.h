#pragma once
// A profile file in a fresh temporary directory, removed with the fixture.

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ini_file.h"

namespace tamso::testing {

class TempProfile {
 public:
  TempProfile() {
    char tmpl[] = "/tmp/tamso-app-XXXXXX";
    dir_ = mkdtemp(tmpl);
    ini_ = std::make_unique<IniFile>(dir_ + "/tamso.INI");
  }
  ~TempProfile() { std::filesystem::remove_all(dir_); }
  IniFile& ini() { return *ini_; }
  const std::string& dir() const { return dir_; }
  std::string Read() const {
    std::ifstream in(ini_->Path());
    return {std::istreambuf_iterator<char>(in), {}};
  }
  void Write(const std::string& text) { std::ofstream(ini_->Path()) << text; }
  bool Exists() const { return std::filesystem::exists(ini_->Path()); }

 private:
  std::string dir_;
  std::unique_ptr<IniFile> ini_;
};

}  // namespace tamso::testing
