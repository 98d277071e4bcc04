// Add Folder over a tree of 10 000 Java files in 100 package folders: the scan, the
// members added and the project file written once.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/host.h"
#include "platform/ini_file.h"
#include "project/project.h"
#include "support/quiet_host.h"

namespace {

using namespace tamso;
namespace fs = std::filesystem;

void BM_AddFolder10000(benchmark::State& state) {
  char tmpl[] = "/tmp/tamso-bench-folder-XXXXXX";
  if (!::mkdtemp(tmpl)) return state.SkipWithError("no temp dir");
  const std::string dir = tmpl;
  for (int p = 0; p < 100; ++p) {
    const std::string pkg = dir + "/src/com/acme/p" + std::to_string(p);
    fs::create_directories(pkg);
    for (int f = 0; f < 100; ++f)
      std::ofstream(pkg + "/C" + std::to_string(f) + ".java")
          << "package com.acme.p" << p << ";\nclass C" << f << " {}\n";
  }
  IniFile profile(dir + "/Tamso.INI");
  bench::QuietHost host;
  Project project(host, profile);
  std::size_t added = 0;
  for (auto _ : state) {
    state.PauseTiming();
    project.Close();
    fs::remove(dir + "/p.jap");
    project.Open(dir + "/p.jap");
    state.ResumeTiming();
    added = project.AddFolder(dir + "/src");
  }
  project.Close();
  state.counters["files"] = double(added);
  std::error_code ec;
  fs::remove_all(dir, ec);
}
BENCHMARK(BM_AddFolder10000)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
