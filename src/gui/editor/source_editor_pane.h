#pragma once
// The editor pane of a Java, HTML or Perl document: one source editor filling the
// pane, the commands the frame routes to it, and the outline of the text.

#include <memory>

#include "editor/editor_pane.h"

namespace tamso {
class Language;
}

namespace tamso::gui {

class CSourceEditor;

class SourceEditorPane : public EditorPane {
  Q_OBJECT
 public:
  SourceEditorPane(ViewKind kind, IniFile& profile, IHost& host, QWidget* parent = nullptr);

  CSourceEditor* Editor() const { return editor_; }

  ViewKind Kind() const override { return kind_; }
  bool LoadFromFile(const std::string& path, std::string* error) override;
  bool SaveToFile(const std::string& path, std::string* error) override;
  DiskState CheckDisk(const std::string& path) override;
  bool ReloadFromFile(const std::string& path, std::string* error) override;
  void AcceptDiskState(const std::string& path) override;
  void AcceptUnreadDiskState(const std::string& path) override;
  FileIdentity DiskIdentity(const std::string& path) const override;
  void SetDiskIdentity(const std::string& path, const FileIdentity& identity) override;
  std::string TextForSave() const override;
  void ReplaceAllText(const std::string& bytes) override;
  int FollowEdits() override;
  EditLog::Batch TakeEdits(int follower) override;
  void UnfollowEdits(int follower) override;
  void SaveLineEnds(std::string* eol, bool* finalLineEnd) const override;
  BaseText SnapshotBase() const override;
  // Asks for a line number (as the gutter counts) and moves the caret there.
  void GoToLineDialog();
  bool IsModified() const override;
  void SetModified(bool modified) override;
  void GoToLine(int line) override;
  void GoToLineCharacter(int line, int character) override;
  void SetDiagnostics(std::vector<LineDiagnostic> marks) override;
  std::vector<LineDiagnostic> Diagnostics() const override;
  void ReloadSettings() override;
  QString StatusText() const override;
  std::string ProposedName() const override;

  bool HandlesCommand(int id) const override;
  bool IsCommandEnabled(int id) const override;
  bool ExecuteCommand(int id) override;
  void QuickFind(const std::string& text) override;
  std::string SelectedText() const override;
  void ReplaceSelection(const std::string& text) override;

  void SetCommandCheck(std::function<bool(int)> check) override;
  void SetOutlineSink(IOutlineSink* sink) override { sink_ = sink; }
  void SetDocumentTitle(const std::string& title) override { documentTitle_ = title; }
  void BuildOutline() override;
  bool ShowMember(const std::string& className, const std::string& memberName) override;
  std::function<void(IOutlineSink&)> OutlineJob() override;
  void SetLargeOutlineBuilder(std::function<void()> build) override {
    largeOutline_ = std::move(build);
  }
  // From this many lines on, a loaded text's outline goes to the large-outline builder.
  static constexpr int kLargeOutlineLines = 20000;

  // The editor commands by name, for callers that hold a pane of this kind.
  void Cut();
  void Copy();
  void Paste();
  void Undo();
  void Redo();
  void SelectAll();
  void Find();
  void FindNext();
  void Replace();
  void MatchBracket();
  void FontBigger();
  void FontSmaller();

 private:
  struct OutlineText;
  // A Java view of a module-info file colours the module words; true when the
  // language changed.
  bool TakeLanguageForPath(const std::string& path);
  ViewKind kind_;
  IHost& host_;
  CSourceEditor* editor_;
  IOutlineSink* sink_ = nullptr;
  std::function<void()> largeOutline_;
  std::string documentTitle_;
  std::shared_ptr<OutlineText> outlineText_;  // the text as automatic rebuilds see it
};

// The language that colours a kind of view (null for other views: plain text).
const Language* LanguageForKind(ViewKind kind);

}  // namespace tamso::gui
