#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "jobs/compile.h"
#include "build_test_support.h"
#include "platform/command_line.h"
#include "platform/ini_file.h"
#include "project/project.h"
#include "support/fake_host.h"

namespace tamso {
namespace {

using testing::TempDir;

class CompileCommandLine : public ::testing::Test {
 protected:
  TempDir dir;
  IniFile profile{dir / "Tamso.INI"};
  void Set(const char* key, const char* value) { profile.WriteString("Compiler", key, value); }
};

TEST_F(CompileCommandLine, DefaultsGiveTheCompilerAndTheQuotedPath) {
  EXPECT_EQ(BuildJavacCommandLine(profile, "/home/me/src/Hello.java"),
            "javac \"/home/me/src/Hello.java\"");
  Set("javac", "/opt/jdk/bin/javac");
  EXPECT_EQ(BuildJavacCommandLine(profile, "/a/B.java"), "/opt/jdk/bin/javac \"/a/B.java\"");
}

TEST_F(CompileCommandLine, ClassPathAndDebugAsInTheSettingsExample) {
  Set("UseClassPath", "Y");
  Set("ClassPath", ".:/usr/share/java/classes.zip");
  Set("GenerateDebug", "Y");
  EXPECT_EQ(BuildJavacCommandLine(profile, "/src/Hello.java"),
            "javac -classpath .:/usr/share/java/classes.zip -g \"/src/Hello.java\"");
}

TEST_F(CompileCommandLine, EveryKeyInItsOrderWithItsBlanks) {
  Set("UseDirectory", "Y");
  Set("Directory", "/out");
  Set("UseClassPath", "Y");
  Set("ClassPath", "lib");
  for (const char* key :
       {"Verbose", "Debug", "Depend", "DisableWarnings", "GenerateDebug", "NoWrite", "Optimize"})
    Set(key, "Y");
  EXPECT_EQ(BuildJavacCommandLine(profile, "/s/A.java"),
            "javac -d /out -classpath lib -verbose -debug -depend -nowarn -g -nowrite -O "
            "\"/s/A.java\"");
}

TEST_F(CompileCommandLine, TheTwoYesNoRules) {
  // Only an exact "Y" switches the directory and class path on.
  Set("UseDirectory", "y");
  Set("Directory", "/out");
  Set("UseClassPath", "Yes");
  Set("ClassPath", "lib");
  // The option keys are on for anything but an exact "N", an empty value included.
  Set("Verbose", "");
  Set("Debug", "n");
  Set("Optimize", "N");
  EXPECT_EQ(BuildJavacCommandLine(profile, "/s/A.java"), "javac -verbose -debug \"/s/A.java\"");
}

TEST_F(CompileCommandLine, EachValueIsOneArgumentAndTheSourceIsNeverTheProgram) {
  using ::testing::ElementsAre;
  Set("UseDirectory", "Y");
  Set("Directory", "/home/me/My Classes");
  Set("UseClassPath", "Y");
  Set("ClassPath", "lib -J-Xrunevil \"x y\"");
  auto args = BuildJavacArguments(profile, "/s/A.java");
  EXPECT_THAT(args, ElementsAre("javac", "-d", "/home/me/My Classes", "-classpath",
                                "lib -J-Xrunevil \"x y\"", "/s/A.java"));
  // The line shown splits back into the same arguments.
  EXPECT_EQ(SplitCommandLine(ShownCommandLine(args)), args);
  EXPECT_EQ(ShownCommandLine(args),
            "javac -d \"/home/me/My Classes\" -classpath \"lib -J-Xrunevil \\\"x y\\\"\" "
            "\"/s/A.java\"");

  // A project value is one argument too, and a blank one is left out rather than
  // taking the source file as its value.
  CompilerOverrides project;
  project.directory = "/p/out -nowarn";
  project.classPath = "  ";
  EXPECT_THAT(BuildJavacArguments(profile, "/s/A.java", project),
              ElementsAre("javac", "-d", "/p/out -nowarn", "/s/A.java"));

  // An empty or blank compiler setting is the default compiler.
  for (const char* compiler : {"", "   ", "\"\""}) {
    SCOPED_TRACE(compiler);
    Set("javac", compiler);
    Set("UseDirectory", "N");
    Set("UseClassPath", "N");
    EXPECT_THAT(BuildJavacArguments(profile, "/s/A.java"), ElementsAre("javac", "/s/A.java"));
  }
  // The user's own compiler setting may hold a quoted path and options.
  Set("javac", "\"/opt/my jdk/bin/javac\" -encoding UTF-8");
  EXPECT_THAT(BuildJavacArguments(profile, "/s/A.java"),
              ElementsAre("/opt/my jdk/bin/javac", "-encoding", "UTF-8", "/s/A.java"));
}

TEST(CompilePath, HostilePathsReachTheCompilerAsOneArgument) {
  for (const std::string path :
       {"/home/me/My Files/Hello.java", "/tmp/a\"b.java", "/tmp/x; rm -rf ~/y.java",
        "/tmp/$(touch pwned).java", "/tmp/-d.java", "/tmp/odd\\\\\"\\.java", "/tmp/dir\\"}) {
    SCOPED_TRACE(path);
    auto args = SplitCommandLine("javac " + QuoteSourcePath(path));
    ASSERT_EQ(args.size(), 2u);
    EXPECT_EQ(args[1], path);
  }
  EXPECT_EQ(QuoteSourcePath("/a b/C.java"), "\"/a b/C.java\"");
}

TEST(CompilePath, DirectoryIsEverythingBeforeTheLastSlash) {
  EXPECT_EQ(CompileDirectory("/home/me/My Files/Hello.java"), "/home/me/My Files");
  EXPECT_EQ(CompileDirectory("/Hello.java"), "/");
  EXPECT_EQ(CompileDirectory("Hello.java"), "Hello.java");
}

}  // namespace
}  // namespace tamso

namespace tamso {
namespace {

// The open project's compiler directories replace the global parts for its members only.
TEST(CompileCommandLineWithProject, MembersTakeTheProjectsDirectories) {
  testing::TempDir dir;
  IniFile profile{dir / "Tamso.INI"};
  tamso::testing::FakeHost host;
  profile.WriteString("Compiler", "UseClassPath", "Y");
  profile.WriteString("Compiler", "ClassPath", "/global/lib");
  Project project(host, profile);
  const std::string jap = dir / "demo.jap";
  const std::string member = dir / "A.java";
  project.Open(jap);
  project.AddFile(member, true);
  CompilerDirectories dirs;
  dirs.useDirectory = true;
  dirs.directory = "/proj/out";
  dirs.useClassPath = true;
  dirs.classPath = "/proj/lib";
  ASSERT_TRUE(project.SaveCompilerDirectories(dirs));

  EXPECT_EQ(BuildJavacCommandLine(profile, member, project.CompilerOverridesFor(member)),
            "javac -d /proj/out -classpath /proj/lib \"" + member + "\"");
  const std::string stranger = "/elsewhere/B.java";
  EXPECT_EQ(BuildJavacCommandLine(profile, stranger, project.CompilerOverridesFor(stranger)),
            "javac -classpath /global/lib \"/elsewhere/B.java\"");

  dirs.useClassPath = false;
  ASSERT_TRUE(project.SaveCompilerDirectories(dirs));
  EXPECT_EQ(BuildJavacCommandLine(profile, member, project.CompilerOverridesFor(member)),
            "javac -d /proj/out -classpath /global/lib \"" + member + "\"");
  project.Close();
}

}  // namespace
}  // namespace tamso
