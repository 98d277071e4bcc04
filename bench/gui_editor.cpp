// The editor on a 2 000 000-line Java file (about 100 MB): a character typed at line
// 1 000 000 with the repaint of what it invalidated (also with a reader listening to the
// accessibility events), and Page Down with its repaint.
// Each benchmark reports the median of its iterations as "median_us".
#include <benchmark/benchmark.h>

#include <QAccessible>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "editor/accessible_text.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "support/quiet_host.h"

namespace {

using namespace tamso;
using Clock = std::chrono::steady_clock;

using NullHost = tamso::bench::QuietHost;

std::string BigJava(int lines) {
  std::string text;
  text.reserve(static_cast<std::size_t>(lines) * 52);
  text += "package big.example;\r\nimport java.util.*;\r\n/* generated\r\n */\r\nclass Big {\r\n";
  int n = 5;
  while (n < lines - 1) {
    text += "  public int method" + std::to_string(n) + "(int a, int b) {\r\n";
    text += "    int x = a + b; // add the two numbers up here\r\n";
    text += "    if (x > 10) { return x * 2; } /* twice */\r\n";
    text += "    return x;                            \r\n";
    text += "  }\r\n";
    n += 5;
  }
  while (n++ < lines) text += "}\r\n";
  return text;
}

struct Fixture {
  Fixture() : profile(dir.filePath(QStringLiteral("bench.INI")).toStdString()) {
    pane = std::make_unique<gui::SourceEditorPane>(ViewKind::Java, profile, host);
    pane->resize(1000, 800);
    pane->show();
    // Wait for the window to be exposed, so that repaint() really paints.
    for (int i = 0; i < 1000 && !(pane->windowHandle() && pane->windowHandle()->isExposed()); ++i)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    editor = pane->Editor();
    const std::string path = dir.filePath(QStringLiteral("Big.java")).toStdString();
    std::ofstream(path, std::ios::binary) << BigJava(2000000);
    const auto t0 = Clock::now();
    std::string error;
    if (!pane->LoadFromFile(path, &error)) throw std::runtime_error(error);
    loadSeconds = std::chrono::duration<double>(Clock::now() - t0).count();
    QCoreApplication::processEvents();
  }
  QTemporaryDir dir;
  IniFile profile;
  NullHost host;
  std::unique_ptr<gui::SourceEditorPane> pane;
  gui::CSourceEditor* editor = nullptr;
  double loadSeconds = 0;
};

// Made on first use and destroyed before the application object.
std::unique_ptr<Fixture> g_fixture;

Fixture& Shared() {
  if (!g_fixture) g_fixture = std::make_unique<Fixture>();
  return *g_fixture;
}

void SendKey(QWidget* w, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(w, &press);
}

// Typing moves the caret right; before it reaches the right edge (where every
// character would scroll the whole view sideways) it goes back to the line start,
// outside the timing.
void KeepCaretInView(benchmark::State& state, Fixture& f) {
  if (f.editor->Store().Caret().col < 40) return;
  state.PauseTiming();
  SendKey(f.editor, Qt::Key_Home);
  f.editor->viewport()->repaint(f.editor->PendingUpdate());
  state.ResumeTiming();
}

void ReportMedian(benchmark::State& state, std::vector<double>& us) {
  if (us.empty()) return;
  std::sort(us.begin(), us.end());
  state.counters["median_us"] = us[us.size() / 2];
  state.counters["max_us"] = us.back();
}

void BM_LoadBigFile(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) benchmark::DoNotOptimize(f.loadSeconds);
  state.counters["load_ms"] = f.loadSeconds * 1000.0;
  std::fprintf(stderr, "open 2M-line file in the pane (read, colour, outline): %.0f ms\n",
               f.loadSeconds * 1000.0);
  state.counters["lines"] = f.editor->Store().LineCount();
}
BENCHMARK(BM_LoadBigFile)->Iterations(1);

