#pragma once
// The "Java Console": the IDE's own pane for a program run with a private console,
// docked in the main window beside the output window. It shows the program's output
// and errors as they come (in an output view with the output window's byte-safe
// store and accessible text; terminal escapes taken out, stack-trace lines of the
// program's sources clickable), sends each typed line to the program's input (Enter
// sends, Ctrl+D ends the input, Ctrl+C interrupts the program's group), and has Stop
// (ends the program's process group) and Clear. A program that exits leaving children
// behind stays stoppable until they end too, and closing the console ends them. After
// the run ends it shows how the program ended and stays until reused by the next run.

#include <QWidget>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "jobs/ansi_text.h"
#include "jobs/run_commands.h"
#include "jobs/run_console.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tamso {
class IHost;
}

namespace tamso::gui {

class OutputBar;

class JavaConsole : public QWidget, public IJavaConsole {
  Q_OBJECT
 public:
  // At most this much output is moved into the view at a time, so that the window
  // keeps answering while a program floods it.
  static constexpr size_t kDrainChunk = size_t{256} << 10;
  // The console keeps the newest 32 MiB of output (older text is dropped, as in the
  // output window): a console program's flood needs no more, and each kept line costs
  // an index entry too.
  static constexpr size_t kTextCap = size_t{32} << 20;
  // And at most this many lines, whose index costs memory however short they are.
  static constexpr size_t kLineCap = size_t{4} << 20;

  JavaConsole(IHost& host, QWidget* parent = nullptr);
  ~JavaConsole() override;

  int Run(const std::vector<std::string>& args, const std::string& shownLine,
          const std::string& directory) override;
  void SetSourceRoots(const std::vector<std::string>& roots) override;
  // How the console is brought into view for a run (by default it shows itself).
  void SetReveal(std::function<void()> reveal) { reveal_ = std::move(reveal); }
  bool ProgramRunning() const;
  // Ctrl+C: SIGINT to the program's group.
  void InterruptProgram();
  // Ends the program now (its whole group) and waits for it.
  void EndProgram();
  void StopProgram();
  void SendLine(const QString& line);
  void CloseInput();
  void Clear();

  OutputBar* View() const { return view_; }
  QLineEdit* Input() const { return input_; }
  QPushButton* StopButton() const { return stop_; }
  QLabel* Status() const { return status_; }
  const ConsoleProcess* Process() const { return process_.get(); }

 signals:
  void programEnded(int waitStatus);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Drain();
  void Reveal();
  // Ends a program that still runs (off this thread); its end is shown first.
  void Retire();
  // The last line of a program's run, in the view and the status; Stop and input go.
  void ShowEnd(const std::string& end);
  // Before the console closes: asks whether to end what still runs, and ends it.
  // False when the answer was to keep it (the console stays).
  bool ConfirmClose();

  IHost& host_;
  OutputBar* view_;
  QLineEdit* input_;
  QPushButton* stop_;
  QPushButton* clear_;
  QLabel* status_;
  std::unique_ptr<ConsoleProcess> process_;
  std::shared_ptr<std::atomic<bool>> live_;  // the current process may still post
  bool drainQueued_ = false;
  bool endShown_ = true;
  bool leftShown_ = false;             // the status says the program ended and its children run
  std::vector<std::thread> retiring_;  // earlier programs being ended
  AnsiFilter ansi_;
  std::function<void()> reveal_;
};

}  // namespace tamso::gui
