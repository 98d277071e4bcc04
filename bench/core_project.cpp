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

// A project whose one member is a single long value (1, 4, 8 and 50 MB), with a
// main file. Second argument 1: the first open, which rewrites the file into the form
// the program writes (a durable write of the whole file); 0: a later open of a file
// already in that form, which writes nothing.
void BM_OpenProjectOneLongValue(benchmark::State& state) {
  std::string dir = TempDir();
  std::string file = dir + "/long.jap";
  const std::size_t size = static_cast<std::size_t>(state.range(0)) << 20;
  std::string member = "./" + std::string(size, 'a') + ".java";
  std::string text =
      state.range(1) ? "[Base]\nName=Test\n[Files]\nfile1=" + member +
                           "\nfile2=./B.java\n[Project]\nMainfile=./B.java\n"
                     : "[Base]\nName=Test\n[Project]\nMainfile=./B.java\n[Files]\nfile1=" + member +
                           "\nfile2=./B.java\n";
  tamso::IniFile profile(dir + "/tamso.INI");
  QuietHost host;
  tamso::Project project(host, profile);
  for (auto _ : state) {
    state.PauseTiming();
    tamso::WriteFileAtomically(file, text);
    state.ResumeTiming();
    project.Open(file);
    benchmark::DoNotOptimize(project.Members().Size());
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_OpenProjectOneLongValue)
    ->ArgsProduct({{1, 4, 8, 50}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// A profile of one long value read back (the start-up read of a large profile).
void BM_ProfileOneLongValue(benchmark::State& state) {
  std::string dir = TempDir();
  std::string file = dir + "/tamso.INI";
  const std::size_t size = static_cast<std::size_t>(state.range(0)) << 20;
  std::string text = "[Project]\nLast=";
  text.append(size, 'x');
  text += "\n[Options]\nTab=4\n";
  tamso::WriteFileAtomically(file, text);
  tamso::IniFile profile(file);
  for (auto _ : state) {
    benchmark::DoNotOptimize(profile.GetString("Project", "Last", ""));
    benchmark::DoNotOptimize(profile.GetInt("Options", "Tab", 0));
    profile.WriteInt("Options", "Tab", 8);
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ProfileOneLongValue)->Arg(1)->Arg(8)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
