#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "browser/source_archive.h"
#include "browser/source_path.h"
#include "core/browser/test_zip.h"
#include "platform/ini_file.h"
#include "support/temp_dir.h"

namespace tamso {
namespace {

using testing::TempDir;
using testing::WriteZip;

// Runs the test body in a directory and comes back.
class InDirectory {
 public:
  explicit InDirectory(const std::string& dir) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~InDirectory() { std::filesystem::current_path(old_); }

 private:
  std::filesystem::path old_;
};

TEST(SourceRelativeName, AddsJavaToAnExtensionlessNameAndRefusesToLeaveTheRoot) {
  EXPECT_EQ(SourceRelativeName("java/awt/Graphics"), "java/awt/Graphics.java");
  EXPECT_EQ(SourceRelativeName("java/awt/*"), "java/awt/*.java");
  EXPECT_EQ(SourceRelativeName("Demo/java"), "Demo/java.java");  // the root of Demo.java
  EXPECT_EQ(SourceRelativeName("notes.txt"), "notes.txt");
  EXPECT_EQ(SourceRelativeName("a//b"), "a/b.java");
  for (const char* bad : {"", "/", "/etc/passwd", "../secret", "java/../../x", "./A", "a/."})
    EXPECT_EQ(SourceRelativeName(bad), std::nullopt) << bad;
}

TEST(FindSourceFile, TakesTheFirstHitInListOrderAndPassesOverBadEntries) {
  TempDir dir;
  const std::string a = dir.path() + "/a", b = dir.path() + "/b";
  dir.Write("b/java/awt/Graphics.java", "b");
  dir.Write("a/java/awt/Graphics.java", "a");
  dir.Write("b/java/awt/Color.java", "b");
  std::filesystem::create_directories(dir.File("a/java/awt/Color.java"));  // a folder, not a file
  dir.Write("broken.zip", "PK\x03\x04 not really a zip");
  const std::string list = dir.File("missing") + ";" + dir.File("broken.zip") + "; " + a + " ;" + b;

  EXPECT_EQ(FindSourceFile(list, "java/awt/Graphics").path, a + "/java/awt/Graphics.java");
  EXPECT_EQ(FindSourceFile(list, "java/awt/Color").path, b + "/java/awt/Color.java");
  EXPECT_FALSE(FindSourceFile(list, "java/awt/Point").Found());
  EXPECT_FALSE(FindSourceFile("", "java/awt/Graphics").Found());
  // A wildcard is a file name like any other, and no such file exists.
  EXPECT_FALSE(FindSourceFile(list, "java/awt/*").Found());
}

TEST(FindSourceFile, NeverLeavesAnEntryThroughDotsOrLinksAndSurvivesLinkLoops) {
  TempDir dir;
  dir.Write("secret.java", "x");
  dir.Write("outside/Target.java", "x");
  const std::string root = dir.File("src");
  std::filesystem::create_directories(root + "/p");
  std::filesystem::create_symlink(dir.File("outside"), root + "/out");
  std::filesystem::create_symlink(root + "/loop2", root + "/loop1");
  std::filesystem::create_symlink(root + "/loop1", root + "/loop2");
  std::filesystem::create_symlink(root + "/loop1", root + "/p/Loop.java");

  EXPECT_FALSE(FindSourceFile(root, "../secret").Found());
  EXPECT_FALSE(FindSourceFile(root, "p/../../secret").Found());
  EXPECT_FALSE(FindSourceFile(root, "out/Target").Found());
  EXPECT_FALSE(FindSourceFile(root, "p/Loop").Found());
  EXPECT_FALSE(FindSourceFile(root, "loop1/X").Found());

  // A link inside the entry that stays inside it is followed.
  dir.Write("src/real/Here.java", "x");
  std::filesystem::create_symlink(root + "/real", root + "/alias");
  EXPECT_EQ(FindSourceFile(root, "alias/Here").path, root + "/alias/Here.java");
}

TEST(FindSourceFile, TheDefaultSearchesTheCurrentDirectoryFirstThenTheJdkSources) {
  TempDir dir;
  dir.Write("work/Demo.java", "class Demo {}");
  dir.Write("jdk/bin/javac", "");
  ::chmod(dir.File("jdk/bin/javac").c_str(), 0755);
  std::filesystem::create_directories(dir.File("jdk/lib"));
  ASSERT_TRUE(WriteZip(dir.File("jdk/lib/src.zip"),
                       {{"java.base/java/lang/String.java", "final class String {}"}}));

  const char* oldHome = std::getenv("JAVA_HOME");
  const std::string savedHome = oldHome ? oldHome : "";
  ::setenv("JAVA_HOME", dir.File("jdk").c_str(), 1);
  EXPECT_EQ(JdkSourceArchive(), dir.File("jdk/lib/src.zip"));
  IniFile profile(dir.File("no-such.INI"));
  EXPECT_EQ(ReadSourcePath(profile), ".;" + dir.File("jdk/lib/src.zip"));

  // Without JAVA_HOME, the JDK that javac on PATH belongs to, reached through a link.
  ::unsetenv("JAVA_HOME");
  const char* oldPath = std::getenv("PATH");
  const std::string savedPath = oldPath ? oldPath : "";
  std::filesystem::create_directories(dir.File("usr/bin"));
  std::filesystem::create_symlink(dir.File("jdk/bin/javac"), dir.File("usr/bin/javac"));
  ::setenv("PATH", (dir.File("none") + ":" + dir.File("usr/bin")).c_str(), 1);
  EXPECT_EQ(JdkSourceArchive(), dir.File("jdk/lib/src.zip"));
  std::filesystem::remove(dir.File("jdk/lib/src.zip"));
  EXPECT_EQ(DefaultSourcePath(), ".");
  ::setenv("PATH", savedPath.c_str(), 1);
  if (oldHome) ::setenv("JAVA_HOME", savedHome.c_str(), 1);

  InDirectory in(dir.File("work"));
  const SourceHit hit = FindSourceFile(".", "Demo");
  EXPECT_EQ(hit.path, dir.File("work/Demo.java"));
  EXPECT_EQ(hit.Title(), dir.File("work/Demo.java"));
}

TEST(SourceArchive, FindsNamesAtTheTopAndUnderAModuleFolder) {
  TempDir dir;
  const std::string zip = dir.File("src.zip");
  ASSERT_TRUE(WriteZip(zip, {{"Top.java", "top"},
                             {"java.base/", ""},
                             {"java.base/java/lang/String.java", "string"},
                             {"java.desktop/java/awt/Graphics.java", "graphics"},
                             {"../java/util/List.java", "escapes"},
                             {"other/java/util/List.java", "list"}}));
  std::string error;
  auto archive = SourceArchive::Open(zip, &error);
  ASSERT_TRUE(archive) << error;
  EXPECT_EQ(archive->Find("Top.java"), "Top.java");
  EXPECT_EQ(archive->Find("java/lang/String.java"), "java.base/java/lang/String.java");
  EXPECT_EQ(archive->Find("java/awt/Graphics.java"), "java.desktop/java/awt/Graphics.java");
  EXPECT_EQ(archive->Find("java/util/List.java"), "other/java/util/List.java");
  EXPECT_EQ(archive->Find("java/lang/Object.java"), std::nullopt);
  EXPECT_EQ(archive->Find("java.base"), std::nullopt);

  std::string bytes;
  ASSERT_TRUE(archive->Read("java.base/java/lang/String.java", 1 << 20, bytes, &error)) << error;
  EXPECT_EQ(bytes, "string");
  EXPECT_FALSE(archive->Read("java.base/java/lang/String.java", 5, bytes, &error));
  EXPECT_EQ(error,
            "java.base/java/lang/String.java is too large to open (6 bytes; at most 5 bytes).");
  EXPECT_EQ(bytes, "string");  // a refused read leaves the output alone

  const SourceHit hit = FindSourceFile(zip, "java/lang/String");
  EXPECT_EQ(hit.path, zip);
  EXPECT_EQ(hit.entry, "java.base/java/lang/String.java");
  EXPECT_EQ(hit.Title(), "src.zip!/java.base/java/lang/String.java");
}

TEST(SourceArchive, DamagedTruncatedOrOddArchivesFailWithASentence) {
  TempDir dir;
  const std::string good = dir.File("good.zip");
  const std::string body(4000, 'x');
  ASSERT_TRUE(WriteZip(good, {{"A.java", body}}, /*store=*/true));
  std::string bytes = testing::ReadFile(good);
  std::string error;

  // Cut short: the central directory is gone.
  EXPECT_FALSE(SourceArchive::OpenBytes(bytes.substr(0, bytes.size() / 2), &error));
  EXPECT_NE(error.find("Cannot read the archive"), std::string::npos) << error;
  EXPECT_FALSE(SourceArchive::Open(dir.Write("cut.zip", bytes.substr(0, 100)), &error));
  EXPECT_NE(error.find("cut.zip"), std::string::npos) << error;

  // A damaged entry opens but does not read.
  std::string damaged = bytes;
  damaged[damaged.find("xxxx") + 10] = 'y';
  auto archive = SourceArchive::OpenBytes(damaged, &error);
  ASSERT_TRUE(archive) << error;
  std::string out;
  EXPECT_FALSE(archive->Read("A.java", 1 << 20, out, &error));
  EXPECT_NE(error.find("A.java"), std::string::npos) << error;

  // A pipe named like an archive is refused at once, without blocking.
  const std::string fifo = dir.File("pipe.zip");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(SourceArchive::Open(fifo, &error));
  EXPECT_FALSE(FindSourceFile(fifo, "A").Found());
  EXPECT_FALSE(SourceArchive::Open(dir.File("none.zip"), &error));
}

TEST(SourceArchive, IsIndexedOncePerRunUntilTheFileChanges) {
  TempDir dir;
  const std::string zip = dir.File("src.zip");
  ASSERT_TRUE(WriteZip(zip, {{"m/p/A.java", "a"}}));
  std::string error;
  auto first = CachedSourceArchive(zip, &error);
  ASSERT_TRUE(first) << error;
  EXPECT_EQ(CachedSourceArchive(zip, &error), first);
  // Replaced by another archive: indexed afresh.
  ASSERT_TRUE(WriteZip(zip, {{"m/p/A.java", "a"}, {"m/p/B.java", "b"}}));
  auto second = CachedSourceArchive(zip, &error);
  ASSERT_TRUE(second) << error;
  EXPECT_NE(second, first);
  EXPECT_EQ(second->Find("p/B.java"), "m/p/B.java");

  // Asked without waiting, a new file is being indexed and says so; once built it is
  // given at once, and the archive named in a search that stopped at it.
  const std::string other = dir.File("other.zip");
  ASSERT_TRUE(WriteZip(other, {{"m/p/C.java", "c"}}));
  bool indexing = false;
  EXPECT_FALSE(SourceArchiveNow(other, &error, &indexing));
  EXPECT_TRUE(indexing);
  ASSERT_TRUE(CachedSourceArchive(other, &error)) << error;
  EXPECT_TRUE(SourceArchiveNow(other, &error, &indexing));
  EXPECT_FALSE(indexing);
  ASSERT_TRUE(WriteZip(other, {{"m/p/Dee.java", "d"}}));
  const SourceHit stopped = FindSourceFile(other, "p/Dee", false);
  EXPECT_TRUE(stopped.indexing);
  EXPECT_FALSE(stopped.Found());
  EXPECT_EQ(stopped.path, other);
  ASSERT_TRUE(CachedSourceArchive(other, &error)) << error;
  EXPECT_EQ(FindSourceFile(other, "p/Dee", false).entry, "m/p/Dee.java");
}

}  // namespace
}  // namespace tamso
