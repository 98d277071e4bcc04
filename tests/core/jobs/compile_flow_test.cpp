#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "jobs/compile.h"
#include "jobs/process_runner.h"
#include "jobs/source_reference.h"
#include "build_test_support.h"
#include "platform/ini_file.h"
#include "project/project.h"

namespace tamso {
namespace {

using testing::HostWithOutput;
using testing::TempDir;
using testing::TestSlot;
using testing::TestUiThread;

class FakeDocument : public IDocument {
 public:
  explicit FakeDocument(std::string path) : path_(std::move(path)) {}
  std::string PathName() const override { return path_; }
  std::string Title() const override { return path_; }
  bool IsModified() const override { return false; }
  bool Save() override {
    ++saves;
    return true;
  }
  int saves = 0;

 private:
  std::string path_;
};

class RecordingView : public IView {
 public:
  explicit RecordingView(IDocument* doc) : doc_(doc) {}
  ViewKind Kind() const override { return ViewKind::Java; }
  IDocument* Document() override { return doc_; }
  void GoToLine(int line) override { lines.push_back(line); }
  std::vector<int> lines;

 private:
  IDocument* doc_;
};

struct CompileRig {
  TempDir dir;
  IniFile profile{dir / "Tamso.INI"};
  TestUiThread ui;
  HostWithOutput host;
  TestSlot slot{host};
  int shown = 0;
  CompileContext context{host, profile, slot, ui, [this] { ++shown; }};

