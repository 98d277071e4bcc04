#pragma once
// "Tamso Code Wizard": a sheet with the one page "Java Code Wizard" (template 149)
// listing the active Java document's classes, a class's components and member
// functions, and the AWT events of the chosen component; "Create new class..."
// makes a class from the designer skeletons.

#include <QDialog>
#include <functional>
#include <string>

#include "codegen/code_wizard.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace tamso {
class IHost;
class IniFile;
}  // namespace tamso

namespace tamso::gui {

struct WizardContext {
  WizardPage page;  // the active Java document (empty without one)
  // Moves the editor to the member of the class; false (after a beep) when it is not found.
  std::function<bool(const std::string& className, const std::string& member)> showMember;
  // Opens a generated class as a new, unsaved Java document of that name.
  std::function<void(const std::string& documentName, const std::string& text)> openAsDocument;
};

class ClassWizardSheet : public QDialog {
  Q_OBJECT
 public:
  ClassWizardSheet(WizardContext context, IniFile& profile, IHost& host, QWidget* parent = nullptr);

  QTabWidget* Tabs() const { return tabs_; }
  QComboBox* ClassBox() const { return classBox_; }
  QLineEdit* FileField() const { return file_; }
  QListWidget* Components() const { return components_; }
  QListWidget* Events() const { return events_; }
  QListWidget* MemberFunctions() const { return members_; }
  QPushButton* Button(int id) const;

 private:
  void OnClassChanged();
  void OnComponentChanged();
  void EditCode();
  void CreateClass();

  WizardContext context_;
  IniFile& profile_;
  IHost& host_;
  QTabWidget* tabs_ = nullptr;
  QComboBox* classBox_ = nullptr;
  QLineEdit* file_ = nullptr;
  QListWidget* components_ = nullptr;
  QListWidget* events_ = nullptr;
  QListWidget* members_ = nullptr;
};

}  // namespace tamso::gui
