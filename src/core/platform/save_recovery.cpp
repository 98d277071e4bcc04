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

constexpr std::string_view kMagic = "TAMSO-OLD-COPY ";
// A write cut by a signal stops at a page boundary: the file then holds a whole
// number of these blocks of the new bytes, each of which the header's sums vouch for.
constexpr std::size_t kBlock = save_detail::kTearBlock;

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
  int version = 0;
  std::uint64_t oldLen = 0, oldSum = 0, newLen = 0, newSum = 0;
  std::uint64_t device = 0, inode = 0;  // the file the save rewrote (version 2)
  std::string target;
  std::string blockSums;  // a checksum of each block of the new bytes, 16 hex digits each
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
  unsigned long long v[7] = {};
  int version = 0;
  std::string numbers = bytes.substr(kMagic.size(), nl - kMagic.size());
  int got = std::sscanf(numbers.c_str(), "%d %llu %llx %llu %llx %llu %llu", &version, &v[0], &v[1],
                        &v[2], &v[3], &v[4], &v[5]);
  if (!((version == 1 && got == 5) || (version == 2 && got == 7))) return false;
  copy.version = version;
  copy.oldLen = v[0];
  copy.oldSum = v[1];
  copy.newLen = v[2];
  copy.newSum = v[3];
  copy.device = v[4];
  copy.inode = v[5];
  copy.target = bytes.substr(nl + 1, nl2 - nl - 1);
  size_t bodyAt = nl2 + 1;
  if (version == 2) {
    size_t nl3 = bytes.find('\n', bodyAt);
    if (nl3 == std::string::npos) return false;
    copy.blockSums = bytes.substr(bodyAt, nl3 - bodyAt);
    bodyAt = nl3 + 1;
  }
  copy.body = bytes.substr(bodyAt);
  copy.complete =
      copy.body.size() == copy.oldLen && save_detail::Checksum(copy.body) == copy.oldSum;
  return true;
}

std::string Hex16(std::uint64_t v) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
  return text;
}

// Whether the file is still as the cut save left it: the same file (not one put in
// its place by a rename), holding a first part of the new bytes that ends on a block
// boundary, every block as the save wrote it; or, when the save was undoing itself,
// a first part of the old bytes. Anything else was written since, by someone else.
bool StillTorn(const std::string& target, const OldCopy& copy, const std::string& now) {
  if (copy.version < 2) return false;  // no record of what the save wrote
  struct stat st;
  if (::stat(target.c_str(), &st) != 0 || static_cast<std::uint64_t>(st.st_dev) != copy.device ||
      static_cast<std::uint64_t>(st.st_ino) != copy.inode)
    return false;
  if (now.size() <= copy.body.size() && copy.body.compare(0, now.size(), now) == 0) return true;
  if (now.size() > copy.newLen || now.size() % kBlock != 0) return false;
  const size_t blocks = now.size() / kBlock;
  if (copy.blockSums.size() < blocks * 16) return false;
  for (size_t b = 0; b < blocks; ++b)
    if (Hex16(save_detail::Checksum(std::string_view(now).substr(b * kBlock, kBlock))) !=
        std::string_view(copy.blockSums).substr(b * 16, 16))
      return false;
  return true;
}

// Where the old text of a file that changed after its save was cut is kept for the
// user: a plain file beside it, or in the cache directory when that folder is
// read-only. Empty when neither could be written.
std::string KeepOldText(const std::string& target, std::string_view bytes) {
  const std::string dir = paths::Directory(target);
  const std::string name = paths::FileName(target) + ".before-cut-save-XXXXXX";
  for (const std::string& where :
       {dir.empty() ? std::string(".") : dir, save_detail::CacheDirectory()}) {
    std::string path = paths::Join(where, name);
    int fd = ::mkstemp(path.data());
    if (fd < 0) continue;
    const char* p = bytes.data();
    size_t left = bytes.size();
    bool ok = true;
    while (ok && left > 0) {
      ssize_t n = ::write(fd, p, left);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0)
        ok = false;
      else {
        p += n;
        left -= static_cast<size_t>(n);
      }
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) return path;
    ::unlink(path.c_str());
  }
  return {};
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
                          std::string_view newBytes, std::uint64_t device, std::uint64_t inode) {
  char numbers[200];
  std::snprintf(numbers, sizeof numbers, "2 %llu %llx %llu %llx %llu %llu",
                static_cast<unsigned long long>(oldBytes.size()),
                static_cast<unsigned long long>(Checksum(oldBytes)),
                static_cast<unsigned long long>(newBytes.size()),
                static_cast<unsigned long long>(Checksum(newBytes)),
                static_cast<unsigned long long>(device), static_cast<unsigned long long>(inode));
  std::string header = std::string(kMagic) + numbers + "\n" + target + "\n";
  header.reserve(header.size() + (newBytes.size() / kBlock + 1) * 16 + 1);
  for (size_t at = 0; at + kBlock <= newBytes.size(); at += kBlock)
    header += Hex16(Checksum(newBytes.substr(at, kBlock)));
  header += '\n';
  return header;
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
    if (!readable) continue;  // nothing can be told: the copy stays for a later open
    if (!isNew && !isOld) {
      if (!StillTorn(target, copy, now)) {
        // Written since the cut save: the file is left as it is and the old text is
        // kept where the user can open it.
        std::string kept = KeepOldText(target, copy.body);
        if (kept.empty()) {
          kept = candidate;
        } else if (::unlink(candidate.c_str()) == 0) {
          ++report.removed;
        }
        report.keptCopy = kept;
        continue;
      }
      if (!WriteBack(target, copy.body)) {
        report.status = "The last save of " + path + " was cut short; its old copy is kept in " +
                        candidate + ".";
        continue;
      }
      report.restored = true;
    }
    if (::unlink(candidate.c_str()) == 0) ++report.removed;
  }
  if (!report.keptCopy.empty())
    report.status = "The last save of " + path +
                    " was cut short, and the file has been changed since. It is left as it "
                    "is; the text it had before that save is kept in " +
                    report.keptCopy + ".";
  else if (report.restored)
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
