#include "app/main_frame.h"

#include <gtest/gtest.h>

#include <map>

#include "app/command_ids.h"
#include "app/doc_templates.h"
#include "app/recent_list.h"
#include "support/fake_host.h"
#include "test_profile.h"

namespace tamso {
namespace {

class FakeFrame : public IFrameWindow {
 public:
  bool IsBarVisible(int id) const override {
    auto it = bars.find(id);
    return it != bars.end() && it->second;
  }
  void ShowBar(int id, bool show) override { bars[id] = show; }
  void ActivateNextChild() override { calls.push_back("next"); }
  void ClearProjectTree() override { calls.push_back("clear"); }
  void CloseMainWindow() override { calls.push_back("close"); }
  std::map<int, bool> bars;
  std::vector<std::string> calls;
};

class FrameTest : public ::testing::Test {
 protected:
  testing::TempProfile profile;
  testing::FakeHost host;
  FakeFrame window;

  std::vector<std::string> Items(const MenuItem& popup) {
    std::vector<std::string> v;
    for (const auto& i : popup.items)
      v.push_back(i.kind == MenuItem::Kind::Separator ? "-" : i.text + "|" + std::to_string(i.id));
    return v;
  }
};

TEST_F(FrameTest, ToolsMenuFollowsTheProfileWithoutGaps) {
  CMainFrame frame(profile.ini(), host, window);
  MenuBar bar = JavaMenuBar();
  frame.OnInitMenu(bar);
  EXPECT_EQ(Items(*bar.FindPopup("Tools")),
            (std::vector<std::string>{"Find in Files...|32838", "-", "Customize...|32853", "-"}));

  profile.Write("[Tools]\nTool0=Format source\nTool1=\nTool2=Count lines\n");
  frame.OnInitMenu(bar);
  EXPECT_EQ(Items(*bar.FindPopup("Tools")),
            (std::vector<std::string>{"Find in Files...|32838", "-", "Customize...|32853", "-",
                                      "Format source|32864", "Count lines|32855"}));

  // The next entry shows the section as it is now, old items gone.
  profile.Write("[Tools]\nTool9=Last slot\n");
  frame.OnInitMenu(bar);
  EXPECT_EQ(Items(*bar.FindPopup("Tools")).back(), "Last slot|32863");
  EXPECT_EQ(bar.FindPopup("Tools")->items.size(), 5u);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(FrameTest, BarsComeBackAsTheUserLeftThem) {
  {
    CMainFrame frame(profile.ini(), host, window);
    window.bars = {{cmd::kViewToolbar, true}, {cmd::kViewStatusBar, false}};
    frame.OnCommand(cmd::kViewStatusBar);  // shown
    frame.OnCommand(cmd::kViewToolbar);    // hidden
    EXPECT_TRUE(window.bars[cmd::kViewStatusBar]);
    EXPECT_FALSE(window.bars[cmd::kViewToolbar]);
  }
  FakeFrame next;
  next.bars = {{cmd::kViewToolbar, true}, {cmd::kViewStatusBar, false}, {cmd::kOutputBar, true}};
  CMainFrame frame(profile.ini(), host, next);
  frame.RestoreBars();
  EXPECT_TRUE(next.bars[cmd::kViewStatusBar]);
  EXPECT_FALSE(next.bars[cmd::kViewToolbar]);
  EXPECT_TRUE(next.bars[cmd::kOutputBar]);  // never toggled: as it starts
  EXPECT_EQ(profile.ini().GetString("Bars", "OutputBar", "unset"), "unset");
}

TEST_F(FrameTest, HelpGetsWhatsCoolOnce) {
  CMainFrame frame(profile.ini(), host, window);
  MenuBar bar = HtmlMenuBar();
  EXPECT_TRUE(frame.OnInitMenu(bar));
  EXPECT_FALSE(frame.OnInitMenu(bar));
  EXPECT_EQ(Items(*bar.FindPopup("&Help")),
            (std::vector<std::string>{"What's Cool...|119", "|0", "&About Tamso..|57664"}));
}

TEST_F(FrameTest, BarWithoutHelpOrToolsPopup) {
  CMainFrame frame(profile.ini(), host, window);
  MenuBar bar{1, {MenuItem::Popup("&File", {MenuItem::Command("E&xit", cmd::kAppExit)})}};
  frame.OnInitMenu(bar);
  ASSERT_EQ(bar.popups.size(), 2u);
  EXPECT_EQ(bar.popups[1].text, "&Help");
  EXPECT_EQ(Items(bar.popups[1]), (std::vector<std::string>{"What's Cool...|119"}));
  EXPECT_EQ(host.MessageTexts(), (std::vector<std::string>{"No Tools !"}));
  frame.OnInitMenu(bar);  // on every entry
  EXPECT_EQ(bar.popups.size(), 2u);
  EXPECT_EQ(host.messages.size(), 2u);
}

TEST_F(FrameTest, LineNumbersToggleWritesAtOnce) {
  CMainFrame frame(profile.ini(), host, window);
  EXPECT_TRUE(frame.LineNumbers());
  EXPECT_TRUE(frame.OnUpdateCommand(cmd::kLineNumbers).checked);
  frame.OnCommand(cmd::kLineNumbers);
  EXPECT_FALSE(frame.OnUpdateCommand(cmd::kLineNumbers).checked);
  EXPECT_EQ(profile.ini().GetInt("Editor", "LineNumbers", -1), 0);
  CMainFrame restarted(profile.ini(), host, window);
  EXPECT_FALSE(restarted.LineNumbers());
}

TEST_F(FrameTest, BarTogglesExitAndPreviousWindow) {
  CMainFrame frame(profile.ini(), host, window);
  window.bars[cmd::kOutputBar] = true;
  EXPECT_TRUE(frame.OnUpdateCommand(cmd::kOutputBar).checked);
  frame.OnCommand(cmd::kOutputBar);
  EXPECT_FALSE(window.IsBarVisible(cmd::kOutputBar));
  frame.OnCommand(cmd::kViewStatusBar);
  EXPECT_TRUE(window.IsBarVisible(cmd::kViewStatusBar));
  frame.OnCommand(cmd::kPreviousSourceWindow);
  frame.OnCommand(cmd::kAppExit);
  // Exit only asks the window to close: emptying the tree before the save prompts
  // would lose it when the user cancels.
  EXPECT_EQ(window.calls, (std::vector<std::string>{"next", "close"}));
}

TEST_F(FrameTest, HtmlPageText) {
  CMainFrame frame(profile.ini(), host, window);
  EXPECT_EQ(frame.HtmlPage(), "file:///?");
  frame.SetHtmlPage("C:\\web\\index.html");
  EXPECT_EQ(frame.HtmlPage(), "file:///C:/web/index.html");
}

TEST(DocTemplates, OrderAndExtensionRule) {
  const auto& t = DocumentTemplates();
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].Field(DocField::FileNewName), "HTML");
  EXPECT_EQ(t[1].Field(DocField::FileNewName), "Java");
  EXPECT_EQ(t[2].Field(DocField::FileNewName), "Perl");
  EXPECT_EQ(t[2].Field(DocField::RegFileTypeName), "Perl Document");
  auto kind = [&](const char* p) { return t[MatchTemplate(p)].kind; };
  EXPECT_EQ(kind("/src/Hello.java"), ViewKind::Java);
  EXPECT_EQ(kind("/src/HELLO.JAVA"), ViewKind::Java);
  EXPECT_EQ(kind("/web/index.html"), ViewKind::Html);
  EXPECT_EQ(kind("/web/index.htm"), ViewKind::Html);
  EXPECT_EQ(kind("/perl/Mod.pm"), ViewKind::Html);
  EXPECT_EQ(kind("notes.txt"), ViewKind::Html);
  EXPECT_EQ(kind("Makefile"), ViewKind::Html);
  EXPECT_EQ(kind("/a.java.d/script.pl"), ViewKind::Perl);
  EXPECT_EQ(kind("/a.java.d/README"), ViewKind::Html);
}

TEST(DocTemplates, FilterMenusAndTexts) {
  // Java first: a first filter of HTML would hide every .java file.
  EXPECT_EQ(
      OpenFileFilter(),
      "Java Files (*.java)|*.java|"
      "All source files (*.html;*.htm;*.java;*.pl;*.pm)|*.html;*.htm;*.java;*.pl;*.pm|"
      "HTML Files (*.html;*.htm)|*.html;*.htm|PERL Files (*.pl;*.pm)|*.pl;*.pm|All Files (*)|*");
  EXPECT_EQ(DocumentTemplates()[DefaultNewTemplate()].kind, ViewKind::Java);
  EXPECT_EQ(MenuBarForKind(ViewKind::Java, 128), 129);
  EXPECT_EQ(MenuBarForKind(ViewKind::Html, 129), 130);
  EXPECT_EQ(MenuBarForKind(ViewKind::Perl, 128), 128);
  EXPECT_EQ(MenuBarForKind(ViewKind::Perl, 129), 129);
  EXPECT_EQ(WindowTitle("Hello.java", true), "Hello.java *");
  EXPECT_EQ(WindowTitle("Hello.java", false), "Hello.java");
}

TEST(RecentList, KeepsFourMostRecentFirstWithoutDuplicates) {
  RecentList list(61446, "Recent Project List", "File%d", 4, 30);
  for (auto p : {"/a.jap", "/b.jap", "/c.jap", "/a.jap", "/d.jap", "/e.jap"}) list.Add(p);
  EXPECT_EQ(list.Paths(), (std::vector<std::string>{"/e.jap", "/d.jap", "/a.jap", "/c.jap"}));
  auto menu = list.MenuEntries();
  ASSERT_EQ(menu.size(), 4u);
  EXPECT_EQ(menu[0].text, "&1 /e.jap");
  EXPECT_EQ(menu[3].id, 61449);
}

TEST(RecentList, WriteRemovesStaleSlotsAndReadsBack) {
  testing::TempProfile profile;
  profile.Write("[Recent File List]\nFile1=/x\nFile2=/y\nFile3=/z\n");
  RecentList list(57616, "Recent File List", "File%d", 4, 30);
  list.ReadList(profile.ini());
  EXPECT_EQ(list.Count(), 3);
  list.Remove(0);
  list.Remove(0);
  EXPECT_TRUE(list.WriteList(profile.ini()));
  RecentList again(57616, "Recent File List", "File%d", 4, 30);
  again.ReadList(profile.ini());
  EXPECT_EQ(again.Paths(), (std::vector<std::string>{"/z"}));
  EXPECT_EQ(profile.ini().GetString("Recent File List", "File2", "gone"), "gone");
}

TEST(RecentList, LongPathsShortenButKeepTheFileName) {
  RecentList list(57616, "Recent File List", "File%d", 4, 30);
  EXPECT_EQ(list.DisplayName("/home/me/A.java"), "/home/me/A.java");
  std::string shown = list.DisplayName("/home/someone/projects/tamso/examples/hello/Hello.java");
  EXPECT_LE(shown.size(), 30u);
  EXPECT_EQ(shown, "/home/.../hello/Hello.java");
  std::string longName(40, 'x');
  EXPECT_EQ(list.DisplayName("/d/" + longName), longName);
  list.Add("/tmp/R&D.java");
  EXPECT_EQ(list.MenuEntries()[0].text, "&1 /tmp/R&&D.java");
}

}  // namespace
}  // namespace tamso
