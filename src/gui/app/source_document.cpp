#include "app/source_document.h"

#include <algorithm>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/doc_templates.h"
#include "app/main_window.h"

namespace tamso::gui {

SourceDocument::SourceDocument(size_t templateIndex, MainWindow* main)
    : templateIndex_(templateIndex), main_(main) {
  On(cmd::kFileSave, [this](int) { main_->SaveDocument(this); });
  On(cmd::kFileSaveAs, [this](int) { main_->SaveDocumentAs(this); });
  On(cmd::kFileClose, [this](int) { main_->CloseDocument(this); });
}

bool SourceDocument::IsModified() const {
  EditorPane* pane = FirstPane();
  return pane && pane->IsModified();
}

bool SourceDocument::Save() {
  return main_->SaveDocument(this);
}

ViewKind SourceDocument::Kind() const {
  return DocumentTemplates()[templateIndex_].kind;
}

void SourceDocument::SetPathName(const std::string& path) {
  path_ = path;
}

void SourceDocument::RemoveView(ChildFrame* view) {
  views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
}

EditorPane* SourceDocument::FirstPane() const {
  return views_.empty() ? nullptr : views_.front()->Pane();
}

}  // namespace tamso::gui
