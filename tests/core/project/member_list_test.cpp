#include "project/member_list.h"

#include <gtest/gtest.h>

namespace tamso {
namespace {

TEST(MemberKindTest, SubstringTestsInOrderAfterTheFirstCharacter) {
  struct Case {
    const char* path;
    MemberKind kind;
  } cases[] = {
      {"./Demo.java", MemberKind::JavaFile},
      {"./notes.javadoc.txt", MemberKind::JavaFile},  // a substring, not an extension
      {"/src/Page.HTML", MemberKind::HtmlFile},
      {"./form.jad", MemberKind::DesignFile},
      {"./x.htm.java", MemberKind::JavaFile},  // ".jav" is tried first
      {"/a.jad.htm", MemberKind::HtmlFile},
      {".java", MemberKind::OtherFile},  // found at index 0 only
      {"./README", MemberKind::OtherFile},
      {"", MemberKind::OtherFile},
  };
  for (const Case& c : cases) EXPECT_EQ(KindOfStoredPath(c.path), c.kind) << c.path;
}

TEST(MemberKindTest, FileKindsAndTheMainFile) {
  for (MemberKind k : {MemberKind::OtherFile, MemberKind::JavaFile, MemberKind::HtmlFile,
                       MemberKind::DesignFile}) {
    EXPECT_TRUE(IsFileKind(k, false));
    EXPECT_TRUE(IsFileKind(k, true));
  }
  EXPECT_FALSE(IsFileKind(MemberKind::MainFile, false));
  EXPECT_TRUE(IsFileKind(MemberKind::MainFile, true));
  EXPECT_FALSE(IsFileKind(MemberKind::ProjectRoot, true));
}

TEST(MemberListTest, LabelsOrderMainMarkAndDeletion) {
  MemberList list;
  list.InitRoot("/work/demo/p.jap");
  EXPECT_EQ(list.RootLabel(), "p.jap");
  list.InsertFile("./A.java", MemberKind::JavaFile);
  list.InsertFile("/lib/A.java", MemberKind::JavaFile);
  list.InsertFile("C:/old/page.html", MemberKind::HtmlFile);
  ASSERT_EQ(list.Size(), 3u);
  // Same labels for the same name in two directories; each keeps its stored path.
  EXPECT_EQ(list.At(0).label, "A.java");
  EXPECT_EQ(list.At(1).label, "A.java");
  EXPECT_EQ(list.At(1).stored, "/lib/A.java");

  EXPECT_TRUE(list.MarkMain("/lib/A.java"));
  EXPECT_EQ(list.MainIndex(), 1u);
  list.ResetKinds();
  EXPECT_EQ(list.MainIndex(), MemberList::npos);
  EXPECT_EQ(list.At(1).kind, MemberKind::JavaFile);
  EXPECT_FALSE(list.MarkMain("./missing.java"));

  EXPECT_TRUE(list.Delete("./A.java"));
  EXPECT_FALSE(list.Contains("./A.java"));
  EXPECT_EQ(list.At(0).stored, "/lib/A.java");
  EXPECT_FALSE(list.Delete("./A.java"));

  list.InsertFile("./A.java", MemberKind::JavaFile);  // appended, not put back in place
  EXPECT_EQ(list.At(2).stored, "./A.java");
  list.ClearTree();
  EXPECT_TRUE(list.Empty());
  EXPECT_FALSE(list.HasRoot());
}

TEST(MemberTextTest, KindsOfLongPathsAndShownTextOfHugeLabels) {
  // The first ".jav" decides, in any letter case, however long the path.
  const std::string longName(3 << 20, 'a');
  EXPECT_EQ(KindOfStoredPath("./" + longName + ".JaVa"), MemberKind::JavaFile);
  EXPECT_EQ(KindOfStoredPath(".java/x.java"), MemberKind::OtherFile);
  EXPECT_EQ(KindOfStoredPath("a.jav"), MemberKind::JavaFile);
  EXPECT_EQ(KindOfStoredPath("a.ja"), MemberKind::OtherFile);
  EXPECT_EQ(KindOfStoredPath("x.htmL"), MemberKind::HtmlFile);

  EXPECT_EQ(ShownText("Short.java"), "Short.java");
  const std::string huge = "\xc3\xa9" + longName + "\xc3\xa9";  // e-acute at both ends
  std::string shown = ShownText(huge, 9);
  EXPECT_EQ(shown,
            "\xc3\xa9"
            "aa...aaa\xc3\xa9");
  shown = ShownText(huge, 4);  // never half a character at either cut
  EXPECT_EQ(shown, "\xc3\xa9...\xc3\xa9");
  EXPECT_LE(ShownText(huge).size(), 1024u + 3u);
}

}  // namespace
}  // namespace tamso
