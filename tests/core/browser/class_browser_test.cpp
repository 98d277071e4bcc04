#include "browser/class_browser.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "browser/source_archive.h"
#include "core/browser/test_zip.h"
#include "core/lang/lang_test_support.h"
#include "lang/outline.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace tamso {
namespace {

using testing::FakeHost;
using testing::TempDir;
using testing::VectorSource;

struct ShownMember {
  std::string className, member;
};

// A browser over a temporary source tree ("src") and a JDK-like archive ("src.zip").
class ClassBrowserTest : public ::testing::Test {
 protected:
  ClassBrowserTest() {
    dir.Write("src/java/awt/Graphics.java", "package java.awt;");
    dir.Write("src/java/applet/Applet.java", "package java.applet;");
    dir.Write("src/foo/MyApplet.java", "package foo;");
    dir.Write("src/p/Base.java", "package p;");
    EXPECT_TRUE(testing::WriteZip(zip, {{"java.base/java/lang/Thread.java", "class Thread {}"},
                                        {"java.base/java/util/List.java", "interface List {}"}}));
    sourcePath = dir.File("src") + ";" + zip;
    for (const char* p : {"src/java/awt/Graphics.java", "src/java/applet/Applet.java",
                          "src/foo/MyApplet.java", "src/p/Base.java", "Chosen.java"})
      host.documentViews[dir.File(p)] = &view;
  }

  ClassBrowser Browser() {
    ClassBrowser::Site site;
    site.host = &host;
    site.sourcePath = [this] { return sourcePath; };
    site.showMember = [this](const std::string& c, const std::string& m) {
      shown.push_back({c, m});
      return true;
    };
    site.openCopy = [this](const std::string& path, const std::string& title) {
      copies.emplace_back(path, title);
      return true;
    };
    site.cacheDirectory = dir.File("cache/sources");
    site.largestEntry = largestEntry;
    site.offWindow = offWindow;
    return ClassBrowser(std::move(site));
  }

  void Outline(const std::string& text, const std::string& title = "Demo.java") {
    VectorSource source = VectorSource::FromText(text);
    BuildJavaOutline(source, title, tree);
  }
  int NodeLabelled(const std::string& label) const {
    for (int i = 0; i < static_cast<int>(tree.Nodes().size()); ++i)
      if (tree.Node(i).label == label) return i;
    ADD_FAILURE() << "no node " << label;
    return -1;
  }
  void DoubleClick(const std::string& label) { Browser().Activate(tree, NodeLabelled(label)); }

  class View : public IView {
   public:
    ViewKind Kind() const override { return ViewKind::Java; }
    IDocument* Document() override { return nullptr; }
    void GoToLine(int) override {}
  } view;
  TempDir dir;
  std::string zip = dir.File("src.zip");
  std::string sourcePath;
  FakeHost host;
  OutlineModel tree;
  std::vector<ShownMember> shown;
  std::vector<std::pair<std::string, std::string>> copies;
  std::uint64_t largestEntry = kLargestArchiveSource;
  std::function<void(std::function<void()>, std::function<void()>)> offWindow;
};

TEST_F(ClassBrowserTest, AnImportOpensItsSourceAndAWildcardImportPrompts) {
  Outline("import java.awt.Graphics;\nimport java.awt.*;\nclass Demo {}\n");
  DoubleClick("java.awt.Graphics");
  EXPECT_EQ(host.openedDocuments,
            (std::vector<std::string>{dir.File("src/java/awt/Graphics.java")}));
  EXPECT_TRUE(host.messages.empty());

  host.openedDocuments.clear();
  host.answers = {Answer::No};
  DoubleClick("java.awt.*");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text,
            "Could not source file for: java.awt.*\n\n\nUse Settings->Etc to set search path\n\n"
            "\n\n\nDo you want to find the file yourself ?\n\n");
  EXPECT_EQ(host.messages[0].caption, "Error openning file");
  EXPECT_EQ(host.messages[0].icon, MsgIcon::Question);
  EXPECT_EQ(host.messages[0].buttons, MsgButtons::YesNo);
  EXPECT_TRUE(host.fileDialogs.empty());
  EXPECT_TRUE(host.openedDocuments.empty());

  // Yes: the user picks the file, which opens; a cancelled dialog opens nothing.
  host.answers = {Answer::Yes, Answer::Yes};
  host.openFileAnswers = {dir.File("Chosen.java"), std::nullopt};
  DoubleClick("java.awt.*");
  DoubleClick("java.awt.*");
  ASSERT_EQ(host.fileDialogs.size(), 2u);
  EXPECT_TRUE(host.fileDialogs[0].filter.empty());
  EXPECT_TRUE(host.fileDialogs[0].defaultExt.empty());
  EXPECT_EQ(host.openedDocuments, (std::vector<std::string>{dir.File("Chosen.java")}));
}

