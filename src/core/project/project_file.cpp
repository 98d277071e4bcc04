#include "project/project_file.h"

#include <optional>
#include <string_view>
#include <unordered_map>

#include "platform/atomic_file.h"
#include "platform/ini_file.h"
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

struct Line {
  enum Kind { kOther, kSection, kKey } kind = kOther;
  std::string_view name;
  std::string_view value;
};

Line Classify(std::string_view raw) {
  Line line;
  std::string_view t = Trim(raw);
  if (t.empty() || t.front() == ';') return line;
  if (t.front() == '[') {
    t.remove_prefix(1);
    std::size_t close = t.find(']');
    line.kind = Line::kSection;
    line.name = Trim(close == std::string_view::npos ? t : t.substr(0, close));
    return line;
  }
  std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return line;
  line.kind = Line::kKey;
  line.name = Trim(t.substr(0, eq));
  line.value = Trim(t.substr(eq + 1));
  return line;
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

std::string Lower(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

struct Lines {
  std::vector<std::string_view> lines;
  std::string eol = "\n";
  bool endsWithEol = true;
};

Lines Split(std::string_view text) {
  Lines doc;
  if (text.find("\r\n") != std::string_view::npos) doc.eol = "\r\n";
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
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

}  // namespace

ProjectFileMembers ReadProjectMembers(const std::string& path) {
  ProjectFileMembers result;
  std::string text;
  if (!ReadWholeFile(path, text)) return result;
  Lines doc = Split(text);

  // Only the first section of a name counts, and in it the first key of a name.
  enum class Where { kNone, kFiles, kProject, kOther } where = Where::kNone;
  bool seenFiles = false, seenProject = false, haveMain = false;
  std::unordered_map<std::string, std::string_view> files;
  for (std::string_view raw : doc.lines) {
    Line l = Classify(raw);
    if (l.kind == Line::kSection) {
      if (paths::EqualsNoCase(l.name, "Files") && !seenFiles) {
        where = Where::kFiles;
        seenFiles = true;
      } else if (paths::EqualsNoCase(l.name, "Project") && !seenProject) {
        where = Where::kProject;
        seenProject = true;
      } else {
        where = Where::kOther;
      }
      continue;
    }
    if (l.kind != Line::kKey) continue;
    if (where == Where::kFiles) {
      files.emplace(Lower(l.name), Unquote(l.value));
    } else if (where == Where::kProject && !haveMain && paths::EqualsNoCase(l.name, "Mainfile")) {
      result.mainFile = std::string(Unquote(l.value));
      haveMain = true;
    }
  }
  for (int n = 1;; ++n) {
    auto it = files.find("file" + std::to_string(n));
    if (it == files.end() || it->second.empty()) break;
    result.files.emplace_back(it->second);
  }
  return result;
}

bool WriteProjectMembers(const std::string& path, const std::vector<std::string>& files,
                         const std::string* mainFile) {
  std::vector<std::pair<std::string, std::string>> entries;
  entries.reserve(files.size());
  for (std::size_t i = 0; i < files.size(); ++i)
    entries.emplace_back("file" + std::to_string(i + 1), files[i]);
  IniFile file(path);
  if (!file.ReplaceSection("Files", entries)) return false;
  return !mainFile || file.WriteString("Project", "Mainfile", *mainFile);
}

}  // namespace tamso
