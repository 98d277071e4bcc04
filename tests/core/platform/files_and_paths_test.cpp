#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/file_read.h"
#include "platform/paths.h"
#include "platform/profile_location.h"
#include "support/temp_dir.h"

namespace tamso {
namespace {

using testing::ReadFile;
using testing::TempDir;

TEST(AtomicFile, ReplacesContentKeepsModeAndLeavesNoTemporaries) {
  TempDir dir;
  std::string p = dir.Write("a.sh", "old old old old");
  ::chmod(p.c_str(), 0751);
  ASSERT_TRUE(WriteFileAtomically(p, "new").ok);
  EXPECT_EQ(ReadFile(p), "new");
  struct stat st;
  ASSERT_EQ(::stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0751u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(AtomicFile, WritesThroughASymbolicLinkToItsTarget) {
  TempDir dir;
  std::string target = dir.Write("real/Hello.java", "x");
  std::string link = dir.File("Hello.java");
  ASSERT_EQ(::symlink("real/Hello.java", link.c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(link, "class Hello {}").ok);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(target), "class Hello {}");
}

TEST(AtomicFile, KeepsHardLinksTogether) {
  TempDir dir;
  std::string a = dir.Write("a.txt", "one");
  std::string b = dir.File("b.txt");
  ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(a, "two").ok);
  EXPECT_EQ(ReadFile(b), "two");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            2);
}

TEST(AtomicFile, FailuresSayWhyAndTouchNothing) {
  TempDir dir;
  WriteResult r = WriteFileAtomically(dir.File("missing/x.java"), "x");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("No such file or directory"), std::string::npos) << r.error;
  std::filesystem::create_directory(dir.File("d"));
  r = WriteFileAtomically(dir.File("d"), "x");
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("d")));
}

TEST(AtomicFile, FullDiskIsAFailureNotATruncatedSuccess) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  // A device is written in place (never replaced), and the full disk must show.
  WriteResult r = WriteFileAtomically("/dev/full", std::string(100000, 'x'));
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("No space left on device"), std::string::npos) << r.error;
  struct stat st;
  ASSERT_EQ(::stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(ReadWholeFile, ReadsBytesExactlyAndRefusesDirectories) {
  TempDir dir;
  std::string bytes("a\0b\r\n\xff", 6);
  std::string p = dir.Write("bin", bytes);
  std::string got, err;
  ASSERT_TRUE(ReadWholeFile(p, got, &err));
  EXPECT_EQ(got, bytes);
  EXPECT_FALSE(ReadWholeFile(dir.path(), got, &err));
  EXPECT_NE(err.find("Is a directory"), std::string::npos) << err;
  EXPECT_FALSE(ReadWholeFile(dir.File("nope"), got, &err));
  EXPECT_NE(err.find("No such file"), std::string::npos) << err;
}

TEST(ReadWholeFile, ASharedBlockHoldsWhatAStringReadHolds) {
  TempDir dir;
  // Past the size that takes a block of its own pages, empty, and small.
  std::string large(3u << 20, 'x');
  for (std::size_t i = 0; i < large.size(); i += 4093) large[i] = static_cast<char>(i % 251);
  for (const std::string& bytes : {large, std::string(), std::string("a\0b\r\n", 5)}) {
    const std::string p = dir.Write("f", bytes);
    SharedBytes shared;
    std::string err;
    ASSERT_TRUE(ReadWholeFile(p, shared, &err, kNoReadLimit)) << err;
    ASSERT_NE(shared.bytes, nullptr);
    EXPECT_EQ(shared.view(), bytes);
  }
  // A file whose size says 0 while it has bytes (as files under /proc do) grows the
  // block as it is read, and the limit still holds.
  SharedBytes status;
  ASSERT_TRUE(ReadWholeFile("/proc/self/status", status));
  EXPECT_EQ(status.view().substr(0, 5), "Name:");
  EXPECT_EQ(status.view().back(), '\n');
  std::string err;
  EXPECT_FALSE(ReadWholeFile("/proc/self/status", status, &err, 10));
  EXPECT_EQ(status.size, 0u);
  EXPECT_EQ(err, "/proc/self/status is too large (more than 10 bytes).");
}

TEST(Paths, SplitsJoinsAndReadsBackslashesOnlyInWindowsText) {
  EXPECT_EQ(paths::FromStored(".\\src\\Hello.java"), "./src/Hello.java");
  EXPECT_EQ(paths::FileName(paths::FromStored("C:\\java\\Hello.java")), "Hello.java");
  // Anywhere else a backslash is part of a name.
  EXPECT_EQ(paths::FromStored("./back\\slash.java"), "./back\\slash.java");
  EXPECT_EQ(paths::FileName("/home/me/back\\slash.java"), "back\\slash.java");
  EXPECT_EQ(paths::Directory("/home/me/back\\slash.java"), "/home/me");
  EXPECT_EQ(paths::Directory("back\\slash.java"), "");
  EXPECT_EQ(paths::Join("/a\\", "b"), "/a\\/b");
  EXPECT_EQ(paths::Extension("dir.d\\Makefile"), ".d\\Makefile");
  EXPECT_EQ(paths::FileName("/home/me/Hello.java"), "Hello.java");
  EXPECT_EQ(paths::Directory("/home/me/Hello.java"), "/home/me");
  EXPECT_EQ(paths::Directory("/Hello.java"), "/");
  EXPECT_EQ(paths::Directory("Hello.java"), "");
  EXPECT_EQ(paths::Extension("a/b.c/Hello.JAVA"), ".JAVA");
  EXPECT_EQ(paths::Extension("a/b.c/Makefile"), "");
  EXPECT_EQ(paths::Extension(".profile"), "");
  EXPECT_EQ(paths::BaseName("/usr/bin/tamso"), "tamso");
  EXPECT_EQ(paths::Join("/a/", "/b"), "/b");
  EXPECT_EQ(paths::Join("/a/", "b"), "/a/b");
  EXPECT_EQ(paths::Join("", "b"), "b");
  EXPECT_EQ(paths::Absolute("/a/./b/../c/"), "/a/c");
  EXPECT_EQ(paths::SplitSearchPath(".;C:\\hotjava\\classsrc;; /usr/src ;"),
            (std::vector<std::string>{".", "C:/hotjava/classsrc", "/usr/src"}));
  EXPECT_TRUE(paths::EqualsNoCase(".JAVA", ".java"));
  EXPECT_FALSE(paths::EqualsNoCase(".jav", ".java"));
}

// Names with a backslash or bytes that are not UTF-8 are written and read back under
// themselves, with nothing left beside them.
TEST(Paths, ByteNamesRoundTripThroughTheFileHelpers) {
  TempDir dir;
  for (const std::string name : {"back\\slash.java", "caf\xe9.java", "\xff\xfe.java"}) {
    SCOPED_TRACE(name);
    const std::string path = paths::Join(dir.path(), name);
    ASSERT_TRUE(WriteFileAtomically(path, "one").ok);
    ASSERT_TRUE(WriteFileAtomically(path, "two").ok);
    std::string got;
    ASSERT_TRUE(ReadWholeFile(path, got));
    EXPECT_EQ(got, "two");
    EXPECT_EQ(paths::FileName(path), name);
    EXPECT_TRUE(paths::SameFile(path, paths::Canonical(path)));
  }
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"back\\slash.java", "caf\xe9.java", "\xff\xfe.java"}));
}

