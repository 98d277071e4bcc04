// Projects made from folders: relative member paths, Add Folder, Open Folder as
// Project, the output directory, and where the project's dialogs start.

#include <unistd.h>

#include "project/folder_scan.h"
#include "project/project.h"
#include "project/settings_pages.h"
#include "project/tree_commands.h"
#include "project_fixture.h"

namespace tamso::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The two-package project a new user starts from, in dir/app.
class FolderProjectTest : public ProjectTest {
 protected:
  void MakeApp() {
    Write("app/src/main/java/com/acme/app/Main.java",
          "package com.acme.app;\nimport com.acme.app.util.Strings;\npublic class Main {\n"
          "  public static void main(String[] args) { System.out.println(Strings.shout(\"hi\")); "
          "}\n}\n");
    Write("app/src/main/java/com/acme/app/util/Strings.java",
          "package com.acme.app.util;\npublic class Strings {\n  // not a void main( here\n"
          "  public static String shout(String s) { return s.toUpperCase(); }\n}\n");
    Write("app/src/main/resources/app.properties", "greeting=hi\n");
    Write("app/src/main/webapp/index.html", "<html></html>\n");
    Write("app/scripts/tool.pl", "print 1;\n");
    Write("app/README.txt", "read me\n");
    // Hidden folders and output folders hold no members.
    Write("app/.git/hooks/Hook.java", "class Hook {}\n");
    Write("app/out/classes/Old.java", "class Old {}\n");
    Write("app/target/Gen.java", "class Gen {}\n");
  }
};

TEST_F(FolderProjectTest, MembersBelowTheFolderAreStoredRelativelySoTheFolderCanMove) {
  MakeApp();
  // An old project file names the members with full paths; it still reads, and the
  // next write stores them relatively.
  Write("app/app.jap",
        "[Files]\nfile1=" + Path("app/src/main/java/com/acme/app/Main.java") +
            "\nfile2=" + Path("app/scripts/tool.pl") + "\nfile3=" + Path("elsewhere/Lib.java") +
            "\n[Project]\nMainfile=" + Path("app/src/main/java/com/acme/app/Main.java") + "\n");
  project->Open(Path("app/app.jap"));
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./src/main/java/com/acme/app/Main.java",
                                                  "./scripts/tool.pl", Path("elsewhere/Lib.java")));
  EXPECT_THAT(Read("app/app.jap"),
              ::testing::HasSubstr("Mainfile=./src/main/java/com/acme/app/Main.java"));
  EXPECT_EQ(project->Members().MainIndex(), 0u);
  project->Close();

  // Moved: the members follow the folder.
  std::filesystem::rename(Path("app"), Path("moved"));
  project->Open(Path("moved/app.jap"));
  EXPECT_EQ(project->MemberPaths().front(), Path("moved/src/main/java/com/acme/app/Main.java"));
  EXPECT_EQ(project->MainFileForRun(), "./src/main/java/com/acme/app/Main.java");
  EXPECT_EQ(project->ResolveMember(project->MainFileForRun()),
            Path("moved/src/main/java/com/acme/app/Main.java"));
  EXPECT_TRUE(project->Encloses(Path("moved/src/main/java/com/acme/app/util/Strings.java")));
  EXPECT_TRUE(project->Encloses(Path("elsewhere/Lib.java")));  // a member
  EXPECT_FALSE(project->Encloses(Path("elsewhere/Other.java")));
}

