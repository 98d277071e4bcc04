#include "app/document_tabs.h"

#include <gtest/gtest.h>

namespace tamso {
namespace {

TEST(DocumentTabs, ClosingGoesBackToTheWindowUsedBeforeIt) {
  UseOrder<int> order;
  EXPECT_EQ(order.NextAfterClosing(1), 0);   // nothing open
  for (int w : {1, 2, 3, 4}) order.Used(w);  // four tabs opened in turn
  order.Used(2);                             // back to the second
  order.Used(4);                             // and to the last
  EXPECT_EQ(order.Order(), (std::vector<int>{4, 2, 3, 1}));
  // Closing the active one goes to the one used before it, not the first tab.
  EXPECT_EQ(order.NextAfterClosing(4), 2);
  order.Removed(4);
  EXPECT_EQ(order.NextAfterClosing(2), 3);
  // Closing a window that is not the newest leaves the newest.
  EXPECT_EQ(order.NextAfterClosing(3), 2);
  order.Removed(3);
  order.Removed(3);  // twice: no harm
  EXPECT_EQ(order.Order(), (std::vector<int>{2, 1}));
  order.Removed(2);
  EXPECT_EQ(order.NextAfterClosing(1), 0);
}

TEST(DocumentTabs, LongTitlesAreShortenedInTheMiddleKeepingTheFileName) {
  EXPECT_EQ(TabTitle("Hello.java"), "Hello.java");
  const std::string exact(kTabTitleChars, 'x');
  EXPECT_EQ(TabTitle(exact), exact);
  const std::string shown =
      TabTitle("src.zip!/java.base/java/util/concurrent/ConcurrentHashMap.java");
  EXPECT_EQ(shown,
            "src.zip!/\xE2\x80\xA6"
            "ConcurrentHashMap.java");
  EXPECT_EQ(TabTitle("a/" + std::string(40, 'n')), "a\xE2\x80\xA6" + std::string(30, 'n'));
  // Characters, not bytes, are counted; a sequence is never cut.
  std::string wide;
  for (int i = 0; i < 40; ++i) wide += "\xC3\xA9";  // 40 x e-acute
  const std::string cut = TabTitle(wide, 10);
  EXPECT_EQ(cut, "\xC3\xA9\xC3\xA9\xC3\xA9\xE2\x80\xA6" + std::string(wide, 0, 12));
  EXPECT_EQ(TabTitle("abcdef", 2), "abcdef");  // no room for an ellipsis: whole
}

}  // namespace
}  // namespace tamso
