#include "help/help_pages.h"

#include <cctype>
#include <cstdlib>

#include "editor/text_cells.h"
#include "java/jdk.h"
#include "platform/file_read.h"
#include "platform/ini_file.h"
#include "platform/paths.h"

namespace tamso {

namespace {

constexpr int kNewestKnownLts = 21;

bool IsRegular(const std::string& path) {
  return ProbeFile(path).kind == FileKind::Regular;
}

bool IsWordChar(char c) {
  const auto b = static_cast<unsigned char>(c);
  return std::isalnum(b) || c == '_' || c == '$' || b >= 0x80;
}

std::string VersionText(int version) {
  return std::to_string(version > 0 ? version : kNewestKnownLts);
}

}  // namespace

int JdkFeatureVersion(const std::string& jdkHome) {
  return JdkFeatureOf(ReadJdkVersion(jdkHome));
}

bool LooksLikeApiDocs(const std::string& dir) {
  if (dir.empty() || !IsRegular(paths::Join(dir, "index.html"))) return false;
  for (const char* name : {"type-search-index.js", "element-list", "package-list",
                           "allclasses-frame.html", "allclasses-noframe.html"})
    if (IsRegular(paths::Join(dir, name))) return true;
  return false;
}

std::string DefaultHelpDir(const std::string& jdkHome) {
  std::vector<std::string> candidates;
  if (!jdkHome.empty()) {
    candidates.push_back(paths::Join(jdkHome, "docs/api"));
    int v = JdkFeatureVersion(jdkHome);
    if (v > 0) {
      const std::string n = std::to_string(v);
      candidates.push_back("/usr/share/doc/openjdk-" + n + "-doc/api");
      candidates.push_back("/usr/share/doc/openjdk-" + n + "-jre-headless/api");
    }
  }
  for (const auto& c : candidates)
    if (LooksLikeApiDocs(c)) return c;
  return {};
}

std::string ReadHelpDir(const IniFile& profile, const std::string& defaultDir) {
  return profile.GetString(kHelpSection, kHelpDirKey, defaultDir);
}

std::string FileUrl(const std::string& path, std::string_view anchor) {
  static const char* hex = "0123456789ABCDEF";
  std::string absolute = paths::Absolute(path);
  std::string url = "file://";
  for (char ch : absolute) {
    const auto c = static_cast<unsigned char>(ch);
    if (std::isalnum(c) || ch == '/' || ch == '-' || ch == '.' || ch == '_' || ch == '~') {
      url += ch;
    } else {
      url += '%';
      url += hex[c >> 4];
      url += hex[c & 15];
    }
  }
  if (!anchor.empty()) {
    url += '#';
    url += anchor;
  }
  return url;
}

std::string ApiIndexPage(const std::string& apiDir) {
  std::string p = paths::Join(apiDir, "index.html");
  return !apiDir.empty() && IsRegular(p) ? p : std::string();
}

std::string ClassHierarchyPage(const std::string& apiDir) {
  std::string p = paths::Join(apiDir, "overview-tree.html");
  return !apiDir.empty() && IsRegular(p) ? p : std::string();
}

std::string LanguageSpecPage(const std::string& apiDir, int jdkVersion) {
  if (!apiDir.empty()) {
    std::string p = paths::Join(paths::Directory(paths::Absolute(apiDir)), "specs/jls/index.html");
    if (IsRegular(p)) return p;
  }
  const int v = jdkVersion > 0 ? jdkVersion : kNewestKnownLts;
  return "https://docs.oracle.com/javase/specs/jls/se" + VersionText(v) + "/html/index.html";
}

std::string ManPagesPage(const std::string& apiDir, int jdkVersion) {
  if (!apiDir.empty()) {
    std::string root = paths::Directory(paths::Absolute(apiDir));
    for (const char* name : {"specs/man/index.html", "technotes/tools/index.html"}) {
      std::string p = paths::Join(root, name);
      if (IsRegular(p)) return p;
    }
  }
  const int v = jdkVersion > 0 ? jdkVersion : kNewestKnownLts;
  if (v <= 8)
    return "https://docs.oracle.com/javase/" + VersionText(v) +
           "/docs/technotes/tools/unix/index.html";
  if (v < 11)
    return "https://docs.oracle.com/javase/" + VersionText(v) +
           "/tools/tools-and-command-reference.htm";
  return "https://docs.oracle.com/en/java/javase/" + VersionText(v) + "/docs/specs/man/index.html";
}

std::string SearchKeyword(std::string_view selection, std::string_view caretLine,
                          size_t caretIndex) {
  std::string_view text = selection;
  if (text.empty()) {
    size_t i = std::min(caretIndex, caretLine.size());
    size_t a = i;
    while (a > 0 && IsWordChar(caretLine[a - 1])) --a;
    size_t b = i;
    while (b < caretLine.size() && IsWordChar(caretLine[b])) ++b;
    text = caretLine.substr(a, b - a);
  }
  size_t end = 0;
  for (size_t n = 0; n < kSearchKeywordChars && end < text.size(); ++n)
    end += CharLength(text, end);
  return std::string(text.substr(0, end));
}

}  // namespace tamso
