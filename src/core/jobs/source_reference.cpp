#include "jobs/source_reference.h"

#include <algorithm>
#include <climits>
#include <fstream>

#include "platform/host.h"
#include "platform/paths.h"

namespace tamso {

namespace {

bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

bool IsBlank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Visible characters of a file name. Bytes from 0x80 up are taken as part of a
// name, so UTF-8 directory names survive.
bool IsNameChar(unsigned char c) {
  return (c > ' ' && c < 0x7f) || c >= 0x80;
}

constexpr int kMaxDigits = 40;  // a run of this many digits is not a line number

}  // namespace

std::optional<SourceReference> ParseSourceReference(std::string_view text) {
  const size_t n = text.size();
  size_t colon = n;
  size_t runStart = 0;
  size_t runEnd = 0;
  size_t columnStart = 0;
  size_t columnEnd = 0;
  size_t after = 0;
  // The digits from j on: where they end, or npos when there are none or too many.
  auto digitsFrom = [&](size_t j) {
    size_t k = j;
    while (k < n && IsDigit(static_cast<unsigned char>(text[k]))) ++k;
    return k > j && k - j < static_cast<size_t>(kMaxDigits) ? k : std::string_view::npos;
  };
  size_t i = 0;
  while (i < n) {
    if (text[i] != ':') {
      ++i;
      continue;
    }
    if (i + 1 < n && text[i + 1] == '[') {
      // "[12,20]" or "[12]"
      const size_t lineEnd = digitsFrom(i + 2);
      if (lineEnd != std::string_view::npos) {
        size_t close = lineEnd;
        size_t colStart = 0, colEnd = 0;
        if (close < n && text[close] == ',') {
          colStart = close + 1;
          colEnd = digitsFrom(colStart);
          close = colEnd;
        }
        if (close != std::string_view::npos && close < n && text[close] == ']') {
          colon = i;
          runStart = i + 2;
          runEnd = lineEnd;
          columnStart = colStart;
          columnEnd = colStart ? colEnd : 0;
          after = close + 1;
          break;
        }
      }
      i += 2;
      continue;
    }
    size_t j = i + 1;
    while (j < n && IsDigit(static_cast<unsigned char>(text[j]))) ++j;
    const size_t digits = j - i - 1;
    if (digits >= 1 && digits < static_cast<size_t>(kMaxDigits) && (j == n || text[j] == ':')) {
      colon = i;
      runStart = i + 1;
      runEnd = j;
      after = j == n ? n : j + 1;
      break;
    }
    // Go on from where the digit run stopped; a colon there is the next candidate.
    i = j;
  }
  if (colon == n || colon == 0) return std::nullopt;

  auto number = [&](size_t from, size_t to) {
    long long value = 0;
    for (size_t k = from; k < to; ++k) {
      value = value * 10 + (text[k] - '0');
      if (value > INT_MAX) return INT_MAX;
    }
    return static_cast<int>(value);
  };
  const int value = number(runStart, runEnd);

  size_t start = colon - 1;
  while (start > 0 && IsNameChar(static_cast<unsigned char>(text[start]))) --start;
  // The character that stopped the walk is part of the name only when it is itself
  // a name character (the walk reached the start of the text).
  if (!IsNameChar(static_cast<unsigned char>(text[start]))) ++start;
  size_t end = colon;
  while (start < end && IsBlank(static_cast<unsigned char>(text[start]))) ++start;
  while (end > start && IsBlank(static_cast<unsigned char>(text[end - 1]))) --end;
  if (start == end) return std::nullopt;

  SourceReference ref;
  ref.file = std::string(text.substr(start, end - start));
  ref.line = value;
  if (columnStart) ref.column = number(columnStart, columnEnd);
  ref.end = after;
  // The longer readings: from the line's start (after blanks and a hit mark), then
  // from each blank after it, while the name still ends at the colon.
  std::string_view head = text.substr(0, end);
  size_t from = 0;
  while (from < head.size() && IsBlank(static_cast<unsigned char>(head[from]))) ++from;
  if (head.substr(from).starts_with("==> ")) from += 4;
  while (from < start) {
    ref.candidates.emplace_back(head.substr(from));
    size_t blank = from;
    while (blank < start && !IsBlank(static_cast<unsigned char>(head[blank]))) ++blank;
    while (blank < start && IsBlank(static_cast<unsigned char>(head[blank]))) ++blank;
    from = blank;
  }
  ref.candidates.push_back(ref.file);
  return ref;
}

std::optional<SourceReference> ParseStackFrameReference(std::string_view text,
                                                        const std::vector<std::string>& roots) {
  if (roots.empty()) return std::nullopt;
  size_t i = 0;
  while (i < text.size() && IsBlank(static_cast<unsigned char>(text[i]))) ++i;
  if (text.substr(i, 3) == "at ") {
    i += 3;
  } else {
    // The test launcher's reports list frames indented, without "at ": the line is
    // the frame alone.
    const std::string_view frame = text.substr(i);
    const size_t last = frame.find_last_not_of(" \t\r");
    if (i < 4 || last == std::string_view::npos || frame[last] != ')' ||
        frame.substr(0, last).find_first_of(" \t") != std::string_view::npos)
      return std::nullopt;
  }
  const size_t open = text.find('(', i);
  if (open == std::string_view::npos) return std::nullopt;
  const size_t close = text.find(')', open);
  if (close == std::string_view::npos) return std::nullopt;
  std::string_view method = text.substr(i, open - i);
  // "app//a.b.C.m" or "java.base/java.lang.Thread.run": the class comes after the '/'.
  if (const size_t slash = method.find_last_of('/'); slash != std::string_view::npos)
    method.remove_prefix(slash + 1);
  const std::string_view place = text.substr(open + 1, close - open - 1);
  const size_t colon = place.find_last_of(':');
  if (colon == std::string_view::npos || colon + 1 >= place.size()) return std::nullopt;
  const std::string_view file = place.substr(0, colon);
  if (file.empty() || file.find('/') != std::string_view::npos) return std::nullopt;
  long long line = 0;
  for (size_t k = colon + 1; k < place.size(); ++k) {
    if (!IsDigit(static_cast<unsigned char>(place[k])) || k - colon > kMaxDigits)
      return std::nullopt;
    line = std::min<long long>(line * 10 + (place[k] - '0'), INT_MAX);
  }
  // The package: the method's name without its last two parts (class and method).
  const size_t methodDot = method.find_last_of('.');
  if (methodDot == std::string_view::npos) return std::nullopt;
  const std::string_view cls = method.substr(0, methodDot);
  const size_t classDot = cls.find_last_of('.');
  std::string folder;
  if (classDot != std::string_view::npos) {
    folder = std::string(cls.substr(0, classDot));
    for (char& c : folder)
      if (c == '.') c = '/';
  }
  for (const std::string& root : roots) {
    const std::string path =
        folder.empty() ? paths::Join(root, file) : paths::Join(paths::Join(root, folder), file);
    if (paths::Exists(path) && !paths::IsDirectory(path)) {
      SourceReference ref;
      ref.file = path;
      ref.line = static_cast<int>(line);
      ref.candidates.push_back(path);
      return ref;
    }
  }
  return std::nullopt;
}

std::optional<SourceReference> ParseLineReference(std::string_view text,
                                                  const std::vector<std::string>& roots) {
  if (auto ref = ParseSourceReference(text)) return ref;
  return ParseStackFrameReference(text, roots);
}

std::optional<size_t> FindNextReference(size_t lineCount,
                                        const std::function<std::string(size_t)>& lineAt,
                                        std::optional<size_t> current, bool forward,
                                        const std::vector<std::string>& roots) {
  std::optional<SourceReference> here;
  if (current && *current < lineCount) here = ParseLineReference(lineAt(*current), roots);
  if (!forward && current && *current == 0) return std::nullopt;
  size_t i = current ? (forward ? *current + 1 : std::min(*current, lineCount) - 1)
                     : (forward ? 0 : lineCount - 1);
  for (; i < lineCount; forward ? ++i : --i) {
    auto ref = ParseLineReference(lineAt(i), roots);
    if (ref && !(here && ref->file == here->file && ref->line == here->line)) return i;
    if (!forward && i == 0) break;
  }
  return std::nullopt;
}

std::string ResolveReferenceFile(const SourceReference& ref, const std::string& baseDir) {
  auto resolve = [&](const std::string& name) {
    return baseDir.empty() || paths::IsAbsolute(name) ? name : paths::Join(baseDir, name);
  };
  for (const std::string& c : ref.candidates) {
    const std::string path = resolve(c);
    if (paths::Exists(path) && !paths::IsDirectory(path)) return path;
  }
  return resolve(ref.file);
}

bool IsCaretLine(std::string_view s) {
  const size_t at = s.find_first_not_of(" \t");
  return at != std::string_view::npos && s[at] == '^' &&
         s.find_first_not_of(" \t\r", at + 1) == std::string_view::npos;
}

std::optional<int> CaretLineColumn(size_t lineCount,
                                   const std::function<std::string(size_t)>& lineAt, size_t index) {
  if (index + 2 >= lineCount) return std::nullopt;
  const std::string caret = lineAt(index + 2);
  if (!IsCaretLine(caret)) return std::nullopt;
  // javac writes one blank (a tab under a tab) for each character before the place.
  const size_t at = caret.find('^');
  if (at > static_cast<size_t>(INT_MAX)) return std::nullopt;
  return static_cast<int>(at);
}

int ExpandedColumnCharacter(std::string_view text, int column) {
  constexpr int kTabStop = 8;
  int shown = 0;  // 0-based column reached so far
  int units = 0;  // characters as compilers count them
  for (size_t i = 0; i < text.size() && shown < column - 1;) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length = 1;
    if (lead >= 0xF0)
      length = 4;
    else if (lead >= 0xE0)
      length = 3;
    else if (lead >= 0xC0)
      length = 2;
    const int width = length == 4 ? 2 : 1;  // a character outside the basic plane is two
    if (text[i] == '\t')
      shown = (shown / kTabStop + 1) * kTabStop;
    else
      shown += width;
    units += width;
    i += std::min(length, text.size() - i);
  }
  return units;
}

