#pragma once
// A scratch file for the file-based targets, in memory-backed storage when there is
// one: written afresh for every input.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace tamso::fuzz {

// The directory goes with the process.
struct ScratchDir {
  ScratchDir() {
    std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    path = base + "/tamso-fuzz-XXXXXX";
    if (!::mkdtemp(path.data())) std::abort();
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string path;
};

inline const std::string& ScratchPath(const char* name) {
  static const ScratchDir dir;
  static thread_local std::string path;
  path = dir.path + "/" + name;
  return path;
}

// A new file under the name for every input (written beside it and renamed over it,
// so that readers keyed on the file's identity see a new file), without the flushes
// and attribute copies of a user's save, which would slow the run a hundredfold.
inline void WriteScratch(const std::string& path, std::string_view bytes) {
  const std::string side = path + ".new";
  const int fd = ::open(side.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) std::abort();
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) std::abort();
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0 || ::rename(side.c_str(), path.c_str()) != 0) std::abort();
}

}  // namespace tamso::fuzz
