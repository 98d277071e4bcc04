// Opening a large project and adding many files, without the tree.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/atomic_file.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/project.h"
#include "support/quiet_host.h"

namespace {

constexpr int kMembers = 10000;

using tamso::bench::QuietHost;

std::string TempDir() {
  std::string templ = (std::filesystem::temp_directory_path() / "tamso-bench-XXXXXX").string();
  if (!mkdtemp(templ.data())) std::abort();
  return templ;
}

std::string MemberName(int i) {
  return "Member" + std::to_string(i) + ".java";
}

void BM_OpenProject(benchmark::State& state) {
  std::string dir = TempDir();
  std::string file = dir + "/big.jap";
  std::string text = "[Base]\nName=Test\n[Files]\n";
  for (int i = 1; i <= kMembers; ++i)
    text += "file" + std::to_string(i) + "=./" + MemberName(i) + "\n";
  text += "[Project]\nMainfile=./" + MemberName(kMembers / 2) + "\n";
  tamso::IniFile profile(dir + "/tamso.INI");
  QuietHost host;
  tamso::Project project(host, profile);
  for (auto _ : state) {
    state.PauseTiming();
    tamso::WriteFileAtomically(file, text);
    state.ResumeTiming();
    project.Open(file);  // with a main file: loads, marks and rewrites the file
    benchmark::DoNotOptimize(project.Members().Size());
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_OpenProject)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// 10 000 files added one by one as a load does (no rewrite per file).
void BM_AddFiles(benchmark::State& state) {
  std::string dir = TempDir();
  tamso::IniFile profile(dir + "/tamso.INI");
  QuietHost host;
  tamso::Project project(host, profile);
  std::vector<std::string> paths;
  for (int i = 0; i < kMembers; ++i) paths.push_back(dir + "/" + MemberName(i));
  for (auto _ : state) {
    project.Open(dir + "/p.jap");
    for (const std::string& p : paths) project.AddFile(p, false);
    benchmark::DoNotOptimize(project.Members().Size());
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_AddFiles)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

// One file added with the project file written, to a project of 10 000 members.
void BM_AddFileAndSaveToLargeProject(benchmark::State& state) {
  std::string dir = TempDir();
  tamso::IniFile profile(dir + "/tamso.INI");
  QuietHost host;
  tamso::Project project(host, profile);
  project.Open(dir + "/p.jap");
  for (int i = 0; i < kMembers; ++i) project.AddFile(dir + "/" + MemberName(i), false);
  int n = 0;
  for (auto _ : state) project.AddFile(dir + "/Extra" + std::to_string(n++) + ".java", true);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_AddFileAndSaveToLargeProject)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
