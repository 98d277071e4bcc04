#pragma once
// What a save cut short (a crash, kill -9, power loss) can leave behind, and putting
// it right at the next open or save of the file:
//  - a temporary ".Name.tamso-XXXXXX" beside the file, written before the rename that
//    never came: removed;
//  - an old copy ".Name.tamso-old-XXXXXX" (beside the file, or under the cache
//    directory when the file's directory is read-only) of a file rewritten in place.
//    Its header records the length and checksum of the old bytes it holds and of the
//    new bytes the save meant to write (with a checksum of each block of them), and
//    which file it rewrote. The old bytes are written back only while the file is
//    still as the cut save left it: the same file, holding whole blocks of the new
//    bytes. A file written since is never overwritten: its old text is kept in a
//    plain file beside it (or in the cache directory) and the user is told where.
// Only files owned by us and older than this process are touched, so a save running
// in another instance is left alone.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tamso {

struct RecoveryReport {
  bool restored = false;  // a torn file got its old bytes back
  int removed = 0;        // leftover temporaries and old copies removed
  std::string status;     // a status-bar line for the user when something was done
  // The file changed after its save was cut: where its old text is kept. The user
  // should be told (status then says so and names it).
  std::string keptCopy;
};

// Cleans up after a cut save of path (a symbolic link's target is what is checked).
RecoveryReport RecoverFile(const std::string& path);

// Removes leftovers without restoring anything: a save is about to replace the file.
int RemoveSaveDebris(const std::string& target);

namespace save_detail {

// 64-bit FNV-1a of the bytes.
std::uint64_t Checksum(std::string_view bytes);
// The size of the blocks whose checksums let a cut save be recognised.
inline constexpr std::size_t kTearBlock = 4096;
// The header an old copy starts with; device and inode name the file rewritten.
std::string OldCopyHeader(const std::string& target, std::string_view oldBytes,
                          std::string_view newBytes, std::uint64_t device, std::uint64_t inode);
// "$XDG_CACHE_HOME/tamso" (default ~/.cache/tamso).
std::string CacheDirectory();
// The name template of an old copy of target in the cache directory.
std::string CacheOldCopyTemplate(const std::string& target);

}  // namespace save_detail
}  // namespace tamso
