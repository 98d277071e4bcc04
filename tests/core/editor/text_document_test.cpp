#include "editor/text_document.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
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
  EXPECT_EQ(s.LoadedLineEnds(), LineEnds::kCrLf);
  EXPECT_TRUE(s.HadFinalLineEnd());
  EXPECT_EQ(s.SetText("a\rb\n"), 2);  // a lone CR ends a line too
  EXPECT_EQ(s.Line(0), "a");
  EXPECT_EQ(s.LoadedLineEnds(), LineEnds::kLf);
  EXPECT_EQ(s.SetText("x\r"), 1);  // a CR at the very end is a CR, not half a CR LF
  EXPECT_EQ(s.LoadedLineEnds(), LineEnds::kCr);
  EXPECT_TRUE(s.HadFinalLineEnd());
  EXPECT_EQ(s.SetText("a\r\rb"), 3);
  EXPECT_EQ(s.Line(1), "");
  EXPECT_EQ(s.LoadedLineEnds(), LineEnds::kCr);
  EXPECT_FALSE(s.HadFinalLineEnd());
  // Control bytes, NUL and DEL are text like any other byte.
  EXPECT_EQ(s.SetText(std::string("x\x0c\x01y\x7f\tz\0", 8)), 1);
  EXPECT_EQ(s.Line(0), std::string_view("x\x0c\x01y\x7f\tz\0", 8));
  EXPECT_EQ(s.LineWidth(0), 12);  // one cell each; the tab runs to column 10
  EXPECT_EQ(s.LoadedLineEnds(), LineEnds::kNone);
  EXPECT_EQ(s.SetText(""), 1);
  EXPECT_EQ(s.Line(0), "");
  EXPECT_FALSE(s.HadFinalLineEnd());
  EXPECT_EQ(s.SetText("\n\n"), 2);
  EXPECT_TRUE(s.HadFinalLineEnd());
  for (int i = 0; i < s.LineCount(); ++i) EXPECT_EQ(s.LineState(i), kStateUnknown);
}

