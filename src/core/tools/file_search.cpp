#include "tools/file_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TAMSO_HAVE_AVX2_PATH 1
#endif

namespace tamso {

namespace {

#ifdef TAMSO_HAVE_AVX2_PATH
// The same scans 32 bytes at a time, on processors that have the instructions.
bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

// Candidates from hay + 0 on; sets *done to how far the vectors got.
__attribute__((target("avx2"))) const char* FindTextWide(const char* hay, size_t n,
                                                         std::string_view needle, size_t* done) {
  const size_t m = needle.size();
  const __m256i first = _mm256_set1_epi8(needle[0]);
  const __m256i last = _mm256_set1_epi8(needle[m - 1]);
  size_t i = 0;
  for (; i + m - 1 + 32 <= n; i += 32) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(hay + i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(hay + i + m - 1));
    unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(
        _mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, last))));
    while (mask) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
      if (std::memcmp(hay + i + bit + 1, needle.data() + 1, m - 2) == 0) return hay + i + bit;
      mask &= mask - 1;
    }
  }
  *done = i;
  return nullptr;
}

__attribute__((target("avx2"))) size_t CountByteWide(const char* p, size_t n, char c,
                                                     size_t* done) {
  const __m256i target = _mm256_set1_epi8(c);
  const __m256i zero = _mm256_setzero_si256();
  size_t count = 0;
  size_t i = 0;
  while (i + 32 <= n) {
    __m256i acc = zero;
    const size_t blocks = std::min<size_t>((n - i) / 32, 255);
    for (size_t k = 0; k < blocks; ++k, i += 32)
      acc = _mm256_sub_epi8(
          acc,
          _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i)), target));
    const __m256i sums = _mm256_sad_epu8(acc, zero);
    count += static_cast<size_t>(_mm256_extract_epi64(sums, 0)) +
             static_cast<size_t>(_mm256_extract_epi64(sums, 1)) +
             static_cast<size_t>(_mm256_extract_epi64(sums, 2)) +
             static_cast<size_t>(_mm256_extract_epi64(sums, 3));
  }
  *done = i;
  return count;
}
#endif

}  // namespace

const char* FindText(const char* hay, size_t n, std::string_view needle) {
  const size_t m = needle.size();
  if (m == 0) return hay;
  if (n < m) return nullptr;
  if (m == 1) return static_cast<const char*>(std::memchr(hay, needle[0], n));
  size_t i = 0;
#ifdef TAMSO_HAVE_AVX2_PATH
  if (HasAvx2()) {
    if (const char* hit = FindTextWide(hay, n, needle, &i)) return hit;
  }
#endif
#ifdef __SSE2__
  // Candidates where both the first and the last byte of the needle match, sixteen
  // positions at a time; only those are compared in full.
  const __m128i first = _mm_set1_epi8(needle[0]);
  const __m128i last = _mm_set1_epi8(needle[m - 1]);
  for (; i + m - 1 + 16 <= n; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i + m - 1));
    unsigned mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
    while (mask) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
      if (std::memcmp(hay + i + bit + 1, needle.data() + 1, m - 2) == 0) return hay + i + bit;
      mask &= mask - 1;
    }
  }
#endif
  if (i >= n) return nullptr;
  return static_cast<const char*>(::memmem(hay + i, n - i, needle.data(), m));
}

size_t CountByte(const char* p, size_t n, char c) {
  size_t count = 0;
  size_t i = 0;
#ifdef TAMSO_HAVE_AVX2_PATH
  if (HasAvx2()) count = CountByteWide(p, n, c, &i);
#endif
#ifdef __SSE2__
  const __m128i target = _mm_set1_epi8(c);
  const __m128i zero = _mm_setzero_si128();
  while (i + 16 <= n) {
    // Up to 255 blocks add into byte counters before they are summed.
    __m128i acc = zero;
    const size_t blocks = std::min<size_t>((n - i) / 16, 255);
    for (size_t k = 0; k < blocks; ++k, i += 16)
      acc = _mm_sub_epi8(
          acc, _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), target));
    const __m128i sums = _mm_sad_epu8(acc, zero);
    count += static_cast<size_t>(_mm_cvtsi128_si32(sums)) +
             static_cast<size_t>(_mm_extract_epi16(sums, 4));
  }
