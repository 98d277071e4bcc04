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

TEST(EditorSettings, GutterFitsTheLargestNumberAndSeparatorsFollowTheirBox) {
  EXPECT_EQ(GutterCellsFor(false, 1000000, 1), 0);
  EXPECT_EQ(GutterCellsFor(true, 0, 1), 5);
  EXPECT_EQ(GutterCellsFor(true, 9999, 1), 5);
  EXPECT_EQ(GutterCellsFor(true, 10000, 1), 6);  // "10000" and a cell of room
  EXPECT_EQ(GutterCellsFor(true, 10000, 0), 5);  // counted from 0 the last is 9999
  EXPECT_EQ(GutterCellsFor(true, 123456, 1), 7);
  EXPECT_EQ(GutterCellsFor(true, 2147483647, 1), 11);  // no overflow at the top

  testing::TempDir dir;
  IniFile profile(dir.File("p.INI"));
  EXPECT_FALSE(ReadSeparatorLines(profile));
  profile.WriteInt("Editor", "Colorize", 1);
  EXPECT_TRUE(ReadSeparatorLines(profile));
  profile.WriteString("Editor", "Colorize", "yes");  // as the settings page reads it: 0
  EXPECT_FALSE(ReadSeparatorLines(profile));
}

TEST(EditorSettings, PrintedColoursReadOnWhitePaper) {
  testing::TempDir dir;
  IniFile profile(dir.File("p.INI"));
  // The default scheme reads on white as it is, but for its grey line numbers.
  const EditorColours light = ReadEditorColours(profile);
  const EditorColours printedLight = PrintColours(light, false);
  EXPECT_EQ(printedLight.background, 0xFFFFFFu);
  EXPECT_EQ(printedLight.normal, light.normal);
  EXPECT_EQ(printedLight.reserved, light.reserved);
  EXPECT_EQ(printedLight.comment, light.comment);
  // The dark scheme: white text, cyan words and light green comments on black.
  profile.WriteInt("Editor", "ColorScheme", 1);
  const EditorColours dark = ReadEditorColours(profile);
  const EditorColours printed = PrintColours(dark, false);
  EXPECT_EQ(printed.background, 0xFFFFFFu);
  for (std::uint32_t ink : {printed.normal, printed.reserved, printed.comment, printed.lineNumbers})
    EXPECT_GE(ContrastOnWhite(ink), 4.5) << std::hex << ink;
  EXPECT_EQ(printed.normal, 0u);
  // Darkened, the words keep their hue: no red, equal green and blue.
  EXPECT_EQ(printed.reserved & 0xFF, 0u);
  EXPECT_EQ((printed.reserved >> 8) & 0xFF, (printed.reserved >> 16) & 0xFF);
  EXPECT_GT((printed.reserved >> 8) & 0xFF, 0u);
  EXPECT_EQ(printed.comment & 0xFF00FF, 0u);
  EXPECT_GT(printed.comment, 0u);
  // Black on white: all ink black.
  const EditorColours mono = PrintColours(dark, true);
  EXPECT_EQ(mono.background, 0xFFFFFFu);
  EXPECT_EQ(mono.normal | mono.reserved | mono.comment | mono.lineNumbers, 0u);
}

}  // namespace
}  // namespace tamso
