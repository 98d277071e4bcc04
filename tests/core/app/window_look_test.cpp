#include "app/window_look.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ini_file.h"
#include "support/temp_dir.h"

namespace tamso {
namespace {

TEST(WindowLook, TabbedByDefaultAndKeptInTheProfile) {
  testing::TempDir dir;
  IniFile profile(dir.File("p.INI"));
  EXPECT_TRUE(ReadTabbedWindows(profile));
  WriteTabbedWindows(profile, false);
  EXPECT_FALSE(ReadTabbedWindows(profile));
  EXPECT_EQ(profile.GetString("Window", "Tabbed", ""), "0");
}

TEST(WindowLook, DialogsStartAtTheDocumentThenTheProjectThenTheLastFolder) {
  testing::TempDir dir;
  const std::string src = dir.File("src"), proj = dir.File("proj"), last = dir.File("last");
  for (const auto& d : {src, proj, last}) std::filesystem::create_directory(d);
  EXPECT_EQ(DialogStartDirectory(src + "/A.java", proj + "/p.jap", last), src);
  EXPECT_EQ(DialogStartDirectory("", proj + "/p.jap", last), proj);
  EXPECT_EQ(DialogStartDirectory("", "", last), last);
  // A folder that has gone is passed over.
  EXPECT_EQ(DialogStartDirectory(dir.File("gone") + "/B.java", "", last), last);
  EXPECT_EQ(DialogStartDirectory("", "", dir.File("gone")), "");
}

}  // namespace
}  // namespace tamso
