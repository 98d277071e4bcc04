// Java Search over an index the size of the JDK 17 documentation's (about 20 MB of
// index scripts: 5 000 types, 250 000 members): reading the index (done once per run
// on a worker thread) and one look-up with the page it opens.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "help/docs_index.h"

namespace {

using namespace tamso;

struct Tree {
  std::string dir;
  size_t bytes = 0;
  Tree() {
    dir = (std::filesystem::temp_directory_path() / "tamso-bench-docs").string();
    std::filesystem::create_directories(dir);
    std::string types = "typeSearchIndex = [";
    std::string members = "memberSearchIndex = [";
    std::string packages = "packageSearchIndex = [";
    for (int p = 0; p < 250; ++p) {
      const std::string pkg = "java.pkg" + std::to_string(p);
      packages += "{\"m\":\"java.base\",\"l\":\"" + pkg + "\"},";
      for (int t = 0; t < 20; ++t) {
        const std::string type = (p == 7 && t == 3) ? "String" : "Type" + std::to_string(t);
        types += "{\"p\":\"" + pkg + "\",\"l\":\"" + type + "\"},";
        for (int m = 0; m < 50; ++m)
          members += "{\"p\":\"" + pkg + "\",\"c\":\"" + type + "\",\"l\":\"method" +
                     std::to_string(m) + "(java.lang.String, int)\",\"u\":\"method" +
                     std::to_string(m) + "(java.lang.String,int)\"},";
      }
    }
    types += "{\"l\":\"All Classes\",\"u\":\"allclasses-index.html\"}];updateSearchResults();";
    members += "{\"p\":\"java.lang\",\"c\":\"Object\",\"l\":\"get()\"}];updateSearchResults();";
    packages += "{\"l\":\"All Packages\",\"u\":\"allpackages-index.html\"}];";
    std::ofstream(dir + "/type-search-index.js") << types;
    std::ofstream(dir + "/member-search-index.js") << members;
    std::ofstream(dir + "/package-search-index.js") << packages;
    bytes = types.size() + members.size() + packages.size();
  }
  ~Tree() { std::filesystem::remove_all(dir); }
};

Tree& TheTree() {
  static Tree tree;
  return tree;
}

void BM_ReadIndex(benchmark::State& state) {
  Tree& tree = TheTree();
  for (auto _ : state) {
    DocsIndex index;
    std::string error;
    if (!index.Load(tree.dir, &error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(index.size());
    state.counters["entries"] = static_cast<double>(index.size());
  }
  state.counters["script_MB"] = static_cast<double>(tree.bytes) / 1e6;
}
BENCHMARK(BM_ReadIndex)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_JavaSearchHit(benchmark::State& state) {
  DocsIndex index;
  std::string error;
  index.Load(TheTree().dir, &error);
  for (auto _ : state) {
    auto hits = index.Lookup("String");
    if (hits.size() != 1) state.SkipWithError("String not found once");
    benchmark::DoNotOptimize(hits.front()->url);
  }
}
BENCHMARK(BM_JavaSearchHit)->Unit(benchmark::kMicrosecond);

void BM_JavaSearchManyMembers(benchmark::State& state) {
  DocsIndex index;
  std::string error;
  index.Load(TheTree().dir, &error);
  size_t n = 0;
  for (auto _ : state) {
    auto hits = index.Lookup("method7");
    n = hits.size();
    benchmark::DoNotOptimize(hits.data());
  }
  state.counters["hits"] = static_cast<double>(n);
}
BENCHMARK(BM_JavaSearchManyMembers)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
