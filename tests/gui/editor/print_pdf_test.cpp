#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMarginsF>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>

#include "app/command_ids.h"
#include "jobs/process_runner.h"
#include "editor/print_commands.h"
#include "editor/print_document.h"
#include "gui/app/gui_fixture.h"
#include "gui/editor/editor_test_support.h"

namespace tamso::gui {
namespace {

using testing::EditorFixture;

// The text of each page of a PDF, as pdftotext reads it.
std::vector<std::string> PdfPages(const std::string& pdf) {
  tamso::testing::FakeHost host;
  const std::string txt = pdf + ".txt";
  if (!StartArguments({"pdftotext", "-layout", pdf, txt}, "pdftotext", "", true, host)) return {};
  std::string all = testing::ReadFile(txt);
  std::vector<std::string> pages;
  size_t start = 0, ff;
  while ((ff = all.find('\f', start)) != std::string::npos) {
    pages.push_back(all.substr(start, ff - start));
    start = ff + 1;
  }
  return pages;
}

bool Has(const std::string& page, const std::string& text) {
  return page.find(text) != std::string::npos;
}

TEST(PrintPdf, ThreePagesWithHeaderNumbersWrappedLinesAndTabs) {
  if (FindProgram("pdftotext").empty()) GTEST_SKIP() << "no pdftotext";
  EditorFixture f(ViewKind::Java, "[Editor]\nTabChars=4\n");
  QTemporaryDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
  printer.setOutputFileName(pdf);
  const PrintGeometry g = PrintGeometryFor(printer, f.Profile(), true);
  ASSERT_GT(g.rows, 10);
  ASSERT_GT(g.columns, 20);

  // Two full pages of short lines, then a tab and a line three rows long.
  std::string text;
  for (int i = 1; i <= 2 * g.rows; ++i) text += "line " + std::to_string(i) + "\n";
  text += "a\tb\n";
  text += std::string(static_cast<size_t>(g.columns), 'w') +
          std::string(static_cast<size_t>(g.columns), 'v') + "tail\n";
  f.Load(text);

  PrintOptions options;
  options.title = QStringLiteral("Loaded.java");
  options.lineNumbers = true;
  std::vector<int> progress;
  QString error;
  ASSERT_TRUE(PrintText(
      printer, f.editor->Store(), f.Profile(), options,
      [&](int page, int pages) {
        progress.push_back(page * 10 + pages);
        return true;
      },
      &error))
      << error.toStdString();
  EXPECT_EQ(progress, (std::vector<int>{3, 13, 23}));

  std::vector<std::string> pages = PdfPages(pdf.toStdString());
  ASSERT_EQ(pages.size(), 3u);
  for (int p = 0; p < 3; ++p) {
    EXPECT_TRUE(Has(pages[p], "Loaded.java")) << pages[p];
    EXPECT_TRUE(Has(pages[p], "Page " + std::to_string(p + 1) + " of 3")) << pages[p];
  }
  EXPECT_TRUE(Has(pages[0], "line 1\n") || Has(pages[0], "line 1 ")) << pages[0];
  EXPECT_TRUE(Has(pages[0], "line " + std::to_string(g.rows)));
  EXPECT_FALSE(Has(pages[0], "line " + std::to_string(g.rows + 1) + "\n"));
  EXPECT_TRUE(Has(pages[1], "line " + std::to_string(g.rows + 1)));
  // The tab spans to column 4 as on screen; the long line is cut into rows.
  EXPECT_TRUE(Has(pages[2], "a   b")) << pages[2];
  EXPECT_TRUE(Has(pages[2], std::string(static_cast<size_t>(g.columns), 'w')));
  EXPECT_TRUE(Has(pages[2], std::string(static_cast<size_t>(g.columns), 'v')));
  EXPECT_TRUE(Has(pages[2], "tail"));
  // The number of the line shows once, not on its continuation rows.
  EXPECT_TRUE(Has(pages[2], std::to_string(2 * g.rows + 1)));
}

TEST(PrintPdf, ADarkSchemePrintsDarkInkOnWhitePaperWithMargins) {
  if (FindProgram("pdftoppm").empty()) GTEST_SKIP() << "no pdftoppm";
  EditorFixture f(ViewKind::Java, "[Editor]\nColorScheme=1\n");  // white on black
  QTemporaryDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageMargins(QMarginsF(0, 0, 0, 0));  // a printer that gives no margin
  const QString pdf = dir.filePath(QStringLiteral("Main.pdf"));
  printer.setOutputFileName(pdf);
  const PrintGeometry g = PrintGeometryFor(printer, f.Profile(), true);
  std::string text;
  for (int i = 0; i < g.rows; ++i)
    text += "public int field" + std::to_string(i) + " = 1; // a note\n";
  f.Load(text);
  PrintOptions options;
  options.title = QStringLiteral("Main.java");
  options.lineNumbers = true;
  QString error;
  ASSERT_TRUE(PrintText(printer, f.editor->Store(), f.Profile(), options, {}, &error))
      << error.toStdString();

  // The first page at 36 dots per inch, in grey.
  tamso::testing::FakeHost host;
  const std::string base = dir.filePath(QStringLiteral("page")).toStdString();
  ASSERT_TRUE(StartArguments({"pdftoppm", "-r", "36", "-gray", "-singlefile", "-f", "1", "-l", "1",
                              pdf.toStdString(), base},
                             "pdftoppm", "", true, host));
  QImage page(QString::fromStdString(base + ".pgm"));
  ASSERT_FALSE(page.isNull());
  const int margin = static_cast<int>(kMinPrintMarginMm / 25.4 * 36) - 2;
  long dark = 0, inkInMargin = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) {
      if (qGray(page.pixel(x, y)) >= 128) continue;
      ++dark;
      if (x < margin || y < margin || x >= page.width() - margin || y >= page.height() - margin)
        ++inkInMargin;
    }
  const long all = static_cast<long>(page.width()) * page.height();
  EXPECT_GT(dark, 0);         // the text is there
  EXPECT_LT(dark * 2, all);   // on white paper, not black
  EXPECT_EQ(inkInMargin, 0);  // and none of it at the paper's edges
}

TEST(PrintPdf, ACancelledPrintKeepsTheOldFileAndLeavesNoDebris) {
  EditorFixture f;
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("old.pdf"));
  testing::WriteFile(pdf.toStdString(), "old bytes");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  const PrintGeometry g = PrintGeometryFor(printer, f.Profile(), false);
  f.Load(std::string(static_cast<size_t>(3 * g.rows), '\n'));
  QString error;
  EXPECT_FALSE(PrintText(
      printer, f.editor->Store(), f.Profile(), {}, [](int page, int) { return page < 1; }, &error));
  EXPECT_EQ(testing::ReadFile(pdf.toStdString()), "old bytes");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
  EXPECT_EQ(printer.outputFileName(), pdf);
}

