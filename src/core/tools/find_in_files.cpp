#include "tools/find_in_files.h"

#include <atomic>
#include <condition_variable>
#include <thread>

#include "jobs/compile.h"
#include "jobs/process_runner.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "platform/paths.h"

namespace tamso {

namespace {

constexpr const char* kSection = "Searcher";
// Progress reaches the dialog at least every this many files.
constexpr int kProgressFiles = 64;

std::string TrimEnd(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' ||
                        s.back() == '\n' || s.back() == '\v' || s.back() == '\f'))
    s.pop_back();
  return s;
}

}  // namespace

std::string DefaultSearchDirectory(const std::string& projectDir, const std::string& home) {
  if (!projectDir.empty()) return projectDir;
  if (!home.empty()) return home;
  return "/";
}

FindSettings LoadFindSettings(const IniFile& profile, const std::string& defaultDirectory) {
  FindSettings s;
  s.text = profile.GetString(kSection, "SearchText", "?");
  s.directory = profile.GetString(kSection, "Directory", defaultDirectory);
  s.filter = profile.GetString(kSection, "Filter", "*.java");
  s.recurse = profile.GetInt(kSection, "Recurse", 0) != 0;
  return s;
}

void SaveFindSettings(IniFile& profile, const FindSettings& s) {
  profile.WriteInt(kSection, "Recurse", s.recurse ? 1 : 0);
  profile.WriteString(kSection, "Filter", s.filter);
  profile.WriteString(kSection, "SearchText", s.text);
  profile.WriteString(kSection, "Directory", s.directory);
}

std::string TotalsLine(const SearchTotals& t) {
  return "Files scanned " + std::to_string(t.files) + ", hits: " + std::to_string(t.hits);
}

std::string UnreadableLine(const SearchTotals& t) {
  if (t.unreadableFiles == 0 && t.unreadableDirs == 0) return std::string();
  return "Could not be read (skipped): " + std::to_string(t.unreadableFiles) + " files, " +
         std::to_string(t.unreadableDirs) + " directories";
}

// The running search. Hits collect in pending text that one posted call at a time
// carries to the output window, so the window takes them in few large appends.
class FindInFiles::Job : public IBuildJob, public std::enable_shared_from_this<Job> {
 public:
  Job(SearchOptions options, IHost& host, IBuildSlot& slot, IUiThread& ui,
      std::function<void(const FindProgress&)> progress, std::function<void(bool)> finished)
      : options_(std::move(options)),
        host_(host),
        slot_(slot),
        ui_(ui),
        progress_(std::move(progress)),
        finished_(std::move(finished)) {}

  void Start() {
    auto self = shared_from_this();
    std::thread([self] {
      Sink sink(*self);
      const SearchTotals totals = SearchFiles(self->options_, sink, &self->cancelled_);
      sink.Publish(totals);
      self->ui_.Post([self, totals] { self->Finish(totals); });
      {
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->workerDone_ = true;
      }
      self->cv_.notify_all();
    }).detach();
  }

