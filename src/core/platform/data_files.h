#pragma once
// Where the program's data files (skeletons, tips) are found. A name holding a '/'
// is a path and is used as it is; a bare name is looked for, in order, in the
// user's configuration folder ($XDG_CONFIG_HOME/tamso, else ~/.config/tamso), the
// installed data folder (<prefix>/share/tamso), the data folder of the source tree
// the program was built from (a build-tree run), the current directory and the
// directories of PATH. Only regular files count.

#include <string>
#include <string_view>
#include <vector>

namespace tamso {

struct DataFileDirs {
  std::vector<std::string> dirs;  // searched in this order for a bare name
  std::string userDir;            // the user's own folder (also first in dirs), or ""
  std::string home;               // the home folder, for showing paths with "~"
};

// The search order for this process: from the environment, the current directory
// and the folders the program was built and installed with.
DataFileDirs DataFileDirsFromEnvironment();
// The search order from given parts; an empty part is skipped.
DataFileDirs MakeDataFileDirs(std::string_view xdgConfigHome, std::string_view home,
                              std::string_view installedDir, std::string_view buildTreeDir,
                              std::string_view currentDir, std::string_view pathEnv);

// The file the name refers to, or "" when there is none. A name with a '/' is
// returned as it is when it names a regular file (relative to the current directory).
std::string FindDataFile(std::string_view name, const DataFileDirs& dirs);

// The folder where the user's own copies go ($XDG_CONFIG_HOME/tamso or ~/.config/tamso).
std::string UserDataDir(std::string_view xdgConfigHome, std::string_view home);

// The path as the user knows it: "~" for the home folder at its start.
std::string PathForUser(std::string_view path, std::string_view home);

}  // namespace tamso
