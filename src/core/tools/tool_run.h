#pragma once
// Running a user tool (one of the ten tool commands of the Tools menu).
//
//  - Redirected, or with "reload after": a background job like the compile. The
//    build slot holds it (Stop Building ends the tool's process group; a compile or
//    another such tool is refused while it runs), the output streams into the output
//    window, and the window never waits for the tool.
//  - Otherwise the tool runs in a terminal (which stays open to show how it ended),
//    or on its own when there is none, and the program goes on at once.
//
// Nothing runs through a shell; the working directory is the child's own (the
// program's current directory, which an open project relies on, is left alone).

#include <memory>
#include <string>
#include <vector>

#include "jobs/build_job.h"

namespace tamso {

class IHost;
class IDocument;
class IniFile;

inline constexpr const char* kExecutingTool = "Executing custom tool...";

// The Tool Prompt dialog's fields.
struct ToolPrompt {
  std::string command;
  std::string arguments;
  std::string initialDir;
  std::string description;  // shown read-only; left empty
  bool redirect = false;
};

// What a tool run needs of the windows.
class IToolSite {
 public:
  virtual ~IToolSite() = default;
  // Shows the Tool Prompt dialog; false on Cancel, else the fields as the user left them.
  virtual bool PromptTool(ToolPrompt& prompt) = 0;
  // The open document of this path, or null (a closed document is not opened again).
  virtual IDocument* FindOpenDocument(const std::string& path) = 0;
  // Reads the document's file into its editor again; false with a sentence in *error.
  virtual bool ReloadDocument(IDocument& document, std::string* error) = 0;
  // Brings the output window into view.
  virtual void ShowOutput() {}
};

struct ToolRunContext {
  IHost& host;
  IniFile& profile;
  IBuildSlot& slot;
  IUiThread& ui;
  IToolSite& site;
  // A tool that is not redirected runs in a terminal, as Run Java does (when
  // inTerminal; otherwise, or when no terminal is found, it is started on its own).
  bool inTerminal = false;
  std::string terminal = {};     // as $TERMINAL gives it ("": look for one)
  std::string holdProgram = {};  // the hold helper ("": none)
};

// The "VOZ" message of a tool that could not be started.
std::string ToolSpawnFailureText(const std::string& commandLine);
// The last line of a redirected tool's output: "Exit status N", or "Ended by signal
// N" for an exit code of 128 + N.
std::string ToolEndLine(int exitCode);
// The message of a tool whose Initial Directory is not there (or is no folder).
std::string ToolDirectoryMissingText(const std::string& directory);

// What a tool run would start, worked out from the profile and the active document
// (the document is saved first when the tool says so). Empty argv: nothing is run.
struct ToolLaunch {
  std::vector<std::string> argv;
  std::string commandLine;  // as shown: command, one blank, arguments
  std::string directory;
  bool redirect = false;
  bool reloadAfter = false;
  std::string documentPath;  // the active document's path ("" without one)
};

// Steps up to the prompt: reads the slot's tool, saves the active source when asked,
// replaces the macros and shows the prompt. Nothing to run: argv is empty.
ToolLaunch PrepareTool(int slot, ToolRunContext& context);

// Starts a prepared tool; the running job (also handed to the slot), or null.
std::shared_ptr<IBuildJob> StartTool(const ToolLaunch& launch, ToolRunContext& context);

// PrepareTool, then StartTool.
std::shared_ptr<IBuildJob> RunTool(int slot, ToolRunContext& context);

// After a tool with "reload after": the open document of the path shows the file as
// the tool left it. Unsaved changes are only thrown away when the user says so.
void ReloadAfterTool(const std::string& path, ToolRunContext& context);

}  // namespace tamso
