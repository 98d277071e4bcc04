#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "build_test_support.h"
#include "jobs/source_reference.h"

namespace tamso {
namespace {

using testing::TempDir;

struct Roots {
  TempDir dir;
  std::vector<std::string> roots;
  Roots() {
    for (const char* f : {"src/main/java/a/b/Main.java", "src/test/java/a/b/MainTest.java",
                          "other/Plain.java"}) {
      std::filesystem::create_directories(std::filesystem::path(dir / f).parent_path());
      std::ofstream(dir / f) << "class X {}\n";
    }
    roots = {dir / "src/main/java", dir / "src/test/java", dir / "other"};
  }
};

TEST(StackFrameReference, OwnSourcesAlongTheRootsAreReferences) {
  Roots r;
  auto ref = ParseStackFrameReference("\tat a.b.Main.run(Main.java:26)", r.roots);
  ASSERT_TRUE(ref);
  EXPECT_EQ(ref->file, r.dir / "src/main/java/a/b/Main.java");
  EXPECT_EQ(ref->line, 26);
  // Nested classes, lambdas, a module or class loader before the class, a test root.
  ref = ParseStackFrameReference("  at app//a.b.Main$Inner.lambda$go$0(Main.java:7)", r.roots);
  ASSERT_TRUE(ref);
  EXPECT_EQ(ref->file, r.dir / "src/main/java/a/b/Main.java");
  ref = ParseStackFrameReference("at a.b.MainTest.fails(MainTest.java:12)", r.roots);
  ASSERT_TRUE(ref);
  EXPECT_EQ(ref->file, r.dir / "src/test/java/a/b/MainTest.java");
  ref = ParseStackFrameReference("at Plain.main(Plain.java:3)", r.roots);
  ASSERT_TRUE(ref);
  EXPECT_EQ(ref->line, 3);
}

TEST(StackFrameReference, RuntimeFramesAndLookalikesAreNot) {
  Roots r;
  for (const char* line : {
           "at java.base/java.lang.Thread.run(Thread.java:840)",  // not one of ours
           "at a.b.Main.run(Native Method)",
           "at a.b.Main.run(Unknown Source)",
           "at a.b.Main.run(Main.java)",
           "at a.b.Main.run(../Main.java:3)",
           "at a.b.Main.run(Main.java:x3)",
           "what a.b.Main.run(Main.java:3)",
           "at a.b.Main.run(Main.java:3",
       }) {
    SCOPED_TRACE(line);
    EXPECT_FALSE(ParseStackFrameReference(line, r.roots));
  }
  EXPECT_FALSE(ParseStackFrameReference("at a.b.Main.run(Main.java:3)", {}));
}

TEST(StackFrameReference, NextReferenceStepsThroughATrace) {
  Roots r;
  const std::vector<std::string> lines{
      "Exception in thread \"main\" java.lang.IllegalStateException: boom",
      "\tat a.b.Main.fail(Main.java:9)",
      "\tat java.base/java.util.ArrayList.forEach(ArrayList.java:1596)",
      "\tat a.b.Main.main(Main.java:4)",
  };
  auto at = [&](size_t i) { return lines[i]; };
  EXPECT_EQ(FindNextReference(lines.size(), at, std::nullopt, true, r.roots), 1u);
  EXPECT_EQ(FindNextReference(lines.size(), at, 1, true, r.roots), 3u);
  EXPECT_EQ(FindNextReference(lines.size(), at, 3, false, r.roots), 1u);
  EXPECT_EQ(FindNextReference(lines.size(), at, std::nullopt, true), std::nullopt);
}

}  // namespace
}  // namespace tamso
