// Projects with their own build tool: which program Build and Rebuild run, the
// output of a stand-in mvn, gradle or ./gradlew streamed and its diagnostics read,
// and a missing tool said so with javac offered instead.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "build_test_support.h"
#include "jobs/build_tool.h"
#include "jobs/compile.h"
#include "jobs/diagnostics.h"
#include "jobs/process_runner.h"
#include "jobs/project_build.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/project.h"

namespace tamso {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::TempDir;
namespace fs = std::filesystem;

void Write(const std::string& path, const std::string& text, bool executable = false) {
  testing::WriteFile(path, text, executable);
}

// PATH as a test sets it, restored afterwards.
class ScopedPath {
 public:
  explicit ScopedPath(const std::string& path) {
    if (const char* old = std::getenv("PATH")) old_ = old;
    ::setenv("PATH", path.c_str(), 1);
  }
  ~ScopedPath() { ::setenv("PATH", old_.c_str(), 1); }

 private:
  std::string old_;
};

// A stand-in build tool: says where it runs and with what, then what the test gives.
std::string FakeTool(const std::string& output, int status) {
  return "#!/bin/sh\necho \"in $PWD\"\necho \"args $*\"\n" + output + "exit " +
         std::to_string(status) + "\n";
}

std::string Found(const std::string& name) {
  return "/usr/bin/" + name;
}
std::string NotFound(const std::string&) {
  return {};
}

TEST(BuildTool, IsChosenFromTheProjectFolderAndThePrograms) {
  TempDir temp;
  const std::string dir = temp.Path();
  auto choose = [&](bool rebuild, const ProgramFinder& find) {
    return ChooseBuildTool(dir, rebuild, find);
  };
  // A plain folder: javac.
  EXPECT_EQ(choose(false, Found).kind, BuildToolKind::Javac);
  EXPECT_THAT(choose(false, Found).args, IsEmpty());
  EXPECT_EQ(choose(false, Found).missing, "");

  Write(dir + "/build.gradle.kts", "");
  EXPECT_THAT(choose(false, Found).args, ElementsAre("gradle", "-q", "classes"));
  EXPECT_THAT(choose(true, Found).args, ElementsAre("gradle", "-q", "clean", "classes"));
  EXPECT_EQ(choose(false, Found).marker, "build.gradle.kts");
  // The wrapper only when it can run; it needs no gradle on PATH.
  Write(dir + "/gradlew", "#!/bin/sh\n");
  EXPECT_EQ(choose(false, Found).args.front(), "gradle");
  ::chmod((dir + "/gradlew").c_str(), 0755);
  EXPECT_THAT(choose(false, NotFound).args, ElementsAre("./gradlew", "-q", "classes"));
  EXPECT_EQ(BuildToolName(choose(false, NotFound)), "./gradlew");

  // pom.xml comes first while mvn is there, else the Gradle build still works.
  Write(dir + "/pom.xml", "<project/>");
  EXPECT_EQ(choose(false, Found).kind, BuildToolKind::Maven);
  EXPECT_THAT(choose(false, Found).args, ElementsAre("mvn", "-B", "-q", "compile"));
  EXPECT_THAT(choose(true, Found).args, ElementsAre("mvn", "-B", "-q", "clean", "compile"));
  EXPECT_EQ(choose(false, NotFound).kind, BuildToolKind::Gradle);
  // Maven's wrapper, like Gradle's, only when it can run; then before mvn on PATH.
  Write(dir + "/mvnw", "#!/bin/sh\n");
  EXPECT_EQ(choose(false, NotFound).kind, BuildToolKind::Gradle);
  ::chmod((dir + "/mvnw").c_str(), 0755);
  EXPECT_THAT(choose(true, Found).args, ElementsAre("./mvnw", "-B", "-q", "clean", "compile"));
  EXPECT_EQ(BuildToolName(choose(false, NotFound)), "./mvnw");
  fs::remove(dir + "/mvnw");

  // Neither tool: what is missing is named.
  fs::remove(dir + "/gradlew");
  BuildToolChoice none = choose(false, NotFound);
  EXPECT_EQ(none.kind, BuildToolKind::Javac);
  EXPECT_EQ(none.missing, "mvn");
  EXPECT_EQ(MissingToolNote(none),
            "The project folder holds pom.xml, but mvn was not found on PATH.");
  fs::remove(dir + "/pom.xml");
  EXPECT_EQ(choose(false, NotFound).missing, "gradle");
  EXPECT_EQ(choose(false, NotFound).marker, "build.gradle.kts");
  // A folder named like a build file is none.
  fs::remove(dir + "/build.gradle.kts");
  fs::create_directories(dir + "/pom.xml");
  EXPECT_EQ(choose(false, NotFound).missing, "");
}

// A Maven-style project: pom.xml, one source with an error, a stand-in tool folder.
struct ToolRig : testing::ProjectRig {
  std::string bin = paths::Canonical(temp.Path()) + "/bin";
  ScopedPath path{bin};

