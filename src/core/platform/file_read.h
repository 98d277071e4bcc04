#pragma once
// The one way the program reads a file that comes from outside (documents, projects,
// the profile, skeletons, tips, source paths): only regular files are read, never a
// pipe, socket or device that could block or never end, and never more bytes than
// the caller allows. Failures come back as a sentence naming the file; nothing throws.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tamso {

enum class FileKind { Missing, Regular, Directory, Fifo, Socket, CharDevice, BlockDevice, Other };

// What a path names, following symbolic links; size is that of a regular file.
struct FileProbe {
  FileKind kind = FileKind::Missing;
  std::uint64_t size = 0;
  int err = 0;  // errno of a failed stat (ENOENT for a missing file)
};
FileProbe ProbeFile(const std::string& path);

// "a named pipe (FIFO)", "a character device", ... for a kind that is not a regular file.
const char* FileKindPhrase(FileKind kind);
// "<path> is a named pipe (FIFO), not a regular file."
std::string NotRegularMessage(const std::string& path, FileKind kind);

// Outside files bigger than this are refused unless the caller allows more.
inline constexpr std::uint64_t kDefaultReadLimit = 256ull << 20;
inline constexpr std::uint64_t kNoReadLimit = UINT64_MAX;

// Reads a whole regular file of at most limit bytes. False with a sentence in *error
// when it is missing, unreadable, not a regular file, too large or out of memory.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error = nullptr,
                   std::uint64_t limit = kDefaultReadLimit);

// Bytes in one shared block that nobody changes once it is filled: a file as read
// (into large_memory.h's pages, so a text of many megabytes costs a few page faults),
// kept by the line store and read by the recovery journal's thread without a copy.
struct SharedBytes {
  std::shared_ptr<const char[]> bytes;
  std::size_t size = 0;
  std::string_view view() const { return {bytes.get(), size}; }
};
bool ReadWholeFile(const std::string& path, SharedBytes& bytes, std::string* error = nullptr,
                   std::uint64_t limit = kDefaultReadLimit);
// Reads at most maxBytes from the start of a regular file.
bool ReadFileHead(const std::string& path, std::size_t maxBytes, std::string& bytes,
                  std::string* error = nullptr);

// True when the bytes (the start of a file) look like a binary file rather than text:
// a NUL byte, or more than 30 % control bytes other than tab, line ends and form feed.
bool LooksBinary(std::string_view head);

// "1.5 GB", "300.0 MB", "12 KB": a size for the user.
std::string SizeText(std::uint64_t bytes);

}  // namespace tamso