  void Cancel() override { cancelled_.store(true); }
  bool Finished() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return workerDone_;
  }
  bool WaitFinished(int timeoutMs) override {
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return workerDone_; });
  }
  // Still showing anything: neither finished nor stopped.
  bool Live() const { return !cancelled_.load() && !reported_; }
  SearchTotals Snapshot() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return snapshot_;
  }

 private:
  class Sink : public ISearchSink {
   public:
    explicit Sink(Job& job) : job_(job) {}
    void Write(std::string_view text) override { text_.append(text); }
    void FileDone(const SearchTotals& totals) override {
      if (!text_.empty() || totals.files % kProgressFiles == 0) Publish(totals);
    }
    void Publish(const SearchTotals& totals) {
      if (job_.cancelled_.load()) return;
      bool post = false;
      {
        std::lock_guard<std::mutex> lock(job_.mutex_);
        job_.pending_ += text_;
        job_.snapshot_ = totals;
        post = !job_.posted_;
        job_.posted_ = true;
      }
      text_.clear();
      if (post) {
        auto self = job_.shared_from_this();
        job_.ui_.Post([self] { self->Drain(); });
      }
    }

   private:
    Job& job_;
    std::string text_;
  };

  // On the user-interface thread.
  void Drain() {
    std::string text;
    SearchTotals totals;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      text.swap(pending_);
      totals = snapshot_;
      posted_ = false;
    }
    if (cancelled_.load()) return;
    if (!text.empty()) host_.Output().AppendOutput(text, false);
    if (progress_) progress_(FindProgress{totals.files, totals.hits});
  }

  void Finish(const SearchTotals& totals) {
    Drain();
    if (cancelled_.load()) return;
    reported_ = true;
    IOutput& out = host_.Output();
    out.AppendOutput(kSeparator, true);
    out.AppendOutput(TotalsLine(totals), true);
    if (std::string more = UnreadableLine(totals); !more.empty()) out.AppendOutput(more, true);
    slot_.SetBuildThread(nullptr);
    if (totals.hits > 0) out.AppendOutput(kDblClickHint, true);
    out.ShowNow();
    if (totals.hits == 0) host_.Message(kNoHits);
    if (finished_) finished_(totals.hits > 0);
  }

  SearchOptions options_;
  IHost& host_;
  IBuildSlot& slot_;
  IUiThread& ui_;
  std::function<void(const FindProgress&)> progress_;
  std::function<void(bool)> finished_;
  std::atomic<bool> cancelled_{false};
  bool reported_ = false;  // user-interface thread only
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  std::string pending_;
  bool posted_ = false;
  SearchTotals snapshot_;
  bool workerDone_ = false;
};

FindInFiles::FindInFiles(IHost& host, IniFile& profile, IBuildSlot& slot, IUiThread& ui)
    : host_(host), profile_(profile), slot_(slot), ui_(ui) {}

FindInFiles::~FindInFiles() {
  if (job_ && !job_->Finished()) {
    const bool live = job_->Live();
    job_->Cancel();
    job_->WaitFinished(5000);
    if (live) slot_.SetBuildThread(nullptr);
  }
}

bool FindInFiles::Running() const {
  return job_ && job_->Live();
}

bool FindInFiles::SearchNow(const FindSettings& controls, bool verbose,
                            std::function<void(const FindProgress&)> progress,
                            std::function<void(bool)> finished) {
  SearchOptions options;
  options.text = TrimEnd(controls.text);
  options.directory = TrimEnd(controls.directory);
  options.filter = TrimEnd(controls.filter);
  options.recurse = controls.recurse;
  options.verbose = verbose;
  // The values are stored even when refused; when accepted, only once the search
  // runs, so that writing the profile to disk overlaps the search.
  auto refuse = [&](const char* message) {
    SaveFindSettings(profile_, controls);
    host_.Message(message);
    return false;
  };
  if (options.text.empty()) return refuse("Find what ?");
  if (options.directory.empty()) return refuse("You must supply a starting directory");
  if (options.filter.empty()) return refuse("You must supply a filter (*.* will do)");
  // The output window is the running build's until it ends.
  if (Running() || !slot_.IsIdle()) return refuse(kBusyMessage);
  IOutput& out = host_.Output();
  out.SetOutput(kFindHeading);
  // A hit names its file as the starting directory was typed, so a relative one is
  // taken from the folder the search started from (not a compile's, not a later one).
  out.SetReferenceDirectory(paths::CurrentDirectory());
  out.AppendOutput("Find in files", true);
  out.AppendOutput(kSeparator, true);
  job_ = std::make_shared<Job>(std::move(options), host_, slot_, ui_, std::move(progress),
                               std::move(finished));
  slot_.SetBuildThread(job_);
  job_->Start();
  SaveFindSettings(profile_, controls);
  return true;
}

void FindInFiles::Stop() {
  if (!Running()) return;
  job_->Cancel();
  IOutput& out = host_.Output();
  out.AppendOutput(kSeparator, true);
  out.AppendOutput(TotalsLine(job_->Snapshot()), true);
  out.AppendOutput("Terminated at user request.", true);
  out.ShowNow();
  slot_.SetBuildThread(nullptr);
}

}  // namespace tamso
