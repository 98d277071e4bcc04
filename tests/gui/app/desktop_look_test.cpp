// How the main window presents itself on the desktop: tabs or floating windows,
// file dialogs, titles, dialog texts and the numbering of lines.

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <functional>
#include <map>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/dialogs.h"
#include "app/icons.h"
#include "jobs/output_bar.h"
#include "codegen/codegen_commands.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "gui_fixture.h"
#include "options/options_commands.h"
#include "project/project.h"
#include "project/project_adapters.h"
#include "project/project_icons.h"
#include "tools/tool_commands.h"

namespace tamso::gui::testing {
namespace {

QTabBar* Tabs(MainWindow* w) {
  return w->MdiArea()->findChild<QTabBar*>(QStringLiteral("documentTabs"));
}

// Runs fn on the next modal dialog that shows while action runs, then closes it.
void OnModal(const std::function<void()>& action, const std::function<void(QWidget*)>& fn) {
  bool seen = false;
  QTimer timer;
  timer.setInterval(0);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    if (!seen) fn(modal);
    seen = true;
    if (auto* d = qobject_cast<QDialog*>(modal))
      d->reject();
    else
      modal->close();
  });
  timer.start();
  action();
  timer.stop();
  // A dialog that is not modal is open now.
  if (!seen) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* d = qobject_cast<QDialog*>(w);
      if (!d || !d->isVisible()) continue;
      fn(d);
      seen = true;
      d->reject();
    }
  }
  EXPECT_TRUE(seen) << "no dialog showed";
}

// Texts of a dialog that show an "&" as it is: labels that name no buddy, titles,
// list entries and column headers. (A button's or group's "&" marks its key.)
std::vector<std::string> LiteralAmpersands(QWidget* dialog) {
  std::vector<std::string> found;
  auto literal = [](QString text) { return text.remove(QStringLiteral("&&")).contains('&'); };
  if (literal(dialog->windowTitle())) found.push_back(dialog->windowTitle().toStdString());
  for (QLabel* l : dialog->findChildren<QLabel*>())
    if (!l->buddy() && l->textFormat() != Qt::RichText && !Qt::mightBeRichText(l->text()) &&
        literal(l->text()))
      found.push_back(l->text().toStdString());
  for (QListWidget* list : dialog->findChildren<QListWidget*>())
    for (int i = 0; i < list->count(); ++i)
      if (literal(list->item(i)->text())) found.push_back(list->item(i)->text().toStdString());
  for (QHeaderView* h : dialog->findChildren<QHeaderView*>()) {
    if (!h->model()) continue;
    for (int i = 0; i < h->count(); ++i) {
      QString t = h->model()->headerData(i, h->orientation()).toString();
      if (literal(t)) found.push_back(t.toStdString());
    }
  }
  return found;
}

