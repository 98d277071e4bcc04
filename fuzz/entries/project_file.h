#pragma once
// Project files: whatever members are read, writing them and reading again gives the
// same members and main file (a line break inside a value is written as a blank, so
// that no value can start a line of its own).
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ini_file.h"
#include "project/project_file.h"

namespace tamso::fuzz {

inline int FuzzProjectFile(std::string_view input) {
  // The file's text in memory: the reading and writing rules are those of a file.
  IniFile file = IniFile::InMemory(std::string(input), "project.jap");
  const ProjectFileMembers first = ReadProjectMembers(file);
  for (const std::string& f : first.files)
    if (f.empty()) std::abort();  // empty values are skipped
  if (!WriteProjectMembers(file, first.files, first.mainFile.empty() ? nullptr : &first.mainFile))
    std::abort();
  auto oneLine = [](std::string s) {
    for (char& c : s)
      if (c == '\r' || c == '\n') c = ' ';
    return s;
  };
  const ProjectFileMembers second = ReadProjectMembers(file);
  if (second.files.size() != first.files.size() || second.mainFile != oneLine(first.mainFile))
    std::abort();
  for (std::size_t i = 0; i < first.files.size(); ++i)
    if (second.files[i] != oneLine(first.files[i])) std::abort();
  return 0;
}

}  // namespace tamso::fuzz
