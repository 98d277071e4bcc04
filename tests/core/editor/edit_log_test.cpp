#include "editor/edit_log.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/line_store.h"

namespace tamso {
namespace {

// Replays a base and the edits taken from a store; the text must be the store's.
struct Follower {
  int id = -1;
  std::string base;
  std::vector<TextEdit> edits;

  void Take(CLineStore& store) {
    if (id < 0) id = store.FollowEdits();
    EditLog::Batch b = store.TakeEdits(id);
    ASSERT_FALSE(b.lost);
    if (b.newBase) {
      base = std::string(b.base.view());
      edits.clear();
    }
    for (TextEdit& e : b.edits) edits.push_back(std::move(e));
  }
  std::string Text() const {
    LineReplay r(base);
    for (const TextEdit& e : edits) EXPECT_TRUE(r.Apply(e));
    return r.Joined("\n", true);
  }
};

TEST(EditLog, ReplayingTheTakenEditsRebuildsTheTextThroughEveryKindOfEdit) {
  CLineStore store;
  // Mixed line ends, a final line without one, control bytes: the base is the loaded
  // bytes as they were read.
  std::string loaded = "class A {\r\n\tint x;\n\r\n  void f() {}\r}";
  loaded += '\0';
  loaded += "tail\xff\xfe";
  store.SetText(loaded);
  Follower f;
  f.Take(store);
  EXPECT_EQ(f.base, loaded);
  std::mt19937 rng(7);
  const std::vector<std::string> pieces = {"x", "yz", "\n", "a\nb", "\n\n", "é", "{", "}", ""};
  for (int step = 0; step < 3000; ++step) {
    const int lines = store.LineCount();
    const int line = static_cast<int>(rng() % static_cast<unsigned>(lines));
    const int col = static_cast<int>(rng() % static_cast<unsigned>(store.LineWidth(line) + 2));
    switch (rng() % 9) {
      case 0:
        store.SetSelection(line, col);
        store.InsertText(pieces[rng() % pieces.size()]);
        break;
      case 1:
        store.SetSelection(line, col);
        store.InsertChar('q');
        break;
      case 2:
        store.SetSelection(line, col);
        store.DeleteBackward();
        break;
      case 3:
        store.SetSelection(line, col);
        store.DeleteForward();
        break;
      case 4: {
        const int end = static_cast<int>(rng() % static_cast<unsigned>(lines));
        store.SetSelection(std::min(line, end), col, std::max(line, end), 1);
        store.ReplaceSelection(pieces[rng() % pieces.size()]);
        break;
      }
      case 5:
        store.Undo();
        break;
      case 6:
        store.Redo();
        break;
      case 7:
        store.SetSelection(line, 0, std::min(line + 2, lines - 1), 0);
        store.IndentBlock(rng() % 2 == 0);
        break;
      case 8:
        store.SetSelection(line, col);
        store.BreakLine(true);
        break;
    }
    if (step % 97 == 0) f.Take(store);
    if (step == 1500) store.ReplaceAllText("reloaded\r\nfrom disk\n");
  }
  f.Take(store);
  EXPECT_EQ(f.Text(), store.JoinedText("\n", true));
  // A whole new text starts again from its bytes.
  store.SetText("new\nfile");
  f.Take(store);
  EXPECT_TRUE(f.edits.empty());
  EXPECT_EQ(f.base, "new\nfile");
  EXPECT_EQ(f.Text(), "new\nfile\n");
}

TEST(EditLog, AStoreEditedBeforeItIsFollowedStartsFromACopyAndEachFollowerGetsEveryEdit) {
  CLineStore store;
  store.SetText("a\nb");
  store.SetSelection(1, 1);
  store.InsertText("\n");  // the last line is empty now: the base must keep it
  const int journal = store.FollowEdits();
  EditLog::Batch b = store.TakeEdits(journal);
  ASSERT_TRUE(b.newBase);
  EXPECT_EQ(b.base.view(), "a\nb\n\n");
  EXPECT_TRUE(b.edits.empty());
  EXPECT_EQ(LineReplay(b.base.view()).LineCount(), 3);

  const int browser = store.FollowEdits();
  for (char c : std::string("word")) store.InsertChar(c);
  b = store.TakeEdits(journal);
  ASSERT_EQ(b.edits.size(), 1u);
  EXPECT_EQ(b.edits[0].insert, "word");
  EXPECT_TRUE(store.TakeEdits(journal).empty());
  // Each follower gets every edit, whenever it takes them.
  b = store.TakeEdits(browser);
  EXPECT_TRUE(b.newBase);
  ASSERT_EQ(b.edits.size(), 1u);
  store.UnfollowEdits(browser);
  store.InsertChar('!');
  EXPECT_TRUE(store.TakeEdits(browser).empty());
  EXPECT_EQ(store.TakeEdits(journal).edits.size(), 1u);
}

TEST(EditLog, ReplayRefusesEditsThatDoNotFitTheText) {
  LineReplay r("ab\ncd\n");
  EXPECT_FALSE(r.Apply({5, 0, 0, "x"}));  // no such line
  EXPECT_FALSE(r.Apply({0, 3, 0, "x"}));  // past the line's end
  EXPECT_FALSE(r.Apply({1, 1, 5, ""}));   // erases past the text's end
  EXPECT_TRUE(r.Apply({0, 1, 3, "-"}));   // "b\nc" goes
  EXPECT_EQ(r.Joined("\r\n", false), "a-d");
}

}  // namespace
}  // namespace tamso