TEST_F(ShellTest, DocumentsAreTabsUntilWindowsAreArrangedAndTheChoiceIsKept) {
  Start();
  QMdiArea* mdi = window()->MdiArea();
  EXPECT_EQ(mdi->viewMode(), QMdiArea::TabbedView);
  ChildFrame* a = window()->OpenDocumentFile(File("A.java"));
  ChildFrame* b = window()->OpenDocumentFile(File("B.java"));
  QTabBar* tabs = Tabs(window());
  ASSERT_NE(tabs, nullptr);
  EXPECT_TRUE(tabs->tabsClosable());
  EXPECT_TRUE(tabs->isMovable());
  ASSERT_EQ(tabs->count(), 2);
  // A new window is the active one and its tab is the current tab.
  EXPECT_EQ(window()->ActiveChild(), b);
  EXPECT_EQ(tabs->currentIndex(), 1);
  // The modified mark shows on the tab.
  panes[0]->Type("x");
  EXPECT_EQ(tabs->tabText(0), "A.java *");
  // Choosing a tab activates its window; Previous Source Window goes back.
  tabs->setCurrentIndex(0);
  EXPECT_EQ(window()->ActiveChild(), a);
  window()->Router().Execute(cmd::kPreviousSourceWindow);
  EXPECT_EQ(window()->ActiveChild(), b);
  EXPECT_EQ(tabs->currentIndex(), 1);
  // Ctrl+Tab goes to the next window, round to the first, as in floating windows.
  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(window()->ActiveChild(), a);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                  Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(window()->ActiveChild(), b);
  // A middle click closes the tab under the mouse, asking to save as any close does.
  host.answers = {Answer::No};
  QTest::mouseClick(tabs, Qt::MiddleButton, {}, tabs->tabRect(0).center());
  QApplication::processEvents();
  EXPECT_EQ(host.messages, std::vector<std::string>{"Save changes to A.java?"});
  ASSERT_EQ(mdi->subWindowList().size(), 1);
  EXPECT_EQ(window()->ActiveChild(), b);

  // Cascade leaves the tabs for floating windows, and the profile remembers it.
  ChildFrame* c = window()->OpenDocumentFile(File("C.java"));
  EXPECT_TRUE(window()->Router().Update(cmd::kWindowTabbed).checked);
  window()->Router().Execute(cmd::kWindowCascade);
  EXPECT_EQ(mdi->viewMode(), QMdiArea::SubWindowView);
  EXPECT_FALSE(window()->Router().Update(cmd::kWindowTabbed).checked);
  EXPECT_EQ(profile->GetString("Window", "Tabbed", ""), "0");
  EXPECT_FALSE(c->SubWindow()->isMaximized());
  EXPECT_EQ(window()->ActiveChild(), c);
  window()->Router().Execute(cmd::kPreviousSourceWindow);
  EXPECT_EQ(window()->ActiveChild(), b);
  // A new window in this mode is active as well.
  ChildFrame* d = window()->OpenDocumentFile(File("D.java"));
  EXPECT_EQ(window()->ActiveChild(), d);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(window()->ActiveChild(), b);
  // "Tabbed Windows" goes back, with the same window active.
  window()->Router().Execute(cmd::kWindowTabbed);
  EXPECT_EQ(mdi->viewMode(), QMdiArea::TabbedView);
  EXPECT_EQ(window()->ActiveChild(), b);
  EXPECT_EQ(profile->GetString("Window", "Tabbed", ""), "1");
  ASSERT_NE(Tabs(window()), nullptr);
  EXPECT_EQ(Tabs(window())->count(), 3);

  // The next start opens in the mode last chosen.
  window()->Router().Execute(cmd::kWindowTile);
  shell.reset();
  Start();
  EXPECT_EQ(window()->MdiArea()->viewMode(), QMdiArea::SubWindowView);
}

TEST_F(ShellTest, OpenOffersJavaFirstAndDialogsStartInTheActiveDocumentsFolder) {
  Start();
  window()->FileOpen();
  ASSERT_EQ(host.openDialogs.size(), 1u);
  EXPECT_EQ(host.openDialogs[0].filter.rfind("Java Files (*.java)|*.java|All source files (", 0),
            0u)
      << host.openDialogs[0].filter;
  const std::string sub = dir + "/src";
  std::filesystem::create_directory(sub);
  window()->OpenDocumentFile(File("src/A.java"));
  // The program's own dialog, as it shows without a desktop's.
  FileDialogOptions options;
  options.filter = "Java Files (*.java)|*.java|All Files (*)|*";
  OnModal([&] { host.QtHost::OpenFileDialog(options); },
          [&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->directory().absolutePath().toStdString(), sub);
            EXPECT_EQ(dialog->nameFilters().value(0), "Java Files (*.java)");
          });
}

