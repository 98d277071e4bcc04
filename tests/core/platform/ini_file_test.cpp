#include "platform/ini_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace tamso {
namespace {

using testing::ReadFile;
using testing::TempDir;

class IniFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string path = dir.File("tamso.INI");
  IniFile ini{path};
};

TEST_F(IniFileTest, MissingFileGivesDefaultsAndFirstWriteCreatesIt) {
  EXPECT_EQ(ini.GetString("Editor", "Font", "Courier"), "Courier");
  EXPECT_EQ(ini.GetInt("Editor", "TabChars", 5), 5);
  EXPECT_FALSE(ini.GetYesNo("Compiler", "Verbose"));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(ini.RemoveKey("Editor", "TabChars"));  // nothing to remove: no file made
  EXPECT_FALSE(std::filesystem::exists(path));
  ASSERT_TRUE(ini.WriteInt("Editor", "TabChars", 4));
  EXPECT_EQ(ReadFile(path), "[Editor]\nTabChars=4\n");
}

TEST_F(IniFileTest, NamesMatchWithoutCaseAndValuesAreTrimmed) {
  dir.Write("tamso.INI", "[editor]\n  clrBackground =  255  \n");
  EXPECT_EQ(ini.GetString("EDITOR", "clrBackGround", ""), "255");
  EXPECT_EQ(ini.GetInt("Editor", "CLRBACKGROUND", 0), 255);
  ASSERT_TRUE(ini.WriteInt("Editor", "clrBackGround", 7));
  // The key keeps its place; no second key appears.
  EXPECT_EQ(ReadFile(path), "[editor]\nclrBackGround=7\n");
}

TEST_F(IniFileTest, NewSectionsAppendAtTheEndAndNewKeysAtTheEndOfTheirSection) {
  dir.Write("tamso.INI", "[A]\nx=1\n\n[B]\ny=2\n");
  ASSERT_TRUE(ini.WriteString("A", "z", "3"));
  ASSERT_TRUE(ini.WriteString("C", "w", "4"));
  EXPECT_EQ(ReadFile(path), "[A]\nx=1\nz=3\n\n[B]\ny=2\n[C]\nw=4\n");
  EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(ini.Keys("a"), (std::vector<std::string>{"x", "z"}));
}

TEST_F(IniFileTest, RemovingAKeyOrASection) {
  dir.Write("tamso.INI", "[Tools]\nTool0=javadoc\nTool1=grep\nTool2=ls\n[Other]\nk=v\n");
  ASSERT_TRUE(ini.RemoveKey("tools", "TOOL1"));
  EXPECT_EQ(ini.GetString("Tools", "Tool1", "-"), "-");
  ASSERT_TRUE(ini.RemoveSection("TOOLS"));
  // Rewriting the section after removing it leaves no stale keys behind.
  ASSERT_TRUE(ini.WriteString("Tools", "Tool0", "grep"));
  EXPECT_EQ(ReadFile(path), "[Other]\nk=v\n[Tools]\nTool0=grep\n");
  EXPECT_EQ(ini.GetString("Tools", "Tool2", ""), "");
}

TEST_F(IniFileTest, ReplacingASectionMovesItToTheEndInOneWrite) {
  dir.Write("tamso.INI", "[Files]\nfile1=a\nfile2=b\nfile3=c\n[Project]\nMainfile=b\n");
  ASSERT_TRUE(ini.ReplaceSection("FILES", {{"file1", "b"}, {"file2", "c"}}));
  EXPECT_EQ(ReadFile(path), "[Project]\nMainfile=b\n[FILES]\nfile1=b\nfile2=c\n");
  ASSERT_TRUE(ini.ReplaceSection("Files", {}));
  EXPECT_EQ(ReadFile(path), "[Project]\nMainfile=b\n");
}