namespace {

// The 0-based line of the file on disk (what the build tool read), if there is one.
std::optional<std::string> FileLine(const std::string& path, int line) {
  std::ifstream in(path, std::ios::binary);
  std::string text;
  for (int i = 0; i <= line; ++i)
    if (!std::getline(in, text)) return std::nullopt;
  return text;
}

}  // namespace

JumpResult JumpToSource(std::string_view lineText, IHost& host, const std::string& baseDir,
                        std::string* opened, const std::vector<std::string>& roots, int column) {
  auto ref = ParseLineReference(lineText, roots);
  if (!ref) {
    host.Beep(BeepKind::Default);
    return JumpResult::NotAReference;
  }
  const std::string file = ResolveReferenceFile(*ref, baseDir);
  if (opened) *opened = file;
  if (!host.OpenDocument(file)) return JumpResult::OpenFailed;
  IView* view = host.ActiveView();
  if (!view) return JumpResult::NoView;
  // Line 0 is not a line of any file; take it as the first.
  const int line = ref->line > 0 ? ref->line - 1 : 0;
  if (column < 0 && ref->column > 0) {
    const std::optional<std::string> text = FileLine(file, line);
    column = text ? ExpandedColumnCharacter(*text, ref->column) : ref->column - 1;
  }
  if (column >= 0)
    view->GoToLineCharacter(line, column);
  else
    view->GoToLine(line);
  return JumpResult::Done;
}

}  // namespace tamso
