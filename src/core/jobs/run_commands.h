#pragma once
// The three run commands of every editor view: Run Java (32812), Run AppletViewer
// (32774) and Launch Web browser (32775). Each shows its dialog, then starts the
// command line it composed, split into arguments and never through a shell.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jobs/build_job.h"
#include "jobs/run_java.h"

namespace tamso {

class IHost;
class IDocument;
class IniFile;
class Project;

struct RunHtmlChoice {
  std::string command;
  std::string html;
};

// The dialogs of the run commands, shown modally.
class IRunDialogs {
 public:
  virtual ~IRunDialogs() = default;
  // The "Run Java " dialog with these values; nullopt on Cancel.
  virtual std::optional<RunJavaValues> RunJava(const RunJavaValues& initial) = 0;
  // The "Run" dialog: the command, the page and the project's pages for its list.
  // Its OK accepts only a page that passes HasFileUrlPrefix. nullopt on Cancel.
  virtual std::optional<RunHtmlChoice> RunHtml(const std::string& command, const std::string& html,
                                               const std::vector<std::string>& pages) = 0;
};

// The IDE's own "Java Console" window.
class IJavaConsole {
 public:
  virtual ~IJavaConsole() = default;
  // Shows the console (cleared, or reused from the last run) and starts args in it;
  // a program still running there is ended first. 0, or the errno of the failure.
  virtual int Run(const std::vector<std::string>& args, const std::string& shownLine,
                  const std::string& directory) = 0;
  // Where names in the program's stack traces are looked for (the project's source
  // roots, then the class's own).
  virtual void SetSourceRoots(const std::vector<std::string>& roots) { (void)roots; }
};

struct RunContext {
  IHost& host;
  IniFile& profile;
  IBuildSlot& slot;
  IUiThread& ui;
  IRunDialogs& dialogs;
  IJavaConsole* console = nullptr;        // null: no private console
  const Project* project = nullptr;       // the project object (open or not); may be null
  std::string htmlPage = {};              // the main frame's HTML page text
  std::string browserPath = {};           // "Browser" "Path"
  std::string holdProgram = {};           // the hold helper for the terminal ("": none)
  std::string terminal = {};              // as $TERMINAL gives it
  std::function<void()> showOutput = {};  // shows the output window; may be empty
  // Runs fn later with a context as valid as this one (for a run that waits for its
  // compile); may be empty, and then nothing is compiled first.
  std::function<void(std::function<void(RunContext&)>)> reenter = {};
};

// What Run Java starts once the dialog has closed (and any compile has succeeded).
struct RunJavaLaunch {
  std::vector<std::string> args;
  std::string line;     // the command line, for messages
  std::string heading;  // what the console shows above the output
  std::string directory;
  bool privateConsole = false;
};

// Starts a launch in the console or a terminal, saying so when it cannot start.
void StartRunJavaLaunch(const RunJavaLaunch& launch, RunContext& context);

// Run Java for the active document (may be null): offers the class (see run_choice.h),
// shows the dialog, compiles the class's source first when it has no class file or
// one older than the source, then starts it.
void RunJavaCommand(IDocument* document, RunContext& context);
// Run AppletViewer: the captured run goes to a background job (returned, and given
// to the build slot), so Stop Building ends it. Null when nothing was started.
std::shared_ptr<IBuildJob> AppletViewerCommand(IDocument& document, RunContext& context);
void LaunchBrowserCommand(IDocument& document, RunContext& context);

}  // namespace tamso
