#pragma once
// A host for benchmarks: no dialogs, no beeps; a message is printed to stderr so a
// run that hits one shows why. Output goes to the given window, or nowhere.

#include <cstdio>

#include "platform/host.h"

namespace tamso::bench {

class NullOutput : public IOutput {
 public:
  void SetOutput(const std::string&) override {}
  void AppendOutput(const std::string&, bool) override {}
};

class QuietHost : public IHost {
 public:
  QuietHost() : out_(own_) {}
  explicit QuietHost(IOutput& out) : out_(out) {}
  Answer MessageBox(const std::string& text, const std::string&, MsgIcon, MsgButtons) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
    return Answer::Ok;
  }
  void Beep(BeepKind) override {}
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  std::optional<std::string> OpenFileDialog(const FileDialogOptions&) override { return {}; }
  std::optional<std::string> SaveFileDialog(const FileDialogOptions&) override { return {}; }
  std::vector<std::string> OpenFilesDialog(const FileDialogOptions&) override { return {}; }
  std::optional<std::uint32_t> ColorDialog(std::uint32_t) override { return {}; }
  IView* OpenDocument(const std::string&) override { return nullptr; }
  IView* ActiveView() override { return nullptr; }
  IDocument* ActiveDocument() override { return nullptr; }
  IOutput& Output() override { return out_; }

 private:
  NullOutput own_;
  IOutput& out_;
};

}  // namespace tamso::bench