TEST_F(ShellTest, TitlesNameTheProgramOnceAndMessagesCarryTheShortName) {
  SetApplicationNames();
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Tamso");
  Start();
  EXPECT_EQ(window()->windowTitle(), "Ferrowind Tamso");
  window()->OpenDocumentFile(File("Hello.java"));
  panes.back()->Type("x");
  EXPECT_EQ(window()->windowTitle(), "Ferrowind Tamso - Hello.java *");
  OnModal([&] { host.QtHost::MessageBox("Text", "", MsgIcon::Information, MsgButtons::Ok); },
          [](QWidget* modal) { EXPECT_EQ(modal->windowTitle(), "Tamso"); });
}

// The controls under root that a screen reader would announce without a name: shown
// buttons, boxes, fields, lists and trees, each as its class and object name.
std::vector<std::string> Nameless(QWidget* root) {
  std::vector<std::string> found;
  const QAccessible::Role announced[] = {
      QAccessible::PushButton,    QAccessible::CheckBox,     QAccessible::RadioButton,
      QAccessible::ComboBox,      QAccessible::EditableText, QAccessible::SpinBox,
      QAccessible::Slider,        QAccessible::List,         QAccessible::Tree,
      QAccessible::Table,         QAccessible::PageTabList,  QAccessible::ButtonMenu,
      QAccessible::ButtonDropDown};
  std::vector<QAccessibleInterface*> todo = {QAccessible::queryAccessibleInterface(root)};
  while (!todo.empty()) {
    QAccessibleInterface* a = todo.back();
    todo.pop_back();
    if (!a || !a->isValid() || a->state().invisible) continue;
    auto* w = qobject_cast<QWidget*>(a->object());
    if (!w) continue;  // an item of a view: named by its text
    if (std::find(std::begin(announced), std::end(announced), a->role()) != std::end(announced) &&
        a->text(QAccessible::Name).trimmed().isEmpty())
      found.push_back(std::string(w->metaObject()->className()) + " " +
                      w->objectName().toStdString());
    for (int i = 0; i < a->childCount(); ++i) todo.push_back(a->child(i));
  }
  return found;
}

TEST_F(ShellTest, NoDialogShowsAnAmpersandAsTextOrLeavesAControlWithoutAName) {
  realEditors = true;
  Project realProject(host, *profile);
  // The real output window and project tree, as the program has them.
  SetOutputBarFactory([this](QWidget* parent) {
    OutputBar* bar = CreateOutputBarWidget(host, parent);
    return OutputBarParts{bar, bar};
  });
  InstallProjectTreeBar(realProject);
  struct Restore {
    ~Restore() {
      SetOutputBarFactory({});
      SetProjectTreeFactory({});
    }
  } restore;
  Start();
  InstallCodegenCommands(*shell, *profile, host);
  InstallOptionsCommands(*shell, *profile, host, false);
  auto tools = InstallToolCommands(*shell, host, *profile, realProject);
  window()->OpenDocumentFile(File("A.java", "class A {\n}\n"));
  // The New dialog starts on Java.
  OnModal([&] { window()->FileNew(); },
          [](QWidget* modal) {
            auto* list = modal->findChild<QListWidget*>();
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(list->currentItem()->text(), "Java");
          });
  for (int id : {cmd::kFileNew, cmd::kAppAbout, cmd::kEditFind, cmd::kEditReplace, cmd::kGoToLine,
                 cmd::kFindInFiles, cmd::kCustomizeTools, cmd::kSettings, cmd::kClassWizard,
                 cmd::kJavaTips}) {
    SCOPED_TRACE(id);
    OnModal([&] { window()->Router().Execute(id); },
            [&](QWidget* modal) {
              EXPECT_EQ(LiteralAmpersands(modal), std::vector<std::string>()) << id;
              EXPECT_EQ(Nameless(modal), std::vector<std::string>()) << id;
              for (QTabWidget* tabs : modal->findChildren<QTabWidget*>())
                for (int page = 0; page < tabs->count(); ++page) {
                  tabs->setCurrentIndex(page);
                  EXPECT_EQ(Nameless(modal), std::vector<std::string>())
                      << id << " page " << tabs->tabText(page).toStdString();
                }
            });
  }
  // The main window with a Java file, its class browser and both bars shown.
  EXPECT_EQ(Nameless(window()), std::vector<std::string>());
}

