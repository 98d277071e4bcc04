#include "platform/ini_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <deque>
#include <optional>

#include "platform/atomic_file.h"
#include "platform/file_read.h"
#include "platform/paths.h"

namespace tamso {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// One line of the file as the store understands it.
struct Line {
  enum Kind { kOther, kSection, kKey } kind = kOther;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // key value, trimmed
};

Line Classify(std::string_view raw) {
  Line line;
  std::string_view t = Trim(raw);
  if (t.empty() || t.front() == ';') return line;
  if (t.front() == '[') {
    t.remove_prefix(1);
    size_t close = t.find(']');
    line.kind = Line::kSection;
    line.name = Trim(close == std::string_view::npos ? t : t.substr(0, close));
    return line;
  }
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) return line;
  line.kind = Line::kKey;
  line.name = Trim(t.substr(0, eq));
  line.value = Trim(t.substr(eq + 1));
  return line;
}

// The text split into lines (without their line ends) plus the line end in use.
struct Document {
  std::vector<std::string_view> lines;
  std::string eol = "\n";
  bool endsWithEol = true;
};

Document Split(std::string_view text) {
  Document doc;
  if (text.find("\r\n") != std::string_view::npos) doc.eol = "\r\n";
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) {
      doc.lines.push_back(text.substr(pos));
      doc.endsWithEol = false;
      break;
    }
    std::string_view l = text.substr(pos, nl - pos);
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    doc.lines.push_back(l);
    pos = nl + 1;
  }
  return doc;
}

// Finds [section]: the index of its header line and one past its last line.
bool FindSection(const Document& doc, std::string_view section, size_t& head, size_t& end) {
  for (size_t i = 0; i < doc.lines.size(); ++i) {
    Line l = Classify(doc.lines[i]);
    if (l.kind == Line::kSection && paths::EqualsNoCase(l.name, section)) {
      head = i;
      end = i + 1;
      while (end < doc.lines.size() && Classify(doc.lines[end]).kind != Line::kSection) ++end;
      return true;
    }
  }
  return false;
}

bool FindKey(const Document& doc, size_t head, size_t end, std::string_view key, size_t& at) {
  for (size_t i = head + 1; i < end; ++i) {
    Line l = Classify(doc.lines[i]);
    if (l.kind == Line::kKey && paths::EqualsNoCase(l.name, key)) {
      at = i;
      return true;
    }
  }
  return false;
}

// Line breaks inside a name or value would split it into other keys: they become blanks.
std::string OneLine(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c == '\n' || c == '\r') c = ' ';
  return r;
}

// Lines of a rewritten file: views into the old text, or new lines kept in owned.
struct Lines {
  std::vector<std::string_view> lines;
  std::deque<std::string> owned;
  explicit Lines(const Document& doc) : lines(doc.lines) {}
  std::string_view Own(std::string line) { return owned.emplace_back(std::move(line)); }
};

std::string Join(const Document& doc, const std::vector<std::string_view>& lines) {
  std::string out;
  size_t total = 0;
  for (const auto& l : lines) total += l.size() + doc.eol.size();
  out.reserve(total);
  for (size_t i = 0; i < lines.size(); ++i) {
    out += lines[i];
    if (i + 1 < lines.size() || doc.endsWithEol) out += doc.eol;
  }
  return out;
}

// A value in matching single or double quotes is read without them.
std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// The text written for a value: as it is, or in double quotes when reading would
// change it (blanks at either end are trimmed, one pair of enclosing quotes is
// taken off), so that every value reads back as written.
std::string StoredValue(std::string_view value) {
  std::string one = OneLine(value);
  std::string_view t = one;
  if (Trim(t).size() != t.size() || Unquote(t).size() != t.size()) return "\"" + one + "\"";
  return one;
}

// Every [section] of the name: [head, end) line ranges, in file order.
std::vector<std::pair<size_t, size_t>> FindSections(const Document& doc, std::string_view section) {
  std::vector<std::pair<size_t, size_t>> out;
  for (size_t i = 0; i < doc.lines.size(); ++i) {
    Line l = Classify(doc.lines[i]);
    if (l.kind != Line::kSection || !paths::EqualsNoCase(l.name, section)) continue;
    size_t end = i + 1;
    while (end < doc.lines.size() && Classify(doc.lines[end]).kind != Line::kSection) ++end;
    out.emplace_back(i, end);
    i = end - 1;
  }
  return out;
}

enum class Op { kSet, kRemoveKey, kRemoveSection };

}  // namespace

struct WriteOutcome {
  bool ok = true;
  std::string error;
};

