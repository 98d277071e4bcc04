#pragma once
// Project files: whatever members are read, writing them and reading again gives the
// same members and main file.
#include <cstdlib>
#include <string>
#include <string_view>

#include "project/project_file.h"
#include "scratch_file.h"

namespace tamso::fuzz {

inline int FuzzProjectFile(std::string_view input) {
  const std::string& path = ScratchPath("project.jap");
  WriteScratch(path, input);
  const ProjectFileMembers first = ReadProjectMembers(path);
  for (const std::string& f : first.files)
    if (f.empty()) std::abort();  // empty values are skipped
  if (!WriteProjectMembers(path, first.files, first.mainFile.empty() ? nullptr : &first.mainFile))
    std::abort();
  const ProjectFileMembers second = ReadProjectMembers(path);
  if (second.files != first.files || second.mainFile != first.mainFile) std::abort();
  return 0;
}

}  // namespace tamso::fuzz
