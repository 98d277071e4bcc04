// Open documents and other programs writing, replacing and deleting their files.

#include <unistd.h>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <cstdio>

#include "app/child_frame.h"
#include "app/disk_watcher.h"
#include "app/document_files.h"
#include "app/source_document.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "gui_fixture.h"
#include "support/temp_dir.h"

namespace tamso::gui::testing {
namespace {

class ChangedOnDiskTest : public ShellTest {
 protected:
  ChangedOnDiskTest() { realEditors = true; }
  static CSourceEditor* EditorOf(ChildFrame* child) {
    return static_cast<SourceEditorPane*>(child->Pane())->Editor();
  }
  static std::string Text(ChildFrame* child) {
    return EditorOf(child)->Store().JoinedText("\n", false);
  }
  // As editors and version control do: a new file renamed over the old one.
  void ReplaceByRename(const std::string& path, const std::string& bytes) {
    const std::string side = File(".side", bytes);
    ASSERT_EQ(std::rename(side.c_str(), path.c_str()), 0);
  }
  QAbstractButton* Button(QMessageBox* box, const QString& text) {
    for (QAbstractButton* b : box->buttons())
      if (b->text() == text) return b;
    return nullptr;
  }
};

TEST_F(ChangedOnDiskTest, AnUnmodifiedDocumentFollowsItsFileKeepingTheCaretLine) {
  Start();
  const std::string path = File("A.java", "a\nb\nc\nd\n");
  ChildFrame* child = window()->OpenDocumentFile(path);
  ASSERT_NE(child, nullptr);
  EditorOf(child)->Store().SetSelection(2, 0);

  ReplaceByRename(path, "a\nb\nC changed\nd\ne\n");
  QTRY_COMPARE(Text(child), std::string("a\nb\nC changed\nd\ne"));
  EXPECT_EQ(EditorOf(child)->Store().Caret().line, 2);
  EXPECT_FALSE(child->Doc()->IsModified());
  EXPECT_EQ(window()->statusBar()->currentMessage().toStdString(), ReloadedStatus(path));
  // The reload is one step: Undo shows the text as it was.
  ASSERT_TRUE(EditorOf(child)->Store().Undo());
  EXPECT_EQ(Text(child), "a\nb\nc\nd");

  // The watch survived the rename: a line appended from a shell shows too.
  EditorOf(child)->Store().Redo();
  window()->SaveDocument(child->Doc());  // nothing to ask: the file is as it was loaded
  EXPECT_TRUE(host.messages.empty());
  std::FILE* f = std::fopen(path.c_str(), "a");
  std::fputs("appended\n", f);
  std::fclose(f);
  QTRY_COMPARE(Text(child), std::string("a\nb\nC changed\nd\ne\nappended"));
}

TEST_F(ChangedOnDiskTest, AModifiedDocumentAsksOnceWithoutBlockingAndKeepsOrReloads) {
  Start();
  const std::string path = File("A.java", "class A {}\n");
  ChildFrame* child = window()->OpenDocumentFile(path);
  QTest::keyClicks(EditorOf(child), "x");
  ASSERT_TRUE(child->Doc()->IsModified());

  File("A.java", "class A { int outside; }\n");
  QTRY_VERIFY(window()->Disk()->Question(child->Doc()) != nullptr);
  QMessageBox* box = window()->Disk()->Question(child->Doc());
  EXPECT_FALSE(box->isModal());
  EXPECT_EQ(box->text().toStdString(), ChangedOnDiskQuestion(path));
  // Another change while the question is open asks nothing more.
  File("A.java", "class A { int outside2; }\n");
  window()->Disk()->CheckAll();
  EXPECT_EQ(window()->Disk()->Question(child->Doc()), box);

  Button(box, "Keep Mine")->click();
  EXPECT_EQ(window()->Disk()->Question(child->Doc()), nullptr);
  EXPECT_EQ(Text(child), "xclass A {}");
  EXPECT_TRUE(child->Doc()->IsModified());
  window()->Disk()->CheckAll();  // that version of the file is not asked about again
  EXPECT_EQ(window()->Disk()->Question(child->Doc()), nullptr);

  File("A.java", "class A { int third; }\n");
  window()->Disk()->CheckAll();
  box = window()->Disk()->Question(child->Doc());
  ASSERT_NE(box, nullptr);
  Button(box, "Reload")->click();
  EXPECT_EQ(Text(child), "class A { int third; }");
  EXPECT_FALSE(child->Doc()->IsModified());
}

TEST_F(ChangedOnDiskTest, ASaveOverAFileChangedSinceItWasLoadedAsksFirst) {
  Start();
  const std::string path = File("A.java", "class A {}\n");
  ChildFrame* child = window()->OpenDocumentFile(path);
  QTest::keyClicks(EditorOf(child), "x");
  File("A.java", "theirs\n");

  // No: their file stays, the text stays modified.
  host.answers = {Answer::No};
  EXPECT_FALSE(window()->SaveDocument(child->Doc()));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], ChangedBeforeSaveQuestion(path));
  EXPECT_EQ(tamso::testing::ReadFile(path), "theirs\n");
  EXPECT_TRUE(child->Doc()->IsModified());
  // Yes: ours is written.
  host.answers = {Answer::Yes};
  EXPECT_TRUE(window()->SaveDocument(child->Doc()));
  EXPECT_EQ(tamso::testing::ReadFile(path), "xclass A {}\n");
}

