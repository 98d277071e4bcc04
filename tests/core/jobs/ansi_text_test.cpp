#include <gtest/gtest.h>

#include "jobs/ansi_text.h"

namespace tamso {
namespace {

TEST(AnsiFilter, ColoursBecomeStylesAndOtherSequencesGo) {
  AnsiFilter f;
  const auto runs = f.Feed("plain \x1b[1;31mred bold\x1b[0m \x1b[92mgreen\x1b[39m end");
  ASSERT_EQ(runs.size(), 5u);
  EXPECT_EQ(runs[0].text, "plain ");
  EXPECT_EQ(runs[1].text, "red bold");
  EXPECT_EQ(runs[1].style, (AnsiStyle{1, true}));
  EXPECT_EQ(runs[2].style, AnsiStyle{});
  EXPECT_EQ(runs[3].text, "green");
  EXPECT_EQ(runs[3].style.foreground, 10);
  EXPECT_EQ(runs[4].text, " end");
  // Cursor moves, erasing, titles and charset choices leave nothing behind.
  AnsiFilter g;
  EXPECT_EQ(g.FeedPlain("a\x1b[2K\x1b[10;5Hb\x1b]0;title\x07" "c\x1b]8;;u\x1b\\d\x1b(Be\x1b" "7f"),
            "abcdef");
  // 256 and true colours do not leak their numbers.
  EXPECT_EQ(g.FeedPlain("\x1b[38;5;196mx\x1b[38;2;1;2;3my\x1b[m"), "xy");
}

TEST(AnsiFilter, SplitSequencesWaitForTheirEnd) {
  const std::string text = "one \x1b[31mtwo\x1b[0m three\x1b]0;t\x07 four";
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    SCOPED_TRACE(cut);
    AnsiFilter f;
    std::string out = f.FeedPlain(text.substr(0, cut));
    out += f.FeedPlain(text.substr(cut));
    out += f.Flush();
    EXPECT_EQ(out, "one two three four");
  }
}

TEST(AnsiFilter, BrokenSequencesAndInvalidBytesNeverHideText) {
  AnsiFilter f;
  // An escape broken by a byte no sequence holds loses only the escape.
  EXPECT_EQ(f.FeedPlain("a\x1b[12\x01" "b"), "a[12\x01" "b");
  // One that never ends is given up after its bound, not held for ever.
  const std::string endless = "\x1b[" + std::string(AnsiFilter::kMaxSequence + 10, '1');
  EXPECT_EQ(f.FeedPlain(endless), endless.substr(1));
  EXPECT_EQ(f.FeedPlain("m"), "m");
  // Invalid UTF-8 and a lone escape at the very end.
  EXPECT_EQ(f.FeedPlain("\xff\xfe\xc3(\x1b"), "\xff\xfe\xc3(");
  EXPECT_EQ(f.Flush(), "");
  EXPECT_EQ(f.FeedPlain("\x1b\x1b[31mx"), "x");
}

}  // namespace
}  // namespace tamso
