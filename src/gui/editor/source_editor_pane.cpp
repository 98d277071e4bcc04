#include "editor/source_editor_pane.h"

#include <QInputDialog>
#include <QVBoxLayout>
#include <memory>
#include <mutex>
#include <vector>

#include "editor/char_offsets.h"
#include "editor/find_text.h"
#include "editor/go_to_line.h"
#include "editor/source_editor.h"
#include "lang/language.h"
#include "lang/outline.h"
#include "platform/host.h"
#include "platform/startup_trace.h"

namespace tamso::gui {

namespace {

// Command ids the pane serves.
enum : int {
  kCmdDelete = 57632,
  kCmdCopy = 57634,
  kCmdCut = 57635,
  kCmdFind = 57636,
  kCmdPaste = 57637,
  kCmdFindNext = 57640,
  kCmdReplace = 57641,
  kCmdSelectAll = 57642,
  kCmdUndo = 57643,
  kCmdRedo = 57644,
  kCmdRefreshOutline = 32820,
  kCmdMatchBracket = 32850,
  kCmdFindBox = 32866,
  kCmdFontBigger = 32911,
  kCmdFontSmaller = 32912,
  kCmdGoToLine = 32942,
};

}  // namespace

const Language* LanguageForKind(ViewKind kind) {
  switch (kind) {
    case ViewKind::Java:
      return &JavaLanguage();
    case ViewKind::Html:
      return &HtmlLanguage();
    case ViewKind::Perl:
      return &PerlLanguage();
    case ViewKind::Other:
      return nullptr;
  }
  return nullptr;
}

// The text as the class browser's automatic rebuilds see it: a base and the edits
// since, in chunks that never change once taken, so a rebuild on another thread reads
// them while typing goes on and the window's thread never copies the text.
struct SourceEditorPane::OutlineText {
  // A rebuild folds this many chunks into a new base for the next one.
  static constexpr std::size_t kFoldChunks = 16;
  int follower = -1;
  BaseText base;
  std::vector<std::shared_ptr<const std::vector<TextEdit>>> chunks;  // since base
  // A new base a rebuild made of the base and its first foldedChunks chunks.
  std::mutex mutex;
  BaseText folded;
  const char* foldedFrom = nullptr;
  std::size_t foldedChunks = 0;
};

SourceEditorPane::SourceEditorPane(ViewKind kind, IniFile& profile, IHost& host, QWidget* parent)
    : EditorPane(parent),
      kind_(kind),
      host_(host),
      editor_(new CSourceEditor(LanguageForKind(kind), profile, host, this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(editor_);
  setFocusProxy(editor_);
  connect(editor_, &CSourceEditor::statusTextChanged, this, &EditorPane::statusTextChanged);
  connect(editor_, &CSourceEditor::modifiedChanged, this, &EditorPane::modifiedChanged);
  connect(editor_, &CSourceEditor::findTextUsed, this, &EditorPane::findTextUsed);
  connect(editor_, &CSourceEditor::commandRequested, this, &EditorPane::commandRequested);
  connect(editor_, &CSourceEditor::textChanged, this, &EditorPane::textChanged);
  editor_->RecolourAll();
  if (kind_ != ViewKind::Html && kind_ != ViewKind::Other) {
    // Followed from the start, a loaded text is the outline's base as it is (no copy).
    outlineText_ = std::make_shared<OutlineText>();
    outlineText_->follower = editor_->Store().FollowEdits();
  }
}

bool SourceEditorPane::TakeLanguageForPath(const std::string& path) {
  if (kind_ != ViewKind::Java) return false;
  const Language* want = IsModuleInfoFile(path) ? &JavaModuleInfoLanguage() : &JavaLanguage();
  if (editor_->GetLanguage() == want) return false;
  editor_->Store().SetLanguage(want);
  return true;
}

bool SourceEditorPane::LoadFromFile(const std::string& path, std::string* error) {
  const Language* before = editor_->GetLanguage();
  TakeLanguageForPath(path);
  if (!editor_->LoadFromFile(path, error)) {
    editor_->Store().SetLanguage(before);
    return false;
  }
  if (largeOutline_ && sink_ && editor_->Store().LineCount() >= kLargeOutlineLines) {
    largeOutline_();
    startup::MarkOnce("outline started away from the window's thread");
  } else {
    BuildOutline();
    startup::MarkOnce("first outline");
  }
  return true;
}

bool SourceEditorPane::SaveToFile(const std::string& path, std::string* error) {
  if (!editor_->SaveToFile(path, error)) return false;
  if (TakeLanguageForPath(path)) editor_->RecolourAll();  // saved under a new name
  return true;
}

DiskState SourceEditorPane::CheckDisk(const std::string& path) {
  return editor_->Document().CheckDisk(path);
}

bool SourceEditorPane::ReloadFromFile(const std::string& path, std::string* error) {
  if (!editor_->ReloadFromFile(path, error)) return false;
  BuildOutline();
  return true;
}

void SourceEditorPane::AcceptUnreadDiskState(const std::string& path) {
  editor_->Document().AcceptUnreadDiskState(path);
}

void SourceEditorPane::AcceptDiskState(const std::string& path) {
  editor_->Document().AcceptDiskState(path);
}

FileIdentity SourceEditorPane::DiskIdentity(const std::string& path) const {
  return editor_->Document().DiskIdentityOf(path);
}

void SourceEditorPane::SetDiskIdentity(const std::string& path, const FileIdentity& identity) {
  editor_->Document().SetDiskIdentity(path, identity);
}

std::string SourceEditorPane::TextForSave() const {
  return editor_->Document().BytesForSave();
}

int SourceEditorPane::FollowEdits() {
  return editor_->Store().FollowEdits();
}

EditLog::Batch SourceEditorPane::TakeEdits(int follower) {
  return editor_->Store().TakeEdits(follower);
}

void SourceEditorPane::UnfollowEdits(int follower) {
  editor_->Store().UnfollowEdits(follower);
}

void SourceEditorPane::SaveLineEnds(std::string* eol, bool* finalLineEnd) const {
  *eol = editor_->Document().LineEnd();
  *finalLineEnd = editor_->Document().FinalLineEnd();
}

BaseText SourceEditorPane::SnapshotBase() const {
  return MakeBaseText(editor_->Store().JoinedText("\n", true));
}

void SourceEditorPane::ReplaceAllText(const std::string& bytes) {
  editor_->ReplaceAllText(bytes);
  BuildOutline();
}

void SourceEditorPane::GoToLineDialog() {
  const CLineStore& store = editor_->Store();
  const int first = editor_->NumberBase();  // as the gutter counts
  bool ok = false;
  const int typed = QInputDialog::getInt(
      this, QStringLiteral("Go to Line"),
      QStringLiteral("Line (%1 to %2):").arg(first).arg(first + store.LineCount() - 1),
      store.Caret().line + first, first, first + std::max(store.LineCount() - 1, 0), 1, &ok);
  if (!ok) return;
  GoToLine(GoToLineTarget(typed, store.LineCount(), first));
  editor_->setFocus();
}

bool SourceEditorPane::IsModified() const {
  return editor_->IsModified();
}
void SourceEditorPane::SetModified(bool modified) {
  editor_->SetModified(modified);
}
void SourceEditorPane::SetDiagnostics(std::vector<LineDiagnostic> marks) {
  editor_->SetDiagnostics(std::move(marks));
}

std::vector<LineDiagnostic> SourceEditorPane::Diagnostics() const {
  return editor_->Diagnostics().All();
}

void SourceEditorPane::GoToLine(int line) {
  editor_->GoToLine(line);
}
void SourceEditorPane::GoToLineCharacter(int line, int character) {
  const CLineStore& store = editor_->Store();
  if (line < 0 || line >= store.LineCount()) return editor_->GoToLine(line);
  const int index = ByteOfUtf16Unit(store.Line(line), character);
  editor_->GoToPlace(line, store.ColumnOfIndex(line, index));
}
void SourceEditorPane::ReloadSettings() {
  editor_->ReloadSettings();
}
QString SourceEditorPane::StatusText() const {
  return editor_->StatusText();
}

std::string SourceEditorPane::ProposedName() const {
  return kind_ == ViewKind::Java ? JavaFileClassName(editor_->Store()) : std::string();
}

bool SourceEditorPane::HandlesCommand(int id) const {
  switch (id) {
    case kCmdDelete:
    case kCmdCopy:
    case kCmdCut:
    case kCmdFind:
    case kCmdPaste:
    case kCmdFindNext:
    case kCmdReplace:
    case kCmdSelectAll:
    case kCmdUndo:
    case kCmdRedo:
    case kCmdRefreshOutline:
    case kCmdMatchBracket:
    case kCmdFindBox:
    case kCmdFontBigger:
    case kCmdFontSmaller:
    case kCmdGoToLine:
      return true;
    default:
      return false;
  }
}

bool SourceEditorPane::IsCommandEnabled(int id) const {
  const CLineStore& store = editor_->Store();
  switch (id) {
    case kCmdCopy:
    case kCmdCut:
      return store.HasSelection();
    case kCmdPaste:
      return editor_->CanPaste();
    case kCmdUndo:
      return store.CanUndo();
    case kCmdRedo:
      return store.CanRedo();
    case kCmdMatchBracket:
      return CaretOnBracket(store);
    case kCmdRefreshOutline:  // only where an outline goes and the text has one
      return sink_ && (kind_ == ViewKind::Java || kind_ == ViewKind::Perl);
    case kCmdFindBox:  // the frame knows whether its find box holds text
    default:
      return HandlesCommand(id);
  }
}

bool SourceEditorPane::ExecuteCommand(int id) {
  switch (id) {
    case kCmdDelete:
      break;  // the Delete key works through key input
    case kCmdCopy:
      Copy();
      break;
    case kCmdCut:
      Cut();
      break;
    case kCmdPaste:
      Paste();
      break;
    case kCmdUndo:
      Undo();
      break;
    case kCmdRedo:
      Redo();
      break;
    case kCmdSelectAll:
      SelectAll();
      break;
    case kCmdFind:
      Find();
      break;
    case kCmdReplace:
      Replace();
      break;
    case kCmdFindNext:
    case kCmdFindBox:
      FindNext();
      break;
    case kCmdMatchBracket:
      MatchBracket();
      break;
    case kCmdFontBigger:
      FontBigger();
      break;
    case kCmdFontSmaller:
      FontSmaller();
      break;
    case kCmdRefreshOutline:
      BuildOutline();
      break;
    case kCmdGoToLine:
      GoToLineDialog();
      break;
    default:
      return false;
  }
  return true;
}

void SourceEditorPane::QuickFind(const std::string& text) {
  if (text.empty()) return;
  editor_->QuickFind(text);
}

void SourceEditorPane::SetCommandCheck(std::function<bool(int)> check) {
  editor_->SetCommandCheck(std::move(check));
}

std::string SourceEditorPane::SelectedText() const {
  return editor_->Store().GetSelectedText();
}

void SourceEditorPane::ReplaceSelection(const std::string& text) {
  editor_->ReplaceSelection(text);
  editor_->viewport()->update();
}

void SourceEditorPane::BuildOutline() {
  // An HTML text has no outline worth showing; its tree stays empty.
  if (!sink_ || kind_ == ViewKind::Html || kind_ == ViewKind::Other) return;
  const Language* language = editor_->GetLanguage();
  if (!language) return;
  // The root is named after the file last loaded or saved ("File" before that).
  language->BuildOutline(editor_->Store(), editor_->Document().FileName(), *sink_);
}

std::function<void(IOutlineSink&)> SourceEditorPane::OutlineJob() {
  const Language* language = editor_->GetLanguage();
  if (!language || kind_ == ViewKind::Html || kind_ == ViewKind::Other) return {};
  if (!outlineText_) return {};
  OutlineText& t = *outlineText_;
  {
    std::lock_guard lock(t.mutex);
    if (t.folded.bytes && t.foldedFrom == t.base.bytes.get() && t.foldedChunks <= t.chunks.size()) {
      t.base = std::move(t.folded);
      t.chunks.erase(t.chunks.begin(), t.chunks.begin() + static_cast<long>(t.foldedChunks));
    }
    t.folded = BaseText{};
  }
  EditLog::Batch batch = editor_->Store().TakeEdits(t.follower);
  if (batch.lost) {
    batch.newBase = true;
    batch.base = SnapshotBase();
  }
  if (batch.newBase) {
    t.base = std::move(batch.base);
    t.chunks.clear();
  }
  if (!batch.edits.empty())
    t.chunks.push_back(std::make_shared<const std::vector<TextEdit>>(std::move(batch.edits)));
  const bool fold = t.chunks.size() >= OutlineText::kFoldChunks;
  std::weak_ptr<OutlineText> owner = outlineText_;
  return [language, base = t.base, chunks = t.chunks, title = editor_->Document().FileName(), owner,
          fold](IOutlineSink& sink) {
    LineReplay text(base.view());
    for (const auto& chunk : chunks)
      for (const TextEdit& e : *chunk) text.Apply(e);
    language->BuildOutline(text, title, sink);
    if (!fold) return;
    BaseText folded = MakeBaseText(text.AsBase());
    if (auto t = owner.lock()) {
      std::lock_guard lock(t->mutex);
      t->folded = std::move(folded);
      t->foldedFrom = base.bytes.get();
      t->foldedChunks = chunks.size();
    }
  };
}

bool SourceEditorPane::ShowMember(const std::string& className, const std::string& memberName) {
  const Language* language = editor_->GetLanguage();
  std::optional<int> line;
  if (language && kind_ != ViewKind::Html)
    line = language->FindMember(editor_->Store(), className, memberName);
  if (!line) {
    host_.Beep(BeepKind::Default);
    return false;
  }
  // The caret goes to the member's name, so the next key edits what the user sees.
  const CLineStore& store = editor_->Store();
  editor_->GoToPlace(*line, store.ColumnOfIndex(*line, NameIndex(store.Line(*line),
                                                                 OutlineMemberName(memberName))));
  return true;
}

void SourceEditorPane::Cut() {
  editor_->Cut();
}
void SourceEditorPane::Copy() {
  editor_->Copy();
}
void SourceEditorPane::Paste() {
  editor_->Paste();
}
void SourceEditorPane::Undo() {
  editor_->Undo();
}
void SourceEditorPane::Redo() {
  editor_->Redo();
}
void SourceEditorPane::SelectAll() {
  editor_->SelectAll();
}
void SourceEditorPane::Find() {
  editor_->OpenFindDialog(false);
}
void SourceEditorPane::FindNext() {
  editor_->QuickFind(std::string());
}
void SourceEditorPane::Replace() {
  editor_->OpenFindDialog(true);
}
void SourceEditorPane::MatchBracket() {
  editor_->MatchBracket();
}
void SourceEditorPane::FontBigger() {
  editor_->FontBigger();
}
void SourceEditorPane::FontSmaller() {
  editor_->FontSmaller();
}

EditorPane* CreateEditorPane(ViewKind kind, IniFile& profile, IHost& host, QWidget* parent) {
  return new SourceEditorPane(kind, profile, host, parent);
}

}  // namespace tamso::gui
