#include "app/recovery_journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/file_read.h"
#include "platform/paths.h"

namespace tamso {

namespace {

constexpr std::string_view kMagic = "TAMSO-RECOVERY 1\n";
constexpr std::string_view kSuffix = ".journal";

std::string Escape(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '%')
      out += "%25";
    else if (c == '\n')
      out += "%0A";
    else if (c == '\r')
      out += "%0D";
    else
      out += c;
  }
  return out;
}

std::string Unescape(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      std::string_view code = s.substr(i + 1, 2);
      if (code == "25" || code == "0A" || code == "0D") {
        out += code == "25" ? '%' : code == "0A" ? '\n' : '\r';
        i += 2;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

bool ParseNumber(std::string_view s, std::uint64_t& out) {
  if (s.empty() || s.size() > 19) return false;
  out = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    out = out * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return true;
}

// "device inode size mtime hash recent"; unknown when anything is amiss.
FileIdentity ParseIdentity(std::string_view s) {
  std::uint64_t v[6] = {};
  for (int i = 0; i < 6; ++i) {
    const std::size_t blank = std::min(s.find(' '), s.size());
    const std::string_view field = s.substr(0, blank);
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), v[i]);
    if (field.empty() || error != std::errc() || end != field.data() + field.size()) return {};
    s.remove_prefix(std::min(blank + 1, s.size()));
  }
  FileIdentity d;
  d.known = true;
  d.device = v[0];
  d.inode = v[1];
  d.size = v[2];
  d.mtimeNs = static_cast<std::int64_t>(v[3]);
  d.hash = v[4];
  d.recent = v[5] != 0;
  return d;
}

