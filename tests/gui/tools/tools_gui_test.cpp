#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "../app/gui_fixture.h"
#include "app/bars.h"
#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/source_document.h"
#include "jobs/output_bar.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "platform/paths.h"
#include "project/project.h"
#include "tools/tool_commands.h"
#include "tools/tool_config.h"
#include "tools/tools_dialogs.h"

namespace tamso::gui::testing {
namespace {

// Every control a screen reader can land on says what it is.
void ExpectNamedControls(QWidget& dialog) {
  for (QWidget* w : dialog.findChildren<QWidget*>()) {
    const bool control = qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w) ||
                         qobject_cast<QListWidget*>(w) || qobject_cast<QComboBox*>(w);
    if (control) {
      EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
    }
  }
}

class ToolsGui : public ShellTest {
 protected:
  void SetUp() override {
    SetOutputBarFactory([this](QWidget* parent) {
      bar = new OutputBar(&host, parent);
      return OutputBarParts{bar, bar};
    });
    Start();
    commands = std::make_unique<ToolCommands>(*window(), host, *profile, shell->App(), nullptr);
  }
  void TearDown() override {
    commands.reset();
    SetOutputBarFactory({});
  }
  std::string Output() { return bar->Text().Text(); }

  OutputBar* bar = nullptr;
  std::unique_ptr<ToolCommands> commands;
};

TEST_F(ToolsGui, CustomizationDialogEditsTheToolsMenu) {
  profile->WriteString("Tools", "Tool0", "Grep");
  ToolsDialog dlg(*profile, host);
  ExpectNamedControls(dlg);
  EXPECT_EQ(dlg.MenuText()->text(), "");
  dlg.List()->setCurrentRow(0);
  EXPECT_EQ(dlg.MenuText()->text(), "Grep");
  dlg.MenuText()->setFocus();
  QTest::keyClicks(dlg.MenuText(), " -n");
  EXPECT_EQ(dlg.List()->item(0)->text(), "Grep -n");
  dlg.Command()->setText("grep");
  dlg.RedirectSwitch()->setChecked(true);
  // Add selects the new row and shows it, so typing names the new tool.
  dlg.AddButton()->click();
  EXPECT_EQ(dlg.List()->currentRow(), 1);
  EXPECT_EQ(dlg.MenuText()->text(), "Untitled");
  EXPECT_EQ(dlg.Command()->text(), "");
  EXPECT_FALSE(dlg.RedirectSwitch()->isChecked());
  dlg.MenuText()->setFocus();
  dlg.MenuText()->selectAll();
  QTest::keyClicks(dlg.MenuText(), "Lint");
  EXPECT_EQ(dlg.List()->item(0)->text(), "Grep -n");
  EXPECT_EQ(dlg.List()->item(1)->text(), "Lint");
  for (int i = 0; i < 8; ++i) dlg.AddButton()->click();
  EXPECT_EQ(dlg.List()->count(), 10);
  EXPECT_EQ(dlg.List()->currentRow(), 9);
  EXPECT_TRUE(host.messages.empty());
  dlg.AddButton()->click();
  EXPECT_EQ(host.messages, (std::vector<std::string>{kNoMoreRoom}));
  dlg.List()->setCurrentRow(0);
  EXPECT_EQ(dlg.Command()->text(), "grep");
  dlg.DownButton()->click();
  EXPECT_EQ(dlg.List()->item(1)->text(), "Grep -n");
  dlg.DoneButton()->click();
  EXPECT_EQ(LoadTool(*profile, "Grep -n").command, "grep");
  EXPECT_TRUE(LoadTool(*profile, "Grep -n").redirect);

  auto items = OpenMenu("Tools");
  ASSERT_EQ(items.size(), 14u);
  EXPECT_EQ(items[5], "Grep -n");
  QAction* second = MenuAction("Tools", cmd::kToolIds[1]);
  ASSERT_TRUE(second);
  EXPECT_TRUE(second->isEnabled());
}

TEST_F(ToolsGui, ReloadAfterShowsTheFileTheToolRewrote) {
  const std::string path = File("A.java", "class A {}\n");
  ToolDefinition t;
  t.command = TAMSO_TOOL_STUB_PATH;
  t.args = "$(FilePath)";
  t.reloadAfter = true;
  t.prompt = true;
  profile->WriteString("Tools", "Tool0", "Fmt");
  SaveTool(*profile, "Fmt", t);
  ASSERT_TRUE(window()->OpenDocumentFile(path));
  FakePane* pane = panes.back();
  ::setenv("TAMSO_STUB_REWRITE", "class A { }\n", 1);
  // The prompt shows the path; Run takes it.
  QTimer::singleShot(0, [] {
    auto* prompt = qobject_cast<ToolPromptDialog*>(QApplication::activeModalWidget());
    ASSERT_TRUE(prompt);
    EXPECT_TRUE(prompt->Arguments()->text().endsWith("/A.java"));
    prompt->accept();
  });
  EXPECT_TRUE(window()->Router().Execute(cmd::kToolIds[0]));
  QTRY_COMPARE_WITH_TIMEOUT(pane->text, std::string("class A { }\n"), 20000);
  EXPECT_FALSE(pane->IsModified());
  QTRY_VERIFY_WITH_TIMEOUT(shell->App().IsIdle(), 20000);
  ::unsetenv("TAMSO_STUB_REWRITE");
}

// The program's own editors: the reload after a tool is the one a change on disk gets.
class ToolsGuiWithEditors : public ToolsGui {
 protected:
  ToolsGuiWithEditors() { realEditors = true; }
};

TEST_F(ToolsGuiWithEditors, ReloadAfterIsOneUndoStepAndKeepsTheCaretLine) {
  const std::string path = File("A.java", "a\nb\nc\nd\n");
  ToolDefinition t;
  t.command = TAMSO_TOOL_STUB_PATH;
  t.args = "$(FilePath)";
  t.reloadAfter = true;
  profile->WriteString("Tools", "Tool0", "Fmt");
  SaveTool(*profile, "Fmt", t);
  ChildFrame* child = window()->OpenDocumentFile(path);
  ASSERT_NE(child, nullptr);
  CSourceEditor* editor = static_cast<SourceEditorPane*>(child->Pane())->Editor();
  editor->Store().SetSelection(2, 0);
  ::setenv("TAMSO_STUB_REWRITE", "a\nb\nC changed\nd\ne\n", 1);
  EXPECT_TRUE(window()->Router().Execute(cmd::kToolIds[0]));
  QTRY_COMPARE_WITH_TIMEOUT(editor->Store().JoinedText("\n", false),
                            std::string("a\nb\nC changed\nd\ne"), 20000);
  ::unsetenv("TAMSO_STUB_REWRITE");
  QTRY_VERIFY_WITH_TIMEOUT(shell->App().IsIdle(), 20000);
  EXPECT_EQ(editor->Store().Caret().line, 2);
  EXPECT_FALSE(child->Doc()->IsModified());
  ASSERT_TRUE(editor->Store().Undo());
  EXPECT_EQ(editor->Store().JoinedText("\n", false), "a\nb\nc\nd");
}

TEST_F(ToolsGui, FindInFilesStreamsIntoTheOutputWindow) {
  File("A.java", "class A {\n  void paint() {}\n}\n");
  File("B.html", "paint\n");
  FindInFilesDialog dlg(host, *profile, shell->App(), MainUiThread(), dir);
  ExpectNamedControls(dlg);
  EXPECT_EQ(dlg.Directory()->text().toStdString(), dir);
  EXPECT_EQ(dlg.Filter()->currentText(), "*.java");
  EXPECT_EQ(dlg.Filter()->count(), 3);
  EXPECT_FALSE(dlg.Verbose()->isChecked());
  dlg.SearchText()->setText("paint");
  dlg.show();
  dlg.SearchButton()->click();
  QTRY_VERIFY_WITH_TIMEOUT(dlg.result() == QDialog::Accepted && !dlg.isVisible(), 20000);
  EXPECT_NE(Output().find("==> " + dir + "/A.java:2:\n  void paint() {}\n"), std::string::npos);
  EXPECT_NE(Output().find("Files scanned 1, hits: 1\n" + std::string(kDblClickHint)),
            std::string::npos);

  // No hits: the message, and the dialog stays open for another try.
  dlg.SearchText()->setText("nothing here");
  dlg.show();
  dlg.SearchButton()->click();
  QTRY_VERIFY_WITH_TIMEOUT(!host.messages.empty(), 20000);
  EXPECT_EQ(host.messages.back(), kNoHits);
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_TRUE(dlg.SearchButton()->isEnabled());
  EXPECT_FALSE(dlg.StopButton()->isVisible());
}

// Hits name files from where the search started, whatever folder the output window
// took names from before (a compile's) and wherever the program is by then.
TEST_F(ToolsGui, FindInFilesHitsOpenFromWhereTheSearchStarted) {
  const std::string target = File("B.java", "class B {}\n");
  std::error_code ec;
  const std::filesystem::path before = std::filesystem::current_path(ec);
  std::filesystem::current_path(dir);
  bar->SetReferenceDirectory("/other");  // as a compile of /other/A.java leaves it
  FindInFilesDialog dlg(host, *profile, shell->App(), MainUiThread(), dir);
  dlg.Directory()->setText(".");
  dlg.SearchText()->setText("class B");
  dlg.show();
  dlg.SearchButton()->click();
  QTRY_VERIFY_WITH_TIMEOUT(dlg.result() == QDialog::Accepted && !dlg.isVisible(), 20000);
  EXPECT_NE(Output().find("==> ./B.java:1:"), std::string::npos);
  std::filesystem::current_path("/");
  EXPECT_TRUE(bar->GoToReference(true));
  std::filesystem::current_path(before, ec);
  EXPECT_TRUE(host.messages.empty()) << host.messages.front();
  ASSERT_EQ(window()->Documents().size(), 1u);
  EXPECT_TRUE(paths::SameFile(window()->Documents().front()->PathName(), target));
}

}  // namespace
}  // namespace tamso::gui::testing
