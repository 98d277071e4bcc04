// A document and another program that changes its file.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "editor/text_document.h"
#include "support/temp_dir.h"

namespace tamso {
namespace {

using testing::ReadFile;
using testing::TempDir;

// Another program writes a file beside it and renames it over the file, as editors
// and version control do: the inode changes.
void ReplaceByRename(const TempDir& dir, const std::string& path, const std::string& bytes) {
  const std::string side = dir.Write(".side", bytes);
  ASSERT_EQ(std::rename(side.c_str(), path.c_str()), 0);
}

TEST(ChangedOnDisk, EachKindOfOutsideChangeIsToldApartFromNoChange) {
  TempDir dir;
  const std::string path = dir.Write("A.java", "class A {}\n");
  CLineStore store;
  TextDocument doc(store);
  ASSERT_TRUE(doc.Load(path, nullptr));
  EXPECT_EQ(doc.CheckDisk(path), DiskState::Same);

  // The same bytes under a new inode and time stamp: nothing to reload.
  ReplaceByRename(dir, path, "class A {}\n");
  EXPECT_EQ(doc.CheckDisk(path), DiskState::Same);
  EXPECT_EQ(doc.CheckDisk(path), DiskState::Same);

  // Same size, other bytes, within the same time stamp granularity: the hash tells.
  dir.Write("A.java", "class B {}\n");
  EXPECT_EQ(doc.CheckDisk(path), DiskState::Changed);

  // A line appended from a shell (same inode, new size).
  ASSERT_TRUE(doc.Load(path, nullptr));
  dir.Write("A.java", "class B {}\n// appended\n");
  EXPECT_EQ(doc.CheckDisk(path), DiskState::Changed);

  // Saving makes the written file the known one.
  ASSERT_TRUE(doc.Save(path, nullptr));
  EXPECT_EQ(doc.CheckDisk(path), DiskState::Same);

  ReplaceByRename(dir, path, "other\n");
  EXPECT_EQ(doc.CheckDisk(path), DiskState::Changed);
  doc.AcceptDiskState(path);  // the user keeps the text: no second question
  EXPECT_EQ(doc.CheckDisk(path), DiskState::Same);

  ASSERT_EQ(::unlink(path.c_str()), 0);
  EXPECT_EQ(doc.CheckDisk(path), DiskState::Missing);
  // A file the document never read or wrote has nothing to compare with.
  dir.Write("A.java", "x");
  EXPECT_EQ(doc.CheckDisk(dir.Write("B.java", "y")), DiskState::Same);
  EXPECT_EQ(doc.CheckDisk(path), DiskState::Changed);
}

TEST(ChangedOnDisk, AReloadIsOneUndoStepKeepsTheCaretLineAndTheNewFilesBytes) {
  TempDir dir;
  const std::string path = dir.Write("A.java", "one\r\ntwo\r\nthree\r\nfour\r\n");
  CLineStore store;
  TextDocument doc(store);
  ASSERT_TRUE(doc.Load(path, nullptr));
  store.SetSelection(2, 3);
  const std::string outside = "1\n2\n3\n4\n5\n6";  // LF, and no final line end
  dir.Write("A.java", outside);

  std::string error;
  ASSERT_TRUE(doc.Reload(path, &error)) << error;
  EXPECT_EQ(store.LineCount(), 6);
  EXPECT_EQ(store.Caret().line, 2);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_TRUE(store.IsAtSavePoint());
  EXPECT_EQ(doc.BytesForSave(), outside);
  EXPECT_EQ(doc.CheckDisk(path), DiskState::Same);

  // Undo gives back the text as it was, which now differs from the file.
  ASSERT_TRUE(store.Undo());
  EXPECT_EQ(store.JoinedText("\n"), "one\ntwo\nthree\nfour\n");
  EXPECT_FALSE(store.IsAtSavePoint());
  ASSERT_TRUE(store.Redo());
  EXPECT_TRUE(store.IsAtSavePoint());

  // A reload of a shorter file puts the caret on its last line.
  store.SetSelection(5, 0);
  dir.Write("A.java", "only\n");
  ASSERT_TRUE(doc.Reload(path, nullptr));
  EXPECT_EQ(store.Caret().line, 0);
  ASSERT_TRUE(doc.Save(path, nullptr));
  EXPECT_EQ(ReadFile(path), "only\n");

  // A file that cannot be read is not reloaded and the text stays.
  ASSERT_EQ(::unlink(path.c_str()), 0);
  EXPECT_FALSE(doc.Reload(path, &error));
  EXPECT_EQ(store.JoinedText("\n", false), "only");
}

}  // namespace
}  // namespace tamso