// Creates each missing folder of path with mode 0700.
bool MakeDirs(const std::string& path) {
  if (path.empty()) return false;
  std::size_t pos = 0;
  while (pos != std::string::npos) {
    pos = path.find('/', pos + 1);
    const std::string part = path.substr(0, pos);
    if (part.empty()) continue;
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder is ours alone: a folder (not a link to one) owned by us, mode 0700 (a
// looser mode of our own folder is tightened). Journals elsewhere are not trusted.
bool PrivateFolder(const std::string& dir) {
  struct stat st {};
  if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
    return false;
  return (st.st_mode & 077) == 0 || ::chmod(dir.c_str(), 0700) == 0;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Written beside the target under a temporary name (mode 0600), then renamed over it.
bool WritePrivateAtomically(const std::string& target, std::string_view bytes) {
  std::string tmp = target + ".XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, 0600) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok && ::rename(tmp.c_str(), target.c_str()) == 0) return true;
  ::unlink(tmp.c_str());
  return false;
}

}  // namespace

std::string DefaultRecoveryDir(std::string_view xdgStateHome, std::string_view home) {
  if (!xdgStateHome.empty() && xdgStateHome.front() == '/')
    return paths::Join(xdgStateHome, "tamso/recovery");
  if (!home.empty()) return paths::Join(home, ".local/state/tamso/recovery");
  return {};
}

namespace {

// Empty when dir can hold journals, else why not.
std::string Unusable(const std::string& dir) {
  if (dir.empty()) return "no folder is known";
  if (!MakeDirs(dir)) return std::strerror(errno != 0 ? errno : ENOTDIR);
  if (!PrivateFolder(dir)) return "the folder is not this user's alone";
  if (::access(dir.c_str(), W_OK | X_OK) != 0) return std::strerror(errno);
  return {};
}

}  // namespace

std::string ChooseRecoveryDir(const std::string& preferred,
                              const std::vector<std::string>& fallbacks, std::string* warning) {
  errno = 0;
  const std::string why = Unusable(preferred);
  if (why.empty()) return preferred;
  std::string chosen;
  for (const std::string& f : fallbacks) {
    errno = 0;
    if (Unusable(f).empty()) {
      chosen = f;
      break;
    }
  }
  if (warning) {
    *warning = "Unsaved text cannot be kept for recovery in " +
               (preferred.empty() ? std::string("the usual folder") : preferred) + ": " + why +
               ".\n" +
               (chosen.empty() ? std::string("It is not kept for recovery in this session.")
                               : "It is kept in " + chosen + " instead.");
  }
  return chosen;
}

std::vector<std::string> RecoveryDirFallbacks(std::string_view xdgRuntimeDir) {
  std::vector<std::string> out;
  if (!xdgRuntimeDir.empty() && xdgRuntimeDir.front() == '/')
    out.push_back(paths::Join(xdgRuntimeDir, "tamso/recovery"));
  out.push_back("/tmp/tamso-" + std::to_string(::geteuid()) + "/recovery");
  return out;
}

std::uint64_t ProcessStartTime(long pid) {
  std::string stat;
  if (pid <= 0 || !ReadWholeFile("/proc/" + std::to_string(pid) + "/stat", stat, nullptr, 1 << 16))
    return 0;
  // "pid (name) state ppid ...": the name may hold blanks and parentheses.
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  std::size_t pos = close + 1;
  for (int field = 3; field <= 22; ++field) {
    while (pos < stat.size() && stat[pos] == ' ') ++pos;
    const std::size_t end = std::min(stat.find(' ', pos), stat.size());
    if (field == 22) {
      std::uint64_t v = 0;
      return ParseNumber(std::string_view(stat).substr(pos, end - pos), v) ? v : 0;
    }
    pos = end;
  }
  return 0;
}

namespace {

constexpr std::string_view kEditMagic = "TAMSO-RECOVERY 2\n";

// The header's "key=value" lines (without the blank line that ends them).
std::string HeaderLines(const JournalHeader& h) {
  std::string out;
  out += "pid=" + std::to_string(h.pid) + "\n";
  out += "start=" + std::to_string(h.startTime) + "\n";
  out += "instance=" + Escape(h.instanceKey) + "\n";
  out += "path=" + Escape(h.path) + "\n";
  out += "title=" + Escape(h.title) + "\n";
  out += "template=" + std::to_string(std::max(h.templateIndex, 0)) + "\n";
  if (h.disk.known) {
    const FileIdentity& d = h.disk;
    out += "disk=" + std::to_string(d.device) + " " + std::to_string(d.inode) + " " +
           std::to_string(d.size) + " " + std::to_string(d.mtimeNs) + " " + std::to_string(d.hash) +
           (d.recent ? " 1" : " 0") + "\n";
  }
  out += "eol=" + Escape(h.eol) + "\n";
  out += "final=" + std::string(h.finalLineEnd ? "1" : "0") + "\n";
  return out;
}

// Reads "key=value" lines up to a blank one; false when the block is damaged.
// *length gets the "length" or "base" value (-1 without one).
bool ParseHeader(std::string_view& bytes, JournalHeader& h, std::int64_t* length) {
  *length = -1;
  for (;;) {
    const std::size_t nl = bytes.find('\n');
    if (nl == std::string_view::npos) return false;
    const std::string_view line = bytes.substr(0, nl);
    bytes.remove_prefix(nl + 1);
    if (line.empty()) return true;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    const std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
    std::uint64_t n = 0;
    if (key == "pid" && ParseNumber(value, n))
      h.pid = static_cast<long>(n);
    else if (key == "start" && ParseNumber(value, n))
      h.startTime = n;
    else if (key == "instance")
      h.instanceKey = Unescape(value);
    else if (key == "path")
      h.path = Unescape(value);
    else if (key == "title")
      h.title = Unescape(value);
    else if (key == "template" && ParseNumber(value, n) && n < 1000)
      h.templateIndex = static_cast<int>(n);
    else if (key == "disk")
      h.disk = ParseIdentity(value);
    else if (key == "eol") {
      const std::string eol = Unescape(value);
      if (eol == "\n" || eol == "\r\n" || eol == "\r") h.eol = eol;
    } else if (key == "final")
      h.finalLineEnd = value != "0";
    else if ((key == "length" || key == "base") && ParseNumber(value, n) &&
             n < (std::uint64_t{1} << 62))
      *length = static_cast<std::int64_t>(n);
  }
}

std::uint64_t Fnv1a(std::string_view bytes) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

void AppendEdits(std::string& out, std::span<const TextEdit> edits) {
  for (const TextEdit& e : edits) {
    out += std::to_string(e.line) + " " + std::to_string(e.index) + " " + std::to_string(e.erase) +
           " " + std::to_string(e.insert.size()) + "\n";
    out += e.insert;
  }
}

// The edits of one record's body; false when one is damaged.
bool ParseEdits(std::string_view body, std::vector<TextEdit>& out) {
  while (!body.empty()) {
    const std::size_t nl = body.find('\n');
    if (nl == std::string_view::npos) return false;
    std::string_view line = body.substr(0, nl);
    body.remove_prefix(nl + 1);
    std::uint64_t v[4] = {};
    for (int i = 0; i < 4; ++i) {
      const std::size_t blank = std::min(line.find(' '), line.size());
      if (!ParseNumber(line.substr(0, blank), v[i])) return false;
      line.remove_prefix(std::min(blank + 1, line.size()));
    }
    if (v[0] > INT32_MAX || v[1] > INT32_MAX || v[3] > body.size()) return false;
    out.push_back(TextEdit{static_cast<int>(v[0]), static_cast<int>(v[1]), v[2],
                           std::string(body.substr(0, v[3]))});
    body.remove_prefix(v[3]);
  }
  return true;
}

std::optional<Journal> DecodeEditJournal(std::string_view bytes) {
  Journal j;
  std::int64_t baseLength = -1;
  if (!ParseHeader(bytes, j.header, &baseLength) || baseLength < 0 ||
      bytes.size() < static_cast<std::uint64_t>(baseLength))
    return std::nullopt;
  LineReplay text(bytes.substr(0, static_cast<std::size_t>(baseLength)));
  bytes.remove_prefix(static_cast<std::size_t>(baseLength));
  // Records in order, up to the first that is cut short or damaged (a crash while it
  // was written): the text as the last whole record left it.
  while (!bytes.empty()) {
    const std::size_t nl = bytes.find('\n');
    if (nl == std::string_view::npos) break;
    unsigned long long length = 0, sum = 0;
    const std::string line(bytes.substr(0, std::min<std::size_t>(nl, 80)));
    if (std::sscanf(line.c_str(), "edits %llu %llx", &length, &sum) != 2) break;
    if (bytes.size() - nl - 1 < length) break;
    std::string_view body = bytes.substr(nl + 1, length);
    if (Fnv1a(body) != sum) break;
    bytes.remove_prefix(nl + 1 + length);
    JournalHeader h;
    std::int64_t unused = 0;
    std::vector<TextEdit> edits;
    if (!ParseHeader(body, h, &unused) || !ParseEdits(body, edits)) break;
    bool fits = true;
    for (const TextEdit& e : edits) fits = fits && text.Apply(e);
    if (!fits) break;
    j.header = std::move(h);
  }
  j.text = text.Joined(j.header.eol, j.header.finalLineEnd);
  return j;
}

}  // namespace

std::string EncodeJournal(const JournalHeader& h, std::string_view text) {
  std::string out(kMagic);
  out += HeaderLines(h);
  out += "length=" + std::to_string(text.size()) + "\n\n";
  out += text;
  return out;
}

std::string EncodeEditJournal(const JournalHeader& h, std::string_view base,
                              const std::vector<TextEdit>& edits) {
  std::string out(kEditMagic);
  out += HeaderLines(h);
  out += "base=" + std::to_string(base.size()) + "\n\n";
  out += base;
  if (!edits.empty()) out += EncodeJournalRecord(h, edits);
  return out;
}

std::string EncodeJournalRecord(const JournalHeader& h, std::span<const TextEdit> edits) {
  std::string body = HeaderLines(h) + "\n";
  AppendEdits(body, edits);
  char line[64];
  std::snprintf(line, sizeof line, "edits %zu %llx\n", body.size(),
                static_cast<unsigned long long>(Fnv1a(body)));
  return line + body;
}

std::optional<Journal> DecodeJournal(std::string_view bytes) {
  if (bytes.starts_with(kEditMagic)) return DecodeEditJournal(bytes.substr(kEditMagic.size()));
  if (!bytes.starts_with(kMagic)) return std::nullopt;
  bytes.remove_prefix(kMagic.size());
  Journal j;
  std::int64_t length = -1;
  if (!ParseHeader(bytes, j.header, &length)) return std::nullopt;
  // A journal cut short (a full disk) is not offered as if it were whole.
  if (length < 0 || bytes.size() != static_cast<std::uint64_t>(length)) return std::nullopt;
  j.text = std::string(bytes);
  return j;
}

std::string RecoveryQuestion(const std::vector<Journal>& journals) {
  // A file two killed runs both kept is one document: listed once, with its count.
  // (All its texts are recovered, oldest first, so the older ones stay an Undo away.)
  std::vector<std::pair<std::string, int>> lines;
  for (const Journal& j : journals) {
    if (j.header.path.empty()) {
      lines.emplace_back(j.header.title + " (new document)", 1);
      continue;
    }
    auto it = std::find_if(lines.begin(), lines.end(),
                           [&](const auto& l) { return l.first == j.header.path; });
    if (it == lines.end())
      lines.emplace_back(j.header.path, 1);
    else
      ++it->second;
  }
  const bool one = lines.size() == 1;
  std::string s = "Tamso did not exit cleanly last time. Unsaved text of ";
  s += one ? "one document was" : std::to_string(lines.size()) + " documents were";
  s += " kept:\n";
  for (const auto& [name, count] : lines) {
    s += "\n    " + name;
    if (count > 1) s += " (" + std::to_string(count) + " versions)";
  }
  s += one ? "\n\nRecover it as modified text? No discards it; Cancel keeps it for the next start."
           : "\n\nRecover them as modified text? No discards them; Cancel keeps them for the next "
             "start.";
  return s;
}

bool ChangedSinceJournal(const Journal& journal) {
  const JournalHeader& h = journal.header;
  return !h.path.empty() && h.disk.known && CompareWithDisk(h.disk, h.path) == DiskState::Changed;
}

std::string ChangedSinceJournalQuestion(const std::string& path) {
  return path +
         " was changed by another program after the unsaved text was kept.\n"
         "Reload it and lose the recovered text, or keep the recovered text?";
}

RecoveryStore::RecoveryStore(std::string dir, std::string instanceKey)
    : dir_(std::move(dir)),
      instanceKey_(std::move(instanceKey)),
      pid_(static_cast<long>(::getpid())),
      startTime_(ProcessStartTime(static_cast<long>(::getpid()))) {
  if (!dir_.empty()) worker_ = std::thread([this] { Run(); });
}

RecoveryStore::~RecoveryStore() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

std::string RecoveryStore::JournalFile(std::uint64_t docId) const {
  return paths::Join(dir_, std::to_string(pid_) + "-" + std::to_string(startTime_) + "-" +
                               std::to_string(docId) + std::string(kSuffix));
}

void RecoveryStore::Stamp(JournalHeader& header) const {
  header.pid = pid_;
  header.startTime = startTime_;
  header.instanceKey = instanceKey_;
}

void RecoveryStore::Keep(std::uint64_t docId, JournalHeader header, std::string text) {
  if (!Enabled()) return;
  Stamp(header);
  {
    std::lock_guard lock(mutex_);
    // Only the newest text of a document matters; an older one still waiting goes.
    for (Task& t : queue_)
      if (t.docId == docId && t.kind == TaskKind::kWhole) {
        t.header = std::move(header);
        t.text = std::move(text);
        return;
      }
    queue_.push_back(Task{docId, TaskKind::kWhole, std::move(header), std::move(text), {}, true});
  }
  wake_.notify_all();
}

void RecoveryStore::Record(std::uint64_t docId, JournalHeader header, EditLog::Batch changes,
                           bool modified) {
  if (!Enabled()) return;
  Stamp(header);
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(
        Task{docId, TaskKind::kEdits, std::move(header), {}, std::move(changes), modified});
  }
  wake_.notify_all();
}

void RecoveryStore::Drop(std::uint64_t docId) {
  if (!Enabled()) return;
  {
    std::lock_guard lock(mutex_);
    std::erase_if(queue_, [docId](const Task& t) { return t.docId == docId; });
    queue_.push_back(Task{docId, TaskKind::kDrop, {}, {}, {}, false});
  }
  wake_.notify_all();
}

void RecoveryStore::Flush() {
  if (!Enabled()) return;
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

void RecoveryStore::DropAll() {
  if (!Enabled()) return;
  {
    std::lock_guard lock(mutex_);
    queue_.clear();
  }
  Flush();
  const std::string prefix = std::to_string(pid_) + "-" + std::to_string(startTime_) + "-";
  if (DIR* d = ::opendir(dir_.c_str())) {
    while (dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name.starts_with(prefix)) ::unlink(paths::Join(dir_, name).c_str());
    }
    ::closedir(d);
  }
}

void RecoveryStore::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
    if (queue_.empty()) {
      if (stop_) return;
      continue;
    }
    Task task = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    lock.unlock();
    Perform(task);
    lock.lock();
    busy_ = false;
    if (queue_.empty()) idle_.notify_all();
  }
}

