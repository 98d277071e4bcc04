#pragma once
// What a double click in the class browser does: members move the editor to their
// declaration; imports, superclasses and interfaces open the Java source of the class
// they name, found along the source path; the package node says it cannot be handled.
//
// A source found in a directory opens as a document. One found in an archive is
// copied out to a private cache file and opened as a read-only copy titled after its
// place in the archive ("src.zip!/java.base/java/lang/String.java"); saving it asks
// for a new name, so the archive and the cache are never written over by the user.

#include <cstdint>
#include <functional>
#include <string>

#include "browser/outline_model.h"
#include "browser/source_path.h"

namespace tamso {

class IHost;

// The largest archive entry copied out for reading. Real class sources are a few
// hundred kilobytes; anything far larger is refused with its name and size.
inline constexpr std::uint64_t kLargestArchiveSource = 16ull << 20;

class ClassBrowser {
 public:
  struct Site {
    IHost* host = nullptr;
    // The current "Java"/"SourcePath" list.
    std::function<std::string()> sourcePath;
    // Moves the editor to member of className; false (after a beep) when missing.
    std::function<bool(const std::string& className, const std::string& member)> showMember;
    // Opens the cache copy at path as a read-only document called title; null means
    // the host's plain OpenDocument(path).
    std::function<bool(const std::string& path, const std::string& title)> openCopy;
    // Where archive entries are copied out to ($XDG_CACHE_HOME/tamso/sources).
    std::string cacheDirectory;
    // The largest entry copied out.
    std::uint64_t largestEntry = kLargestArchiveSource;
    // When set, the window's thread never waits for an archive: a search that meets
    // one still being indexed stops (Activate names it), and entries are copied out
    // by offWindow, which runs work on another thread and then `then` on this one.
    std::function<void(std::function<void()> work, std::function<void()> then)> offWindow;
  };

  explicit ClassBrowser(Site site) : site_(std::move(site)) {}

  // The double click on node of the tree shown. Returns the archive the search
  // stopped at because it is still being indexed (with offWindow only), else "".
  std::string Activate(const OutlineModel& tree, int node);

  // Looks up the class node names, qualified by the package nodes from start upwards;
  // with prompt, asks the user to find it when it is not on the source path. True
  // when a document was opened.
  bool OpenClassSource(const OutlineModel& tree, int node, int start, bool prompt);
  // Looks up the class a superclass or interface node names, through the package and
  // the imports of the source first.
  bool FindClassSource(const OutlineModel& tree, int node);

  // The search along the source path (dots of a class name are already '/').
  SourceHit FindSourceFile(const std::string& relative) const;
  // Opens a hit as a document; an archive entry through its cache copy.
  bool OpenHit(const SourceHit& hit);

  // The copy of an archive entry in the cache folder (written with mode 0600); empty
  // after telling the user why it could not be made.
  std::string CopyOut(const SourceHit& hit);
  // The same on any thread, without telling anyone: the reason goes to *error.
  static std::string CopyOutEntry(const SourceHit& hit, const std::string& cacheDirectory,
                                  std::uint64_t largestEntry, std::string* error);

 private:
  // A search step: nothing found (try the next), or found and opened or not (the
  // user has been told why), which ends the search.
  enum class Step { kNotFound, kOpened, kFailed };
  Step Lookup(const OutlineModel& tree, int node, int start, bool prompt);
  Step TryPackage(const OutlineModel& tree, int node, const std::string& package);

  // The search meets an archive: "" when it may go on, else what it stopped at.
  bool StoppedAtIndexing(const SourceHit& hit);
  void OpenCopy(const SourceHit& hit, const std::string& copy, const std::string& error);

  Site site_;
  std::string indexing_;  // the archive the current activation stopped at
};

std::string NotFoundPrompt(const std::string& name);

}  // namespace tamso