  std::shared_ptr<IBuildJob> Compile(IDocument& doc) {
    std::shared_ptr<IBuildJob> job;
    ui.Run([&] { job = CompileDocument(doc, context); });
    return job;
  }
};

TEST(Compile, RefusesWhileBusyWithoutSaving) {
  CompileRig rig;
  FakeDocument doc(rig.dir / "A.java");
  rig.slot.idle = false;
  EXPECT_EQ(rig.Compile(doc), nullptr);
  EXPECT_EQ(rig.host.MessageTexts(),
            std::vector<std::string>{"Sorry.\n  I'm Busy.  Try again later."});
  EXPECT_EQ(doc.saves, 0);
  EXPECT_EQ(rig.host.watched.Text(), "");
  EXPECT_EQ(rig.shown, 0);
}

TEST(Compile, UnnamedDocumentWhoseSaveWasCancelledIsNotCompiled) {
  CompileRig rig;
  FakeDocument doc("");
  EXPECT_EQ(rig.Compile(doc), nullptr);
  EXPECT_EQ(doc.saves, 1);
  EXPECT_TRUE(rig.slot.idle);
  EXPECT_TRUE(rig.host.messages.empty());
}

TEST(Compile, SavesWritesTheHeadingAndRunsTheCompilerInTheFilesDirectory) {
  CompileRig rig;
  // A stand-in compiler that prints its working directory and its arguments.
  rig.profile.WriteString("Compiler", "javac", testing::Child() + " args");
  const std::string sub = rig.dir / "My Files";
  std::filesystem::create_directory(sub);
  FakeDocument doc(sub + "/A b.java");
  auto job = rig.Compile(doc);
  ASSERT_NE(job, nullptr);
  EXPECT_EQ(doc.saves, 1);
  EXPECT_EQ(rig.shown, 1);
  ASSERT_TRUE(job->WaitFinished(20000));
  rig.ui.Run([] {});
  const std::string cmd = testing::Child() + " args \"" + sub + "/A b.java\"";
  EXPECT_EQ(rig.host.watched.Text(), std::string("Tamso for Java(TM)\nCompiling via javac...\n") +
                                         kSeparator + "\n" + cmd + "\n[" + sub + "/A b.java]\n\n" +
                                         kSeparator + "\n" + kDoneLine);
  EXPECT_EQ(rig.host.maxWaitDepth, 1);
  EXPECT_EQ(rig.host.waitDepth, 0);
  EXPECT_TRUE(rig.slot.idle);
  EXPECT_EQ(rig.slot.job, job);
  // The compiler exited with 0: the status bar says so once the done line is out.
  EXPECT_EQ(rig.host.statusTexts, std::vector<std::string>{"Compiled: no errors"});
}

// While a project is open, a relative output directory is the project's folder, the
// one Run Java puts on the class path, also for a source in a subfolder.
TEST(Compile, ARelativeOutputDirectoryIsTheOpenProjectsFolder) {
  CompileRig rig;
  rig.profile.WriteString("Compiler", "javac", testing::Child() + " args");
  rig.profile.WriteString("Compiler", "UseDirectory", "Y");
  rig.profile.WriteString("Compiler", "Directory", "out");
  std::error_code ec;
  const std::filesystem::path before = std::filesystem::current_path(ec);
  std::filesystem::create_directories(rig.dir / "src");
  Project project(rig.host, rig.profile);
  ASSERT_TRUE(project.Open(rig.dir / "p.jap"));
  rig.context.project = &project;
  FakeDocument doc(rig.dir / "src/A.java");
  auto job = rig.Compile(doc);
  ASSERT_NE(job, nullptr);
  ASSERT_TRUE(job->WaitFinished(20000));
  rig.ui.Run([] {});
  const std::string text = rig.host.watched.Text();
  EXPECT_NE(text.find("[-d]\n[" + (rig.dir / "out") + "]\n"), std::string::npos) << text;
  project.Close();
  std::filesystem::current_path(before, ec);
}

TEST(Compile, AFailingCompilerWithoutCountsIsReportedByItsExitStatus) {
  CompileRig rig;
  rig.profile.WriteString("Compiler", "javac", testing::Child() + " status 3");
  FakeDocument doc(rig.dir / "A.java");
  auto job = rig.Compile(doc);
  ASSERT_NE(job, nullptr);
  ASSERT_TRUE(job->WaitFinished(20000));
  rig.ui.Run([] {});
  EXPECT_EQ(rig.host.statusTexts, std::vector<std::string>{"Compile failed (exit status 3)"});
}

// An output directory with a blank reaches the compiler as one argument, and an empty
// compiler setting never runs the source file (here an executable script).
TEST(Compile, DirectoryWithABlankIsOneArgumentAndAnEmptyCompilerIsNotTheSource) {
  CompileRig rig;
  rig.profile.WriteString("Compiler", "javac", testing::Child() + " args");
  rig.profile.WriteString("Compiler", "UseDirectory", "Y");
  rig.profile.WriteString("Compiler", "Directory", rig.dir / "My Classes");
  // A name that is not UTF-8 and has a backslash reaches the compiler as its bytes.
  FakeDocument doc(rig.dir / "caf\xe9\\A.java");
  auto job = rig.Compile(doc);
  ASSERT_NE(job, nullptr);
  ASSERT_TRUE(job->WaitFinished(20000));
  rig.ui.Run([] {});
  EXPECT_NE(rig.host.watched.Text().find("[-d]\n[" + (rig.dir / "My Classes") + "]\n[" +
                                         (rig.dir / "caf\xe9\\A.java") + "]\n"),
            std::string::npos)
      << rig.host.watched.Text();

  const std::string script = rig.dir / "Run.java";
  const std::string marker = rig.dir / "ran";
  {
    std::ofstream f(script);
    f << "#!/bin/sh\ntouch '" << marker << "'\n";
  }
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  rig.profile.WriteString("Compiler", "javac", "");
  rig.profile.WriteString("Compiler", "UseDirectory", "N");
  FakeDocument runnable(script);
  // The default compiler may be missing here: either way the script must not run.
  auto second = rig.Compile(runnable);
  if (second) {
    ASSERT_TRUE(second->WaitFinished(20000));
  }
  rig.ui.Run([] {});
  EXPECT_NE(rig.host.watched.Text().find("\njavac \"" + script + "\"\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST(Compile, SecondCompileWhileOneRunsIsRefusedAndTheFirstGoesOn) {
  CompileRig rig;
  rig.profile.WriteString("Compiler", "javac", testing::Child() + " forever");
  FakeDocument doc(rig.dir / "A.java");
  auto job = rig.Compile(doc);
  ASSERT_TRUE(rig.host.watched.WaitFor("pid "));
  EXPECT_EQ(rig.Compile(doc), nullptr);
  EXPECT_EQ(rig.host.MessageTexts(), std::vector<std::string>{kBusyMessage});
  EXPECT_FALSE(job->Finished());
  rig.ui.Run([&] { StopBuilding(rig.slot, job, rig.host); });
  ASSERT_TRUE(job->WaitFinished(20000));
}

TEST(CompileWithJavac, ErrorLineLeadsBackToTheSource) {
  if (FindProgram("javac").empty()) GTEST_SKIP() << "no javac on PATH: JDK not installed";
  CompileRig rig;
  const std::string path = rig.dir / "Hello.java";
  {
    std::ofstream f(path);
    f << "public class Hello {\n"
         "  public static void main(String[] args) {\n"
         "    System.out.println(undefinedName);\n"
         "  }\n"
         "}\n";
  }
  FakeDocument doc(path);
  RecordingView view(&doc);
  rig.host.documentViews[path] = &view;
  auto job = rig.Compile(doc);
  ASSERT_NE(job, nullptr);
  ASSERT_TRUE(job->WaitFinished(120000));
  rig.ui.Run([] {});
  const std::string text = rig.host.watched.Text();
  const std::string heading = std::string("Tamso for Java(TM)\nCompiling via javac...\n") +
                              kSeparator + "\njavac \"" + path + "\"\n";
  EXPECT_EQ(text.substr(0, heading.size()), heading);
  EXPECT_EQ(text.substr(text.size() - std::string(kDoneLine).size()), kDoneLine);
  // The diagnostic line, found as a user would see it.
  std::string errorLine;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (line.find("Hello.java:3:") != std::string::npos) {
      errorLine = line;
      break;
    }
    start = end + 1;
  }
  ASSERT_FALSE(errorLine.empty()) << text;
  EXPECT_EQ(JumpToSource(errorLine, rig.host), JumpResult::Done);
  EXPECT_EQ(view.lines, std::vector<int>{2});
  EXPECT_EQ(rig.host.statusTexts, std::vector<std::string>{"1 error"});
}

}  // namespace
}  // namespace tamso
