#pragma once
// The checks and questions before a document is read from or written to its file.

#include <cstdint>
#include <string>

namespace tamso {

class IHost;

// Files larger than this are loaded only after the user agreed.
inline constexpr std::uint64_t kLargeDocumentBytes = 256ull << 20;
// How much of a file is looked at to tell a binary file from text.
inline constexpr std::size_t kBinarySniffBytes = 64 * 1024;

// Before path is opened as a document: puts right what a cut-short save left (and
// says so in the status bar; a file changed since is left as it is and a message
// names where its old text is kept), refuses a pipe, socket or device with a message, and
// asks before a very large file or one that looks binary. False: do not open it.
// A missing or unreadable file passes; loading it reports why it failed.
bool PrepareDocumentOpen(IHost& host, const std::string& path);

// The questions before path's text is loaded, whether it is opened or reloaded after
// another program changed it: a very large file, or one that looks binary, is loaded
// only when the user agrees. False: leave the text as it is.
bool ConfirmLoad(IHost& host, const std::string& path);

// Before a document is saved over path: a read-only file is saved only when the
// user confirms. False: do not save.
bool ConfirmSaveOver(IHost& host, const std::string& path);

// Another program and an open document's file.
std::string ChangedOnDiskQuestion(const std::string& path);
std::string ChangedBeforeSaveQuestion(const std::string& path);
std::string DeletedOnDiskMessage(const std::string& path);
std::string ReloadedStatus(const std::string& path);
// A changed file the user chose not to load (too large, or binary).
std::string NotReloadedStatus(const std::string& path);

std::string LargeFileQuestion(const std::string& path, std::uint64_t size);
std::string BinaryFileQuestion(const std::string& path);
std::string ReadOnlyFileQuestion(const std::string& path);

}  // namespace tamso
