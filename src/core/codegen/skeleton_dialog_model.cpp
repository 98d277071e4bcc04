#include "codegen/skeleton_dialog_model.h"

#include <cerrno>

#include "platform/file_read.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "platform/paths.h"

namespace tamso {

namespace {

constexpr const char* kSearchError = "Error searching for skeleton file";
constexpr const char* kNotFound = "Could not find skeleton files.\n\n Check .ini";
constexpr const char* kOpenError = "Error openning skeleton file";

// True when looking for the name met something other than plain absence: a
// directory or device of that name, or a folder we may not look into.
bool SearchFailed(std::string_view name, const DataFileDirs& dirs) {
  auto failed = [](const std::string& path) {
    const FileProbe probe = ProbeFile(path);
    return probe.kind != FileKind::Missing ||
           (probe.err != 0 && probe.err != ENOENT && probe.err != ENOTDIR);
  };
  if (name.find('/') != std::string_view::npos) return failed(std::string(name));
  for (const std::string& dir : dirs.dirs)
    if (failed(paths::Join(dir, name))) return true;
  return false;
}

}  // namespace

std::string SkeletonLanguageFor(ViewKind kind) {
  return kind == ViewKind::Html ? "HTML" : "Java";
}

std::string SkeletonFileSetting(const IniFile& profile, std::string_view language) {
  return profile.GetString("Skeletons", language, std::string(language) + ".skl");
}

SkeletonDialogModel::SkeletonDialogModel(IniFile& profile, IHost& host, DataFileDirs dirs)
    : profile_(profile), host_(host), dirs_(std::move(dirs)) {}

void SkeletonDialogModel::Load() {
  set_ = SkeletonSet();
  path_.clear();
  const std::string name = SkeletonFileSetting(profile_, language);
  std::string path = FindDataFile(name, dirs_);
  if (path.empty()) {
    host_.Message(SearchFailed(name, dirs_) ? kSearchError : kNotFound);
    return;
  }
  std::string bytes;
  if (!ReadWholeFile(path, bytes, nullptr, kSkeletonFileLimit)) {
    host_.Message(kOpenError);
    return;
  }
  path_ = std::move(path);
  set_ = ParseSkeletons(bytes);
}

std::string SkeletonTooLargeMessage(std::uint64_t size) {
  return "With the selected text in place of every $SEL$ this skeleton would be " +
         (size == UINT64_MAX ? std::string("larger than memory can hold")
                             : SizeText(size) + " (" + std::to_string(size) + " bytes)") +
         "; at most " + SizeText(kSkeletonTextLimit) +
         " can be shown and inserted.\nSelect less text, or choose another skeleton.";
}

std::string SkeletonDialogModel::CustomizeText() const {
  const std::string name = SkeletonFileSetting(profile_, language);
  const std::string target = name.find('/') != std::string::npos || dirs_.userDir.empty()
                                 ? name
                                 : paths::Join(dirs_.userDir, name);
  std::string text =
      "And... You can customize your skeleton file by editting " + PathForUser(target, dirs_.home);
  if (!path_.empty() && path_ != target)
    text += " (start from a copy of " + PathForUser(path_, dirs_.home) + ")";
  return text;
}

std::optional<std::string> SkeletonDialogModel::PreviewFor(int itemData) const {
  if (itemData <= kSkeletonRootData) return std::nullopt;
  const std::string& body = set_.Body(itemData);
  std::optional<std::string> text = ExpandSelection(body, selection);
  if (text) return text;
  host_.Message(SkeletonTooLargeMessage(ExpandedSize(body, selection)));
  return std::string();
}

}  // namespace tamso
