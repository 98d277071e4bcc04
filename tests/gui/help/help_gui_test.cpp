#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "gui/app/gui_fixture.h"
#include "help/help_dialogs.h"
#include "help/help_install.h"
#include "support/fake_host.h"

namespace tamso::gui {
namespace {

using testing::ShellTest;

class HelpGuiTest : public ShellTest {
 protected:
  HelpGuiTest() { realEditors = true; }
  ~HelpGuiTest() override {
    if (shell) RemoveHelpCommands(shell->App());
  }
};

TEST_F(HelpGuiTest, HelpAndPrintCommandsAreEnabledInAnEditorAndStayEnabledBesideItsClassBrowser) {
  Start();
  InstallHelpCommands(*profile, host, shell->App());
  ChildFrame* child = window()->OpenDocumentFile(File("A.java", "class A { String s; }\n"));
  ASSERT_TRUE(child);
  window()->activateWindow();
  child->Pane()->setFocus();
  for (int id : {cmd::kUsingJavaHelp, cmd::kJavaHelp, cmd::kJavaApi, cmd::kJavaClassHierarchy,
                 cmd::kJavaLanguageSpec, cmd::kJavaManPages, cmd::kJavaSearch, cmd::kFilePrint,
                 cmd::kFilePrintPreview, cmd::kFilePrintSetup, cmd::kPageSetup})
    EXPECT_TRUE(window()->Router().Update(id).enabled) << id;

  // The editor's "Help on '...'" has a handler now.
  CSourceEditor* editor = static_cast<SourceEditorPane*>(child->Pane())->Editor();
  editor->Store().SetSelection(0, 10, 0, 16);
  std::unique_ptr<QMenu> menu(editor->CreateContextMenu());
  QAction* help = menu->findChild<QAction*>(QStringLiteral("32922"));
  ASSERT_TRUE(help);
  EXPECT_EQ(help->text(), QStringLiteral("Help on 'String'"));
  EXPECT_TRUE(help->isEnabled());

  // With the focus in the class-browser pane the editor beside it stays the active
  // view: every help item still works, not "Java..." alone.
  QApplication::setActiveWindow(window());
  child->BrowserPane()->setFocus();
  ASSERT_TRUE(child->BrowserPane()->hasFocus());
  for (int id : {cmd::kUsingJavaHelp, cmd::kJavaHelp, cmd::kJavaApi, cmd::kJavaClassHierarchy,
                 cmd::kJavaLanguageSpec, cmd::kJavaManPages, cmd::kJavaSearch})
    EXPECT_TRUE(window()->Router().Update(id).enabled) << id;
}

struct UsingDialogTest : ::testing::Test {
  QTemporaryDir dir;
  IniFile profile{dir.filePath(QStringLiteral("tamso.INI")).toStdString()};
  tamso::testing::FakeHost host;
  QtHelpUi ui{profile, host};
  DocsIndexCache cache;
  std::string Docs(const char* name) {
    const std::string d = dir.filePath(QString::fromLatin1(name)).toStdString();
    std::filesystem::create_directories(d);
    std::ofstream(d + "/index.html") << "<html/>";
    std::ofstream(d + "/element-list") << "java.lang\n";
    return d;
  }
};

TEST_F(UsingDialogTest, OkWritesTheFolderCancelKeepsItAndEveryControlHasAName) {
  const std::string first = Docs("first"), second = Docs("second");
  HelpCommands help(profile, host, ui, cache, first, 17);
  {
    UsingHelpDialog dialog(help);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Using Java Help"));
    EXPECT_EQ(dialog.DirEdit()->text().toStdString(), first);
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
      if (qobject_cast<QLineEdit*>(w) ||
          (qobject_cast<QPushButton*>(w) && w->objectName() == "1077")) {
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
      }
    }
    dialog.DirEdit()->setText(QString::fromStdString(second));
    dialog.reject();
  }
  EXPECT_EQ(profile.GetString("Help", "Dir", "unset"), "unset");
  {
    UsingHelpDialog dialog(help);
    dialog.DirEdit()->setText(QString::fromStdString(second));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
  EXPECT_EQ(profile.GetString("Help", "Dir", "unset"), second);
  EXPECT_TRUE(host.messages.empty());
}

TEST(HitList, OffersEveryHitAndReportsTheChosenRow) {
  DocEntry a{DocKind::Type, "java.awt", "", "List", "java/awt/List.html"};
  DocEntry b{DocKind::Member, "java.util", "Map", "size()", "java/util/Map.html#size()"};
  HitListDialog dialog("List", {&a, &b});
  ASSERT_EQ(dialog.List()->count(), 2);
  EXPECT_EQ(dialog.List()->item(1)->text(), QStringLiteral("java.util.Map.size()   (member)"));
  EXPECT_EQ(dialog.Chosen(), 0);
  dialog.List()->setCurrentRow(1);
  EXPECT_EQ(dialog.Chosen(), 1);
  EXPECT_FALSE(dialog.List()->accessibleName().isEmpty());
}

}  // namespace
}  // namespace tamso::gui
