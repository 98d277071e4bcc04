// The main window with the program's own editor panes, driven as a user drives it:
// keys, menus as drawn, the status bar and the save prompts.

#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/project_adapter.h"
#include "app/source_document.h"
#include "editor/find_dialog.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "gui_fixture.h"
#include "platform/paths.h"
#include "project/project.h"
#include "project/project_adapters.h"
#include "project/project_tree_bar.h"

namespace tamso::gui::testing {
namespace {

class RealEditorTest : public ShellTest {
 protected:
  RealEditorTest() { realEditors = true; }
  static CSourceEditor* EditorOf(ChildFrame* child) {
    return static_cast<SourceEditorPane*>(child->Pane())->Editor();
  }
  // Makes the main window the active one, so its key bindings apply.
  void Activate() {
    window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  }
  QAction* ToolButton(int id) {
    return window()->MainToolBar()->findChild<QAction*>(QString::number(id));
  }
};

TEST_F(RealEditorTest, StatusBarShowsTheActiveEditorsCaretAndComesBackAfterAMenu) {
  Start();
  std::string a = File("A.java", "class A {}\n"), b = File("B.java", "class B {}\nint x;\n");
  ChildFrame* first = window()->OpenDocumentFile(a);
  QLabel* pane = window()->MessagePane();
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(pane->text(), "(  1,  1)-(  1,  1) Ln   1, Col   1");
  // The caret moves by keys and by a selection.
  QTest::keyClick(EditorOf(first), Qt::Key_Right);
  QTest::keyClick(EditorOf(first), Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(pane->text(), "(  1,  2)-(  1,  3) Ln   1, Col   3");
  // Another window shows its own caret; going back shows the first one's again.
  ChildFrame* second = window()->OpenDocumentFile(b);
  QTest::keyClick(EditorOf(second), Qt::Key_Down);
  EXPECT_EQ(pane->text(), "(  2,  1)-(  2,  1) Ln   2, Col   1");
  window()->MdiArea()->setActiveSubWindow(first->SubWindow());
  EXPECT_EQ(pane->text(), "(  1,  2)-(  1,  3) Ln   1, Col   3");
  // A menu's prompt covers the pane while the menu is open and goes with it.
  window()->ShowBar(cmd::kViewStatusBar, true);
  EXPECT_TRUE(pane->isVisible());
  QMenu* edit = TopMenu("&Edit");
  ASSERT_NE(edit, nullptr);
  emit edit->aboutToShow();
  window()->statusBar()->showMessage("Undo the last action");
  EXPECT_FALSE(pane->isVisible());
  emit edit->aboutToHide();
  EXPECT_TRUE(window()->statusBar()->currentMessage().isEmpty());
  EXPECT_TRUE(pane->isVisible());
  EXPECT_EQ(pane->text(), "(  1,  2)-(  1,  3) Ln   1, Col   3");
  // No window: an empty pane.
  window()->MdiArea()->closeAllSubWindows();
  QApplication::processEvents();
  EXPECT_EQ(pane->text(), "");
}

TEST_F(RealEditorTest, UndoRedoAndSelectAllFollowTheRealEditor) {
  Start();
  ChildFrame* child = window()->OpenDocumentFile(File("A.java", "ab\n"));
  std::vector<QString> items = OpenMenu("&Edit");
  ASSERT_GE(items.size(), 2u);
  EXPECT_EQ(items[0], "&Undo\tCtrl+Z");
  EXPECT_EQ(items[1], "&Redo\tCtrl+Y");
  EXPECT_FALSE(MenuAction("&Edit", cmd::kEditUndo)->isEnabled());
  EXPECT_FALSE(MenuAction("&Edit", cmd::kEditRedo)->isEnabled());
  EXPECT_TRUE(MenuAction("&Edit", cmd::kEditSelectAll)->isEnabled());

  QTest::keyClicks(EditorOf(child), "x");
  EXPECT_TRUE(MenuAction("&Edit", cmd::kEditUndo)->isEnabled());
  EXPECT_FALSE(MenuAction("&Edit", cmd::kEditRedo)->isEnabled());
  MenuAction("&Edit", cmd::kEditUndo)->trigger();
  EXPECT_EQ(EditorOf(child)->Store().Line(0), "ab");
  QAction* redo = MenuAction("&Edit", cmd::kEditRedo);
  ASSERT_TRUE(redo->isEnabled());
  redo->trigger();
  EXPECT_EQ(EditorOf(child)->Store().Line(0), "xab");
  MenuAction("&Edit", cmd::kEditSelectAll)->trigger();
  EXPECT_TRUE(EditorOf(child)->Store().HasSelection());
  EXPECT_TRUE(MenuAction("&Edit", cmd::kEditCopy)->isEnabled());
}

TEST_F(RealEditorTest, TheKeysTheMenusShowRunTheirCommands) {
  Start();
  ChildFrame* child = window()->OpenDocumentFile(File("A.java", "class A {\n}\n"));
  CSourceEditor* editor = EditorOf(child);
  Activate();
  editor->setFocus();
  editor->Store().SetSelection(0, 8);  // on the brace
  QTest::keyClick(editor, Qt::Key_M, Qt::ControlModifier);
  EXPECT_EQ(editor->Store().Caret(), (TextPos{1, 0}));
  EXPECT_EQ(editor->Store().LineCount(), 2);  // no line break typed

  const int size = editor->PointSize();
  QTest::keyClick(editor, Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(editor->PointSize(), size + 1);
  QTest::keyClick(editor, Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(editor->PointSize(), size);

  QTest::keyClicks(editor, "z");
  QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(editor->Store().Line(1), "}");
  QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(editor->Store().Line(1), "z}");
}

TEST_F(RealEditorTest, AltLetterOpensItsMenuAndNeverTypesIntoTheText) {
  Start();
  ChildFrame* child = window()->OpenDocumentFile(File("A.java", "ab\n"));
  CSourceEditor* editor = EditorOf(child);
  Activate();
  editor->setFocus();
  editor->Store().SetSelection(0, 1);
  for (const char* title : {"&View", "&Edit", "&File"}) {
    const QChar letter = QString::fromLatin1(title).at(1).toLower();
    QTest::keyClick(editor, letter.toLatin1(), Qt::AltModifier);
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr) << title;
    EXPECT_EQ(popup, TopMenu(title)) << title;
    popup->close();
    EXPECT_EQ(editor->Store().Line(0), "ab") << title;
  }
  // Alt with a letter that no menu or key takes types nothing either; AltGr text still types.
  QTest::keyClick(editor, 'q', Qt::AltModifier);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(editor->Store().Line(0), "ab");
  QTest::keyClick(editor, Qt::Key_At, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(editor->Store().Line(0), "a@b");
}

TEST_F(RealEditorTest, FindBoxNeedsTextAndKeepsTheNewestOnTopOnce) {
  Start();
  ChildFrame* child = window()->OpenDocumentFile(File("A.java", "alpha beta zeta\n"));
  Activate();
  EditorOf(child)->setFocus();
  QComboBox* box = window()->FindCombo();
  window()->UpdateCommandStates();
  EXPECT_FALSE(ToolButton(cmd::kFindComboText)->isEnabled());
  EXPECT_FALSE(MenuAction("&Edit", cmd::kEditRepeat)->isEnabled());
  // F3 with an empty box does nothing at all: no search of an old text, no question.
  EditorOf(child)->QuickFind("zeta");
  host.messages.clear();
  EditorOf(child)->Store().SetSelection(0, 0);
  QTest::keyClick(EditorOf(child), Qt::Key_F3);
  EXPECT_FALSE(EditorOf(child)->Store().HasSelection());
  EXPECT_TRUE(host.messages.empty());

  box->setEditText("zeta");
  EXPECT_TRUE(ToolButton(cmd::kFindComboText)->isEnabled());
  QTest::keyClick(EditorOf(child), Qt::Key_F3);
  EXPECT_EQ(EditorOf(child)->Store().SelectionStart(), (TextPos{0, 11}));
  for (const char* text : {"alpha", "al", "ZETA", "beta"}) {
    box->setEditText(text);
    ToolButton(cmd::kFindComboText)->trigger();
    EXPECT_EQ(box->currentText(), text);  // a prefix of an entry stays as typed
  }
  QStringList list;
  for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
  EXPECT_EQ(list, (QStringList{"beta", "alpha", "zeta"}));
}

TEST_F(RealEditorTest, TypingInTheFindBoxIsNeverCompletedFromItsHistory) {
  Start();
  ChildFrame* child =
      window()->OpenDocumentFile(File("A.java", "int v = value 123456;\nvalue 123456 x\n"));
  Activate();
  QComboBox* box = window()->FindCombo();
  box->setEditText("value 123456;");
  ToolButton(cmd::kFindComboText)->trigger();
  ASSERT_EQ(box->itemText(0), "value 123456;");
  // The user types a shorter text, key by key, and presses Enter: that text is
  // searched, not the longer one from the list.
  box->setEditText(QString());
  box->lineEdit()->setFocus();
  QTest::keyClicks(box->lineEdit(), "value 123456");
  EXPECT_EQ(box->currentText(), "value 123456");
  EXPECT_EQ(box->lineEdit()->selectedText(), "");
  EditorOf(child)->Store().SetSelection(0, 0);
  QTest::keyClick(box->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(box->currentText(), "value 123456");
  // What is selected is the text typed (without the ';' the list's entry has).
  const TextPos start = EditorOf(child)->Store().SelectionStart();
  const TextPos end = EditorOf(child)->Store().SelectionEnd();
  EXPECT_EQ(end.line, start.line);
  EXPECT_EQ(end.col - start.col, 12);
  // The list is still there to choose from (an entry beginning with the text is not
  // doubled).
  EXPECT_EQ(box->count(), 1);
  EXPECT_EQ(box->itemText(0), "value 123456;");
}

TEST_F(RealEditorTest, AfterReplaceAllsMessageTheKeysGoBackToTheReplaceDialog) {
  Start();
  ChildFrame* child = window()->OpenDocumentFile(File("A.java", "int a = a + a;\n"));
  Activate();
  CSourceEditor* editor = EditorOf(child);
  editor->setFocus();
  QTest::keyClick(editor, Qt::Key_H, Qt::ControlModifier);
  FindReplaceDialog* dialog = editor->LastFindDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
  dialog->findChild<QLineEdit*>(QStringLiteral("findWhat"))->setText(QStringLiteral("a"));
  dialog->findChild<QLineEdit*>(QStringLiteral("replaceWith"))->setText(QStringLiteral("b"));
  // The count is shown in a real message box, which the user closes with Enter.
  host.realMessageBoxes = true;
  QString shownOver;
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_NE(box, nullptr);
    shownOver = box->parentWidget() ? box->parentWidget()->window()->windowTitle() : QString();
    QTest::keyClick(box, Qt::Key_Return);
  });
  QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("replaceAll")), Qt::LeftButton);
  host.realMessageBoxes = false;
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], "Replaced 3 occurrences.");
  EXPECT_EQ(shownOver, "Replace");
  // The dialog is active again: the next keys go to it, not into the text.
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  EXPECT_EQ(QApplication::focusWidget()->window(), dialog);
  QTest::keyClicks(QApplication::focusWidget(), "zz");
  EXPECT_EQ(editor->Store().Line(0), "int b = b + b;");
  dialog->close();
}

