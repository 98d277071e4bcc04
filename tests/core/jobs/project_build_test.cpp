// Source roots, the package-aware compile of one file, and Build/Rebuild project,
// on a real two-package project compiled by the JDK's javac where it is installed.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "build_test_support.h"
#include "java/source_roots.h"
#include "jobs/compile.h"
#include "jobs/process_runner.h"
#include "jobs/project_build.h"
#include "jobs/run_java.h"
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

class FileDocument : public IDocument {
 public:
  explicit FileDocument(std::string path, bool modified = false)
      : path_(std::move(path)), modified_(modified) {}
  std::string PathName() const override { return path_; }
  std::string Title() const override { return path_; }
  bool IsModified() const override { return modified_; }
  bool Save() override {
    ++saves;
    modified_ = false;
    return true;
  }
  int saves = 0;

 private:
  std::string path_;
  bool modified_;
};

void Write(const std::string& path, const std::string& text) {
  testing::WriteFile(path, text);
}

// src/main/java/com/acme/app/Main.java using com/acme/app/util/Strings.java, with
// resources, in a project folder whose project file names both sources.
struct AppRig : testing::ProjectRig {
  std::string Main() const { return dir + "/src/main/java/com/acme/app/Main.java"; }
  std::string Strings() const { return dir + "/src/main/java/com/acme/app/util/Strings.java"; }
  std::string Classes() const { return dir + "/out/classes"; }

  AppRig() {
    Write(Main(),
          "package com.acme.app;\n\nimport com.acme.app.util.Strings;\n\npublic class Main {\n"
          "  public static void main(String[] args) {\n"
          "    System.out.println(Strings.shout(\"hi\"));\n  }\n}\n");
    Write(Strings(),
          "/* licence */\npackage com.acme.app.util;\n\npublic class Strings {\n"
          "  public static String shout(String s) { return s.toUpperCase(); }\n}\n");
    Write(dir + "/src/main/resources/app.properties", "greeting=hi\n");
    fs::create_directories(dir + "/src/test/java");
    Write(dir + "/app.jap",
          "[Files]\nfile1=./src/main/java/com/acme/app/Main.java\n"
          "file2=./src/main/java/com/acme/app/util/Strings.java\n");
    project.Open(dir + "/app.jap");
  }
  std::shared_ptr<IBuildJob> Compile(const std::string& path) {
    FileDocument doc(path);
    return Run([&] { return CompileDocument(doc, context); });
  }
};

bool HaveJavac() {
  return !FindProgram("javac").empty();
}

TEST(SourceRoots, AreTheFoldersAboveThePackage) {
  EXPECT_EQ(SourceRootFor("/p/src/main/java/com/acme/app/Main.java", "com.acme.app"),
            "/p/src/main/java");
  EXPECT_EQ(SourceRootFor("/p/src/Main.java", ""), "/p/src");
  // A package line that does not match the folders gives no root, not a made-up one.
  EXPECT_EQ(SourceRootFor("/p/src/com/other/Main.java", "com.acme"), "");
  EXPECT_EQ(SourceRootFor("/p/acme/Main.java", "com.acme"), "");
  // The file system's root is never a source root.
  EXPECT_EQ(SourceRootFor("/com/acme/Main.java", "com.acme"), "");
  EXPECT_EQ(SourceRootFor("/Main.java", ""), "");
  EXPECT_EQ(SourceRootFor("Main.java", ""), "");
}

TEST(SourceRoots, OfAProjectComeFromItsMembersAndTheUsualFolders) {
  AppRig rig;
  JavaLayout layout = ProjectJavaLayout(rig.project);
  EXPECT_THAT(layout.sourceRoots,
              ElementsAre(rig.dir + "/src/main/java", rig.dir + "/src/test/java"));
  EXPECT_THAT(layout.resourceRoots, ElementsAre(rig.dir + "/src/main/resources"));
  EXPECT_THAT(ProjectJavaSources(rig.project), ElementsAre(rig.Main(), rig.Strings()));

  // A plain src folder is a root when it is no src/main/... layout; a member whose
  // package does not match its folders adds none.
  Write(rig.dir + "/other/src/Tool.java", "class Tool {}\n");
  Write(rig.dir + "/other/src/Odd.java", "package a.b;\nclass Odd {}\n");
  rig.project.Open(rig.dir + "/other/other.jap");
  rig.project.AddFile(rig.dir + "/other/src/Odd.java", false);
  EXPECT_THAT(ProjectJavaLayout(rig.project).sourceRoots, ElementsAre(rig.dir + "/other/src"));
  rig.project.AddFile(rig.dir + "/other/src/Tool.java", false);
  EXPECT_THAT(ProjectJavaLayout(rig.project).sourceRoots, ElementsAre(rig.dir + "/other/src"));
}

