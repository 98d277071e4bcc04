#include "project/project.h"

#include "project_fixture.h"

namespace tamso::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(ProjectTest, MakeRelativeStoresFilesInAndBelowTheProjectDirectoryRelatively) {
  OpenEmpty();
  std::string p = Path("Demo.java");
  project->MakeRelative(p);
  EXPECT_EQ(p, "./Demo.java");

  // Below the project folder: relative, so the folder can move.
  std::string sub = Path("src/main/java/com/acme/Demo.java");
  project->MakeRelative(sub);
  EXPECT_EQ(sub, "./src/main/java/com/acme/Demo.java");
  // Only a plain path below it: one that climbs out, or a sibling folder whose name
  // begins with the project's, stays whole.
  std::string climbs = Path("src/../../x/Demo.java");
  project->MakeRelative(climbs);
  EXPECT_EQ(climbs, Path("src/../../x/Demo.java"));
  std::string sibling = dir + "-other/Demo.java";
  project->MakeRelative(sibling);
  EXPECT_EQ(sibling, dir + "-other/Demo.java");

  // The directory compare is byte for byte: another letter case is another directory.
  std::string upper = dir;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string other = upper + "/Demo.java";
  project->MakeRelative(other);
  EXPECT_EQ(other, upper + "/Demo.java");

  std::string bare = "Demo.java";
  project->MakeRelative(bare);
  EXPECT_EQ(bare, "Demo.java");
}

TEST_F(ProjectTest, SetProjectDirectoryEntersTheDirectoryAndRelativeNamesAreMadeAbsolute) {
  std::filesystem::create_directories(Path("work"));
  paths::SetCurrentDirectory(dir);
  project->Open("work/p.jap");
  EXPECT_EQ(project->ProjectFile(), Path("work/p.jap"));
  EXPECT_EQ(project->ProjectDirectory(), Path("work"));
  EXPECT_EQ(paths::CurrentDirectory(), Path("work"));

  paths::SetCurrentDirectory("/");
  std::string p = Path("work/A.java");
  project->MakeRelative(p);  // every conversion goes back to the project directory
  EXPECT_EQ(paths::CurrentDirectory(), Path("work"));
  // Saving still reaches the project file, not work/work/p.jap.
  project->AddFile(Path("work/A.java"), true);
  EXPECT_TRUE(paths::Exists(Path("work/p.jap")));
  EXPECT_FALSE(paths::Exists(Path("work/work")));
}

TEST_F(ProjectTest, WithoutAnOpenProjectEditsAreRefusedWithAMessage) {
  project->AddFile(Path("A.java"), true);
  project->SetMainFile(Path("A.java"));
  project->RemoveFile(Path("A.java"));
  EXPECT_THAT(host.MessageTexts(),
              ElementsAre("There is no open project", "There is no open project",
                          "There is no open project"));
  EXPECT_TRUE(project->Members().Empty());
}

TEST_F(ProjectTest, AddFileKeepsInsertionOrderAndRefusesDuplicatesWithABeep) {
  OpenEmpty();
  project->AddFile(Path("B.java"), true);
  project->AddFile("/lib/A.java", true);
  ASSERT_TRUE(std::filesystem::remove(Path("p.jap")));
  project->AddFile(Path("B.java"), true);  // reached by its full path: the same member
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./B.java", "/lib/A.java"));
  EXPECT_THAT(host.beeps, ElementsAre(BeepKind::Default));
  // The refused add still writes the project file.
  EXPECT_EQ(Read("p.jap"), "[Files]\nfile1=./B.java\nfile2=/lib/A.java\n");
  EXPECT_THAT(host.messages, IsEmpty());
}

TEST_F(ProjectTest, SetMainFileMovesTheMarkAndANonMemberLeavesNone) {
  OpenEmpty();
  project->AddFile(Path("A.java"), false);
  project->AddFile(Path("B.java"), false);
  project->SetMainFile(Path("A.java"));
  project->SetMainFile("./B.java");
  EXPECT_EQ(project->Members().MainIndex(), 1u);
  EXPECT_EQ(project->Members().At(0).kind, MemberKind::JavaFile);
  project->SetMainFile(Path("C.java"));
  EXPECT_EQ(project->Members().MainIndex(), MemberList::npos);
  // Written anyway; the last main file stays in the file.
  EXPECT_EQ(project->MainFileForRun(), "./B.java");
}

