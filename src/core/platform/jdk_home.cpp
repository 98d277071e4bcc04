#include "platform/jdk_home.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "platform/paths.h"

namespace tamso {

std::string JdkHomeOnPath(std::string_view pathEnv) {
  for (std::size_t pos = 0; pos <= pathEnv.size();) {
    std::size_t colon = pathEnv.find(':', pos);
    if (colon == std::string_view::npos) colon = pathEnv.size();
    const std::string dir(pathEnv.substr(pos, colon - pos));
    pos = colon + 1;
    if (dir.empty() || !paths::IsAbsolute(dir)) continue;
    const std::string javac = paths::Join(dir, "javac");
    struct stat st {};
    if (::stat(javac.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    char* real = ::realpath(javac.c_str(), nullptr);
    if (!real) continue;
    const std::string resolved(real);
    std::free(real);
    return paths::Directory(paths::Directory(resolved));
  }
  return {};
}

}  // namespace tamso
