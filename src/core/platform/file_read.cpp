#include "platform/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "platform/large_memory.h"

namespace tamso {
namespace {

FileKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::Regular;
  if (S_ISDIR(mode)) return FileKind::Directory;
  if (S_ISFIFO(mode)) return FileKind::Fifo;
  if (S_ISSOCK(mode)) return FileKind::Socket;
  if (S_ISCHR(mode)) return FileKind::CharDevice;
  if (S_ISBLK(mode)) return FileKind::BlockDevice;
  return FileKind::Other;
}

void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

// Opens a regular file for reading without ever blocking: a FIFO opened without
// O_NONBLOCK waits for a writer. -1 with *error set when it is anything else.
int OpenRegular(const std::string& path, std::string* error, struct stat& st) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    int e = errno;
    // A socket cannot be opened at all: name its kind rather than the errno.
    FileProbe probe = ProbeFile(path);
    if (probe.kind != FileKind::Missing && probe.kind != FileKind::Regular &&
        probe.kind != FileKind::Directory)
      SetError(error, NotRegularMessage(path, probe.kind));
    else
      SetError(error, "Cannot open " + path + ": " + std::strerror(e));
    return -1;
  }
  if (::fstat(fd, &st) != 0) {
    SetError(error, "Cannot read " + path + ": " + std::strerror(errno));
    ::close(fd);
    return -1;
  }
  FileKind kind = KindOf(st.st_mode);
  if (kind != FileKind::Regular) {
    SetError(error, kind == FileKind::Directory
                        ? "Cannot open " + path + ": " + std::strerror(EISDIR)
                        : NotRegularMessage(path, kind));
    ::close(fd);
    return -1;
  }
  // Reads of a regular file wait for the disk as they should.
  int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

// A whole file in one shared block that grows, should the file grow while it is read,
// by half again each time.
class SharedBuffer {
 public:
  explicit SharedBuffer(SharedBytes& out) : out_(out) { out_ = SharedBytes{}; }
  char* data() { return block_.get(); }
  std::size_t size() const { return out_.size; }
  void resize(std::size_t n) {
    if (!block_ || n > capacity_) {
      const std::size_t capacity = block_ ? std::max(n, capacity_ + capacity_ / 2) : n;
      std::shared_ptr<char[]> fresh = AllocateSharedBytes(capacity);
      if (out_.size) std::memcpy(fresh.get(), block_.get(), std::min(out_.size, n));
      block_ = std::move(fresh);
      out_.bytes = block_;
      capacity_ = capacity;
    }
    out_.size = n;
  }
  void append(const char* bytes, std::size_t n) {
    const std::size_t at = size();
    resize(at + n);
    std::memcpy(data() + at, bytes, n);
  }
  void clear() {
    out_ = SharedBytes{};
    block_.reset();
    capacity_ = 0;
  }
  void shrink_to_fit() {}

 private:
  SharedBytes& out_;
  std::shared_ptr<char[]> block_;  // out_'s bytes, writable while they are read
  std::size_t capacity_ = 0;
};

// Reads up to want bytes (or to the end) into bytes.
template <class Buffer>
bool ReadInto(int fd, const std::string& path, std::uint64_t sizeHint, std::uint64_t want,
              Buffer& bytes, std::string* error) {
  try {
    bytes.resize(static_cast<std::size_t>(sizeHint < want ? sizeHint : want));
    std::size_t got = 0;
    char extra[65536];
    for (;;) {
      // Read into the buffer while it has room; then into a side buffer, so a file of
      // the size fstat gave is read with one allocation and no copy.
      bool room = got < bytes.size();
      if (!room && got >= want) break;
      char* dst = room ? bytes.data() + got : extra;
      std::size_t wantNow = room ? bytes.size() - got : sizeof extra;
      if (!room && want - got < wantNow) wantNow = static_cast<std::size_t>(want - got);
      ssize_t n = ::read(fd, dst, wantNow);
      if (n < 0) {
        if (errno == EINTR) continue;
        SetError(error, "Cannot read " + path + ": " + std::strerror(errno));
        bytes.clear();
        return false;
      }
      if (n == 0) break;
      if (room) {
        got += static_cast<std::size_t>(n);
      } else {
        bytes.append(extra, static_cast<std::size_t>(n));
        got = bytes.size();
      }
    }
    bytes.resize(got);
    return true;
  } catch (const std::bad_alloc&) {
    bytes.clear();
    bytes.shrink_to_fit();
    SetError(error, "Out of memory reading " + path);
    return false;
  } catch (const std::length_error&) {
    bytes.clear();
    SetError(error, "Out of memory reading " + path);
    return false;
  }
}

