#pragma once
// A main window with small in-memory editor panes and a host that answers from a
// script, over a profile in a temporary directory.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <deque>
#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "app/shell_application.h"
#include "app/start_banner.h"
#include "app/t2_app.h"
#include "editor/editor_pane.h"
#include "platform/atomic_file.h"
#include "platform/ini_file.h"
#include "platform/qt_host.h"

namespace tamso::gui::testing {

// Holds the file's bytes; serves Copy (57634) so routing can be seen.
class FakePane : public EditorPane {
 public:
  FakePane(ViewKind kind, QWidget* parent) : EditorPane(parent), kind_(kind) {
    setFocusPolicy(Qt::StrongFocus);
  }
  ViewKind Kind() const override { return kind_; }
  bool LoadFromFile(const std::string& path, std::string* error) override {
    std::string bytes;
    if (!ReadWholeFile(path, bytes, error)) return false;
    text = bytes;
    return true;
  }
  bool SaveToFile(const std::string& path, std::string* error) override {
    WriteResult r = WriteFileAtomically(path, text);
    if (!r.ok && error) *error = r.error;
    return r.ok;
  }
  bool IsModified() const override { return modified_; }
  void SetModified(bool modified) override {
    if (modified_ == modified) return;
    modified_ = modified;
    emit modifiedChanged(modified);
  }
  void GoToLine(int line) override { lastLine = line; }
  void ReloadSettings() override { ++reloads; }
  bool HandlesCommand(int id) const override { return id == 57634 || id == 32866; }
  bool IsCommandEnabled(int) const override { return true; }
  bool ExecuteCommand(int id) override {
    executed.push_back(id);
    return true;
  }
  void QuickFind(const std::string& t) override { found.push_back(t); }

  void Type(const std::string& more) {
    text += more;
    SetModified(true);
  }
  std::string text;
  int lastLine = -1;
  int reloads = 0;
  std::vector<int> executed;
  std::vector<std::string> found;

 private:
  ViewKind kind_;
  bool modified_ = false;
};

// The Qt host with the modal parts answered from a script.
class ScriptedHost : public QtHost {
 public:
  Answer MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                    MsgButtons buttons) override {
    messages.push_back(text);
    if (realMessageBoxes) return QtHost::MessageBox(text, caption, icon, buttons);
    if (!answers.empty()) {
      Answer a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons == MsgButtons::YesNoCancel ? Answer::Yes : Answer::Ok;
  }
  void Beep(BeepKind kind) override { beeps.push_back(kind); }
  std::optional<std::string> OpenFileDialog(const FileDialogOptions& o) override {
    openDialogs.push_back(o);
    return Take(openAnswers);
  }
  std::optional<std::string> SaveFileDialog(const FileDialogOptions& o) override {
    saveDialogs.push_back(o);
    return Take(saveAnswers);
  }
  std::optional<std::string> FolderDialog(const FileDialogOptions& o) override {
    openDialogs.push_back(o);
    return Take(folderAnswers);
  }
  bool realMessageBoxes = false;  // shown for real (the test closes them)
  std::deque<Answer> answers;
  std::deque<std::optional<std::string>> openAnswers, saveAnswers, folderAnswers;
  std::vector<std::string> messages;
  std::vector<BeepKind> beeps;
  std::vector<FileDialogOptions> saveDialogs, openDialogs;

 private:
  static std::optional<std::string> Take(std::deque<std::optional<std::string>>& q) {
    if (q.empty()) return std::nullopt;
    auto v = q.front();
    q.pop_front();
    return v;
  }
};

class NoProject : public IProjectModel {
 public:
  bool Create() override { return false; }
  bool Open(const std::string&) override { return false; }
  void Close() override {}
  bool IsOpen() const override { return false; }
};

class ShellTest : public ::testing::Test {
 protected:
  ShellTest() {
    char tmpl[] = "/tmp/tamso-gui-app-XXXXXX";
    dir = mkdtemp(tmpl);
    profile = std::make_unique<IniFile>(dir + "/tamso.INI");
  }
  ~ShellTest() override {
    shell.reset();
    std::filesystem::remove_all(dir);
  }

  // Starts the program's shell; the banner is taken away at once. With realEditors
  // the windows hold the program's own editor panes.
  void Start(std::vector<std::string> args = {}, bool keepBanner = false) {
    shell = std::make_unique<ShellApplication>(
        *profile, host, *model,
        [this](ViewKind kind, IniFile& ini, IHost& h, QWidget* parent) -> EditorPane* {
          if (realEditors) return CreateEditorPane(kind, ini, h, parent);
          auto* p = new FakePane(kind, parent);
          panes.push_back(p);
          return p;
        },
        nullptr);
    if (beforeStart) beforeStart(*shell);
    ASSERT_TRUE(shell->Start(ParseAppCommandLine(args)));
    if (!keepBanner && StartBanner::Current()) StartBanner::Current()->Hide();
  }
  MainWindow* window() { return shell->Window(); }

  std::string File(const std::string& name, const std::string& text = "class A {}\n") {
    std::string path = dir + "/" + name;
    std::ofstream(path) << text;
    return path;
  }
  std::vector<QString> MenuTitles() {
    std::vector<QString> v;
    for (QAction* a : window()->menuBar()->actions()) v.push_back(a->text());
    return v;
  }
  QMenu* TopMenu(const QString& title) {
    for (QAction* a : window()->menuBar()->actions())
      if (a->text() == title) return a->menu();
    return nullptr;
  }
  // Opens the menu's contents as entering it does, without showing it.
  std::vector<QString> OpenMenu(const QString& title) {
    QMenu* m = TopMenu(title);
    if (!m) return {};
    emit m->aboutToShow();
    std::vector<QString> v;
    for (QAction* a : m->actions()) v.push_back(a->isSeparator() ? "-" : a->text());
    return v;
  }
  QAction* MenuAction(const QString& title, int id) {
    QMenu* m = TopMenu(title);
    if (!m) return nullptr;
    emit m->aboutToShow();
    return m->findChild<QAction*>(QString::number(id));
  }

  std::string dir;
  std::unique_ptr<IniFile> profile;
  ScriptedHost host;
  NoProject project;
  IProjectModel* model = &project;
  bool realEditors = false;
  // Runs once the shell exists, before it starts (to install what the program installs).
  std::function<void(ShellApplication&)> beforeStart;
  std::unique_ptr<ShellApplication> shell;
  std::vector<QPointer<FakePane>> panes;
};

}  // namespace tamso::gui::testing