TEST_F(RealEditorTest, NewJavaAndPerlDocumentsHaveAnOutlineAndHtmlCannotRefreshOne) {
  Start();
  ChildFrame* java = window()->NewDocument(1);
  auto* tree = qobject_cast<QTreeView*>(java->BrowserPane());
  ASSERT_NE(tree, nullptr);
  QAbstractItemModel* outline = tree->model();
  ASSERT_EQ(outline->rowCount(), 1);  // built for the new, empty text
  // A text never loaded or saved has the root "File", before and after a refresh.
  const QString title = QStringLiteral("File");
  EXPECT_EQ(outline->index(0, 0).data().toString(), title);
  EditorOf(java)->InsertText("class Foo {\r  int n;\r}\r");
  window()->UpdateCommandStates();
  ASSERT_TRUE(ToolButton(cmd::kRefreshClassTree)->isEnabled());
  ToolButton(cmd::kRefreshClassTree)->trigger();
  ASSERT_EQ(outline->rowCount(), 1);
  EXPECT_EQ(outline->index(0, 0).data().toString(), title);
  EXPECT_FALSE(outline
                   ->match(outline->index(0, 0), Qt::DisplayRole, "Foo", 1,
                           Qt::MatchContains | Qt::MatchRecursive)
                   .isEmpty());

  ChildFrame* perl = window()->NewDocument(2);
  ASSERT_NE(perl->BrowserPane(), nullptr);
  EXPECT_EQ(qobject_cast<QTreeView*>(perl->BrowserPane())->model()->rowCount(), 1);

  ChildFrame* html = window()->NewDocument(0);
  ASSERT_EQ(html->Kind(), ViewKind::Html);
  window()->UpdateCommandStates();
  EXPECT_FALSE(ToolButton(cmd::kRefreshClassTree)->isEnabled());
  EXPECT_FALSE(
      html->ToolBar()->findChild<QAction*>(QString::number(cmd::kRefreshClassTree))->isEnabled());
  // An inactive window's toolbar is judged for that window, not shown enabled blindly.
  EXPECT_TRUE(
      java->ToolBar()->findChild<QAction*>(QString::number(cmd::kRefreshClassTree))->isEnabled());
  EXPECT_FALSE(
      java->ToolBar()->findChild<QAction*>(QString::number(cmd::kClassWizard))->isEnabled());
}

