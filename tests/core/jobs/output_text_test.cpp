#include "jobs/output_text.h"

#include <gtest/gtest.h>

namespace tamso {
namespace {

TEST(OutputText, SetAndAppendFollowTheNewLineFlag) {
  OutputText t;
  EXPECT_EQ(t.LineCount(), 1u);
  t.Set("Heading");
  t.Append("", false);
  EXPECT_EQ(t.Text(), "Heading");
  t.Append("", true);
  EXPECT_EQ(t.Text(), "Heading\n");
  t.Append("chunk without end", false);
  t.Append(" goes on\nnext", false);
  t.Append("line", true);
  EXPECT_EQ(t.Text(), "Heading\nchunk without end goes on\nnext\nline");
  ASSERT_EQ(t.LineCount(), 4u);
  EXPECT_EQ(t.Line(0), "Heading");
  EXPECT_EQ(t.Line(1), "chunk without end goes on");
  EXPECT_EQ(t.Line(3), "line");
  EXPECT_EQ(t.Line(4), "");
  EXPECT_EQ(t.LongestLine(), 25u);
  t.Set("");
  EXPECT_EQ(t.LineCount(), 1u);
  EXPECT_EQ(t.Text(), "");
}

TEST(OutputText, KeepsBytesAndLinesAcrossBlocks) {
  OutputText t(0, 16);  // tiny blocks, no cap
  std::string all;
  for (int i = 0; i < 200; ++i) {
    std::string chunk = "line " + std::to_string(i) + "\r\n";
    chunk += static_cast<char>(i == '\n' ? 0x7f : i);  // binary byte, NUL included
    all += chunk;
    t.Append(chunk, false);
  }
  EXPECT_EQ(t.Text(), all);
  EXPECT_EQ(t.LineCount(), 201u);
  EXPECT_EQ(t.Line(0), "line 0");  // the '\r' before '\n' is not shown
  EXPECT_EQ(t.Line(57), "8line 57");
  EXPECT_EQ(t.DroppedBytes(), 0u);
}

TEST(OutputText, SlicesOfALineWithoutCopyingItWhole) {
  OutputText t(0, 8);
  t.Set("first\r\n0123456789abcdef\r\nlast");
  EXPECT_EQ(t.LineLength(0), 5u);
  EXPECT_EQ(t.LineLength(1), 16u);
  EXPECT_EQ(t.LineSlice(1, 6, 5), "6789a");
  EXPECT_EQ(t.LineSlice(1, 14, 100), "ef");  // never the '\r'
  EXPECT_EQ(t.LineSlice(1, 16, 1), "");
  EXPECT_EQ(t.LineSlice(2, 0, 100), "last");
  EXPECT_EQ(t.LineLength(3), 0u);
}

TEST(OutputText, CapDropsOldestWholeLinesAndSaysSo) {
  OutputText t(1000, 100);
  for (int i = 0; i < 500; ++i) t.Append("row " + std::to_string(i) + "\n", false);
  EXPECT_LE(t.StoredBytes(), 1000u);
  ASSERT_GT(t.DroppedBytes(), 0u);
  EXPECT_EQ(t.Line(0), OutputText::DroppedNotice(t.DroppedBytes()));
  // The first shown line is whole, and the newest text is all there.
  EXPECT_EQ(t.Line(1).rfind("row ", 0), 0u);
  EXPECT_EQ(t.Line(t.LineCount() - 2), "row 499");
  const std::string text = t.Text();
  EXPECT_EQ(text.substr(text.size() - 16), "row 498\nrow 499\n");
  // Dropped plus shown is everything that was written.
  size_t written = 0;
  for (int i = 0; i < 500; ++i) written += ("row " + std::to_string(i) + "\n").size();
  EXPECT_EQ(t.DroppedBytes() + (text.size() - t.Line(0).size() - 1), written);
}

TEST(OutputText, CapOnOneEndlessLineKeepsItsTail) {
  OutputText t(1000, 100);
  for (int i = 0; i < 100; ++i) t.Append(std::string(50, static_cast<char>('a' + i % 26)), false);
  ASSERT_EQ(t.LineCount(), 2u);
  const std::string tail = t.Line(1);
  EXPECT_LE(tail.size(), 1000u);
  EXPECT_EQ(tail.substr(tail.size() - 50), std::string(50, 'a' + 99 % 26));
  EXPECT_EQ(t.DroppedBytes() + tail.size(), 5000u);
}

TEST(OutputColumns, TabsAndMultiByteCharacters) {
  const std::string line = "a\tb\xc3\xa9z";  // a, tab to 8, b, e-acute (2 bytes), z
  EXPECT_EQ(ColumnOfByte(line, 0), 0u);
  EXPECT_EQ(ColumnOfByte(line, 2), 8u);
  EXPECT_EQ(ColumnOfByte(line, 3), 9u);
  EXPECT_EQ(ColumnOfByte(line, 5), 10u);
  EXPECT_EQ(ColumnOfByte(line, 99), 11u);
  EXPECT_EQ(ByteOfColumn(line, 0), 0u);
  EXPECT_EQ(ByteOfColumn(line, 4), 1u);  // inside the tab
  EXPECT_EQ(ByteOfColumn(line, 8), 2u);
  EXPECT_EQ(ByteOfColumn(line, 9), 3u);
  EXPECT_EQ(ByteOfColumn(line, 10), 5u);
  EXPECT_EQ(ByteOfColumn(line, 50), line.size());
}

}  // namespace
}  // namespace tamso

namespace tamso {
namespace {

// Short lines cost an index entry each: the line cap drops the oldest blocks as the
// byte cap does, and the newest lines always stay.
TEST(OutputTextLineCap, ManyShortLinesStayBounded) {
  OutputText text(0, 64);
  text.SetLineCap(100);
  for (int i = 0; i < 5000; ++i) text.Append(std::to_string(i), i > 0);
  EXPECT_LE(text.LineCount(), 101u);
  EXPECT_GE(text.LineCount(), 40u);
  EXPECT_EQ(text.Line(text.LineCount() - 1), "4999");
  EXPECT_GT(text.DroppedBytes(), 0u);
  EXPECT_EQ(text.Line(0), OutputText::DroppedNotice(text.DroppedBytes()));
}

}  // namespace
}  // namespace tamso
