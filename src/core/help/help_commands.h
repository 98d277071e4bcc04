#pragma once
// The Help menu's commands on the JDK's HTML documentation: the API index, the class
// hierarchy, the Java language pages, the tool pages and Java Search (F1), which
// looks the selected name up in the documentation's own search index and opens its
// page. Pages open in the configured browser ("Browser"/"Path") or with xdg-open.

#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "help/docs_index.h"

namespace tamso {

class IHost;
class IniFile;

// What the help commands need of the desktop.
class IHelpUi {
 public:
  virtual ~IHelpUi() = default;
  // Opens a URL in the browser; false when it could not be started (the user was told).
  virtual bool OpenUrl(const std::string& url) = 0;
  // Several pages for one name: the number of the one chosen, or -1 for none.
  virtual int ChooseHit(const std::string& keyword, const std::vector<const DocEntry*>& hits) = 0;
};

// The program and arguments that open url: the browser setting read as BrowserCommand
// reads it (the one reading "Launch Web browser..." uses too), else xdg-open. The URL
// is one argument, never seen by a shell.
std::vector<std::string> BrowserArguments(const std::string& browserPath, const std::string& url);
// Starts the browser of "Browser"/"Path" on url without waiting for it; false (after
// the "VOZ" message) when it could not be started.
bool OpenInBrowser(const IniFile& profile, IHost& host, const std::string& url);

// The search index of one documentation folder, read once per run on a worker thread.
class DocsIndexCache {
 public:
  struct Result {
    DocsIndex index;
    std::string error;  // why there is no index
  };
  // Starts reading the folder's index unless it is read or being read.
  void Prefetch(const std::string& apiDir);
  // The index of the folder, waiting for the read that is under way (or reading it now).
  std::shared_ptr<const Result> Get(const std::string& apiDir);
  // True when Get would not wait.
  bool IsReady(const std::string& apiDir);

 private:
  std::mutex mutex_;
  std::string dir_;
  std::shared_future<std::shared_ptr<const Result>> pending_;
};

class HelpCommands {
 public:
  // defaultDir stands for a missing "Help"/"Dir"; jdkVersion chooses the online pages.
  HelpCommands(IniFile& profile, IHost& host, IHelpUi& ui, DocsIndexCache& cache,
               std::string defaultDir, int jdkVersion);

  std::string Dir() const;
  const std::string& DefaultDir() const { return defaultDir_; }
  // Another JDK was chosen: its documentation folder (for a missing "Help"/"Dir") and
  // its version (for the online pages).
  void SetJdk(std::string defaultDir, int jdkVersion) {
    defaultDir_ = std::move(defaultDir);
    jdkVersion_ = jdkVersion;
  }

  // "Java..." and "Java  API...".
  void OpenApiIndex();
  // "Java Class Heirarchy...".
  void OpenClassHierarchy();
  // "Java Language Spec..." and "Java Man Pages...": installed, else online.
  void OpenLanguageSpec();
  void OpenManPages();
  // "Java Search..." for the keyword (see SearchKeyword).
  void JavaSearch(const std::string& keyword);

  // The "Using Java Help" dialog's OK: true when the folder was taken (a folder
  // without API documentation is kept only when the user says so). A profile that
  // cannot be written is reported, naming the file, and gives false.
  bool AcceptDir(const std::string& text);

  // Messages, for the tests.
  static std::string NoDirMessage();
  static std::string NoDocsMessage(const std::string& dir);
  static std::string NotSavedMessage(const std::string& profilePath);

 private:
  // The API folder when it holds documentation; otherwise tells the user and gives "".
  std::string CheckedDir();
  void OpenLocal(const std::string& page, std::string_view anchor = {});

  IniFile& profile_;
  IHost& host_;
  IHelpUi& ui_;
  DocsIndexCache& cache_;
  std::string defaultDir_;
  int jdkVersion_;
};

}  // namespace tamso
