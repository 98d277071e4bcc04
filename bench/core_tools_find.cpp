// Find in files against grep, side by side on the same warm tree: the JDK's
// java.base and java.desktop sources, recursive, filter *.java, a text with about
// 5 000 hits. The hit sets (file:line) of both are checked to be identical first.
//
//   cmake --build build --target bench_core_tools_find
//   build/bench/bench_core_tools_find                  # extracts src.zip to a temp dir
//   TAMSO_FIND_TREE=/tmp/jdksrc build/bench/bench_core_tools_find   # an extracted tree
//   TAMSO_JDK_SRC_ZIP=/path/to/src.zip ...                          # another JDK
//   TAMSO_FIND_TEXT='catch (' ...                                   # another text
//
// Needs unzip (for the extraction) and grep on PATH.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "jobs/output_text.h"
#include "tools/file_search.h"

extern char** environ;

namespace {

using namespace tamso;
using Clock = std::chrono::steady_clock;

std::string g_tree;
std::string g_text = "catch (";

// Runs argv with standard output captured (nullptr: discarded); the exit status.
int Run(const std::vector<std::string>& argv, std::string* out) {
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

std::string GrepOutput() {
  std::string out;
  ::setenv("LC_ALL", "C", 1);
  Run({"grep", "-rnF", "--include=*.java", g_text, g_tree}, &out);
  return out;
}

struct Collect : ISearchSink {
  void Write(std::string_view t) override { text.append(t); }
  std::string text;
};

std::string FindOutput(SearchTotals* totals = nullptr) {
  SearchOptions o;
  o.text = g_text;
  o.directory = g_tree;
  o.recurse = true;
  Collect c;
  SearchTotals t = SearchFiles(o, c);
  if (totals) *totals = t;
  return c.text;
}

std::set<std::string> GrepHits(const std::string& out) {
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

std::set<std::string> FindHits(const std::string& out) {
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

void BM_FindInFiles(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FindOutput());
}
BENCHMARK(BM_FindInFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Grep(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(GrepOutput());
}
BENCHMARK(BM_Grep)->Unit(benchmark::kMillisecond)->UseRealTime();

// The output window's share: the hits appended as the search hands them over.
void BM_AppendHitsToOutput(benchmark::State& state) {
  const std::string text = FindOutput();
  for (auto _ : state) {
    OutputText out;
    out.Set("Tamso for Java(TM");
    for (size_t at = 0; at < text.size(); at += 64 * 1024)
      out.Append(std::string_view(text).substr(at, 64 * 1024), false);
    benchmark::DoNotOptimize(out.LineCount());
  }
}
BENCHMARK(BM_AppendHitsToOutput)->Unit(benchmark::kMillisecond);

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

template <class F>
double TimeMs(F f) {
  const auto t0 = Clock::now();
  f();
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path temp;
  if (const char* t = std::getenv("TAMSO_FIND_TEXT")) g_text = t;
  if (const char* tree = std::getenv("TAMSO_FIND_TREE")) {
    g_tree = tree;
  } else {
    const char* zipEnv = std::getenv("TAMSO_JDK_SRC_ZIP");
    const std::string zip = zipEnv ? zipEnv : "/usr/lib/jvm/java-17-openjdk-amd64/lib/src.zip";
    char tmpl[] = "/tmp/tamso-find-bench-XXXXXX";
    if (!::mkdtemp(tmpl)) return 1;
    temp = tmpl;
    g_tree = temp.string();
    if (Run({"unzip", "-q", zip, "java.base/*", "java.desktop/*", "-d", g_tree}, nullptr) != 0) {
      std::fprintf(stderr, "cannot extract %s (apt-get install openjdk-17-source unzip)\n",
                   zip.c_str());
      return 1;
    }
  }
  // Warm the tree and check that both find the same lines.
  SearchTotals totals;
  const std::set<std::string> ours = FindHits(FindOutput(&totals));
  const std::set<std::string> theirs = GrepHits(GrepOutput());
  std::printf("tree %s: %d files scanned, %zu hits (grep %zu)\n", g_tree.c_str(), totals.files,
              ours.size(), theirs.size());
  if (ours != theirs || ours.empty()) {
    std::fprintf(stderr, "hit sets differ\n");
    return 1;
  }
  // Side by side, alternating, so both see the same machine.
  std::vector<double> find, grep;
  for (int i = 0; i < 15; ++i) {
    find.push_back(TimeMs([] { benchmark::DoNotOptimize(FindOutput()); }));
    grep.push_back(TimeMs([] { benchmark::DoNotOptimize(GrepOutput()); }));
  }
  const double f = Median(find), g = Median(grep);
  std::printf("median of 15: find in files %.1f ms, grep %.1f ms, ratio %.2f\n", f, g, f / g);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!temp.empty()) std::filesystem::remove_all(temp);
  return 0;
}
