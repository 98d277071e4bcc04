#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "../../support/temp_dir.h"
#include "../platform/unprivileged.h"
#include "tools/file_search.h"

namespace tamso {
namespace {

using testing::TempDir;

struct Collect : ISearchSink {
  void Write(std::string_view t) override { text.append(t); }
  std::string text;
};

std::string Search(const std::string& dir, const std::string& text, bool recurse = true,
                   const std::string& filter = "*.java", SearchTotals* totals = nullptr,
                   bool verbose = false) {
  SearchOptions o;
  o.text = text;
  o.directory = dir;
  o.filter = filter;
  o.recurse = recurse;
  o.verbose = verbose;
  Collect c;
  SearchTotals t = SearchFiles(o, c, nullptr);
  if (totals) *totals = t;
  return c.text;
}

TEST(FileSearch, WildcardsMatchAsTheFilterListMeansThem) {
  EXPECT_TRUE(MatchesFilter("a.htm", "*.htm*"));
  EXPECT_TRUE(MatchesFilter("a.html", "*.htm*"));
  EXPECT_FALSE(MatchesFilter("a.java", "*.htm*"));
  EXPECT_TRUE(MatchesFilter("Makefile", "*.*"));
  EXPECT_TRUE(MatchesFilter("A1.java", "A?.java"));
  EXPECT_FALSE(MatchesFilter("A.java.bak", "*.java"));
  EXPECT_TRUE(MatchesFilter("x.a.b.java", "*.*.java"));
}

TEST(FileSearch, DirectoryOrderLineNumbersAndLineEnds) {
  TempDir d;
  d.Write("B.java", "paint\n");
  d.Write("A.java", "x\r\npaint paint\r\nno\r\npaint");  // CR LF, two on a line, no end
  d.Write("C.java", "one\rpaint\rthree\n\npaint\n");     // lone CRs end lines too
  d.Write("sub/deep/D.java", "paint\n");
  d.Write("sub/E.java", "paint\n");
  d.Write(".hidden/F.java", "paint\n");
  d.Write("sub/G.txt", "paint\n");
  d.Write("zz.htm", "paint\n");
  d.Write("zz.html", "paint\n");
  const std::string p = d.path();
  SearchTotals t;
  EXPECT_EQ(Search(p, "paint", true, "*.java", &t),
            "\n==> " + p + "/sub/deep/D.java:1:\npaint" + "\n==> " + p + "/sub/E.java:1:\npaint" +
                "\n==> " + p + "/A.java:2:\npaint paint" + "\n==> " + p + "/A.java:4:\npaint" +
                "\n==> " + p + "/B.java:1:\npaint" + "\n==> " + p + "/C.java:2:\npaint" + "\n==> " +
                p + "/C.java:5:\npaint");
  EXPECT_EQ(t.files, 5);
  EXPECT_EQ(t.hits, 7);
  // Without recursion only the starting directory's own files; a trailing slash is
  // not doubled; "*.htm*" takes both kinds.
  EXPECT_EQ(Search(p + "/", "paint", false, "*.htm*", &t),
            "\n==> " + p + "/zz.htm:1:\npaint\n==> " + p + "/zz.html:1:\npaint");
  // Verbose lists every file; case counts; a directory that is not there has none.
  EXPECT_EQ(Search(p + "/sub", "Paint", false, "*.*", &t, true),
            "\nScanning...<" + p + "/sub/E.java>\nScanning...<" + p + "/sub/G.txt>");
  EXPECT_EQ(t.hits, 0);
  EXPECT_EQ(Search(p + "/missing", "paint", true, "*.*", &t), "");
  EXPECT_EQ(t.files + t.hits + t.unreadableDirs, 0);
}

TEST(FileSearch, LongLinesAreSearchedWholeAndCountedRight) {
  TempDir d;
  // A hit far past 511 bytes, a line longer than a read block, and one longer than
  // what is ever held at once; the lines after each keep their numbers.
  const std::string mid(5000, 'a');
  const std::string block((1 << 20) + 77, 'b');
  const std::string huge((17 << 20) + 5, 'c');
  d.Write("L.java", mid + "needle" + mid + "\nneedle\n" + block + "needle\nx\n" + huge + "needle" +
                        "\nneedle");
  SearchTotals t;
  const std::string out = Search(d.path(), "needle", false, "*.java", &t);
  EXPECT_EQ(t.hits, 5);
  const std::string f = d.path() + "/L.java:";
  for (int line : {1, 2, 3, 5, 6}) {
    SCOPED_TRACE(line);
    EXPECT_NE(out.find("==> " + f + std::to_string(line) + ":\n"), std::string::npos);
  }
  // A long line shows the part around its hit, marked as cut, never the whole line.
  EXPECT_NE(out.find("\n..." + std::string(kShownLineBytes / 2, 'b') + "needle\n"),
            std::string::npos);
  EXPECT_LT(out.size(), 6 * kShownLineBytes);
  // A text split across two reads is found: the hit straddles the 1 MiB boundary.
  std::string straddle((1 << 20) - 3, 'q');
  d.Write("S.java", straddle + "needle\n");
  EXPECT_NE(Search(d.path(), "needle", false, "S.java").find("S.java:1:"), std::string::npos);
}

TEST(FileSearch, BinaryFilesLoopsAndUnreadableEntries) {
  TempDir d;
  d.Write("bin.java", std::string("ab\0cd", 5) + "\nneedle\nneedle\n");
  d.Write("a/T.java", "needle\n");
  std::filesystem::create_directory_symlink("..", d.File("a/up"));
  std::filesystem::create_directory_symlink(d.File("a"), d.File("link"));
  ::mkfifo(d.File("pipe.java").c_str(), 0644);
  SearchTotals t;
  const std::string out = Search(d.path(), "needle", true, "*.java", &t);
  // The loop and the second way into a/ are not followed again; the pipe is not opened.
  EXPECT_EQ(out, "\n==> " + d.path() + "/a/T.java:1:\nneedle\nBinary file " + d.path() +
                     "/bin.java matches");
  EXPECT_EQ(t.files, 2);
  EXPECT_EQ(t.hits, 2);

  d.Write("locked/X.java", "needle\n");
  d.Write("secret.java", "needle\n");
  d.Write("open.java", "needle\n");
  ::chmod(d.path().c_str(), 0755);
  for (const auto& e : std::filesystem::recursive_directory_iterator(d.path()))
    if (!e.is_symlink()) ::chown(e.path().c_str(), testing::UnprivilegedUid(), 0);
  ::chmod(d.File("locked").c_str(), 0);
  ::chmod(d.File("secret.java").c_str(), 0);
  const int rc = testing::RunUnprivileged([&] {
    SearchTotals u;
    const std::string o = Search(d.path(), "needle", true, "*.java", &u);
    if (o.find("open.java:1:") == std::string::npos) return 1;
    if (o.find("secret") != std::string::npos) return 2;
    // secret.java counts as scanned and as unreadable, the locked directory as unreadable.
    return u.files == 4 && u.unreadableFiles == 1 && u.unreadableDirs == 1 ? 0 : 3;
  });
  EXPECT_EQ(rc, 0);
}

TEST(FileSearch, ScanningPrimitivesAgreeWithPlainLoops) {
  std::string hay;
  for (int i = 0; i < 5000; ++i) hay += static_cast<char>("ab\ncd\r"[i * 7 % 6]);
  for (const std::string needle : {"a", "b\nc", "cd\rab", "zz", "\ncd\ra"}) {
    for (size_t from = 0; from < 40; ++from) {
      const char* got = FindText(hay.data() + from, hay.size() - from, needle);
      const size_t want = hay.find(needle, from);
      EXPECT_EQ(got ? static_cast<size_t>(got - hay.data()) : std::string::npos, want);
    }
  }
  for (size_t n : {0u, 15u, 16u, 17u, 4096u + 3u, 2999u})
    EXPECT_EQ(
        CountByte(hay.data(), n, '\n'),
        static_cast<size_t>(std::count(hay.begin(), hay.begin() + static_cast<long>(n), '\n')));
}

}  // namespace
}  // namespace tamso
