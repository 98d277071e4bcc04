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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "jobs/output_text.h"
#include "support/find_tree.h"
#include "tools/file_search.h"

namespace {

using namespace tamso;
using Clock = std::chrono::steady_clock;

std::string g_tree;
std::string g_text = "catch (";

std::string GrepOutput() {
  return bench::GrepOutput(g_text, g_tree);
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

using bench::FindHits;
using bench::GrepHits;

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
  g_tree = bench::FindTree(&temp);
  if (g_tree.empty()) return 1;
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
