#include "browser/source_archive.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <map>
#include <thread>
#include <tuple>

#include "platform/file_read.h"

namespace tamso {

namespace {

std::string ZipErrorText(int code) {
  zip_error_t e;
  zip_error_init_with_code(&e, code);
  std::string text = zip_error_strerror(&e);
  zip_error_fini(&e);
  return text;
}

void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

bool TooMany(zip_int64_t count) {
  return count > 0 && static_cast<std::uint64_t>(count) > kMostArchiveEntries;
}

std::string TooManyEntriesText(const std::string& what, zip_int64_t count) {
  return what + " has too many entries to search (" + std::to_string(count) + "; at most " +
         std::to_string(kMostArchiveEntries) + ").";
}

}  // namespace

SourceArchive::~SourceArchive() {
  if (zip_) zip_discard(zip_);
}

std::unique_ptr<SourceArchive> SourceArchive::Index(zip* archive,
                                                    std::unique_ptr<std::string> bytes) {
  std::unique_ptr<SourceArchive> a(new SourceArchive);
  a->zip_ = archive;
  a->bytes_ = std::move(bytes);
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  a->byName_.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const auto index = static_cast<zip_uint64_t>(i);
    const char* raw = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
    if (!raw) continue;
    std::string name(raw);
    if (name.empty() || name.back() == '/') continue;  // a folder
    a->byName_.emplace(name, index);
    const std::size_t slash = name.find('/');
    if (slash == std::string::npos || slash == 0) continue;
    const std::string_view folder(name.data(), slash);
    if (folder != "." && folder != "..") a->underFolder_.emplace(name.substr(slash + 1), index);
  }
  return a;
}

std::unique_ptr<SourceArchive> SourceArchive::Open(const std::string& path, std::string* error) {
  // Opened without blocking and checked to be a plain file: a pipe or device named
  // src.zip must not hang the window.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    SetError(error, "Cannot open " + path + ": " + std::strerror(errno) + ".");
    return nullptr;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    SetError(error, NotRegularMessage(path, ProbeFile(path).kind));
    return nullptr;
  }
  int code = 0;
  zip* archive = zip_fdopen(fd, ZIP_RDONLY, &code);
  if (!archive) {
    ::close(fd);
    SetError(error, "Cannot read " + path + ": " + ZipErrorText(code) + ".");
    return nullptr;
  }
  if (const zip_int64_t count = zip_get_num_entries(archive, 0); TooMany(count)) {
    zip_discard(archive);
    SetError(error, TooManyEntriesText(path, count));
    return nullptr;
  }
  return Index(archive, nullptr);
}

std::unique_ptr<SourceArchive> SourceArchive::OpenBytes(std::string bytes, std::string* error) {
  zip_error_t e;
  zip_error_init(&e);
  // The buffer stays in the archive object, which outlives the libzip handle.
  auto held = std::make_unique<std::string>(std::move(bytes));
  zip_source_t* source = zip_source_buffer_create(held->data(), held->size(), 0, &e);
  if (!source) {
    SetError(error, std::string("Cannot read the archive: ") + zip_error_strerror(&e) + ".");
    zip_error_fini(&e);
    return nullptr;
  }
  zip* archive = zip_open_from_source(source, ZIP_RDONLY, &e);
  if (!archive) {
    zip_source_free(source);
    SetError(error, std::string("Cannot read the archive: ") + zip_error_strerror(&e) + ".");
    zip_error_fini(&e);
    return nullptr;
  }
  zip_error_fini(&e);
  if (const zip_int64_t count = zip_get_num_entries(archive, 0); TooMany(count)) {
    zip_discard(archive);
    SetError(error, TooManyEntriesText("The archive", count));
    return nullptr;
  }
  return Index(archive, std::move(held));
}

std::optional<std::string> SourceArchive::Find(std::string_view relative) const {
  const std::string key(relative);
  if (byName_.count(key)) return key;
  auto it = underFolder_.find(key);
  if (it == underFolder_.end()) return std::nullopt;
  std::lock_guard<std::mutex> lock(mutex_);
  const char* name = zip_get_name(zip_, it->second, ZIP_FL_ENC_RAW);
  if (!name) return std::nullopt;
  return std::string(name);
}

