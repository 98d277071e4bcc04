#pragma once
// The project settings sheet: the "Files" page (members, add, remove, mark the main
// file; every action reaches the project file at once) and the "Compiler directories"
// page (class path and output directory of this project, saved on OK).

#include <QDialog>
#include <functional>
#include <memory>

#include "options/options_pages.h"
#include "project/settings_pages.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QTabWidget;

namespace tamso::gui {

class ProjectSettingsSheet : public QDialog {
  Q_OBJECT
 public:
  ProjectSettingsSheet(Project& project, QWidget* parent = nullptr);

  // What the output directory's "..." button asks; by default a directory dialog.
  // Returns "" when cancelled.
  void SetDirectoryChooser(std::function<QString(const QString& start)> chooser) {
    chooseDirectory_ = std::move(chooser);
  }

  QTabWidget* Tabs() const { return tabs_; }
  void accept() override;

 private:
  QWidget* MakeFilesPage();
  QWidget* MakeCompilerPage();
  QWidget* MakeJdkBox(QWidget* page);
  void FillJdkCombo(const std::string& setting);
  std::string JdkSetting() const;
  void RefillList();
  std::size_t SelectedEntry() const;

  Project& project_;
  ProjectFilesPage files_;
  CompilerDirectoriesPage compiler_;
  QTabWidget* tabs_ = nullptr;
  QListWidget* list_ = nullptr;
  QCheckBox* useClassPath_ = nullptr;
  QLineEdit* classPath_ = nullptr;
  QCheckBox* useDirectory_ = nullptr;
  QLineEdit* directory_ = nullptr;
  // The project's JDK: "Same as Settings", then the settings page's choices.
  QComboBox* jdk_ = nullptr;
  JdkChoices jdkChoices_;
  std::function<QString(const QString&)> chooseDirectory_;
};

// Runs the sheet modally (command 32840 and the tree's pop-up).
void RunProjectSettingsSheet(Project& project, QWidget* parent);

}  // namespace tamso::gui
