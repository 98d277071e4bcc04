#include "project/member_list.h"

namespace tamso {

namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether the first occurrence of the lower-case needle in s (letters in any case)
// lies after its first character. No lower-case copy of s: a stored path may be
// megabytes long.
bool ContainsAfterFirst(std::string_view s, std::string_view needle) {
  for (std::size_t at = s.find(needle[0]); at != std::string_view::npos;
       at = s.find(needle[0], at + 1)) {
    if (at + needle.size() > s.size()) return false;
    std::size_t i = 1;
    while (i < needle.size() && LowerAscii(s[at + i]) == needle[i]) ++i;
    if (i == needle.size()) return at > 0;
  }
  return false;
}

}  // namespace

MemberKind KindOfStoredPath(std::string_view stored) {
  if (ContainsAfterFirst(stored, ".jav")) return MemberKind::JavaFile;
  if (ContainsAfterFirst(stored, ".htm")) return MemberKind::HtmlFile;
  if (ContainsAfterFirst(stored, ".jad")) return MemberKind::DesignFile;
  return MemberKind::OtherFile;
}

bool IsFileKind(MemberKind kind, bool includeMain) {
  switch (kind) {
    case MemberKind::OtherFile:
    case MemberKind::JavaFile:
    case MemberKind::HtmlFile:
    case MemberKind::DesignFile:
      return true;
    case MemberKind::MainFile:
      return includeMain;
    case MemberKind::ProjectRoot:
      return false;
  }
  return false;
}

std::string MemberLabel(std::string_view stored) {
  std::size_t at = stored.rfind('/');
  return std::string(at == std::string_view::npos ? stored : stored.substr(at + 1));
}

std::string ShownText(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  auto continuation = [&](std::size_t i) {
    return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
  };
  std::size_t head = maxBytes / 2;
  while (head > 0 && continuation(head)) --head;
  std::size_t tail = text.size() - (maxBytes - maxBytes / 2);
  while (tail < text.size() && continuation(tail)) ++tail;
  std::string out(text.substr(0, head));
  out += "...";
  out += text.substr(tail);
  return out;
}

void MemberList::InitRoot(const std::string& projectFile) {
  members_.clear();
  index_.clear();
  hasRoot_ = true;
  rootLabel_ = MemberLabel(projectFile);
  if (observer_) observer_->RootReset(rootLabel_);
}

void MemberList::ClearTree() {
  members_.clear();
  index_.clear();
  hasRoot_ = false;
  rootLabel_.clear();
  if (observer_) observer_->RootReset(std::string());
}

void MemberList::ExpandRoot() {
  if (observer_) observer_->RootExpanded();
}

void MemberList::InsertFile(const std::string& stored, MemberKind kind) {
  members_.push_back({stored, MemberLabel(stored), kind});
  index_.insert(stored);
  if (observer_) observer_->MemberInserted(members_.size() - 1);
}

std::size_t MemberList::Find(const std::string& stored) const {
  if (!Contains(stored)) return npos;
  for (std::size_t i = 0; i < members_.size(); ++i)
    if (members_[i].stored == stored) return i;
  return npos;
}

void MemberList::SetKind(std::size_t index, MemberKind kind) {
  if (members_[index].kind == kind) return;
  members_[index].kind = kind;
  if (observer_) observer_->MemberKindChanged(index);
}

void MemberList::ResetKinds() {
  for (std::size_t i = 0; i < members_.size(); ++i)
    SetKind(i, KindOfStoredPath(members_[i].stored));
}

bool MemberList::MarkMain(const std::string& stored) {
  std::size_t i = Find(stored);
  if (i == npos) return false;
  SetKind(i, MemberKind::MainFile);
  return true;
}

bool MemberList::Delete(const std::string& stored) {
  std::size_t i = Find(stored);
  if (i == npos) return false;
  DeleteAt(i);
  return true;
}

void MemberList::DeleteAt(std::size_t index) {
  index_.erase(members_[index].stored);
  members_.erase(members_.begin() + static_cast<std::ptrdiff_t>(index));
  if (observer_) observer_->MemberRemoved(index);
}

std::size_t MemberList::MainIndex() const {
  for (std::size_t i = 0; i < members_.size(); ++i)
    if (members_[i].kind == MemberKind::MainFile) return i;
  return npos;
}

void MemberList::BeginBatch() {
  if (observer_) observer_->BatchStarted();
}

void MemberList::EndBatch() {
  if (observer_) observer_->BatchEnded();
}

}  // namespace tamso
