// The chosen JDK in the compiler's command line and heading, the release and extra
// options, the project's own JDK, and the real second JDK compiling and running a
// compact source file where it is installed.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "build_test_support.h"
#include "java/jdk.h"
#include "java/jdk_choice.h"
#include "jobs/compile.h"
#include "jobs/process_runner.h"
#include "jobs/project_build.h"
#include "platform/file_on_disk.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/project.h"

namespace tamso {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::HostWithOutput;
using ::testing::Not;
using testing::TempDir;
using testing::TestSlot;
using testing::TestUiThread;
namespace fs = std::filesystem;

constexpr const char* kJdk25 = "/usr/lib/jvm/temurin-25-jdk-amd64";
constexpr const char* kJdk17 = "/usr/lib/jvm/java-17-openjdk-amd64";

void Write(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path) << text;
}

// A folder that looks like a JDK whose javac succeeds without doing anything.
std::string FakeJdk(const TempDir& dir, const std::string& name, const std::string& version) {
  const std::string home = paths::Canonical(dir.Path()) + "/" + name;
  Write(home + "/bin/javac", "#!/bin/sh\nexit 0\n");
  ::chmod((home + "/bin/javac").c_str(), 0755);
  Write(home + "/release", "JAVA_VERSION=\"" + version + "\"\n");
  return home;
}

struct Rig {
  TempDir dir;
  IniFile profile{dir / "Tamso.INI"};
  TestUiThread ui;
  HostWithOutput host;
  TestSlot slot{host};
  CompileContext context{host, profile, slot, ui, {}};

  // Compiles and waits; the output window's text.
  std::string Compile(const std::string& path, bool* started = nullptr) {
    FileOnDisk doc(path);
    std::shared_ptr<IBuildJob> job;
    ui.Run([&] { job = CompileDocument(doc, context); });
    if (started) *started = job != nullptr;
    if (!job) return host.watched.Text();
    EXPECT_TRUE(job->WaitFinished(120000));
    ui.Run([] {});
    return host.watched.Text();
  }
};

TEST(JdkCompile, ReleaseAndExtraOptionsGoBeforeTheSourceEachOneArgument) {
  Rig rig;
  const std::string home = FakeJdk(rig.dir, "jdk", "21.0.4");
  rig.profile.WriteString("Compiler", "JDK", home);
  rig.profile.WriteString("Compiler", "GenerateDebug", "Y");
  rig.profile.WriteString("Compiler", "Release", "17");
  rig.profile.WriteString("Compiler", "ExtraOptions",
                          "-Xlint:all \"-Akey=two words\" --enable-preview");
  CompilerOverrides overrides;
  overrides.jdkHome = home;
  EXPECT_THAT(BuildJavacArguments(rig.profile, "/src/A.java", overrides),
              ElementsAre(home + "/bin/javac", "-g", "--release", "17", "-Xlint:all",
                          "-Akey=two words", "--enable-preview", "/src/A.java"));
  // The line shown gives the same arguments back.
  EXPECT_THAT(BuildJavacCommandLine(rig.profile, "/src/A.java", overrides),
              HasSubstr("\"-Akey=two words\""));

  // The compile: the heading names the JDK after the command line.
  const std::string source = rig.dir / "A.java";
  Write(source, "class A {}\n");
  const std::string text = rig.Compile(source);
  EXPECT_THAT(text, HasSubstr("--release 17 -Xlint:all \"-Akey=two words\" --enable-preview \"" +
                              source + "\"\njavac 21.0.4 (" + home + ")\n\n"));
  EXPECT_EQ(text.rfind(std::string(kCompileHeading) + "\n" + kCompilingLine + "\n", 0), 0u);
}