bool SourceArchive::Read(const std::string& name, std::uint64_t maxBytes, std::string& out,
                         std::string* error) const {
  auto it = byName_.find(name);
  if (it == byName_.end()) {
    SetError(error, name + " is not in the archive.");
    return false;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(zip_, it->second, 0, &st) != 0) {
    SetError(error, std::string("Cannot read ") + name + ": " + zip_strerror(zip_) + ".");
    return false;
  }
  if ((st.valid & ZIP_STAT_SIZE) && st.size > maxBytes) {
    SetError(error, name + " is too large to open (" + SizeText(st.size) + "; at most " +
                        SizeText(maxBytes) + ").");
    return false;
  }
  zip_file_t* file = zip_fopen_index(zip_, it->second, 0);
  if (!file) {
    SetError(error, std::string("Cannot read ") + name + ": " + zip_strerror(zip_) + ".");
    return false;
  }
  std::string bytes;
  if (st.valid & ZIP_STAT_SIZE) bytes.reserve(static_cast<std::size_t>(st.size));
  char buffer[64 * 1024];
  bool ok = true;
  for (;;) {
    const zip_int64_t n = zip_fread(file, buffer, sizeof buffer);
    if (n < 0) {
      SetError(error, std::string("Cannot read ") + name + ": " + zip_file_strerror(file) + ".");
      ok = false;
      break;
    }
    if (n == 0) break;
    if (bytes.size() + static_cast<std::uint64_t>(n) > maxBytes) {
      SetError(error, name + " is too large to open (more than " + SizeText(maxBytes) + ").");
      ok = false;
      break;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  zip_fclose(file);
  if (!ok) return false;
  out = std::move(bytes);
  return true;
}

namespace {

using ArchiveKey = std::tuple<dev_t, ino_t, off_t, std::int64_t, long>;

// One archive file as the cache knows it: built, failed, or being built.
struct CacheEntry {
  ArchiveKey key;
  std::shared_ptr<const SourceArchive> archive;
  std::string error;
  bool building = false;
  std::vector<std::function<void()>> whenDone;
};

struct ArchiveCache {
  std::mutex mutex;
  std::condition_variable built;
  std::map<std::string, std::shared_ptr<CacheEntry>> entries;
};

ArchiveCache& Cache() {
  static ArchiveCache* cache = new ArchiveCache;  // lives as long as any indexing thread
  return *cache;
}

// The entry for path as it is on disk now, started building on a thread of its own
// when new or when the file changed. Null with *error when the file cannot be seen.
std::shared_ptr<CacheEntry> EntryFor(const std::string& path, std::string* error) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    SetError(error, "Cannot open " + path + ": " + std::strerror(errno) + ".");
    return nullptr;
  }
  const ArchiveKey key{st.st_dev, st.st_ino, st.st_size,
                       static_cast<std::int64_t>(st.st_mtim.tv_sec), st.st_mtim.tv_nsec};
  ArchiveCache& cache = Cache();
  // Called with the cache's mutex held.
  auto& slot = cache.entries[path];
  if (slot && slot->key == key) return slot;
  auto entry = std::make_shared<CacheEntry>();
  entry->key = key;
  entry->building = true;
  // The index of the file as it was may be large: it is let go on the new thread.
  std::shared_ptr<CacheEntry> old = std::move(slot);
  slot = entry;
  std::thread([path, entry, old = std::move(old)]() mutable {
    old.reset();
    std::string why;
    std::shared_ptr<const SourceArchive> archive = SourceArchive::Open(path, &why);
    std::vector<std::function<void()>> waiting;
    {
      std::lock_guard<std::mutex> lock(Cache().mutex);
      entry->archive = std::move(archive);
      entry->error = std::move(why);
      entry->building = false;
      waiting.swap(entry->whenDone);
    }
    Cache().built.notify_all();
    for (auto& fn : waiting) fn();
  }).detach();
  return entry;
}

}  // namespace

std::shared_ptr<const SourceArchive> CachedSourceArchive(const std::string& path,
                                                         std::string* error) {
  ArchiveCache& cache = Cache();
  std::unique_lock<std::mutex> lock(cache.mutex);
  std::shared_ptr<CacheEntry> entry = EntryFor(path, error);
  if (!entry) return nullptr;
  cache.built.wait(lock, [&] { return !entry->building; });
  if (!entry->archive) SetError(error, entry->error);
  return entry->archive;
}

std::shared_ptr<const SourceArchive> SourceArchiveNow(const std::string& path, std::string* error,
                                                      bool* indexing,
                                                      std::function<void()> whenDone) {
  if (indexing) *indexing = false;
  ArchiveCache& cache = Cache();
  std::unique_lock<std::mutex> lock(cache.mutex);
  std::shared_ptr<CacheEntry> entry = EntryFor(path, error);
  if (entry && entry->building) {
    if (indexing) *indexing = true;
    if (whenDone) entry->whenDone.push_back(std::move(whenDone));
    return nullptr;
  }
  std::shared_ptr<const SourceArchive> archive = entry ? entry->archive : nullptr;
  if (entry && !archive) SetError(error, entry->error);
  return archive;
}

std::vector<std::string> SourceArchive::Names() const {
  std::vector<std::string> names;
  names.reserve(byName_.size());
  for (const auto& entry : byName_) names.push_back(entry.first);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tamso