TEST(Paths, CanonicalComparisonSeesThroughLinksAndDots) {
  TempDir dir;
  std::string f = dir.Write("src/A.java", "");
  std::string l = dir.File("link");
  ASSERT_EQ(::symlink((dir.path() + "/src").c_str(), l.c_str()), 0);
  EXPECT_TRUE(paths::SameFile(f, l + "/A.java"));
  EXPECT_TRUE(paths::SameFile(f, dir.path() + "/src/../src/A.java"));
  EXPECT_FALSE(paths::SameFile(f, dir.File("src/B.java")));
}

TEST(Paths, Wildcards) {
  EXPECT_TRUE(paths::WildcardMatch("*.java", "Hello.java"));
  EXPECT_FALSE(paths::WildcardMatch("*.java", "Hello.java~"));
  EXPECT_TRUE(paths::WildcardMatch("H?llo.*", "Hallo.txt"));
  EXPECT_TRUE(paths::WildcardMatch("*", ""));
  EXPECT_TRUE(paths::WildcardMatch("*a*b*", "xxaxxbxx"));
  EXPECT_FALSE(paths::WildcardMatch("*a*b", "xxaxxbxx"));
}

TEST(ProfileLocation, SwitchBeatsEnvironmentBeatsXdg) {
  auto loc = ResolveProfileLocation({"--profile", "/tmp/p.INI", "Hello.java"}, "/usr/bin/tamso",
                                    "/env/t.INI", "/xdg", "/home/me");
  EXPECT_EQ(loc.path, "/tmp/p.INI");
  EXPECT_EQ(loc.remainingArgs, std::vector<std::string>{"Hello.java"});
  EXPECT_EQ(ResolveProfileLocation({"--profile=/q.INI"}, "tamso", nullptr, nullptr, "/h").path,
            "/q.INI");
  EXPECT_EQ(ResolveProfileLocation({}, "/usr/bin/tamso", "/env/t.INI", "/xdg", "/h").path,
            "/env/t.INI");
  EXPECT_EQ(ResolveProfileLocation({}, "/opt/x/tamso", nullptr, "/xdg", "/h").path,
            "/xdg/tamso.INI");
  EXPECT_EQ(ResolveProfileLocation({}, "/opt/x/tamso", "", "", "/home/me").path,
            "/home/me/.config/tamso.INI");
  // A relative XDG_CONFIG_HOME is ignored, as the base directory rules say.
  EXPECT_EQ(ResolveProfileLocation({}, "/opt/x/t2", nullptr, "rel", "/h").path,
            "/h/.config/t2.INI");
}

}  // namespace
}  // namespace tamso
