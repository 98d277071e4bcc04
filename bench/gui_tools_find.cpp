// Find in files as the user sees it, side by side with grep on the same warm tree:
// from the dialog's Search to the paint of the output window that shows the totals
// line, against grep -rnF run as a child with its output read through a pipe. The
// hit sets (file:line) of both are checked to be identical first.
//
//   cmake --build build --target bench_gui_tools_find
//   QT_QPA_PLATFORM=offscreen build/bench/bench_gui_tools_find
//   TAMSO_FIND_TREE=/tmp/jdksrc ...       # an extracted tree (else src.zip is extracted)
//   TAMSO_FIND_TEXT='catch (' ...         # another text
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "jobs/output_bar.h"
#include "platform/ini_file.h"
#include "support/find_tree.h"
#include "support/quiet_host.h"
#include "tools/tools_dialogs.h"

namespace {

using namespace tamso;

std::string g_tree;
std::string g_text = "catch (";

class Slot : public IBuildSlot {
 public:
  bool IsIdle() const override { return idle; }
  void SetBuildThread(std::shared_ptr<IBuildJob> job) override { idle = !job; }
  bool idle = true;
};

// The output window, telling when it has painted the totals line.
class Bar : public gui::OutputBar {
 public:
  Bar() : gui::OutputBar(nullptr) {}
  bool totalsShown = false;

 protected:
  void paintEvent(QPaintEvent* e) override {
    gui::OutputBar::paintEvent(e);
    const size_t n = Text().LineCount();
    for (size_t i = n > 4 ? n - 4 : 0; i < n; ++i)
      if (Text().Line(i).rfind("Files scanned ", 0) == 0) totalsShown = true;
  }
};

// One search through the dialog; the milliseconds from Search to the totals on
// screen, and the window's text.
double SearchThroughDialog(std::string* text) {
  QTemporaryDir dir;
  IniFile profile((dir.path() + QStringLiteral("/p.INI")).toStdString());
  Bar bar;
  bar.resize(900, 300);
  bar.show();
  bench::QuietHost host(bar);
  Slot slot;
  gui::FindInFilesDialog dialog(host, profile, slot, gui::MainUiThread(), g_tree);
  dialog.SearchText()->setText(QString::fromStdString(g_text));
  dialog.Directory()->setText(QString::fromStdString(g_tree));
  dialog.Filter()->setEditText(QStringLiteral("*.java"));
  dialog.Recurse()->setChecked(true);
  dialog.show();
  QApplication::processEvents();
  QElapsedTimer clock;
  clock.start();
  dialog.SearchButton()->click();
  while (!bar.totalsShown) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  if (text) *text = bar.Text().Text();
  return ms;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void BM_FindInFilesDialogToTotals(benchmark::State& state) {
  for (auto _ : state) state.SetIterationTime(SearchThroughDialog(nullptr) / 1e3);
}
BENCHMARK(BM_FindInFilesDialogToTotals)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                  : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  std::filesystem::path temp;
  if (const char* t = std::getenv("TAMSO_FIND_TEXT")) g_text = t;
  g_tree = bench::FindTree(&temp);
  if (g_tree.empty()) return 1;
  // Warm the tree and check that both find the same lines.
  std::string shown;
  SearchThroughDialog(&shown);
  const auto ours = bench::FindHits(shown);
  const auto theirs = bench::GrepHits(bench::GrepOutput(g_text, g_tree));
  std::printf("tree %s: %zu hits (grep %zu)\n", g_tree.c_str(), ours.size(), theirs.size());
  if (ours != theirs || ours.empty()) {
    std::fprintf(stderr, "hit sets differ\n");
    return 1;
  }
  // Side by side, alternating, so both see the same machine.
  std::vector<double> find, grep;
  for (int i = 0; i < 15; ++i) {
    find.push_back(SearchThroughDialog(nullptr));
    QElapsedTimer clock;
    clock.start();
    benchmark::DoNotOptimize(bench::GrepOutput(g_text, g_tree));
    grep.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
  }
  const double f = Median(find), g = Median(grep);
  std::printf(
      "median of 15: dialog's Search to the totals on screen %.1f ms, grep %.1f ms, "
      "ratio %.2f\n",
      f, g, f / g);
  std::fflush(stdout);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!temp.empty()) std::filesystem::remove_all(temp);
  return 0;
}
