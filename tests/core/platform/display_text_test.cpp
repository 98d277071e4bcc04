// What a message or a tip shows of a text too large to read or lay out.

#include "platform/display_text.h"

#include <gtest/gtest.h>

namespace tamso {
namespace {

const std::string kDots = "\xE2\x80\xA6";

TEST(DisplayText, ATextThatFitsIsShownAsItIs) {
  EXPECT_EQ(ElideForDisplay(""), "");
  const std::string message = "/home/me/A.java was changed by another program.\nReload it?";
  EXPECT_EQ(ElideForDisplay(message), message);
  // Exactly at the limits, counting characters rather than bytes.
  std::string wide;
  for (std::size_t i = 0; i < kDisplayLineChars; ++i) wide += "\xC3\xA4";
  EXPECT_EQ(ElideForDisplay(wide), wide);
  std::string lines;
  for (std::size_t i = 0; i < kDisplayLines; ++i) lines += "line\n";
  lines.pop_back();
  EXPECT_EQ(ElideForDisplay(lines), lines);
}

TEST(DisplayText, ALongLineLosesItsMiddleAndKeepsItsEnds) {
  // A path of megabytes in a question: its start, its file name and the question stay.
  const std::string path = "/home/me/" + std::string(4 << 20, 'd') + "/Hello.java";
  const std::string shown = ElideForDisplay(path + " is read-only. Save anyway?", 80);
  EXPECT_EQ(shown, "/home/me/" + std::string(31, 'd') + kDots +
                       "dd/Hello.java is read-only. Save anyway?");
  // A cut never splits a character.
  std::string euros;
  for (int i = 0; i < 100; ++i) euros += "\xE2\x82\xAC";
  std::string five;
  for (int i = 0; i < 5; ++i) five += "\xE2\x82\xAC";
  EXPECT_EQ(ElideForDisplay(euros, 10), five + kDots + five);
  // Bytes that are not UTF-8 count one each.
  EXPECT_EQ(ElideForDisplay(std::string(100, '\xFF'), 4), "\xFF\xFF" + kDots + "\xFF\xFF");
}

TEST(DisplayText, ATextOfManyLinesLosesItsMiddleLinesAndSaysHowMany) {
  std::string text;
  for (int i = 1; i <= 1000000; ++i) text += "line " + std::to_string(i) + "\n";
  text += "Open it anyway?";
  const std::string shown = ElideForDisplay(text, 100, 10);
  EXPECT_EQ(shown, "line 1\nline 2\nline 3\nline 4\nline 5\nline 6\nline 7\n" + kDots +
                       " (999992 more lines) " + kDots + "\nline 1000000\nOpen it anyway?");
}

}  // namespace
}  // namespace tamso
