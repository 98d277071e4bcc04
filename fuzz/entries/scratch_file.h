#pragma once
// A scratch file for the file-based targets, in memory-backed storage when there is
// one: written afresh for every input.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/atomic_file.h"

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

inline void WriteScratch(const std::string& path, std::string_view bytes) {
  if (!WriteFileAtomically(path, bytes).ok) std::abort();
}

}  // namespace tamso::fuzz