TEST_F(ProjectTest, RemovingTheMainFileLeavesTheStaleMainfileThatRunsStillRead) {
  OpenEmpty();
  project->AddFile(Path("A.java"), true);
  project->AddFile(Path("Main.java"), true);
  project->SetMainFile(Path("Main.java"));
  project->RemoveFile(Path("Main.java"));
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./A.java"));
  EXPECT_EQ(Read("p.jap"), "[Project]\nMainfile=./Main.java\n[Files]\nfile1=./A.java\n");

  project->Open(Path("p.jap"));  // reopened: the stale value matches no member
  EXPECT_EQ(project->Members().MainIndex(), MemberList::npos);
  EXPECT_EQ(project->MainFileForRun(), "./Main.java");
}

TEST_F(ProjectTest, CloseRemembersTheProjectAndStartUpReopensIt) {
  OpenEmpty();
  project->AddFile(Path("A.java"), true);
  EXPECT_EQ(profile->GetString("Project", "Last", ""), Path("p.jap"));
  profile->WriteString("Project", "Last", "elsewhere");
  project->Close();
  EXPECT_FALSE(project->IsOpen());
  EXPECT_TRUE(project->Members().Empty());
  EXPECT_EQ(profile->GetString("Project", "Last", ""), Path("p.jap"));

  project->Close();  // closing twice changes nothing
  EXPECT_EQ(profile->GetString("Project", "Last", ""), Path("p.jap"));
  Project restarted(host, *profile);
  restarted.Open(profile->GetString("Project", "Last", ""));
  EXPECT_TRUE(restarted.IsOpen());
  EXPECT_THAT(restarted.StoredPaths(), ElementsAre("./A.java"));
}

TEST_F(ProjectTest, CreateWritesBaseIntoANewOrExistingFileAndOpensIt) {
  host.saveFileAnswers.push_back(std::nullopt);
  EXPECT_FALSE(project->Create());
  EXPECT_FALSE(project->IsOpen());
  EXPECT_EQ(host.fileDialogs.at(0).title, "Create new Steamcove Project");
  EXPECT_EQ(host.fileDialogs.at(0).defaultExt, "jap");

  Write("old.jap", "[Files]\nfile1=./A.java\nfile2=/lib/B.java\n");
  host.saveFileAnswers.push_back(Path("old.jap"));
  EXPECT_TRUE(project->Create());
  EXPECT_TRUE(project->IsOpen());
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./A.java", "/lib/B.java"));
  EXPECT_EQ(Read("old.jap"), "[Files]\nfile1=./A.java\nfile2=/lib/B.java\n[Base]\nName=Test\n");
  EXPECT_THAT(recent.entries, ElementsAre(Path("old.jap")));

  host.saveFileAnswers.push_back(Path("new.jap"));
  EXPECT_TRUE(project->Create());
  EXPECT_EQ(Read("new.jap"), "[Base]\nName=Test\n");
  EXPECT_EQ(project->Members().RootLabel(), "new.jap");
  EXPECT_THAT(recent.entries, ElementsAre(Path("new.jap"), Path("old.jap")));
}

TEST_F(ProjectTest, ARemovedProjectDirectoryIsReportedAndKeepsTheMembersShown) {
  std::filesystem::create_directories(Path("gone"));
  project->Open(Path("gone/p.jap"));
  project->AddFile(Path("gone/A.java"), true);
  paths::SetCurrentDirectory(dir);
  std::filesystem::remove_all(Path("gone"));
  project->AddFile(Path("B.java"), true);
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./A.java", Path("B.java")));
  EXPECT_THAT(host.MessageTexts(),
              ElementsAre("The project file " + Path("gone/p.jap") + " could not be written."));
}

TEST_F(ProjectTest, HtmlUrlsAndResolvedMembers) {
  OpenEmpty();
  project->AddFile(Path("index.html"), false);
  project->AddFile("/srv/PAGE.HTM", false);
  project->AddFile("C:/web/a.htm", false);
  project->AddFile(Path("A.java"), false);
  project->AddFile(Path("b.Htm"), false);  // neither ".htm" nor ".HTM"
  EXPECT_THAT(project->HtmlUrls(), ElementsAre("file://" + Path("index.html"),
                                               "file:///srv/PAGE.HTM", "file:///C:/web/a.htm"));
  EXPECT_EQ(project->ResolveMember("./A.java"), Path("A.java"));
  EXPECT_EQ(project->ResolveMember("/lib/X.java"), "/lib/X.java");
}

}  // namespace
}  // namespace tamso::testing
