// The skeleton dialog over a 1 MB skeleton file: opening it (read, parse, tree
// filled and shown) and moving the tree selection (preview with the selection put in).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <filesystem>
#include <string>

#include "codegen/skeleton_dialog.h"
#include "platform/atomic_file.h"
#include "platform/ini_file.h"
#include "support/quiet_host.h"

namespace {

using tamso::bench::QuietHost;

struct Fixture {
  Fixture() {
    std::string templ = (std::filesystem::temp_directory_path() / "tamso-bench-XXXXXX").string();
    if (!mkdtemp(templ.data())) std::abort();
    dir = templ;
    // About 1 MB: 44 groups of 50 skeletons of some 500 bytes each.
    std::string text = "Commentary at the top.\r\n";
    for (int g = 0; g < 44; ++g) {
      text += "//{{{Group " + std::to_string(g) + "\r\n";
      for (int s = 0; s < 50; ++s) {
        text += "//{{Skeleton " + std::to_string(g) + "." + std::to_string(s) + "\r\n";
        for (int l = 0; l < 10; ++l) text += "    for (int i = 0; i < n; i++) { $SEL$ }\r\n";
        text += "//}}\r\n";
      }
    }
    bytes = text.size();
    tamso::WriteFileAtomically(dir + "/big.skl", text);
    profile = std::make_unique<tamso::IniFile>(dir + "/tamso.INI");
    profile->WriteString("Skeletons", "Java", dir + "/big.skl");
  }
  ~Fixture() { std::filesystem::remove_all(dir); }
  std::string dir;
  std::size_t bytes = 0;
  std::unique_ptr<tamso::IniFile> profile;
  QuietHost host;
};

void BM_OpenSkeletonDialog1MB(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) {
    tamso::SkeletonDialogModel model(*f.profile, f.host, tamso::DataFileDirs{});
    model.language = "Java";
    tamso::gui::SkeletonDialog dialog(tamso::gui::kSkeletonTemplate, model);
    dialog.show();
    QApplication::processEvents();  // laid out and painted
    benchmark::DoNotOptimize(dialog.Tree()->topLevelItemCount());
  }
  state.counters["file_bytes"] = static_cast<double>(f.bytes);
}
BENCHMARK(BM_OpenSkeletonDialog1MB)->Unit(benchmark::kMillisecond);

void BM_SkeletonSelectionUpdate(benchmark::State& state) {
  Fixture f;
  tamso::SkeletonDialogModel model(*f.profile, f.host, tamso::DataFileDirs{});
  model.language = "Java";
  // A selection of state.range(0) bytes over two lines.
  const std::size_t half = static_cast<std::size_t>(state.range(0)) / 2;
  model.selection = std::string(half, 'x') + "\r\n" + std::string(half, 'y');
  tamso::gui::SkeletonDialog dialog(tamso::gui::kSkeletonTemplate, model);
  dialog.show();
  QTreeWidgetItem* root = dialog.Tree()->topLevelItem(0);
  root->child(20)->setExpanded(true);
  QApplication::processEvents();
  int i = 0;
  for (auto _ : state) {
    dialog.Tree()->setCurrentItem(root->child(20)->child(i++ % 50));
    QApplication::processEvents();  // the preview repainted
    benchmark::DoNotOptimize(dialog.Preview()->document());
  }
}
BENCHMARK(BM_SkeletonSelectionUpdate)->Arg(40)->Arg(4000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