TEST(PackageAwareCompile, PassesTheSourcePathAndTheProjectsOutputDirectory) {
  AppRig rig;
  rig.profile.WriteString("Compiler", "javac", testing::Child() + " args");
  ASSERT_NE(rig.Compile(rig.Main()), nullptr);
  const std::string text = rig.host.watched.Text();
  EXPECT_THAT(text,
              HasSubstr("[-d]\n[" + rig.Classes() + "]\n[-sourcepath]\n[" + rig.dir +
                        "/src/main/java:" + rig.dir + "/src/test/java]\n[" + rig.Main() + "]\n"));
  EXPECT_TRUE(paths::IsDirectory(rig.Classes()));  // made for the compiler
  // Run Java puts the same folder on the class path.
  EXPECT_TRUE(rig.project.Encloses(rig.Main()));
  EXPECT_EQ(rig.project.OutputDirectory(), rig.Classes());
  EXPECT_EQ(RunClassPath(rig.profile, &rig.project, rig.Main()), rig.Classes());

  // Outside the project, a file in a package still finds its neighbours; a file of no
  // package keeps the plain command line.
  rig.project.Close();
  ASSERT_NE(rig.Compile(rig.Strings()), nullptr);
  EXPECT_THAT(rig.host.watched.Text(),
              HasSubstr("[-sourcepath]\n[" + rig.dir + "/src/main/java]\n[" + rig.Strings()));
  Write(rig.dir + "/loose/Loose.java", "class Loose {}\n");
  ASSERT_NE(rig.Compile(rig.dir + "/loose/Loose.java"), nullptr);
  EXPECT_THAT(rig.host.watched.Text(), HasSubstr("\n[" + rig.dir + "/loose/Loose.java]\n\n"));
  EXPECT_THAT(rig.host.watched.Text(), Not(HasSubstr("-sourcepath")));
  EXPECT_THAT(rig.host.messages, IsEmpty());
}

TEST(PackageAwareCompile, OneFileCompilesWithTheClassesItUsesAndRuns) {
  if (!HaveJavac()) GTEST_SKIP() << "no javac on PATH";
  AppRig rig;
  ASSERT_NE(rig.Compile(rig.Main()), nullptr);
  EXPECT_EQ(rig.host.statusTexts.back(), "Compiled: no errors") << rig.host.watched.Text();
  EXPECT_TRUE(fs::exists(rig.Classes() + "/com/acme/app/Main.class"));
  EXPECT_TRUE(fs::exists(rig.Classes() + "/com/acme/app/util/Strings.class"));

  // A package line that does not match its folders: javac's own error, with a place.
  Write(rig.dir + "/src/main/java/com/acme/app/Wrong.java",
        "package com.acme.wrong;\nimport com.acme.app.util.Missing;\nclass Wrong {}\n");
  rig.project.AddFile(rig.dir + "/src/main/java/com/acme/app/Wrong.java", true);
  ASSERT_NE(rig.Compile(rig.dir + "/src/main/java/com/acme/app/Wrong.java"), nullptr);
  EXPECT_THAT(rig.host.watched.Text(), HasSubstr("/com/acme/app/Wrong.java:2: error:"));
}

TEST(BuildProject, CompilesEveryMemberSkipsWhenUpToDateAndRebuildsFromEmpty) {
  if (!HaveJavac()) GTEST_SKIP() << "no javac on PATH";
  AppRig rig;
  ASSERT_NE(rig.Build(false), nullptr);
  std::string text = rig.host.watched.Text();
  EXPECT_THAT(text, HasSubstr("Tamso for Java(TM)\nBuilding project via javac...\n"));
  EXPECT_THAT(text, HasSubstr("\n2 source files into " + rig.Classes() + "\n"));
  EXPECT_THAT(text, HasSubstr(std::string(kSeparator) + "\n" + kDoneLine));
  EXPECT_EQ(rig.host.statusTexts.back(), "Compiled: no errors") << text;
  EXPECT_TRUE(fs::exists(rig.Classes() + "/com/acme/app/Main.class"));
  EXPECT_TRUE(fs::exists(rig.Classes() + "/com/acme/app/util/Strings.class"));
  EXPECT_TRUE(rig.slot.idle);
  // The argument file is gone with the run.
  const std::size_t at = text.find("\"@");
  ASSERT_NE(at, std::string::npos);
  EXPECT_FALSE(fs::exists(text.substr(at + 2, text.find('"', at + 2) - at - 2)));

  // Nothing changed: no compiler run.
  EXPECT_EQ(rig.Build(false), nullptr);
  EXPECT_THAT(rig.host.watched.Text(), HasSubstr(kUpToDateLine));
  EXPECT_EQ(rig.host.statusTexts.back(), "Build: up to date");

  // A source newer than its class builds again; Rebuild removes what is stale.
  fs::last_write_time(rig.Strings(), fs::file_time_type::clock::now() + std::chrono::hours(1));
  Write(rig.Classes() + "/stale/Old.class", "x");
  ASSERT_NE(rig.Build(false), nullptr);
  EXPECT_TRUE(fs::exists(rig.Classes() + "/stale/Old.class"));
  ASSERT_NE(rig.Build(true), nullptr);
  EXPECT_THAT(rig.host.watched.Text(), HasSubstr("Rebuilding entire project via javac..."));
  EXPECT_FALSE(fs::exists(rig.Classes() + "/stale"));
  EXPECT_TRUE(fs::exists(rig.Classes() + "/com/acme/app/Main.class"));
  EXPECT_THAT(rig.host.messages, IsEmpty());
}

