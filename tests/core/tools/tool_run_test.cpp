#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "../jobs/build_test_support.h"
#include "jobs/compile.h"
#include "jobs/process_runner.h"
#include "platform/ini_file.h"
#include "tools/tool_config.h"
#include "tools/tool_run.h"

namespace tamso {
namespace {

using testing::HostWithOutput;
using testing::TempDir;
using testing::TestSlot;
using testing::TestUiThread;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class Document : public IDocument {
 public:
  explicit Document(std::string path) : path_(std::move(path)) {}
  std::string PathName() const override { return path_; }
  std::string Title() const override { return path_; }
  bool IsModified() const override { return modified; }
  bool Save() override {
    ++saves;
    std::ofstream(path_, std::ios::binary) << text;
    modified = false;
    return true;
  }
  std::string text;
  bool modified = false;
  int saves = 0;

 private:
  std::string path_;
};

class View : public IView {
 public:
  explicit View(IDocument* d) : doc_(d) {}
  ViewKind Kind() const override { return ViewKind::Java; }
  IDocument* Document() override { return doc_; }
  void GoToLine(int) override {}

 private:
  IDocument* doc_;
};

class Site : public IToolSite {
 public:
  bool PromptTool(ToolPrompt& p) override {
    prompts.push_back(p);
    if (!answer) return false;
    p = *answer;
    return true;
  }
  IDocument* FindOpenDocument(const std::string& path) override {
    return open && open->PathName() == path ? open : nullptr;
  }
  bool ReloadDocument(IDocument& d, std::string*) override {
    auto& doc = static_cast<Document&>(d);
    doc.text = ReadFile(doc.PathName());
    doc.modified = false;
    ++reloads;
    return true;
  }
  std::vector<ToolPrompt> prompts;
  std::optional<ToolPrompt> answer;
  Document* open = nullptr;
  int reloads = 0;
};

// One record of the stand-in tool: its working directory, then its arguments.
struct Record {
  std::string cwd;
  std::vector<std::string> args;
};

Record ParseRecord(const std::string& bytes) {
  Record r;
  size_t pos = 0;
  bool first = true;
  while (pos < bytes.size() && bytes[pos] != '\n') {
    size_t end = bytes.find('\0', pos);
    if (end == std::string::npos) break;
    std::string part = bytes.substr(pos, end - pos);
    if (first)
      r.cwd = part;
    else
      r.args.push_back(part);
    first = false;
    pos = end + 1;
  }
  return r;
}

struct ToolRig {
  TempDir dir;
  IniFile profile{dir / "Tamso.INI"};
  TestUiThread ui;
  HostWithOutput host;
  TestSlot slot{host};
  Site site;
  ToolRunContext context{host, profile, slot, ui, site};
  std::string log = dir / "stub.log";

  ToolRig() { ::setenv("TAMSO_STUB_LOG", log.c_str(), 1); }
  ~ToolRig() {
    ::unsetenv("TAMSO_STUB_LOG");
    ::unsetenv("TAMSO_STUB_REWRITE");
  }

  void AddTool(int slotIndex, const std::string& name, const ToolDefinition& t) {
    profile.WriteString("Tools", ToolSlotKey(slotIndex), name);
    SaveTool(profile, name, t);
  }
  std::shared_ptr<IBuildJob> Run(int slotIndex) {
    std::shared_ptr<IBuildJob> job;
    ui.Run([&] { job = RunTool(slotIndex, context); });
    if (job) {
      EXPECT_TRUE(job->WaitFinished(20000));
    }
    ui.Run([] {});
    return job;
  }
  // The stand-in's record once it has written it: a tool started without waiting is
  // read through a named pipe, which blocks until the tool has written and closed it.
  Record WaitRecord() {
    const int fd = ::open(log.c_str(), O_RDONLY | O_NONBLOCK);
    std::string bytes;
    char buf[4096];
    for (;;) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 20000) <= 0) break;
      const ssize_t n = ::read(fd, buf, sizeof buf);
      if (n <= 0) break;
      bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return ParseRecord(bytes);
  }
};

