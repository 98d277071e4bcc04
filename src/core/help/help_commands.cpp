#include "help/help_commands.h"

#include <sys/wait.h>

#include <cerrno>
#include <thread>

#include "jobs/process_runner.h"
#include "jobs/run_html.h"
#include "help/help_pages.h"
#include "platform/command_line.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "platform/paths.h"

namespace tamso {

namespace {

std::string Trimmed(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return {};
  size_t b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

std::shared_ptr<const DocsIndexCache::Result> ReadIndex(const std::string& dir) {
  auto result = std::make_shared<DocsIndexCache::Result>();
  result->index.Load(dir, &result->error);
  return result;
}

}  // namespace

std::vector<std::string> BrowserArguments(const std::string& browserPath, const std::string& url) {
  std::vector<std::string> args = BrowserCommand(browserPath);
  if (args.empty()) args.push_back(kDesktopOpener);
  args.push_back(url);
  return args;
}

bool OpenInBrowser(const IniFile& profile, IHost& host, const std::string& url) {
  std::vector<std::string> args = BrowserArguments(profile.GetString("Browser", "Path", ""), url);
  std::string shown;
  for (const std::string& a : args) shown += (shown.empty() ? "" : " ") + QuoteArgument(a);
  pid_t pid = -1;
  if (!StartArguments(args, shown, std::string(), false, host, nullptr, &pid)) return false;
  // The browser may run for long; its exit status is collected so it leaves no zombie.
  std::thread([pid] {
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

void DocsIndexCache::Prefetch(const std::string& apiDir) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (pending_.valid() && dir_ == apiDir) return;
  dir_ = apiDir;
  pending_ = std::async(std::launch::async, ReadIndex, apiDir).share();
}

std::shared_ptr<const DocsIndexCache::Result> DocsIndexCache::Get(const std::string& apiDir) {
  Prefetch(apiDir);
  std::shared_future<std::shared_ptr<const Result>> f;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    f = pending_;
  }
  return f.get();
}

bool DocsIndexCache::IsReady(const std::string& apiDir) {
  std::lock_guard<std::mutex> lock(mutex_);
  return pending_.valid() && dir_ == apiDir &&
         pending_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

HelpCommands::HelpCommands(IniFile& profile, IHost& host, IHelpUi& ui, DocsIndexCache& cache,
                           std::string defaultDir, int jdkVersion)
    : profile_(profile),
      host_(host),
      ui_(ui),
      cache_(cache),
      defaultDir_(std::move(defaultDir)),
      jdkVersion_(jdkVersion) {}

std::string HelpCommands::Dir() const {
  return Trimmed(ReadHelpDir(profile_, defaultDir_));
}

std::string HelpCommands::NoDirMessage() {
  return "No folder of Java API documentation is set.\n\n"
         "Install the JDK's documentation (for example the openjdk-17-doc package) and "
         "choose its \"api\" folder in Help > Using (Wrenfold) Java Help... "
         "(setting \"Help\"/\"Dir\").";
}

std::string HelpCommands::NoDocsMessage(const std::string& dir) {
  return "No Java API documentation was found in\n" + dir +
         "\n\nChoose the folder that holds the documentation's index.html in "
         "Help > Using (Wrenfold) Java Help... (setting \"Help\"/\"Dir\").";
}

std::string HelpCommands::NotSavedMessage(const std::string& profilePath) {
  return "The documentation folder cannot be saved: the settings file\n" + profilePath +
         "\ncannot be written.";
}

std::string HelpCommands::CheckedDir() {
  std::string dir = Dir();
  if (dir.empty()) {
    host_.Message(NoDirMessage());
    return {};
  }
  if (ApiIndexPage(dir).empty()) {
    host_.Message(NoDocsMessage(dir));
    return {};
  }
  return dir;
}

void HelpCommands::OpenLocal(const std::string& page, std::string_view anchor) {
  ui_.OpenUrl(FileUrl(page, anchor));
}

void HelpCommands::OpenApiIndex() {
  std::string dir = CheckedDir();
  if (!dir.empty()) OpenLocal(ApiIndexPage(dir));
}

void HelpCommands::OpenClassHierarchy() {
  std::string dir = CheckedDir();
  if (dir.empty()) return;
  std::string page = ClassHierarchyPage(dir);
  // Documentation of a single package has no overview tree; its index is the next best.
  OpenLocal(page.empty() ? ApiIndexPage(dir) : page);
}

void HelpCommands::OpenLanguageSpec() {
  std::string page = LanguageSpecPage(Dir(), jdkVersion_);
  ui_.OpenUrl(page.rfind("https:", 0) == 0 ? page : FileUrl(page));
}

void HelpCommands::OpenManPages() {
  std::string page = ManPagesPage(Dir(), jdkVersion_);
  ui_.OpenUrl(page.rfind("https:", 0) == 0 ? page : FileUrl(page));
}

void HelpCommands::JavaSearch(const std::string& keyword) {
  std::string dir = CheckedDir();
  if (dir.empty()) return;
  const std::string index = ApiIndexPage(dir);
  const std::string word = Trimmed(keyword);
  if (word.empty()) {
    host_.ShowStatus("Java Search: select a name, or put the caret on one, to look it up.");
    OpenLocal(index);
    return;
  }
  std::shared_ptr<const DocsIndexCache::Result> result;
  {
    ScopedWaitCursor wait(host_);
    result = cache_.Get(dir);
  }
  if (result->index.empty()) {
    host_.ShowStatus("Java Search: " + result->error);
    OpenLocal(index);
    return;
  }
  std::vector<const DocEntry*> hits = result->index.Lookup(word);
  if (hits.empty()) {
    host_.Beep(BeepKind::Asterisk);
    host_.ShowStatus("Java Search: '" + word + "' is not in the Java API documentation index.");
    OpenLocal(index);
    return;
  }
  int chosen = 0;
  if (hits.size() > 1) {
    chosen = ui_.ChooseHit(word, hits);
    if (chosen < 0 || static_cast<size_t>(chosen) >= hits.size()) return;
  }
  const std::string& url = hits[static_cast<size_t>(chosen)]->url;
  size_t hash = url.find('#');
  std::string page = paths::Join(dir, url.substr(0, hash));
  OpenLocal(page, hash == std::string::npos ? std::string_view()
                                            : std::string_view(url).substr(hash + 1));
}

bool HelpCommands::AcceptDir(const std::string& text) {
  std::string dir = Trimmed(text);
  if (!dir.empty() && !LooksLikeApiDocs(dir)) {
    Answer a = host_.MessageBox("The folder\n" + dir +
                                    "\nholds no Java API documentation (no index.html with a "
                                    "search index).\n\nUse it anyway?",
                                "Using Java Help", MsgIcon::Question, MsgButtons::YesNo);
    if (a != Answer::Yes) return false;
  }
  if (!profile_.WriteString(kHelpSection, kHelpDirKey, dir)) {
    // The dialog stays open: the user sees why OK did not close it.
    host_.Message(NotSavedMessage(profile_.Path()));
    return false;
  }
  if (!dir.empty()) cache_.Prefetch(dir);
  return true;
}

}  // namespace tamso
