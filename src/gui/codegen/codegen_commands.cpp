#include "codegen/codegen_commands.h"

#include <QPointer>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/doc_templates.h"
#include "app/main_window.h"
#include "app/shell_application.h"
#include "app/source_document.h"
#include "app/view_commands.h"
#include "codegen/code_wizard_sheet.h"
#include "codegen/skeleton_dialog.h"
#include "codegen/skeleton_insert.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"

namespace tamso::gui {

namespace {

void InsertSkeleton(ChildFrame& view, IniFile& profile, QtHost& host) {
  EditorPane* pane = view.Pane();
  const std::optional<std::string> text =
      RunSkeletonDialog(kSkeletonTemplate, SkeletonLanguageFor(view.Kind()), pane->SelectedText(),
                        profile, host, view.window());
  // Deleting the selection and inserting the text is one step to undo.
  if (text) {
    std::string block = *text;
    if (auto* source = qobject_cast<SourceEditorPane*>(pane)) {
      // The skeleton takes the indentation of the line it goes into.
      const CLineStore& store = source->Editor()->Store();
      const TextPos from = store.SelectionStart();
      const TextPos to = store.SelectionEnd();
      block =
          SkeletonForCaret(block, store.Line(from.line), store.IndexAtColumn(from.line, from.col),
                           store.Line(to.line), store.IndexAtColumn(to.line, to.col));
    }
    pane->ReplaceSelection(block);
  }
  pane->setFocus();
}

}  // namespace

void OpenGeneratedClass(MainWindow& window, const std::string& documentName,
                        const std::string& text) {
  const auto& templates = DocumentTemplates();
  std::size_t java = 0;
  while (java < templates.size() && templates[java].kind != ViewKind::Java) ++java;
  if (java == templates.size()) return;
  ChildFrame* child = window.NewDocument(java);
  if (!child) return;
  child->Doc()->SetTitle(documentName);
  if (auto* pane = qobject_cast<SourceEditorPane*>(child->Pane())) {
    pane->SelectAll();
    pane->ReplaceSelection(text);
    pane->GoToLine(0);
  }
  window.UpdateTitles();
  child->Pane()->BuildOutline();
}

void RunClassWizard(MainWindow& window, IniFile& profile, QtHost& host) {
  WizardContext context;
  ChildFrame* child = window.ActiveChild();
  auto* pane = child ? qobject_cast<SourceEditorPane*>(child->Pane()) : nullptr;
  if (pane && child->Kind() == ViewKind::Java) {
    const SourceDocument* doc = child->Doc();
    context.page = MakeWizardPage(doc->PathName().empty() ? doc->Title() : doc->PathName(),
                                  pane->Editor()->Store());
    QPointer<SourceEditorPane> target = pane;
    context.showMember = [target](const std::string& cls, const std::string& member) {
      if (!target || !target->ShowMember(cls, member)) return false;
      target->setFocus();
      return true;
    };
  }
  QPointer<MainWindow> main = &window;
  context.openAsDocument = [main](const std::string& name, const std::string& text) {
    if (main) OpenGeneratedClass(*main, name, text);
  };
  ClassWizardSheet sheet(std::move(context), profile, host, &window);
  sheet.exec();
}

void InstallCodegenCommands(ShellApplication& shell, IniFile& profile, QtHost& host) {
  SetViewCommand(cmd::kInsertSkeleton,
                 [&profile, &host](ChildFrame& view) { InsertSkeleton(view, profile, host); });
  shell.App().SetCommandHandler(cmd::kClassWizard, [&shell, &profile, &host] {
    if (MainWindow* window = shell.Window()) RunClassWizard(*window, profile, host);
  });
}

}  // namespace tamso::gui
