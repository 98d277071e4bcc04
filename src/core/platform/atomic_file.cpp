#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/paths.h"

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

// The file a write to path really changes: a symbolic link's final target.
std::string ResolveTarget(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::vector<char> buf(PATH_MAX + 1);
    ssize_t n = ::readlink(current.c_str(), buf.data(), PATH_MAX);
    if (n < 0) return current;
    std::string link(buf.data(), static_cast<size_t>(n));
    current = link.front() == '/' ? link : paths::Join(paths::Directory(current), link);
  }
  return current;
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

// For a file with several hard links (or whose owner cannot be kept) the file itself
// must be rewritten; its old bytes are kept aside until the new ones are on disk.
WriteResult WriteInPlace(const std::string& target, std::string_view bytes) {
  std::string old;
  std::string readError;
  if (!ReadWholeFile(target, old, &readError)) {
    WriteResult r;
    r.error = readError;
    return r;
  }
  std::string dir = paths::Directory(target);
  std::string aside =
      paths::Join(dir.empty() ? "." : dir, "." + paths::FileName(target) + ".tamso-old-XXXXXX");
  std::vector<char> tmpl(aside.begin(), aside.end());
  tmpl.push_back('\0');
  Fd keep(::mkstemp(tmpl.data()));
  if (keep.get() < 0) return Fail(errno, "Cannot write " + target);
  std::string asidePath(tmpl.data());
  if (!WriteAll(keep.get(), old) || ::fsync(keep.get()) != 0) {
    int e = errno;
    ::unlink(asidePath.c_str());
    return Fail(e, "Cannot write " + target);
  }
  keep.Close();
  Fd fd(::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
  if (fd.get() < 0) {
    int e = errno;
    ::unlink(asidePath.c_str());
    return Fail(e, "Cannot write " + target);
  }
  if (!WriteAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) {
    int e = errno;
    // Put the old bytes back; if even that fails the copy aside stays for the user.
    if (::ftruncate(fd.get(), 0) == 0 && ::lseek(fd.get(), 0, SEEK_SET) == 0 &&
        WriteAll(fd.get(), old) && ::fsync(fd.get()) == 0)
      ::unlink(asidePath.c_str());
    return Fail(e, "Cannot write " + target);
  }
  fd.Close();
  ::unlink(asidePath.c_str());
  return WriteResult{true, {}};
}

}  // namespace

WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string target = ResolveTarget(path);
  struct stat st;
  bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return Fail(EISDIR, "Cannot write " + path);
  if (exists && !S_ISREG(st.st_mode)) {
    // A device or a pipe is written to, never replaced.
    Fd fd(::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (fd.get() < 0 || !WriteAll(fd.get(), bytes)) return Fail(errno, "Cannot write " + path);
    return WriteResult{true, {}};
  }
  if (exists && st.st_nlink > 1) return WriteInPlace(target, bytes);

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
      return WriteInPlace(target, bytes);
    return Fail(e, "Cannot write " + path);
  }
  std::string tmpPath(tmpl.data());
  auto cleanup = [&](int e) {
    ::unlink(tmpPath.c_str());
    return Fail(e, "Cannot write " + path);
  };
  mode_t mode;
  if (exists) {
    mode = st.st_mode & 07777;
    if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
        ::fchown(fd.get(), st.st_uid, st.st_gid) != 0) {
      // The owner cannot be kept by a rename: rewrite the file itself.
      ::unlink(tmpPath.c_str());
      return WriteInPlace(target, bytes);
    }
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd.get(), mode) != 0) return cleanup(errno);
  if (!WriteAll(fd.get(), bytes)) return cleanup(errno);
  if (::fsync(fd.get()) != 0) return cleanup(errno);
  if (fd.Close() != 0) return cleanup(errno);
  if (::rename(tmpPath.c_str(), target.c_str()) != 0) return cleanup(errno);
  SyncDirectory(dir);
  return WriteResult{true, {}};
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error) {
  bytes.clear();
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (error) *error = "Cannot open " + path + ": " + ErrorText(errno);
    return false;
  }
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) {
    if (error) *error = "Cannot read " + path + ": " + ErrorText(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    if (error) *error = "Cannot open " + path + ": " + ErrorText(EISDIR);
    return false;
  }
  size_t size = S_ISREG(st.st_mode) ? static_cast<size_t>(st.st_size) : 0;
  try {
    bytes.resize(size);
  } catch (const std::bad_alloc&) {
    if (error) *error = "Out of Memory";
    bytes.clear();
    return false;
  }
  size_t got = 0;
  char extra[65536];
  for (;;) {
    // Read into the buffer while it has room; then into a side buffer, so a file of
    // the size fstat gave is read with one allocation and no copy.
    bool room = got < bytes.size();
    char* dst = room ? bytes.data() + got : extra;
    size_t want = room ? bytes.size() - got : sizeof extra;
    ssize_t n = ::read(fd.get(), dst, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (error) *error = "Cannot read " + path + ": " + ErrorText(errno);
      bytes.clear();
      return false;
    }
    if (n == 0) break;
    if (room) {
      got += static_cast<size_t>(n);
    } else {
      bytes.append(extra, static_cast<size_t>(n));
      got = bytes.size();
    }
  }
  bytes.resize(got);
  return true;
}

}  // namespace tamso
