// Opening a large project with the project tree bar filled.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <string>

#include "platform/atomic_file.h"
#include "platform/ini_file.h"
#include "project/project.h"
#include "project/project_tree_bar.h"
#include "support/quiet_host.h"

namespace {

constexpr int kMembers = 10000;

using tamso::bench::QuietHost;

std::string TempDir() {
  std::string templ = (std::filesystem::temp_directory_path() / "tamso-bench-XXXXXX").string();
  if (!mkdtemp(templ.data())) std::abort();
  return templ;
}

void BM_OpenProjectWithTree(benchmark::State& state) {
  std::string dir = TempDir();
  std::string file = dir + "/big.jap";
  std::string text = "[Base]\nName=Test\n[Files]\n";
  for (int i = 1; i <= kMembers; ++i)
    text += "file" + std::to_string(i) + "=./Member" + std::to_string(i) + ".java\n";
  text += "[Project]\nMainfile=./Member5000.java\n";
  tamso::IniFile profile(dir + "/tamso.INI");
  QuietHost host;
  tamso::Project project(host, profile);
  tamso::gui::ProjectTreeBar bar(project);
  bar.resize(250, 700);
  bar.show();
  for (auto _ : state) {
    state.PauseTiming();
    tamso::WriteFileAtomically(file, text);
    project.Close();
    QApplication::processEvents();
    state.ResumeTiming();
    project.Open(file);
    QApplication::processEvents();  // the tree laid out and painted
    benchmark::DoNotOptimize(bar.Root()->childCount());
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_OpenProjectWithTree)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// A project whose one member is a single long value, opened with the tree shown.
void BM_OpenProjectOneLongValueWithTree(benchmark::State& state) {
  std::string dir = TempDir();
  std::string file = dir + "/long.jap";
  std::string text = "[Base]\nName=Test\n[Files]\nfile1=./";
  text.append(static_cast<std::size_t>(state.range(0)) << 20, 'a');
  text += ".java\nfile2=./B.java\n[Project]\nMainfile=./B.java\n";
  tamso::IniFile profile(dir + "/tamso.INI");
  QuietHost host;
  tamso::Project project(host, profile);
  tamso::gui::ProjectTreeBar bar(project);
  bar.resize(250, 700);
  bar.show();
  for (auto _ : state) {
    state.PauseTiming();
    tamso::WriteFileAtomically(file, text);
    project.Close();
    QApplication::processEvents();
    state.ResumeTiming();
    project.Open(file);
    QApplication::processEvents();
    benchmark::DoNotOptimize(bar.Root()->childCount());
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_OpenProjectOneLongValueWithTree)
    ->Arg(1)
    ->Arg(4)
    ->Arg(8)
    ->Arg(50)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Adding 10 000 files one by one to an open, shown tree (no file rewrite per file).
void BM_AddFilesWithTree(benchmark::State& state) {
  std::string dir = TempDir();
  tamso::IniFile profile(dir + "/tamso.INI");
  QuietHost host;
  tamso::Project project(host, profile);
  tamso::gui::ProjectTreeBar bar(project);
  bar.resize(250, 700);
  bar.show();
  std::vector<std::string> paths;
  for (int i = 0; i < kMembers; ++i) paths.push_back(dir + "/Member" + std::to_string(i) + ".java");
  for (auto _ : state) {
    project.Open(dir + "/p.jap");
    for (const std::string& p : paths) project.AddFile(p, false);
    QApplication::processEvents();
    benchmark::DoNotOptimize(bar.Root()->childCount());
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_AddFilesWithTree)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
