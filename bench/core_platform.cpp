// Profile reads: every read goes to the file, so a read is a whole-file parse.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/command_line.h"
#include "platform/ini_file.h"

namespace {

std::string MakeProfile() {
  std::string path = std::filesystem::temp_directory_path().string() + "/tamso-bench-" +
                     std::to_string(::getpid()) + ".INI";
  std::ofstream f(path, std::ios::trunc);
  for (int s = 0; s < 10; ++s) {
    f << "[Section" << s << "]\n";
    for (int k = 0; k < 20; ++k) f << "Key" << k << "=value number " << s * 20 + k << "\n";
  }
  return path;
}

// 10 000 reads of keys spread over a 200-key file (one iteration = 10 000 reads).
void BM_ProfileReads10k(benchmark::State& state) {
  std::string path = MakeProfile();
  tamso::IniFile ini(path);
  int sum = 0;
  for (auto _ : state) {
    for (int i = 0; i < 10000; ++i) {
      std::string section = "Section" + std::to_string(i % 10);
      std::string key = "Key" + std::to_string(i % 20);
      sum += static_cast<int>(ini.GetString(section, key, "").size());
    }
  }
  benchmark::DoNotOptimize(sum);
  std::filesystem::remove(path);
}
BENCHMARK(BM_ProfileReads10k)->Unit(benchmark::kMillisecond);

void BM_ProfileWrite(benchmark::State& state) {
  std::string path = MakeProfile();
  tamso::IniFile ini(path);
  int i = 0;
  for (auto _ : state) ini.WriteInt("Section5", "Key7", ++i);
  std::filesystem::remove(path);
}
BENCHMARK(BM_ProfileWrite)->Unit(benchmark::kMicrosecond);

void BM_SplitCommandLine(benchmark::State& state) {
  std::string cmd =
      "javac -g -O -classpath \"/usr/share/java;/home/me/lib\" -d /tmp/out \"/home/me/My "
      "Src/A.java\"";
  for (auto _ : state) benchmark::DoNotOptimize(tamso::SplitCommandLine(cmd));
}
BENCHMARK(BM_SplitCommandLine);

}  // namespace

BENCHMARK_MAIN();
