#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/paths.h"
#include "platform/save_recovery.h"

namespace tamso {
namespace {

std::string ErrorText(int err) {
  return std::strerror(err);
}

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Close(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int Close() {
    int r = 0;
    if (fd_ >= 0) r = ::close(fd_);
    fd_ = -1;
    return r;
  }

 private:
  int fd_;
};

// Writes every byte, looping on short writes; false with errno set otherwise.
bool WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left > (1u << 30) ? (1u << 30) : left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = ENOSPC;  // a write that makes no progress is a full disk
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

// The file a write to path really changes: a symbolic link's final target. 0, or
// ELOOP for a loop of links (which must never be replaced by a regular file).
int ResolveTarget(const std::string& path, std::string& current) {
  current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
    std::vector<char> buf(PATH_MAX + 1);
    ssize_t n = ::readlink(current.c_str(), buf.data(), PATH_MAX);
    if (n <= 0) return 0;
    std::string link(buf.data(), static_cast<size_t>(n));
    current = link.front() == '/' ? link : paths::Join(paths::Directory(current), link);
  }
  return ELOOP;
}

void SyncDirectory(const std::string& dir) {
  Fd d(::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (d.get() >= 0) ::fsync(d.get());
}

WriteResult Fail(int err, const std::string& what) {
  WriteResult r;
  r.error = what + ": " + ErrorText(err);
  return r;
}

// Extended attributes of the file (user.*, ACLs as system.posix_acl_*) onto the new one.
// What the file system or our rights refuse (security.* for a user) is left out.
void CopyAttributes(const std::string& from, int toFd) {
  ssize_t size = ::listxattr(from.c_str(), nullptr, 0);
  if (size <= 0) return;
  std::vector<char> names(static_cast<size_t>(size));
  size = ::listxattr(from.c_str(), names.data(), names.size());
  if (size <= 0) return;
  for (size_t i = 0; i < static_cast<size_t>(size);) {
    const char* name = names.data() + i;
    i += std::strlen(name) + 1;
    ssize_t len = ::getxattr(from.c_str(), name, nullptr, 0);
    if (len < 0) continue;
    std::vector<char> value(static_cast<size_t>(len) + 1);
    len = ::getxattr(from.c_str(), name, value.data(), value.size());
    if (len < 0) continue;
    ::fsetxattr(toFd, name, value.data(), static_cast<size_t>(len), 0);
  }
}

// Mode bits go on last: writing to a file clears its set-uid and set-gid bits.
bool SetMode(int fd, const struct stat& st) {
  if ((::fchmod(fd, st.st_mode & 07777) == 0)) return true;
  // Only the owner may set the mode; a file we write but do not own keeps its own.
  return errno == EPERM;
}

// Creates the file that keeps the old bytes: beside the target, or under the cache
// directory when the target's directory is read-only.
int CreateOldCopy(const std::string& target, std::string& copyPath) {
  std::string dir = paths::Directory(target);
  std::string aside =
      paths::Join(dir.empty() ? "." : dir, "." + paths::FileName(target) + ".tamso-old-XXXXXX");
  std::vector<char> tmpl(aside.begin(), aside.end());
  tmpl.push_back('\0');
  int fd = ::mkstemp(tmpl.data());
  if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
    std::string cache = save_detail::CacheDirectory();
    std::string parent = paths::Directory(cache);
    ::mkdir(paths::Directory(parent).c_str(), 0700);
    ::mkdir(parent.c_str(), 0700);
    ::mkdir(cache.c_str(), 0700);
    aside = save_detail::CacheOldCopyTemplate(target);
    tmpl.assign(aside.begin(), aside.end());
    tmpl.push_back('\0');
    fd = ::mkstemp(tmpl.data());
  }
  if (fd >= 0) copyPath = tmpl.data();
  return fd;
}

// For a file with several hard links, in a read-only directory, or whose owner cannot
// be kept, the file itself is rewritten. Its old bytes are kept aside, with a header
// that makes a cut rewrite recognisable, until the new ones are on disk.
WriteResult WriteInPlace(const std::string& path, const std::string& target, std::string_view bytes,
                         const struct stat& st) {
  std::string old;
  std::string readError;
  if (!ReadWholeFile(target, old, &readError, kNoReadLimit)) {
    WriteResult r;
    r.error = readError;
    return r;
  }
  const std::string canonical = paths::Canonical(target);
  std::string asidePath;
  Fd keep(CreateOldCopy(canonical, asidePath));
  if (keep.get() < 0) return Fail(errno, "Cannot write " + path);
  std::string header =
      save_detail::OldCopyHeader(canonical, old, bytes, static_cast<std::uint64_t>(st.st_dev),
                                 static_cast<std::uint64_t>(st.st_ino));
  if (!WriteAll(keep.get(), header) || !WriteAll(keep.get(), old) || ::fsync(keep.get()) != 0) {
    int e = errno;
    ::unlink(asidePath.c_str());
    return Fail(e, "Cannot write " + path);
  }
  keep.Close();
  SyncDirectory(paths::Directory(asidePath));
  Fd fd(::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
  if (fd.get() < 0) {
    int e = errno;
    ::unlink(asidePath.c_str());
    return Fail(e, "Cannot write " + path);
  }
  if (!WriteAll(fd.get(), bytes) || !SetMode(fd.get(), st) || ::fsync(fd.get()) != 0) {
    int e = errno;
    // Put the old bytes back; if even that fails the copy aside stays and the next
    // open of the file restores it.
    if (::ftruncate(fd.get(), 0) == 0 && ::lseek(fd.get(), 0, SEEK_SET) == 0 &&
        WriteAll(fd.get(), old) && ::fsync(fd.get()) == 0)
      ::unlink(asidePath.c_str());
    return Fail(e, "Cannot write " + path);
  }
  fd.Close();
  ::unlink(asidePath.c_str());
  return WriteResult{true, {}};
}

// A device or a pipe is written to, never replaced; a pipe nobody reads is an error
// rather than a wait without end.
WriteResult WriteSpecial(const std::string& path, const std::string& target,
                         std::string_view bytes) {
  Fd fd(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) return Fail(errno, "Cannot write " + path);
  int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
  if (!WriteAll(fd.get(), bytes)) return Fail(errno, "Cannot write " + path);
  return WriteResult{true, {}};
}

}  // namespace

bool IsReadOnlyFile(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::string target;
  if (int e = ResolveTarget(path, target)) return Fail(e, "Cannot write " + path);
  struct stat st;
  bool exists = ::stat(target.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return Fail(errno, "Cannot write " + path);
  if (exists && S_ISDIR(st.st_mode)) return Fail(EISDIR, "Cannot write " + path);
  if (exists && !S_ISREG(st.st_mode)) return WriteSpecial(path, target, bytes);
  RemoveSaveDebris(exists ? paths::Canonical(target) : target);
  if (exists && st.st_nlink > 1) return WriteInPlace(path, target, bytes, st);

  std::string dir = paths::Directory(target);
  std::string tmp =
      paths::Join(dir.empty() ? "." : dir, "." + paths::FileName(target) + ".tamso-XXXXXX");
  std::vector<char> tmpl(tmp.begin(), tmp.end());
  tmpl.push_back('\0');
  Fd fd(::mkstemp(tmpl.data()));
  if (fd.get() < 0) {
    int e = errno;
    // A directory we may not create files in, but a file we may write: write in place.
    if (exists && (e == EACCES || e == EPERM || e == EROFS) && ::access(target.c_str(), W_OK) == 0)
      return WriteInPlace(path, target, bytes, st);
    return Fail(e, "Cannot write " + path);
  }
  std::string tmpPath(tmpl.data());
  auto cleanup = [&](int e) {
    ::unlink(tmpPath.c_str());
    return Fail(e, "Cannot write " + path);
  };
  if (exists) {
    if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
        ::fchown(fd.get(), st.st_uid, st.st_gid) != 0) {
      // The owner cannot be kept by a rename: rewrite the file itself.
      ::unlink(tmpPath.c_str());
      return WriteInPlace(path, target, bytes, st);
    }
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    st.st_mode = S_IFREG | (0666 & ~mask);
  }
  if (!WriteAll(fd.get(), bytes)) return cleanup(errno);
  if (exists) CopyAttributes(target, fd.get());
  if (::fchmod(fd.get(), st.st_mode & 07777) != 0) return cleanup(errno);
  if (::fsync(fd.get()) != 0) return cleanup(errno);
  if (fd.Close() != 0) return cleanup(errno);
  if (::rename(tmpPath.c_str(), target.c_str()) != 0) return cleanup(errno);
  SyncDirectory(dir);
  return WriteResult{true, {}};
}

}  // namespace tamso