TEST_F(FolderProjectTest, AddFolderAddsSourcesBelowItOnceWithOneWrite) {
  MakeApp();
  // A package may be named like an output folder; only the top one is skipped.
  Write("app/src/main/java/com/acme/build/Tool.java", "package com.acme.build; class Tool {}\n");
  // A link back up must not loop, and a dangling one is passed over.
  ASSERT_EQ(::symlink("../..", Path("app/src/main/loop").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere", Path("app/src/dangling").c_str()), 0);
  project->Open(Path("app/app.jap"));
  project->AddFile(Path("app/scripts/tool.pl"), true);

  host.folderAnswers.push_back(Path("app"));
  RunTreeCommand(*project, kCmdAddFolder, MemberList::npos);
  EXPECT_EQ(host.fileDialogs.back().initialDir, Path("app"));
  EXPECT_THAT(
      project->StoredPaths(),
      ElementsAre("./scripts/tool.pl", "./src/main/java/com/acme/app/Main.java",
                  "./src/main/java/com/acme/app/util/Strings.java",
                  "./src/main/java/com/acme/build/Tool.java", "./src/main/webapp/index.html"));
  EXPECT_THAT(host.beeps, IsEmpty());  // the member already there is passed over quietly
  EXPECT_THAT(host.messages, IsEmpty());
  EXPECT_EQ(host.statusTexts.back(), "4 files added to the project");
  EXPECT_THAT(Read("app/app.jap"), ::testing::HasSubstr("file5=./src/main/webapp/index.html"));

  // The project's own output directory is skipped wherever it is.
  IniFile(Path("app/app.jap")).WriteString("Project", "UseDirectory", "Y");
  IniFile(Path("app/app.jap")).WriteString("Project", "Directory", "src/main/webapp");
  Write("app/src/main/webapp/More.java", "class More {}\n");
  EXPECT_EQ(project->AddFolder(Path("app")), 0u);
  EXPECT_EQ(host.statusTexts.back(), "0 files added to the project");

  // A folder that is not there is said so; nothing changes.
  EXPECT_EQ(project->AddFolder(Path("nowhere")), 0u);
  EXPECT_THAT(host.MessageTexts(),
              ElementsAre(Path("nowhere") + " is not a folder that can be read."));
  EXPECT_EQ(project->Members().Size(), 5u);
}

TEST_F(FolderProjectTest, AFolderScanIsBoundedAndSaysWhenItStopped) {
  for (int i = 0; i < 5; ++i) Write("many/F" + std::to_string(i) + ".java", "class F {}\n");
  FolderScan scan = ScanProjectFolder(Path("many"), {}, 3);
  EXPECT_TRUE(scan.truncated);
  EXPECT_THAT(scan.files,
              ElementsAre(Path("many/F0.java"), Path("many/F1.java"), Path("many/F2.java")));
  scan = ScanProjectFolder(Path("many"), {}, 5);
  EXPECT_FALSE(scan.truncated);
  EXPECT_EQ(scan.files.size(), 5u);
  EXPECT_TRUE(IsProjectSourceName("A.JAVA"));
  EXPECT_TRUE(IsProjectSourceName("page.htm"));
  EXPECT_FALSE(IsProjectSourceName(".java"));
  EXPECT_FALSE(IsProjectSourceName("A.java~"));
}

TEST_F(FolderProjectTest, OpenFolderAsProjectWritesTheProjectFileAndFindsTheOneMainClass) {
  MakeApp();
  host.folderAnswers.push_back(Path("app"));
  ASSERT_TRUE(project->OpenFolderCommand());
  EXPECT_EQ(host.fileDialogs.back().title, "Select the folder to open as a project");
  EXPECT_EQ(project->ProjectFile(), Path("app/app.jap"));
  EXPECT_THAT(recent.entries, ElementsAre(Path("app/app.jap")));
  EXPECT_EQ(project->Members().Size(), 4u);
  ASSERT_NE(project->Members().MainIndex(), MemberList::npos);
  EXPECT_EQ(project->Members().At(project->Members().MainIndex()).stored,
            "./src/main/java/com/acme/app/Main.java");
  const std::string written = Read("app/app.jap");
  EXPECT_THAT(written, ::testing::HasSubstr("[Base]\nName=Test"));
  EXPECT_THAT(written, ::testing::HasSubstr("Mainfile=./src/main/java/com/acme/app/Main.java"));

  // Opened again: the project file is kept as it is (a member removed stays removed
  // only until the folder is added again), and the main file the user chose stays.
  project->SetMainFile("./scripts/tool.pl");
  ASSERT_TRUE(project->OpenFolderAsProject(Path("app")));
  EXPECT_EQ(project->Members().At(project->Members().MainIndex()).stored, "./scripts/tool.pl");

  // Two main classes: none is chosen.
  Write("two/A.java", "class A { public static void main(String[] a) {} }\n");
  Write("two/B.java", "class B { void main() {} }\n");
  ASSERT_TRUE(project->OpenFolderAsProject(Path("two")));
  EXPECT_EQ(project->Members().Size(), 2u);
  EXPECT_EQ(project->Members().MainIndex(), MemberList::npos);
  EXPECT_THAT(host.messages, IsEmpty());
}

TEST_F(FolderProjectTest, OpenFolderAsProjectRefusesWhatCannotBeAProject) {
  EXPECT_FALSE(project->OpenFolderAsProject("/"));
  EXPECT_FALSE(project->OpenFolderAsProject(Path("missing")));
  std::filesystem::create_directories(Path("ro"));
  std::filesystem::permissions(
      Path("ro"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const bool root = ::geteuid() == 0;
  if (!root) {
    EXPECT_FALSE(project->OpenFolderAsProject(Path("ro")));
  }
  std::vector<std::string> expected{"The root of the file system cannot be a project folder.",
                                    Path("missing") + " is not a folder."};
  if (!root) expected.push_back("The project file " + Path("ro/ro.jap") + " could not be written.");
  EXPECT_EQ(host.MessageTexts(), expected);
  EXPECT_FALSE(project->IsOpen());
  host.folderAnswers.push_back(std::nullopt);  // cancelled
  EXPECT_FALSE(project->OpenFolderCommand());
}

TEST_F(FolderProjectTest, TheOutputDirectoryIsTheProjectsOwnTheGlobalOneOrOutClasses) {
  EXPECT_EQ(project->OutputDirectory(), "");
  OpenEmpty();
  EXPECT_EQ(project->OutputDirectory(), Path("out/classes"));
  profile->WriteString("Compiler", "UseDirectory", "Y");
  profile->WriteString("Compiler", "Directory", "bin/../classes");
  EXPECT_EQ(project->OutputDirectory(), Path("classes"));
  profile->WriteString("Compiler", "Directory", "  ");  // blank: none set
  EXPECT_EQ(project->OutputDirectory(), Path("out/classes"));
  project->SaveCompilerDirectories({false, "", true, "/opt/classes", ""});
  EXPECT_EQ(project->OutputDirectory(), "/opt/classes");
  project->SaveCompilerDirectories({false, "", false, "/opt/classes", ""});
  EXPECT_EQ(project->OutputDirectory(), Path("out/classes"));
}

TEST_F(FolderProjectTest, TheFilesPageAddsAFolderAndItsDialogsStartInTheProjectsFolder) {
  MakeApp();
  project->Open(Path("app/app.jap"));
  ProjectFilesPage page(*project);
  page.Init();
  host.openFilesAnswers.push_back({Path("app/scripts/tool.pl")});
  page.AddFiles();
  EXPECT_EQ(host.fileDialogs.back().initialDir, Path("app"));
  host.folderAnswers.push_back(Path("app/src"));
  page.AddFolder();
  EXPECT_EQ(host.fileDialogs.back().initialDir, Path("app"));
  EXPECT_EQ(page.Entries(), project->StoredPaths());
  EXPECT_EQ(page.Entries().size(), 4u);
}

TEST(MainMethod, IsFoundInCodeOnly) {
  EXPECT_TRUE(DeclaresMainMethod("class A { public static void main(String[] a) {} }"));
  EXPECT_TRUE(DeclaresMainMethod("void main() { IO.println(\"hi\"); }"));
  EXPECT_TRUE(DeclaresMainMethod("class A { static void\n  main (String... a) {} }"));
  EXPECT_FALSE(DeclaresMainMethod("class A { // void main(\n /* void main( */ }"));
  EXPECT_FALSE(DeclaresMainMethod("class A { String s = \"void main(\"; char c = '\"'; }"));
  EXPECT_FALSE(DeclaresMainMethod("class A { String t = \"\"\"\n void main(\n\"\"\"; }"));
  EXPECT_FALSE(DeclaresMainMethod("class A { void mainly() {} int avoid; void\n}"));
  EXPECT_FALSE(DeclaresMainMethod("class A { void main"));
}

}  // namespace
}  // namespace tamso::testing
