// Colouring and outlining a 100 MB, 2 000 000-line Java text (the figures behind
// the open budget). Prints time per byte.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lang/language.h"

namespace {

using namespace tamso;

class BufferSource : public ILineSource {
 public:
  int LineCount() const override { return static_cast<int>(lines_.size()); }
  std::string_view Line(int index) const override {
    return lines_[static_cast<std::size_t>(index)];
  }

  std::string text;
  std::vector<std::string_view> lines_;
};

// Java of the usual shape: javadoc, fields, methods with bodies, strings and
// comments, about 50 bytes a line; each class gets its own names.
const BufferSource& JavaText() {
  static const BufferSource source = [] {
    BufferSource s;
    const std::size_t target = 100u * 1000u * 1000u;
    s.text.reserve(target + 4096);
    s.text += "package com.example.big;\n\nimport java.util.*;\nimport java.io.IOException;\n\n";
    for (int n = 0; s.text.size() < target; ++n) {
      const std::string id = std::to_string(n);
      s.text += "/**\n * Holds the readings of sensor widget number " + id +
                " for the hourly report.\n */\n";
      s.text += "public class SensorWidget" + id +
                " extends AbstractWidget implements Runnable, Serializable {\n";
      s.text += "    private static final int READING_LIMIT_" + id + " = " + id + ";\n";
      s.text += "    private String displayName = \"widget-" + id + "\"; // shown in the list\n";
      s.text += "    protected int readingCount, readingTotal, lastReading;\n\n";
      s.text += "    public SensorWidget" + id + "(String displayName, int initialValue) {\n";
      s.text += "        this.displayName = displayName;\n";
      s.text += "        this.lastReading = initialValue;\n    }\n\n";
      s.text += "    /* Runs one step of the widget's work and records the result. */\n";
      s.text += "    public void run() {\n";
      s.text += "        for (int index = 0; index < READING_LIMIT_" + id + "; index++) {\n";
      s.text += "            if (index % 3 == 0 && displayName.length() > 2) {\n";
      s.text +=
          "                readingTotal += computeWeighted(index, \"step \\\"" + id + "\\\"\");\n";
      s.text += "            } else {\n                readingCount = readingCount + 1;\n";
      s.text += "            }\n        }\n    }\n\n";
      s.text += "    int computeWeighted(int value, String label) throws IOException {\n";
      s.text += "        synchronized (this) {\n";
      s.text += "            return value * READING_LIMIT_" + id + " + label.length();\n";
      s.text += "        }\n    }\n}\n\n";
    }
    std::size_t start = 0;
    while (start < s.text.size()) {
      const std::size_t end = s.text.find('\n', start);
      s.lines_.emplace_back(s.text.data() + start, end - start);
      start = end + 1;
    }
    return s;
  }();
  return source;
}

void BM_ColourJava(benchmark::State& state) {
  const BufferSource& text = JavaText();
  const Language& java = JavaLanguage();
  std::vector<std::uint8_t> attrs(text.text.size());
  for (auto _ : state) {
    OpenSpan open = OpenSpan::kNone;
    int marks = 0;
    std::size_t offset = 0;
    for (int i = 0; i < text.LineCount(); ++i) {
      const LineColouring c = java.ColourLine(text, i, open, attrs.data() + offset);
      open = c.endsIn;
      marks += c.mark;
      offset += text.Line(i).size();
    }
    benchmark::DoNotOptimize(marks);
    benchmark::ClobberMemory();
  }
  state.counters["lines"] = text.LineCount();
  state.counters["MB"] = static_cast<double>(text.text.size()) / 1e6;
  state.counters["ns_per_byte"] = benchmark::Counter(
      static_cast<double>(text.text.size()) * 1e-9,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

class CountingSink : public IOutlineSink {
 public:
  int BeginOutline(const std::string&) override { return items = 0; }
  int AddOutlineItem(const std::string& text, int, int) override {
    bytes += text.size();
    return ++items;
  }
  void EndOutline() override {}
  int items = 0;
  std::size_t bytes = 0;
};

void BM_OutlineJava(benchmark::State& state) {
  const BufferSource& text = JavaText();
  for (auto _ : state) {
    CountingSink sink;
    JavaLanguage().BuildOutline(text, "Big.java", sink);
    benchmark::DoNotOptimize(sink.items);
    state.counters["items"] = sink.items;
  }
  state.counters["ns_per_byte"] = benchmark::Counter(
      static_cast<double>(text.text.size()) * 1e-9,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_FindLastMember(benchmark::State& state) {
  const BufferSource& text = JavaText();
  for (auto _ : state) {
    benchmark::DoNotOptimize(JavaLanguage().FindMember(text, "Widget-none", "run"));
  }
}

BENCHMARK(BM_ColourJava)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_OutlineJava)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FindLastMember)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