TEST(TextDocument, SavesByteForByte) {
  EXPECT_EQ(RoundTrip("a\r\nb\r\n"), "a\r\nb\r\n");
  EXPECT_EQ(RoundTrip("\tx = \"\xC3\xA9\xE2\x82\xAC\xFF\";\r\n"),
            "\tx = \"\xC3\xA9\xE2\x82\xAC\xFF\";\r\n");
  EXPECT_EQ(RoundTrip("#!/usr/bin/perl\nprint 1;\n"), "#!/usr/bin/perl\nprint 1;\n");
  // A last line without a line end stays without one.
  EXPECT_EQ(RoundTrip("a\nb"), "a\nb");
  EXPECT_EQ(RoundTrip("a\r\nb"), "a\r\nb");
  EXPECT_EQ(RoundTrip("one line"), "one line");
  EXPECT_EQ(RoundTrip(""), "");
  EXPECT_EQ(RoundTrip("\n"), "\n");
  EXPECT_EQ(RoundTrip("a\n\n\n"), "a\n\n\n");
  // Classic CR-only files keep their CRs (they used to collapse into one line, so a
  // comment swallowed the code after it).
  const std::string cr = "class C {\r  // a comment\r  int a = 1;\r}\r";
  EXPECT_EQ(RoundTrip(cr), cr);
  // Mixed line ends: any CR LF makes a CR LF file, else LF wins over a lone CR.
  EXPECT_EQ(RoundTrip("a\nb\r\nc\rd\n"), "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(RoundTrip("a\rb\nc"), "a\nb\nc");
  // NUL, form feed, ESC and DEL survive.
  const std::string controls("x\0\x0cy \"\x1b[0m\"\x7f\r\n", 13);
  EXPECT_EQ(RoundTrip(controls), controls);
}

// Every byte value, in every line-end style, with and without a final line end:
// typing one character at the top and deleting it again gives back the file byte
// for byte; keeping it adds exactly that character; the byte itself is one cell
// that Delete removes and Undo brings back.
TEST(TextDocument, EveryByteValueRoundTripsInEveryLineEndStyle) {
  TempDir dir;
  const char* const styles[] = {"\n", "\r\n", "\r"};
  int cases = 0;
  for (const char* eol : styles) {
    for (const bool finalEnd : {true, false}) {
      for (int v = 0; v < 256; ++v) {
        const char b = static_cast<char>(v);
        if (b == '\n' || b == '\r') continue;  // those are the line ends themselves
        const std::string bs(1, b);
        std::string file = bs + "q" + bs + eol + "\t" + bs + eol + eol + bs;
        if (finalEnd) file += eol;
        const std::string path = dir.Write("B.java", file);
        CLineStore store;
        TextDocument doc(store);
        ASSERT_TRUE(doc.Load(path, nullptr));
        SCOPED_TRACE(::testing::Message()
                     << "byte " << v << " eol " << std::strlen(eol)
                     << (eol[0] == '\r' ? " CR" : " LF") << " final " << finalEnd);
        ASSERT_EQ(store.LineCount(), 4);
        EXPECT_EQ(doc.BytesForSave(), file);

        store.InsertChar('x');
        EXPECT_EQ(doc.BytesForSave(), "x" + file);
        store.DeleteBackward();
        EXPECT_EQ(doc.BytesForSave(), file);

        // The byte is one cell: Right passes it, Delete removes exactly it.
        store.MoveRight(false);
        EXPECT_EQ(store.Caret().col, b == '\t' ? store.TabWidth() : 1);
        store.MoveLeft(false);
        store.DeleteForward();
        EXPECT_EQ(doc.BytesForSave(), file.substr(1));
        ASSERT_TRUE(store.Undo());
        EXPECT_EQ(doc.BytesForSave(), file);
        ++cases;
      }
    }
  }
  EXPECT_EQ(cases, 3 * 2 * 254);
}

// The same through a real save: one file holding all 256 byte values.
TEST(TextDocument, AllByteValuesSurviveASave) {
  std::string all;
  for (int v = 0; v < 256; ++v)
    if (v != '\n' && v != '\r') all += static_cast<char>(v);
  std::string reversed(all.rbegin(), all.rend());
  for (const char* eol : {"\n", "\r\n", "\r"}) {
    const std::string file = all + eol + reversed + eol + all;
    EXPECT_EQ(RoundTrip(file), file);
    EXPECT_EQ(RoundTrip(file + eol), file + eol);
  }
}

TEST(TextDocument, EditedCrOnlyFileKeepsCr) {
  TempDir dir;
  const std::string path = dir.Write("C.java", "class C {\r  // a comment\r  int a = 1;\r}\r");
  CLineStore store;
  TextDocument doc(store);
  ASSERT_TRUE(doc.Load(path, nullptr));
  EXPECT_EQ(store.LineCount(), 4);
  store.InsertChar('x');
  store.SetSelection(1, 4);
  store.InsertChar('\r');  // Enter breaks the line with the file's own line end
  ASSERT_TRUE(doc.Save(path, nullptr));
  EXPECT_EQ(ReadFile(path), "xclass C {\r  //\r   a comment\r  int a = 1;\r}\r");
}

TEST(TextDocument, TenMegabyteLineRoundTrips) {
  std::string big;
  big.reserve(10 * 1024 * 1024 + 2);
  for (int i = 0; i < 10 * 1024 * 1024; ++i) big += static_cast<char>('a' + i % 26);
  EXPECT_EQ(RoundTrip(big + "\r\n"), big + "\r\n");
}

TEST(TextDocument, NewDocumentSavesWithLf) {
  TempDir dir;
  CLineStore store;
  TextDocument doc(store);
  EXPECT_EQ(doc.FileName(), "File");
  std::string error;
  ASSERT_TRUE(doc.Save(dir.File("New.java"), &error)) << error;
  EXPECT_EQ(ReadFile(dir.File("New.java")), "\n");  // no stray blank
  EXPECT_EQ(doc.FileName(), "New.java");
  // A shell script written in a new document runs: no CR before the line end.
  store.SelectAll();
  store.ReplaceSelection("#!/bin/sh\r\necho hi");
  ASSERT_TRUE(doc.Save(dir.File("run.sh"), &error)) << error;
  EXPECT_EQ(ReadFile(dir.File("run.sh")), "#!/bin/sh\necho hi\n");
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
