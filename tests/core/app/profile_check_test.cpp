// A settings file of a size no settings file has is named and left alone.

#include "app/profile_check.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/ini_file.h"
#include "support/temp_dir.h"

namespace tamso {
namespace {

using testing::TempDir;

TEST(ProfileSize, AnOversizedProfileIsNamedReadAsDefaultsAndLeftAsItIs) {
  TempDir dir;
  const std::string path = dir.Write("tamso.INI", "[Editor]\nTabChars=4\n");
  EXPECT_EQ(ProfileTooLargeMessage(path), "");
  EXPECT_EQ(ProfileTooLargeMessage(dir.File("missing.INI")), "");
  ASSERT_EQ(::truncate(path.c_str(), 100 << 20), 0);  // sparse: nothing is written
  EXPECT_EQ(ProfileTooLargeMessage(path),
            "The settings file " + path +
                " is 100.0 MB, more than a settings file can be (at most 16.0 MB).\n"
                "Tamso runs with default settings and leaves the file as it is; changes to "
                "settings are lost when it ends.");

  IniFile profile(path);
  profile.SetSizeLimit(kLargestProfileBytes);
  EXPECT_EQ(profile.GetInt("Editor", "TabChars", 8), 8);
  EXPECT_FALSE(profile.WriteInt("Editor", "TabChars", 2));
  EXPECT_EQ(profile.DiskReads(), 0u);
  EXPECT_EQ(std::filesystem::file_size(path), 100u << 20);
}

}  // namespace
}  // namespace tamso
