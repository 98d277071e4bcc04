#include "platform/data_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace tamso {
namespace {

using testing::TempDir;

TEST(DataFiles, BareNameIsFoundInSearchOrderAndOnlyAsARegularFile) {
  TempDir t;
  const std::string config = t.path() + "/config", installed = t.path() + "/share",
                    tree = t.path() + "/res", cwd = t.path() + "/cwd", bin1 = t.path() + "/b1",
                    bin2 = t.path() + "/b2";
  DataFileDirs dirs =
      MakeDataFileDirs(config, "/home/unused", installed, tree, cwd, bin1 + "::" + bin2);
  ASSERT_EQ(dirs.dirs,
            (std::vector<std::string>{config + "/tamso", installed, tree, cwd, bin1, bin2}));

  EXPECT_EQ(FindDataFile("Java.skl", dirs), "");
  t.Write("b2/Java.skl", "path");
  EXPECT_EQ(FindDataFile("Java.skl", dirs), bin2 + "/Java.skl");
  t.Write("res/Java.skl", "tree");
  EXPECT_EQ(FindDataFile("Java.skl", dirs), tree + "/Java.skl");
  // A directory of that name earlier in the order does not hide the file.
  std::filesystem::create_directories(config + "/tamso/Java.skl");
  EXPECT_EQ(FindDataFile("Java.skl", dirs), tree + "/Java.skl");
  t.Write("config/tamso/tips.txt", "mine");
  t.Write("share/tips.txt", "shipped");
  EXPECT_EQ(FindDataFile("tips.txt", dirs), config + "/tamso/tips.txt");

  // A path is used as it is, never searched for.
  EXPECT_EQ(FindDataFile(tree + "/Java.skl", dirs), tree + "/Java.skl");
  EXPECT_EQ(FindDataFile(t.path() + "/nowhere/Java.skl", dirs), "");
  EXPECT_EQ(FindDataFile("", dirs), "");
}

TEST(DataFiles, UserFolderFollowsXdgRulesAndSkipsEmptyParts) {
  EXPECT_EQ(UserDataDir("/x/conf", "/home/me"), "/x/conf/tamso");
  EXPECT_EQ(UserDataDir("", "/home/me"), "/home/me/.config/tamso");
  EXPECT_EQ(UserDataDir("relative", "/home/me"), "/home/me/.config/tamso");
  EXPECT_EQ(UserDataDir("", ""), "");
  EXPECT_EQ(MakeDataFileDirs("", "", "", "/tree", "", "").dirs, std::vector<std::string>{"/tree"});
}

}  // namespace
}  // namespace tamso