ToolDefinition Stub(const std::string& args) {
  ToolDefinition t;
  t.command = TAMSO_TOOL_STUB_PATH;
  t.args = args;
  return t;
}

TEST(ToolRun, HostileNamesReachTheToolExactlyThroughEverySwitch) {
  const std::string names[] = {"my file.java", "a\"b.java", "$(x).java", "-rf.java"};
  for (int combo = 0; combo < 8; ++combo) {
    for (const auto& name : names) {
      ToolRig rig;
      const bool redirect = combo & 1, reload = combo & 2, save = combo & 4;
      SCOPED_TRACE(name + " redirect " + std::to_string(redirect) + " reload " +
                   std::to_string(reload) + " save " + std::to_string(save));
      ToolDefinition t = Stub("-n $(FileName) $(FilePath)");
      t.initDir = "$(FileDir)";
      t.redirect = redirect;
      t.reloadAfter = reload;
      t.saveBefore = save;
      rig.AddTool(0, "Stub", t);
      const std::string sub = rig.dir / "sub dir";
      ::mkdir(sub.c_str(), 0700);
      Document doc(sub + "/" + name);
      doc.text = "class A {}\n";
      doc.modified = save;
      std::ofstream(doc.PathName()) << "old";
      View view(&doc);
      rig.host.activeView = &view;
      rig.site.open = &doc;
      const bool waited = redirect || reload;
      if (!waited) ::mkfifo(rig.log.c_str(), 0600);

      auto job = rig.Run(0);
      EXPECT_EQ(job != nullptr, waited);
      Record r = waited ? ParseRecord(ReadFile(rig.log)) : rig.WaitRecord();
      // A name that reads as an option reaches the tool as "./-rf.java".
      const std::string asGiven = name[0] == '-' ? "./" + name : name;
      EXPECT_EQ(r.args, (std::vector<std::string>{"-n", asGiven, doc.PathName()}));
      EXPECT_EQ(r.cwd, sub);
      EXPECT_EQ(doc.saves, save ? 1 : 0);
      EXPECT_EQ(rig.site.reloads, reload ? 1 : 0);
      if (redirect) {
        EXPECT_TRUE(rig.host.watched.WaitFor("[" + asGiven + "]\n"));
        EXPECT_EQ(rig.host.watched.Text().rfind(kExecutingTool, 0), 0u);
      }
      EXPECT_TRUE(rig.host.messages.empty());
      EXPECT_TRUE(rig.slot.idle);
    }
  }
}