TEST_F(ClassBrowserTest, ASuperclassIsFoundThroughTheImportThePackageOrTheBareName) {
  Outline("import java.applet.Applet;\nclass Demo extends Applet {}\n");
  DoubleClick("Applet");
  EXPECT_EQ(host.openedDocuments,
            (std::vector<std::string>{dir.File("src/java/applet/Applet.java")}));

  // Only the whole package imported: found through it, before the bare name.
  dir.Write("src/Applet.java", "class Applet {}");
  host.documentViews[dir.File("src/Applet.java")] = &view;
  host.openedDocuments.clear();
  Outline("import java.applet.*;\nclass Demo extends Applet {}\n");
  DoubleClick("Applet");
  EXPECT_EQ(host.openedDocuments, (std::vector<std::string>{dir.File("src/Applet.java")}));
  std::filesystem::remove(dir.File("src/Applet.java"));
  host.openedDocuments.clear();
  DoubleClick("Applet");
  EXPECT_EQ(host.openedDocuments,
            (std::vector<std::string>{dir.File("src/java/applet/Applet.java")}));

  // The source's own package.
  host.openedDocuments.clear();
  Outline("package p;\nclass Demo extends Base {}\n");
  DoubleClick("Base");
  EXPECT_EQ(host.openedDocuments, (std::vector<std::string>{dir.File("src/p/Base.java")}));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ClassBrowserTest, AnImportWhoseNameOnlyEndsLikeTheClassIsNotTaken) {
  Outline("import foo.MyApplet;\nclass Demo extends Applet {}\n");
  host.answers = {Answer::No};
  Browser().Activate(tree, tree.Node(NodeLabelled("Demo")).children.at(0));
  EXPECT_TRUE(host.openedDocuments.empty());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text.rfind("Could not source file for: Applet\n", 0), 0u);
}

TEST_F(ClassBrowserTest, JavaLangAndModuleSourcesOpenAsPrivateCopiesOfTheArchiveEntry) {
  Outline("import java.util.List;\nclass Demo extends Thread implements Runnable {}\n");
  DoubleClick("Thread");  // java.lang is imported by every source
  DoubleClick("java.util.List");
  ASSERT_EQ(copies.size(), 2u);
  EXPECT_EQ(copies[0].second, "src.zip!/java.base/java/lang/Thread.java");
  EXPECT_EQ(copies[1].second, "src.zip!/java.base/java/util/List.java");
  EXPECT_EQ(testing::ReadFile(copies[0].first), "class Thread {}");
  EXPECT_EQ(copies[0].first.rfind(dir.File("cache/sources/src.zip-"), 0), 0u) << copies[0].first;
  struct stat st {};
  ASSERT_EQ(::stat(copies[0].first.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // Opening it again rewrites the copy in place, leaving no debris.
  DoubleClick("Thread");
  ASSERT_EQ(copies.size(), 3u);
  EXPECT_EQ(copies[2].first, copies[0].first);
  int files = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir.File("cache")))
    files += e.is_regular_file();
  EXPECT_EQ(files, 2);
  EXPECT_TRUE(host.openedDocuments.empty());
  EXPECT_TRUE(host.messages.empty());

  // Not on the path at all: the prompt names the interface.
  host.answers = {Answer::No};
  DoubleClick("Runnable");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text.rfind("Could not source file for: Runnable\n", 0), 0u);
}

TEST_F(ClassBrowserTest, ADamagedArchiveEntryIsReportedAndAnUnwritableCacheToo) {
  const std::string body(3000, 'z');
  ASSERT_TRUE(testing::WriteZip(zip, {{"java.base/java/lang/Thread.java", body}}, true));
  std::string bytes = testing::ReadFile(zip);
  bytes[bytes.find("zzzz") + 100] = 'q';
  dir.Write("src.zip", bytes);
  Outline("class Demo extends Thread {}\n");
  DoubleClick("Thread");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text.rfind(
                "Cannot open src.zip!/java.base/java/lang/Thread.java:\nCannot read ", 0),
            0u)
      << host.messages[0].text;
  EXPECT_TRUE(copies.empty());

  ASSERT_TRUE(testing::WriteZip(zip, {{"java.base/java/lang/Thread.java", body}}));
  dir.Write("cache", "a file where the cache folder should be");
  DoubleClick("Thread");
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_NE(host.messages[1].text.find("Cannot create"), std::string::npos);
  EXPECT_TRUE(copies.empty());
}