namespace {

WriteOutcome Unreadable(const std::string& path) {
  return {false, "Cannot read " + path + " to update it; the file was left as it is."};
}

WriteOutcome Written(const WriteResult& r) {
  return {r.ok, r.error};
}

// The text with the change applied, or nothing when the change leaves it as it is.
std::optional<std::string> Apply(std::string_view text, std::string_view section,
                                 std::string_view key, std::string_view value, Op op) {
  Document doc = Split(text);
  size_t head = 0, end = 0;
  bool haveSection = FindSection(doc, section, head, end);
  Lines result(doc);
  std::vector<std::string_view>& out = result.lines;
  const std::string stored = StoredValue(value);
  const std::string_view entry = result.Own(OneLine(key) + "=" + stored);

  switch (op) {
    case Op::kRemoveSection:
      if (!haveSection) return std::nullopt;
      out.erase(out.begin() + static_cast<long>(head), out.begin() + static_cast<long>(end));
      break;
    case Op::kRemoveKey: {
      size_t at = 0;
      if (!haveSection || !FindKey(doc, head, end, key, at)) return std::nullopt;
      out.erase(out.begin() + static_cast<long>(at));
      break;
    }
    case Op::kSet: {
      size_t at = 0;
      if (haveSection && FindKey(doc, head, end, key, at)) {
        // The same value: nothing to write (keeps the file's time stamp too).
        if (Classify(doc.lines[at]).value == stored) return std::nullopt;
        out[at] = entry;
      } else if (haveSection) {
        // After the section's last key, so blank lines and comments that end the
        // section stay between it and the next one.
        size_t insertAt = head + 1;
        for (size_t i = head + 1; i < end; ++i)
          if (Classify(doc.lines[i]).kind == Line::kKey) insertAt = i + 1;
        out.insert(out.begin() + static_cast<long>(insertAt), entry);
      } else {
        out.push_back(result.Own("[" + OneLine(section) + "]"));
        out.push_back(entry);
        doc.endsWithEol = true;
      }
      break;
    }
  }
  return Join(doc, out);
}

}  // namespace

// What tells one version of a file from another without reading it.
struct FileStamp {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  struct timespec mtime {};
  struct timespec ctime {};
  bool operator==(const FileStamp& o) const {
    return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec &&
           ctime.tv_nsec == o.ctime.tv_nsec;
  }
};

struct IniFile::CachedText {
  FileStamp stamp;
  // A file written shortly before it was read may be written again within the same tick
  // of its modification time, unseen by the stamp: such a text is never reused.
  bool reusable = false;
  std::string text;
};

namespace {

bool StampOf(const std::string& path, FileStamp& stamp) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  stamp.dev = st.st_dev;
  stamp.ino = st.st_ino;
  stamp.size = st.st_size;
  stamp.mtime = st.st_mtim;
  stamp.ctime = st.st_ctim;
  return true;
}

// Coarser than any file system's time stamps that matter here.
constexpr time_t kStampTickSeconds = 2;

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)), sizeLimit_(kDefaultReadLimit) {}

IniFile IniFile::InMemory(std::string text, std::string name) {
  IniFile ini(std::move(name));
  ini.inMemory_ = true;
  ini.memory_ = std::move(text);
  return ini;
}

std::shared_ptr<const std::string> IniFile::ReadText() const {
  if (inMemory_) return std::make_shared<const std::string>(memory_);
  FileStamp stamp;
  const bool stamped = StampOf(path_, stamp);
  if (stamped && cache_ && cache_->reusable && cache_->stamp == stamp)
    return std::shared_ptr<const std::string>(cache_, &cache_->text);
  cache_.reset();
  if (stamped && static_cast<std::uint64_t>(stamp.size) > sizeLimit_) return nullptr;
  // The stamp is taken before the bytes are read: a change while reading gives a newer
  // stamp, so the next read reads again.
  const time_t readAt = std::time(nullptr);
  auto entry = std::make_shared<CachedText>();
  ++diskReads_;
  if (!ReadWholeFile(path_, entry->text, nullptr, sizeLimit_)) return nullptr;
  if (!stamped) return std::make_shared<const std::string>(std::move(entry->text));
  entry->stamp = stamp;
  entry->reusable = stamp.mtime.tv_sec + kStampTickSeconds < readAt;
  cache_ = std::move(entry);
  return std::shared_ptr<const std::string>(cache_, &cache_->text);
}

bool IniFile::LoadForUpdate(std::string& text) const {
  if (auto read = ReadText()) {
    text = *read;
    return true;
  }
  text.clear();
  return !paths::Exists(path_);
}

WriteOutcome IniFile::Store(const std::string& text) {
  if (!inMemory_) {
    cache_.reset();
    return Written(WriteFileAtomically(path_, text));
  }
  memory_ = text;
  return {};
}

bool IniFile::Exists() const {
  return inMemory_ || paths::Exists(path_);
}

WriteOutcome IniFile::Modify(std::string_view section, std::string_view key, std::string_view value,
                             int op) {
  std::string text;
  if (!LoadForUpdate(text)) return Unreadable(path_);  // never overwrite a file we could not read
  std::optional<std::string> changed = Apply(text, section, key, value, static_cast<Op>(op));
  if (!changed) return {};
  return Store(*changed);
}