TEST_F(IniFileTest, ReplacingASectionAndSettingAKeyIsOneWriteAndNoneWhenNothingChanges) {
  ASSERT_TRUE(ini.WriteString("Base", "Name", "Test"));
  ASSERT_TRUE(ini.WriteString("Files", "file1", "a"));
  IniFile::SetAlso main{"Project", "Mainfile", "./a"};
  ASSERT_TRUE(ini.ReplaceSection("Files", {{"file1", "a"}, {"file2", "b"}}, &main));
  const std::string expected =
      "[Base]\nName=Test\n[Files]\nfile1=a\nfile2=b\n[Project]\nMainfile=./a\n";
  EXPECT_EQ(ReadFile(path), expected);
  // Once "Files" is last, the same call gives the same bytes: nothing is rewritten
  // (the inode stays).
  ASSERT_TRUE(ini.ReplaceSection("Files", {{"file1", "a"}, {"file2", "b"}}, &main));
  const std::string stable =
      "[Base]\nName=Test\n[Project]\nMainfile=./a\n[Files]\nfile1=a\nfile2=b\n";
  ASSERT_EQ(ReadFile(path), stable);
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  ASSERT_TRUE(ini.ReplaceSection("Files", {{"file1", "a"}, {"file2", "b"}}, &main));
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);
  EXPECT_EQ(ReadFile(path), stable);
  auto both = ini.ReadSections({"project", "Missing", "files"});
  ASSERT_EQ(both.size(), 3u);
  EXPECT_EQ(both[0].size(), 1u);
  EXPECT_TRUE(both[1].empty());
  EXPECT_EQ(both[2].size(), 2u);
}

TEST_F(IniFileTest, EveryValueReadsBackAsWrittenAndAReplacedSectionIsTheOneRead) {
  // Blanks at either end and enclosing quotes would be taken off on reading.
  for (const std::string value : {" lead", "trail ", "'quoted'", "\"q\"", "\"", "  "}) {
    SCOPED_TRACE(value);
    ASSERT_TRUE(ini.WriteString("S", "k", value));
    EXPECT_EQ(ini.GetString("S", "k", "<none>"), value);
    ASSERT_TRUE(ini.ReplaceSection("Files", {{"file1", value}}));
    EXPECT_EQ(ini.ReadSection("Files").at(0).second, value);
  }
  ASSERT_TRUE(ini.WriteString("S", "k", "plain"));
  EXPECT_EQ(ReadFile(path), "[S]\nk=plain\n[Files]\nfile1=\"  \"\n");

  // A second section of the name would shadow the one written: both go.
  dir.Write("tamso.INI", "[Files]\nfile1=a\n[X]\nx=1\n[files]\nfile1=old\n");
  ASSERT_TRUE(ini.ReplaceSection("Files", {{"file1", "new"}}));
  EXPECT_EQ(ReadFile(path), "[X]\nx=1\n[Files]\nfile1=new\n");
}

TEST_F(IniFileTest, ReadingAWholeSectionInOneGo) {
  dir.Write("tamso.INI", "[Files]\nfile1 = './A.java'\n; note\nFILE2=B.java\n[files]\nfile3=C\n");
  EXPECT_EQ(ini.ReadSection("FILES"), (std::vector<std::pair<std::string, std::string>>{
                                          {"file1", "./A.java"}, {"FILE2", "B.java"}}));
  EXPECT_TRUE(ini.ReadSection("None").empty());
}

TEST_F(IniFileTest, EveryReadSeesTheFileAsItIsNow) {
  ASSERT_TRUE(ini.WriteString("Project", "Last", "/a.jap"));
  EXPECT_EQ(ini.GetString("Project", "Last", ""), "/a.jap");
  dir.Write("tamso.INI", "[Project]\nLast=/b.jap\n");  // edited outside the program
  EXPECT_EQ(ini.GetString("Project", "Last", ""), "/b.jap");
}

// Sets the file's modification time an hour back, as a profile from an earlier run has.
void Age(const std::string& path) {
  struct timespec t[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3600, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), t, 0), 0);
}