// With the work kept off the window: an archive still being indexed stops the search
// (the window asks again once it is built), and entries are read elsewhere, a large
// one refused by name and size.
TEST_F(ClassBrowserTest, OffTheWindowAnArchiveIsNeverWaitedForAndALargeEntryIsRefused) {
  const std::string fresh = dir.File("jdk/src.zip");
  std::filesystem::create_directories(dir.File("jdk"));
  ASSERT_TRUE(
      testing::WriteZip(fresh, {{"java.base/java/lang/Thread.java", "class Thread {}"},
                                {"java.base/java/lang/Huge.java", std::string(4096, 'h')}}));
  sourcePath = dir.File("src") + ";" + fresh;
  std::vector<std::function<void()>> onWindow;
  offWindow = [&](std::function<void()> work, std::function<void()> then) {
    work();
    onWindow.push_back(std::move(then));
  };
  Outline("class Demo extends Thread {}\n");
  ClassBrowser browser = Browser();
  EXPECT_EQ(browser.Activate(tree, NodeLabelled("Thread")), fresh);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(onWindow.empty());
  std::string error;
  ASSERT_TRUE(CachedSourceArchive(fresh, &error)) << error;  // the index is built
  EXPECT_EQ(browser.Activate(tree, NodeLabelled("Thread")), "");
  EXPECT_TRUE(copies.empty());  // opened once the copy is there
  ASSERT_EQ(onWindow.size(), 1u);
  onWindow[0]();
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].second, "src.zip!/java.base/java/lang/Thread.java");
  EXPECT_EQ(testing::ReadFile(copies[0].first), "class Thread {}");

  largestEntry = 1000;
  Outline("class Demo extends Huge {}\n");
  ClassBrowser small = Browser();
  EXPECT_EQ(small.Activate(tree, NodeLabelled("Huge")), "");
  ASSERT_EQ(onWindow.size(), 2u);
  onWindow[1]();
  EXPECT_EQ(copies.size(), 1u);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text,
            "Cannot open src.zip!/java.base/java/lang/Huge.java:\njava.base/java/lang/Huge.java "
            "is too large to open (4 KB; at most 1000 bytes).");
}

TEST_F(ClassBrowserTest, MembersMoveTheEditorAndThePackageNodeCannotBeHandled) {
  const std::string text =
      "package demo.app;\nclass First {\n  int count;\n  void run() {}\n}\n"
      "class Second {\n  int count;\n  void run() {}\n}\n";
  Outline(text);
  const int second = NodeLabelled("Second");
  for (int child : tree.Node(second).children) Browser().Activate(tree, child);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].className, "Second");
  EXPECT_EQ(shown[0].member, "count");
  EXPECT_EQ(shown[1].member, "run()");  // the label, which tells overloads apart
  VectorSource source = VectorSource::FromText(text);
  EXPECT_EQ(FindJavaMember(source, shown[1].className, shown[1].member), 7);

  DoubleClick("demo.app");
  EXPECT_EQ(host.MessageTexts(), (std::vector<std::string>{"Error: Cant handle package"}));
  EXPECT_EQ(host.messages[0].caption, "");
  // Folders and classes do nothing.
  DoubleClick("Imports");
  DoubleClick("First");
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_TRUE(host.openedDocuments.empty());
}

TEST_F(ClassBrowserTest, TheRootSearchesItsLabelAsAClassNameAndPrompts) {
  dir.Write("src/Demo/java.java", "");
  Outline("class Demo {}\n");
  host.documentViews[dir.File("src/Demo/java.java")] = &view;
  DoubleClick("Demo.java");
  EXPECT_EQ(host.openedDocuments, (std::vector<std::string>{dir.File("src/Demo/java.java")}));
  std::filesystem::remove(dir.File("src/Demo/java.java"));
  host.answers = {Answer::No};
  DoubleClick("Demo.java");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text.rfind("Could not source file for: Demo.java\n", 0), 0u);
}

TEST_F(ClassBrowserTest, PackagePartNodesQualifyTheNameAndADocumentThatFailsCountsAsNotOpened) {
  // A tree as another producer could give it: a package part above an import.
  tree.BeginOutline("X.java");
  const int imports = tree.AddOutlineItem("Imports", kOutlineImportsFolder, 0);
  const int part = tree.AddOutlineItem("java.awt.", 5, imports);
  const int cls = tree.AddOutlineItem("Graphics", kOutlineImport, part);
  tree.EndOutline();
  EXPECT_EQ(tree.AddOutlineItem("lost", kOutlineField, 99), -1);
  EXPECT_EQ(tree.InsertFailures(), 1);
  EXPECT_TRUE(Browser().OpenClassSource(tree, cls, part, false));
  EXPECT_EQ(host.openedDocuments.back(), dir.File("src/java/awt/Graphics.java"));
  // The host could not open it (and said why): not opened, no prompt.
  host.documentViews.clear();
  EXPECT_FALSE(Browser().OpenClassSource(tree, cls, part, true));
  EXPECT_TRUE(host.messages.empty());
  Browser().Activate(tree, part);  // a package part with a child does nothing
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace tamso
