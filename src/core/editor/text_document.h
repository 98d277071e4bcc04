#pragma once
// Loading a source file into a line store and saving it back.
//
// A file is read whole and its bytes go through CLineStore::SetText, which keeps
// every byte but the line ends. Saving writes the lines back with the line end the
// loaded file used (CR LF if it had any CR LF, else LF if it had any LF, else CR);
// a new document and a file without any line end use LF. The last line gets a line
// end only when the loaded file's last line had one (always for a new document), so
// a file opened and saved unedited comes back byte for byte unless its line ends
// were mixed. The write is atomic: a failed save leaves the old file untouched.

#include <string>

#include "editor/line_store.h"
#include "platform/file_identity.h"
#include "platform/file_read.h"

namespace tamso {

class TextDocument {
 public:
  explicit TextDocument(CLineStore& store) : store_(store) {}

  // Reads path into the store. On failure (missing, unreadable, a directory, out of
  // memory) returns false with a sentence for the user in *error and keeps the text.
  bool Load(const std::string& path, std::string* error);
  // Writes the store to path. On failure returns false with a sentence for the user
  // in *error, the old file untouched and the document still modified.
  bool Save(const std::string& path, std::string* error);

  // Reads path again into the store as one undo step (Undo brings the old text
  // back), after another program changed it. The caret stays on its line (clamped
  // to the new text). Fails as Load fails, keeping the text.
  bool Reload(const std::string& path, std::string* error);

  // Replaces the whole text as one undo step and marks the document modified (a
  // recovered text over the file as it is on disk).
  void ReplaceText(std::string_view bytes);

  // Whether the file at path is still the one last loaded or saved. For a path the
  // document never read or wrote there is nothing to compare with: Same (a save
  // under a new name asks its own overwrite question).
  DiskState CheckDisk(const std::string& path);
  // Forgets the file's identity: the next CheckDisk compares with nothing. Set after
  // the user chose to keep the text over another program's change, so that the
  // question is not asked again for that change.
  void AcceptDiskState(const std::string& path);
  // The same for a file whose bytes were not loaded (too large, or binary): they are
  // not read now either.
  void AcceptUnreadDiskState(const std::string& path) {
    SetDiskIdentity(path, UnreadIdentityOf(path));
  }
  const FileIdentity& DiskIdentity() const { return identity_; }
  // The identity known for path (unknown when it describes another file), and
  // setting it: a recovered text is compared with the file it was typed over.
  FileIdentity DiskIdentityOf(const std::string& path) const {
    return path == identityPath_ ? identity_ : FileIdentity{};
  }
  void SetDiskIdentity(const std::string& path, const FileIdentity& identity) {
    identityPath_ = path;
    identity_ = identity;
  }

  // The bytes Save would write.
  std::string BytesForSave() const;

  // The file name (no directory) of the file last loaded or saved; "File" at first.
  const std::string& FileName() const { return fileName_; }
  // Line end written by Save: "\n", "\r\n" or "\r".
  const char* LineEnd() const { return lineEnd_; }
  bool LfOnly() const { return lineEnd_[0] == '\n'; }
  // Whether Save ends the last line with a line end.
  bool FinalLineEnd() const { return finalLineEnd_; }

  bool IsModified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

 private:
  void TakeLineEnds();
  // Sets bytes into the store and returns the identity of path holding them; for a
  // large file the identity (a hash of every byte) is taken on another thread
  // meanwhile, so the load costs the longer of the two rather than their sum.
  FileIdentity IdentityWhileSetting(const std::string& path, const SharedBytes& bytes);
  CLineStore& store_;
  std::string fileName_ = "File";
  const char* lineEnd_ = "\n";
  bool finalLineEnd_ = true;
  bool modified_ = false;
  FileIdentity identity_;
  std::string identityPath_;  // the file identity_ describes
};

}  // namespace tamso
