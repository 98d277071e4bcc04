#include "editor/text_document.h"

#include <algorithm>
#include <future>
#include <new>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/startup_trace.h"

namespace tamso {

namespace {

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The platform's reason is already a sentence naming the file; fall back to ours.
std::string Sentence(const std::string& fallback, const std::string& reason) {
  std::string s = reason.empty() ? fallback : reason;
  if (s.back() != '.') s += '.';
  return s;
}

// Reads a document's file whole. The open flow asked before a very large file; the
// reader refuses what is not a regular file.
template <class Bytes>
bool ReadDocumentFile(const std::string& path, Bytes& bytes, std::string* error) {
  std::string reason;
  if (ReadWholeFile(path, bytes, &reason, kNoReadLimit)) return true;
  if (error) *error = Sentence("Cannot open " + path, reason);
  return false;
}

}  // namespace

bool TextDocument::Load(const std::string& path, std::string* error) {
  try {
    SharedBytes bytes;
    if (!ReadDocumentFile(path, bytes, error)) return false;
    startup::MarkOnce("file read");
    identity_ = IdentityWhileSetting(path, bytes);
    startup::MarkOnce("text set into the line store");
    identityPath_ = path;
    TakeLineEnds();
  } catch (const std::bad_alloc&) {
    if (error) *error = "Out of Memory";
    return false;
  }
  fileName_ = BaseName(path);
  store_.MarkSaved();
  modified_ = false;
  return true;
}

FileIdentity TextDocument::IdentityWhileSetting(const std::string& path, const SharedBytes& bytes) {
  constexpr std::size_t kParallelFrom = std::size_t{1} << 20;
  std::future<FileIdentity> identity;
  if (bytes.size >= kParallelFrom) {
    try {
      identity = std::async(std::launch::async,
                            [&path, &bytes] { return IdentityOf(path, bytes.view()); });
    } catch (const std::system_error&) {
      // No thread to be had: one after the other.
    }
  }
  // Should this throw, the future's end waits for the hash, which uses bytes.
  store_.SetText(bytes);
  return identity.valid() ? identity.get() : IdentityOf(path, bytes.view());
}

void TextDocument::TakeLineEnds() {
  switch (store_.LoadedLineEnds()) {
    case LineEnds::kCrLf:
      lineEnd_ = "\r\n";
      break;
    case LineEnds::kCr:
      lineEnd_ = "\r";
      break;
    case LineEnds::kLf:
    case LineEnds::kNone:
      lineEnd_ = "\n";
      break;
  }
  finalLineEnd_ = store_.HadFinalLineEnd();
}

bool TextDocument::Reload(const std::string& path, std::string* error) {
  try {
    std::string bytes;
    if (!ReadDocumentFile(path, bytes, error)) return false;
    const TextPos caret = store_.Caret();
    store_.ReplaceAllText(bytes);
    identity_ = IdentityOf(path, bytes);
    identityPath_ = path;
    TakeLineEnds();
    store_.SetSelection(std::min(caret.line, store_.LineCount() - 1), 0);
  } catch (const std::bad_alloc&) {
    if (error) *error = "Out of Memory";
    return false;
  }
  store_.MarkSaved();
  modified_ = false;
  return true;
}

void TextDocument::ReplaceText(std::string_view bytes) {
  store_.ReplaceAllText(bytes);
  TakeLineEnds();
  modified_ = !store_.IsAtSavePoint();
}

DiskState TextDocument::CheckDisk(const std::string& path) {
  if (path != identityPath_) return DiskState::Same;
  FileIdentity current;
  const DiskState state = CompareWithDisk(identity_, path, &current);
  if (state == DiskState::Same && current.known) identity_ = current;
  return state;
}

void TextDocument::AcceptDiskState(const std::string& path) {
  std::string bytes;
  identityPath_ = path;
  identity_ =
      ReadWholeFile(path, bytes, nullptr, kNoReadLimit) ? IdentityOf(path, bytes) : FileIdentity{};
}

std::string TextDocument::BytesForSave() const {
  return store_.JoinedText(lineEnd_, finalLineEnd_);
}

bool TextDocument::Save(const std::string& path, std::string* error) {
  WriteResult r;
  std::string bytes;
  try {
    bytes = BytesForSave();
    r = WriteFileAtomically(path, bytes);
  } catch (const std::bad_alloc&) {
    r = WriteResult{false, "Out of Memory"};
  }
  if (!r.ok) {
    if (error) *error = Sentence("Cannot save " + path, r.error);
    return false;
  }
  identity_ = IdentityOf(path, bytes);
  identityPath_ = path;
  fileName_ = BaseName(path);
  store_.MarkSaved();
  modified_ = false;
  return true;
}

}  // namespace tamso
