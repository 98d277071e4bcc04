#include "codegen/code_wizard_sheet.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/source_document.h"
#include "app/view_commands.h"
#include "codegen/codegen_commands.h"
#include "codegen/new_class_dialog.h"
#include "codegen/skeleton_dialog.h"
#include "codegen_gui_support.h"

namespace tamso::gui::testing {
namespace {

constexpr const char* kSource =
    "import java.awt.*;\n"
    "public class Clock extends Frame {\n"
    "  Button start, stop;\n"
    "  Label time;\n"
    "  int ticks;\n"
    "  public Clock() {\n"
    "    super(\"Clock\");\n"
    "  }\n"
    "  public boolean handleEvent(Event e) {\n"
    "    return false;\n"
    "  }\n"
    "}\n"
    "class Helper {\n"
    "  void help() {}\n"
    "}\n";

QStringList Texts(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

class CodeWizardTest : public ShellTest {
 protected:
  CodeWizardTest() {
    profile->WriteString("Skeletons", "DESIGNER",
                         File("designer.skl",
                              "//{{{Classes\n//{{Frame\npublic class $SEL$ extends "
                              "java.awt.Frame {\n}\n//}}\n"));
    realEditors = true;
  }
  ~CodeWizardTest() override { SetViewCommand(cmd::kInsertSkeleton, {}); }
  void StartWithClock() {
    Start();
    InstallCodegenCommands(*shell, *profile, host);
    clock = window()->OpenDocumentFile(File("Clock.java", kSource));
    ASSERT_TRUE(clock);
  }
  // Runs the wizard (Ctrl+W) with step inside it.
  void RunWizard(std::function<void(ClassWizardSheet*)> step) {
    WhenModal<ClassWizardSheet>(std::move(step));
    window()->Router().Execute(cmd::kClassWizard);
  }
  ChildFrame* clock = nullptr;
};

TEST_F(CodeWizardTest, PageListsTheActiveDocumentsClassesComponentsAndEvents) {
  StartWithClock();
  bool ran = false;
  RunWizard([&](ClassWizardSheet* sheet) {
    ran = true;
    EXPECT_EQ(sheet->windowTitle(), "Tamso Code Wizard");
    EXPECT_EQ(sheet->Tabs()->count(), 1);
    EXPECT_EQ(sheet->Tabs()->tabText(0), "Java Code Wizard");
    EXPECT_EQ(sheet->FileField()->text().toStdString(), dir + "/Clock.java");
    EXPECT_TRUE(sheet->FileField()->isReadOnly());
    ASSERT_EQ(sheet->ClassBox()->count(), 2);
    EXPECT_EQ(sheet->ClassBox()->itemText(0), "Clock");
    EXPECT_EQ(sheet->ClassBox()->itemText(1), "Helper");
    EXPECT_EQ(Texts(sheet->Components()), (QStringList{"start", "stop", "time"}));
    EXPECT_EQ(Texts(sheet->MemberFunctions()), (QStringList{"Clock", "handleEvent"}));
    EXPECT_EQ(sheet->Events()->count(), 0);

    sheet->Components()->setCurrentRow(1);
    const QStringList events = Texts(sheet->Events());
    ASSERT_EQ(events.size(), 28);
    EXPECT_EQ(events.front(), "ACTION_EVENT");
    EXPECT_EQ(events.back(), "WINDOW_MOVED");
    QStringList sorted = events;
    sorted.sort();
    EXPECT_EQ(events, sorted);
    sheet->Components()->clearSelection();
    EXPECT_EQ(sheet->Events()->count(), 0);

    sheet->ClassBox()->setCurrentIndex(1);
    EXPECT_TRUE(Texts(sheet->Components()).isEmpty());
    EXPECT_EQ(Texts(sheet->MemberFunctions()), (QStringList{"help"}));

    for (int id : {1061, 1018, 1020}) EXPECT_FALSE(sheet->Button(id)->isEnabled()) << id;
    for (int id : {1019, 1063}) EXPECT_TRUE(sheet->Button(id)->isEnabled()) << id;
    // Every control can be told apart on the accessibility bus.
    for (QWidget* w : sheet->findChildren<QWidget*>()) {
      const bool input = qobject_cast<QListWidget*>(w) || qobject_cast<QComboBox*>(w) ||
                         qobject_cast<QLineEdit*>(w);
      if (input && w->parentWidget() != sheet->ClassBox()) {
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
      }
      if (auto* b = qobject_cast<QPushButton*>(w)) {
        EXPECT_FALSE(b->text().isEmpty());
      }
    }
    sheet->reject();
  });
  EXPECT_TRUE(ran);
}

TEST_F(CodeWizardTest, CtrlWInADocumentWindowOpensTheWizard) {
  StartWithClock();
  window()->show();
  window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  EditorOf(clock)->setFocus();
  bool ran = false;
  QPointer<QTimer> step = WhenModal<ClassWizardSheet>([&](ClassWizardSheet* sheet) {
    ran = true;
    sheet->reject();
  });
  QTest::keyClick(EditorOf(clock), Qt::Key_W, Qt::ControlModifier);
  EXPECT_TRUE(ran);
  delete step.data();
}

TEST_F(CodeWizardTest, EditCodeMovesTheEditorToTheMemberAndClosesTheSheet) {
  StartWithClock();
  RunWizard([](ClassWizardSheet* sheet) {
    // Nothing chosen: a beep, and the sheet stays.
    QTest::mouseClick(sheet->Button(1019), Qt::LeftButton);
    EXPECT_TRUE(sheet->isVisible());
    QListWidgetItem* item = sheet->MemberFunctions()->item(1);
    sheet->MemberFunctions()->setCurrentItem(item);
    emit sheet->MemberFunctions()->itemDoubleClicked(item);
  });
  EXPECT_EQ(host.beeps.size(), 1u);
  // The caret goes to the member; its line was in view already, so the view stays.
  EXPECT_EQ(EditorOf(clock)->Store().Caret().line, 8);
  EXPECT_EQ(EditorOf(clock)->FirstVisibleLine(), 0);
}

TEST_F(CodeWizardTest, CancellingTheNewClassDialogEndsTheFlow) {
  StartWithClock();
  bool skeletonsShown = false;
  QPointer<QTimer> guard;
  RunWizard([&](ClassWizardSheet* sheet) {
    WhenModal<NewClassDialog>([&, sheet](NewClassDialog* d) {
      EXPECT_EQ(d->windowTitle(), "Create new class");
      EXPECT_EQ(d->ClassName()->text(), "Unknown");
      EXPECT_EQ(d->SourceFile()->text(), "This FileName");
      EXPECT_EQ(d->TypeBox()->currentIndex(), -1);
      EXPECT_EQ(d->TypeBox()->count(), 7);
      EXPECT_EQ(d->TypeBox()->itemText(0), "Applet");
      EXPECT_EQ(d->findChild<QPushButton*>("1")->text(), "Choose skeleton >>");
      guard = WhenModal<SkeletonDialog>([&](SkeletonDialog* s) {
        skeletonsShown = true;
        s->reject();
      });
      d->reject();
      QTimer::singleShot(0, sheet, &QDialog::reject);
    });
    QTest::mouseClick(sheet->Button(1063), Qt::LeftButton);
  });
  EXPECT_FALSE(skeletonsShown);
  delete guard.data();
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(CodeWizardTest, CancelledSkeletonsStillShowTheEmptyMessage) {
  StartWithClock();
  RunWizard([](ClassWizardSheet* sheet) {
    WhenModal<NewClassDialog>([sheet](NewClassDialog* d) {
      WhenModal<SkeletonDialog>([sheet](SkeletonDialog* s) {
        EXPECT_EQ(s->windowTitle(), "Program Skeletons for the Designer");
        s->reject();
        QTimer::singleShot(0, sheet, &QDialog::reject);
      });
      d->accept();
    });
    QTest::mouseClick(sheet->Button(1063), Qt::LeftButton);
  });
  EXPECT_EQ(host.messages, (std::vector<std::string>{""}));
  EXPECT_EQ(window()->Documents().size(), 1u);
}

TEST_F(CodeWizardTest, NewClassIsShownThenOpenedAsAnUnsavedDocument) {
  StartWithClock();
  RunWizard([](ClassWizardSheet* sheet) {
    WhenModal<NewClassDialog>([](NewClassDialog* d) {
      d->ClassName()->setText("Stopwatch");
      WhenModal<SkeletonDialog>([](SkeletonDialog* s) {
        const auto items = s->Tree()->findItems("Frame", Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(items.size(), 1);
        s->Tree()->setCurrentItem(items.front());
        QTest::mouseClick(s->findChild<QPushButton*>("1"), Qt::LeftButton);
      });
      QTest::mouseClick(d->findChild<QPushButton*>("1"), Qt::LeftButton);
    });
    QTest::mouseClick(sheet->Button(1063), Qt::LeftButton);
  });
  const std::string text = "public class Stopwatch extends java.awt.Frame {\n}";
  EXPECT_EQ(host.messages, (std::vector<std::string>{text}));
  ASSERT_EQ(window()->Documents().size(), 2u);
  ChildFrame* created = window()->ActiveChild();
  ASSERT_TRUE(created && created != clock);
  EXPECT_EQ(created->Kind(), ViewKind::Java);
  EXPECT_EQ(created->Doc()->Title(), "Stopwatch");
  EXPECT_TRUE(created->Doc()->PathName().empty());
  EXPECT_TRUE(created->Doc()->IsModified());
  EXPECT_EQ(StoreText(EditorOf(created)->Store()), text);
}

TEST_F(CodeWizardTest, TheTypeOfClassChoosesTheSkeletonAndTheSourceFileNamesTheDocument) {
  profile->WriteString(
      "Skeletons", "DESIGNER",
      File("designer2.skl",
           "//{{{Classes\n//{{Applet\npublic class $SEL$ extends Applet {\n}\n//}}\n"
           "//{{Frame\npublic class $SEL$ extends Frame {\n}\n//}}\n"));
  StartWithClock();
  QString chosen;
  RunWizard([&chosen](ClassWizardSheet* sheet) {
    WhenModal<NewClassDialog>([&chosen, sheet](NewClassDialog* d) {
      d->TypeBox()->setCurrentIndex(d->TypeBox()->findText("Frame"));
      d->ClassName()->setText("Stopwatch");
      d->SourceFile()->setText("/home/me/src/Timing.java");
      WhenModal<SkeletonDialog>([&chosen, sheet](SkeletonDialog* s) {
        if (s->Tree()->currentItem()) chosen = s->Tree()->currentItem()->text(0);
        QTest::mouseClick(s->findChild<QPushButton*>("1"), Qt::LeftButton);
        if (s->isVisible()) s->reject();  // Insert had nothing to insert
        // A sheet that opened no document stays: it is closed so the test goes on.
        QTimer::singleShot(0, sheet, &QDialog::reject);
      });
      QTest::mouseClick(d->findChild<QPushButton*>("1"), Qt::LeftButton);
    });
    QTest::mouseClick(sheet->Button(1063), Qt::LeftButton);
  });
  EXPECT_EQ(chosen, "Frame");
  const std::string text = "public class Stopwatch extends Frame {\n}";
  EXPECT_EQ(host.messages, (std::vector<std::string>{text}));
  ChildFrame* created = window()->ActiveChild();
  ASSERT_TRUE(created && created != clock);
  EXPECT_EQ(created->Doc()->Title(), "Timing.java");
  EXPECT_EQ(StoreText(EditorOf(created)->Store()), text);
  // Save As offers that name.
  host.saveAnswers = {std::nullopt};
  EXPECT_FALSE(window()->SaveDocumentAs(created->Doc()));
  ASSERT_EQ(host.saveDialogs.size(), 1u);
  EXPECT_EQ(host.saveDialogs[0].initialFile, "Timing.java");
}

}  // namespace
}  // namespace tamso::gui::testing
