#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tamso::paths {
namespace {

// A backslash is an ordinary file-name character here.
bool IsSep(char c) {
  return c == '/';
}

size_t LastSep(std::string_view p) {
  return p.rfind('/');
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string FromStored(std::string_view stored) {
  std::string s(stored);
  // Text with a '/' is already in this system's form: its backslashes are part of
  // file names.
  if (s.find('/') != std::string::npos) return s;
  for (char& c : s)
    if (c == '\\') c = '/';
  return s;
}

std::string FileName(std::string_view path) {
  size_t s = LastSep(path);
  return std::string(s == std::string_view::npos ? path : path.substr(s + 1));
}

std::string Directory(std::string_view path) {
  size_t s = LastSep(path);
  if (s == std::string_view::npos) return {};
  if (s == 0) return std::string(path.substr(0, 1));
  return std::string(path.substr(0, s));
}

std::string Extension(std::string_view path) {
  std::string name = FileName(path);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return {};
  return name.substr(dot);
}

std::string BaseName(std::string_view path) {
  std::string name = FileName(path);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return name;
  return name.substr(0, dot);
}

std::string Join(std::string_view a, std::string_view b) {
  if (a.empty() || IsAbsolute(b)) return std::string(b);
  std::string r(a);
  if (!IsSep(r.back())) r += '/';
  while (!b.empty() && IsSep(b.front())) b.remove_prefix(1);
  r += b;
  return r;
}

bool IsAbsolute(std::string_view path) {
  return !path.empty() && path.front() == '/';
}

std::string Absolute(std::string_view path) {
  std::filesystem::path p(std::string{path});
  if (!p.is_absolute()) p = std::filesystem::path(CurrentDirectory()) / p;
  std::string r = p.lexically_normal().string();
  if (r.size() > 1 && r.back() == '/') r.pop_back();
  return r;
}

std::string Canonical(std::string_view path) {
  std::error_code ec;
  auto c = std::filesystem::canonical(std::filesystem::path(std::string{path}), ec);
  if (ec) return Absolute(path);
  return c.string();
}

bool SameFile(std::string_view a, std::string_view b) {
  struct stat sa, sb;
  std::string pa(a), pb(b);
  if (::stat(pa.c_str(), &sa) == 0 && ::stat(pb.c_str(), &sb) == 0)
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  return Canonical(a) == Canonical(b);
}

bool Exists(std::string_view path) {
  struct stat st;
  return ::stat(std::string(path).c_str(), &st) == 0;
}

bool IsDirectory(std::string_view path) {
  struct stat st;
  return ::stat(std::string(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string CurrentDirectory() {
  std::error_code ec;
  auto p = std::filesystem::current_path(ec);
  if (ec) {
    const char* pwd = std::getenv("PWD");
    return pwd ? pwd : "/";
  }
  return p.string();
}

bool SetCurrentDirectory(std::string_view path) {
  return ::chdir(std::string(path).c_str()) == 0;
}

std::vector<std::string> SplitSearchPath(std::string_view list) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos <= list.size()) {
    size_t semi = list.find(';', pos);
    if (semi == std::string_view::npos) semi = list.size();
    std::string_view part = list.substr(pos, semi - pos);
    while (!part.empty() && (part.front() == ' ' || part.front() == '\t')) part.remove_prefix(1);
    while (!part.empty() && (part.back() == ' ' || part.back() == '\t')) part.remove_suffix(1);
    if (!part.empty()) out.push_back(FromStored(part));
    pos = semi + 1;
  }
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  // Iterative match with one backtrack point for the last '*'.
  size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace tamso::paths
