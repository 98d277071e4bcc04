#pragma once
// Writing a whole file so that a crash or a full disk never leaves it half-written:
// the bytes go to a temporary file in the same directory, are flushed to disk and
// renamed over the target (a symbolic link's target is written; the mode, owner and
// extended attributes are kept). A file with several hard links, or in a directory
// we may not create files in, is rewritten in place, with its old bytes kept aside
// (beside it, or under the cache directory) until the new ones are on disk.

#include <string>
#include <string_view>

#include "platform/file_read.h"

namespace tamso {

struct WriteResult {
  bool ok = false;
  std::string error;  // a sentence for the user when !ok ("Permission denied", ...)
};

WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes);

// True when path is an existing file we may not write to (mode 0444 and the like):
// saving it should be confirmed first.
bool IsReadOnlyFile(const std::string& path);

}  // namespace tamso
