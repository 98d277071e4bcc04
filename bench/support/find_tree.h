#pragma once
// What the find-in-files benches share: the tree (the JDK's java.base and
// java.desktop sources, extracted once to a temporary folder, or one named by
// TAMSO_FIND_TREE), grep run as a child on it, and the hit sets (file:line) of both
// outputs, which must be equal before any time is taken.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

extern char** environ;

namespace tamso::bench {

// Runs argv with standard output captured (nullptr: discarded); the exit status.
inline int RunChild(const std::vector<std::string>& argv, std::string* out) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  const int err = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  char buf[1 << 16];
  ssize_t n;
  while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
    if (out) out->append(buf, static_cast<size_t>(n));
  ::close(fds[0]);
  if (err != 0) return -1;
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The tree to search: TAMSO_FIND_TREE, else the sources extracted from
// TAMSO_JDK_SRC_ZIP (default: the installed JDK 17's) into a new temporary folder,
// which *temp names then. Empty when the extraction failed.
inline std::string FindTree(std::filesystem::path* temp) {
  if (const char* tree = std::getenv("TAMSO_FIND_TREE")) return tree;
  const char* zipEnv = std::getenv("TAMSO_JDK_SRC_ZIP");
  const std::string zip = zipEnv ? zipEnv : "/usr/lib/jvm/java-17-openjdk-amd64/lib/src.zip";
  char tmpl[] = "/tmp/tamso-find-bench-XXXXXX";
  if (!::mkdtemp(tmpl)) return {};
  *temp = tmpl;
  if (RunChild({"unzip", "-q", zip, "java.base/*", "java.desktop/*", "-d", tmpl}, nullptr) != 0) {
    std::fprintf(stderr, "cannot extract %s (apt-get install openjdk-17-source unzip)\n",
                 zip.c_str());
    return {};
  }
  return tmpl;
}

inline std::string GrepOutput(const std::string& text, const std::string& tree) {
  std::string out;
  ::setenv("LC_ALL", "C", 1);
  RunChild({"grep", "-rnF", "--include=*.java", text, tree}, &out);
  return out;
}

// file:line of every line grep printed.
inline std::set<std::string> GrepHits(const std::string& out) {
  std::set<std::string> hits;
  size_t pos = 0;
  while (pos < out.size()) {
    size_t end = out.find('\n', pos);
    if (end == std::string::npos) end = out.size();
    const size_t c1 = out.find(':', pos);
    const size_t c2 = c1 == std::string::npos ? c1 : out.find(':', c1 + 1);
    if (c2 != std::string::npos && c2 < end) hits.insert(out.substr(pos, c2 - pos));
    pos = end + 1;
  }
  return hits;
}

// file:line of every hit in find in files' output.
inline std::set<std::string> FindHits(const std::string& out) {
  std::set<std::string> hits;
  size_t pos = 0;
  while ((pos = out.find("\n==> ", pos)) != std::string::npos) {
    pos += 5;
    const size_t end = out.find(":\n", pos);
    if (end == std::string::npos) break;
    hits.insert(out.substr(pos, end - pos));
    pos = end;
  }
  return hits;
}

}  // namespace tamso::bench