TEST_F(ChangedOnDiskTest, ADeletedFileIsReportedAndASaveWritesItBack) {
  Start();
  const std::string path = File("A.java", "class A {}\n");
  ChildFrame* child = window()->OpenDocumentFile(path);
  ASSERT_EQ(std::remove(path.c_str()), 0);
  QTRY_VERIFY(child->Doc()->IsModified());
  EXPECT_EQ(window()->statusBar()->currentMessage().toStdString(), DeletedOnDiskMessage(path));
  window()->Disk()->CheckAll();  // said once
  EXPECT_EQ(window()->findChildren<QMessageBox*>().size(), 1);
  EXPECT_TRUE(window()->SaveDocument(child->Doc()));
  EXPECT_EQ(tamso::testing::ReadFile(path), "class A {}\n");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ChangedOnDiskTest, AFileReplacedByABinaryOrHugeOneIsReloadedOnlyWhenTheUserAgrees) {
  Start();
  const std::string path = File("A.java", "class A {}\n");
  ChildFrame* child = window()->OpenDocumentFile(path);
  ASSERT_NE(child, nullptr);

  // The same question as Open asks; No keeps the text, which now differs from its file.
  ReplaceByRename(path, std::string("\x7f"
                                    "ELF\x02\x01\x01\0\0\0",
                                    10));
  host.answers = {Answer::No};
  window()->Disk()->CheckAll();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], BinaryFileQuestion(path));
  EXPECT_EQ(Text(child), "class A {}");
  EXPECT_TRUE(child->Doc()->IsModified());
  EXPECT_EQ(window()->statusBar()->currentMessage().toStdString(), NotReloadedStatus(path));
  window()->Disk()->CheckAll();  // that version of the file is not asked about again
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(window()->Disk()->Question(child->Doc()), nullptr);

  // A text file again: the modified document asks as before, and Reload loads it.
  ReplaceByRename(path, "class B {}\n");
  window()->Disk()->CheckAll();
  QMessageBox* box = window()->Disk()->Question(child->Doc());
  ASSERT_NE(box, nullptr);
  Button(box, "Reload")->click();
  EXPECT_EQ(Text(child), "class B {}");
  EXPECT_FALSE(child->Doc()->IsModified());
  EXPECT_EQ(host.messages.size(), 1u);

  // Past the large-file size (sparse: nothing is written): asked before a byte is read.
  const std::string side = File(".big", "");
  ASSERT_EQ(::truncate(side.c_str(), 300ll << 20), 0);
  ASSERT_EQ(std::rename(side.c_str(), path.c_str()), 0);
  host.answers = {Answer::No};
  window()->Disk()->CheckAll();
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[1], LargeFileQuestion(path, 300ull << 20));
  EXPECT_EQ(Text(child), "class B {}");
  EXPECT_TRUE(child->Doc()->IsModified());
  window()->Disk()->CheckAll();
  EXPECT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(window()->Disk()->Question(child->Doc()), nullptr);
}

}  // namespace
}  // namespace tamso::gui::testing
