#include "project/project_file.h"

#include "project_fixture.h"

namespace tamso::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(ProjectTest, SaveWritesMembersInOrderAndMovesFilesBehindProject) {
  host.saveFileAnswers.push_back(Path("demo.jap"));
  ASSERT_TRUE(project->Create());
  project->AddFile(Path("Util.java"), true);
  project->AddFile(Path("Demo.java"), true);
  project->AddFile("/lib/page.html", true);
  EXPECT_EQ(Read("demo.jap"),
            "[Base]\nName=Test\n"
            "[Files]\nfile1=./Util.java\nfile2=./Demo.java\nfile3=/lib/page.html\n");

  // The main file keeps its place in the numbering; "Project" is new, so it follows.
  project->SetMainFile(Path("Demo.java"));
  EXPECT_EQ(Read("demo.jap"),
            "[Base]\nName=Test\n"
            "[Files]\nfile1=./Util.java\nfile2=./Demo.java\nfile3=/lib/page.html\n"
            "[Project]\nMainfile=./Demo.java\n");

  // From the next save on, the recreated "Files" goes to the end.
  project->RemoveFile("./Util.java");
  EXPECT_EQ(Read("demo.jap"),
            "[Base]\nName=Test\n"
            "[Project]\nMainfile=./Demo.java\n"
            "[Files]\nfile1=./Demo.java\nfile2=/lib/page.html\n");

  // Removing every member drops the section, never "Mainfile".
  project->RemoveFile("./Demo.java");
  project->RemoveFile("/lib/page.html");
  EXPECT_EQ(Read("demo.jap"), "[Base]\nName=Test\n[Project]\nMainfile=./Demo.java\n");
}

TEST_F(ProjectTest, SaveKeepsForeignLinesAndUpdatesMainfileInPlace) {
  Write("p.jap",
        "; my project\r\n[base]\r\nname=Test\r\n\r\n[PROJECT]\r\nUseClassPath=Y\r\n"
        "mainfile=old.java\r\nClassPath=lib\r\n\r\n[files]\r\nFILE1=./A.java\r\n"
        "[Other]\r\nx=1\r\n");
  OpenEmpty();
  project->SetMainFile("./A.java");
  EXPECT_EQ(Read("p.jap"),
            "; my project\r\n[base]\r\nname=Test\r\n\r\n[PROJECT]\r\nUseClassPath=Y\r\n"
            "Mainfile=./A.java\r\nClassPath=lib\r\n\r\n"
            "[Other]\r\nx=1\r\n[Files]\r\nfile1=./A.java\r\n");
}

TEST_F(ProjectTest, OpenReadsEveryNumberedMemberAndTheMainMarkLosesNone) {
  const std::string gappy = "[Files]\nfile1=./A.java\nfile2=./B.java\nfile4=./D.java\n";
  Write("p.jap", gappy);
  OpenEmpty();
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./A.java", "./B.java", "./D.java"));
  EXPECT_EQ(Read("p.jap"), gappy);  // nothing written without a main file

  // The main-file mark rewrites the section: renumbered, every member kept.
  Write("m.jap", "[Base]\nName=Test\n" + gappy + "[Project]\nMainfile=./B.java\n");
  project->Open(Path("m.jap"));
  EXPECT_EQ(project->Members().MainIndex(), 1u);
  EXPECT_EQ(Read("m.jap"),
            "[Base]\nName=Test\n[Project]\nMainfile=./B.java\n"
            "[Files]\nfile1=./A.java\nfile2=./B.java\nfile3=./D.java\n");

  // Number order, not file order; empty values, foreign keys and a repeated number
  // (the first counts) are skipped.
  Write("e.jap",
        "[Files]\nfile10=./J.java\nFILE3=./C.java\nfile2=\nfiles=x\nfile=y\nfile1x=z\n"
        "file1=./A.java\nfile01=./Again.java\nfile999999999=./Big.java\n");
  project->Open(Path("e.jap"));
  EXPECT_THAT(project->StoredPaths(),
              ElementsAre("./A.java", "./C.java", "./J.java", "./Big.java"));
}

TEST_F(ProjectTest, OpenTakesBackslashesFromAnotherSystemAsSeparators) {
  Write("win.jap",
        "[Base]\r\nName=Test\r\n[Files]\r\nfile1=.\\Util.java\r\nfile2=C:\\lib\\page.html\r\n"
        "[Project]\r\nMainfile=.\\Util.java\r\n");
  project->Open(Path("win.jap"));
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./Util.java", "C:/lib/page.html"));
  EXPECT_EQ(project->Members().At(0).kind, MemberKind::MainFile);
  EXPECT_EQ(project->Members().At(1).label, "page.html");
}

TEST_F(ProjectTest, BadProjectFilesOpenAsEmptyOrDeduplicatedProjects) {
  project->Open(Path("missing.jap"));
  EXPECT_TRUE(project->IsOpen());
  EXPECT_EQ(project->Members().RootLabel(), "missing.jap");
  EXPECT_TRUE(project->Members().Empty());
  EXPECT_FALSE(paths::Exists(Path("missing.jap")));

  Write("bin.jap", std::string("\x7f"
                               "ELF\0\0\x01\n\xff\xfe=\n[",
                               12));
  project->Open(Path("bin.jap"));
  EXPECT_TRUE(project->Members().Empty());

  std::filesystem::create_directories(Path("dir.jap"));
  project->Open(Path("dir.jap"));
  EXPECT_TRUE(project->Members().Empty());
  project->AddFile(Path("A.java"), true);  // cannot be written: said so, nothing lost
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./A.java"));
  EXPECT_EQ(host.MessageTexts().size(), 1u);

  Write("twice.jap", "[Files]\nfile1=./A.java\nfile2=./A.java\nfile3=./B.java\n");
  project->Open(Path("twice.jap"));
  EXPECT_THAT(project->StoredPaths(), ElementsAre("./A.java", "./B.java"));
  EXPECT_THAT(host.beeps, ElementsAre(BeepKind::Default));
}

TEST_F(ProjectTest, LongStoredPathsSurviveASaveAndReopen) {
  const std::string longPath = "/" + std::string(300, 'x') + "/Long.java";
  OpenEmpty();
  project->AddFile(longPath, true);
  project->SetMainFile(longPath);
  project->Open(Path("p.jap"));
  ASSERT_THAT(project->StoredPaths(), ElementsAre(longPath));
  EXPECT_EQ(project->Members().MainIndex(), 0u);
}

TEST(ProjectFileTest, AnUnreadableFileIsNeverOverwritten) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  std::string templ = (std::filesystem::temp_directory_path() / "tamso-pf-XXXXXX").string();
  ASSERT_NE(mkdtemp(templ.data()), nullptr);
  std::string path = templ + "/p.jap";
  ASSERT_TRUE(WriteFileAtomically(path, "[Files]\nfile1=./A.java\n").ok);
  std::filesystem::permissions(path, std::filesystem::perms::none);
  EXPECT_THAT(ReadProjectMembers(path).files, IsEmpty());
  EXPECT_FALSE(WriteProjectMembers(path, {"./B.java"}, nullptr));
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  EXPECT_THAT(ReadProjectMembers(path).files, ElementsAre("./A.java"));
  std::filesystem::remove_all(templ);
}

}  // namespace
}  // namespace tamso::testing