TEST(BuildProject, ErrorsNameTheirFilesAndTheVerdictCountsThem) {
  if (!HaveJavac()) GTEST_SKIP() << "no javac on PATH";
  AppRig rig;
  Write(rig.Strings(), "package com.acme.app.util;\npublic class Strings {\n  int x = y;\n}\n");
  ASSERT_NE(rig.Build(false), nullptr);
  EXPECT_THAT(rig.host.watched.Text(), HasSubstr(rig.Strings() + ":3: error:"));
  EXPECT_EQ(rig.host.statusTexts.back(), "2 errors") << rig.host.watched.Text();
}

TEST(BuildProject, SavesTheEditedMemberAndRunsOneCompilerOverAnArgumentFile) {
  AppRig rig;
  rig.profile.WriteString("Compiler", "javac", testing::Child() + " args");
  FileDocument edited(rig.Strings(), true);
  FileDocument outside(rig.temp / "Other.java", true);
  rig.host.activeDocument = &outside;
  ASSERT_NE(rig.Build(false), nullptr);
  EXPECT_EQ(outside.saves, 0);
  rig.host.activeDocument = &edited;
  ASSERT_NE(rig.Build(true), nullptr);
  EXPECT_EQ(edited.saves, 1);
  const std::string text = rig.host.watched.Text();
  EXPECT_THAT(text, HasSubstr("\n[-d]\n[" + rig.Classes() + "]\n[-sourcepath]\n[" + rig.dir +
                              "/src/main/java:" + rig.dir + "/src/test/java]\n[@/"));
  EXPECT_THAT(rig.host.messages, IsEmpty());
}

TEST(BuildProject, RefusesWhatItCannotDoWithAMessage) {
  AppRig rig;
  rig.profile.WriteString("Compiler", "javac", testing::Child() + " args");
  rig.slot.idle = false;
  EXPECT_EQ(rig.Build(false), nullptr);
  rig.slot.idle = true;
  // Rebuild never empties a folder that holds the project or its sources.
  for (const std::string& out :
       {rig.dir, rig.dir + "/src/main/java", rig.dir + "/src", std::string("/"), rig.dir + "/.."}) {
    rig.project.SaveCompilerDirectories({false, "", true, out, ""});
    EXPECT_EQ(rig.Build(true), nullptr) << out;
  }
  // An output directory that cannot be made.
  Write(rig.dir + "/file", "x");
  rig.project.SaveCompilerDirectories({false, "", true, rig.dir + "/file/classes", ""});
  EXPECT_EQ(rig.Build(false), nullptr);
  FileDocument doc(rig.Main());
  EXPECT_EQ(rig.Run([&] { return CompileDocument(doc, rig.context); }), nullptr);
  ASSERT_EQ(rig.host.messages.size(), 8u);
  EXPECT_EQ(rig.host.messages[0].text, kBusyMessage);
  EXPECT_EQ(rig.host.messages[1].text,
            "The output directory " + rig.dir + " is not emptied: it holds the project's folder.");
  EXPECT_EQ(rig.host.messages[2].text, "The output directory " + rig.dir +
                                           "/src/main/java is not emptied: it holds the source "
                                           "folder " +
                                           rig.dir + "/src/main/java.");
  EXPECT_THAT(rig.host.messages[3].text, HasSubstr("holds the source folder"));
  EXPECT_EQ(rig.host.messages[4].text,
            "The output directory / is not emptied: it is the root of the file system.");
  EXPECT_THAT(rig.host.messages[5].text, HasSubstr("holds the project's folder"));
  EXPECT_EQ(rig.host.messages[6].text, "The output directory " + rig.dir +
                                           "/file/classes cannot be created:\nNot a directory.");
  EXPECT_EQ(rig.host.messages[7].text, rig.host.messages[6].text);
  EXPECT_TRUE(fs::exists(rig.Main()));

  // No Java members: nothing to build.
  rig.project.RemoveFile("./src/main/java/com/acme/app/Main.java");
  rig.project.RemoveFile("./src/main/java/com/acme/app/util/Strings.java");
  EXPECT_EQ(rig.Build(false), nullptr);
  EXPECT_EQ(rig.host.messages.back().text, kNoJavaMembers);
  EXPECT_EQ(rig.host.watched.Text(), "");
}

