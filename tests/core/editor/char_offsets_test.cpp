// Character offsets over lines: counting across sequence boundaries and invalid
// bytes, and staying right as lines change, appear and go across block borders.

#include "editor/char_offsets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamso {
namespace {

TEST(CharOffsets, CountsSequencesAndLoneBytesAsOneCharacter) {
  const std::string line = "a\xC3\xA9\xFF\xE2\x82";  // a, e-acute, a lone byte, a cut sequence
  EXPECT_EQ(CharCount(line), 5);
  EXPECT_EQ(CharsBefore(line, 2), 2);  // inside the two-byte sequence: it counts
  EXPECT_EQ(CharsBefore(line, 3), 2);
  EXPECT_EQ(CharsBefore(line, 99), 5);
  EXPECT_EQ(ByteOfChar(line, 2), 3);
  EXPECT_EQ(ByteOfChar(line, 4), 5);
  EXPECT_EQ(ByteOfChar(line, 9), 6);
  // Long ASCII runs around a sequence and a lone byte, cut anywhere.
  const std::string longLine = std::string(13, 'x') + "\xC3\xA9" + std::string(9, 'y') + "\x80z";
  EXPECT_EQ(CharCount(longLine), 13 + 1 + 9 + 2);
  EXPECT_EQ(CharsBefore(longLine, 12), 12);
  EXPECT_EQ(CharsBefore(longLine, 14), 14);  // inside the sequence
  EXPECT_EQ(CharsBefore(longLine, 20), 19);
  EXPECT_EQ(ByteOfChar(longLine, 24), 25);
}

TEST(CharOffsets, IndexFollowsEditsInAndAcrossBlocks) {
  std::vector<std::string> lines(2000, "xyz");
  CharOffsetIndex index([&] { return static_cast<int>(lines.size()); },
                        [&](int l) { return CharCount(lines[static_cast<size_t>(l)]); });
  EXPECT_EQ(index.Total(), 2000 * 4 - 1);
  EXPECT_EQ(index.LineStart(1500), 1500 * 4);
  std::int64_t start = -1;
  EXPECT_EQ(index.LineOf(1500 * 4 + 3, &start), 1500);  // the line end belongs to its line
  EXPECT_EQ(start, 1500 * 4);
  EXPECT_EQ(index.LineOf(index.Total(), &start), 1999);
  EXPECT_EQ(index.LineOf(-5, &start), 0);

  // A longer line in the first block moves everything after it.
  lines[10] = "abcdef";
  index.LineChanged(10);
  EXPECT_EQ(index.LineStart(1500), 1500 * 4 + 3);
  // Lines removed at a block border and added later on.
  lines.erase(lines.begin() + 500, lines.begin() + 530);
  index.LinesChanged(500);
  EXPECT_EQ(index.LineStart(1500), 1500 * 4 + 3);  // the line that was 1530
  EXPECT_EQ(index.LineStart(520), 520 * 4 + 3);
  EXPECT_EQ(index.Total(), 1970 * 4 + 3 - 1);
  lines.insert(lines.end(), 100, "");
  index.LinesChanged(1969);
  EXPECT_EQ(index.Total(), 1970 * 4 + 3 + 100 - 1);
  EXPECT_EQ(index.LineOf(index.Total(), &start), 2069);

  lines.assign(1, "");
  index.Reset();
  EXPECT_EQ(index.Total(), 0);
  EXPECT_EQ(index.LineOf(7, &start), 0);
  EXPECT_EQ(start, 0);
}

}  // namespace
}  // namespace tamso

namespace tamso {
namespace {

TEST(CharOffsets, CompilerColumnsCountUtf16Units) {
  // "é" (2 bytes) and "€" (3 bytes) are one unit each, "𝄞" (4 bytes) two, a tab one.
  const std::string line = "\t\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9Ex";
  EXPECT_EQ(ByteOfUtf16Unit(line, 0), 0);
  EXPECT_EQ(ByteOfUtf16Unit(line, 1), 1);
  EXPECT_EQ(ByteOfUtf16Unit(line, 2), 3);
  EXPECT_EQ(ByteOfUtf16Unit(line, 3), 6);
  EXPECT_EQ(ByteOfUtf16Unit(line, 4), 6);  // inside the pair: the character's start
  EXPECT_EQ(ByteOfUtf16Unit(line, 5), 10);
  EXPECT_EQ(ByteOfUtf16Unit(line, 99), 11);
}

}  // namespace
}  // namespace tamso
