#include "jobs/output_bar.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "../../support/fake_host.h"
#include "jobs/compile.h"
#include "jobs/process_runner.h"
#include "platform/command_line.h"
#include "platform/file_on_disk.h"
#include "platform/ini_file.h"

namespace tamso::gui {
namespace {

class RecordingView : public IView {
 public:
  ViewKind Kind() const override { return ViewKind::Java; }
  IDocument* Document() override { return doc; }
  void GoToLine(int line) override { lines.push_back(line); }
  std::vector<int> lines;
  IDocument* doc = nullptr;
};

class AppSlot : public IBuildSlot {
 public:
  explicit AppSlot(IHost& host) : host_(host) {}
  bool IsIdle() const override { return idle; }
  void SetBuildThread(std::shared_ptr<IBuildJob> job) override {
    idle = !job;
    if (!job) host_.Beep(BeepKind::Default);
  }
  bool idle = true;

 private:
  IHost& host_;
};

// A double click on the given cell of a visible line.
void DoubleClickAt(OutputBar& bar, size_t line, int column) {
  QPoint at = bar.PointOfLine(line);
  ASSERT_GE(at.y(), 0);
  at.rx() += column * QFontMetrics(bar.font()).horizontalAdvance(QLatin1Char('M'));
  QMouseEvent press(QEvent::MouseButtonPress, at, bar.viewport()->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(bar.viewport(), &press);
  QMouseEvent dbl(QEvent::MouseButtonDblClick, at, bar.viewport()->mapToGlobal(at), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(bar.viewport(), &dbl);
}

void DoubleClick(OutputBar& bar, size_t line) {
  DoubleClickAt(bar, line, 0);
}

// Runs the event loop until done() holds or a generous time has passed.
template <class F>
bool SpinUntil(F done) {
  QEventLoop loop;
  QTimer check;
  check.setInterval(2);
  QObject::connect(&check, &QTimer::timeout, [&] {
    if (done()) loop.quit();
  });
  QTimer::singleShot(60000, &loop, &QEventLoop::quit);
  check.start();
  if (!done()) loop.exec();
  return done();
}

size_t LineContaining(const OutputText& text, const std::string& part) {
  for (size_t i = 0; i < text.LineCount(); ++i)
    if (text.Line(i).find(part) != std::string::npos) return i;
  return SIZE_MAX;
}

TEST(OutputBar, AppendsLandAtTheEndAndEmptyAppendChangesNothing) {
  OutputBar bar(nullptr);
  EXPECT_EQ(bar.objectName(), "2001");
  bar.SetOutput("Heading");
  bar.AppendOutput("", false);
  bar.AppendOutput("first", true);
  bar.AppendOutput(" chunk\nsecond", false);
  bar.AppendOutput("", true);
  EXPECT_EQ(bar.Text().Text(), "Heading\nfirst chunk\nsecond\n");
  bar.SetOutput("again");
  EXPECT_EQ(bar.Text().Text(), "again");
}

// A tool's colour escapes are drawn, never shown: split between chunks, broken, or
// left on when the tool ends (the IDE's next line starts plain).
TEST(OutputBar, ToolEscapesAreDrawnAsColoursNeverShownRaw) {
  OutputBar bar(nullptr);
  bar.SetOutput("Heading");
  bar.AppendOutput("\n\x1b[3", false);
  bar.AppendOutput("1mred\x1b[0m plain \x1b[1mbold", false);
  bar.AppendOutput("Done", true);
  bar.AppendOutput("\x1b[9\xff\x1b[2Jx", false);
  EXPECT_EQ(bar.Text().Text(), "Heading\nred plain bold\nDone[9\xffx");
  EXPECT_EQ(bar.StyleAt(1, 0).foreground, 1);
  EXPECT_EQ(bar.StyleAt(1, 4), AnsiStyle{});
  EXPECT_TRUE(bar.StyleAt(1, 10).bold);
  EXPECT_EQ(bar.StyleAt(2, 0), AnsiStyle{});
}

TEST(OutputBar, AppendsFromAnotherThreadRunOnTheUiThreadInOrder) {
  OutputBar bar(nullptr);
  bar.SetOutput("");
  std::atomic<bool> done{false};
  std::atomic<bool> sawOwnAppend{true};
  std::thread worker([&] {
    for (int i = 0; i < 500; ++i) {
      const std::string piece = std::to_string(i) + ",";
      bar.AppendOutput(piece, false);
      // The call has returned, so the text is already in the window.
      const std::string t = bar.Text().Text();
      if (t.size() < piece.size() || t.compare(t.size() - piece.size(), piece.size(), piece) != 0)
        sawOwnAppend = false;
    }
    done = true;
  });
  ASSERT_TRUE(SpinUntil([&] { return done.load(); }));
  worker.join();
  std::string expected;
  for (int i = 0; i < 500; ++i) expected += std::to_string(i) + ",";
  EXPECT_EQ(bar.Text().Text(), expected);
  EXPECT_TRUE(sawOwnAppend);
}

// F4 and Shift+F4: each place once, relative names from the compile's directory.
TEST(OutputBar, NextAndPreviousReferenceVisitEachPlaceOnce) {
  testing::FakeHost host;
  RecordingView a, b;
  host.documentViews["/w/src/A.java"] = &a;
  host.documentViews["/w/src/B.java"] = &b;
  OutputBar bar(&host);
  bar.SetOutput("heading");
  bar.SetReferenceDirectory("/w/src");
  for (const char* l : {"A.java:3: error: cannot find symbol", "  int x = y;",
                        "A.java:3: error: another message at the same place",
                        "B.java:9: warning: [deprecation]", "1 error"})
    bar.AppendOutput(l, true);
  bar.Flush();

  EXPECT_TRUE(bar.GoToReference(true));
  EXPECT_EQ(bar.SelectedText(), "A.java:3: error: cannot find symbol");
  EXPECT_TRUE(bar.GoToReference(true));
  EXPECT_EQ(bar.SelectedText(), "B.java:9: warning: [deprecation]");
  EXPECT_FALSE(bar.GoToReference(true));  // the end: a beep
  EXPECT_EQ(host.beeps.size(), 1u);
  EXPECT_TRUE(bar.GoToReference(false));
  EXPECT_EQ(bar.SelectedText(), "A.java:3: error: another message at the same place");
  EXPECT_EQ(host.openedDocuments,
            (std::vector<std::string>{"/w/src/A.java", "/w/src/B.java", "/w/src/A.java"}));
  EXPECT_EQ(a.lines, (std::vector<int>{2, 2}));
  EXPECT_EQ(b.lines, std::vector<int>{8});
  // New output starts from the top again.
  bar.SetOutput("B.java:1: error");
  EXPECT_TRUE(bar.GoToReference(false));
  EXPECT_EQ(b.lines, (std::vector<int>{8, 0}));
}

TEST(OutputBar, DoubleClickJumpsToTheReferenceOrBeeps) {
  testing::FakeHost host;
  RecordingView view;
  host.documentViews["/home/me/src/Hello.java"] = &view;
  OutputBar bar(&host);
  bar.resize(600, 200);
  bar.show();
  bar.SetOutput("Tamso for Java(TM)");
  for (int i = 0; i < 40; ++i) bar.AppendOutput("filler " + std::to_string(i), true);
  bar.AppendOutput("/home/me/src/Hello.java:12: error: cannot find symbol", true);
  bar.AppendOutput("Note: 3 errors", true);
  bar.AppendOutput("\tat Foo.main(Foo.java:12)", true);
  bar.Flush();

  DoubleClick(bar, 41);
  EXPECT_EQ(host.openedDocuments, std::vector<std::string>{"/home/me/src/Hello.java"});
  EXPECT_EQ(view.lines, std::vector<int>{11});
  EXPECT_TRUE(host.beeps.empty());
  // A place only opens: no part of its name is selected, wherever the click was.
  EXPECT_EQ(bar.SelectedText(), "");
  DoubleClickAt(bar, 41, 15);  // on "Hello"
  EXPECT_EQ(view.lines, (std::vector<int>{11, 11}));
  EXPECT_EQ(bar.SelectedText(), "");
  view.lines.pop_back();

  DoubleClick(bar, 42);
  DoubleClick(bar, 43);
  EXPECT_EQ(host.beeps, (std::vector<BeepKind>{BeepKind::Default, BeepKind::Default}));
  EXPECT_EQ(view.lines.size(), 1u);
  EXPECT_EQ(bar.SelectedText(), "");  // a tab is not a word
  DoubleClick(bar, 1);
  EXPECT_EQ(bar.SelectedText(), "filler");

  // A reference at the start of a huge line still leads back.
  bar.AppendOutput("/home/me/src/Hello.java:5: " + std::string(3 << 20, 'z'), true);
  DoubleClick(bar, 44);
  EXPECT_EQ(view.lines, (std::vector<int>{11, 4}));
}

TEST(OutputBar, BuildToolPlacesLeadBackByDoubleClickAndNextReference) {
  testing::FakeHost host;
  RecordingView a, b;
  host.documentViews["/w/app/src/main/java/A.java"] = &a;
  host.documentViews["/w/app/src/main/java/B.java"] = &b;
  OutputBar bar(&host);
  bar.resize(600, 200);
  bar.show();
  bar.SetOutput("Tamso for Java(TM)");
  bar.SetReferenceDirectory("/w/app");
  for (const char* l :
       {"[ERROR] COMPILATION ERROR : ",
        "[ERROR] /w/app/src/main/java/A.java:[12,20] cannot find symbol", "[ERROR] 1 error",
        "[ERROR] -> [Help 1]", "[WARNING] /w/app/src/main/java/B.java:[3] unchecked call"})
    bar.AppendOutput(l, true);
  bar.Flush();

  DoubleClick(bar, 2);
  EXPECT_EQ(a.lines, std::vector<int>{11});
  DoubleClick(bar, 4);  // "[Help 1]" names no place
  EXPECT_EQ(host.beeps, std::vector<BeepKind>{BeepKind::Default});
  EXPECT_TRUE(bar.GoToReference(true));
  EXPECT_EQ(bar.SelectedText(), "[WARNING] /w/app/src/main/java/B.java:[3] unchecked call");
  EXPECT_EQ(b.lines, std::vector<int>{2});
  EXPECT_TRUE(bar.GoToReference(false));
  EXPECT_EQ(a.lines, (std::vector<int>{11, 11}));
}

// The line a place is shown on is highlighted to its last character, also in a font
// whose characters are not a whole number of pixels wide.
TEST(OutputBar, TheHighlightOfAPlaceCoversItsWholeLine) {
  testing::FakeHost host;
  RecordingView view;
  host.documentViews["/w/A.java"] = &view;
  OutputBar bar(&host);
  QFont font = bar.font();
  font.setPixelSize(12);
  bar.setFont(font);
  bar.resize(1400, 200);
  bar.show();
  std::string line = "/w/A.java:3: error:";
  while (line.size() < 120) line += " words";
  bar.SetOutput("heading");
  bar.AppendOutput(line, true);
  bar.Flush();
  ASSERT_TRUE(bar.GoToReference(true));
  const QImage image = bar.viewport()->grab().toImage();
  const QColor highlight = bar.palette().highlight().color();
  const QColor base = bar.palette().base().color();
  const int height = QFontMetrics(bar.font()).height();
  int highlightRight = -1, inkRight = -1;
  for (int y = height; y < 2 * height && y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c == highlight) highlightRight = std::max(highlightRight, x);
      if (c != base) inkRight = std::max(inkRight, x);
    }
  }
  ASSERT_GT(highlightRight, 0);
  EXPECT_GE(highlightRight, inkRight);
}

TEST(OutputBar, SelectAllGivesBackTheBytesAndHugeLinesPaint) {
  OutputBar bar(nullptr);
  bar.resize(400, 150);
  bar.show();
  std::string binary;
  // Every byte but the escape character, which starts a terminal sequence that is
  // drawn or taken out, never shown.
  for (int i = 1; i < 256; ++i)
    if (i != '\n' && i != 0x1b) binary += static_cast<char>(i);
  bar.SetOutput("start");
  bar.AppendOutput(binary, true);
  bar.AppendOutput(std::string(1 << 20, 'w'), true);
  bar.SelectAll();
  EXPECT_EQ(bar.SelectedText(), "start\n" + binary + "\n" + std::string(1 << 20, 'w'));
  bar.Flush();
  bar.horizontalScrollBar()->setValue(bar.horizontalScrollBar()->maximum());
  const int before = bar.PaintCount();
  const QPixmap shot = bar.grab();  // paints through the visible part of the long line
  EXPECT_GT(bar.PaintCount(), before);
  EXPECT_FALSE(shot.isNull());
  EXPECT_GE(bar.horizontalScrollBar()->maximum(), (1 << 20) - 100);
}

TEST(OutputBar, MemoryCapDropsTheOldestAndSaysSo) {
  OutputBar bar(nullptr, nullptr, 1 << 20);
  for (int i = 0; i < 100000; ++i) bar.AppendOutput("line " + std::to_string(i) + "\n", false);
  const OutputText& t = bar.Text();
  ASSERT_GT(t.DroppedBytes(), 0u);
  EXPECT_EQ(t.Line(0), OutputText::DroppedNotice(t.DroppedBytes()));
  EXPECT_EQ(t.Line(t.LineCount() - 2), "line 99999");
}

TEST(OutputBar, CompileStreamsIntoTheWindowAndTheErrorLineLeadsBack) {
  const bool haveJavac = !FindProgram("javac").empty();
  if (!haveJavac) GTEST_SKIP() << "no javac on PATH: JDK not installed";
  const auto dir =
      std::filesystem::temp_directory_path() / ("tamso-gui-build-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "Hello.java").string();
  {
    std::ofstream f(path);
    f << "public class Hello {\n  public static void main(String[] a) {\n    int x = \"no\";\n"
         "  }\n}\n";
  }
  testing::FakeHost host;
  OutputBar bar(&host);
  bar.resize(800, 300);
  bar.show();
  struct Host : testing::FakeHost {
    IOutput* out = nullptr;
    IOutput& Output() override { return *out; }
  } appHost;
  appHost.out = &bar;
  bar.SetHost(&appHost);
  FileOnDisk doc(path);
  RecordingView view;
  view.doc = &doc;
  appHost.documentViews[path] = &view;
  AppSlot slot(appHost);
  IniFile profile((dir / "Tamso.INI").string());
  CompileContext context{appHost, profile, slot, MainUiThread(), {}};
  auto job = CompileDocument(doc, context);
  ASSERT_NE(job, nullptr);
  ASSERT_TRUE(SpinUntil([&] { return job->Finished(); }));
  QCoreApplication::processEvents();
  const OutputText& text = bar.Text();
  EXPECT_EQ(text.Line(0), "Tamso for Java(TM)");
  EXPECT_EQ(text.Line(1), "Compiling via javac...");
  EXPECT_EQ(text.Line(3), "javac \"" + path + "\"");
  EXPECT_EQ(text.Line(text.LineCount() - 1), kDoneLine);
  const size_t errorLine = LineContaining(text, "Hello.java:3:");
  ASSERT_NE(errorLine, SIZE_MAX) << text.Text();
  DoubleClick(bar, errorLine);
  EXPECT_EQ(view.lines, std::vector<int>{2});
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

}  // namespace
}  // namespace tamso::gui