TEST_F(RealEditorTest, ContextCommandsWithoutHandlersShowDisabled) {
  Start();
  ChildFrame* child = window()->OpenDocumentFile(File("A.java", "String s;\n"));
  CSourceEditor* editor = EditorOf(child);
  editor->Store().SetSelection(0, 0, 0, 6);
  std::unique_ptr<QMenu> menu(editor->CreateContextMenu());
  QAction* settings = menu->findChild<QAction*>("32777");
  QAction* help = menu->findChild<QAction*>("32922");
  ASSERT_NE(settings, nullptr);
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->text(), "Help on 'String'");
  EXPECT_FALSE(settings->isEnabled());
  EXPECT_FALSE(help->isEnabled());
  // Once the frame has a handler, the same item is live and reaches it.
  int ran = 0;
  shell->App().SetCommandHandler(cmd::kSettings, [&] { ++ran; });
  menu.reset(editor->CreateContextMenu());
  settings = menu->findChild<QAction*>("32777");
  ASSERT_TRUE(settings->isEnabled());
  settings->trigger();
  EXPECT_EQ(ran, 1);
}

TEST_F(RealEditorTest, SaveAsOfANewJavaDocumentProposesItsPublicClass) {
  Start();
  ChildFrame* child = window()->NewDocument(1);
  EditorOf(child)->InsertText("// public class Old\rpublic final class Greeter {\r}\r");
  host.saveAnswers = {std::nullopt};
  EXPECT_FALSE(window()->SaveDocumentAs(child->Doc()));
  ASSERT_EQ(host.saveDialogs.size(), 1u);
  EXPECT_EQ(host.saveDialogs[0].initialFile, "Greeter.java");
  EXPECT_TRUE(child->Doc()->IsModified());  // cancelled: still to be saved

  // A package-private class alone names its file too, as test classes usually are.
  ChildFrame* test = window()->NewDocument(1);
  EditorOf(test)->InsertText("class GreeterTest {\r  public void greets() {}\r}\r");
  host.saveAnswers = {std::nullopt};
  EXPECT_FALSE(window()->SaveDocumentAs(test->Doc()));
  ASSERT_EQ(host.saveDialogs.size(), 2u);
  EXPECT_EQ(host.saveDialogs[1].initialFile, "GreeterTest.java");
}

