// A source archive of a million entries and one with a 200 MB entry, as a hostile or
// odd src.zip would be: how long the index takes on its own thread, how long the
// window's thread is held when it asks for the archive meanwhile (it must not wait),
// and how fast a too large entry is refused. The archives are written once per run
// into a temporary folder.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "../tests/core/browser/test_zip.h"
#include "browser/class_browser.h"
#include "browser/source_archive.h"

namespace {

using namespace tamso;

constexpr int kEntries = 1'000'000;

const std::string& Folder() {
  static const std::string dir = [] {
    std::string tmpl = (std::filesystem::temp_directory_path() / "tamso-archive-XXXXXX").string();
    return std::string(::mkdtemp(tmpl.data()) ? tmpl : "");
  }();
  return dir;
}

const std::string& ManyEntries() {
  static const std::string path = [] {
    testing::ZipEntries entries;
    entries.reserve(kEntries);
    for (int i = 0; i < kEntries; ++i)
      entries.emplace_back("m/p" + std::to_string(i % 1000) + "/C" + std::to_string(i) + ".java",
                           std::string());
    const std::string p = Folder() + "/many.zip";
    return testing::WriteZip(p, entries, true) ? p : std::string();
  }();
  return path;
}

const std::string& HugeEntry() {
  static const std::string path = [] {
    const std::string p = Folder() + "/huge.zip";
    return testing::WriteZip(p, {{"m/p/Huge.java", std::string(200u << 20, ' ')}}) ? p
                                                                                   : std::string();
  }();
  return path;
}

// A new modification time: the next ask indexes the archive afresh.
void Touch(const std::string& path) {
  static long tick = 0;
  const timespec times[2] = {{0, UTIME_NOW}, {1'000'000 + ++tick, 0}};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// The whole index of a million entries, on the thread that builds it.
void BM_IndexMillionEntries(benchmark::State& state) {
  const std::string& zip = ManyEntries();
  if (zip.empty()) return state.SkipWithError("cannot write the archive");
  for (auto _ : state) {
    state.PauseTiming();
    Touch(zip);
    state.ResumeTiming();
    std::string error;
    auto archive = CachedSourceArchive(zip, &error);
    if (!archive) return state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(archive->EntryCount());
  }
}
BENCHMARK(BM_IndexMillionEntries)->Iterations(3)->Unit(benchmark::kMillisecond);

// What the window's thread spends when a double click asks for the archive while
// its index is being built (and the longest single ask).
void BM_WindowAsksWhileIndexing(benchmark::State& state) {
  const std::string& zip = ManyEntries();
  if (zip.empty()) return state.SkipWithError("cannot write the archive");
  double longest = 0;
  int waiting = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Touch(zip);
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    bool indexing = false;
    std::string error;
    benchmark::DoNotOptimize(SourceArchiveNow(zip, &error, &indexing));
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    longest = std::max(longest, took.count());
    waiting += indexing;
    state.PauseTiming();
    CachedSourceArchive(zip, &error);  // the next round starts from a built index
    state.ResumeTiming();
  }
  state.counters["longest_ms"] = longest;
  state.counters["found_indexing"] = waiting;
}
BENCHMARK(BM_WindowAsksWhileIndexing)->Iterations(3)->Unit(benchmark::kMicrosecond);

// A 200 MB entry is refused by its recorded size, before anything is inflated.
void BM_RefuseHugeEntry(benchmark::State& state) {
  const std::string& zip = HugeEntry();
  if (zip.empty()) return state.SkipWithError("cannot write the archive");
  std::string error;
  auto archive = CachedSourceArchive(zip, &error);
  if (!archive) return state.SkipWithError(error.c_str());
  for (auto _ : state) {
    std::string bytes;
    const bool read = archive->Read("m/p/Huge.java", kLargestArchiveSource, bytes, &error);
    if (read) return state.SkipWithError("the huge entry was read");
    benchmark::DoNotOptimize(error);
  }
}
BENCHMARK(BM_RefuseHugeEntry)->Unit(benchmark::kMicrosecond);

const bool cleanup = [] {
  std::atexit([] {
    std::error_code ec;
    if (!Folder().empty()) std::filesystem::remove_all(Folder(), ec);
  });
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