  std::string Main() const { return dir + "/src/main/java/com/acme/app/Main.java"; }

  ToolRig() {
    fs::create_directories(bin);
    Write(Main(), "package com.acme.app;\n\npublic class Main {\n  int x = y;\n}\n");
    Write(dir + "/app.jap", "[Files]\nfile1=./src/main/java/com/acme/app/Main.java\n");
    project.Open(dir + "/app.jap");
  }
  std::vector<CompileDiagnostic> Diagnostics() const {
    std::vector<std::string> lines;
    std::istringstream in(host.watched.Text());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return ParseDiagnostics(
        lines.size(), [&lines](size_t i) { return lines[i]; }, dir);
  }
};

TEST(BuildTool, MavenRunsInTheProjectFolderAndItsErrorsNameTheirPlaces) {
  ToolRig rig;
  Write(rig.dir + "/pom.xml", "<project/>");
  // What mvn -q prints for a compile error, the summary repeating it.
  Write(rig.bin + "/mvn",
        FakeTool("echo '[ERROR] COMPILATION ERROR : '\n"
                 "echo \"[ERROR] $PWD/src/main/java/com/acme/app/Main.java:[4,11] cannot find "
                 "symbol\"\n"
                 "echo '  symbol:   variable y'\n"
                 "echo '  location: class com.acme.app.Main'\n"
                 "echo '[ERROR] 1 error'\n"
                 "echo '[ERROR] Failed to execute goal org.apache.maven.plugins:"
                 "maven-compiler-plugin:3.11.0:compile (default-compile) on project app: "
                 "Compilation failure'\n"
                 "echo \"[ERROR] $PWD/src/main/java/com/acme/app/Main.java:[4,11] cannot find "
                 "symbol\"\n"
                 "echo '[ERROR]   symbol:   variable y'\n"
                 "echo '[ERROR]   location: class com.acme.app.Main'\n"
                 "echo '[ERROR] -> [Help 1]'\n"
                 "echo \"[WARNING] $PWD/src/main/java/com/acme/app/Main.java:[1] odd\"\n",
                 1),
        true);
  ASSERT_NE(rig.Build(false), nullptr);
  const std::string text = rig.host.watched.Text();
  EXPECT_THAT(text, HasSubstr("Tamso for Java(TM)\nBuilding project via mvn...\n" +
                              std::string(kSeparator) + "\nmvn -B -q compile\nin " + rig.dir +
                              "\nargs -B -q compile\n"));
  EXPECT_THAT(text, HasSubstr(std::string(kSeparator) + "\n" + kDoneLine));
  EXPECT_TRUE(rig.slot.idle);
  EXPECT_THAT(rig.host.messages, IsEmpty());
  // No output directory is made for a tool that has its own.
  EXPECT_FALSE(fs::exists(rig.dir + "/out"));

  const auto found = rig.Diagnostics();
  ASSERT_EQ(found.size(), 2u) << text;
  EXPECT_EQ(found[0].file, rig.Main());
  EXPECT_EQ(found[0].mark.line, 3);
  EXPECT_EQ(found[0].mark.severity, DiagnosticSeverity::Error);
  EXPECT_EQ(found[0].mark.message,
            "cannot find symbol\nsymbol:   variable y\nlocation: class com.acme.app.Main");
  EXPECT_EQ(found[1].mark.line, 0);
  EXPECT_EQ(found[1].mark.severity, DiagnosticSeverity::Warning);
  EXPECT_EQ(found[1].mark.message, "odd");

  ASSERT_NE(rig.Build(true), nullptr);
  EXPECT_THAT(rig.host.watched.Text(),
              HasSubstr("Rebuilding entire project via mvn...\n" + std::string(kSeparator) +
                        "\nmvn -B -q clean compile\n"));
}

TEST(BuildTool, GradleAndItsWrapperPrintTheCompilersOwnPlaces) {
  ToolRig rig;
  Write(rig.dir + "/build.gradle", "");
  const std::string javacError =
      "echo \"$PWD/src/main/java/com/acme/app/Main.java:4: error: cannot find symbol\"\n"
      "echo '  int x = y;'\necho '          ^'\necho '1 error'\n";
  Write(rig.bin + "/gradle", FakeTool("echo gradle\n" + javacError, 1), true);
  ASSERT_NE(rig.Build(true), nullptr);
  std::string text = rig.host.watched.Text();
  EXPECT_THAT(text, HasSubstr("\ngradle -q clean classes\nin " + rig.dir + "\n"));
  auto found = rig.Diagnostics();
  ASSERT_EQ(found.size(), 1u) << text;
  EXPECT_EQ(found[0].file, rig.Main());
  EXPECT_EQ(found[0].mark.line, 3);

  // The project's wrapper wins over the gradle on PATH.
  Write(rig.dir + "/gradlew", FakeTool("echo wrapper\n", 0), true);
  ASSERT_NE(rig.Build(false), nullptr);
  text = rig.host.watched.Text();
  EXPECT_THAT(text,
              HasSubstr("Building project via ./gradlew...\n" + std::string(kSeparator) +
                        "\n./gradlew -q classes\nin " + rig.dir + "\nargs -q classes\nwrapper"));
  EXPECT_EQ(rig.host.statusTexts.back(), "Compiled: no errors");
}

TEST(BuildTool, AMissingToolIsSaidAndJavacOffered) {
  ToolRig rig;
  Write(rig.dir + "/pom.xml", "<project/>");
  rig.profile.WriteString("Compiler", "javac", testing::Child() + " args");
  const std::string note = "The project folder holds pom.xml, but mvn was not found on PATH.";

  // No: nothing runs, the output window keeps the reason.
  rig.host.answers.push_back(Answer::No);
  EXPECT_EQ(rig.Build(false), nullptr);
  ASSERT_EQ(rig.host.messages.size(), 1u);
  EXPECT_EQ(rig.host.messages[0].text, note + "\n\nBuild the project with javac instead?");
  EXPECT_EQ(rig.host.messages[0].icon, MsgIcon::Question);
  EXPECT_EQ(rig.host.messages[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(rig.host.watched.Text(), "Tamso for Java(TM)\n" + note + "\nNothing was built.");
  EXPECT_FALSE(fs::exists(rig.dir + "/out"));

  // Yes: the javac build, under the same note.
  rig.host.answers.push_back(Answer::Yes);
  ASSERT_NE(rig.Build(false), nullptr);
  const std::string text = rig.host.watched.Text();
  EXPECT_THAT(text, HasSubstr("Tamso for Java(TM)\n" + note +
                              " Building with javac instead.\nBuilding project via javac...\n"));
  EXPECT_THAT(text, HasSubstr("[-d]\n[" + rig.dir + "/out/classes]"));
  EXPECT_EQ(rig.host.messages.size(), 2u);
}

TEST(BuildTool, AnOutputDirectoryThatTakesNoFilesIsSaidSo) {
  EXPECT_EQ(OutputDirectoryProblem(fs::temp_directory_path().string()), "");
  EXPECT_EQ(OutputDirectoryProblem("/nonexistent/out"),
            "The output directory /nonexistent/out cannot be written to:\n"
            "No such file or directory.");
  // A read-only medium, where the system has one.
  std::ifstream mounts("/proc/mounts");
  for (std::string device, point, type, options; mounts >> device >> point >> type >> options;) {
    mounts.ignore(1 << 12, '\n');
    if ((options == "ro" || options.starts_with("ro,")) && paths::IsDirectory(point)) {
      EXPECT_EQ(OutputDirectoryProblem(point),
                "The output directory " + point + " cannot be written to:\nRead-only file system.");
      break;
    }
  }
}

}  // namespace
}  // namespace tamso