template <class Buffer>
bool ReadWhole(const std::string& path, Buffer& bytes, std::string* error, std::uint64_t limit) {
  bytes.clear();
  struct stat st;
  int fd = OpenRegular(path, error, st);
  if (fd < 0) return false;
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if (size > limit) {
    ::close(fd);
    SetError(error, path + " is too large (" + SizeText(size) + "; at most " + SizeText(limit) +
                        " can be read).");
    return false;
  }
  // A file that grows while it is read is cut at the limit rather than read forever.
  bool ok = ReadInto(fd, path, size, limit == kNoReadLimit ? limit : limit + 1, bytes, error);
  ::close(fd);
  if (ok && bytes.size() > limit) {
    bytes.clear();
    SetError(error, path + " is too large (more than " + SizeText(limit) + ").");
    return false;
  }
  return ok;
}

}  // namespace

FileProbe ProbeFile(const std::string& path) {
  FileProbe p;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    p.err = errno;
    return p;
  }
  p.kind = KindOf(st.st_mode);
  if (p.kind == FileKind::Regular) p.size = static_cast<std::uint64_t>(st.st_size);
  return p;
}

const char* FileKindPhrase(FileKind kind) {
  switch (kind) {
    case FileKind::Missing:
      return "missing";
    case FileKind::Regular:
      return "a regular file";
    case FileKind::Directory:
      return "a directory";
    case FileKind::Fifo:
      return "a named pipe (FIFO)";
    case FileKind::Socket:
      return "a socket";
    case FileKind::CharDevice:
      return "a character device";
    case FileKind::BlockDevice:
      return "a block device";
    case FileKind::Other:
      break;
  }
  return "a special file";
}

std::string NotRegularMessage(const std::string& path, FileKind kind) {
  return path + " is " + FileKindPhrase(kind) + ", not a regular file.";
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error,
                   std::uint64_t limit) {
  return ReadWhole(path, bytes, error, limit);
}

bool ReadWholeFile(const std::string& path, SharedBytes& bytes, std::string* error,
                   std::uint64_t limit) {
  SharedBuffer buffer(bytes);
  return ReadWhole(path, buffer, error, limit);
}

bool ReadFileHead(const std::string& path, std::size_t maxBytes, std::string& bytes,
                  std::string* error) {
  bytes.clear();
  struct stat st;
  int fd = OpenRegular(path, error, st);
  if (fd < 0) return false;
  bool ok = ReadInto(fd, path, static_cast<std::uint64_t>(st.st_size), maxBytes, bytes, error);
  ::close(fd);
  return ok;
}

bool LooksBinary(std::string_view head) {
  if (head.empty()) return false;
  std::size_t control = 0;
  for (unsigned char c : head) {
    if (c == 0) return true;
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') || c == 0x7f) ++control;
  }
  return control * 10 > head.size() * 3;
}

std::string SizeText(std::uint64_t bytes) {
  char buf[64];
  const double b = static_cast<double>(bytes);
  if (bytes >= (1ull << 30))
    std::snprintf(buf, sizeof buf, "%.1f GB", b / double(1ull << 30));
  else if (bytes >= (1ull << 20))
    std::snprintf(buf, sizeof buf, "%.1f MB", b / double(1ull << 20));
  else if (bytes >= 1024)
    std::snprintf(buf, sizeof buf, "%llu KB", static_cast<unsigned long long>(bytes / 1024));
  else
    std::snprintf(buf, sizeof buf, "%llu bytes", static_cast<unsigned long long>(bytes));
  return buf;
}

}  // namespace tamso