TEST_F(ShellTest, RecentFilesAndProjectsAsDrawnInTheFileMenuOpenWhenChosen) {
  std::string a = File("A.java"), b = File("b.html");
  Start();
  window()->OpenDocumentFile(a);
  window()->OpenDocumentFile(b);
  window()->MdiArea()->closeAllSubWindows();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::processEvents();
  std::vector<QString> items = OpenMenu("&File");
  // Newest first, numbered, in place of the empty slot's text.
  auto at = std::find_if(items.begin(), items.end(),
                         [](const QString& t) { return t.startsWith("&1 "); });
  ASSERT_NE(at, items.end());
  ASSERT_NE(at + 1, items.end());
  EXPECT_TRUE(at->endsWith("/b.html")) << at->toStdString();
  EXPECT_TRUE((at + 1)->startsWith("&2 "));
  EXPECT_TRUE((at + 1)->endsWith("/A.java"));
  EXPECT_EQ(std::find(items.begin(), items.end(), QString("Recent File")), items.end());
  QAction* second = MenuAction("&File", cmd::kFileMruFirst + 1);
  ASSERT_NE(second, nullptr);
  second->trigger();
  ASSERT_NE(window()->ActiveChild(), nullptr);
  EXPECT_EQ(window()->ActiveChild()->Doc()->PathName(), a);
  // The empty project list shows its slot, disabled.
  QAction* projects = MenuAction("&File", cmd::kRecentProjectFirst);
  ASSERT_NE(projects, nullptr);
  EXPECT_EQ(projects->text(), "Recent Project");
  EXPECT_FALSE(projects->isEnabled());
}

// The main window over a real project and its tree bar.
class ProjectShellTest : public ShellTest {
 protected:
  ProjectShellTest() : realProject(host, *profile), adapter(realProject) {
    savedCwd = paths::CurrentDirectory();
    model = &adapter;
    InstallProjectTreeBar(realProject);
  }
  ~ProjectShellTest() override {
    shell.reset();
    SetProjectTreeFactory({});
    paths::SetCurrentDirectory(savedCwd);
  }
  ProjectTreeBar* Bar() {
    return qobject_cast<ProjectTreeBar*>(window()->ProjectTreeDock()->widget());
  }
  Project realProject;
  ProjectAdapter adapter;
  std::string savedCwd;
};

