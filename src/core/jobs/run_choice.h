#pragma once
// What Run Java offers in its dialog and what it keeps of what the user typed there.
//
// The class offered is the active Java file's when it declares a main, else the open
// project's main file's, else the last one run. The directory offered is the class's
// source root (or the project's folder). What the user types is kept in the open
// project's file (section "RunJava"), or, for a class outside it, in the profile per class
// (section "RunJava:" and the class), and offered the next time with the console tick.
// A class with nothing kept starts from the last run's command, and from its options
// and arguments only when it is the last run's class.
// The global "RunJava" keys are still written, as the last run.

#include <optional>
#include <string>

#include "jobs/run_java.h"

namespace tamso {

class IDocument;
class IniFile;
class Project;

inline constexpr const char* kRunChoicePrefix = "RunJava:";

struct RunOffer {
  RunJavaValues values;      // what the dialog opens with
  std::string source;        // the Java file whose class is offered ("" none)
  std::string sourceRoot;    // its source root ("" unknown)
  std::string offeredClass;  // the class worked out from the source, unquoted ("" none)
  std::string offeredDirectory;
  bool inProject = false;    // the open project encloses the source
  bool singleFile = false;   // run as "java File.java": no class file, outside any project
  std::string note;          // for the status bar ("" none)
  // Set when nothing can run: the message to show instead of the dialog.
  std::optional<std::string> refusal;
};

// Works out the offer for the active document (may be null) and the project (open
// or not; may be null).
RunOffer MakeRunOffer(const IniFile& profile, const Project* project, IDocument* document);

// Keeps what the user ran with, for the next offer: in the project's file when a
// project is open, else per class in the profile; and the global keys. A directory
// equal to the one offered is not kept, so the next class gets its own.
void KeepRunChoice(IniFile& profile, const Project* project, const RunOffer& offer,
                   const RunJavaValues& chosen);

// The section of the profile that keeps a class's choice ("" when the class name
// is not one a section can hold).
std::string RunChoiceSection(const std::string& className);

// "Name declares no main method." (a file with another class that has one offers
// that class instead).
std::string NoMainNote(const std::string& className);

}  // namespace tamso
