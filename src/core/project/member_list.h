#pragma once
// The members of the open project: stored paths in insertion order, each with the
// kind that picks its icon. The project tree bar shows this list; it observes it.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tamso {

// Icon indexes of the project tree.
enum class MemberKind {
  ProjectRoot = 0,
  OtherFile = 1,
  MainFile = 2,
  JavaFile = 3,
  HtmlFile = 4,
  DesignFile = 5,
};

// The kind a stored path gets from its text alone: the first of ".jav", ".htm", ".jad"
// found anywhere after the first character of the lower-cased path wins. This is a
// substring test, not an extension test (".javadoc.txt" is a Java file).
MemberKind KindOfStoredPath(std::string_view stored);

// True for the member kinds 1, 3, 4, 5, and for 2 only with includeMain.
bool IsFileKind(MemberKind kind, bool includeMain);

// The text after the last '/', or the whole path (stored members are in this
// system's form by the time they are listed).
std::string MemberLabel(std::string_view stored);

// Text as a tree row or tip shows it: up to maxBytes as it is; longer, its head and
// tail around "...", cut between UTF-8 characters. Laying out a row of megabytes would
// hold the window for seconds; the stored text is never shortened.
std::string ShownText(std::string_view text, std::size_t maxBytes = 1024);

struct Member {
  std::string stored;  // stored form: "./Name.java" or a full path
  std::string label;
  MemberKind kind = MemberKind::OtherFile;
};

// What the tree bar hears of changes, by member index.
class IMemberListObserver {
 public:
  virtual ~IMemberListObserver() = default;
  // All members are gone and the root is labelled rootLabel (empty root label: no root).
  virtual void RootReset(const std::string& rootLabel) = 0;
  virtual void MemberInserted(std::size_t index) = 0;
  virtual void MemberRemoved(std::size_t index) = 0;
  virtual void MemberKindChanged(std::size_t index) = 0;
  virtual void RootExpanded() = 0;
  // A run of insertions is coming (a project being loaded); the tree may defer
  // redrawing and scrolling until BatchEnded.
  virtual void BatchStarted() {}
  virtual void BatchEnded() {}
};

class MemberList {
 public:
  void SetObserver(IMemberListObserver* observer) { observer_ = observer; }
  IMemberListObserver* Observer() const { return observer_; }

  // Clears all members and makes a root labelled with the project file's name.
  void InitRoot(const std::string& projectFile);
  // Clears all members and the root.
  void ClearTree();
  void ExpandRoot();
  bool HasRoot() const { return hasRoot_; }
  const std::string& RootLabel() const { return rootLabel_; }

  // Appends a member (no duplicate check; see Contains).
  void InsertFile(const std::string& stored, MemberKind kind);
  bool Contains(const std::string& stored) const { return index_.count(stored) != 0; }
  // Index of the first member whose stored path equals stored, or npos.
  std::size_t Find(const std::string& stored) const;

  // Every member gets the kind its path gives (the main mark goes).
  void ResetKinds();
  // The member with this stored path becomes the main file; false when there is none.
  bool MarkMain(const std::string& stored);
  // Removes the member with this stored path; false when there is none.
  bool Delete(const std::string& stored);
  void DeleteAt(std::size_t index);

  std::size_t Size() const { return members_.size(); }
  bool Empty() const { return members_.empty(); }
  const Member& At(std::size_t index) const { return members_[index]; }
  const std::vector<Member>& Members() const { return members_; }
  // The main file's index, or npos.
  std::size_t MainIndex() const;

  void BeginBatch();
  void EndBatch();

  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

 private:
  void SetKind(std::size_t index, MemberKind kind);

  std::vector<Member> members_;
  std::unordered_set<std::string> index_;
  std::string rootLabel_;
  bool hasRoot_ = false;
  IMemberListObserver* observer_ = nullptr;
};

}  // namespace tamso
