#include "platform/save_recovery.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/file_read.h"
#include "platform/paths.h"

namespace tamso {
namespace {

// Taken before anything of ours runs: every leftover of a process that died before
// us is older than this, every file of ours is younger.
struct timespec Now() {
  struct timespec t {};
  ::clock_gettime(CLOCK_REALTIME, &t);
  return t;
}
const struct timespec kProcessStart = Now();

constexpr std::string_view kMagic = "TAMSO-OLD-COPY 1 ";

bool OlderThanUs(const struct stat& st) {
  if (st.st_mtim.tv_sec != kProcessStart.tv_sec) return st.st_mtim.tv_sec < kProcessStart.tv_sec;
  return st.st_mtim.tv_nsec < kProcessStart.tv_nsec;
}

bool OursAndStale(const std::string& path, struct stat& st) {
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return st.st_uid == ::geteuid() && OlderThanUs(st);
}

bool IsSuffix6(std::string_view s) {
  if (s.size() != 6) return false;
  for (char c : s)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return names;
  while (struct dirent* e = ::readdir(d)) names.emplace_back(e->d_name);
  ::closedir(d);
  return names;
}

struct OldCopy {
  std::uint64_t oldLen = 0, oldSum = 0, newLen = 0, newSum = 0;
  std::string target;
  std::string body;
  bool complete = false;  // the body is all the old bytes
};

bool ParseOldCopy(const std::string& path, OldCopy& copy) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes, nullptr, kNoReadLimit)) return false;
  if (bytes.compare(0, kMagic.size(), kMagic) != 0) return false;
  size_t nl = bytes.find('\n');
  size_t nl2 = nl == std::string::npos ? nl : bytes.find('\n', nl + 1);
  if (nl2 == std::string::npos) return false;
  unsigned long long v[4];
  std::string numbers = bytes.substr(kMagic.size(), nl - kMagic.size());
  if (std::sscanf(numbers.c_str(), "%llu %llx %llu %llx", &v[0], &v[1], &v[2], &v[3]) != 4)
    return false;
  copy.oldLen = v[0];
  copy.oldSum = v[1];
  copy.newLen = v[2];
  copy.newSum = v[3];
  copy.target = bytes.substr(nl + 1, nl2 - nl - 1);
  copy.body = bytes.substr(nl2 + 1);
  copy.complete =
      copy.body.size() == copy.oldLen && save_detail::Checksum(copy.body) == copy.oldSum;
  return true;
}

// Writes the old bytes back into the file itself (it may have other hard links).
bool WriteBack(const std::string& target, std::string_view bytes) {
  int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  const char* p = bytes.data();
  size_t left = bytes.size();
  bool ok = true;
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  ::close(fd);
  return ok;
}

// Every old copy that may belong to target: beside it and in the cache directory.
std::vector<std::string> OldCopyCandidates(const std::string& target) {
  std::vector<std::string> out;
  const std::string dir = paths::Directory(target);
  const std::string prefix = "." + paths::FileName(target) + ".tamso-old-";
  for (const std::string& name : Entries(dir))
    if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
        IsSuffix6(std::string_view(name).substr(prefix.size())))
      out.push_back(paths::Join(dir.empty() ? "." : dir, name));
  const std::string cache = save_detail::CacheDirectory();
  std::string tmpl = paths::FileName(save_detail::CacheOldCopyTemplate(target));
  std::string cachePrefix = tmpl.substr(0, tmpl.size() - 6);
  for (const std::string& name : Entries(cache))
    if (name.size() == tmpl.size() && name.compare(0, cachePrefix.size(), cachePrefix) == 0)
      out.push_back(paths::Join(cache, name));
  return out;
}

int RemoveTemporaries(const std::string& target) {
  int removed = 0;
  const std::string dir = paths::Directory(target);
  const std::string prefix = "." + paths::FileName(target) + ".tamso-";
  for (const std::string& name : Entries(dir)) {
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
    if (!IsSuffix6(std::string_view(name).substr(prefix.size()))) continue;
    std::string full = paths::Join(dir.empty() ? "." : dir, name);
    struct stat st;
    if (OursAndStale(full, st) && ::unlink(full.c_str()) == 0) ++removed;
  }
  return removed;
}

}  // namespace

namespace save_detail {

std::uint64_t Checksum(std::string_view bytes) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

std::string OldCopyHeader(const std::string& target, std::string_view oldBytes,
                          std::string_view newBytes) {
  char numbers[128];
  std::snprintf(numbers, sizeof numbers, "%llu %llx %llu %llx",
                static_cast<unsigned long long>(oldBytes.size()),
                static_cast<unsigned long long>(Checksum(oldBytes)),
                static_cast<unsigned long long>(newBytes.size()),
                static_cast<unsigned long long>(Checksum(newBytes)));
  return std::string(kMagic) + numbers + "\n" + target + "\n";
}

std::string CacheDirectory() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg && *xdg == '/') return paths::Join(xdg, "tamso");
  const char* home = std::getenv("HOME");
  return paths::Join(paths::Join(home && *home ? home : "/tmp", ".cache"), "tamso");
}

std::string CacheOldCopyTemplate(const std::string& target) {
  char hash[32];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Checksum(target)));
  return paths::Join(CacheDirectory(), std::string("old-") + hash + "-XXXXXX");
}

}  // namespace save_detail

RecoveryReport RecoverFile(const std::string& path) {
  RecoveryReport report;
  const std::string target = paths::Canonical(path);
  report.removed += RemoveTemporaries(target);
  for (const std::string& candidate : OldCopyCandidates(target)) {
    struct stat st;
    OldCopy copy;
    if (!OursAndStale(candidate, st)) continue;
    bool parsed = ParseOldCopy(candidate, copy);
    if (parsed && copy.target != target) continue;
    if (!parsed || !copy.complete) {
      // Cut while the old copy (or its header) was written: the file itself is only
      // touched once all of it is on disk.
      if (::unlink(candidate.c_str()) == 0) ++report.removed;
      continue;
    }
    std::string now;
    bool readable = ReadWholeFile(target, now, nullptr, kNoReadLimit);
    bool isNew = readable && now.size() == copy.newLen && save_detail::Checksum(now) == copy.newSum;
    bool isOld = readable && now == copy.body;
    if (!isNew && !isOld) {
      if (!WriteBack(target, copy.body)) {
        report.status = "The last save of " + path + " was cut short; its old copy is kept in " +
                        candidate + ".";
        continue;
      }
      report.restored = true;
    }
    if (::unlink(candidate.c_str()) == 0) ++report.removed;
  }
  if (report.restored)
    report.status = "The last save of " + path +
                    " was cut short: the file was restored as it was before that save.";
  else if (report.removed > 0 && report.status.empty())
    report.status = "Removed what a cut-short save of " + path + " had left behind.";
  return report;
}

int RemoveSaveDebris(const std::string& target) {
  int removed = RemoveTemporaries(target);
  for (const std::string& candidate : OldCopyCandidates(target)) {
    struct stat st;
    OldCopy copy;
    if (!OursAndStale(candidate, st)) continue;
    if ((!ParseOldCopy(candidate, copy) || copy.target == target) &&
        ::unlink(candidate.c_str()) == 0)
      ++removed;
  }
  return removed;
}

}  // namespace tamso
