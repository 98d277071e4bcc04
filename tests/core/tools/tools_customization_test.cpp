#include <gtest/gtest.h>

#include "../../support/fake_host.h"
#include "../app/test_profile.h"
#include "tools/tools_customization.h"

namespace tamso {
namespace {

TEST(ToolsCustomization, EditingTheListAsTheDialogDoes) {
  testing::TempProfile p;
  testing::FakeHost host;
  p.Write("[Tools]\nTool0=Grep\nTool4=Fmt\n[Tool:Grep]\nCommand=grep\nArgs=-n\n");
  ToolsCustomization dlg(p.ini(), host);
  EXPECT_EQ(dlg.List(), (std::vector<std::string>{"Grep", "Fmt"}));
  EXPECT_EQ(dlg.CurrentSlot(), -1);

  // Selecting shows the tool; editing its menu text renames the entry at once.
  dlg.Select(dlg.Fields(), 0);
  EXPECT_EQ(dlg.Fields().command, "grep");
  ToolDefinition c = dlg.Fields();
  c.menuText = "Grep all";
  c.redirect = true;
  dlg.MenuTextChanged(c);
  EXPECT_EQ(dlg.List()[0], "Grep all");
  // A new selection saves the shown tool under its new name and the compacted list.
  dlg.Select(c, 1);
  EXPECT_EQ(p.ini().GetString("Tools", "Tool0", ""), "Grep all");
  EXPECT_EQ(p.ini().GetString("Tools", "Tool1", ""), "Fmt");
  EXPECT_EQ(p.ini().GetString("Tool:Grep all", "Redirect", ""), "1");
  EXPECT_EQ(p.ini().GetString("Tool:Grep all", "Command", ""), "grep");
  EXPECT_EQ(p.ini().GetString("Tool:Grep", "Command", ""), "grep");  // the old one stays

  // Down moves the shown tool and its slot; at the end it beeps.
  dlg.MoveUp(dlg.Fields());
  EXPECT_EQ(dlg.List(), (std::vector<std::string>{"Fmt", "Grep all"}));
  EXPECT_EQ(dlg.CurrentSlot(), 0);
  dlg.MoveUp(dlg.Fields());
  EXPECT_EQ(host.beeps.size(), 1u);

  // Add saves the tool shown and shows the new "Untitled" entry, so what is typed
  // next edits that one and no other; up to ten, the eleventh is refused.
  ToolDefinition shown = dlg.Fields();
  shown.args = "-v";
  dlg.Add(shown);
  EXPECT_EQ(p.ini().GetString("Tool:Fmt", "Args", ""), "-v");
  EXPECT_EQ(dlg.List(), (std::vector<std::string>{"Fmt", "Grep all", kUntitledTool}));
  EXPECT_EQ(dlg.CurrentSlot(), 2);
  EXPECT_EQ(dlg.Fields().menuText, kUntitledTool);
  EXPECT_EQ(dlg.Fields().command, "");
  ToolDefinition typed = dlg.Fields();
  typed.menuText = "Lint";
  typed.command = "lint";
  dlg.MenuTextChanged(typed);
  EXPECT_EQ(dlg.List(), (std::vector<std::string>{"Fmt", "Grep all", "Lint"}));
  for (int i = 0; i < 7; ++i) dlg.Add(i == 0 ? typed : dlg.Fields());
  EXPECT_EQ(p.ini().GetString("Tool:Lint", "Command", ""), "lint");
  EXPECT_EQ(dlg.List().size(), 10u);
  EXPECT_EQ(dlg.List().back(), kUntitledTool);
  EXPECT_EQ(dlg.CurrentSlot(), 9);
  EXPECT_TRUE(host.messages.empty());
  const auto before = dlg.List();
  dlg.Add(dlg.Fields());
  EXPECT_EQ(dlg.List(), before);
  EXPECT_EQ(dlg.CurrentSlot(), 9);
  EXPECT_EQ(host.MessageTexts(), (std::vector<std::string>{kNoMoreRoom}));
  EXPECT_EQ(p.ini().GetString("Tools", "Tool9", ""), kUntitledTool);

  // Remove deletes the entry and shows nothing; nothing is then written for "no tool".
  dlg.Remove(0);
  EXPECT_EQ(dlg.List().front(), "Grep all");
  EXPECT_EQ(dlg.CurrentSlot(), -1);
  EXPECT_EQ(dlg.Fields().menuText, "");
  dlg.Done(dlg.Fields());
  EXPECT_EQ(p.ini().GetString("Tools", "Tool9", "none"), "none");
  for (const auto& s : p.ini().Sections()) EXPECT_NE(s, "Tool:");
}

}  // namespace
}  // namespace tamso
