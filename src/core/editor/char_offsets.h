#pragma once
// Character offsets over a text of lines, as assistive technology counts them: a
// valid UTF-8 sequence is one character, every other byte is one, and every line
// but the last is followed by one line-end character.
//
// Totals are kept per block of lines and recomputed only for the blocks an edit
// touched, so the offset of a position near line 1 000 000 costs adding up the
// block totals before it and counting the lines of one block; the whole text is
// never joined.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace tamso {

// Characters in the bytes [0, index) of a line (a sequence that index cuts counts).
int CharsBefore(std::string_view line, int index);
// The byte index at which character number chars starts (the line's size past its end).
int ByteOfChar(std::string_view line, int chars);
int CharCount(std::string_view line);
// The byte index at which the character starts that a count of UTF-16 units (as
// compilers count: a 4-byte sequence is two, any other character one) reaches; a
// count that falls inside a character gives its start; past the end, the size.
int ByteOfUtf16Unit(std::string_view line, int units);

class CharOffsetIndex {
 public:
  // lineCount gives the number of lines (at least 1), charsOnLine a line's characters.
  CharOffsetIndex(std::function<int()> lineCount, std::function<int(int)> charsOnLine);

  // The offset of a line's first character (lines clamped to [0, line count]).
  std::int64_t LineStart(int line) const;
  // Characters in the whole text.
  std::int64_t Total() const;
  // The line holding the offset (clamped to [0, Total()]) and the offset its line starts at.
  int LineOf(std::int64_t offset, std::int64_t* lineStart) const;

  // One line's text changed and the line count did not.
  void LineChanged(int line);
  // Lines were inserted or removed at or after first.
  void LinesChanged(int first);
  // Everything changed.
  void Reset() { LinesChanged(0); }

 private:
  static constexpr int kBlock = 512;
  void Sync() const;
  std::int64_t BlockSum(std::size_t block) const;  // characters and line ends of its lines

  std::function<int()> lineCount_;
  std::function<int(int)> charsOnLine_;
  mutable std::vector<std::int64_t> sums_;  // -1: to be counted
  mutable int lines_ = -1;                  // the line count sums_ was sized for
};

}  // namespace tamso
