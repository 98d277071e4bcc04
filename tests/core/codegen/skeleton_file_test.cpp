#include "codegen/skeleton_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "skeleton_test_support.h"
#include "support/temp_dir.h"

namespace tamso {
namespace {

using testing::RenderSkeletons;

TEST(SkeletonFile, ExampleGivesAGroupWithTwoNumberedSkeletons) {
  const SkeletonSet set = ParseSkeletons(
      "//{{{Loops\r\n"
      "//{{for loop\r\n"
      "for (int i = 0; i < n; i++) {\r\n"
      "    $SEL$\r\n"
      "}\r\n"
      "//}}\r\n"
      "//{{Try block\r\n"
      "try {\r\n"
      "    $SEL$\r\n"
      "} catch (Exception e) {\r\n"
      "}\r\n"
      "//}}\r\n");
  EXPECT_EQ(RenderSkeletons(set),
            "Skeletons\n"
            "  {Loops}\n"
            "    2 for loop\n"
            "    3 Try block\n"
            "--- 2\n"
            "for (int i = 0; i < n; i++) {<0D>\n    $SEL$<0D>\n}\n"
            "--- 3\n"
            "try {<0D>\n    $SEL$<0D>\n} catch (Exception e) {<0D>\n}\n");
}

// Compares the reading of tests/data/codegen/<name> with <name>.tree; on a mismatch
// the actual reading is written to <name>.tree.actual for review.
void ExpectGolden(const std::string& name) {
  const std::string dir = std::string(TAMSO_TEST_DATA) + "/codegen/";
  const std::string text = testing::ReadFile(dir + name);
  ASSERT_FALSE(text.empty()) << dir + name;
  const std::string actual = RenderSkeletons(ParseSkeletons(text));
  const std::string expected = testing::ReadFile(dir + name + ".tree");
  if (actual != expected) std::ofstream(dir + name + ".tree.actual", std::ios::binary) << actual;
  EXPECT_EQ(actual, expected) << "actual reading written to " << dir + name + ".tree.actual";
}

TEST(SkeletonFile, GoldenFiles) {
  ExpectGolden("commentary_crlf.skl");
  ExpectGolden("commentary_lf.skl");
  ExpectGolden("hostile.skl");
}

TEST(SkeletonFile, BodyStartSkipsLineEndsAndTabsButKeepsSpaces) {
  const SkeletonSet set = ParseSkeletons(
      "//{{tab\n\n\n\t\tx = 1;\n//}}\n"
      "//{{spaces\n    y = 2;\n//}}\n"
      "//{{trailing\nz\t\r\n\r\n\t//}}\n");
  EXPECT_EQ(set.Body(2), "x = 1;");
  EXPECT_EQ(set.Body(3), "    y = 2;");
  EXPECT_EQ(set.Body(4), "z");
}

TEST(SkeletonFile, SkeletonsBeforeTheFirstGroupSitUnderTheRoot) {
  const SkeletonSet set = ParseSkeletons(
      "//{{a\nA\n//}}\n//{{{G1\nignored text after a group\n//{{b\nB\n//}}\n"
      "//{{{G2\n//{{{G3\n//{{c\nC\n//}}\n");
  EXPECT_EQ(RenderSkeletons(set),
            "Skeletons\n  2 a\n  {G1}\n    3 b\n  {G2}\n  {G3}\n    4 c\n"
            "--- 2\nA\n--- 3\nB\n--- 4\nC\n");
}

TEST(SkeletonFile, FilesWithoutHeadersShowOnlyTheRoot) {
  for (const char* text : {"", "just words\r\n//}}\n", "//{", "/ /{{x"}) {
    SCOPED_TRACE(text);
    const SkeletonSet set = ParseSkeletons(text);
    EXPECT_EQ(RenderSkeletons(set), "Skeletons\n");
    EXPECT_EQ(set.SkeletonCount(), 0);
  }
}

TEST(SkeletonFile, AnUnclosedBodyEndsTheScanButIsListedEmpty) {
  const SkeletonSet set = ParseSkeletons("//{{one\n1\n//}}\n//{{open\nbody\n//{{never\nx\n");
  EXPECT_EQ(RenderSkeletons(set), "Skeletons\n  2 one\n  3 open\n--- 2\n1\n--- 3\n\n");
}

TEST(SkeletonFile, HeaderInsideABodyBelongsToTheBody) {
  const SkeletonSet set = ParseSkeletons("//{{outer\na\n//{{inner\nb\n//}}\n");
  ASSERT_EQ(set.SkeletonCount(), 1);
  EXPECT_EQ(set.Body(2), "a\n//{{inner\nb");
}

TEST(SkeletonFile, NameEndsAtAControlByteAndTheRestOfItsLineIsDropped) {
  const SkeletonSet set = ParseSkeletons("//{{Name: x, y (z)\tnot the body\r\nbody\r\n//}}");
  ASSERT_EQ(set.ungrouped.size(), 1u);
  EXPECT_EQ(set.ungrouped[0].name, "Name: x, y (z)");
  EXPECT_EQ(set.Body(2), "body");
}

TEST(SkeletonFile, NamesAndBodiesHaveNoLengthLimit) {
  const std::string name(5000, 'n');
  std::string body;
  for (int i = 0; i < 2000; ++i) body += "line " + std::to_string(i) + "\r\n";
  body += "end";
  const SkeletonSet set =
      ParseSkeletons("//{{{" + name + "\r\n//{{" + name + "\r\n" + body + "\r\n//}}\r\n");
  ASSERT_EQ(set.groups.size(), 1u);
  EXPECT_TRUE(set.groups[0].name == name);
  ASSERT_EQ(set.groups[0].skeletons.size(), 1u);
  EXPECT_TRUE(set.groups[0].skeletons[0].name == name);
  EXPECT_TRUE(set.Body(2) == body);
}

TEST(SkeletonFile, Utf8NamesAndNulBytesAreKept) {
  const SkeletonSet set =
      ParseSkeletons(std::string("//{{Schleife f\xC3\xBCr\n\xC3\xA4\0b\n//}}", 27));
  ASSERT_EQ(set.ungrouped.size(), 1u);
  EXPECT_EQ(set.ungrouped[0].name, "Schleife f\xC3\xBCr");
  EXPECT_EQ(set.Body(2), std::string("\xC3\xA4\0b", 4));
}

TEST(ExpandSelection, ReplacesEveryMarkerOnceWithTheSelection) {
  EXPECT_EQ(ExpandSelection("( $SEL$ )", "a + b"), "( a + b )");
  EXPECT_EQ(ExpandSelection("$SEL$ and $SEL$$SEL$", "x"), "x and xx");
  EXPECT_EQ(ExpandSelection("<b>$SEL$</b>", ""), "<b></b>");
  EXPECT_EQ(ExpandSelection("no marker", "x"), "no marker");
  // A multi-line selection goes in whole; a selection holding the marker is not expanded again.
  EXPECT_EQ(ExpandSelection("{\r\n$SEL$\r\n}", "a;\r\nb;"), "{\r\na;\r\nb;\r\n}");
  EXPECT_EQ(ExpandSelection("[$SEL$|$SEL$]", "$SEL$"), "[$SEL$|$SEL$]");
  EXPECT_EQ(ExpandSelection("$SE$SEL$L$", "!"), "$SE!L$");
}

TEST(ExpandSelection, AResultOverTheLimitIsRefusedBeforeAnyOfItIsMade) {
  // A body of a million markers and a 12 KB selection: 12 GB if it were made.
  const std::string body(5 << 20, '$');
  std::string markers;
  for (int i = 0; i < 1 << 20; ++i) markers += "$SEL$";
  const std::string selection(12 * 1024, 's');
  EXPECT_EQ(ExpandedSize(markers, selection), (1ull << 20) * selection.size());
  EXPECT_EQ(ExpandSelection(markers, selection), std::nullopt);
  // Up to the limit it is made; one byte more is not.
  EXPECT_EQ(ExpandedSize("a$SEL$b", "xy"), 4u);
  EXPECT_EQ(ExpandSelection("a$SEL$b", "xy", 4), "axyb");
  EXPECT_EQ(ExpandSelection("a$SEL$b", "xy", 3), std::nullopt);
  EXPECT_EQ(ExpandedSize(body, selection), body.size());  // no marker in "$$$..."
}

}  // namespace
}  // namespace tamso
