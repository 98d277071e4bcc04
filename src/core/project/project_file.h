#pragma once
// Reading and writing a project file's member sections in one pass each.
//
// The member list is read with one read of its section: going key by key would reread
// the file for every key, which is quadratic for a project of thousands of members.

#include <string>
#include <vector>

namespace tamso {

struct ProjectFileMembers {
  // Every non-empty "file<n>" of section "Files" in number order (gaps skipped),
  // exactly as written (backslashes not yet converted).
  std::vector<std::string> files;
  // "Mainfile" of section "Project", or "".
  std::string mainFile;
};

class IniFile;

// A missing, unreadable or non-INI file reads as having no members.
ProjectFileMembers ReadProjectMembers(const std::string& path);
ProjectFileMembers ReadProjectMembers(const IniFile& file);

// Deletes section "Files" and writes the paths as "file1".. "fileN" into a new "Files"
// section at the end of the file (no section when there are none). With a main file,
// "Project"/"Mainfile" is set to it; when "Project" does not exist yet it is created
// after "Files". Every other line stays. False when the file could not be read or
// written (the old file is then untouched).
bool WriteProjectMembers(const std::string& path, const std::vector<std::string>& files,
                         const std::string* mainFile);
bool WriteProjectMembers(IniFile& file, const std::vector<std::string>& files,
                         const std::string* mainFile);

}  // namespace tamso