TEST_F(IniFileTest, ManyReadsOfAnUnchangedFileReadItOnceAndAChangeIsStillSeen) {
  dir.Write("tamso.INI", "[Project]\nLast=/a.jap\n[Editor]\nTabChars=4\n");
  Age(path);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(ini.GetString("Project", "Last", ""), "/a.jap");
    EXPECT_EQ(ini.GetInt("Editor", "TabChars", 0), 4);
  }
  EXPECT_EQ(ini.Sections().size(), 2u);
  EXPECT_EQ(ini.ReadSection("Editor").size(), 1u);
  EXPECT_EQ(ini.DiskReads(), 1u);
  // Written in place, even with the old time put back.
  dir.Write("tamso.INI", "[Project]\nLast=/bb.jap\n[Editor]\nTabChars=4\n");
  Age(path);
  EXPECT_EQ(ini.GetString("Project", "Last", ""), "/bb.jap");
  EXPECT_EQ(ini.DiskReads(), 2u);
  // Replaced by another file of the same size and time.
  const std::string side = dir.Write("side.INI", "[Project]\nLast=/c.jap\n[Editor]\nTabChars=4\n");
  Age(side);
  ASSERT_EQ(std::rename(side.c_str(), path.c_str()), 0);
  EXPECT_EQ(ini.GetString("Project", "Last", ""), "/c.jap");
  // A copy of the store shares what was read, and its own write is seen by its next read.
  IniFile copy = ini;
  EXPECT_EQ(copy.GetString("Project", "Last", ""), "/c.jap");
  ASSERT_TRUE(copy.WriteString("Project", "Last", "/d.jap"));
  EXPECT_EQ(copy.GetString("Project", "Last", ""), "/d.jap");
  EXPECT_EQ(ini.GetString("Project", "Last", ""), "/d.jap");
}

TEST_F(IniFileTest, AFileOverTheSizeLimitIsNeitherReadNorWrittenOver) {
  const std::string body = "[Project]\nLast=/a.jap\n";
  dir.Write("tamso.INI", body);
  ASSERT_EQ(::truncate(path.c_str(), 17 << 20), 0);  // sparse: nothing is written
  ini.SetSizeLimit(16 << 20);
  EXPECT_EQ(ini.GetString("Project", "Last", "none"), "none");
  EXPECT_TRUE(ini.Sections().empty());
  EXPECT_EQ(ini.DiskReads(), 0u);
  EXPECT_FALSE(ini.WriteString("Project", "Last", "/b.jap"));
  EXPECT_FALSE(ini.ReplaceSection("Files", {{"file1", "A.java"}}));
  EXPECT_EQ(std::filesystem::file_size(path), 17u << 20);
  EXPECT_EQ(ReadFile(path).substr(0, body.size()), body);
}

TEST_F(IniFileTest, GetIntReadsLikeTheClassicProfileFunction) {
  dir.Write("tamso.INI",
            "[N]\na=12abc\nb=abc\nc=-5\nd= 7 \ne=\nf=0x1F\ng=99999999999\nh=\"42\"\ni=+3\n");
  EXPECT_EQ(ini.GetInt("N", "a", 1), 12);  // digits up to the first other character
  EXPECT_EQ(ini.GetInt("N", "b", 1), 0);   // no digits at all
  EXPECT_EQ(ini.GetInt("N", "c", 1), -5);  // signed values come back signed
  EXPECT_EQ(ini.GetInt("N", "d", 1), 7);   // blanks trimmed
  EXPECT_EQ(ini.GetInt("N", "e", 9), 9);   // an empty value reads as missing
  EXPECT_EQ(ini.GetInt("N", "f", 1), 31);  // hexadecimal with 0x
  EXPECT_EQ(ini.GetInt("N", "h", 1), 42);  // quotes around a value are not part of it
  EXPECT_EQ(ini.GetInt("N", "i", 1), 0);   // a plus sign is not a digit
  EXPECT_EQ(ini.GetInt("N", "missing", -3), -3);
  (void)ini.GetInt("N", "g", 1);  // far too large: some value, no undefined behaviour
}

TEST_F(IniFileTest, YesNoRule) {
  dir.Write("tamso.INI", "[Compiler]\nVerbose=n\nDebug=N\nDepend=Y\nOptimize=\n");
  EXPECT_TRUE(ini.GetYesNo("Compiler", "Verbose"));  // only exactly "N" is no
  EXPECT_FALSE(ini.GetYesNo("Compiler", "Debug"));
  EXPECT_TRUE(ini.GetYesNo("Compiler", "Depend"));
  EXPECT_TRUE(ini.GetYesNo("Compiler", "Optimize"));
  EXPECT_FALSE(ini.GetYesNo("Compiler", "Missing"));
  ASSERT_TRUE(ini.WriteYesNo("Compiler", "Debug", true));
  EXPECT_EQ(ini.GetString("Compiler", "Debug", ""), "Y");
}

