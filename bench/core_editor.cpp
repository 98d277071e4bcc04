// Editor core figures: opening a 100 MB, 2 000 000-line Java file (read, SetText,
// full colouring and outline), typing at line 1 000 000, opening a block comment on
// line 0 of 100 000 lines, Return after "{" and a typed "}" with smart indent at line
// 1 000 000, colouring 100 000 lines at once and in idle-time slices, and searching the
// 100 MB text for an absent string.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "editor/find_text.h"
#include "editor/line_store.h"
#include "editor/smart_indent.h"
#include "lang/language.h"
#include "platform/atomic_file.h"

namespace {

using namespace tamso;

long RssKb() {
  std::ifstream f("/proc/self/status");
  std::string line;
  while (std::getline(f, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

// A Java-like text of n lines, about 50 bytes per line with its CR LF.
// Without block comments nothing closes a "/*" opened above.
std::string MakeJava(int n, bool blockComments = true) {
  static const char* const kBlock[] = {
      "  /* helper number one, kept short and plain  */",
      "  public int method(int a, int b) {             ",
      "    int x = a + b; // add the two values        ",
      "    if (x > 10) { x = x - 1; }                  ",
      "    String s = \"hello world, not a comment\";   ",
      "    return x * 2;                               ",
      "  }                                             ",
      "                                                ",
  };
  std::string t = "public class Big {\r\n";
  t.reserve(static_cast<std::size_t>(n) * 51);
  for (int i = 1; i < n - 1; ++i) {
    t += i % 8 == 0 && !blockComments ? "  // helper number one, kept short and plain    "
                                      : kBlock[i % 8];
    t += "\r\n";
  }
  t += "}\r\n";
  return t;
}

struct NullSink : IOutlineSink {
  int items = 0;
  int BeginOutline(const std::string&) override { return 0; }
  int AddOutlineItem(const std::string&, int, int) override { return ++items; }
  void EndOutline() override {}
};

bool g_generated = false;

const std::string& BigPath() {
  static const std::string path = [] {
    std::string p = "/tmp/tamso-bench-big-" + std::to_string(::getpid()) + ".java";
    const std::string text = MakeJava(2'000'000);
    std::fprintf(stderr, "generated %zu bytes, 2000000 lines\n", text.size());
    WriteFileAtomically(p, text);
    g_generated = true;
    return p;
  }();
  return path;
}

long g_idleRss = 0;

void BM_Open100MB(benchmark::State& state) {
  const std::string& path = BigPath();
  long rssAbove = 0;
  std::size_t bytes = 0;
  for (auto _ : state) {
    auto store = std::make_unique<CLineStore>();
    store->SetLanguage(&JavaLanguage());
    std::string text;
    ReadWholeFile(path, text);
    bytes = text.size();
    store->SetText(text);
    std::string().swap(text);
    store->RecolourAll();
    NullSink sink;
    JavaLanguage().BuildOutline(*store, "Big.java", sink);
    benchmark::DoNotOptimize(sink.items);
    state.PauseTiming();
    rssAbove = RssKb() - g_idleRss;
    store.reset();
    state.ResumeTiming();
  }
  state.counters["rss_above_idle_MB"] = static_cast<double>(rssAbove) / 1024.0;
  state.counters["bytes_per_text_byte"] =
      static_cast<double>(rssAbove) * 1024.0 / static_cast<double>(bytes);
}
BENCHMARK(BM_Open100MB)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

CLineStore& BigStore() {
  static CLineStore* store = [] {
    auto* s = new CLineStore;
    s->SetLanguage(&JavaLanguage());
    std::string text;
    ReadWholeFile(BigPath(), text);
    s->SetText(text);
    s->RecolourAll();
    return s;
  }();
  return *store;
}

void BM_TypeAtLineMillion(benchmark::State& state) {
  CLineStore& s = BigStore();
  s.SetSelection(1'000'000, 10);
  int typed = 0;
  for (auto _ : state) {
    s.InsertChar('x');
    benchmark::DoNotOptimize(s.RecolourDirty());
    if (++typed == 100) {
      // Keep the line at its usual length: take the typed run back out.
      state.PauseTiming();
      s.Undo();
      s.RecolourDirty();
      typed = 0;
      state.ResumeTiming();
    }
  }
}
BENCHMARK(BM_TypeAtLineMillion)->Unit(benchmark::kMicrosecond)->Repetitions(5);

void BM_EnterAtLineMillion(benchmark::State& state) {
  CLineStore& s = BigStore();
  for (auto _ : state) {
    s.SetSelection(1'000'000, 10);
    s.InsertChar('\r');
    benchmark::DoNotOptimize(s.RecolourDirty());
    state.PauseTiming();
    s.Undo();
    s.RecolourDirty();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_EnterAtLineMillion)->Unit(benchmark::kMicrosecond)->Repetitions(5);

// Return after the "{" that ends line 1 000 001 ("public int method(...) {"), then a
// "}" typed on the new line, with the brace rules on: the new line is indented one
// level, the "}" goes back under the method. Both keys are timed, each with its
// recolouring; the two steps are undone untimed.
void BM_SmartReturnAndBraceAtLineMillion(benchmark::State& state) {
  CLineStore& s = BigStore();
  constexpr int kLine = 1'000'001;
  const std::string_view text = s.Line(kLine);
  const int brace = static_cast<int>(text.find('{'));
  const IndentStyle style{false, 4};
  bool indented = true;
  for (auto _ : state) {
    s.SetSelection(kLine, s.ColumnOfIndex(kLine, brace + 1));
    SmartBreakLine(s, style, true);
    benchmark::DoNotOptimize(s.RecolourDirty());
    TypeWithIndent(s, '}', style, true);
    benchmark::DoNotOptimize(s.RecolourDirty());
    state.PauseTiming();
    indented = indented && s.Line(kLine + 1) == "  }";
    s.Undo();
    s.Undo();
    s.RecolourDirty();
    state.ResumeTiming();
  }
  if (!indented) state.SkipWithError("the brace did not go under the method");
}
BENCHMARK(BM_SmartReturnAndBraceAtLineMillion)->Unit(benchmark::kMicrosecond)->Repetitions(5);

void BM_FindAbsent100MB(benchmark::State& state) {
  CLineStore& s = BigStore();
  for (auto _ : state) {
    s.SetSelection(0, 0);
    benchmark::DoNotOptimize(FindText(s, "zqxjv_absent", {true, false, false}));
  }
}
BENCHMARK(BM_FindAbsent100MB)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);

void BM_FindAbsentMatchCase100MB(benchmark::State& state) {
  CLineStore& s = BigStore();
  for (auto _ : state) {
    s.SetSelection(0, 0);
    benchmark::DoNotOptimize(FindText(s, "zqxjv_absent", {true, true, false}));
  }
}
BENCHMARK(BM_FindAbsentMatchCase100MB)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3);

void BM_FindAbsentBackward100MB(benchmark::State& state) {
  CLineStore& s = BigStore();
  const int last = s.LineCount() - 1;
  for (auto _ : state) {
    s.SetSelection(last, s.LineWidth(last));
    benchmark::DoNotOptimize(FindText(s, "zqxjv_absent", {false, false, false}));
  }
}
BENCHMARK(BM_FindAbsentBackward100MB)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);

void BM_OpenCommentOnLineZero100k(benchmark::State& state) {
  CLineStore s;
  s.SetLanguage(&JavaLanguage());
  s.SetText(MakeJava(100'000, false));
  s.RecolourAll();
  bool toEnd = true;
  for (auto _ : state) {
    s.SetSelection(0, 0);
    s.InsertText("/*");
    const LineRange r = s.RecolourDirty();
    benchmark::DoNotOptimize(r);
    state.PauseTiming();
    toEnd = toEnd && r.last == s.LineCount() - 1;
    s.Undo();
    s.RecolourDirty();
    state.ResumeTiming();
  }
  if (!toEnd) state.SkipWithError("did not recolour to the end");
}
BENCHMARK(BM_OpenCommentOnLineZero100k)->Unit(benchmark::kMillisecond)->Repetitions(5);

// Colouring throughput: 100 000 lines (about 5 MB) coloured at once, and the same
// in the slices the editor colours while idle (32 KB each).
void BM_ColourAll100k(benchmark::State& state) {
  CLineStore s;
  s.SetLanguage(&JavaLanguage());
  const std::string text = MakeJava(100'000);
  s.SetText(text);
  for (auto _ : state) {
    s.RecolourAll();
    benchmark::DoNotOptimize(s.ColouredLines());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ColourAll100k)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_ColourInSlices100k(benchmark::State& state) {
  CLineStore s;
  s.SetLanguage(&JavaLanguage());
  const std::string text = MakeJava(100'000);
  s.SetText(text);
  for (auto _ : state) {
    s.ForgetColours();
    while (s.ColourAhead(32 * 1024)) {
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ColourInSlices100k)->Unit(benchmark::kMillisecond)->Repetitions(5);

}  // namespace

int main(int argc, char** argv) {
  g_idleRss = RssKb();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (g_generated) std::remove(BigPath().c_str());
  return 0;
}