void BM_TypeAtLine1MWithRepaint(benchmark::State& state) {
  Fixture& f = Shared();
  f.editor->GoToLine(1000000);
  f.editor->viewport()->repaint();
  std::vector<double> us;
  std::vector<double> keyUs;
  for (auto _ : state) {
    KeepCaretInView(state, f);
    const auto t0 = Clock::now();
    SendKey(f.editor, Qt::Key_A, QStringLiteral("a"));
    const auto t1 = Clock::now();
    f.editor->viewport()->repaint(f.editor->PendingUpdate());
    us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    keyUs.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
  }
  std::sort(keyUs.begin(), keyUs.end());
  state.counters["key_median_us"] = keyUs[keyUs.size() / 2];
  ReportMedian(state, us);
}
BENCHMARK(BM_TypeAtLine1MWithRepaint)->Iterations(2000)->Unit(benchmark::kMicrosecond);

// The same keystroke while a reader listens: every insertion and caret move builds its
// event (with the character offset at line 1 000 000), and on each caret move the
// reader asks for the caret's line, as screen readers do.
int g_readerEvents = 0;
void Reader(QAccessibleEvent* event) {
  ++g_readerEvents;
  if (event->type() != QAccessible::TextCaretMoved) return;
  const int caret = static_cast<QAccessibleTextCursorEvent*>(event)->cursorPosition();
  int start = 0, end = 0;
  benchmark::DoNotOptimize(event->accessibleInterface()->textInterface()->textAtOffset(
      caret, QAccessible::LineBoundary, &start, &end));
}

void BM_TypeAtLine1MWithReader(benchmark::State& state) {
  Fixture& f = Shared();
  f.editor->GoToLine(1000002);
  f.editor->viewport()->repaint();
  gui::SetAccessibleListener(&Reader);
  g_readerEvents = 0;
  std::vector<double> us;
  for (auto _ : state) {
    KeepCaretInView(state, f);
    const auto t0 = Clock::now();
    SendKey(f.editor, Qt::Key_C, QStringLiteral("c"));
    f.editor->viewport()->repaint(f.editor->PendingUpdate());
    us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
  }
  gui::SetAccessibleListener(nullptr);
  state.counters["events"] = g_readerEvents;
  ReportMedian(state, us);
}
BENCHMARK(BM_TypeAtLine1MWithReader)->Iterations(2000)->Unit(benchmark::kMicrosecond);

// The same keystroke with the invalidated area painted into an image instead of the
// window's backing store.
void BM_TypeAtLine1MPaintedIntoImage(benchmark::State& state) {
  Fixture& f = Shared();
  f.editor->GoToLine(1000001);
  QImage image(f.editor->viewport()->size(), QImage::Format_RGB32);
  std::vector<double> us;
  for (auto _ : state) {
    KeepCaretInView(state, f);
    const auto t0 = Clock::now();
    SendKey(f.editor, Qt::Key_B, QStringLiteral("b"));
    {
      QPainter p(&image);
      f.editor->Paint(p, f.editor->PendingUpdate().boundingRect());
    }
    us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    f.editor->viewport()->repaint(f.editor->PendingUpdate());  // clears what is pending
  }
  ReportMedian(state, us);
}
BENCHMARK(BM_TypeAtLine1MPaintedIntoImage)->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_PageDownWithRepaint(benchmark::State& state) {
  Fixture& f = Shared();
  f.editor->GoToLine(0);
  std::vector<double> us;
  for (auto _ : state) {
    if (f.editor->FirstVisibleLine() > 1990000) {
      state.PauseTiming();
      f.editor->GoToLine(0);
      state.ResumeTiming();
    }
    const auto t0 = Clock::now();
    SendKey(f.editor, Qt::Key_PageDown);
    f.editor->viewport()->repaint(f.editor->PendingUpdate());
    us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
  }
  ReportMedian(state, us);
}
BENCHMARK(BM_PageDownWithRepaint)->Iterations(2000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  g_fixture.reset();
  return 0;
}
