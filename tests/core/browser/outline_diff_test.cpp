#include "browser/outline_diff.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamso {
namespace {

struct Item {
  std::string label;
  int kind;
  int parent;
};

OutlineModel Outline(const std::vector<Item>& items) {
  OutlineModel m;
  m.BeginOutline("A.java");
  for (const Item& i : items) m.AddOutlineItem(i.label, i.kind, i.parent);
  m.EndOutline();
  return m;
}

TEST(OutlineDiff, SameNodesInTheSamePlacesGiveTheChangedOnesElseNothing) {
  const std::vector<Item> base = {{"A", kOutlineClass, 0},
                                  {"x", kOutlineField, 1},
                                  {"run()", kOutlineMethod, 1},
                                  {"B", kOutlineClass, 0},
                                  {"y", kOutlineField, 4}};
  const OutlineModel shown = Outline(base);
  // Typing inside a method body: nothing changed.
  auto same = ChangedInPlace(shown, Outline(base));
  ASSERT_TRUE(same.has_value());
  EXPECT_TRUE(same->empty());
  // A member renamed and one turned from a field into a method: just those nodes.
  std::vector<Item> renamed = base;
  renamed[1].label = "xs";
  renamed[4].kind = kOutlineMethod;
  auto changed = ChangedInPlace(shown, Outline(renamed));
  ASSERT_TRUE(changed.has_value());
  EXPECT_EQ(*changed, (std::vector<int>{2, 5}));
  // A member added, one removed, or one moving to another class: the shape differs.
  std::vector<Item> added = base;
  added.push_back({"z", kOutlineField, 4});
  EXPECT_FALSE(ChangedInPlace(shown, Outline(added)).has_value());
  std::vector<Item> removed(base.begin(), base.end() - 1);
  EXPECT_FALSE(ChangedInPlace(shown, Outline(removed)).has_value());
  std::vector<Item> moved = base;
  moved[4].parent = 1;  // same count of nodes, another parent
  EXPECT_FALSE(ChangedInPlace(shown, Outline(moved)).has_value());
  EXPECT_FALSE(ChangedInPlace(OutlineModel(), shown).has_value());
}

}  // namespace
}  // namespace tamso
