// A folder scan on trees a project should never walk whole: a long one shows its
// count and can be cancelled, links that loop end, and the file system's root is
// refused.

#include <unistd.h>

#include "project/folder_scan.h"
#include "project/project.h"
#include "project_fixture.h"

namespace tamso::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FolderScanBoundsTest : public ProjectTest {
 protected:
  // dir/tree/pN/F.java for N in 0..folders-1.
  void MakeTree(int folders) {
    for (int i = 0; i < folders; ++i)
      Write("tree/p" + std::to_string(i) + "/F" + std::to_string(i) + ".java", "class F {}\n");
  }
};

TEST_F(FolderScanBoundsTest, AddFolderShowsTheCountAndCancelAddsNothing) {
  MakeTree(6);
  OpenEmpty();
  host.cancelProgressAfter = 3;  // Cancel while the fourth folder is counted
  EXPECT_EQ(project->AddFolder(Path("tree")), 0u);
  EXPECT_THAT(host.progressTitles, ElementsAre("Looking for files in " + Path("tree")));
  EXPECT_THAT(host.progressTexts,
              ElementsAre("0 files found in 1 folder", "1 file found in 2 folders",
                          "2 files found in 3 folders", "3 files found in 4 folders"));
  EXPECT_EQ(host.openProgress, 0);  // the window went with the scan
  EXPECT_EQ(project->Members().Size(), 0u);
  EXPECT_EQ(host.statusTexts.back(), "Add Folder cancelled: no file was added");
  EXPECT_THAT(host.messages, IsEmpty());

  host.cancelProgressAfter = -1;
  EXPECT_EQ(project->AddFolder(Path("tree")), 6u);
  EXPECT_EQ(host.progressTexts.back(), "6 files found in 7 folders");
}

TEST_F(FolderScanBoundsTest, LoopingLinksAndTheRootEndTheWalk) {
  MakeTree(2);
  // Links that point back up, at each other and at themselves.
  ASSERT_EQ(::symlink("..", Path("tree/p0/up").c_str()), 0);
  ASSERT_EQ(::symlink(Path("tree/b").c_str(), Path("tree/a").c_str()), 0);
  ASSERT_EQ(::symlink(Path("tree/a").c_str(), Path("tree/b").c_str()), 0);
  ASSERT_EQ(::symlink("self", Path("tree/p1/self").c_str()), 0);
  // A file reached through a link is taken where the link names it.
  ASSERT_EQ(::symlink(Path("tree/p1/F1.java").c_str(), Path("tree/Alias.java").c_str()), 0);
  std::size_t calls = 0;
  FolderScan scan = ScanProjectFolder(Path("tree"), {}, kFolderScanLimit,
                                      [&calls](std::size_t, std::size_t) { return ++calls < 100; });
  EXPECT_FALSE(scan.cancelled);
  EXPECT_FALSE(scan.truncated);
  EXPECT_EQ(calls, 3u);  // tree, p0 and p1, each once
  EXPECT_THAT(scan.files, ElementsAre(Path("tree/Alias.java"), Path("tree/p0/F0.java"),
                                      Path("tree/p1/F1.java")));

  // The root is not walked, by Add Folder either.
  scan = ScanProjectFolder("/", {}, kFolderScanLimit, [](std::size_t, std::size_t) {
    ADD_FAILURE() << "the root was walked";
    return false;
  });
  EXPECT_EQ(scan.error, "The root of the file system is not scanned for project files.");
  EXPECT_THAT(scan.files, IsEmpty());
  OpenEmpty();
  ASSERT_EQ(::symlink("/", Path("rootlink").c_str()), 0);
  EXPECT_EQ(project->AddFolder(Path("rootlink")), 0u);
  EXPECT_THAT(host.MessageTexts(),
              ElementsAre("The root of the file system is not scanned for project files."));
}

}  // namespace
}  // namespace tamso::testing
