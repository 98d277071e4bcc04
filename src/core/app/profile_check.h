#pragma once
// Whether settings can be saved to the profile file at all.

#include <string>

namespace tamso {

// Creates the profile's directory when it is missing. True when the file can be
// written (an existing file that is writable, or a directory that lets it be created).
bool PrepareProfileLocation(const std::string& profilePath);

// The one message shown when settings cannot be saved.
std::string ProfileNotWritableMessage(const std::string& profilePath);

}  // namespace tamso
