#include "editor/text_document.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "support/temp_dir.h"

namespace tamso {
namespace {

using testing::ReadFile;
using testing::TempDir;

// Loads bytes from a file and saves them again; returns what was written.
std::string RoundTrip(const std::string& bytes) {
  TempDir dir;
  const std::string path = dir.Write("In.java", bytes);
  CLineStore store;
  TextDocument doc(store);
  std::string error;
  EXPECT_TRUE(doc.Load(path, &error)) << error;
  EXPECT_TRUE(doc.Save(path, &error)) << error;
  return ReadFile(path);
}

TEST(TextDocument, LoadBuildsLinesByTheLoadRules) {
  CLineStore s;
  EXPECT_EQ(s.SetText("a\r\nb\r\n"), 2);
  EXPECT_EQ(s.Line(0), "a");
  EXPECT_EQ(s.Line(1), "b");
  EXPECT_EQ(s.SetText("a\rb\n"), 1);  // a lone CR is dropped
  EXPECT_EQ(s.Line(0), "ab");
  EXPECT_EQ(s.SetText("x\x0c\x01y\x7f\tz"), 1);
  EXPECT_EQ(s.Line(0), "xy\tz");
  EXPECT_EQ(s.SetText(""), 1);
  EXPECT_EQ(s.Line(0), "");
  EXPECT_EQ(s.SetText(std::string("\0\0a\0\n\0b", 7)), 2);  // NUL bytes are dropped
  EXPECT_EQ(s.Line(0), "a");
  EXPECT_EQ(s.Line(1), "b");
  EXPECT_EQ(s.SetText("\n\n"), 2);
  for (int i = 0; i < s.LineCount(); ++i) EXPECT_EQ(s.LineState(i), kStateUnknown);
}

TEST(TextDocument, SavesByteForByte) {
  // CR LF files come back unchanged; tabs and UTF-8 are kept.
  EXPECT_EQ(RoundTrip("a\r\nb\r\n"), "a\r\nb\r\n");
  EXPECT_EQ(RoundTrip("\tx = \"\xC3\xA9\xE2\x82\xAC\xFF\";\r\n"),
            "\tx = \"\xC3\xA9\xE2\x82\xAC\xFF\";\r\n");
  // LF-only files keep LF line ends; a missing final line end is added.
  EXPECT_EQ(RoundTrip("#!/usr/bin/perl\nprint 1;\n"), "#!/usr/bin/perl\nprint 1;\n");
  EXPECT_EQ(RoundTrip("a\nb"), "a\nb\n");
  // Any CR LF makes the file a CR LF file; a lone CR is dropped.
  EXPECT_EQ(RoundTrip("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(RoundTrip("a\rb\nc\n"), "ab\nc\n");
  // Control bytes are dropped; no line ends at all gives CR LF.
  EXPECT_EQ(RoundTrip(std::string("x\0\x0cy", 4)), "xy\r\n");
  EXPECT_EQ(RoundTrip(""), "\r\n");
}

TEST(TextDocument, TenMegabyteLineRoundTrips) {
  std::string big;
  big.reserve(10 * 1024 * 1024 + 2);
  for (int i = 0; i < 10 * 1024 * 1024; ++i) big += static_cast<char>('a' + i % 26);
  EXPECT_EQ(RoundTrip(big + "\r\n"), big + "\r\n");
}

TEST(TextDocument, NewDocumentSavesSpaceCrLf) {
  TempDir dir;
  CLineStore store;
  TextDocument doc(store);
  EXPECT_EQ(doc.FileName(), "File");
  std::string error;
  ASSERT_TRUE(doc.Save(dir.File("New.java"), &error)) << error;
  EXPECT_EQ(ReadFile(dir.File("New.java")), " \r\n");
  EXPECT_EQ(doc.FileName(), "New.java");
}

TEST(TextDocument, SavingShorterTextLeavesNoOldBytes) {
  TempDir dir;
  const std::string path = dir.Write("A.java", "a long line of text\r\nanother\r\n");
  CLineStore store;
  TextDocument doc(store);
  ASSERT_TRUE(doc.Load(path, nullptr));
  store.SelectAll();
  store.ReplaceSelection("x");
  ASSERT_TRUE(doc.Save(path, nullptr));
  EXPECT_EQ(ReadFile(path), "x\r\n");
}

TEST(TextDocument, LoadFailureKeepsTheTextAndExplains) {
  TempDir dir;
  CLineStore store;
  store.SetText("keep me");
  TextDocument doc(store);
  std::string error;
  EXPECT_FALSE(doc.Load(dir.File("missing.java"), &error));
  EXPECT_NE(error.find("missing.java"), std::string::npos) << error;
  EXPECT_FALSE(doc.Load(dir.path(), &error));  // a directory
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(store.Line(0), "keep me");
  EXPECT_EQ(doc.FileName(), "File");
}

TEST(TextDocument, SaveIntoMissingDirectoryFails) {
  TempDir dir;
  CLineStore store;
  TextDocument doc(store);
  store.InsertChar('x');
  std::string error;
  EXPECT_FALSE(doc.Save(dir.File("gone/A.java"), &error));
  EXPECT_NE(error.find("gone/A.java"), std::string::npos) << error;
  EXPECT_FALSE(store.IsAtSavePoint());
  EXPECT_EQ(doc.FileName(), "File");
}

TEST(TextDocument, FailedSaveKeepsOldFileAndModifiedState) {
  if (::geteuid() == 0) GTEST_SKIP() << "root ignores permissions";
  TempDir dir;
  const std::string sub = dir.path() + "/ro";
  ::mkdir(sub.c_str(), 0755);
  const std::string path = dir.Write("ro/A.java", "old\r\n");
  CLineStore store;
  TextDocument doc(store);
  ASSERT_TRUE(doc.Load(path, nullptr));
  store.InsertChar('n');
  doc.SetModified(true);
  ::chmod(sub.c_str(), 0555);
  std::string error;
  EXPECT_FALSE(doc.Save(path, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(doc.IsModified());
  EXPECT_FALSE(store.IsAtSavePoint());
  EXPECT_EQ(ReadFile(path), "old\r\n");
}

TEST(TextDocument, LoadAndSaveSetTheSavePoint) {
  TempDir dir;
  const std::string path = dir.Write("B.java", "b\n");
  CLineStore store;
  TextDocument doc(store);
  ASSERT_TRUE(doc.Load(path, nullptr));
  EXPECT_TRUE(store.IsAtSavePoint());
  EXPECT_FALSE(store.CanUndo());
  store.InsertChar('x');
  EXPECT_FALSE(store.IsAtSavePoint());
  ASSERT_TRUE(doc.Save(path, nullptr));
  EXPECT_TRUE(store.IsAtSavePoint());
  EXPECT_EQ(ReadFile(path), "xb\n");
}

}  // namespace
}  // namespace tamso
