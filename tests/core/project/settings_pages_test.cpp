#include "project/settings_pages.h"

#include "project/tree_commands.h"
#include "project_fixture.h"

namespace tamso::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(ProjectTest, FilesPageAddsChosenFilesInOrderAndListsAMemberTwiceInStoredForm) {
  OpenEmpty();
  project->AddFile(Path("A.java"), true);
  project->AddFile("/lib/Lib.java", true);
  ProjectFilesPage page(*project);
  page.Init();
  EXPECT_EQ(page.ProjectPath(), Path("p.jap"));
  EXPECT_THAT(page.Entries(), ElementsAre("./A.java", "/lib/Lib.java"));

  host.openFilesAnswers.push_back(
      {Path("C.java"), Path("A.java"), "/lib/Lib.java", "/lib/Lib.javadoc", Path("a.java")});
  page.AddFiles();
  EXPECT_EQ(host.fileDialogs.back().title, "Select files to add to the project");
  EXPECT_EQ(host.fileDialogs.back().defaultExt, "java");
  // A.java chosen by its full path is refused by the project (one beep) but listed again;
  // /lib/Lib.java is listed already and left alone; the others are new members.
  EXPECT_THAT(page.Entries(), ElementsAre("./A.java", "/lib/Lib.java", "./C.java", "./A.java",
                                          "/lib/Lib.javadoc", "./a.java"));
  EXPECT_THAT(project->StoredPaths(),
              ElementsAre("./A.java", "/lib/Lib.java", "./C.java", "/lib/Lib.javadoc", "./a.java"));
  EXPECT_THAT(host.beeps, ElementsAre(BeepKind::Default));
  EXPECT_EQ(Read("p.jap"),
            "[Files]\nfile1=./A.java\nfile2=/lib/Lib.java\nfile3=./C.java\n"
            "file4=/lib/Lib.javadoc\nfile5=./a.java\n");
}

TEST_F(ProjectTest, FilesPageRemoveAndMarkActOnTheSelectedEntryAndStayAfterCancel) {
  OpenEmpty();
  project->AddFile(Path("A.java"), true);
  project->AddFile(Path("B.java"), true);
  ProjectFilesPage page(*project);
  page.Init();
  page.MarkMain(1);
  EXPECT_THAT(page.Entries(), ElementsAre("./A.java", "./B.java"));  // no mark in the list
  page.Remove(0);
  page.Remove(MemberList::npos);
  page.MarkMain(5);
  EXPECT_THAT(page.Entries(), ElementsAre("./B.java"));
  // The sheet has nothing to undo: the project file already holds every change.
  Project reopened(host, *profile);
  reopened.Open(Path("p.jap"));
  EXPECT_THAT(reopened.StoredPaths(), ElementsAre("./B.java"));
  EXPECT_EQ(reopened.Members().MainIndex(), 0u);
}

TEST_F(ProjectTest, FilesPageWithoutAProjectIsEmptyAndAddingSaysWhy) {
  ProjectFilesPage page(*project);
  page.Init();
  EXPECT_EQ(page.ProjectPath(), "");
  EXPECT_THAT(page.Entries(), IsEmpty());
  host.openFilesAnswers.push_back({Path("A.java")});
  page.AddFiles();
  EXPECT_THAT(host.MessageTexts(), ElementsAre("There is no open project"));
  EXPECT_THAT(page.Entries(), IsEmpty());
}

