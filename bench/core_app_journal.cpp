// The recovery journal's cost on the window's thread, per 2 s tick of a document
// being typed in, against the size of the text (1, 10, 50, 100 MB): what a tick
// takes from the text and hands to the store's thread. The store's writes happen on
// its own thread and are not counted. BM_TickWholeCopy is the copy of the whole text
// a tick used to take, for comparison.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/recovery_journal.h"
#include "editor/line_store.h"

namespace {

using namespace tamso;

std::string MakeText(std::size_t megabytes) {
  const std::string line = "    int value = compute(alpha, beta) + 42; // a comment\n";
  std::string text;
  text.reserve(megabytes << 20);
  while (text.size() < (megabytes << 20)) text += line;
  return text;
}

std::string TempDir() {
  std::string dir = std::filesystem::temp_directory_path().string() + "/tamso-bench-XXXXXX";
  if (!::mkdtemp(dir.data())) std::abort();
  return dir;
}

void BM_TickFollowingEdits(benchmark::State& state) {
  const std::string dir = TempDir();
  {
    RecoveryStore store(dir, "/bench/tamso.INI");
    CLineStore text;
    text.SetText(MakeText(static_cast<std::size_t>(state.range(0))));
    const int follower = text.FollowEdits();
    JournalHeader header;
    header.path = dir + "/Big.java";
    header.title = "Big.java";
    text.SetSelection(text.LineCount() - 1, 0);
    // The first tick hands over the base (shared, not copied); the journal's thread
    // writes it whole once.
    store.Record(1, header, text.TakeEdits(follower), true);
    store.Flush();
    for (auto _ : state) {
      // Two seconds of typing, then the tick.
      for (char c : std::string("typed;")) text.InsertChar(c);
      store.Record(1, header, text.TakeEdits(follower), true);
      state.PauseTiming();
      store.Flush();  // the appended record, on the store's thread
      state.ResumeTiming();
    }
    store.DropAll();
  }
  std::filesystem::remove_all(dir);
}
// Each tick's record is written and synced before the next (as 2 s apart they are).
BENCHMARK(BM_TickFollowingEdits)
    ->Arg(1)
    ->Arg(10)
    ->Arg(50)
    ->Arg(100)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_TickWholeCopy(benchmark::State& state) {
  CLineStore text;
  text.SetText(MakeText(static_cast<std::size_t>(state.range(0))));
  text.SetSelection(text.LineCount() - 1, 0);
  for (auto _ : state) {
    for (char c : std::string("typed;")) text.InsertChar(c);
    benchmark::DoNotOptimize(text.JoinedText("\n", true));
  }
}
BENCHMARK(BM_TickWholeCopy)
    ->Arg(1)
    ->Arg(10)
    ->Arg(50)
    ->Arg(100)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(20)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// What rebuilds a journal after a crash: the base and every record replayed.
void BM_RecoverFollowedJournal(benchmark::State& state) {
  const std::string base = MakeText(static_cast<std::size_t>(state.range(0)));
  JournalHeader header;
  std::vector<TextEdit> edits;
  for (int i = 0; i < 1000; ++i) edits.push_back({i * 7, 4, 0, "typed;"});
  const std::string journal = EncodeEditJournal(header, base, edits);
  for (auto _ : state) benchmark::DoNotOptimize(DecodeJournal(journal));
}
BENCHMARK(BM_RecoverFollowedJournal)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
