#pragma once
// A fresh directory under $TMPDIR for one test, removed with everything in it.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tamso::testing {

class TempDir {
 public:
  TempDir() {
    std::string base = std::filesystem::temp_directory_path().string() + "/tamso-test-XXXXXX";
    std::vector<char> buf(base.begin(), base.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) std::abort();
    path_ = buf.data();
  }
  ~TempDir() {
    std::error_code ec;
    // Make everything writable again so a test that removed permissions cleans up.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ec);
    }
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

  // Writes bytes exactly (binary) and returns the full path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::string p = File(name);
    std::filesystem::create_directories(std::filesystem::path(p).parent_path());
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
  }

 private:
  std::string path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

}  // namespace tamso::testing
