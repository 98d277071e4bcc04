// The skeleton files we ship: each reads as intended, and every Java skeleton
// compiles once "$SEL$" is filled in (when a JDK is installed).
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "codegen/skeleton_file.h"
#include "platform/data_files.h"
#include "support/temp_dir.h"

extern char** environ;

namespace tamso {
namespace {

SkeletonSet Shipped(const std::string& name) {
  const std::string text = testing::ReadFile(std::string(TAMSO_SOURCE_DIR) + "/res/data/" + name);
  EXPECT_FALSE(text.empty()) << name;
  return ParseSkeletons(text);
}

std::vector<const SkeletonEntry*> All(const SkeletonSet& set) {
  std::vector<const SkeletonEntry*> out;
  for (const SkeletonEntry& e : set.ungrouped) out.push_back(&e);
  for (const SkeletonGroup& g : set.groups)
    for (const SkeletonEntry& e : g.skeletons) out.push_back(&e);
  return out;
}

TEST(ShippedSkeletons, EveryFileHasGroupsOfNamedNonEmptySkeletons) {
  for (const char* name : {"Java.skl", "HTML.skl", "DESIGNER.skl"}) {
    SCOPED_TRACE(name);
    const SkeletonSet set = Shipped(name);
    EXPECT_TRUE(set.ungrouped.empty());
    EXPECT_FALSE(set.groups.empty());
    for (const SkeletonEntry* e : All(set)) {
      EXPECT_FALSE(e->name.empty());
      EXPECT_FALSE(set.Body(e->number).empty()) << e->name;
      EXPECT_EQ(set.Body(e->number).find("//{{"), std::string::npos) << e->name;
    }
  }
  // Commentary that mentioned a marker would turn up as a group or skeleton.
  std::vector<std::string> groups;
  for (const SkeletonGroup& g : Shipped("Java.skl").groups) groups.push_back(g.name);
  EXPECT_EQ(groups, (std::vector<std::string>{"Types", "Members", "Loops", "Exceptions", "Choices",
                                              "Testing", "Swing"}));
  groups.clear();
  for (const SkeletonGroup& g : Shipped("HTML.skl").groups) groups.push_back(g.name);
  EXPECT_EQ(groups, (std::vector<std::string>{"Pages", "Headings", "Text", "Links and images",
                                              "Lists", "Tables", "Forms"}));
  std::vector<std::string> designer;
  const SkeletonSet designerSet = Shipped("DESIGNER.skl");
  for (const SkeletonEntry* e : All(designerSet)) designer.push_back(e->name);
  EXPECT_EQ(designer,
            (std::vector<std::string>{"Applet", "Dialog", "Panel", "Main Program with Frame",
                                      "Frame", "Hybrid Applet/Main", "Window"}));
  // Tags wrap themselves around the selection.
  const SkeletonSet html = Shipped("HTML.skl");
  for (const SkeletonEntry* e : All(html)) {
    if (e->name == "Bold" || e->name == "Link" || e->name == "Heading 1") {
      EXPECT_NE(html.Body(e->number).find("$SEL$"), std::string::npos);
    }
  }
}

TEST(ShippedSkeletons, TheProgramFindsThemFromTheBuildTree) {
  const DataFileDirs dirs =
      MakeDataFileDirs("", "", "", std::string(TAMSO_SOURCE_DIR) + "/res/data", "", "");
  for (const char* name : {"Java.skl", "HTML.skl", "DESIGNER.skl"})
    EXPECT_FALSE(FindDataFile(name, dirs).empty()) << name;
}

// Where "$SEL$" names the type being declared it becomes a class name; anything
// else (a method name apart) is the empty selection.
std::string CompilationUnitFor(const std::string& body, int index, std::string* fileName) {
  static const std::regex declares(R"((class|interface|record|enum) \$SEL\$)");
  static const std::regex publicType(
      R"(public\s+(?:(?:abstract|final)\s+)*(?:class|interface|record|enum)\s+(\w+))");
  const std::string wrapper = "Snippet" + std::to_string(index);
  *fileName = wrapper + ".java";
  if (std::regex_search(body, declares)) {
    std::string unit =
        std::regex_replace(body, std::regex(R"(\$SEL\$)"), "Sample" + std::to_string(index));
    std::smatch m;
    if (std::regex_search(unit, m, publicType)) *fileName = m[1].str() + ".java";
    return unit;
  }
  std::string text = std::regex_replace(body, std::regex(R"(void \$SEL\$)"), "void sample");
  text = std::regex_replace(text, std::regex(R"(\$SEL\$)"), "");
  static const std::regex member(R"(^(public|protected|private|static|@|void|[A-Za-z.<>]+ \w+\())");
  if (std::regex_search(text, member)) return "class " + wrapper + " {\n" + text + "\n}\n";
  return "class " + wrapper + " {\n  static void snippet(String[] args) throws Exception {\n" +
         text + "\n  }\n}\n";
}

int RunProgram(const std::vector<std::string>& args, const std::string& log) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ShippedSkeletons, EveryJavaSkeletonCompiles) {
  testing::TempDir tmp;
  if (RunProgram({"javac", "-version"}, tmp.File("version.log")) != 0)
    GTEST_SKIP() << "no javac on PATH";
  // Just enough of the test framework's API for the test-class skeletons.
  std::vector<std::string> args = {"javac", "-d", tmp.File("classes"), "-Xlint:none"};
  args.push_back(tmp.Write("stubs/org/junit/jupiter/api/Test.java",
                           "package org.junit.jupiter.api;\npublic @interface Test {}\n"));
  args.push_back(tmp.Write("stubs/org/junit/jupiter/api/BeforeEach.java",
                           "package org.junit.jupiter.api;\npublic @interface BeforeEach {}\n"));
  args.push_back(tmp.Write("stubs/org/junit/jupiter/api/Assertions.java",
                           "package org.junit.jupiter.api;\npublic final class Assertions {\n"
                           "  public static void assertEquals(Object a, Object b) {}\n}\n"));
  int index = 0;
  for (const char* file : {"Java.skl", "DESIGNER.skl"}) {
    const SkeletonSet set = Shipped(file);
    for (const SkeletonEntry* e : All(set)) {
      std::string name;
      const std::string unit = CompilationUnitFor(set.Body(e->number), ++index, &name);
      args.push_back(tmp.Write("src" + std::to_string(index) + "/" + name,
                               "// " + std::string(file) + ": " + e->name + "\n" + unit));
    }
  }
  ASSERT_GT(index, 30);
  const int rc = RunProgram(args, tmp.File("javac.log"));
  EXPECT_EQ(rc, 0) << testing::ReadFile(tmp.File("javac.log"));
}

}  // namespace
}  // namespace tamso
