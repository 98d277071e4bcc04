// The undo history of a line store: compound steps, undo, redo and the save point.

#include <iterator>

#include "editor/line_store.h"
#include "editor/line_store_undo.h"

namespace tamso {

// ---- Undo bookkeeping ---------------------------------------------------------

void CLineStore::BeginCompoundEdit() {
  OpenStep(false);
}
void CLineStore::EndCompoundEdit() {
  CloseStep();
}

void CLineStore::OpenStep(bool typing) {
  if (compoundDepth_++ > 0) return;
  pending_ = std::make_unique<UndoStep>();
  pending_->typing = typing;
  pending_->beforeStart = selStart_;
  pending_->beforeEnd = selEnd_;
  pending_->beforeCaret = caret_;
  merging_ = typing && typingOpen_ && redo_.empty() && !undo_.empty() && undo_.back().typing &&
             undo_.back().afterCaret == caret_ && !HasSelection() &&
             savePoint_ != static_cast<long>(undo_.size());
}

void CLineStore::CloseStep() {
  if (compoundDepth_ == 0 || --compoundDepth_ > 0) return;
  std::unique_ptr<UndoStep> step = std::move(pending_);
  const bool changed = !step->ops.empty();
  if (changed) {
    redo_.clear();
    if (merging_) {
      auto& back = undo_.back();
      std::move(step->ops.begin(), step->ops.end(), std::back_inserter(back.ops));
      step.reset();
    } else {
      // A saved state that only redo could have reached is gone now.
      if (savePoint_ > static_cast<long>(undo_.size())) savePoint_ = -1;
      undo_.push_back(std::move(*step));
    }
    auto& back = undo_.back();
    back.afterStart = selStart_;
    back.afterEnd = selEnd_;
    back.afterCaret = caret_;
    Modified();
    typingOpen_ = back.typing;
  }
  merging_ = false;
}

void CLineStore::ApplyOp(const EditOp& op, bool inverse) {
  int l = 0;
  int i = 0;
  if (op.insert != inverse)
    RawInsert(op.line, op.index, op.text, &l, &i);
  else
    RawErase(op.line, op.index, op.endLine, op.endIndex);
}

bool CLineStore::CanUndo() const {
  return !undo_.empty();
}
bool CLineStore::CanRedo() const {
  return !redo_.empty();
}

bool CLineStore::Undo() {
  if (undo_.empty() || compoundDepth_ > 0) return false;
  typingOpen_ = false;
  UndoStep step = std::move(undo_.back());
  undo_.pop_back();
  recording_ = false;
  for (auto it = step.ops.rbegin(); it != step.ops.rend(); ++it) ApplyOp(*it, true);
  recording_ = true;
  selStart_ = step.beforeStart;
  selEnd_ = step.beforeEnd;
  caret_ = step.beforeCaret;
  redo_.push_back(std::move(step));
  if (owner_) {
    owner_->RepaintAll();
    owner_->SetModified(!IsAtSavePoint());
  }
  return true;
}

bool CLineStore::Redo() {
  if (redo_.empty() || compoundDepth_ > 0) return false;
  typingOpen_ = false;
  UndoStep step = std::move(redo_.back());
  redo_.pop_back();
  recording_ = false;
  for (const auto& op : step.ops) ApplyOp(op, false);
  recording_ = true;
  selStart_ = step.afterStart;
  selEnd_ = step.afterEnd;
  caret_ = step.afterCaret;
  undo_.push_back(std::move(step));
  if (owner_) {
    owner_->RepaintAll();
    owner_->SetModified(!IsAtSavePoint());
  }
  return true;
}

void CLineStore::MarkSaved() {
  savePoint_ = static_cast<long>(undo_.size());
  typingOpen_ = false;
}

bool CLineStore::IsAtSavePoint() const {
  return savePoint_ == static_cast<long>(undo_.size());
}

}  // namespace tamso
