#include "options/options_pages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "editor/editor_settings.h"
#include "platform/ini_file.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace tamso::testing {
namespace {

using ::testing::ElementsAre;

class OptionsPagesTest : public ::testing::Test {
 protected:
  std::string Get(const char* section, const char* key) {
    return profile.GetString(section, key, "<none>");
  }
  TempDir dir;
  IniFile profile{dir.File("tamso.INI")};
  FakeHost host;
  int refreshes = 0;
  EditorOptionsPage editor{profile, host, [this] { ++refreshes; }};
};

TEST_F(OptionsPagesTest, FirstRunShowsThePageDefaultsAndOkWritesThemAll) {
  editor.Init();
  EXPECT_EQ(editor.values.tabWidth, 5);
  EXPECT_EQ(editor.Scheme(), ColourScheme::Windows);
  editor.values.tabWidth = 1;  // accepted by the page, stored as 2
  ASSERT_TRUE(editor.Ok());
  EXPECT_EQ(Get("Editor", "TabChars"), "2");
  EXPECT_EQ(profile.GetInt("Editor", "clrReserved", -1), 0xC50000);
  EXPECT_EQ(profile.GetInt("Editor", "clrComment", -1), 0x007F00);
  EXPECT_EQ(profile.GetInt("Editor", "clrBackground", -1), 0x003F7F);
  EXPECT_EQ(profile.GetInt("Editor", "clrNormal", -1), 0);
  EXPECT_EQ(Get("Editor", "Colorize"), "0");
  // The line-number colour starts from "clrHilite" and is saved as "clrLineNo", which
  // the Custom scheme then draws with.
  EXPECT_EQ(profile.GetInt("Editor", "clrLineNo", -1), 0x0000C5);
  EXPECT_EQ(ColoursForScheme(0, profile).lineNumbers, 0x0000C5u);
  EXPECT_EQ(Get("Editor", "ColorScheme"), "<none>");  // OK does not write the scheme
  EXPECT_EQ(refreshes, 1);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(OptionsPagesTest, IndentationSettingsReadCheckedAndWrittenByOk) {
  editor.Init();
  EXPECT_TRUE(editor.values.indentSpaces);
  EXPECT_EQ(editor.values.indentWidth, 4);
  profile.WriteInt("Editor", "IndentSpaces", 0);
  profile.WriteString("Editor", "IndentWidth", "x");  // not a width: the default shows
  editor.Init();
  EXPECT_FALSE(editor.values.indentSpaces);
  EXPECT_EQ(editor.values.indentWidth, 4);
  editor.values.indentSpaces = true;
  editor.values.indentWidth = 40;  // beyond what the editor takes: stored as its limit
  ASSERT_TRUE(editor.Ok());
  EXPECT_EQ(Get("Editor", "IndentSpaces"), "1");
  EXPECT_EQ(Get("Editor", "IndentWidth"), "16");
  EXPECT_EQ(Get("Editor", "TabChars"), "5");  // the tab width keeps its own key
}

TEST_F(OptionsPagesTest, ColoursAndSchemeAreWrittenAtOnceWhileTabWidthWaitsForOk) {
  profile.WriteInt("Editor", "Colorize", 1);
  editor.Init();
  editor.values.tabWidth = 12;
  host.colorAnswers.push_back(0x123456);
  EXPECT_TRUE(editor.ChooseColour(ColourRole::Comment));
  EXPECT_EQ(profile.GetInt("Editor", "clrComment", -1), 0x123456);
  EXPECT_EQ(profile.GetInt("Editor", "clrLineNo", -1), 0x0000C5);
  EXPECT_EQ(refreshes, 1);
  // A cancelled colour dialog still writes the stored values and refreshes.
  host.colorAnswers.push_back(std::nullopt);
  EXPECT_FALSE(editor.ChooseColour(ColourRole::Normal));
  EXPECT_EQ(refreshes, 2);
  EXPECT_EQ(profile.GetInt("Editor", "clrNormal", -1), 0);
  editor.ChooseScheme(ColourScheme::Graystroke);
  EXPECT_EQ(Get("Editor", "ColorScheme"), "3");
  editor.ChooseScheme(ColourScheme::Mainframe);
  EXPECT_EQ(Get("Editor", "ColorScheme"), "1");
  EXPECT_EQ(refreshes, 4);
  // The sheet is then cancelled: what is written stays, the rest was never written.
  EXPECT_EQ(Get("Editor", "TabChars"), "<none>");
  EXPECT_EQ(Get("Editor", "Colorize"), "1");
  EditorOptionsPage again(profile, host, {});
  again.Init();
  EXPECT_EQ(again.values.comment, 0x123456u);
  EXPECT_EQ(again.Scheme(), ColourScheme::Mainframe);
  EXPECT_TRUE(again.values.separationLines);
}

TEST_F(OptionsPagesTest, HostileStoredValuesAreShownAsDefaultsOrTheValueInForce) {
  IniFile& p = profile;
  p.WriteString("Editor", "TabChars", "-7");
  p.WriteString("Editor", "clrReserved", "-1");
  p.WriteString("Editor", "clrComment", "99999999999999999999");
  p.WriteString("Editor", "clrBackground", "pink");
  p.WriteString("Editor", "clrHilite", "0x1000000");
  p.WriteString("Editor", "clrNormal", "0x00ff00");
  p.WriteString("Editor", "Colorize", "yes");
  p.WriteString("Editor", "ColorScheme", "-2147483648");
  editor.Init();
  EXPECT_EQ(editor.values.tabWidth, 2);
  EXPECT_EQ(editor.values.reserved, 0xC50000u);
  EXPECT_EQ(editor.values.comment, 0x007F00u);
  EXPECT_EQ(editor.values.background, 0x003F7Fu);
  EXPECT_EQ(editor.values.lineNumbers, 0x0000C5u);
  EXPECT_EQ(editor.values.normal, 0x00FF00u);
  EXPECT_FALSE(editor.values.separationLines);  // "yes" reads as 0
  EXPECT_EQ(editor.Scheme(), ColourScheme::Windows);
  for (const char* v : {"31", "2147483647", "1e3", ""}) {
    p.WriteString("Editor", "TabChars", v);
    editor.Init();
    EXPECT_GE(editor.values.tabWidth, 1) << v;
    EXPECT_LE(editor.values.tabWidth, 30) << v;
    EXPECT_TRUE(ParseTabWidth(std::to_string(editor.values.tabWidth))) << v;
  }
  // A colour dialog that hands back a stray top byte stores only the colour.
  host.colorAnswers.push_back(0xFF00FF00u);
  editor.ChooseColour(ColourRole::Background);
  EXPECT_EQ(p.GetInt("Editor", "clrBackground", -1), 0x00FF00);
}

TEST_F(OptionsPagesTest, TabWidthTextIsAcceptedOnlyAsAWholeNumberFromOneToThirty) {
  EXPECT_EQ(ParseTabWidth("1"), 1);
  EXPECT_EQ(ParseTabWidth(" 30 "), 30);
  EXPECT_EQ(ParseTabWidth("08"), 8);
  for (const char* bad : {"0", "31", "-4", "", " ", "4x", "4.5", "99999999999", "+4"})
    EXPECT_FALSE(ParseTabWidth(bad)) << bad;
}

TEST_F(OptionsPagesTest, CompilerPageRoundTripsEveryKeyAndWritesNForClearBoxes) {
  CompilerOptionsPage page(profile, host);
  page.Init();
  EXPECT_EQ(page.values.dirs, CompilerDirectories{});
  ASSERT_TRUE(page.Ok());
  for (const CompilerSwitch& s : kCompilerSwitches) EXPECT_EQ(Get("Compiler", s.key), "N");
  EXPECT_EQ(Get("Compiler", "UseDirectory"), "N");
  EXPECT_EQ(Get("Compiler", "UseClassPath"), "N");
  EXPECT_EQ(Get("Compiler", "Directory"), "");

  page.values.dirs = {true, "lib/a.jar:classes", true, " out dir ", ""};
  page.values.switches[0] = page.values.switches[6] = true;
  ASSERT_TRUE(page.Ok());
  EXPECT_EQ(Get("Compiler", "Verbose"), "Y");
  EXPECT_EQ(Get("Compiler", "Optimize"), "Y");
  EXPECT_EQ(Get("Compiler", "Debug"), "N");
  CompilerOptionsPage again(profile, host);
  again.Init();
  EXPECT_EQ(again.values.dirs, page.values.dirs);
  EXPECT_EQ(again.values.switches, page.values.switches);

  // The option switches read as the compiler reads them (anything but "N" is on);
  // the two path switches count only when exactly "Y", as for the compiler.
  profile.WriteString("Compiler", "Debug", "y");
  profile.WriteString("Compiler", "UseDirectory", "y");
  again.Init();
  EXPECT_TRUE(again.values.switches[1]);
  EXPECT_FALSE(again.values.dirs.useDirectory);
}

TEST_F(OptionsPagesTest, EtcPageHandsTheBrowserToTheApplicationAndStoresTheSourcePath) {
  std::string browser = "/usr/bin/old";
  EtcOptionsPage page(
      profile, host, [&] { return browser; }, [&](const std::string& b) { browser = b; });
  profile.WriteString("Java", "SourcePath", "");
  page.Init();
  EXPECT_EQ(page.browserPath, "/usr/bin/old");
  EXPECT_EQ(page.sourcePath, "");  // an empty stored list is kept, not defaulted
  host.openFileAnswers.push_back(std::nullopt);
  EXPECT_FALSE(page.ChooseBrowser());
  EXPECT_EQ(host.fileDialogs.back().initialDir, "/usr/bin");
  EXPECT_EQ(host.fileDialogs.back().filter, "");
  host.openFileAnswers.push_back("/opt/web/browse");
  EXPECT_TRUE(page.ChooseBrowser());
  EXPECT_EQ(browser, "/usr/bin/old");  // only OK hands it over
  page.sourcePath = ".;/src";
  ASSERT_TRUE(page.Ok());
  EXPECT_EQ(browser, "/opt/web/browse");
  EXPECT_EQ(Get("Java", "SourcePath"), ".;/src");
}

TEST_F(OptionsPagesTest, DefaultSourcePathListsTheSourcesOfTheJdkOnPath) {
  // <jdk>/bin/javac reached through a link in another directory, as alternatives do.
  const std::string jdk = dir.File("jdk");
  dir.Write("jdk/bin/javac", "");
  dir.Write("jdk/lib/src.zip", "PK");
  dir.Write("empty/bin/javac", "");
  ::chmod(dir.File("jdk/bin/javac").c_str(), 0755);
  ::chmod(dir.File("empty/bin/javac").c_str(), 0755);
  ::mkdir(dir.File("links").c_str(), 0755);
  ASSERT_EQ(::symlink((jdk + "/bin/javac").c_str(), dir.File("links/javac").c_str()), 0);
  EXPECT_EQ(DefaultSourcePath("", "relative:" + dir.File("links")), ".;" + jdk + "/lib/src.zip");
  // The first javac on PATH decides; one without sources gives "." alone.
  EXPECT_EQ(DefaultSourcePath("", dir.File("empty/bin") + ":" + dir.File("links")), ".");
  EXPECT_EQ(DefaultSourcePath(jdk, "/nonexistent"), ".;" + jdk + "/lib/src.zip");
  EXPECT_EQ(DefaultSourcePath("", ""), ".");
}

TEST_F(OptionsPagesTest, PathEntriesAreAppendedOnceWithOneSeparator) {
  EXPECT_EQ(AppendPathEntry("", "/a", ':'), "/a");
  EXPECT_EQ(AppendPathEntry("/a", "/b.jar", ':'), "/a:/b.jar");
  EXPECT_EQ(AppendPathEntry("/a:", "/b", ':'), "/a:/b");
  EXPECT_EQ(AppendPathEntry("/a:/b", "/b", ':'), "/a:/b");
  EXPECT_EQ(AppendPathEntry(".;/x", "/y/src.zip", ';'), ".;/x;/y/src.zip");
  EXPECT_EQ(AppendPathEntry("/a", "", ':'), "/a");
}

TEST_F(OptionsPagesTest, AProfileThatCannotBeWrittenIsReportedOnceAndOkFails) {
  ::mkdir(dir.File("ro.INI").c_str(), 0755);  // a directory: every write fails
  IniFile blocked(dir.File("ro.INI"));
  EditorOptionsPage page(blocked, host, [this] { ++refreshes; });
  page.Init();
  host.colorAnswers.push_back(0x112233);
  page.ChooseColour(ColourRole::Reserved);
  page.ChooseScheme(ColourScheme::Custom);
  EXPECT_EQ(refreshes, 2);
  EXPECT_THAT(host.MessageTexts(),
              ElementsAre(SettingsNotSavedMessage(dir.File("ro.INI"))));  // once
  EXPECT_FALSE(page.Ok());
  EXPECT_EQ(host.messages.size(), 2u);
  CompilerOptionsPage compiler(blocked, host);
  compiler.Init();
  EXPECT_FALSE(compiler.Ok());
  EXPECT_EQ(host.messages.size(), 3u);
}

}  // namespace
}  // namespace tamso::testing
