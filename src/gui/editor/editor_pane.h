#pragma once
// What the application frame needs of an editor pane: the widget that holds a
// document's text, loads and saves it, and reports edits. The document holds no
// text of its own; it loads and saves through its pane.

#include <QWidget>
#include <functional>
#include <string>

#include "editor/edit_log.h"
#include "editor/line_diagnostics.h"
#include "platform/file_identity.h"
#include "platform/host.h"

namespace tamso {
class IniFile;
class IOutlineSink;
}  // namespace tamso

namespace tamso::gui {

class EditorPane : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
  ~EditorPane() override = default;

  virtual ViewKind Kind() const = 0;
  // Loads the file; on failure returns false with a sentence for the user in *error
  // and keeps the text it had.
  virtual bool LoadFromFile(const std::string& path, std::string* error) = 0;
  // Saves atomically; on failure returns false with a sentence for the user in *error,
  // the file on disk untouched and the text still modified.
  virtual bool SaveToFile(const std::string& path, std::string* error) = 0;
  virtual bool IsModified() const = 0;
  virtual void SetModified(bool modified) = 0;
  // Another program and the file: whether the file at path is still the one last
  // loaded or saved; reloading it (one undo step, caret line and scroll position
  // kept); taking the file as it is now as the known one, after the user chose to
  // keep the text.
  virtual DiskState CheckDisk(const std::string& path) {
    (void)path;
    return DiskState::Same;
  }
  virtual bool ReloadFromFile(const std::string& path, std::string* error) {
    return LoadFromFile(path, error);
  }
  virtual void AcceptDiskState(const std::string& path) { (void)path; }
  // The same for a version of the file the user chose not to load: it is not read.
  virtual void AcceptUnreadDiskState(const std::string& path) { (void)path; }
  // The file at path as the text last read or wrote it (unknown for another path),
  // and taking such a record back (a recovered text over the file it was typed on).
  virtual FileIdentity DiskIdentity(const std::string& path) const {
    (void)path;
    return {};
  }
  virtual void SetDiskIdentity(const std::string& path, const FileIdentity& identity) {
    (void)path;
    (void)identity;
  }
  // The bytes Save would write, and a recovered text put in as one undo step.
  virtual std::string TextForSave() const { return {}; }
  virtual void ReplaceAllText(const std::string& bytes) { (void)bytes; }
  // Following the text's edits (-1 for a pane that keeps no text; see
  // CLineStore::FollowEdits), and how Save ends lines: the journal follows the text
  // with them.
  virtual int FollowEdits() { return -1; }
  virtual EditLog::Batch TakeEdits(int follower) {
    (void)follower;
    return {};
  }
  virtual void UnfollowEdits(int follower) { (void)follower; }
  virtual void SaveLineEnds(std::string* eol, bool* finalLineEnd) const {
    *eol = "\n";
    *finalLineEnd = true;
  }
  // The text as a base for the edits that follow (a copy: only when edits were lost).
  virtual BaseText SnapshotBase() const { return {}; }
  // Puts the caret at the start of the 0-based line.
  virtual void GoToLine(int line) = 0;
  // Puts the caret at a character of the line as compilers count them (IView).
  virtual void GoToLineCharacter(int line, int character) {
    (void)character;
    GoToLine(line);
  }
  // The compiler's marks on the text's lines; the pane moves them with the lines
  // while the text is edited, so Diagnostics gives them where they are now.
  virtual void SetDiagnostics(std::vector<LineDiagnostic> marks) { (void)marks; }
  virtual std::vector<LineDiagnostic> Diagnostics() const { return {}; }
  // Re-reads fonts, colours and tab width from the profile (update hint 78).
  virtual void ReloadSettings() = 0;

  // The file name (without extension) that Save As proposes for a never-saved text:
  // for Java the first public class; empty for the document's own title.
  virtual std::string ProposedName() const { return {}; }

  // The current status text, for a frame that activates the pane (later changes come
  // through statusTextChanged).
  virtual QString StatusText() const { return QString(); }

  // --- Command routing -------------------------------------------------------
  // The editor commands a pane serves, by command id:
  //   57632 Delete (does nothing; the Delete key works through key input)
  //   57634 Copy, 57635 Cut, 57637 Paste, 57643 Undo, 57644 Redo, 57642 Select All
  //   57636 Find..., 57641 Replace... (modeless dialogs)
  //   57640 Find Next and 32866 the toolbar find box: these need the find box's
  //         text, so the frame calls QuickFind(text) for them; ExecuteCommand
  //         repeats the last searched text
  //   32850 Match bracket, 32911 Font bigger, 32912 Font smaller
  //   32820 Refresh class tree
  virtual bool HandlesCommand(int id) const {
    (void)id;
    return false;
  }
  virtual bool IsCommandEnabled(int id) const {
    (void)id;
    return false;
  }
  // Runs the command; false when this pane does not serve it.
  virtual bool ExecuteCommand(int id) {
    (void)id;
    return false;
  }
  // Quick find of text from the caret, case-insensitive, with the "Text not found"
  // question; the frame has already put the text at the top of its find box list.
  virtual void QuickFind(const std::string& text) { (void)text; }

  // The selected text (lines joined by CR LF) and its replacement, as used by the
  // skeleton insertion: deletes the selection and inserts text in its place.
  virtual std::string SelectedText() const { return {}; }
  virtual void ReplaceSelection(const std::string& text) { (void)text; }

  // Says whether the frame would run a command the pane hands on (commandRequested);
  // the pane shows such commands disabled when it says no or is not set.
  virtual void SetCommandCheck(std::function<bool(int)> check) { (void)check; }

  // --- Outline ---------------------------------------------------------------
  // Where the outline goes (the class browser); null detaches. Not owned.
  virtual void SetOutlineSink(IOutlineSink* sink) { (void)sink; }
  // The document's title ("Java1" for a new one), which names the outline's root.
  virtual void SetDocumentTitle(const std::string& title) { (void)title; }
  // Rebuilds the outline into the sink (nothing without a sink, and nothing for HTML).
  virtual void BuildOutline() {}
  // Scrolls to the declaration of member memberName of class className (for Perl,
  // the subroutine memberName); beeps and returns false when there is none.
  virtual bool ShowMember(const std::string& className, const std::string& memberName) {
    (void)className;
    (void)memberName;
    return false;
  }
  // The outline of the text as it is now, as a job that may run on another thread
  // (it holds what it needs of the text); empty where BuildOutline would do nothing.
  virtual std::function<void(IOutlineSink&)> OutlineJob() { return {}; }
  // How the outline of a large text just loaded is built: by calling this (which
  // builds it away from the window's thread, so the text shows first) rather than
  // BuildOutline. Small texts, and every later rebuild, are built at once as before.
  virtual void SetLargeOutlineBuilder(std::function<void()> build) { (void)build; }

 signals:
  void modifiedChanged(bool modified);
  // The status text ("(%3d,%3d)-(%3d,%3d) Ln %3d, Col %3d") changed.
  void statusTextChanged(const QString& text);
  // A search used this text (the find and replace dialogs): the frame adds it to the
  // top of its find box and selects it there.
  void findTextUsed(const QString& text);
  // A context-menu command the pane does not handle itself: 32777 "Settings..." and
  // 32922 the help lookup of the selected text (SelectedText()).
  void commandRequested(int id);
  // The text changed.
  void textChanged();
};

// Creates the editor pane of the given kind; implemented by the editor.
EditorPane* CreateEditorPane(ViewKind kind, IniFile& profile, IHost& host, QWidget* parent);

}  // namespace tamso::gui
