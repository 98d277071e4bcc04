#pragma once
// A host for headless tests: answers from a script and records every message,
// beep and dialog, so a test can assert the exact texts the user would see.

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/host.h"

namespace tamso::testing {

struct RecordedMessage {
  std::string text;
  std::string caption;
  MsgIcon icon;
  MsgButtons buttons;
  Answer answer;
};

class FakeOutput : public IOutput {
 public:
  void SetOutput(const std::string& t) override {
    text = t;
    ++setCount;
  }
  void AppendOutput(const std::string& t, bool newLineFirst) override {
    if (newLineFirst) text += "\n";
    text += t;
    ++appendCount;
  }
  std::string text;
  int setCount = 0;
  int appendCount = 0;
};

class FakeHost : public IHost {
 public:
  // Scripted answers, used in order; a message box with no scripted answer
  // gets the first button (OK or Yes), as a user pressing Enter would.
  std::deque<Answer> answers;
  std::deque<std::optional<std::string>> openFileAnswers;
  std::deque<std::optional<std::string>> saveFileAnswers;
  std::deque<std::vector<std::string>> openFilesAnswers;
  std::deque<std::optional<std::string>> folderAnswers;
  std::deque<std::optional<std::uint32_t>> colorAnswers;

  std::vector<RecordedMessage> messages;
  std::vector<BeepKind> beeps;
  std::vector<FileDialogOptions> fileDialogs;
  std::vector<std::string> openedDocuments;
  int waitDepth = 0;
  int maxWaitDepth = 0;

  IView* activeView = nullptr;
  IDocument* activeDocument = nullptr;
  // Views handed out by OpenDocument, by path; a missing path opens nothing.
  std::map<std::string, IView*> documentViews;
  FakeOutput output;

  Answer MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                    MsgButtons buttons) override {
    Answer a = DefaultAnswer(buttons);
    if (!answers.empty()) {
      a = answers.front();
      answers.pop_front();
    }
    messages.push_back({text, caption, icon, buttons, a});
    return a;
  }
  void Beep(BeepKind kind) override { beeps.push_back(kind); }
  void BeginWaitCursor() override {
    ++waitDepth;
    if (waitDepth > maxWaitDepth) maxWaitDepth = waitDepth;
  }
  void EndWaitCursor() override { --waitDepth; }

  std::optional<std::string> OpenFileDialog(const FileDialogOptions& o) override {
    fileDialogs.push_back(o);
    return Take(openFileAnswers);
  }
  std::optional<std::string> SaveFileDialog(const FileDialogOptions& o) override {
    fileDialogs.push_back(o);
    return Take(saveFileAnswers);
  }
  std::vector<std::string> OpenFilesDialog(const FileDialogOptions& o) override {
    fileDialogs.push_back(o);
    if (openFilesAnswers.empty()) return {};
    auto v = openFilesAnswers.front();
    openFilesAnswers.pop_front();
    return v;
  }
  std::optional<std::string> FolderDialog(const FileDialogOptions& o) override {
    fileDialogs.push_back(o);
    return Take(folderAnswers);
  }
  std::optional<std::uint32_t> ColorDialog(std::uint32_t) override {
    if (colorAnswers.empty()) return std::nullopt;
    auto v = colorAnswers.front();
    colorAnswers.pop_front();
    return v;
  }
  IView* OpenDocument(const std::string& path) override {
    openedDocuments.push_back(path);
    auto it = documentViews.find(path);
    IView* v = it == documentViews.end() ? nullptr : it->second;
    if (v) {
      activeView = v;
      activeDocument = v->Document();
    }
    return v;
  }
  IView* ActiveView() override { return activeView; }
  IDocument* ActiveDocument() override { return activeDocument; }
  IOutput& Output() override { return output; }
  void ShowStatus(const std::string& text) override { statusTexts.push_back(text); }
  std::vector<std::string> statusTexts;

  // Progress windows: their titles, every text shown in them, and how many updates
  // each may see before the user presses Cancel (-1: never).
  std::vector<std::string> progressTitles;
  std::vector<std::string> progressTexts;
  int cancelProgressAfter = -1;
  int openProgress = 0;  // progress windows still shown
  std::unique_ptr<IProgress> BeginProgress(const std::string& title) override {
    progressTitles.push_back(title);
    return std::make_unique<Progress>(*this);
  }

  // Texts of all messages shown so far, in order.
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> v;
    for (const auto& m : messages) v.push_back(m.text);
    return v;
  }

 private:
  class Progress : public IProgress {
   public:
    explicit Progress(FakeHost& host) : host_(host) { ++host_.openProgress; }
    ~Progress() override { --host_.openProgress; }
    bool Update(const std::string& text) override {
      host_.progressTexts.push_back(text);
      if (host_.cancelProgressAfter < 0) return true;
      return updates_++ < host_.cancelProgressAfter;
    }

   private:
    FakeHost& host_;
    int updates_ = 0;
  };
  static Answer DefaultAnswer(MsgButtons b) {
    switch (b) {
      case MsgButtons::YesNo:
      case MsgButtons::YesNoCancel:
        return Answer::Yes;
      case MsgButtons::RetryCancel:
        return Answer::Retry;
      case MsgButtons::AbortRetryIgnore:
        return Answer::Abort;
      default:
        return Answer::Ok;
    }
  }
  template <class T>
  static std::optional<T> Take(std::deque<std::optional<T>>& q) {
    if (q.empty()) return std::nullopt;
    auto v = q.front();
    q.pop_front();
    return v;
  }
};

}  // namespace tamso::testing