TEST(PrintPdf, PreviewPagesSettingIsOneOrTwo) {
  EditorFixture f(ViewKind::Java, "[Settings]\nPreviewPages=2\n");
  EXPECT_EQ(PreviewPages(f.Profile()), 2);
  for (const char* v : {"0", "7", "-1", "x"}) {
    f.Profile().WriteString("Settings", "PreviewPages", v);
    EXPECT_EQ(PreviewPages(f.Profile()), 1) << v;
  }
}

class PrintWindowTest : public testing::ShellTest {
 protected:
  PrintWindowTest() { realEditors = true; }
};

TEST_F(PrintWindowTest, PrintingToAFileOffersThePdfBesideTheDocument) {
  Start();
  InstallPrintCommands(*profile, shell->App());
  window()->OpenDocumentFile(File("Main.java", "class Main {}\n"));
  // The print dialog is looked at and cancelled as soon as it shows.
  QString offered;
  int looks = 0;
  QTimer poll;
  poll.setInterval(0);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    if (!dialog) {
      if (++looks > 1000) poll.stop();
      return;
    }
    poll.stop();
    auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
    offered = file ? file->text() : SessionPrinter().outputFileName();
    dialog->reject();
  });
  poll.start();
  window()->Router().Execute(cmd::kFilePrint);
  poll.stop();
  EXPECT_EQ(offered.toStdString(), dir + "/Main.pdf");
  EXPECT_EQ(SessionPrinter().docName(), "Main.java");
  RemovePrintCommands(shell->App());
}

}  // namespace
}  // namespace tamso::gui
