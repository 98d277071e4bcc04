#pragma once
// Writing a whole file so that a crash or a full disk never leaves it half-written:
// the bytes go to a temporary file in the same directory, are flushed to disk and
// renamed over the target (a symbolic link's target is written, the mode is kept).

#include <string>
#include <string_view>

namespace tamso {

struct WriteResult {
  bool ok = false;
  std::string error;  // a sentence for the user when !ok ("Permission denied", ...)
};

WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes);

// Reads a whole file. False (with a reason) when it cannot be read or is a directory.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error = nullptr);

}  // namespace tamso
