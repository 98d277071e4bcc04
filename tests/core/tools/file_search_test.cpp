#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

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

// grep -rnF over the tree (C locale), both its output streams; nothing when grep
// cannot be run.
std::optional<std::string> Grep(const std::string& text, const std::string& dir) {
  int fds[2];
  if (::pipe(fds) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 2);  // where it says "binary file matches"
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  std::vector<std::string> argv = {"grep", "-rnF", "--include=*.java", text, dir};
  std::vector<char*> args;
  for (auto& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  char env[] = "LC_ALL=C";
  char* envp[] = {env, nullptr};
  pid_t pid = -1;
  const int err = ::posix_spawnp(&pid, "grep", &actions, nullptr, args.data(), envp);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  std::string out;
  char buf[65536];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
    out.append(buf, static_cast<size_t>(n));
  ::close(fds[0]);
  if (err != 0) return std::nullopt;
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) return std::nullopt;
  return out;
}

// A tree of every awkward kind, searched by both: the same lines (file:line and the
// line's text), the same binary files, and ours in the walk's order.
TEST(FileSearch, HitsAreGrepsOnAnAwkwardTree) {
  TempDir d;
  const std::string n = "needle";
  const size_t block = size_t{1} << 20;
  d.Write("crlf.java", "a\r\nneedle here\r\n\r\nx needle\r\nlast needle");
  d.Write("noend.java", "one\ntwo\nneedle");
  d.Write("many.java", "needle needle needleneedle\n\nneedle\tneedle\n");
  d.Write("edge.java", "needle\n");
  d.Write("empty.java", "");
  d.Write("exact.java", std::string(block - 7, 'x') + "needle\n");  // exactly a read block
  d.Write("over.java", std::string(block, 'y') + "\nneedle");
  // Hits straddling the read block at every offset of the text, then lines after them.
  for (size_t k = 0; k <= n.size(); ++k)
    d.Write("straddle" + std::to_string(k) + ".java",
            "needle\n" + std::string(block - 7 - k, 'z') + n + "\nafter needle\n");
  // A 3 MB line with hits in its middle and at its end, and short lines around it.
  std::string longLine(3 * block, 'w');
  longLine.replace(block + block / 2, n.size(), n);
  d.Write("long.java", "needle\n" + longLine + n + "\nneedle\n");
  d.Write("bin.java", std::string("ab\0cd\n", 6) + "needle\n");
  d.Write("binnohit.java", std::string("\0\0\0", 3));
  d.Write("bin8k.java", std::string(8000, 'k') + std::string(1, '\0') + "needle");
  d.Write("other.txt", "needle\n");
  // Many small files in many folders, so that the reading runs well ahead of the scan.
  for (int i = 0; i < 40; ++i)
    for (int j = 0; j < 12; ++j)
      d.Write(
          "pkg" + std::to_string(i) + "/F" + std::to_string(j) + ".java",
          (i + j) % 3 ? "class F {}\n" : "class F {\n  // needle " + std::to_string(i) + "\n}\n");

  const auto grep = Grep(n, d.path());
  if (!grep) GTEST_SKIP() << "grep cannot be run";
  std::map<std::string, std::string> theirs;  // file:line -> line
  std::set<std::string> theirBinary;
  {
    size_t pos = 0;
    while (pos < grep->size()) {
      size_t end = grep->find('\n', pos);
      if (end == std::string::npos) end = grep->size();
      const std::string line = grep->substr(pos, end - pos);
      pos = end + 1;
      const std::string binary = ": binary file matches";
      if (line.rfind("grep: ", 0) == 0 && line.size() > binary.size() &&
          line.compare(line.size() - binary.size(), binary.size(), binary) == 0) {
        theirBinary.insert(line.substr(6, line.size() - 6 - binary.size()));
        continue;
      }
      const size_t c1 = line.find(':');
      const size_t c2 = line.find(':', c1 + 1);
      ASSERT_NE(c2, std::string::npos) << line;
      std::string text = line.substr(c2 + 1);
      if (!text.empty() && text.back() == '\r') text.pop_back();  // we show no CR
      theirs[line.substr(0, c2)] = text;
    }
  }

  SearchTotals t;
  const std::string out = Search(d.path(), n, true, "*.java", &t);
  std::map<std::string, std::string> ours;
  std::set<std::string> ourBinary;
  std::vector<std::string> order;  // files in the order their hits came
  size_t pos = 0;
  while (pos < out.size()) {
    ASSERT_EQ(out[pos], '\n');
    const size_t end = std::min(out.find("\n", pos + 1), out.size());
    const std::string head = out.substr(pos + 1, end - pos - 1);
    if (head.rfind("Binary file ", 0) == 0) {
      const std::string file = head.substr(12, head.size() - 12 - 8);
      ourBinary.insert(file);
      order.push_back(file);
      pos = end;
      continue;
    }
    ASSERT_EQ(head.rfind("==> ", 0), 0u) << head;
    const std::string place = head.substr(4, head.size() - 5);  // without the ':'
    const size_t textEnd = std::min(out.find('\n', end + 1), out.size());
    ours[place] = out.substr(end + 1, textEnd - end - 1);
    const std::string file = place.substr(0, place.rfind(':'));
    if (order.empty() || order.back() != file) order.push_back(file);
    pos = textEnd;
  }
  EXPECT_EQ(ourBinary, theirBinary);
  EXPECT_EQ(ours.size(), theirs.size());
  for (const auto& [place, text] : theirs) {
    SCOPED_TRACE(place);
    auto it = ours.find(place);
    ASSERT_NE(it, ours.end());
    // A long line shows only the part around its hit.
    if (text.size() <= kShownLineBytes)
      EXPECT_EQ(it->second, text);
    else
      EXPECT_NE(it->second.find(n), std::string::npos);
  }
  EXPECT_EQ(t.hits, static_cast<int>(ours.size() + ourBinary.size()));
  EXPECT_EQ(t.files, 480 + 18);

  // The walk's order: a folder's subfolders first, in name order, then its files.
  std::vector<std::string> walk;
  for (int i = 0; i < 40; ++i) walk.push_back("pkg" + std::to_string(i));
  std::sort(walk.begin(), walk.end());
  std::vector<std::string> expected;
  for (const std::string& dir : walk) {
    std::vector<std::string> files;
    for (int j = 0; j < 12; ++j) files.push_back("F" + std::to_string(j) + ".java");
    std::sort(files.begin(), files.end());
    for (const std::string& f : files)
      if (ours.count(d.File(dir + "/" + f) + ":2")) expected.push_back(d.File(dir + "/" + f));
  }
  std::vector<std::string> top;
  for (const auto& [place, text] : ours)
    if (place.find("/pkg") == std::string::npos) top.push_back(place.substr(0, place.rfind(':')));
  for (const std::string& f : ourBinary) top.push_back(f);
  std::sort(top.begin(), top.end());
  top.erase(std::unique(top.begin(), top.end()), top.end());
  expected.insert(expected.end(), top.begin(), top.end());
  EXPECT_EQ(order, expected);
}

// A search stopped halfway ends at once and reports only what it scanned.
TEST(FileSearch, CancelStopsTheWalkAndTheScan) {
  TempDir d;
  for (int i = 0; i < 300; ++i) d.Write("d" + std::to_string(i) + "/A.java", "needle\n");
  struct StopAfter : ISearchSink {
    std::atomic<bool>* cancel = nullptr;
    int files = 0;
    void Write(std::string_view) override {}
    void FileDone(const SearchTotals& t) override {
      files = t.files;
      if (t.files == 10) cancel->store(true);
    }
  } sink;
  std::atomic<bool> cancel{false};
  sink.cancel = &cancel;
  SearchOptions o;
  o.text = "needle";
  o.directory = d.path();
  o.recurse = true;
  const SearchTotals t = SearchFiles(o, sink, &cancel);
  EXPECT_EQ(t.files, 10);
  EXPECT_EQ(t.hits, 10);
  EXPECT_EQ(sink.files, 10);
}

}  // namespace
}  // namespace tamso