TEST(BuildProject, RebuildRefusesTheHomeFolderAndWhatHoldsIt) {
  AppRig rig;
  const JavaLayout layout = ProjectJavaLayout(rig.project);
  const std::string home = rig.dir + "/home/me";
  fs::create_directories(home);
  EXPECT_THAT(RebuildRefusal(home, rig.project, layout, home), HasSubstr("holds the home folder"));
  EXPECT_THAT(RebuildRefusal(rig.dir + "/home", rig.project, layout, home),
              HasSubstr("holds the home folder"));
  EXPECT_EQ(RebuildRefusal(rig.Classes(), rig.project, layout, home), "");
  // A link that leads to the sources is judged by where it leads.
  ASSERT_EQ(::symlink((rig.dir + "/src/main").c_str(), (rig.dir + "/out-link").c_str()), 0);
  EXPECT_THAT(RebuildRefusal(rig.dir + "/out-link", rig.project, layout, home),
              HasSubstr("holds the source folder"));
}

TEST(BuildProject, EmptyingLeavesWhatLinksPointAt) {
  TempDir temp;
  Write(temp / "keep/precious.txt", "x");
  Write(temp / "out/a/B.class", "x");
  ASSERT_EQ(::symlink((temp / "keep").c_str(), (temp / "out/link").c_str()), 0);
  std::string error;
  EXPECT_TRUE(EmptyDirectory(temp / "out", &error)) << error;
  EXPECT_TRUE(fs::is_empty(temp / "out"));
  EXPECT_TRUE(fs::exists(temp / "keep/precious.txt"));
  EXPECT_FALSE(EmptyDirectory(temp / "missing", &error));
  EXPECT_THAT(error, HasSubstr("Cannot empty " + (temp / "missing")));
}

TEST(BuildProject, TheArgumentFileKeepsBlanksQuotesAndBackslashesInOneName) {
  EXPECT_EQ(JavacArgumentFileText({"/a b/C.java", "/x\\y/\"q\".java"}),
            "\"/a b/C.java\"\n\"/x\\\\y/\\\"q\\\".java\"\n");
  if (!HaveJavac()) return;
  // javac reads it back as the same names (the project folder has a blank).
  AppRig rig;
  Write(rig.dir + "/src/main/java/com/acme/app/Back\\slash.java",
        "package com.acme.app;\nclass Helper {}\n");
  rig.project.AddFile(rig.dir + "/src/main/java/com/acme/app/Back\\slash.java", false);
  ASSERT_NE(rig.Build(true), nullptr);
  EXPECT_EQ(rig.host.statusTexts.back(), "Compiled: no errors") << rig.host.watched.Text();
  EXPECT_TRUE(fs::exists(rig.Classes() + "/com/acme/app/Helper.class"));
}

TEST(BuildProject, UpToDateNeedsEveryClassNoOlderThanItsSource) {
  TempDir temp;
  Write(temp / "src/p/A.java", "package p; class A {}");
  Write(temp / "src/package-info.java", "package p;");
  const std::vector<std::string> sources{temp / "src/p/A.java", temp / "src/package-info.java"};
  EXPECT_FALSE(ClassesUpToDate(sources, {"p", "p"}, temp / "out"));
  Write(temp / "out/p/A.class", "x");
  fs::last_write_time(temp / "out/p/A.class",
                      fs::last_write_time(temp / "src/p/A.java") + std::chrono::seconds(1));
  EXPECT_TRUE(ClassesUpToDate(sources, {"p", "p"}, temp / "out"));
  EXPECT_FALSE(ClassesUpToDate(sources, {"", ""}, temp / "out"));  // looked for in out/
  EXPECT_FALSE(ClassesUpToDate({}, {}, temp / "out"));
}

}  // namespace
}  // namespace tamso
