#pragma once
// Loading a source file into a line store and saving it back.
//
// A file is read whole and its bytes go through CLineStore::SetText. Saving writes
// every line followed by its line end: LF when the file that was loaded had LF line
// ends only (no CR LF anywhere), CR LF for every other file and every new document.
// The write is atomic: a failed save leaves the old file untouched.

#include <string>

#include "editor/line_store.h"

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

  // The bytes Save would write.
  std::string BytesForSave() const;

  // The file name (no directory) of the file last loaded or saved; "File" at first.
  const std::string& FileName() const { return fileName_; }
  // Line ends written by Save: "\n" or "\r\n".
  const char* LineEnd() const { return lfOnly_ ? "\n" : "\r\n"; }
  bool LfOnly() const { return lfOnly_; }

  bool IsModified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

 private:
  CLineStore& store_;
  std::string fileName_ = "File";
  bool lfOnly_ = false;
  bool modified_ = false;
};

}  // namespace tamso
