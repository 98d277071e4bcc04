// The settings sheet from the command to its first paint: the three pages read from
// a profile that holds every key they use (and a thousand others), laid out and
// painted; and the tips dialog with its first tip from a 2 000-line tips file.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QPixmap>
#include <filesystem>
#include <fstream>
#include <string>

#include "options/options_sheet.h"
#include "options/tips_dialog.h"
#include "platform/ini_file.h"
#include "support/quiet_host.h"

namespace {

using tamso::bench::QuietHost;

std::string TempDir() {
  std::string templ = (std::filesystem::temp_directory_path() / "tamso-bench-XXXXXX").string();
  if (!mkdtemp(templ.data())) std::abort();
  return templ;
}

void BM_ShowOptionsSheet(benchmark::State& state) {
  const std::string dir = TempDir();
  {
    std::ofstream f(dir + "/tamso.INI");
    f << "[Editor]\nTabChars=4\nColorScheme=0\nclrReserved=255\nclrComment=32768\n"
         "clrBackground=16777215\nclrHilite=197\nclrNormal=0\nColorize=1\n"
         "[Compiler]\nVerbose=Y\nDebug=N\nDepend=N\nDisableWarnings=N\nGenerateDebug=Y\n"
         "NoWrite=N\nOptimize=Y\nUseDirectory=Y\nDirectory=/tmp/out\nUseClassPath=Y\n"
         "ClassPath=/a.jar:/b.jar\n[Java]\nSourcePath=.;/usr/src\n[Browser]\nPath=/usr/bin/x\n"
         "[Other]\n";
    for (int i = 0; i < 1000; ++i) f << "Key" << i << "=value " << i << "\n";
  }
  tamso::IniFile profile(dir + "/tamso.INI");
  QuietHost host;
  std::string browser = "/usr/bin/x";
  tamso::gui::OptionsContext context{profile, host, [] {}, [&] { return browser; },
                                     [&](const std::string& b) { browser = b; }};
  for (auto _ : state) {
    tamso::gui::OptionsSheet sheet(context);
    sheet.show();
    QApplication::processEvents();
    QPixmap shot = sheet.grab();  // every control painted once
    benchmark::DoNotOptimize(shot.width());
    sheet.reject();
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ShowOptionsSheet)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

void BM_ShowTipsDialog(benchmark::State& state) {
  const std::string dir = TempDir();
  {
    std::ofstream f(dir + "/tips.txt");
    for (int i = 0; i < 2000; ++i)
      f << (i % 5 == 0 ? "; a comment\n" : "") << "Tip number " << i << " about something.\n";
  }
  tamso::IniFile profile(dir + "/tamso.INI");
  for (auto _ : state) {
    tamso::gui::TipsDialog dialog(profile, dir + "/tips.txt");
    dialog.show();
    QApplication::processEvents();
    QPixmap shot = dialog.grab();
    benchmark::DoNotOptimize(shot.width());
    dialog.reject();
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ShowTipsDialog)
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
