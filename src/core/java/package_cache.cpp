#include "java/package_cache.h"

#include <sys/stat.h>

#include <mutex>
#include <unordered_map>

#include "java/java_source.h"
#include "platform/file_read.h"

namespace tamso {

namespace {

// A package line lies near the top; a licence header before it is rarely this long.
constexpr std::size_t kPackageHead = 64 * 1024;
// Beyond this many files the cache starts afresh rather than grow without end.
constexpr std::size_t kMaxEntries = 200000;

struct Entry {
  ino_t inode = 0;  // a save that replaces the file makes a new one
  off_t size = 0;
  timespec modified{};
  std::string package;
};

std::mutex& CacheMutex() {
  static std::mutex m;
  return m;
}

std::unordered_map<std::string, Entry>& Cache() {
  static std::unordered_map<std::string, Entry> cache;
  return cache;
}

bool Same(const Entry& e, const struct stat& st) {
  return e.inode == st.st_ino && e.size == st.st_size && e.modified.tv_sec == st.st_mtim.tv_sec &&
         e.modified.tv_nsec == st.st_mtim.tv_nsec;
}

}  // namespace

std::string DeclaredPackageOf(const std::string& path) {
  struct stat st {};
  const bool known = ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  if (known) {
    std::lock_guard<std::mutex> lock(CacheMutex());
    const auto it = Cache().find(path);
    if (it != Cache().end() && Same(it->second, st)) return it->second.package;
  }
  std::string text;
  std::string package;
  if (ReadFileHead(path, kPackageHead, text)) package = DeclaredPackage(text);
  if (known) {
    std::lock_guard<std::mutex> lock(CacheMutex());
    if (Cache().size() >= kMaxEntries) Cache().clear();
    Cache()[path] = Entry{st.st_ino, st.st_size, st.st_mtim, package};
  }
  return package;
}

void ForgetDeclaredPackages() {
  std::lock_guard<std::mutex> lock(CacheMutex());
  Cache().clear();
}

}  // namespace tamso
