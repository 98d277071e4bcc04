#include "project/project_settings_sheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <filesystem>
#include <fstream>

#include "core/project/project_fixture.h"

namespace tamso::testing {
namespace {

using ::testing::ElementsAre;

class SettingsSheetTest : public ProjectTest {
 protected:
  template <class T>
  T* Find(gui::ProjectSettingsSheet& sheet, const char* id) {
    T* w = sheet.findChild<T*>(QLatin1String(id));
    EXPECT_NE(w, nullptr) << id;
    return w;
  }
  QStringList Entries(gui::ProjectSettingsSheet& sheet) {
    QStringList v;
    auto* list = Find<QListWidget>(sheet, "1047");
    for (int i = 0; i < list->count(); ++i) v << list->item(i)->text();
    return v;
  }
};

TEST_F(SettingsSheetTest, FilesPageAddsRemovesAndMarksThroughTheProject) {
  OpenEmpty();
  project->AddFile(Path("A.java"), true);
  gui::ProjectSettingsSheet sheet(*project);
  EXPECT_EQ(sheet.windowTitle(), "Settings for the open project");
  EXPECT_EQ(sheet.Tabs()->tabText(0), "Files");
  EXPECT_EQ(sheet.Tabs()->tabText(1), "Compiler directories");
  EXPECT_EQ(Find<QLineEdit>(sheet, "1054")->text().toStdString(), Path("p.jap"));
  EXPECT_EQ(Entries(sheet), QStringList{"./A.java"});

  host.openFilesAnswers.push_back({Path("B.java"), Path("A.java"), "/lib/C.java"});
  Find<QPushButton>(sheet, "1050")->click();
  EXPECT_EQ(Entries(sheet),
            (QStringList{"./A.java", "./B.java", "./A.java", QString("/lib/C.java")}));
  EXPECT_THAT(host.beeps, ElementsAre(BeepKind::Default));
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./A.java", "./B.java", "/lib/C.java"));

  auto* list = Find<QListWidget>(sheet, "1047");
  Find<QPushButton>(sheet, "1018")->click();  // nothing selected: nothing happens
  EXPECT_EQ(list->count(), 4);
  list->setCurrentRow(1);
  Find<QPushButton>(sheet, "1019")->click();
  EXPECT_EQ(project->Members().MainIndex(), 1u);
  list->setCurrentRow(0);
  Find<QPushButton>(sheet, "1018")->click();
  EXPECT_EQ(Entries(sheet), (QStringList{"./B.java", "./A.java", QString("/lib/C.java")}));
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./B.java", "/lib/C.java"));
  sheet.reject();  // Cancel undoes nothing
  Project reopened(host, *profile);
  reopened.Open(Path("p.jap"));
  EXPECT_THAT(reopened.StoredPaths(), ElementsAre("./B.java", "/lib/C.java"));
  EXPECT_EQ(reopened.Members().MainIndex(), 0u);
}

TEST_F(SettingsSheetTest, AddFolderListsWhatItAddedBelowTheFolder) {
  OpenEmpty();
  Write("src/p/A.java", "package p; class A {}\n");
  Write("src/p/page.html", "<p>\n");
  Write("src/p/notes.txt", "x\n");
  gui::ProjectSettingsSheet sheet(*project);
  auto* button = Find<QPushButton>(sheet, "addFolder");
  EXPECT_EQ(button->text(), "Add folder...");
  host.folderAnswers.push_back(Path("src"));
  button->click();
  EXPECT_EQ(host.fileDialogs.back().initialDir, dir);
  EXPECT_EQ(Entries(sheet), (QStringList{"./src/p/A.java", "./src/p/page.html"}));
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./src/p/A.java", "./src/p/page.html"));
}

TEST_F(SettingsSheetTest, CompilerDirectoriesLoadWhenOpenedAndSaveOnOkOnly) {
  OpenEmpty();
  {
    gui::ProjectSettingsSheet sheet(*project);
    EXPECT_FALSE(Find<QCheckBox>(sheet, "1013")->isChecked());
    Find<QCheckBox>(sheet, "1013")->setChecked(true);
    Find<QLineEdit>(sheet, "1014")->setText("lib/a.jar:classes");
    sheet.SetDirectoryChooser([&](const QString& start) {
      EXPECT_EQ(start.toStdString(), dir);
      return QString::fromStdString(Path("out"));
    });
    Find<QPushButton>(sheet, "1015")->click();
    EXPECT_EQ(Find<QLineEdit>(sheet, "1023")->text().toStdString(), Path("out"));
    sheet.reject();
  }
  EXPECT_EQ(project->LoadCompilerDirectories(), CompilerDirectories{});
  {
    gui::ProjectSettingsSheet sheet(*project);
    Find<QCheckBox>(sheet, "1013")->setChecked(true);
    Find<QLineEdit>(sheet, "1014")->setText("lib/a.jar:classes");
    Find<QCheckBox>(sheet, "1022")->setChecked(true);
    Find<QLineEdit>(sheet, "1023")->setText("out");
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
  }
  EXPECT_EQ(project->LoadCompilerDirectories(),
            (CompilerDirectories{true, "lib/a.jar:classes", true, "out", ""}));
  gui::ProjectSettingsSheet again(*project);
  EXPECT_TRUE(Find<QCheckBox>(again, "1022")->isChecked());
  EXPECT_EQ(Find<QLineEdit>(again, "1014")->text(), "lib/a.jar:classes");
}

// The project's JDK: "Same as Settings" (no key in the project file), the javac on
// PATH whatever the settings say, or a JDK folder picked with "Browse...".
TEST_F(SettingsSheetTest, CompilerPageChoosesTheProjectsOwnJdk) {
  OpenEmpty();
  const std::string jdk = Path("jdk");
  std::filesystem::create_directories(jdk + "/bin");
  std::ofstream(jdk + "/bin/javac") << "#!/bin/sh\n";
  std::filesystem::permissions(jdk + "/bin/javac", std::filesystem::perms::owner_all);
  {
    gui::ProjectSettingsSheet sheet(*project);
    auto* combo = Find<QComboBox>(sheet, "jdk");
    EXPECT_EQ(combo->currentText(), "Same as Settings");
    EXPECT_EQ(combo->itemText(1), "Default (javac on PATH)");
    EXPECT_FALSE(combo->accessibleName().isEmpty());
    sheet.SetDirectoryChooser([&](const QString&) { return QString::fromStdString(jdk); });
    Find<QPushButton>(sheet, "jdkBrowse")->click();
    EXPECT_EQ(combo->currentText().toStdString(), "unknown version (" + jdk + ")");
    sheet.accept();
  }
  EXPECT_EQ(project->LoadCompilerDirectories().jdk, jdk);
  {
    gui::ProjectSettingsSheet sheet(*project);
    auto* combo = Find<QComboBox>(sheet, "jdk");
    EXPECT_EQ(combo->currentText().toStdString(), "unknown version (" + jdk + ")");
    combo->setCurrentIndex(1);
    sheet.accept();
  }
  EXPECT_EQ(project->LoadCompilerDirectories().jdk, "PATH");
  {
    gui::ProjectSettingsSheet sheet(*project);
    Find<QComboBox>(sheet, "jdk")->setCurrentIndex(0);
    sheet.accept();
  }
  EXPECT_EQ(project->LoadCompilerDirectories().jdk, "");
}

TEST_F(SettingsSheetTest, WithoutAProjectTheSheetIsEmptyAndAddingSaysWhy) {
  gui::ProjectSettingsSheet sheet(*project);
  EXPECT_EQ(Find<QLineEdit>(sheet, "1054")->text(), "");
  EXPECT_TRUE(Entries(sheet).isEmpty());
  host.openFilesAnswers.push_back({Path("A.java")});
  Find<QPushButton>(sheet, "1050")->click();
  EXPECT_THAT(host.MessageTexts(), ElementsAre("There is no open project"));
  EXPECT_TRUE(Entries(sheet).isEmpty());
  sheet.accept();
  EXPECT_EQ(sheet.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace tamso::testing
