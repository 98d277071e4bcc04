#pragma once
// What a save cut short (a crash, kill -9, power loss) can leave behind, and putting
// it right at the next open or save of the file:
//  - a temporary ".Name.tamso-XXXXXX" beside the file, written before the rename that
//    never came: removed;
//  - an old copy ".Name.tamso-old-XXXXXX" (beside the file, or under the cache
//    directory when the file's directory is read-only) of a file rewritten in place.
//    Its header records the length and checksum of the old bytes it holds and of the
//    new bytes the save meant to write: when the file is not exactly the new bytes the
//    save was torn and the old bytes are written back.
// Only files owned by us and older than this process are touched, so a save running
// in another instance is left alone.

#include <cstdint>
#include <string>
#include <string_view>

namespace tamso {

struct RecoveryReport {
  bool restored = false;  // a torn file got its old bytes back
  int removed = 0;        // leftover temporaries and old copies removed
  std::string status;     // a status-bar line for the user when something was done
};

// Cleans up after a cut save of path (a symbolic link's target is what is checked).
RecoveryReport RecoverFile(const std::string& path);

// Removes leftovers without restoring anything: a save is about to replace the file.
int RemoveSaveDebris(const std::string& target);

namespace save_detail {

// 64-bit FNV-1a of the bytes.
std::uint64_t Checksum(std::string_view bytes);
// The header line an old copy starts with.
std::string OldCopyHeader(const std::string& target, std::string_view oldBytes,
                          std::string_view newBytes);
// "$XDG_CACHE_HOME/tamso" (default ~/.cache/tamso).
std::string CacheDirectory();
// The name template of an old copy of target in the cache directory.
std::string CacheOldCopyTemplate(const std::string& target);

}  // namespace save_detail
}  // namespace tamso