TEST(ToolRun, ReloadAfterShowsTheFileAsTheToolLeftIt) {
  ToolRig rig;
  ToolDefinition t = Stub("$(FilePath)");
  t.reloadAfter = true;
  rig.AddTool(2, "Format", t);
  Document doc(rig.dir / "A.java");
  doc.text = "unsaved edit";
  std::ofstream(doc.PathName()) << "on disk";
  View view(&doc);
  rig.host.activeView = &view;
  rig.site.open = &doc;
  ::setenv("TAMSO_STUB_REWRITE", "formatted\n", 1);

  // Unsaved changes: the user is asked, and No keeps them.
  doc.modified = true;
  rig.host.answers.push_back(Answer::No);
  rig.Run(2);
  ASSERT_EQ(rig.host.messages.size(), 1u);
  EXPECT_EQ(rig.host.messages[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(doc.text, "unsaved edit");
  // Without changes the editor simply shows the new text.
  doc.modified = false;
  rig.Run(2);
  EXPECT_EQ(doc.text, "formatted\n");
  // The same with the output redirected (the switch is not dropped there).
  ::setenv("TAMSO_STUB_REWRITE", "again\n", 1);
  t.redirect = true;
  SaveTool(rig.profile, "Format", t);
  rig.Run(2);
  EXPECT_EQ(doc.text, "again\n");
  // A document closed meanwhile is not opened again.
  rig.site.open = nullptr;
  rig.Run(2);
  EXPECT_EQ(rig.site.reloads, 2);
}

TEST(ToolRun, NoDocumentEmptyCommandAndPrompt) {
  ToolRig rig;
  ToolDefinition t = Stub("$(FileName) x $(FileDir)");
  t.redirect = true;
  t.saveBefore = t.reloadAfter = true;
  rig.AddTool(0, "Stub", t);
  // No source window: the macros are empty, nothing is saved or reloaded.
  rig.Run(0);
  EXPECT_EQ(ParseRecord(ReadFile(rig.log)).args, (std::vector<std::string>{"", "x", ""}));
  EXPECT_EQ(rig.site.reloads, 0);

  // A blank command, or a slot without a tool, runs nothing and says nothing.
  ToolDefinition blank;
  blank.command = "  \t";
  blank.redirect = true;
  rig.AddTool(1, "Blank", blank);
  EXPECT_EQ(rig.Run(1), nullptr);
  EXPECT_EQ(rig.Run(5), nullptr);
  EXPECT_TRUE(rig.host.messages.empty());

  // The prompt shows the fields with the values quoted where needed; Cancel stops,
  // Run takes the fields back (edited arguments split as the user wrote them).
  Document doc(rig.dir / "my file.java");
  View view(&doc);
  rig.host.activeView = &view;
  t.prompt = true;
  t.reloadAfter = t.saveBefore = false;
  t.initDir = "$(FileDir)";
  SaveTool(rig.profile, "Stub", t);
  std::remove(rig.log.c_str());
  rig.Run(0);
  ASSERT_EQ(rig.site.prompts.size(), 1u);
  EXPECT_EQ(rig.site.prompts[0].arguments, "'my file.java' x " + rig.dir.Path());
  EXPECT_EQ(rig.site.prompts[0].initialDir, rig.dir.Path());
  EXPECT_TRUE(rig.site.prompts[0].redirect);
  EXPECT_EQ(rig.site.prompts[0].description, "");
  EXPECT_FALSE(std::ifstream(rig.log).good());

  ToolPrompt edited = rig.site.prompts[0];
  edited.arguments = "\"one arg\" two";
  edited.initialDir = "/  ";
  rig.site.answer = edited;
  rig.Run(0);
  Record r = ParseRecord(ReadFile(rig.log));
  EXPECT_EQ(r.args, (std::vector<std::string>{"one arg", "two"}));
  EXPECT_EQ(r.cwd, "/");
  EXPECT_NE(rig.host.watched.Text().find(std::string(TAMSO_TOOL_STUB_PATH) +
                                         " 'one arg' two\n[one arg]"),
            std::string::npos);
}

TEST(ToolRun, StartFailuresAndTheBuildSlot) {
  ToolRig rig;
  ToolDefinition t;
  t.command = "/nonexistent/tool";
  t.args = "-x";
  rig.AddTool(0, "Missing", t);
  rig.Run(0);
  ASSERT_EQ(rig.host.messages.size(), 1u);
  EXPECT_EQ(rig.host.messages[0].text,
            "Sorry.\n\nError spawning command\n\n==> /nonexistent/tool -x\n\nMake sure your PATH "
            "is set correctly");
  EXPECT_EQ(rig.host.messages[0].caption, "VOZ");
  EXPECT_EQ(rig.host.messages[0].icon, MsgIcon::Stop);

  t.reloadAfter = true;
  SaveTool(rig.profile, "Missing", t);
  Document doc(rig.dir / "A.java");
  View view(&doc);
  rig.host.activeView = &view;
  rig.Run(0);
  EXPECT_EQ(rig.host.messages.back().text, VisibleSpawnFailureText("/nonexistent/tool"));

  // A tool that exists but whose Initial Directory does not is told as that, in
  // every way of running it, and nothing is started.
  ToolDefinition lost = Stub("x");
  lost.initDir = rig.dir / "gone away";
  rig.AddTool(2, "Lost", lost);
  const std::string lostText = "The tool's Initial Directory does not exist:\n\n" +
                               (rig.dir / "gone away") + "\n\nNothing was run.";
  for (int way = 0; way < 3; ++way) {
    lost.redirect = way == 1;
    lost.reloadAfter = way == 2;
    SaveTool(rig.profile, "Lost", lost);
    const size_t before = rig.host.messages.size();
    EXPECT_EQ(rig.Run(2), nullptr);
    ASSERT_EQ(rig.host.messages.size(), before + 1);
    EXPECT_EQ(rig.host.messages.back().text, lostText);
    EXPECT_EQ(rig.host.messages.back().caption, "VOZ");
    EXPECT_TRUE(rig.slot.idle);
  }

  // A redirected tool that runs for ever: a second one is refused while it runs, and
  // Stop Building ends its whole process group.
  ToolDefinition forever;
  forever.command = TAMSO_CHILD_PATH;
  forever.args = "forever";
  forever.redirect = true;
  rig.AddTool(1, "Forever", forever);
  std::shared_ptr<IBuildJob> job;
  rig.ui.Run([&] { job = RunTool(1, rig.context); });
  ASSERT_TRUE(job);
  ASSERT_TRUE(rig.host.watched.WaitFor("\npid "));
  EXPECT_FALSE(rig.slot.idle);
  const size_t before = rig.host.messages.size();
  rig.ui.Run([&] { EXPECT_EQ(RunTool(1, rig.context), nullptr); });
  ASSERT_EQ(rig.host.messages.size(), before + 1);
  EXPECT_EQ(rig.host.messages.back().text, kBusyMessage);
  rig.ui.Run([&] { StopBuilding(rig.slot, job, rig.host); });
  EXPECT_TRUE(job->WaitFinished(20000));
  EXPECT_TRUE(rig.slot.idle);
}

// Redirected output starts right below the command line and ends with how the tool
// ended; one that is not redirected runs in the terminal Run Java uses.
TEST(ToolRun, RedirectedOutputEndsWithTheExitStatusAndOthersRunInATerminal) {
  ToolRig rig;
  ToolDefinition t;
  t.command = TAMSO_CHILD_PATH;
  t.args = "status 3";
  t.redirect = true;
  rig.AddTool(0, "Three", t);
  rig.Run(0);
  EXPECT_EQ(rig.host.watched.Text(), std::string(kExecutingTool) + "\n" + TAMSO_CHILD_PATH +
                                         " status 3\n\nExit status 3");

  const std::string record = rig.dir / "argv.txt";
  rig.context.inTerminal = true;
  rig.context.terminal = std::string("'") + TAMSO_CHILD_PATH + "' record '" + record + "'";
  rig.context.holdProgram = "/hold";
  t.args = "'a b' \"c\\\"d\"";
  t.redirect = false;
  rig.AddTool(1, "Quoted", t);
  EXPECT_EQ(rig.Run(1), nullptr);
  std::string text;
  for (int i = 0; i < 2000 && text.empty(); ++i) {
    pollfd none{-1, 0, 0};
    ::poll(&none, 1, 10);
    text = ReadFile(record);
  }
  EXPECT_EQ(text, std::string("-e\n/hold\n--hold-run\n--\n") + TAMSO_CHILD_PATH +
                      "\na b\nc\"d\n");
  // A tool that is not there is the spawn message, not a terminal that shows an error.
  t.command = rig.dir / "no-such-tool";
  rig.AddTool(2, "Missing", t);
  rig.Run(2);
  ASSERT_EQ(rig.host.messages.size(), 1u);
  EXPECT_EQ(rig.host.messages[0].caption, "VOZ");
}

}  // namespace
}  // namespace tamso