void RecoveryStore::Perform(Task& task) {
  if (task.kind == TaskKind::kEdits) {
    PerformEdits(task);
    return;
  }
  const std::string file = JournalFile(task.docId);
  followed_.erase(task.docId);
  if (task.kind == TaskKind::kDrop) {
    ::unlink(file.c_str());
    return;
  }
  if (!MakeDirs(dir_) || !PrivateFolder(dir_)) return;
  WritePrivateAtomically(file, EncodeJournal(task.header, task.text));
}

namespace {

// Appends a record to a journal; false when it cannot (the journal is then rewritten).
bool AppendPrivately(const std::string& file, std::string_view bytes) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes) && ::fdatasync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  return ok;
}

}  // namespace

void RecoveryStore::PerformEdits(Task& task) {
  Followed& f = followed_[task.docId];
  EditLog::Batch& changes = task.changes;
  if (changes.newBase) {
    f.base = std::move(changes.base);
    f.edits.clear();
    f.editBytes = 0;
    f.onDisk = false;
  }
  const std::string file = JournalFile(task.docId);
  if (changes.lost || !f.base.bytes) {
    // Without a base nothing can be rebuilt; whatever is on disk is out of date.
    if (f.onDisk) ::unlink(file.c_str());
    followed_.erase(task.docId);
    return;
  }
  for (const TextEdit& e : changes.edits) f.editBytes += e.insert.size() + 32;
  f.edits.insert(f.edits.end(), std::make_move_iterator(changes.edits.begin()),
                 std::make_move_iterator(changes.edits.end()));
  const std::size_t added = changes.edits.size();
  // Edits grown to a good share of the base are folded into a new one: the journal
  // stays a small multiple of the text, and so does what this thread keeps.
  const bool fold = f.editBytes > std::max<std::uint64_t>(4u << 20, f.base.size / 2);
  if (fold) {
    LineReplay text(f.base.view());
    bool fits = true;
    for (const TextEdit& e : f.edits) fits = fits && text.Apply(e);
    f.edits.clear();
    f.editBytes = 0;
    f.onDisk = false;
    if (!fits) {
      // Cannot happen with edits of this text; never journal a wrong text.
      ::unlink(file.c_str());
      followed_.erase(task.docId);
      return;
    }
    f.base = MakeBaseText(text.AsBase());
  }
  if (!task.modified) {
    if (f.onDisk) ::unlink(file.c_str());
    f.onDisk = false;
    return;
  }
  if (f.onDisk) {
    const std::span<const TextEdit> fresh(f.edits.data() + f.edits.size() - added, added);
    if (AppendPrivately(file, EncodeJournalRecord(task.header, fresh))) return;
  }
  if (!MakeDirs(dir_) || !PrivateFolder(dir_)) return;
  f.onDisk = WritePrivateAtomically(file, EncodeEditJournal(task.header, f.base.view(), f.edits));
}

