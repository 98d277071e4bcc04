#pragma once
// What the skeleton dialog does apart from its widgets: finds and reads the skeleton
// file of a language, and turns a chosen skeleton into the preview text with the
// editor's selection in place of every "$SEL$".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "codegen/skeleton_file.h"
#include "platform/data_files.h"
#include "platform/host.h"

namespace tamso {

class IniFile;

// Item data of the dialog's tree nodes: the root, a group, or a skeleton's number.
inline constexpr int kSkeletonRootData = 1;
inline constexpr int kSkeletonGroupData = 0;

// Skeleton files above this size are refused rather than read into memory.
inline constexpr std::uint64_t kSkeletonFileLimit = 64ull << 20;

// Why a skeleton with the selection put in is not shown (size UINT64_MAX: beyond
// counting).
std::string SkeletonTooLargeMessage(std::uint64_t size);

// The language of the skeletons an editor view inserts: "HTML" for HTML views,
// "Java" for the others.
std::string SkeletonLanguageFor(ViewKind kind);

// The file name or path in "Skeletons"/<language>, by default <language>.skl.
std::string SkeletonFileSetting(const IniFile& profile, std::string_view language);

class SkeletonDialogModel {
 public:
  SkeletonDialogModel(IniFile& profile, IHost& host, DataFileDirs dirs);

  // Set by the caller before Load.
  std::string language;
  std::string selection;

  // Finds and reads the skeleton file anew. A missing or unreadable file is
  // reported to the user and leaves the set empty (the dialog shows the root only).
  void Load();
  const SkeletonSet& Skeletons() const { return set_; }
  // The file that was read (empty when none was found).
  const std::string& FilePath() const { return path_; }

  // Where the user customises this language's skeletons: the file the setting names
  // by path, else that name in the user's folder (searched first). When the file read
  // is another one, the text says to start from a copy of it. Call after Load.
  std::string CustomizeText() const;

  // The tree selection moved to a node with this item data: the preview text for a
  // skeleton, no value for the root or a group (the box is left as it is). A text
  // over kSkeletonTextLimit is refused with a message and previews as empty.
  std::optional<std::string> PreviewFor(int itemData) const;

 private:
  IniFile& profile_;
  IHost& host_;
  DataFileDirs dirs_;
  SkeletonSet set_;
  std::string path_;
};

}  // namespace tamso