TEST_F(ShellTest, EveryToolbarButtonAndTreeEntryKindHasItsOwnPictureSharpAtEachSizeAndScale) {
  Start();
  window()->OpenDocumentFile(File("A.java"));
  std::vector<QAction*> buttons;
  for (QToolBar* bar : window()->findChildren<QToolBar*>())
    for (QAction* a : bar->actions())
      if (!a->isSeparator() && a->data().toInt() > 0 && !a->icon().isNull()) buttons.push_back(a);
  ASSERT_EQ(buttons.size(), 24u);  // 18 on the main toolbar, 6 on the window's
  std::vector<std::pair<QString, QIcon>> pictures;
  for (QAction* a : buttons) pictures.emplace_back(a->objectName(), a->icon());
  // The project tree's six kinds of entry.
  for (std::size_t kind = 0; kind < ProjectTreeIcons().size(); ++kind)
    pictures.emplace_back(QStringLiteral("member kind %1").arg(kind), ProjectTreeIcons()[kind]);
  std::map<QString, QImage> seen;
  for (const auto& [name, icon] : pictures) {
    SCOPED_TRACE(name.toStdString());
    for (int side : {16, 22, 32}) {
      // Drawn for the scale, not a small picture blown up.
      QPixmap pm = icon.pixmap(QSize(side, side), 2.0);
      EXPECT_EQ(pm.width(), 2 * side);
      EXPECT_EQ(pm.devicePixelRatio(), 2.0);
      // Something is drawn, and not a filled tile: both clear and inked pixels.
      QImage img = pm.toImage();
      int ink = 0;
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) ink += qAlpha(img.pixel(x, y)) > 128;
      EXPECT_GT(ink, img.width() * img.height() / 20);
      EXPECT_LT(ink, img.width() * img.height() * 9 / 10);
    }
    // Two commands or kinds never share a picture (the same command on two bars may).
    const QImage img = icon.pixmap(22, 22).toImage();
    for (const auto& [otherName, other] : seen) {
      if (otherName == name) continue;
      EXPECT_NE(img, other) << "same as " << otherName.toStdString();
    }
    seen[name] = img;
  }
}

TEST_F(ShellTest, TheEditorCountsLinesFromOneUnlessTheProfileSaysZero) {
  realEditors = true;
  Start();
  ChildFrame* child = window()->OpenDocumentFile(File("A.java", "class A {\n  int x;\n}\n"));
  auto* pane = qobject_cast<SourceEditorPane*>(child->Pane());
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(pane->Editor()->NumberBase(), 1);
  pane->GoToLine(1);
  EXPECT_EQ(window()->MessagePane()->text(), "(  2,  1)-(  2,  1) Ln   2, Col   1");
  // Go to Line takes the number the gutter shows: 3 is the third line.
  QTimer::singleShot(0, [] {
    auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->labelText().toStdString(), "Line (1 to 3):");
    input->setIntValue(3);
    input->accept();
  });
  window()->Router().Execute(cmd::kGoToLine);
  EXPECT_EQ(window()->MessagePane()->text(), "(  3,  1)-(  3,  1) Ln   3, Col   1");
  // The old numbering for windows opened after the setting.
  profile->WriteInt("Editor", "NumberFrom", 0);
  ChildFrame* other = window()->OpenDocumentFile(File("B.java", "class B {}\n"));
  EXPECT_EQ(qobject_cast<SourceEditorPane*>(other->Pane())->Editor()->NumberBase(), 0);
  EXPECT_EQ(window()->MessagePane()->text(), "(  0,  0)-(  0,  0) Ln   0, Col   0");
  // A new document holds nothing at all.
  ChildFrame* fresh = window()->NewDocument(1);
  EXPECT_EQ(fresh->Pane()->TextForSave(), "\n");
}

}  // namespace
}  // namespace tamso::gui::testing
