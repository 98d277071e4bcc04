#pragma once
// The "Options" sheet: the pages "Editor" (tab width, colour scheme, custom colours,
// separation lines), "Compiler ( javac )" (the global javac options) and "Etc."
// (web browser and Java source path). Colour and scheme choices are saved, and the
// open editors follow, at once; the rest is saved by OK for each page that was shown.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "options/options_pages.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTabWidget;

namespace tamso::gui {

class ColourSwatch;

struct OptionsContext {
  IniFile& profile;
  IHost& host;
  std::function<void()> refreshSourceViews;
  std::function<std::string()> getBrowserPath;
  std::function<void(const std::string&)> setBrowserPath;
};

class OptionsSheet : public QDialog {
  Q_OBJECT
 public:
  OptionsSheet(const OptionsContext& context, QWidget* parent = nullptr);

  // What the directory buttons ask; by default a directory dialog. "" when cancelled.
  void SetDirectoryChooser(std::function<QString(const QString& start)> chooser) {
    chooseDirectory_ = std::move(chooser);
  }
  // Runs the path list helper (class path, source path); by default the modal dialog.
  // Returns the new list, or no value when cancelled.
  using ListEditor = std::function<std::optional<QString>(const QString& list, char separator)>;
  void SetListEditor(ListEditor editor) { editList_ = std::move(editor); }

  QTabWidget* Tabs() const { return tabs_; }
  void accept() override;

 private:
  QWidget* MakeEditorPage();
  QWidget* MakeCompilerPage();
  QWidget* MakeEtcPage();
  void ShowScheme();
  void EditList(QLineEdit* edit, char separator);
  QWidget* MakeJdkBox(QWidget* page);
  void FillJdkCombo(const std::string& selected);
  bool TakeEditorPage();

  OptionsContext context_;
  EditorOptionsPage editor_;
  CompilerOptionsPage compiler_;
  EtcOptionsPage etc_;
  bool shown_[3] = {true, false, false};
  QTabWidget* tabs_ = nullptr;
  // Editor page
  QLineEdit* tabWidth_ = nullptr;
  QCheckBox* separationLines_ = nullptr;
  QCheckBox* indentSpaces_ = nullptr;
  QSpinBox* indentWidth_ = nullptr;
  QButtonGroup* schemes_ = nullptr;
  std::vector<ColourSwatch*> swatches_;
  // Compiler page
  QCheckBox* useDirectory_ = nullptr;
  QLineEdit* directory_ = nullptr;
  QCheckBox* useClassPath_ = nullptr;
  QLineEdit* classPath_ = nullptr;
  std::vector<QCheckBox*> switches_;
  QComboBox* jdk_ = nullptr;
  JdkChoices jdkChoices_;
  QLineEdit* release_ = nullptr;
  QLineEdit* extraOptions_ = nullptr;
  QLineEdit* testLauncher_ = nullptr;
  // Etc. page
  QLineEdit* browser_ = nullptr;
  QLineEdit* sourcePath_ = nullptr;
  std::function<QString(const QString&)> chooseDirectory_;
  ListEditor editList_;
};

// Runs the sheet modally (command 32777 and the editor's "Settings...").
void RunOptionsSheet(const OptionsContext& context, QWidget* parent);

}  // namespace tamso::gui