#endif
  for (; i < n; ++i) count += p[i] == c;
  return count;
}

bool MatchesFilter(std::string_view name, std::string_view filter) {
  if (filter == "*" || filter == "*.*") return true;
  // Greedy match with backtracking to the last '*'.
  size_t n = 0, f = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (f < filter.size() && (filter[f] == '?' || filter[f] == name[n])) {
      ++n;
      ++f;
    } else if (f < filter.size() && filter[f] == '*') {
      star = f++;
      mark = n;
    } else if (star != std::string_view::npos) {
      f = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (f < filter.size() && filter[f] == '*') ++f;
  return f == filter.size();
}

namespace {

constexpr size_t kReadBlock = size_t{1} << 20;
constexpr size_t kBinaryProbe = 8192;
// A line longer than this is searched in pieces (with an overlap of the text's length
// less one), so that memory stays bounded whatever the file.
constexpr size_t kMaxHeldLine = size_t{16} << 20;

bool IsLineEnd(char c) {
  return c == '\n' || c == '\r';
}

const char* FindLineEnd(const char* p, const char* end) {
  for (; p < end; ++p)
    if (IsLineEnd(*p)) return p;
  return end;
}

// Bytes that grow without being cleared first (a cleared megabyte per small file
// would cost more than reading it).
class Bytes {
 public:
  char* data() { return data_.get(); }
  const char* data() const { return data_.get(); }
  size_t capacity() const { return capacity_; }
  // Room for n bytes, the first keep of them kept.
  void Reserve(size_t n, size_t keep) {
    if (n <= capacity_) return;
    n = std::max(n, std::min(2 * capacity_, kMaxHeldLine) + 1);
    n = std::max<size_t>(n, 64 * 1024);
    std::unique_ptr<char[]> bigger(new char[n]);
    if (keep) std::memcpy(bigger.get(), data_.get(), keep);
    data_ = std::move(bigger);
    capacity_ = n;
  }

 private:
  std::unique_ptr<char[]> data_;
  size_t capacity_ = 0;
};

// What the walk hands to the scan, in the order of the walk.
struct Entry {
  enum class Kind { kFile, kUnreadableFile, kUnreadableDir } kind = Kind::kFile;
  std::string path;
  Bytes bytes;     // the file's first bytes (all of them when eof)
  size_t len = 0;  // how many
  bool eof = false;
  int fd = -1;  // still open when the file was not read to its end
};

// Fills bytes from len on with up to want more bytes of fd; false on a read error.
bool Fill(int fd, Bytes& bytes, size_t& len, bool& eof, size_t want) {
  bytes.Reserve(len + want, len);
  const size_t end = len + want;
  while (len < end) {
    const ssize_t n = ::read(fd, bytes.data() + len, end - len);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      eof = true;
      break;
    }
    len += static_cast<size_t>(n);
  }
  return true;
}

// The walk: the directories in their order, each matching file opened and its first
// block read (all of a small file, in one read most of the time).
class Walker {
 public:
  // emit takes each entry; false from it ends the walk. spare offers a buffer to reuse.
  Walker(const SearchOptions& o, std::function<bool(Entry&&)> emit, std::function<bool()> cancelled,
         std::function<Bytes()> spare)
      : o_(o), emit_(std::move(emit)), cancelled_(std::move(cancelled)), spare_(std::move(spare)) {}

  void Run() {
    std::string dir = o_.directory;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    Directory(dir);
  }

 private:
  static std::string Join(const std::string& dir, const std::string& name) {
    return dir == "/" ? "/" + name : dir + "/" + name;
  }

  bool Stopped() {
    if (!stopped_ && cancelled_()) stopped_ = true;
    return stopped_;
  }

  void Emit(Entry&& e) {
    if (!stopped_ && emit_(std::move(e))) return;
    stopped_ = true;
    if (e.fd >= 0) ::close(e.fd);  // not taken
  }

  void Directory(const std::string& dir) {
    if (Stopped()) return;
    DIR* d = ::opendir(dir.c_str());
    if (!d) {
      // A starting directory that does not exist simply has no files.
      if (errno != ENOENT && errno != ENOTDIR) {
        Entry e;
        e.kind = Entry::Kind::kUnreadableDir;
        Emit(std::move(e));
      }
      return;
    }
    struct stat st;
    if (::fstat(::dirfd(d), &st) == 0 && !visited_.insert({st.st_dev, st.st_ino}).second) {
      ::closedir(d);
      return;
    }
    struct Item {
      std::string name;
      unsigned char type;
    };
    std::vector<Item> items;
    while (dirent* e = ::readdir(d)) {
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      items.push_back({e->d_name, e->d_type});
    }
    ::closedir(d);
    std::sort(items.begin(), items.end(),
              [](const Item& a, const Item& b) { return a.name < b.name; });

    std::vector<const Item*> files;
    for (const Item& e : items) {
      bool isDir = e.type == DT_DIR;
      bool isFile = e.type == DT_REG;
      if (e.type == DT_LNK || e.type == DT_UNKNOWN) {
        struct stat target;
        if (::stat(Join(dir, e.name).c_str(), &target) == 0) {
          isDir = S_ISDIR(target.st_mode);
          isFile = S_ISREG(target.st_mode);
        } else {
          isFile = true;  // a dangling link: counted as a file that cannot be read
        }
      }
      if (isDir) {
        if (o_.recurse && e.name[0] != '.') Directory(Join(dir, e.name));
        if (Stopped()) return;
      } else if (isFile && MatchesFilter(e.name, o_.filter)) {
        files.push_back(&e);
      }
    }
    for (const Item* e : files) {
      if (Stopped()) return;
      Entry entry;
      entry.path = Join(dir, e->name);
      Open(entry);
      Emit(std::move(entry));
    }
  }

  // Opens the file and reads its first block (all of a small file).
  void Open(Entry& e) {
    e.kind = Entry::Kind::kUnreadableFile;
    const int fd = ::open(e.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return;
    }
    // One byte more than the size asks the end of the file to show itself in the
    // same read, most of the time.
    const size_t size = static_cast<size_t>(std::max<off_t>(st.st_size, 0));
    const size_t want = std::min(size + 1, kReadBlock);
    e.bytes = spare_();
    if (!Fill(fd, e.bytes, e.len, e.eof, want)) {
      ::close(fd);
      return;
    }
    e.kind = Entry::Kind::kFile;
    if (e.eof) {
      ::close(fd);
    } else {
      e.fd = fd;
    }
  }

  const SearchOptions& o_;
  std::function<bool(Entry&&)> emit_;
  std::function<bool()> cancelled_;
  std::function<Bytes()> spare_;
  bool stopped_ = false;
  std::set<std::pair<dev_t, ino_t>> visited_;
};

class Searcher {
 public:
  Searcher(const SearchOptions& o, ISearchSink& sink, const std::atomic<bool>* cancel)
      : o_(o), sink_(sink), cancel_(cancel) {
    // A text with a line end can never be inside a line.
    searchable_ = !o_.text.empty() && o_.text.find_first_of("\r\n") == std::string::npos;
  }

  SearchTotals Run() {
    // A second thread reading ahead of the scan was tried: on a busy two-processor
    // machine the hand-over cost more than the overlap gained, so the walk, the reads
    // and the scan take turns on this one.
    Bytes spare;
    Walker walker(
        o_,
        [this, &spare](Entry&& e) {
          Take(e);
          spare = std::move(e.bytes);  // read into again for the next file
          return !Cancelled();
        },
        [this] { return Cancelled(); }, [&spare] { return std::move(spare); });
    walker.Run();
    return totals_;
  }

 private:
  bool Cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }

  // One entry of the walk, in order.
  void Take(Entry& e) {
    if (e.kind == Entry::Kind::kUnreadableDir) {
      ++totals_.unreadableDirs;
      return;
    }
    if (o_.verbose) {
      std::string line = "\nScanning...<" + e.path + ">";
      sink_.Write(line);
    }
    if (e.kind == Entry::Kind::kUnreadableFile) {
      ++totals_.unreadableFiles;
    } else {
      // The scan works in the entry's bytes, which then go back to the walker.
      std::swap(buffer_, e.bytes);
      if (!Scan(e.fd, e.path, e.len, e.eof)) ++totals_.unreadableFiles;
      std::swap(buffer_, e.bytes);
      if (e.fd >= 0) ::close(e.fd);
    }
    e.fd = -1;
    ++totals_.files;
    sink_.FileDone(totals_);
  }

  // Fills the buffer from len on; false on a read error.
  bool Fill(int fd, size_t& len, bool& eof) {
    return tamso::Fill(fd, buffer_, len, eof, kReadBlock);
  }

  void Hit(const std::string& path, size_t line, const char* ls, const char* le, const char* hit) {
    ++totals_.hits;
    std::string out = "\n==> " + path + ":" + std::to_string(line) + ":\n";
    if (le > ls && le[-1] == '\r') --le;
    if (static_cast<size_t>(le - ls) <= kShownLineBytes) {
      out.append(ls, le);
    } else {
      // The part around the hit, cut at character starts.
      const char* from =
          hit - ls > static_cast<long>(kShownLineBytes / 2) ? hit - kShownLineBytes / 2 : ls;
      while (from > ls && (static_cast<unsigned char>(*from) & 0xC0) == 0x80) --from;
      const char* to = std::min(le, from + kShownLineBytes);
      while (to < le && (static_cast<unsigned char>(*to) & 0xC0) == 0x80) ++to;
      if (from > ls) out += "...";
      out.append(from, to);
      if (to < le) out += "...";
    }
    sink_.Write(out);
  }
  // Searches the complete lines in [p, p + n); line is the number of the first. With
  // count, returns the number of line ends in the range.
  size_t Lines(const std::string& path, const char* p, size_t n, size_t line, bool loneCr,
               bool count) {
    const std::string_view needle = o_.text;
    const char* end = p + n;
    if (!loneCr) {
      // Line ends are LF (a CR before one is part of the line end).
      const char* pos = p;
      const char* counted = p;
      while (pos < end) {
        const char* hit = FindText(pos, static_cast<size_t>(end - pos), needle);
        if (!hit) break;
        const char* ls =
            static_cast<const char*>(::memrchr(pos, '\n', static_cast<size_t>(hit - pos)));
        ls = ls ? ls + 1 : pos;
        line += CountByte(counted, static_cast<size_t>(ls - counted), '\n');
        const char* le =
            static_cast<const char*>(std::memchr(hit, '\n', static_cast<size_t>(end - hit)));
        if (!le) le = end;
        Hit(path, line, ls, le, hit);
        ++line;
        counted = pos = le < end ? le + 1 : end;
      }
      return count ? line + CountByte(counted, static_cast<size_t>(end - counted), '\n') : line;
    }
    // Lone CRs end lines too: line by line.
    const char* s = p;
    while (s < end) {
      const char* le = FindLineEnd(s, end);
      if (const char* hit = FindText(s, static_cast<size_t>(le - s), needle))
        Hit(path, line, s, le, hit);
      ++line;
      if (le < end && *le == '\r' && le + 1 < end && le[1] == '\n') ++le;
      s = le < end ? le + 1 : end;
    }
    return line;
  }

  // True when a CR in the bytes is not followed by LF (the end of the range counts
  // as followed when more bytes may come).
  static bool HasLoneCr(const char* p, size_t n) {
    const char* end = p + n;
    for (const char* cr = p;
         (cr = static_cast<const char*>(std::memchr(cr, '\r', static_cast<size_t>(end - cr))));
         ++cr) {
      if (cr + 1 < end && cr[1] != '\n') return true;
      if (cr + 1 >= end) return true;
    }
    return false;
  }

  // Scans a file whose first len bytes are in the buffer (eof: all of it); fd reads
  // the rest.
  bool Scan(int fd, const std::string& path, size_t len, bool eof) {
    if (!searchable_) return true;
    // A file that said it was smaller than it is: what is binary is told by its first
    // 8 KB all the same.
    if (!eof && len < kBinaryProbe && !Fill(fd, len, eof)) return false;
    const char* data = buffer_.data();
    if (std::memchr(data, '\0', std::min(len, kBinaryProbe))) return Binary(fd, path, len, eof);

    size_t line = 1;        // number of the line starting at buffer_[0]
    bool longLine = false;  // buffer_[0] continues a line too long to hold
    bool longDone = false;  // ... which has been reported already
    for (;;) {
      data = buffer_.data();
      size_t start = 0;
      if (longLine) {
        const char* le = FindLineEnd(data, data + len);
        const bool splitCrLf = le + 1 == data + len && *le == '\r' && !eof;
        if (le == data + len || splitCrLf) {
          if (!longDone) {
            if (const char* hit = FindText(data, len, o_.text)) {
              Hit(path, line, data, data + len, hit);
              longDone = true;
            }
          }
          const size_t keep = longDone ? 0 : std::min(len, o_.text.size() - 1);
          std::memmove(buffer_.data(), data + len - keep, keep);
          len = keep;
          if (eof) return true;
          if (!Fill(fd, len, eof)) return false;
          continue;
        }
        if (!longDone)
          if (const char* hit = FindText(data, static_cast<size_t>(le - data), o_.text))
            Hit(path, line, data, le, hit);
        ++line;
        if (*le == '\r' && le + 1 < data + len && le[1] == '\n') ++le;
        start = static_cast<size_t>(le + 1 - data);
        longLine = longDone = false;
      }
      // The complete lines of the block; a CR at the very end may be half of a CR LF.
      size_t usable = len;
      if (!eof && usable > start && data[usable - 1] == '\r') --usable;
      const bool hasCr = std::memchr(data + start, '\r', usable - start) != nullptr;
      size_t lineEnd = start;  // one past the last line end
      if (eof) {
        lineEnd = len;
      } else {
        const char* lf = static_cast<const char*>(::memrchr(data + start, '\n', usable - start));
        const char* cr =
            hasCr ? static_cast<const char*>(::memrchr(data + start, '\r', usable - start))
                  : nullptr;
        const char* last = std::max(lf ? lf : data, cr ? cr : data);
        if (lf || cr) lineEnd = static_cast<size_t>(last + 1 - data);
      }
      const bool loneCr = hasCr && HasLoneCr(data + start, lineEnd - start);
      line = Lines(path, data + start, lineEnd - start, line, loneCr, !eof);
      if (eof) return true;
      if (Cancelled()) return true;
      // Keep the unfinished line for the next block.
      size_t tail = len - lineEnd;
      if (tail >= kMaxHeldLine) {
        longLine = true;
        if (const char* hit = FindText(data + lineEnd, tail, o_.text)) {
          Hit(path, line, data + lineEnd, data + len, hit);
          longDone = true;
        }
        const size_t keep = longDone ? 0 : std::min(tail, o_.text.size() - 1);
        std::memmove(buffer_.data(), data + len - keep, keep);
        len = keep;
      } else {
        std::memmove(buffer_.data(), data + lineEnd, tail);
        len = tail;
      }
      if (!Fill(fd, len, eof)) return false;
    }
  }

  bool Binary(int fd, const std::string& path, size_t len, bool eof) {
    for (;;) {
      if (FindText(buffer_.data(), len, o_.text)) {
        ++totals_.hits;
        sink_.Write("\nBinary file " + path + " matches");
        return true;
      }
      if (eof || Cancelled()) return true;
      const size_t keep = std::min(len, o_.text.size() - 1);
      std::memmove(buffer_.data(), buffer_.data() + len - keep, keep);
      len = keep;
      if (!Fill(fd, len, eof)) return false;
    }
  }

  const SearchOptions& o_;
  ISearchSink& sink_;
  const std::atomic<bool>* cancel_;
  bool searchable_ = false;
  SearchTotals totals_;
  Bytes buffer_;
};

}  // namespace

SearchTotals SearchFiles(const SearchOptions& options, ISearchSink& sink,
                         const std::atomic<bool>* cancel) {
  Searcher searcher(options, sink, cancel);
  return searcher.Run();
}

}  // namespace tamso
