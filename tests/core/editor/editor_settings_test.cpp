#include "editor/editor_settings.h"

#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "support/temp_dir.h"

namespace tamso {
namespace {

TEST(EditorSettings, StatusTextShowsSelectionAndCaret) {
  CLineStore s;
  s.SetText("a\nb\nc\nd\n");
  s.SetSelection(3, 0);
  EXPECT_EQ(StatusText(s), "(  3,  0)-(  3,  0) Ln   3, Col   0");
  s.SetText("x\xC3\xA9y\n");  // columns count cells, not bytes
  s.SetSelection(0, 0);
  s.MoveRight(true);
  s.MoveRight(true);
  EXPECT_EQ(StatusText(s), "(  0,  0)-(  0,  2) Ln   0, Col   2");
  EXPECT_EQ(StatusText(s, 1), "(  1,  1)-(  1,  3) Ln   1, Col   3");
}

TEST(EditorSettings, NumbersCountFromOneUnlessTheProfileAsksForZero) {
  testing::TempDir dir;
  IniFile profile(dir.File("p.INI"));
  EXPECT_EQ(ReadNumberBase(profile), 1);
  profile.WriteString("Editor", "NumberFrom", "0");
  EXPECT_EQ(ReadNumberBase(profile), 0);
  profile.WriteString("Editor", "NumberFrom", "7");
  EXPECT_EQ(ReadNumberBase(profile), 1);
}

TEST(EditorSettings, TabWidthAndPointSizeRules) {
  EXPECT_EQ(ClampTabWidth(1), 2);
  EXPECT_EQ(ClampTabWidth(2), 2);
  EXPECT_EQ(ClampTabWidth(30), 30);
  EXPECT_EQ(ClampTabWidth(31), 8);
  EXPECT_EQ(FontSmaller(1), 0);
  EXPECT_EQ(FontSmaller(0), 0);
  EXPECT_EQ(FontBigger(10), 11);
  EXPECT_EQ(FontBigger(200), 200);
}

TEST(EditorSettings, ProfileValuesAndColourSchemes) {
  testing::TempDir dir;
  IniFile profile(dir.File("tamso.INI"));
  EXPECT_EQ(ReadTabWidth(profile), 5);
  EXPECT_EQ(ReadPointSize(profile), 10);
  EXPECT_EQ(ReadGutterCells(profile), 5);
  EXPECT_EQ(ReadEditorColours(profile).reserved, 0xC00000u);  // scheme 2
  profile.WriteInt("Editor", "ColorScheme", 1);
  EXPECT_EQ(ReadEditorColours(profile).background, 0x000000u);
  EXPECT_EQ(ReadEditorColours(profile).normal, 0xFFFFFFu);
  profile.WriteInt("Editor", "ColorScheme", 0);
  profile.WriteInt("Editor", "clrNormal", 0x123456);
  EXPECT_EQ(ReadEditorColours(profile).normal, 0x123456u);
  EXPECT_EQ(ReadEditorColours(profile).comment, 0x0000FFu);
  profile.WriteInt("Editor", "ColorScheme", 7);  // unknown: the default scheme
  EXPECT_EQ(ReadEditorColours(profile).comment, 0x007F00u);
  profile.WriteInt("Editor", "LineNumbers", 0);
  EXPECT_EQ(ReadGutterCells(profile), 0);
  WritePointSize(profile, 14);
  EXPECT_EQ(ReadPointSize(profile), 14);
}

}  // namespace
}  // namespace tamso
