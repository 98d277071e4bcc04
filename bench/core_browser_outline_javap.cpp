// The class browser's outline against the compiler over a whole module: for every
// source of java.base in each installed JDK's src.zip, the members the outline lists
// under each class against what javap lists as declared. Prints recall and precision
// as counters, and the misses and extras it found on the error stream. Run by hand
// (it starts javap a few dozen times); the test checks a sample of the same.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "../tests/support/outline_vs_javap.h"

namespace {

using namespace tamso::javap_check;

void BM_OutlineAgainstJavap(benchmark::State& state, Jdk jdk) {
  Score score;
  for (auto _ : state) {
    score = Compare(jdk, ModuleSources(jdk, "java.base"), ModuleClasses(jdk, "java.base"));
  }
  state.counters["members"] = static_cast<double>(score.truth);
  state.counters["recall"] = score.Recall();
  state.counters["precision"] = score.Precision();
  for (const std::string& m : score.missed) std::fprintf(stderr, "missed %s\n", m.c_str());
  for (const std::string& e : score.extra) std::fprintf(stderr, "extra %s\n", e.c_str());
}

const bool registered = [] {
  for (const Jdk& jdk : FindJdks())
    benchmark::RegisterBenchmark(("OutlineAgainstJavap/" + jdk.home).c_str(),
                                 BM_OutlineAgainstJavap, jdk)
        ->Iterations(1)
        ->Unit(benchmark::kSecond);
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
