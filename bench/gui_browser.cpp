// The class browser: refreshing the tree of a large source, the copy of the text an
// automatic rebuild takes on the window's thread, showing a rebuilt outline of another
// shape, and double clicking an import whose source is in the JDK's src.zip (cold: the
// archive indexed first; warm).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QSplitter>
#include <filesystem>
#include <string>

#include "browser/browser_view.h"
#include "browser/class_browser.h"
#include "browser/source_archive.h"
#include "browser/source_path.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "lang/outline.h"
#include "platform/atomic_file.h"
#include "platform/ini_file.h"
#include "support/quiet_host.h"

namespace {

using tamso::bench::QuietHost;

std::string TempDir() {
  std::string templ = (std::filesystem::temp_directory_path() / "tamso-bench-XXXXXX").string();
  if (!mkdtemp(templ.data())) std::abort();
  return templ;
}

// The JDK's source of a class, or "" when the JDK has no src.zip.
std::string JdkSource(const std::string& relative) {
  const std::string zip = tamso::JdkSourceArchive();
  if (zip.empty()) return {};
  auto archive = tamso::SourceArchive::Open(zip, nullptr);
  if (!archive) return {};
  auto entry = archive->Find(relative);
  std::string bytes;
  if (!entry || !archive->Read(*entry, 64 << 20, bytes, nullptr)) return {};
  return bytes;
}

// About 10 MB of Java: many classes with fields and methods.
std::string LargeJava() {
  std::string text = "package big;\nimport java.util.List;\nimport java.util.Map;\n";
  for (int c = 0; text.size() < (10u << 20); ++c) {
    text += "class C" + std::to_string(c) + " extends Base implements Runnable {\n";
    for (int m = 0; m < 20; ++m) {
      const std::string n = std::to_string(m);
      text += "  private int field" + n + " = " + n + ";\n";
      text += "  public void method" + n + "(int a, String b) {\n    if (a > 0) { run(); }\n  }\n";
    }
    text += "}\n";
  }
  return text;
}

struct Window {
  explicit Window(const std::string& dir)
      : profile(dir + "/tamso.INI"),
        pane(static_cast<tamso::gui::SourceEditorPane*>(
            tamso::gui::CreateEditorPane(tamso::ViewKind::Java, profile, host, &splitter))),
        browser(new tamso::gui::CBrowserView(pane, host, profile, {}, &splitter)) {
    pane->SetOutlineSink(browser);
    splitter.addWidget(browser);
    splitter.addWidget(pane);
    splitter.setSizes({200, 800});
    splitter.resize(1000, 700);
    splitter.show();
  }
  ~Window() { pane->SetOutlineSink(nullptr); }
  tamso::IniFile profile;
  QuietHost host;
  QSplitter splitter;
  tamso::gui::SourceEditorPane* pane;
  tamso::gui::CBrowserView* browser;
};

void Refresh(benchmark::State& state, const std::string& text) {
  if (text.empty()) {
    state.SkipWithError("no source");
    return;
  }
  const std::string dir = TempDir();
  const std::string file = dir + "/Source.java";
  tamso::WriteFileAtomically(file, text);
  {
    Window w(dir);
    std::string error;
    w.pane->LoadFromFile(file, &error);
    QApplication::processEvents();
    for (auto _ : state) {
      w.pane->ExecuteCommand(32820);
      QApplication::processEvents();  // the tree laid out and painted
      benchmark::DoNotOptimize(w.browser->model()->rowCount());
    }
    state.counters["nodes"] = static_cast<double>(w.browser->Shown().Nodes().size());
  }
  std::filesystem::remove_all(dir);
}

void BM_RefreshCharacterJava(benchmark::State& state) {
  Refresh(state, JdkSource("java/lang/Character.java"));
}
BENCHMARK(BM_RefreshCharacterJava)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_Refresh10MBJava(benchmark::State& state) {
  Refresh(state, LargeJava());
}
BENCHMARK(BM_Refresh10MBJava)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The outline alone (what an automatic rebuild does away from the window's thread).
void BM_Outline10MBWithoutTree(benchmark::State& state) {
  const std::string dir = TempDir();
  const std::string file = dir + "/Big.java";
  tamso::WriteFileAtomically(file, LargeJava());
  {
    Window w(dir);
    std::string error;
    w.pane->LoadFromFile(file, &error);
    const auto job = w.pane->OutlineJob();
    for (auto _ : state) {
      tamso::OutlineModel model;
      job(model);
      benchmark::DoNotOptimize(model.Nodes().size());
    }
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_Outline10MBWithoutTree)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// One class of 80 000 members, as bench/launch_time.sh opens, its node expanded.
std::string OneLargeClass() {
  std::string text = "package big;\n\npublic class Big {\n";
  for (int i = 0; i < 40000; ++i) {
    const std::string n = std::to_string(i);
    text += "  private int field" + n + " = " + n + ";\n";
    text += "  public String method" + n + "(int a, String b) {\n    return b + a;\n  }\n";
  }
  return text + "}\n";
}

// What the window's thread pays to show a rebuilt outline whose nodes moved (a member
// typed in or deleted), alternating between two outlines one member apart.
void ShowChangedShape(benchmark::State& state, const std::string& text, bool expandAll) {
  const std::string dir = TempDir();
  const std::string file = dir + "/Big.java";
  tamso::WriteFileAtomically(file, text);
  {
    Window w(dir);
    std::string error;
    w.pane->LoadFromFile(file, &error);
    QApplication::processEvents();
    tamso::OutlineModel models[2];
    w.pane->OutlineJob()(models[0]);
    w.pane->Editor()->Store().SetSelection(3, 0);
    w.pane->Editor()->Store().InsertText("  int added() { return 1; }\n");
    w.pane->OutlineJob()(models[1]);
    int which = 0;
    if (expandAll) w.browser->expandAll();  // kept through every rebuild
    for (auto _ : state) {
      state.PauseTiming();
      const tamso::OutlineModel& m = models[which ^= 1];
      w.browser->BeginOutline("Big.java");
      for (std::size_t i = 1; i < m.Nodes().size(); ++i)
        w.browser->AddOutlineItem(m.Nodes()[i].label, m.Nodes()[i].kind, m.Nodes()[i].parent);
      state.ResumeTiming();
      w.browser->EndOutline();
      QApplication::processEvents();  // laid out and painted
    }
    state.counters["nodes"] = static_cast<double>(w.browser->Shown().Nodes().size());
  }
  std::filesystem::remove_all(dir);
}
void BM_ShowChangedShapeManyClasses(benchmark::State& state) {
  ShowChangedShape(state, LargeJava(), false);
}
void BM_ShowChangedShapeManyClassesAllExpanded(benchmark::State& state) {
  ShowChangedShape(state, LargeJava(), true);
}
void BM_ShowChangedShapeOneLargeClass(benchmark::State& state) {
  ShowChangedShape(state, OneLargeClass(), true);
}
BENCHMARK(BM_ShowChangedShapeManyClasses)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ShowChangedShapeManyClassesAllExpanded)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ShowChangedShapeOneLargeClass)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// What the window's thread pays when an automatic rebuild starts: the copy of the text.
void BM_RebuildCopyOf10MB(benchmark::State& state) {
  const std::string dir = TempDir();
  const std::string file = dir + "/Big.java";
  tamso::WriteFileAtomically(file, LargeJava());
  {
    Window w(dir);
    std::string error;
    w.pane->LoadFromFile(file, &error);
    for (auto _ : state) benchmark::DoNotOptimize(w.pane->OutlineJob());
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_RebuildCopyOf10MB)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// Double click on "import java.util.concurrent.ConcurrentHashMap" until the source
// is in an editor and painted. Cold: the archive's index is built in the timing.
void OpenImport(benchmark::State& state, bool cold) {
  const std::string zip = tamso::JdkSourceArchive();
  if (zip.empty()) {
    state.SkipWithError("the JDK has no src.zip");
    return;
  }
  const std::string dir = TempDir();
  {
    Window w(dir);
    Window shown(dir);
    tamso::ClassBrowser::Site site;
    site.host = &w.host;
    site.sourcePath = [zip] { return zip; };
    site.cacheDirectory = dir + "/cache";
    site.openCopy = [&shown](const std::string& path, const std::string&) {
      std::string error;
      const bool ok = shown.pane->LoadFromFile(path, &error);
      QApplication::processEvents();
      return ok;
    };
    tamso::ClassBrowser browser(site);
    tamso::OutlineModel tree;
    tree.BeginOutline("Demo.java");
    const int imports = tree.AddOutlineItem("Imports", tamso::kOutlineImportsFolder, 0);
    const int node = tree.AddOutlineItem("java.util.concurrent.ConcurrentHashMap",
                                         tamso::kOutlineImport, imports);
    tree.EndOutline();
    tamso::CachedSourceArchive(zip, nullptr);
    for (auto _ : state) {
      if (cold) {
        // The per-run index is built anew from the archive, as on the first lookup.
        auto archive = tamso::SourceArchive::Open(zip, nullptr);
        benchmark::DoNotOptimize(archive->Find("java/util/concurrent/ConcurrentHashMap.java"));
      }
      browser.Activate(tree, node);
    }
  }
  std::filesystem::remove_all(dir);
}

void BM_OpenImportFromSrcZipCold(benchmark::State& state) {
  OpenImport(state, true);
}
void BM_OpenImportFromSrcZipWarm(benchmark::State& state) {
  OpenImport(state, false);
}
BENCHMARK(BM_OpenImportFromSrcZipCold)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenImportFromSrcZipWarm)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
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
