#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "../app/gui_fixture.h"
#include "app/bars.h"
#include "app/command_ids.h"
#include "build/output_bar.h"
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
  for (int i = 0; i < 9; ++i) dlg.AddButton()->click();
  EXPECT_EQ(dlg.List()->count(), 10);
  EXPECT_TRUE(host.messages.empty());
  dlg.AddButton()->click();
  EXPECT_EQ(host.messages, (std::vector<std::string>{kNoMoreRoom}));
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

}  // namespace
}  // namespace tamso::gui::testing
