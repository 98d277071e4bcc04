#include "help/docs_index.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "platform/file_read.h"
#include "platform/paths.h"

namespace tamso {

namespace {

// The JDK's index scripts are some tens of megabytes; anything far larger is not one.
constexpr std::uint64_t kScriptLimit = 512ull << 20;
constexpr std::string_view kUnnamed = "<Unnamed>";

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool Equal(std::string_view a, std::string_view b, bool foldCase) {
  if (a.size() != b.size()) return false;
  if (!foldCase) return a == b;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// name equals text, or ends with "." + text.
bool NameMatches(std::string_view name, std::string_view text, bool foldCase) {
  if (name.size() == text.size()) return Equal(name, text, foldCase);
  if (name.size() < text.size() + 1) return false;
  return name[name.size() - text.size() - 1] == '.' &&
         Equal(name.substr(name.size() - text.size()), text, foldCase);
}

std::string_view LastSegment(std::string_view s) {
  size_t dot = s.rfind('.');
  return dot == std::string_view::npos ? s : s.substr(dot + 1);
}

std::string WithoutBlanks(std::string_view s) {
  std::string out;
  for (char c : s)
    if (c != ' ' && c != '\t') out += c;
  return out;
}

// The characters of an anchor that a URL cannot hold as they are.
std::string EscapeAnchor(std::string_view s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case ' ':
        out += "%20";
        break;
      case '<':
        out += "%3C";
        break;
      case '>':
        out += "%3E";
        break;
      case '"':
        out += "%22";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string PackagePath(std::string_view package) {
  std::string p(package);
  std::replace(p.begin(), p.end(), '.', '/');
  return p;
}

void AppendUtf8(std::string& out, unsigned cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Reads a JSON string starting at s[i] == '"'; i ends after the closing quote.
bool ReadString(std::string_view s, size_t& i, std::string& out) {
  out.clear();
  ++i;
  while (i < s.size()) {
    char c = s[i++];
    if (c == '"') return true;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i >= s.size()) return false;
    char e = s[i++];
    switch (e) {
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case 'b':
        out += '\b';
        break;
      case 'f':
        out += '\f';
        break;
      case 'u': {
        if (i + 4 > s.size()) return false;
        unsigned cp = 0;
        for (int k = 0; k < 4; ++k) {
          char h = s[i++];
          cp <<= 4;
          if (h >= '0' && h <= '9')
            cp |= static_cast<unsigned>(h - '0');
          else if (h >= 'a' && h <= 'f')
            cp |= static_cast<unsigned>(h - 'a' + 10);
          else if (h >= 'A' && h <= 'F')
            cp |= static_cast<unsigned>(h - 'A' + 10);
          else
            return false;
        }
        AppendUtf8(out, cp);
        break;
      }
      default:
        out += e;  // \" \\ \/
    }
  }
  return false;
}

void SkipBlanks(std::string_view s, size_t& i) {
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
}

// Skips a value that is not a string (number, true, nested object or array).
void SkipValue(std::string_view s, size_t& i) {
  int depth = 0;
  std::string ignored;
  while (i < s.size()) {
    char c = s[i];
    if (c == '"') {
      if (!ReadString(s, i, ignored)) {
        i = s.size();
        return;
      }
      continue;
    }
    if (c == '{' || c == '[') ++depth;
    if (c == '}' || c == ']') {
      if (depth == 0) return;
      --depth;
    }
    if (c == ',' && depth == 0) return;
    ++i;
  }
}

std::string Attribute(std::string_view tag, std::string_view name) {
  std::string key = std::string(name) + "=\"";
  size_t p = tag.find(key);
  if (p == std::string_view::npos) return {};
  p += key.size();
  size_t q = tag.find('"', p);
  if (q == std::string_view::npos) return {};
  return std::string(tag.substr(p, q - p));
}

std::string StripTags(std::string_view html) {
  std::string out;
  bool inTag = false;
  for (char c : html) {
    if (c == '<')
      inTag = true;
    else if (c == '>')
      inTag = false;
    else if (!inTag)
      out += c;
  }
  // Trim.
  size_t a = out.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return {};
  size_t b = out.find_last_not_of(" \t\r\n");
  return out.substr(a, b - a + 1);
}

}  // namespace

std::string DocEntry::QualifiedName() const {
  std::string q = package.empty() ? std::string() : package + ".";
  if (kind == DocKind::Member) q += className + ".";
  return q + label;
}

std::vector<std::vector<std::pair<std::string, std::string>>> ParseSearchScript(
    std::string_view s) {
  std::vector<std::vector<std::pair<std::string, std::string>>> objects;
  size_t i = s.find('[');
  if (i == std::string_view::npos) return objects;
  ++i;
  std::string key, value;
  for (;;) {
    SkipBlanks(s, i);
    if (i >= s.size() || s[i] != '{') return objects;
    ++i;
    std::vector<std::pair<std::string, std::string>> object;
    for (;;) {
      SkipBlanks(s, i);
      if (i >= s.size()) return objects;
      if (s[i] == '}') {
        ++i;
        break;
      }
      if (s[i] == ',') {
        ++i;
        continue;
      }
      if (s[i] != '"' || !ReadString(s, i, key)) return objects;
      SkipBlanks(s, i);
      if (i >= s.size() || s[i] != ':') return objects;
      ++i;
      SkipBlanks(s, i);
      if (i < s.size() && s[i] == '"') {
        if (!ReadString(s, i, value)) return objects;
        object.emplace_back(key, value);
      } else {
        SkipValue(s, i);
      }
    }
    objects.push_back(std::move(object));
    SkipBlanks(s, i);
    if (i < s.size() && s[i] == ',') ++i;
  }
}

bool DocsIndex::Load(const std::string& apiDir, std::string* error) {
  entries_.clear();
  keys_.clear();
  auto read = [&](const char* name, std::string& text) {
    std::string path = paths::Join(apiDir, name);
    return ProbeFile(path).kind == FileKind::Regular &&
           ReadWholeFile(path, text, error, kScriptLimit);
  };
  std::string types, members, packages;
  if (read("type-search-index.js", types)) {
    if (!read("member-search-index.js", members)) members.clear();
    if (!read("package-search-index.js", packages)) packages.clear();
    LoadScripts(types, members, packages);
  } else {
    std::string page;
    for (const char* name : {"allclasses-noframe.html", "allclasses-frame.html", "allclasses.html"})
      if (read(name, page)) {
        LoadAllClassesPage(page);
        break;
      }
  }
  if (entries_.empty()) {
    if (error)
      *error = "No Java API search index was found in " + apiDir +
               " (type-search-index.js or allclasses-frame.html).";
    return false;
  }
  return true;
}

void DocsIndex::LoadScripts(std::string_view typeScript, std::string_view memberScript,
                            std::string_view packageScript) {
  entries_.clear();
  keys_.clear();
  // Module documentation puts each package under the folder of its module.
  std::unordered_map<std::string, std::string> moduleOf;
  for (auto& object : ParseSearchScript(packageScript)) {
    std::string label, module;
    for (auto& [k, v] : object) {
      if (k == "l") label = v;
      if (k == "m") module = v;
    }
    if (!module.empty()) moduleOf[label] = module;
  }
  auto prefix = [&](const std::string& module, const std::string& package) {
    if (!module.empty()) return module + "/";
    auto it = moduleOf.find(package);
    return it == moduleOf.end() ? std::string() : it->second + "/";
  };
  for (int pass = 0; pass < 2; ++pass) {
    const bool member = pass == 1;
    for (auto& object : ParseSearchScript(member ? memberScript : typeScript)) {
      std::string p, c, l, u, m;
      for (auto& [k, v] : object) {
        if (k == "p")
          p = v;
        else if (k == "c")
          c = v;
        else if (k == "l")
          l = v;
        else if (k == "u")
          u = v;
        else if (k == "m")
          m = v;
      }
      if (l.empty() || (member && c.empty())) continue;
      // The "All Classes" entry has a page but no package.
      if (!member && p.empty()) continue;
      DocEntry e;
      e.kind = member ? DocKind::Member : DocKind::Type;
      e.package = p == kUnnamed ? std::string() : p;
      e.className = c;
      e.label = l;
      std::string base = prefix(m, p);
      if (!e.package.empty()) base += PackagePath(e.package) + "/";
      if (member)
        e.url = base + c + ".html#" + EscapeAnchor(u.empty() ? l : u);
      else
        e.url = u.empty() ? base + l + ".html" : u;
      Add(std::move(e));
    }
  }
  BuildKeys();
}

void DocsIndex::LoadAllClassesPage(std::string_view html) {
  entries_.clear();
  keys_.clear();
  size_t i = 0;
  while ((i = html.find("<a ", i)) != std::string_view::npos) {
    size_t tagEnd = html.find('>', i);
    if (tagEnd == std::string_view::npos) break;
    size_t close = html.find("</a>", tagEnd);
    if (close == std::string_view::npos) break;
    std::string_view tag = html.substr(i, tagEnd - i);
    std::string href = Attribute(tag, "href");
    std::string title = Attribute(tag, "title");
    std::string text = StripTags(html.substr(tagEnd + 1, close - tagEnd - 1));
    i = close + 4;
    size_t in = title.rfind(" in ");
    if (href.empty() || text.empty() || in == std::string::npos) continue;
    DocEntry e;
    e.kind = DocKind::Type;
    e.package = title.substr(in + 4);
    e.label = text;
    e.url = href;
    Add(std::move(e));
  }
  BuildKeys();
}

void DocsIndex::Add(DocEntry entry) {
  entries_.push_back(std::move(entry));
}

void DocsIndex::BuildKeys() {
  keys_.reserve(entries_.size());
  for (std::uint32_t n = 0; n < entries_.size(); ++n) {
    const DocEntry& e = entries_[n];
    std::string_view name = e.label;
    if (e.kind == DocKind::Member) name = name.substr(0, name.find('('));
    keys_.emplace(Lower(LastSegment(name)), n);
  }
}

std::vector<const DocEntry*> DocsIndex::Find(const std::string& key, std::string_view text,
                                             bool foldCase) const {
  // "String.valueOf(int)": the name part and, when given, the parameters.
  size_t paren = text.find('(');
  std::string_view name = text.substr(0, paren);
  std::string params =
      paren == std::string_view::npos ? std::string() : WithoutBlanks(text.substr(paren));
  std::vector<const DocEntry*> types, members;
  auto range = keys_.equal_range(key);
  for (auto it = range.first; it != range.second; ++it) {
    const DocEntry& e = entries_[it->second];
    if (e.kind == DocKind::Type) {
      if (params.empty() && NameMatches(e.QualifiedName(), name, foldCase)) types.push_back(&e);
      continue;
    }
    size_t lp = e.label.find('(');
    std::string_view member = std::string_view(e.label).substr(0, lp);
    std::string full = (e.package.empty() ? std::string() : e.package + ".") + e.className + "." +
                       std::string(member);
    if (!NameMatches(full, name, foldCase)) continue;
    if (!params.empty()) {
      // The parameters as the label shows them ("(int, String)") or as the anchor
      // spells them ("(int,java.lang.String)").
      size_t ap = e.url.find('(', e.url.find('#'));
      bool same = (lp != std::string::npos &&
                   Equal(WithoutBlanks(std::string_view(e.label).substr(lp)), params, foldCase)) ||
                  (ap != std::string::npos &&
                   Equal(WithoutBlanks(std::string_view(e.url).substr(ap)), params, foldCase));
      if (!same) continue;
    }
    members.push_back(&e);
  }
  // A type named so is what the reader means, not its constructors.
  std::vector<const DocEntry*>& hits = types.empty() ? members : types;
  std::vector<std::pair<std::string, const DocEntry*>> keyed;
  keyed.reserve(hits.size());
  for (const DocEntry* e : hits) keyed.emplace_back(e->QualifiedName(), e);
  std::sort(keyed.begin(), keyed.end());
  for (size_t n = 0; n < keyed.size(); ++n) hits[n] = keyed[n].second;
  return hits;
}

std::vector<const DocEntry*> DocsIndex::Lookup(std::string_view text) const {
  size_t a = text.find_first_not_of(" \t\r\n");
  if (a == std::string_view::npos) return {};
  size_t b = text.find_last_not_of(" \t\r\n");
  text = text.substr(a, b - a + 1);
  std::string_view name = text.substr(0, text.find('('));
  // "String." or "(int)" names nothing.
  if (name.empty() || name.back() == '.') return {};
  const std::string key = Lower(LastSegment(name));
  std::vector<const DocEntry*> hits = Find(key, text, false);
  if (hits.empty()) hits = Find(key, text, true);
  return hits;
}

}  // namespace tamso
