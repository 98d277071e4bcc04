#pragma once
// What a document remembers of its file, to tell whether another program changed it:
// device, inode, size and modification time (nanoseconds), and a hash of the bytes
// it holds. The hash settles the doubtful cases: metadata that changed while the
// bytes did not (another program saved the same text, or replaced the file by a
// rename), and metadata that did not change although the bytes may have (a write
// within the time stamp's granularity of the last one).

#include <cstdint>
#include <string>
#include <string_view>

namespace tamso {

struct FileIdentity {
  bool known = false;  // false: no file to compare with (a new document)
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t mtimeNs = 0;
  std::uint64_t hash = 0;  // of the bytes the document read or wrote
  // The file was modified so shortly before it was looked at that a later write
  // could leave the same time stamp.
  bool recent = false;
};

enum class DiskState {
  Same,     // the file on disk is the one the document knows
  Changed,  // another program wrote different bytes
  Missing,  // the file was deleted or renamed away
};

std::uint64_t ContentHash(std::string_view bytes);

// The identity of path holding bytes (just read or written), taken now; an
// unknown identity when the file cannot be looked at.
FileIdentity IdentityOf(const std::string& path, std::string_view bytes);

// The identity of path from its metadata alone, for a file whose bytes the document
// does not hold (the user chose not to load it): only another size, inode or time
// stamp counts as a change, and telling so never reads the file.
FileIdentity UnreadIdentityOf(const std::string& path);

// Compares path now with what the document knows. When it says Same after
// reading the file (doubtful metadata), *current is the file's new identity.
DiskState CompareWithDisk(const FileIdentity& known, const std::string& path,
                          FileIdentity* current = nullptr);

}  // namespace tamso
