#include "codegen/skeleton_dialog.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/view_commands.h"
#include "codegen/codegen_commands.h"
#include "codegen_gui_support.h"

namespace tamso::gui::testing {
namespace {

constexpr const char* kJavaSkeletons =
    "Commentary.\r\n"
    "//{{Wrap in parentheses\r\n( $SEL$ )\r\n//}}\r\n"
    "//{{{Loops\r\n"
    "//{{for loop\r\nfor (int i = 0; i < n; i++) {\r\n$SEL$\r\n}\r\n//}}\r\n"
    "//{{Latin\r\n// caf\xE9 $SEL$\r\n//}}\r\n";

class SkeletonDialogTest : public ShellTest {
 protected:
  SkeletonDialogTest() {
    profile->WriteString("Skeletons", "Java", File("java.skl", kJavaSkeletons));
    profile->WriteString("Skeletons", "HTML", File("html.skl", "//{{Bold\n<b>$SEL$</b>\n//}}\n"));
  }
  ~SkeletonDialogTest() override { SetViewCommand(cmd::kInsertSkeleton, {}); }

  QTreeWidgetItem* Find(QTreeWidget* tree, const QString& label) {
    const auto items = tree->findItems(label, Qt::MatchExactly | Qt::MatchRecursive);
    return items.isEmpty() ? nullptr : items.front();
  }
};

TEST_F(SkeletonDialogTest, TreeAndPreviewFollowTheFileAndSelection) {
  SkeletonDialogModel model(*profile, host, DataFileDirsFromEnvironment());
  model.language = "Java";
  model.selection = "a;\r\nb;";
  SkeletonDialog dialog(kSkeletonTemplate, model);
  EXPECT_EQ(dialog.windowTitle(), "Skeletons");
  QTreeWidget* tree = dialog.findChild<QTreeWidget*>("1038");
  auto* preview = dialog.findChild<QPlainTextEdit*>("1007");
  ASSERT_TRUE(tree && preview);
  EXPECT_EQ(dialog.findChild<QPushButton*>("1")->text(), "Insert");
  EXPECT_EQ(dialog.findChild<QPushButton*>("2")->text(), "Cancel");
  for (QWidget* w : {static_cast<QWidget*>(tree), static_cast<QWidget*>(preview)})
    EXPECT_FALSE(w->accessibleName().isEmpty());

  ASSERT_EQ(tree->topLevelItemCount(), 1);
  QTreeWidgetItem* root = tree->topLevelItem(0);
  EXPECT_EQ(root->text(0), "Skeletons");
  EXPECT_TRUE(root->isExpanded());
  ASSERT_EQ(root->childCount(), 2);
  EXPECT_EQ(root->child(0)->text(0), "Wrap in parentheses");
  EXPECT_EQ(root->child(1)->text(0), "Loops");
  EXPECT_EQ(root->child(1)->childCount(), 2);

  tree->setCurrentItem(Find(tree, "for loop"));
  EXPECT_EQ(preview->toPlainText(), "for (int i = 0; i < n; i++) {\na;\nb;\n}");
  // A group leaves the box as it is; another skeleton replaces it, edits and all.
  preview->appendPlainText("edited");
  tree->setCurrentItem(Find(tree, "Loops"));
  EXPECT_TRUE(preview->toPlainText().endsWith("edited"));
  tree->setCurrentItem(Find(tree, "Latin"));
  EXPECT_EQ(preview->toPlainText(), QString::fromUtf8("// caf\xC3\xA9 a;\nb;"));
  // Unedited, the bytes go in as they came: the 8-bit character and the CR LF.
  dialog.accept();
  EXPECT_EQ(dialog.Result(), "// caf\xE9 a;\r\nb;");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SkeletonDialogTest, DesignerTwinHasItsCaptionAndTexts) {
  profile->WriteString("Skeletons", "DESIGNER", "/nonexistent/DESIGNER.skl");
  SkeletonDialogModel model(*profile, host, DataFileDirsFromEnvironment());
  model.language = "DESIGNER";
  SkeletonDialog dialog(kDesignerSkeletonTemplate, model);
  EXPECT_EQ(dialog.windowTitle(), "Program Skeletons for the Designer");
  QStringList texts;
  for (QLabel* l : dialog.findChildren<QLabel*>()) texts << l->text();
  EXPECT_TRUE(
      texts.contains("A new program file will be generated for you. Select the skeleton "
                     "from above, preview below."));
  EXPECT_TRUE(texts.contains(
      "And... You can customize your skeleton file by editting /nonexistent/DESIGNER.skl"));
  // The file is missing: said so, and the tree holds the root alone.
  EXPECT_EQ(host.messages,
            (std::vector<std::string>{"Could not find skeleton files.\n\n Check .ini"}));
  EXPECT_EQ(dialog.Tree()->topLevelItemCount(), 1);
  EXPECT_EQ(dialog.Tree()->topLevelItem(0)->childCount(), 0);
}

TEST_F(SkeletonDialogTest, TheCustomizingTextNamesTheFileWhereTheProgramLooksFirst) {
  profile->RemoveKey("Skeletons", "Java");
  const std::string shipped = std::string(TAMSO_SOURCE_DIR) + "/res/data";
  const DataFileDirs dirs = MakeDataFileDirs("", dir, "", shipped, "", "");
  auto customizeText = [&] {
    SkeletonDialogModel model(*profile, host, dirs);
    model.language = "Java";
    SkeletonDialog dialog(kSkeletonTemplate, model);
    QLabel* last = dialog.findChild<QLabel*>("static2");
    return last ? last->text().toStdString() : std::string("<no label>");
  };
  // The shipped file is read: the user's own copy goes in ~/.config/tamso.
  EXPECT_EQ(customizeText(),
            "And... You can customize your skeleton file by editting ~/.config/tamso/Java.skl "
            "(start from a copy of " +
                shipped + "/Java.skl)");
  std::filesystem::create_directories(dir + "/.config/tamso");
  std::filesystem::copy_file(shipped + "/Java.skl", dir + "/.config/tamso/Java.skl");
  EXPECT_EQ(customizeText(),
            "And... You can customize your skeleton file by editting ~/.config/tamso/Java.skl");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SkeletonDialogTest, InsertIsOnlyForASkeletonAGroupOrTheRootInsertsNothing) {
  realEditors = true;
  Start();
  InstallCodegenCommands(*shell, *profile, host);
  ChildFrame* child = window()->OpenDocumentFile(File("A.java", "int x = a + b;\n"));
  ASSERT_TRUE(child);
  CSourceEditor* editor = EditorOf(child);
  editor->Store().SetSelection(0, 8, 0, 13);  // "a + b"
  std::vector<bool> enabled;
  bool stayedOpen = false;
  WhenModal<SkeletonDialog>([&](SkeletonDialog* d) {
    auto* insert = d->findChild<QPushButton*>("1");
    enabled.push_back(insert->isEnabled());  // nothing chosen yet
    d->Tree()->setCurrentItem(d->Tree()->topLevelItem(0));
    enabled.push_back(insert->isEnabled());
    d->Tree()->setCurrentItem(Find(d->Tree(), "for loop"));
    enabled.push_back(insert->isEnabled());
    d->Tree()->setCurrentItem(Find(d->Tree(), "Loops"));
    enabled.push_back(insert->isEnabled());
    // Neither the button nor Enter inserts the group.
    QTest::mouseClick(insert, Qt::LeftButton);
    QTest::keyClick(d->Tree(), Qt::Key_Return);
    stayedOpen = d->isVisible() && d->result() == 0;
    d->reject();
  });
  window()->Router().Execute(cmd::kInsertSkeleton);
  EXPECT_EQ(enabled, (std::vector<bool>{false, false, true, false}));
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(StoreText(editor->Store()), "int x = a + b;");
}

TEST_F(SkeletonDialogTest, InsertReplacesTheSelectionAsOneUndoStep) {
  realEditors = true;
  Start();
  InstallCodegenCommands(*shell, *profile, host);
  ChildFrame* child = window()->OpenDocumentFile(File("A.java", "int x = a + b;\ny();\n"));
  ASSERT_TRUE(child);
  CSourceEditor* editor = EditorOf(child);
  editor->Store().SetSelection(0, 8, 0, 13);  // "a + b"
  EXPECT_TRUE(window()->Router().Update(cmd::kInsertSkeleton).enabled);
  WhenModal<SkeletonDialog>([this](SkeletonDialog* d) {
    d->Tree()->setCurrentItem(Find(d->Tree(), "Wrap in parentheses"));
    QTest::mouseClick(d->findChild<QPushButton*>("1"), Qt::LeftButton);
  });
  window()->Router().Execute(cmd::kInsertSkeleton);
  EXPECT_EQ(StoreText(editor->Store()), "int x = ( a + b );\ny();");

  // A selection over two lines, with an edited preview.
  editor->Store().SetSelection(0, 0, 1, 4);
  WhenModal<SkeletonDialog>([this](SkeletonDialog* d) {
    d->Tree()->setCurrentItem(Find(d->Tree(), "for loop"));
    d->Preview()->setPlainText(d->Preview()->toPlainText().replace("n;", "3;"));
    QTest::mouseClick(d->findChild<QPushButton*>("1"), Qt::LeftButton);
  });
  window()->Router().Execute(cmd::kInsertSkeleton);
  EXPECT_EQ(StoreText(editor->Store()),
            "for (int i = 0; i < 3; i++) {\nint x = ( a + b );\ny();\n}");
  editor->Undo();
  EXPECT_EQ(StoreText(editor->Store()), "int x = ( a + b );\ny();");

  // Cancel changes nothing.
  WhenModal<SkeletonDialog>([](SkeletonDialog* d) { d->reject(); });
  window()->Router().Execute(cmd::kInsertSkeleton);
  EXPECT_EQ(StoreText(editor->Store()), "int x = ( a + b );\ny();");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SkeletonDialogTest, HtmlViewsInsertHtmlSkeletons) {
  realEditors = true;
  Start();
  InstallCodegenCommands(*shell, *profile, host);
  ChildFrame* child = window()->OpenDocumentFile(File("a.html", "<p>word</p>\n"));
  ASSERT_TRUE(child);
  ASSERT_EQ(child->Kind(), ViewKind::Html);
  EditorOf(child)->Store().SetSelection(0, 3, 0, 7);
  QStringList labels;
  WhenModal<SkeletonDialog>([&labels, this](SkeletonDialog* d) {
    labels << d->Tree()->topLevelItem(0)->child(0)->text(0);
    d->Tree()->setCurrentItem(Find(d->Tree(), "Bold"));
    d->accept();
  });
  window()->Router().Execute(cmd::kInsertSkeleton);
  EXPECT_EQ(labels, QStringList{"Bold"});
  EXPECT_EQ(StoreText(EditorOf(child)->Store()), "<p><b>word</b></p>");
}

}  // namespace
}  // namespace tamso::gui::testing
