#pragma once
// The dialogs of the Tools menu: "Tools customization", "Tool Prompt" and
// "Find in files   ( fgrep )". Each is a thin face over its core model; every
// control carries an accessible name.

#include <QDialog>
#include <memory>

#include "tools/find_in_files.h"
#include "tools/tool_run.h"
#include "tools/tools_customization.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tamso::gui {

class ToolsDialog : public QDialog {
  Q_OBJECT
 public:
  ToolsDialog(IniFile& profile, IHost& host, QWidget* parent = nullptr);

  ToolsCustomization& Model() { return model_; }
  QListWidget* List() const { return list_; }
  QLineEdit* MenuText() const { return menuText_; }
  QLineEdit* Command() const { return command_; }
  QLineEdit* Arguments() const { return args_; }
  QLineEdit* InitialDir() const { return initDir_; }
  QCheckBox* PromptSwitch() const { return prompt_; }
  QCheckBox* RedirectSwitch() const { return redirect_; }
  QCheckBox* ReloadSwitch() const { return reload_; }
  QCheckBox* SaveSwitch() const { return save_; }
  QPushButton* AddButton() const { return add_; }
  QPushButton* RemoveButton() const { return remove_; }
  QPushButton* UpButton() const { return up_; }
  QPushButton* DownButton() const { return down_; }
  QPushButton* DoneButton() const { return done_; }

  void accept() override;

 private:
  ToolDefinition Controls() const;
  void Show();

  ToolsCustomization model_;
  bool showing_ = false;
  QListWidget* list_;
  QLineEdit* menuText_;
  QLineEdit* command_;
  QLineEdit* args_;
  QLineEdit* initDir_;
  QCheckBox* prompt_;
  QCheckBox* redirect_;
  QCheckBox* reload_;
  QCheckBox* save_;
  QPushButton* add_;
  QPushButton* remove_;
  QPushButton* up_;
  QPushButton* down_;
  QPushButton* done_;
};

class ToolPromptDialog : public QDialog {
  Q_OBJECT
 public:
  explicit ToolPromptDialog(const ToolPrompt& values, QWidget* parent = nullptr);
  ToolPrompt Values() const;

  QLineEdit* Command() const { return command_; }
  QLineEdit* Arguments() const { return args_; }
  QLineEdit* InitialDir() const { return initDir_; }
  QCheckBox* RedirectSwitch() const { return redirect_; }

 private:
  QLineEdit* command_;
  QLineEdit* args_;
  QLineEdit* initDir_;
  QLineEdit* description_;
  QCheckBox* redirect_;
};

class FindInFilesDialog : public QDialog {
  Q_OBJECT
 public:
  FindInFilesDialog(IHost& host, IniFile& profile, IBuildSlot& slot, IUiThread& ui,
                    const std::string& defaultDirectory, QWidget* parent = nullptr);
  ~FindInFilesDialog() override;

  QLineEdit* SearchText() const { return text_; }
  QLineEdit* Directory() const { return directory_; }
  QComboBox* Filter() const { return filter_; }
  QCheckBox* Recurse() const { return recurse_; }
  QCheckBox* Verbose() const { return verbose_; }
  QPushButton* SearchButton() const { return search_; }
  QPushButton* BrowseButton() const { return browse_; }
  QPushButton* StopButton() const { return stop_; }
  QLabel* Progress() const { return progress_; }
  bool Searching() const { return find_.Running(); }

  void accept() override;
  void reject() override;

 private:
  void SetSearching(bool on);

  FindInFiles find_;
  QLineEdit* text_;
  QLineEdit* directory_;
  QComboBox* filter_;
  QCheckBox* recurse_;
  QCheckBox* verbose_;
  QPushButton* search_;
  QPushButton* cancel_;
  QPushButton* browse_;
  QPushButton* stop_;
  QLabel* progress_;
};

}  // namespace tamso::gui
