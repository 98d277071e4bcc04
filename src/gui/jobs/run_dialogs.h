#pragma once
// The run commands' dialogs: "Run Java " (the interpreter's command line, shown
// as it is typed) and "Run" (an HTML page for the AppletViewer or the browser).

#include <QDialog>
#include <optional>

#include "jobs/run_commands.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace tamso {
class IHost;
}

namespace tamso::gui {

class RunJavaDialog : public QDialog {
  Q_OBJECT
 public:
  RunJavaDialog(const RunJavaValues& values, QWidget* parent = nullptr);
  RunJavaValues Values() const;
  QString ShownLine() const;
  QLineEdit* CommandEdit() const { return command_; }
  QLineEdit* OptionsEdit() const { return options_; }
  QLineEdit* ClassEdit() const { return class_; }
  QLineEdit* ArgumentsEdit() const { return arguments_; }
  QLineEdit* DirectoryEdit() const { return directory_; }
  QCheckBox* ConsoleCheck() const { return console_; }

 private:
  void Recompose();
  RunJavaValues base_;
  QLabel* line_;
  QLineEdit* command_;
  QLineEdit* options_;
  QLineEdit* class_;
  QLineEdit* arguments_;
  QLineEdit* directory_;
  QCheckBox* console_;
};

class RunHtmlDialog : public QDialog {
  Q_OBJECT
 public:
  RunHtmlDialog(IHost& host, const std::string& command, const std::string& html,
                const std::vector<std::string>& pages, QWidget* parent = nullptr);
  RunHtmlChoice Choice() const;
  QComboBox* HtmlCombo() const { return html_; }
  QLineEdit* CommandEdit() const { return command_; }
  void accept() override;

 private:
  IHost& host_;
  QComboBox* html_;
  QLineEdit* command_;
};

// The dialogs as the run commands see them.
class QtRunDialogs : public IRunDialogs {
 public:
  QtRunDialogs(IHost& host, QWidget* parent) : host_(host), parent_(parent) {}
  std::optional<RunJavaValues> RunJava(const RunJavaValues& initial) override;
  std::optional<RunHtmlChoice> RunHtml(const std::string& command, const std::string& html,
                                       const std::vector<std::string>& pages) override;

 private:
  IHost& host_;
  QWidget* parent_;
};

}  // namespace tamso::gui
