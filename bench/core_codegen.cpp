// Reading a 1 MB skeleton file and putting a selection into a body.
#include <benchmark/benchmark.h>

#include <string>

#include "codegen/skeleton_file.h"

namespace {

std::string BigSkeletonFile() {
  std::string text;
  for (int g = 0; g < 40; ++g) {
    text += "//{{{Group " + std::to_string(g) + "\r\n";
    for (int s = 0; s < 50; ++s) {
      text += "//{{Skeleton " + std::to_string(s) + "\r\n";
      for (int l = 0; l < 10; ++l) text += "    for (int i = 0; i < n; i++) { $SEL$ }\r\n";
      text += "//}}\r\n";
    }
  }
  return text;
}

void BM_ParseSkeletons1MB(benchmark::State& state) {
  const std::string text = BigSkeletonFile();
  for (auto _ : state) benchmark::DoNotOptimize(tamso::ParseSkeletons(text).SkeletonCount());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseSkeletons1MB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