TEST_F(ProjectTest, CompilerDirectoriesAreKeptInTheProjectFileAndReachMembersOnly) {
  OpenEmpty();
  project->AddFile(Path("A.java"), true);
  project->AddFile("/lib/L.java", true);
  CompilerDirectoriesPage page(*project);
  page.Init();
  EXPECT_EQ(page.fields, CompilerDirectories{});
  page.fields = {true, "lib:classes", false, "out", ""};
  EXPECT_TRUE(page.Ok());
  EXPECT_EQ(Read("p.jap"),
            "[Files]\nfile1=./A.java\nfile2=/lib/L.java\n"
            "[Project]\nUseClassPath=Y\nClassPath=lib:classes\nUseDirectory=N\nDirectory=out\n");

  CompilerDirectoriesPage again(*project);
  again.Init();
  EXPECT_EQ(again.fields, page.fields);

  CompilerOverrides member = project->CompilerOverridesFor(Path("A.java"));
  EXPECT_EQ(member.classPath, "lib:classes");
  EXPECT_FALSE(member.directory.has_value());
  EXPECT_EQ(project->CompilerOverridesFor("/lib/L.java").classPath, "lib:classes");
  EXPECT_FALSE(project->CompilerOverridesFor(Path("Other.java")).classPath.has_value());

  // Only exactly "Y" switches a part on.
  IniFile(Path("p.jap")).WriteString("Project", "UseClassPath", "y");
  IniFile(Path("p.jap")).WriteString("Project", "UseDirectory", "Y");
  member = project->CompilerOverridesFor(Path("A.java"));
  EXPECT_FALSE(member.classPath.has_value());
  EXPECT_EQ(member.directory, "out");

  project->Close();
  EXPECT_FALSE(project->CompilerOverridesFor(Path("A.java")).directory.has_value());
  EXPECT_FALSE(CompilerDirectoriesPage(*project).Ok());
}

TEST_F(ProjectTest, TreeMenuForAMemberAndForTheRoot) {
  OpenEmpty();
  project->AddFile(Path("A.java"), true);
  std::vector<TreeMenuEntry> member = TreeMenuEntries(*project, 0);
  ASSERT_EQ(member.size(), 8u);
  EXPECT_EQ(member[0].text, "Open ./A.java");
  EXPECT_EQ(member[0].id, kCmdOpenMember);
  EXPECT_EQ(member[1].id, 0);
  EXPECT_EQ(member[2].text, "Mark as 'Main file'");
  EXPECT_EQ(member[3].text, "Remove from project");
  EXPECT_EQ(member[4].id, 0);
  EXPECT_EQ(member[5].text, "Insert files into project...");
  EXPECT_EQ(member[6].text, "Add Folder to Project...");
  EXPECT_EQ(member[7].text, "Project Settings...");
  std::vector<TreeMenuEntry> root = TreeMenuEntries(*project, MemberList::npos);
  ASSERT_EQ(root.size(), 3u);
  EXPECT_EQ(root[0].id, kCmdInsertFiles);
  EXPECT_EQ(root[1].id, kCmdAddFolder);
  EXPECT_EQ(root[2].id, kCmdProjectSettings);
}

TEST_F(ProjectTest, TreeCommandsOpenMarkRemoveAndInsert) {
  OpenEmpty();
  project->AddFile(Path("A.java"), true);
  project->AddFile(Path("B.java"), true);
  RunTreeCommand(*project, kCmdOpenMember, 0);
  OpenMember(*project, MemberList::npos);
  EXPECT_THAT(host.openedDocuments, ElementsAre(Path("A.java")));

  RunTreeCommand(*project, kCmdMarkMainFile, 1);
  EXPECT_EQ(project->Members().MainIndex(), 1u);
  const std::string before = Read("p.jap");
  std::filesystem::remove(Path("p.jap"));
  RunTreeCommand(*project, kCmdMarkMainFile, 1);  // already the main file: nothing happens
  EXPECT_FALSE(paths::Exists(Path("p.jap")));
  RunTreeCommand(*project, kCmdRemoveMember, 1);  // the main file may be removed
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./A.java"));

  host.openFileAnswers.push_back(Path("sub/C.html"));
  RunTreeCommand(*project, kCmdInsertFiles, MemberList::npos);
  EXPECT_EQ(host.fileDialogs.back().title, "Select file to add to the project");
  EXPECT_EQ(host.fileDialogs.back().filter,
            "Common(*.java,*.htm*)|*.java;*.htm;*.html|All files( *.*)|*.*");
  // The dialog starts in the project's folder.
  EXPECT_EQ(host.fileDialogs.back().initialDir, dir);
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./A.java", "./sub/C.html"));
  EXPECT_EQ(project->Members().At(1).kind, MemberKind::HtmlFile);
  EXPECT_THAT(host.messages, IsEmpty());
}

}  // namespace
}  // namespace tamso::testing
