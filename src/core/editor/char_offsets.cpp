#include "editor/char_offsets.h"

#include <algorithm>
#include <cstring>

#include "editor/text_cells.h"

namespace tamso {

int CharsBefore(std::string_view line, int index) {
  const std::size_t end = std::min(line.size(), static_cast<std::size_t>(std::max(index, 0)));
  int n = 0;
  std::size_t i = 0;
  while (i < end) {
    // Runs of ASCII, the common case, are counted eight bytes at a time.
    while (i + 8 <= end) {
      std::uint64_t w;
      std::memcpy(&w, line.data() + i, sizeof w);
      if (w & 0x8080808080808080ULL) break;
      i += 8;
      n += 8;
    }
    if (i >= end) break;
    i += CharLength(line, i);
    ++n;
  }
  return n;
}

int ByteOfChar(std::string_view line, int chars) {
  std::size_t i = 0;
  for (int n = 0; n < chars && i < line.size(); ++n) i += CharLength(line, i);
  return static_cast<int>(i);
}

int ByteOfUtf16Unit(std::string_view line, int units) {
  std::size_t i = 0;
  int n = 0;
  while (i < line.size()) {
    const std::size_t len = CharLength(line, i);
    const int width = len == 4 ? 2 : 1;
    if (n + width > units) break;
    n += width;
    i += len;
  }
  return static_cast<int>(i);
}

int CharCount(std::string_view line) {
  return CharsBefore(line, static_cast<int>(line.size()));
}

CharOffsetIndex::CharOffsetIndex(std::function<int()> lineCount,
                                 std::function<int(int)> charsOnLine)
    : lineCount_(std::move(lineCount)), charsOnLine_(std::move(charsOnLine)) {}

void CharOffsetIndex::Sync() const {
  const int n = std::max(lineCount_(), 1);
  if (n == lines_) return;
  // The count changed without a call naming where: the old last block and all after
  // it are counted again.
  const std::size_t keep = lines_ < 0 ? 0 : static_cast<std::size_t>(std::min(lines_, n) / kBlock);
  sums_.resize(static_cast<std::size_t>((n + kBlock - 1) / kBlock), -1);
  std::fill(sums_.begin() + static_cast<std::ptrdiff_t>(std::min(keep, sums_.size())), sums_.end(),
            -1);
  lines_ = n;
}

std::int64_t CharOffsetIndex::BlockSum(std::size_t block) const {
  std::int64_t& sum = sums_[block];
  if (sum < 0) {
    const int first = static_cast<int>(block) * kBlock;
    const int last = std::min(first + kBlock, lines_);
    sum = 0;
    for (int l = first; l < last; ++l) sum += charsOnLine_(l) + 1;
  }
  return sum;
}

std::int64_t CharOffsetIndex::LineStart(int line) const {
  Sync();
  line = std::clamp(line, 0, lines_);
  const std::size_t block = static_cast<std::size_t>(line / kBlock);
  std::int64_t offset = 0;
  for (std::size_t b = 0; b < block; ++b) offset += BlockSum(b);
  for (int l = static_cast<int>(block) * kBlock; l < line; ++l) offset += charsOnLine_(l) + 1;
  return offset;
}

std::int64_t CharOffsetIndex::Total() const {
  Sync();
  std::int64_t total = 0;
  for (std::size_t b = 0; b < sums_.size(); ++b) total += BlockSum(b);
  return total - 1;  // the last line has no line end
}

int CharOffsetIndex::LineOf(std::int64_t offset, std::int64_t* lineStart) const {
  Sync();
  offset = std::max<std::int64_t>(offset, 0);
  std::int64_t acc = 0;
  std::size_t b = 0;
  while (b + 1 < sums_.size() && acc + BlockSum(b) <= offset) acc += BlockSum(b++);
  int line = static_cast<int>(b) * kBlock;
  for (;; ++line) {
    const std::int64_t len = charsOnLine_(line) + 1;
    if (line + 1 >= lines_ || acc + len > offset) break;
    acc += len;
  }
  if (lineStart) *lineStart = acc;
  return line;
}

void CharOffsetIndex::LineChanged(int line) {
  Sync();
  const auto block = static_cast<std::size_t>(std::clamp(line, 0, lines_ - 1) / kBlock);
  if (block < sums_.size()) sums_[block] = -1;
}

void CharOffsetIndex::LinesChanged(int first) {
  const int n = std::max(lineCount_(), 1);
  sums_.resize(static_cast<std::size_t>((n + kBlock - 1) / kBlock), -1);
  const auto block = static_cast<std::size_t>(std::max(first, 0) / kBlock);
  for (std::size_t b = block; b < sums_.size(); ++b) sums_[b] = -1;
  lines_ = n;
}

}  // namespace tamso