TEST_F(ProjectShellTest, CancelledExitKeepsTheTreeAndExitThroughTheWindowEmptiesIt) {
  Start();
  std::string java = File("A.java");
  realProject.Open(dir + "/p.jap");
  realProject.AddFile(java, true);
  ASSERT_NE(Bar()->Root(), nullptr);
  window()->OpenDocumentFile(java);
  panes.back()->Type("x");

  // Exit from the File menu, cancelled at the save prompt: everything stays.
  host.answers = {Answer::Cancel};
  QAction* exitItem = MenuAction("&File", cmd::kAppExit);
  ASSERT_NE(exitItem, nullptr);
  exitItem->trigger();
  EXPECT_TRUE(window()->isVisible());
  ASSERT_NE(Bar()->Root(), nullptr);
  EXPECT_EQ(Bar()->Root()->childCount(), 1);
  // Project work goes on in the tree: a new member, then the project reopened.
  realProject.AddFile(File("B.java"), true);
  EXPECT_EQ(Bar()->Root()->childCount(), 2);
  realProject.Close();
  EXPECT_EQ(Bar()->Tree()->topLevelItemCount(), 0);
  realProject.Open(dir + "/p.jap");
  ASSERT_NE(Bar()->Root(), nullptr);
  EXPECT_EQ(Bar()->Root()->childCount(), 2);

  // Exit again, this time without saving: the window goes and the tree is emptied.
  host.answers = {Answer::No};
  MenuAction("&File", cmd::kAppExit)->trigger();
  EXPECT_FALSE(window()->isVisible());
  EXPECT_EQ(host.messages,
            (std::vector<std::string>{"Save changes to A.java?", "Save changes to A.java?"}));
  EXPECT_EQ(Bar()->Tree()->topLevelItemCount(), 0);
  EXPECT_EQ(realProject.Members().Size(), 2u);  // the project keeps them
}

TEST_F(ProjectShellTest, AProjectFileOnTheCommandLineOpensAsTheProject) {
  std::string java = File("A.java");
  {
    IniFile jap(dir + "/p.jap");
    jap.WriteString("Base", "Name", "Test");
  }
  Start({dir + "/p.JAP", java});
  EXPECT_TRUE(realProject.IsOpen());
  EXPECT_EQ(realProject.ProjectFile(), dir + "/p.JAP");
  ASSERT_NE(shell->App().RecentProjects(), nullptr);
  EXPECT_EQ(shell->App().RecentProjects()->At(0), dir + "/p.JAP");
  ASSERT_EQ(window()->Documents().size(), 1u);  // the project is no page
  EXPECT_EQ(window()->Documents()[0]->PathName(), java);
}

TEST_F(ProjectShellTest, AnEmbeddedStartOpensNoProjectFromTheCommandLine) {
  Start({"-Embedding", dir + "/p.jap"});
  EXPECT_FALSE(realProject.IsOpen());
}

TEST_F(RealEditorTest, BrowserPaneWidthFromASplitterDragReachesTheNextStart) {
  profile->WriteInt("Editor", "BrowserSize", 100);
  Start();
  ChildFrame* child = window()->OpenDocumentFile(File("A.java"));
  QSplitter* splitter = child->Splitter();
  ASSERT_NE(splitter, nullptr);
  ASSERT_EQ(splitter->sizes().at(0), 100);
  // Drag the handle 40 pixels to the right.
  QWidget* handle = splitter->handle(1);
  const QPoint from = handle->rect().center();
  QTest::mousePress(handle, Qt::LeftButton, {}, from);
  QTest::mouseMove(handle, from + QPoint(40, 0));
  QTest::mouseRelease(handle, Qt::LeftButton, {}, from + QPoint(40, 0));
  const int dragged = splitter->sizes().at(0);
  ASSERT_GT(dragged, 100);
  EXPECT_EQ(shell->App().BrowserPaneWidth(), dragged);
  // A new window now opens with it, and so does the next start after Exit.
  ChildFrame* next = window()->OpenDocumentFile(File("B.java"));
  EXPECT_EQ(next->Splitter()->sizes().at(0), dragged);
  window()->Router().Execute(cmd::kAppExit);
  EXPECT_FALSE(window()->isVisible());
  shell->Finish();
  shell.reset();
  IniFile reread(dir + "/tamso.INI");
  EXPECT_EQ(reread.GetInt("Editor", "BrowserSize", 0), dragged);
  Start();
  ChildFrame* again = window()->OpenDocumentFile(File("C.java"));
  EXPECT_EQ(again->Splitter()->sizes().at(0), dragged);
}

}  // namespace
}  // namespace tamso::gui::testing