TEST_F(IniFileTest, LinesItDoesNotUnderstandSurviveARewrite) {
  std::string junk = "garbage before any section\n; a comment\n[S]\nnot a key line\n";
  junk += std::string("bin\x01\x02\xff\xfe", 8) + "\n";
  junk += "k=v\n[S]\nk=second\n" + std::string(100000, 'x') + "\n";
  dir.Write("tamso.INI", junk);
  EXPECT_EQ(ini.GetString("S", "k", ""), "v");  // the first of repeated sections and keys
  ASSERT_TRUE(ini.WriteString("S", "new", "1"));
  std::string after = ReadFile(path);
  EXPECT_EQ(after, "garbage before any section\n; a comment\n[S]\nnot a key line\n" +
                       std::string("bin\x01\x02\xff\xfe", 8) + "\nk=v\nnew=1\n[S]\nk=second\n" +
                       std::string(100000, 'x') + "\n");
}

TEST_F(IniFileTest, BinaryJunkAndNoSectionsReadAsDefaults) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919) & 0xff);
  dir.Write("tamso.INI", junk);
  EXPECT_EQ(ini.GetInt("Editor", "TabChars", 5), 5);
  ASSERT_TRUE(ini.WriteInt("Editor", "TabChars", 3));
  EXPECT_EQ(ini.GetInt("Editor", "TabChars", 5), 3);
  EXPECT_EQ(ReadFile(path).substr(0, junk.size()), junk);  // nothing lost
}

TEST_F(IniFileTest, CrLfFilesKeepTheirLineEnds) {
  dir.Write("tamso.INI", "[A]\r\nx=1\r\n");
  ASSERT_TRUE(ini.WriteString("A", "y", "2"));
  EXPECT_EQ(ReadFile(path), "[A]\r\nx=1\r\ny=2\r\n");
  EXPECT_EQ(ini.GetString("A", "x", ""), "1");
}

TEST_F(IniFileTest, ValuesCannotInjectLines) {
  ASSERT_TRUE(ini.WriteString("A", "x", "one\n[B]\ny=2"));
  EXPECT_EQ(ini.Sections(), std::vector<std::string>{"A"});
  EXPECT_EQ(ini.GetString("A", "x", ""), "one [B] y=2");
}

// The in-memory store is what the fuzz checks run on: it must write exactly the
// bytes the file store writes for the same changes.
TEST_F(IniFileTest, AnInMemoryStoreWritesTheBytesAFileStoreWrites) {
  const std::string start = "; kept\r\n[Editor]\r\nFont = Courier\r\n[Files]\r\nfile1=A\r\n";
  testing::TempDir d;
  IniFile file(d.Write("p.jap", start));
  IniFile memory = IniFile::InMemory(start);
  for (IniFile* s : {&file, &memory}) {
    ASSERT_TRUE(s->WriteString("Editor", "Font", " padded "));
    ASSERT_TRUE(s->WriteInt("New", "n", -4));
    ASSERT_TRUE(s->RemoveKey("Files", "file1"));
    IniFile::SetAlso also{"Project", "Mainfile", "./A.java"};
    ASSERT_TRUE(s->ReplaceSection("Files", {{"file1", "./A.java"}, {"file2", "b c"}}, &also));
    ASSERT_TRUE(s->RemoveSection("Editor"));
  }
  EXPECT_EQ(memory.MemoryText(), ReadFile(file.Path()));
  EXPECT_EQ(memory.GetInt("New", "n", 0), -4);
  EXPECT_EQ(memory.ReadSection("Files").size(), 2u);
}

TEST_F(IniFileTest, AFileThatIsADirectoryReadsAsDefaultsAndWritesFail) {
  std::filesystem::create_directory(path);
  EXPECT_EQ(ini.GetString("A", "x", "d"), "d");
  EXPECT_FALSE(ini.WriteString("A", "x", "1"));
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST_F(IniFileTest, AWriteIntoAMissingDirectoryFailsCleanlyAndSaysWhy) {
  IniFile nowhere(dir.File("no/such/dir/x.INI"));
  std::vector<std::string> errors;
  nowhere.SetWriteFailureHandler([&](const std::string& e) { errors.push_back(e); });
  EXPECT_FALSE(nowhere.WriteString("A", "x", "1"));
  EXPECT_FALSE(nowhere.WriteInt("A", "y", 1));
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0],
            "Cannot write " + dir.File("no/such/dir/x.INI") + ": No such file or directory");
  EXPECT_EQ(nowhere.GetString("A", "x", "d"), "d");
}

TEST_F(IniFileTest, WritesLeaveNoTemporaryFilesBehind) {
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(ini.WriteInt("A", "n", i));
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace tamso
