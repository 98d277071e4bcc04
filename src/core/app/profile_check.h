#pragma once
// Whether settings can be saved to the profile file at all.

#include <cstdint>
#include <string>

namespace tamso {

// Creates the profile's directory when it is missing. True when the file can be
// written (an existing file that is writable, or a directory that lets it be created).
bool PrepareProfileLocation(const std::string& profilePath);

// A profile larger than this is not read (settings are a few kilobytes; every
// setting read would go through all of it).
inline constexpr std::uint64_t kLargestProfileBytes = 16ull << 20;

// The message that names a profile over kLargestProfileBytes, or nothing when it is
// of a sane size (or missing). Such a profile is left as it is and the program runs
// on defaults.
std::string ProfileTooLargeMessage(const std::string& profilePath);

// The one message shown when settings cannot be saved.
std::string ProfileNotWritableMessage(const std::string& profilePath);

}  // namespace tamso