std::vector<Journal> RecoveryStore::Stale() const {
  std::vector<std::pair<std::int64_t, Journal>> found;
  if (!Enabled() || !PrivateFolder(dir_)) return {};
  DIR* d = ::opendir(dir_.c_str());
  if (!d) return {};
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    const std::string file = paths::Join(dir_, name);
    if (name.find(std::string(kSuffix) + ".") != std::string::npos) {
      // A temporary of a write cut short: it goes when its process is gone.
      unsigned long pid = 0, start = 0;
      if (std::sscanf(name.c_str(), "%lu-%lu-", &pid, &start) == 2 &&
          ProcessStartTime(static_cast<long>(pid)) != start)
        ::unlink(file.c_str());
      continue;
    }
    if (!name.ends_with(kSuffix)) continue;
    // Only a plain file of our own: another user's journal could put any text into
    // our documents.
    struct stat own {};
    if (::lstat(file.c_str(), &own) != 0 || !S_ISREG(own.st_mode) || own.st_uid != ::geteuid())
      continue;
    std::string bytes;
    if (!ReadWholeFile(file, bytes, nullptr, kNoReadLimit)) continue;
    std::optional<Journal> j = DecodeJournal(bytes);
    if (!j || j->header.instanceKey != instanceKey_) continue;
    // A process that is still running with that pid and start time owns it.
    if (j->header.startTime != 0 && ProcessStartTime(j->header.pid) == j->header.startTime)
      continue;
    struct stat st {};
    ::stat(file.c_str(), &st);
    j->file = file;
    // Nanoseconds: two journals of one file written in the same second keep their order.
    found.emplace_back(
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
        std::move(*j));
  }
  ::closedir(d);
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<Journal> out;
  for (auto& [when, j] : found) out.push_back(std::move(j));
  return out;
}

void RecoveryStore::Discard(const Journal& journal) {
  if (!journal.file.empty()) ::unlink(journal.file.c_str());
}

}  // namespace tamso
