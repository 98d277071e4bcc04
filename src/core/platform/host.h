#pragma once
// The host: every way the core talks to the user or to the window system.
// The gui implements it with Qt; tests implement it with a recording fake.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tamso {

enum class MsgIcon { None, Information, Question, Exclamation, Stop };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

// The kinds of the classic message beep.
enum class BeepKind {
  Default,      // MessageBeep(0)
  Hand,         // MB_ICONHAND, the error beep
  Exclamation,  // MB_ICONEXCLAMATION
  Asterisk,     // MB_ICONASTERISK
  Question,     // MB_ICONQUESTION
};

const char* ToString(BeepKind kind);
const char* ToString(Answer answer);

struct FileDialogOptions {
  std::string title;        // empty: the dialog's own default title
  std::string defaultExt;   // without the dot, e.g. "jap"
  std::string filter;       // "Java Files (*.java)|*.java|All Files (*)|*" or empty
  std::string initialFile;  // file name or full path to preselect
  std::string initialDir;   // directory to start in; empty: current directory
  bool overwritePrompt = false;
};

// The output window as the core sees it.
class IOutput {
 public:
  virtual ~IOutput() = default;
  // Replaces all text of the output window.
  virtual void SetOutput(const std::string& text) = 0;
  // Appends text; with newLineFirst a line break goes before it.
  virtual void AppendOutput(const std::string& text, bool newLineFirst) = 0;
  // The directory the tool whose output follows runs in: relative file names in
  // the output are taken from it.
  virtual void SetReferenceDirectory(const std::string& dir) { (void)dir; }
  // The source roots below which the sources of stack-trace lines are looked for.
  virtual void SetReferenceRoots(const std::vector<std::string>& roots) { (void)roots; }
  // Selects the next (or previous) line of the output that names a file and line
  // and opens that place; false (after a beep) when there is none.
  virtual bool GoToReference(bool forward) {
    (void)forward;
    return false;
  }
  // Brings what was appended on screen at once rather than with the next coalesced
  // refresh: for the last lines of a run, which the user is waiting for.
  virtual void ShowNow() {}
};

// A document as the core sees it.
class IDocument {
 public:
  virtual ~IDocument() = default;
  virtual std::string PathName() const = 0;  // full path; empty for a new document
  virtual std::string Title() const = 0;
  virtual bool IsModified() const = 0;
  // Saves the document (asks for a name when it has none); false when it was not saved.
  virtual bool Save() = 0;
};

enum class ViewKind { Html, Java, Perl, Other };

// An editor view as the core sees it.
class IView {
 public:
  virtual ~IView() = default;
  virtual ViewKind Kind() const = 0;
  virtual IDocument* Document() = 0;
  // Puts the caret at the start of the 0-based line and scrolls it into view.
  virtual void GoToLine(int line) = 0;
  // Puts the caret on the 0-based line at a character as compilers count them (a tab
  // one, a character outside the basic plane two; past the end: the line's end).
  virtual void GoToLineCharacter(int line, int character) {
    (void)character;
    GoToLine(line);
  }
};

// A long task in the user-interface thread as the user sees it: a window with a
// title, a line of text (a count) and Cancel. It goes when the object does.
class IProgress {
 public:
  virtual ~IProgress() = default;
  // Shows text and lets the windows keep up; false once the user chose Cancel.
  virtual bool Update(const std::string& text) = 0;
};

class IHost {
 public:
  virtual ~IHost() = default;

  // Shows a modal message box and returns the button chosen. An empty caption
  // means the application's own title.
  virtual Answer MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                            MsgButtons buttons) = 0;
  // The plain application message box: OK only, no caption of its own.
  Answer Message(const std::string& text) {
    return MessageBox(text, std::string(), MsgIcon::Exclamation, MsgButtons::Ok);
  }

  virtual void Beep(BeepKind kind) = 0;

  // Wait cursor nesting; use ScopedWaitCursor rather than these two.
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;

  // File dialogs. No value (or an empty list) means the user cancelled.
  virtual std::optional<std::string> OpenFileDialog(const FileDialogOptions& options) = 0;
  virtual std::optional<std::string> SaveFileDialog(const FileDialogOptions& options) = 0;
  virtual std::vector<std::string> OpenFilesDialog(const FileDialogOptions& options) = 0;
  // A folder chooser (title and initialDir of options are used).
  virtual std::optional<std::string> FolderDialog(const FileDialogOptions& options) {
    (void)options;
    return std::nullopt;
  }
  // Colour as 0x00BBGGRR; no value means cancelled.
  virtual std::optional<std::uint32_t> ColorDialog(std::uint32_t initial) = 0;

  // Opens the path as a document (an open one is activated); the view it shows in,
  // or null when it could not be opened (the host has told the user why).
  virtual IView* OpenDocument(const std::string& path) = 0;
  virtual IView* ActiveView() = 0;
  virtual IDocument* ActiveDocument() = 0;

  virtual IOutput& Output() = 0;

  // A passing note for the user in the status bar (no answer is needed).
  virtual void ShowStatus(const std::string& text) { (void)text; }

  // Begins showing the progress of a long task (null: the host shows none). A host
  // may wait a moment before the window appears, so a short task shows nothing.
  virtual std::unique_ptr<IProgress> BeginProgress(const std::string& title) {
    (void)title;
    return nullptr;
  }
};

class ScopedWaitCursor {
 public:
  explicit ScopedWaitCursor(IHost& host) : host_(host) { host_.BeginWaitCursor(); }
  ~ScopedWaitCursor() { host_.EndWaitCursor(); }
  ScopedWaitCursor(const ScopedWaitCursor&) = delete;
  ScopedWaitCursor& operator=(const ScopedWaitCursor&) = delete;

 private:
  IHost& host_;
};

}  // namespace tamso
