#include "help/help_commands.h"

#include <gtest/gtest.h>

#include "core/help/docs_tree.h"
#include "help/help_pages.h"
#include "platform/ini_file.h"

namespace tamso {
namespace {

using testing::FakeHost;
using testing::JavadocTree;
using testing::TempDir;

class RecordingUi : public IHelpUi {
 public:
  bool OpenUrl(const std::string& url) override {
    opened.push_back(url);
    return true;
  }
  int ChooseHit(const std::string& keyword, const std::vector<const DocEntry*>& hits) override {
    asked.push_back(keyword);
    for (const DocEntry* e : hits) offered.push_back(e->QualifiedName());
    return choice;
  }
  std::vector<std::string> opened, asked, offered;
  int choice = -1;
};

struct HelpFixture : ::testing::Test {
  TempDir dir;
  IniFile profile{dir.File("tamso.INI")};
  FakeHost host;
  RecordingUi ui;
  DocsIndexCache cache;
  HelpCommands help{profile, host, ui, cache, "", 17};

  void UseDocs() {
    if (JavadocTree().empty()) GTEST_SKIP() << "no javadoc";
    // Stored with a trailing slash, as a chooser may give it.
    profile.WriteString("Help", "Dir", JavadocTree() + "/");
  }
  std::string Url(const std::string& rel) { return FileUrl(JavadocTree() + "/" + rel); }
};

TEST_F(HelpFixture, MissingDocumentationIsReportedNamingTheSetting) {
  help.OpenApiIndex();
  help.JavaSearch("String");
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].text, HelpCommands::NoDirMessage());
  EXPECT_NE(HelpCommands::NoDirMessage().find("\"Help\"/\"Dir\""), std::string::npos);

  profile.WriteString("Help", "Dir", dir.path());
  help.OpenClassHierarchy();
  ASSERT_EQ(host.messages.size(), 3u);
  EXPECT_EQ(host.messages[2].text, HelpCommands::NoDocsMessage(dir.path()));
  EXPECT_TRUE(ui.opened.empty());

  // The Java language pages and the tool pages have an online home.
  help.OpenLanguageSpec();
  help.OpenManPages();
  EXPECT_EQ(ui.opened, (std::vector<std::string>{
                           "https://docs.oracle.com/javase/specs/jls/se17/html/index.html",
                           "https://docs.oracle.com/en/java/javase/17/docs/specs/man/index.html"}));
}

TEST_F(HelpFixture, PagesOpenAsOneEncodedUrl) {
  UseDocs();
  help.OpenApiIndex();
  help.OpenClassHierarchy();
  ASSERT_EQ(ui.opened.size(), 2u);
  EXPECT_EQ(ui.opened[0], Url("index.html"));
  EXPECT_NE(ui.opened[0].find("/my%20docs/api/index.html"), std::string::npos);
  EXPECT_EQ(ui.opened[1], Url("overview-tree.html"));
  // Installed language pages beside the API folder win over the online ones.
  dir.Write("local/specs/jls/index.html", "jls");
  dir.Write("local/api/index.html", "");
  profile.WriteString("Help", "Dir", dir.File("local/api"));
  help.OpenLanguageSpec();
  EXPECT_EQ(ui.opened.back(), FileUrl(dir.File("local/specs/jls/index.html")));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(HelpFixture, JavaSearchOpensTheHitChoosesAmongSeveralAndFallsBackToTheIndex) {
  UseDocs();
  help.JavaSearch("Widget");
  ASSERT_EQ(ui.opened.size(), 1u);
  EXPECT_EQ(ui.opened[0], Url("com/ex/Widget.html"));

  // Several: the list is offered; cancelling opens nothing, a choice opens it.
  help.JavaSearch("draw");
  EXPECT_EQ(ui.asked, std::vector<std::string>{"draw"});
  EXPECT_EQ(ui.offered.size(), 3u);
  EXPECT_EQ(ui.opened.size(), 1u);
  ui.choice = 2;
  help.JavaSearch("draw");
  EXPECT_EQ(ui.opened.back(), Url("org/other/Gadget.html") + "#draw()");

  // Nothing found: the index, a beep and a note in the status bar.
  help.JavaSearch("Nonesuch");
  EXPECT_EQ(ui.opened.back(), Url("index.html"));
  EXPECT_EQ(host.beeps, std::vector<BeepKind>{BeepKind::Asterisk});
  ASSERT_FALSE(host.statusTexts.empty());
  EXPECT_NE(host.statusTexts.back().find("'Nonesuch'"), std::string::npos);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(host.waitDepth, 0);
}

TEST_F(HelpFixture, TheDialogAsksBeforeKeepingAFolderWithoutDocumentation) {
  host.answers = {Answer::No, Answer::Yes};
  EXPECT_FALSE(help.AcceptDir(dir.path()));
  EXPECT_EQ(profile.GetString("Help", "Dir", "unset"), "unset");
  EXPECT_TRUE(help.AcceptDir("  " + dir.path() + " "));
  EXPECT_EQ(profile.GetString("Help", "Dir", "unset"), dir.path());
  EXPECT_EQ(host.messages.size(), 2u);
  // An empty folder means "no documentation" and is taken without a question.
  EXPECT_TRUE(help.AcceptDir(""));
  EXPECT_EQ(host.messages.size(), 2u);
}

TEST_F(HelpFixture, AFolderThatCannotBeSavedIsReportedNamingTheProfile) {
  profile.SetPath(dir.File("no such folder/tamso.INI"));
  EXPECT_FALSE(help.AcceptDir(""));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "The documentation folder cannot be saved: the settings file\n" +
                                       dir.File("no such folder/tamso.INI") +
                                       "\ncannot be written.");
}

