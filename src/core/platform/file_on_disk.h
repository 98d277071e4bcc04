#pragma once

#include <string>
#include <utility>

#include "platform/host.h"

namespace tamso {

// A file on disk standing in for a document that is not open: nothing to save.
class FileOnDisk : public IDocument {
 public:
  explicit FileOnDisk(std::string path) : path_(std::move(path)) {}
  std::string PathName() const override { return path_; }
  std::string Title() const override { return path_; }
  bool IsModified() const override { return false; }
  bool Save() override { return true; }

 private:
  std::string path_;
};

}  // namespace tamso
