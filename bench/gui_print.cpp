// A 100 000-line Java file printed to PDF with the editor's font and colours, the
// line-number gutter and the page header.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <fstream>
#include <memory>

#include "editor/print_document.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "platform/ini_file.h"
#include "support/quiet_host.h"

namespace {

using namespace tamso;

void BM_Print100kLinesToPdf(benchmark::State& state) {
  QTemporaryDir dir;
  IniFile profile(dir.filePath(QStringLiteral("tamso.INI")).toStdString());
  tamso::bench::QuietHost host;
  gui::SourceEditorPane pane(ViewKind::Java, profile, host);
  std::string text = "class Big {\n";
  for (int i = 1; i < 99999; ++i)
    text += "  int field" + std::to_string(i) + " = " + std::to_string(i) +
            ";\t// a comment on line " + std::to_string(i) + "\n";
  text += "}\n";
  const std::string src = dir.filePath(QStringLiteral("Big.java")).toStdString();
  std::ofstream(src) << text;
  std::string error;
  pane.LoadFromFile(src, &error);
  int pages = 0;
  for (auto _ : state) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("Big.pdf")));
    gui::PrintOptions options;
    options.title = QStringLiteral("Big.java");
    options.lineNumbers = true;
    QString message;
    gui::PrintText(
        printer, pane.Editor()->Store(), profile, options,
        [&](int, int count) {
          pages = count;
          return true;
        },
        &message);
  }
  state.counters["pages"] = pages;
  state.counters["lines"] = pane.Editor()->Store().LineCount();
  state.counters["pdf_MB"] = QFileInfo(dir.filePath(QStringLiteral("Big.pdf"))).size() / 1e6;
}
BENCHMARK(BM_Print100kLinesToPdf)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
