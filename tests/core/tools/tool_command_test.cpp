#include <gtest/gtest.h>

#include "../app/test_profile.h"
#include "platform/command_line.h"
#include "platform/ini_file.h"
#include "tools/tool_command.h"
#include "tools/tool_config.h"

namespace tamso {
namespace {

std::vector<std::string> Expand(const std::string& args, const std::string& path) {
  MacroArguments a(args);
  a.Replace(MacroValuesFor(path));
  return a.Arguments();
}

TEST(ToolMacros, OnlyTheFirstExactlySpelledOccurrenceIsReplaced) {
  EXPECT_EQ(ReplaceMacro("-a $(FileName) $(FileName)", "$(FileName)", "X.java"),
            "-a X.java $(FileName)");
  EXPECT_EQ(ReplaceMacro("$(filename)", "$(FileName)", "X"), "$(filename)");
  // Across arguments too: the first argument holding it takes the value.
  EXPECT_EQ(Expand("$(FileName) $(FileName) $(filepath)", "/src/A.java"),
            (std::vector<std::string>{"A.java", "$(FileName)", "$(filepath)"}));
  // The three values; a path without a slash is all three.
  EXPECT_EQ(Expand("$(FileDir)/x $(FilePath) -n$(FileName)", "/src/app/A.java"),
            (std::vector<std::string>{"/src/app/x", "/src/app/A.java", "-nA.java"}));
  EXPECT_EQ(Expand("$(FileDir) $(FileName)", "A.java"),
            (std::vector<std::string>{"A.java", "A.java"}));
  // No document: the macros become empty arguments, which stay arguments.
  EXPECT_EQ(Expand("-f $(FilePath)", ""), (std::vector<std::string>{"-f", ""}));
}

TEST(ToolMacros, HostileFileNamesStayOneArgumentAndAreNeverReadAsMacros) {
  for (const std::string name :
       {"my file.java", "a\"b.java", "$(x).java", "$(FilePath).java", "$(FileDir)\\\" x.java",
        "tab\tand\nline.java", "'; rm -rf ~; '.java", "back\\slash.java", "ends in\\"}) {
    const std::string path = "/tmp/dir with blank/" + name;
    SCOPED_TRACE(name);
    EXPECT_EQ(Expand("-n $(FileName) $(FilePath) \"$(FileDir)\"", path),
              (std::vector<std::string>{"-n", name, path, "/tmp/dir with blank"}));
    // Shown for the prompt and split again unchanged, the same arguments come back.
    auto args = Expand("-o$(FileName).out $(FilePath)", path);
    EXPECT_EQ(args[0], "-o" + name + ".out");
    EXPECT_EQ(SplitShellWords(JoinArguments(args)), args);
  }
}

// Typed arguments split as a Linux shell splits words, with nothing expanded.
TEST(ToolMacros, ArgumentsSplitWithShellQuotingAndEscapes) {
  EXPECT_EQ(Expand("'a b' c\\ d \"e'f\" 'C:\\x' $HOME", ""),
            (std::vector<std::string>{"a b", "c d", "e'f", "C:\\x", "$HOME"}));
  // A value inside quotes is still exactly the file's path, once.
  EXPECT_EQ(Expand("'--file=$(FilePath)'", "/a b/it's.java"),
            (std::vector<std::string>{"--file=/a b/it's.java"}));
}

// A file named like an option, or like an "@file" of arguments, is still a file name
// to the tool when it opens an argument; inside one ("-o-x.out") it is left alone.
TEST(ToolMacros, ANameThatLooksLikeAnOptionIsNeverReadAsOne) {
  for (const std::string name : {"-rf.java", "@args.java", "--help"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Expand("$(FileName)", "/src/" + name), std::vector<std::string>{"./" + name});
    EXPECT_EQ(Expand("-o$(FileName).out", "/src/" + name),
              std::vector<std::string>{"-o" + name + ".out"});
    // A bare relative path: the directory and path values are guarded too.
    EXPECT_EQ(Expand("$(FilePath) $(FileDir)", name),
              (std::vector<std::string>{"./" + name, "./" + name}));
  }
  EXPECT_EQ(Expand("$(FilePath)", "/-x/A.java"), std::vector<std::string>{"/-x/A.java"});
  EXPECT_EQ(Expand("$(FileName)", "/src/x-@.java"), std::vector<std::string>{"x-@.java"});
  EXPECT_EQ(NotAnOption("-x"), "./-x");
  EXPECT_EQ(NotAnOption(""), "");
}

TEST(ToolMacros, CommandIsNeverExpandedAndDirectoryKeepsItsValueWhole) {
  EXPECT_EQ(ToolArgv("\"/opt/my tools/fmt\" -q", {"$(FileName)"}),
            (std::vector<std::string>{"/opt/my tools/fmt", "-q", "$(FileName)"}));
  MacroValues v = MacroValuesFor("/home/u/dir ends in blank /A.java");
  EXPECT_EQ(ExpandDirectory("$(FileDir)  \t", v), "/home/u/dir ends in blank ");
  EXPECT_EQ(ExpandDirectory("$(FileDir)/$(FileDir)", v), "/home/u/dir ends in blank /$(FileDir)");
  EXPECT_EQ(TrimmedCommand("grep \t "), "grep");
}

class ToolProfile : public ::testing::Test {
 protected:
  testing::TempProfile p;
};

TEST_F(ToolProfile, HostileSectionsReadWithoutHarmAndWriteBackClean) {
  const std::string big(100 * 1024, 'x');
  p.Write(
      "[Tools]\nTool0=Grep\nTool3=a]b=c\ntool5=  \nTool7=Big\nTool12=Nope\n"
      "[Tool:Grep]\nCommand=grep\nPrompt=7abc\nRedirect=-1\n"
      "[Tool:Big]\nCommand=" +
      big + "\nArgs=" + big + "\nReloadAfter=0\n");
  // Gaps and empty keys leave no entry; slots past 9 are not tools.
  EXPECT_EQ(ReadToolList(p.ini()), (std::vector<std::string>{"Grep", "a]b=c", "Big"}));
  ToolDefinition grep = LoadTool(p.ini(), "Grep");
  EXPECT_EQ(grep.command, "grep");
  EXPECT_TRUE(grep.prompt);
  EXPECT_TRUE(grep.redirect);
  EXPECT_FALSE(grep.saveBefore);
  EXPECT_EQ(grep.args, "");
  EXPECT_EQ(LoadTool(p.ini(), "Big").args.size(), big.size());

  // A name with "]" and "=" gets a section that reads back, and saving it again
  // rewrites that section instead of adding another.
  ToolDefinition odd;
  odd.command = "sh";
  odd.args = " -c 'echo = ]' ";
  odd.redirect = true;
  ASSERT_TRUE(SaveTool(p.ini(), "a]b=c", odd));
  ASSERT_TRUE(SaveTool(p.ini(), "a]b=c", odd));
  ToolDefinition back = LoadTool(p.ini(), "a]b=c");
  EXPECT_EQ(back.command, "sh");
  EXPECT_EQ(back.args, odd.args);
  EXPECT_TRUE(back.redirect);
  const std::string text = p.Read();
  EXPECT_EQ(text.find("[Tool:a)b=c]"), text.rfind("[Tool:a)b=c]"));
  EXPECT_EQ(LoadTool(p.ini(), "a").command, "");

  // The list goes back compacted, a line break in an entry made a blank.
  ASSERT_TRUE(WriteToolList(p.ini(), {"Grep", "two\nlines", "a]b=c"}));
  EXPECT_EQ(ReadToolList(p.ini()), (std::vector<std::string>{"Grep", "two lines", "a]b=c"}));
  EXPECT_EQ(p.ini().GetString("Tools", "Tool7", "gone"), "gone");
  EXPECT_EQ(p.ini().Sections().size(), 4u);
}

}  // namespace
}  // namespace tamso
