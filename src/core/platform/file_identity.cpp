#include "platform/file_identity.h"

#include <sys/stat.h>

#include <ctime>

#include "platform/file_read.h"

namespace tamso {

namespace {

// Time stamps of some file systems step by whole seconds or more.
constexpr std::int64_t kDoubtfulNs = 2'000'000'000;

std::int64_t Nanoseconds(const timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

std::int64_t NowNs() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

bool Stat(const std::string& path, FileIdentity& id) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  id.known = true;
  id.device = static_cast<std::uint64_t>(st.st_dev);
  id.inode = static_cast<std::uint64_t>(st.st_ino);
  id.size = static_cast<std::uint64_t>(st.st_size);
  id.mtimeNs = Nanoseconds(st.st_mtim);
  id.recent = NowNs() - id.mtimeNs < kDoubtfulNs;
  return true;
}

}  // namespace

std::uint64_t ContentHash(std::string_view bytes) {
  // FNV-1a, 64 bits: enough to tell two versions of a file apart.
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

FileIdentity UnreadIdentityOf(const std::string& path) {
  FileIdentity id;
  if (!Stat(path, id)) return {};
  id.recent = false;
  return id;
}

FileIdentity IdentityOf(const std::string& path, std::string_view bytes) {
  FileIdentity id;
  if (!Stat(path, id)) return {};
  id.hash = ContentHash(bytes);
  return id;
}

DiskState CompareWithDisk(const FileIdentity& known, const std::string& path,
                          FileIdentity* current) {
  FileIdentity now;
  if (!Stat(path, now)) {
    struct stat st {};
    // Something that is not a regular file any more counts as changed, not gone.
    return ::stat(path.c_str(), &st) == 0 ? DiskState::Changed : DiskState::Missing;
  }
  if (!known.known) return DiskState::Changed;
  if (now.size != known.size) return DiskState::Changed;
  const bool sameMetadata =
      now.device == known.device && now.inode == known.inode && now.mtimeNs == known.mtimeNs;
  if (sameMetadata && !known.recent) return DiskState::Same;
  // Same size, but a new inode or time stamp, or a time stamp too fresh to trust:
  // the bytes decide.
  std::string bytes;
  if (!ReadWholeFile(path, bytes, nullptr, kNoReadLimit)) return DiskState::Changed;
  if (ContentHash(bytes) != known.hash) return DiskState::Changed;
  if (current) {
    *current = now;
    current->hash = known.hash;
  }
  return DiskState::Same;
}

}  // namespace tamso