TEST(HelpPages, SearchKeywordTakesTheSelectionOrTheWordAtTheCaret) {
  std::string sixty(60, 'x');
  EXPECT_EQ(SearchKeyword(sixty, "", 0), std::string(39, 'x'));
  // Never half a character: 38 ASCII letters and a two-byte letter make 39.
  std::string wide = std::string(38, 'a') + "\xC3\xA9" + "zz";
  EXPECT_EQ(SearchKeyword(wide, "", 0), std::string(38, 'a') + "\xC3\xA9");
  EXPECT_EQ(SearchKeyword("a\r\nb", "", 0), "a\r\nb");
  const std::string line = "    System.out.println(text);";
  EXPECT_EQ(SearchKeyword("", line, 17), "println");  // inside the word
  EXPECT_EQ(SearchKeyword("", line, 22), "println");  // just after it
  EXPECT_EQ(SearchKeyword("", line, 2), "");
  EXPECT_EQ(SearchKeyword("", line, 999), "");
}

TEST(HelpPages, JdkVersionAndOnlinePagesForOldReleases) {
  TempDir jdk;
  jdk.Write("release", "IMPLEMENTOR=\"x\"\nJAVA_VERSION=\"1.8.0_292\"\n");
  EXPECT_EQ(JdkFeatureVersion(jdk.path()), 8);
  jdk.Write("release", "JAVA_VERSION=\"17.0.15\"\n");
  EXPECT_EQ(JdkFeatureVersion(jdk.path()), 17);
  jdk.Write("release", "JAVA_VERSION=\"junk");
  EXPECT_EQ(JdkFeatureVersion(jdk.path()), 0);
  EXPECT_EQ(ManPagesPage("", 8),
            "https://docs.oracle.com/javase/8/docs/technotes/tools/unix/index.html");
  // A JDK found on PATH through a link to its bin folder.
  jdk.Write("home/bin/javac", "");
  jdk.Write("home/docs/api/index.html", "");
  jdk.Write("home/docs/api/element-list", "java.lang\n");
  std::filesystem::create_directories(jdk.File("path"));
  std::filesystem::create_symlink(jdk.File("home/bin/javac"), jdk.File("path/javac"));
  std::string home = JdkHomeOnPath("/nonexistent::" + jdk.File("path"));
  EXPECT_EQ(home, paths::Canonical(jdk.File("home")));
  EXPECT_EQ(DefaultHelpDir(home), home + "/docs/api");
}

TEST(HelpBrowser, TheUrlIsOneArgumentAndAMissingBrowserIsReported) {
  EXPECT_EQ(BrowserArguments("", "file:///a b"),
            (std::vector<std::string>{"xdg-open", "file:///a b"}));
  EXPECT_EQ(BrowserArguments("x", "u"), (std::vector<std::string>{"xdg-open", "u"}));
  TempDir dir;
  // The setting is read as "Launch Web browser..." reads it: a program with blanks in
  // its path whole, any other text as a command line.
  const std::string browser = dir.Write("my browser/run", "#!/bin/sh\nexit 0\n");
  std::filesystem::permissions(browser, std::filesystem::perms::owner_all);
  EXPECT_EQ(BrowserArguments(browser, "u"), (std::vector<std::string>{browser, "u"}));
  EXPECT_EQ(BrowserArguments("no-such-browser --new-window", "file:///a b"),
            (std::vector<std::string>{"no-such-browser", "--new-window", "file:///a b"}));
  EXPECT_EQ(BrowserArguments("\"" + browser + "\" -x", "u"),
            (std::vector<std::string>{browser, "-x", "u"}));
  IniFile profile(dir.File("tamso.INI"));
  profile.WriteString("Browser", "Path", "/nonexistent/browser");
  FakeHost host;
  EXPECT_FALSE(OpenInBrowser(profile, host, "file:///x"));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].caption, "VOZ");
  EXPECT_EQ(host.messages[0].icon, MsgIcon::Stop);
}

}  // namespace
}  // namespace tamso
