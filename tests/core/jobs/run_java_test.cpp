#include <gtest/gtest.h>

#include "jobs/run_html.h"
#include "jobs/run_java.h"
#include "build_test_support.h"
#include "platform/ini_file.h"

namespace tamso {
namespace {

using testing::TempDir;

TEST(RunJavaLine, DefaultsAndLiveComposition) {
  TempDir dir;
  IniFile profile(dir / "t.INI");
  RunJavaValues v = LoadRunJavaValues(profile);
  EXPECT_EQ(ComposeRunJavaLine(v), "java   ? ");
  EXPECT_EQ(v.directory, "");

  v.options = "-ea";
  v.className = "a.b.Hello";
  v.arguments = "\"two words\" x";
  EXPECT_EQ(ComposeRunJavaLine(v), "java -ea a.b.Hello \"two words\" x");
  EXPECT_EQ(RunJavaArguments(v),
            (std::vector<std::string>{"java", "-ea", "a.b.Hello", "two words", "x"}));

  // What Run writes is what the next opening reads; directory and console are not kept.
  v.directory = "/somewhere";
  v.privateConsole = true;
  ASSERT_TRUE(SaveRunJavaValues(profile, v));
  RunJavaValues again = LoadRunJavaValues(profile);
  EXPECT_EQ(ComposeRunJavaLine(again), ComposeRunJavaLine(v));
  EXPECT_EQ(again.directory, "");
  EXPECT_FALSE(again.privateConsole);
}

TEST(RunJavaLine, DirectoryFollowsTheCompilerOutputDirectoryOnlyWhenExactlyY) {
  TempDir dir;
  IniFile profile(dir / "t.INI");
  profile.WriteString("RunJava", "Directory", "/src");
  profile.WriteString("Compiler", "Directory", "/out");
  profile.WriteString("Compiler", "UseDirectory", "y");
  EXPECT_EQ(LoadRunJavaValues(profile).directory, "/src");
  EXPECT_EQ(RunClassPath(profile, nullptr, "/src/A.java"), "");
  profile.WriteString("Compiler", "UseDirectory", "Y");
  EXPECT_EQ(LoadRunJavaValues(profile).directory, "/out");
  EXPECT_EQ(RunClassPath(profile, nullptr, "/src/A.java"), "/out");
}

TEST(RunJavaLine, OutputDirectoryGoesOnTheClassPathAsOneArgument) {
  RunJavaValues v;
  v.className = "Hello";
  v.classPath = "/my out/$(x);y";
  EXPECT_EQ(ComposeRunJavaLine(v), "java  -classpath '/my out/$(x);y' Hello ");
  EXPECT_EQ(RunJavaArguments(v),
            (std::vector<std::string>{"java", "-classpath", "/my out/$(x);y", "Hello"}));
  // A class path of the user's own wins.
  v.options = "-cp lib.jar";
  EXPECT_EQ(RunJavaArguments(v), (std::vector<std::string>{"java", "-cp", "lib.jar", "Hello"}));
  EXPECT_EQ(ComposeRunJavaLine(v), "java -cp lib.jar Hello ");
}

TEST(RunJavaPackage, DeclarationIsReadPastCommentsAndBlanks) {
  EXPECT_EQ(DeclaredPackage("package a.b;\nclass X {}"), "a.b");
  EXPECT_EQ(DeclaredPackage("\xEF\xBB\xBF// c\n/* package no; */\n  package  a . b_2 .$c ;"),
            "a.b_2.$c");
  EXPECT_EQ(DeclaredPackage("import x.y;\npackage a;"), "");
  EXPECT_EQ(DeclaredPackage("class Hello {}"), "");
  EXPECT_EQ(DeclaredPackage("package a.;"), "");
  EXPECT_EQ(DeclaredPackage("package a.b"), "");
  EXPECT_EQ(DeclaredPackage("packaged x;"), "");
  EXPECT_EQ(DeclaredPackage("/* never closed"), "");
}

TEST(RunJavaPackage, TargetIsThePackageRoot) {
  RunTarget t = RunTargetFor("/home/u/src/a/b/Hello.java", "a.b");
  EXPECT_EQ(t.directory, "/home/u/src");
  EXPECT_EQ(t.className, "a.b.Hello");
  t = RunTargetFor("./a/Hello.java", "a");
  EXPECT_EQ(t.directory, ".");
  EXPECT_EQ(t.className, "a.Hello");
  t = RunTargetFor("a/Hello.java", "a");
  EXPECT_EQ(t.directory, ".");
  t = RunTargetFor("/a/Hello.java", "a");
  EXPECT_EQ(t.directory, "/");
  // Windows separators in a stored path from another system.
  t = RunTargetFor(".\\Hello.java", "");
  EXPECT_EQ(t.directory, ".");
  EXPECT_EQ(t.className, "Hello");
  // A file that is not where its package says keeps the plain rule.
  t = RunTargetFor("/src/x/Hello.java", "a.b");
  EXPECT_EQ(t.directory, "/src/x");
  EXPECT_EQ(t.className, "Hello");
  t = RunTargetFor("/src/b/Hello.java", "a.b");
  EXPECT_EQ(t.directory, "/src/b");
  // A bare name lies in the current directory.
  t = RunTargetFor("Hello.java", "");
  EXPECT_EQ(t.directory, ".");
  EXPECT_EQ(t.className, "Hello");
}

TEST(RunJavaMessages, MainFileAndActiveFileChecks) {
  EXPECT_TRUE(NamesJavaFile("./Hello.java"));
  EXPECT_FALSE(NamesJavaFile(".java"));
  EXPECT_FALSE(NamesJavaFile("readme.txt"));
  EXPECT_FALSE(NamesJavaFile(""));
  EXPECT_EQ(NoJavaMainFileMessage("/p/x.jap", "readme.txt"),
            "The open project does not have a\nMain file selected with a .java extension\n\n"
            "Project:/p/x.jap\nMain file: readme.txt\n\nSorry.  Cannot run java interpreter");
}

TEST(RunHtml, FileUrlsRoundTripAndPassTheCheck) {
  EXPECT_EQ(FileUrl("/home/u/a.html"), "file:///home/u/a.html");
  const std::string odd = "/tmp/my page/\xC3\xA9t\xC3\xA9 100%#?.html";
  const std::string url = FileUrl(odd);
  EXPECT_EQ(url, "file:///tmp/my%20page/%C3%A9t%C3%A9%20100%25%23%3F.html");
  EXPECT_EQ(PathOfFileUrl(url), odd);
  EXPECT_TRUE(HasFileUrlPrefix(url));
  // The four-slash form "file:///" + an absolute path names the same file.
  EXPECT_TRUE(HasFileUrlPrefix("file:////home/u/a.html"));
  EXPECT_EQ(PathOfFileUrl("file:////home/u/a.html"), "/home/u/a.html");
  EXPECT_FALSE(HasFileUrlPrefix("/home/u/a.html"));
  EXPECT_FALSE(HasFileUrlPrefix("http://x/a.html"));
  EXPECT_EQ(PathOfFileUrl("file:///bad%zz%4"), "/bad%zz%4");
}

TEST(RunHtml, AppletViewerLineAndDirectory) {
  HtmlRun r = AppletViewerRun("appletviewer", "file:///home/u/site/a%20b.html");
  EXPECT_EQ(r.commandLine, "appletviewer file:///home/u/site/a%20b.html");
  EXPECT_EQ(r.args, (std::vector<std::string>{"appletviewer", "file:///home/u/site/a%20b.html"}));
  EXPECT_EQ(r.directory, "/home/u/site");
  r = AppletViewerRun("\"/opt/old jdk/bin/appletviewer\" -J-Dx=1", "file:///C:\\site\\a.html");
  EXPECT_EQ(r.commandLine, "\"/opt/old jdk/bin/appletviewer\" -J-Dx=1 file:///C:/site/a.html");
  EXPECT_EQ(r.args, (std::vector<std::string>{"/opt/old jdk/bin/appletviewer", "-J-Dx=1",
                                              "file:///C:/site/a.html"}));
  EXPECT_EQ(r.directory, "/C:/site");
  EXPECT_EQ(AppletViewerRun("appletviewer", "file:///?").directory, "?");
  EXPECT_EQ(AppletViewerRun("appletviewer", "file:///a.html").directory, "/");
}

}  // namespace
}  // namespace tamso