TEST(JdkCompile, TheProjectsJdkComesBeforeTheSettingsAndALostJdkStopsTheCompile) {
  Rig rig;
  const std::string global = FakeJdk(rig.dir, "jdk-global", "17");
  const std::string own = FakeJdk(rig.dir, "jdk-own", "25");
  rig.profile.WriteString("Compiler", "JDK", global);
  const std::string folder = paths::Canonical(rig.dir.Path()) + "/p";
  Write(folder + "/A.java", "class A {}\n");
  Write(folder + "/p.jap", std::string("[Project]\nJDK=") + own + "\n");
  const std::string cwd = paths::CurrentDirectory();
  Project project(rig.host, rig.profile);
  ASSERT_TRUE(project.Open(folder + "/p.jap"));
  rig.context.project = &project;
  EXPECT_THAT(rig.Compile(folder + "/A.java"), HasSubstr("\njavac 25 (" + own + ")\n"));
  // Build project too.
  std::string out = folder + "/out/classes";
  EXPECT_THAT(BuildProjectArguments(rig.profile, project, out, {}, "/tmp/list").front(),
              own + "/bin/javac");

  // The project's JDK lost its javac: said, nothing started, nothing else changed.
  fs::remove(own + "/bin/javac");
  rig.host.watched.SetOutput("");
  bool started = true;
  rig.Compile(folder + "/A.java", &started);
  EXPECT_FALSE(started);
  ASSERT_EQ(rig.host.MessageTexts().size(), 1u);
  EXPECT_EQ(rig.host.MessageTexts()[0],
            "The project's JDK: The folder " + own +
                " is not a JDK: it has no bin/javac.\nChoose another JDK in the project's "
                "settings.");
  EXPECT_TRUE(rig.slot.idle);
  project.Close();
  paths::SetCurrentDirectory(cwd);
}

// The real second JDK, when it is installed: a compact source file compiles and runs
// with it, and the default JDK 17 refuses it.
TEST(JdkCompile, ACompactSourceFileCompilesAndRunsWithJdk25) {
  if (!InspectJdk(kJdk25)) GTEST_SKIP() << "no JDK at " << kJdk25;
  Rig rig;
  const std::string source = paths::Canonical(rig.dir.Path()) + "/Hello.java";
  Write(source, "void main() { IO.println(\"hi\"); }\n");
  rig.profile.WriteString("Compiler", "JDK", kJdk25);
  const std::string text = rig.Compile(source);
  const std::string version = ReadJdkVersion(kJdk25);
  EXPECT_THAT(text, HasSubstr("\njavac " + version + " (" + kJdk25 + ")\n"));
  EXPECT_EQ(rig.host.statusTexts.back(), "Compiled: no errors") << text;
  ASSERT_TRUE(fs::exists(rig.dir / "Hello.class")) << text;

  // It runs with that JDK's java, the program Run Java starts for "java".
  const std::string java = JavaCommandFor("java", ChosenJdk(rig.profile, nullptr).home);
  EXPECT_EQ(java, std::string(kJdk25) + "/bin/java");
  rig.host.watched.SetOutput("");
  CompileJob run{java + " Hello", rig.dir.Path(), {java, "-cp", rig.dir.Path(), "Hello"}};
  std::shared_ptr<IBuildJob> job;
  rig.ui.Run([&] {
    job = StartBuildThread(std::move(run), rig.host, rig.host.watched, rig.slot, rig.ui);
  });
  ASSERT_TRUE(job && job->WaitFinished(120000));
  rig.ui.Run([] {});
  EXPECT_THAT(rig.host.watched.Text(), ::testing::StartsWith("hi\n"));

  if (!InspectJdk(kJdk17)) return;
  fs::remove(rig.dir / "Hello.class");
  rig.profile.WriteString("Compiler", "JDK", kJdk17);
  rig.host.watched.SetOutput("");
  const std::string refused = rig.Compile(source);
  EXPECT_THAT(refused, HasSubstr("Hello.java:1:")) << refused;
  EXPECT_THAT(rig.host.statusTexts.back(), Not(HasSubstr("no errors")));
  EXPECT_FALSE(fs::exists(rig.dir / "Hello.class"));
}

}  // namespace
}  // namespace tamso