std::optional<std::string> IniFile::Lookup(std::string_view section, std::string_view key) const {
  const auto text = ReadText();
  if (!text) return std::nullopt;
  Document doc = Split(*text);
  size_t head = 0, end = 0, at = 0;
  if (!FindSection(doc, section, head, end) || !FindKey(doc, head, end, key, at))
    return std::nullopt;
  return std::string(Unquote(Classify(doc.lines[at]).value));
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view def) const {
  auto v = Lookup(section, key);
  return v ? *v : std::string(def);
}

int IniFile::GetInt(std::string_view section, std::string_view key, int def) const {
  auto v = Lookup(section, key);
  if (!v) return def;
  std::string_view s = Trim(*v);
  if (s.empty()) return def;
  bool negative = false;
  if (s.front() == '-') {
    negative = true;
    s.remove_prefix(1);
  }
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  long long n = 0;
  for (char c : s) {
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      break;
    n = n * base + d;
    if (n > static_cast<long long>(UINT_MAX)) break;
  }
  if (negative) n = -n;
  if (n > INT_MAX) {
    // Values above INT_MAX come back as the same 32 bits read signed, as the
    // classic unsigned return value cast to int does (0xFFFFFFFF gives -1).
    return static_cast<int>(static_cast<unsigned int>(n & 0xFFFFFFFFLL));
  }
  if (n < INT_MIN) return INT_MIN;
  return static_cast<int>(n);
}

bool IniFile::GetYesNo(std::string_view section, std::string_view key) const {
  return GetString(section, key, "N") != "N";
}

bool IniFile::Done(const WriteOutcome& outcome) {
  if (!outcome.ok && onWriteFailure_) onWriteFailure_(outcome.error);
  return outcome.ok;
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  return Done(Modify(section, key, value, static_cast<int>(Op::kSet)));
}

bool IniFile::WriteInt(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool IniFile::WriteYesNo(std::string_view section, std::string_view key, bool yes) {
  return WriteString(section, key, yes ? "Y" : "N");
}

bool IniFile::RemoveKey(std::string_view section, std::string_view key) {
  return Done(Modify(section, key, {}, static_cast<int>(Op::kRemoveKey)));
}

bool IniFile::RemoveSection(std::string_view section) {
  return Done(Modify(section, {}, {}, static_cast<int>(Op::kRemoveSection)));
}

bool IniFile::ReplaceSection(std::string_view section,
                             const std::vector<std::pair<std::string, std::string>>& entries,
                             const SetAlso* also) {
  std::string text;
  if (!LoadForUpdate(text)) return Done(Unreadable(path_));
  Document doc = Split(text);
  Lines lines(doc);
  std::vector<std::string_view>& out = lines.lines;
  // Every section of the name goes (the first one is the one read, so a later one of
  // the same name would otherwise shadow the one written at the end).
  const auto found = FindSections(doc, section);
  for (auto it = found.rbegin(); it != found.rend(); ++it)
    out.erase(out.begin() + static_cast<long>(it->first),
              out.begin() + static_cast<long>(it->second));
  if (!entries.empty()) {
    out.push_back(lines.Own("[" + OneLine(section) + "]"));
    for (const auto& [k, v] : entries) out.push_back(lines.Own(OneLine(k) + "=" + StoredValue(v)));
    doc.endsWithEol = true;
  }
  std::string result = Join(doc, out);
  if (also) {
    if (auto changed = Apply(result, also->section, also->key, also->value, Op::kSet))
      result = std::move(*changed);
  }
  // The same bytes: nothing to write (keeps the file's time stamp, and spares a
  // large project a rewrite at every open).
  if (result == text && (!text.empty() || Exists())) return true;
  return Done(Store(result));
}

std::vector<std::vector<std::pair<std::string, std::string>>> IniFile::ReadSections(
    const std::vector<std::string_view>& sections) const {
  std::vector<std::vector<std::pair<std::string, std::string>>> out(sections.size());
  const auto text = ReadText();
  if (!text) return out;
  Document doc = Split(*text);
  for (size_t s = 0; s < sections.size(); ++s) {
    size_t head = 0, end = 0;
    if (!FindSection(doc, sections[s], head, end)) continue;
    for (size_t i = head + 1; i < end; ++i) {
      Line c = Classify(doc.lines[i]);
      if (c.kind == Line::kKey) out[s].emplace_back(c.name, Unquote(c.value));
    }
  }
  return out;
}

std::vector<std::pair<std::string, std::string>> IniFile::ReadSection(
    std::string_view section) const {
  return std::move(ReadSections({section}).front());
}

std::vector<std::string> IniFile::Sections() const {
  std::vector<std::string> out;
  const auto text = ReadText();
  if (!text) return out;
  for (auto l : Split(*text).lines) {
    Line c = Classify(l);
    if (c.kind == Line::kSection) out.emplace_back(c.name);
  }
  return out;
}

std::vector<std::string> IniFile::Keys(std::string_view section) const {
  std::vector<std::string> out;
  for (auto& entry : ReadSection(section)) out.push_back(std::move(entry.first));
  return out;
}

}  // namespace tamso
