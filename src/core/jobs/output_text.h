#pragma once
// The text of the output window: bytes as the tools wrote them, split into lines
// at '\n'. The text is kept as bytes (decoded only to draw) so that binary output
// and invalid UTF-8 come back unchanged.
//
// Storage is a row of fixed-size blocks. When a memory cap is set and the text
// grows past it, whole blocks of the oldest text are dropped and the window says
// so in its first line; the newest text is never dropped.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace tamso {

class OutputText {
 public:
  static constexpr size_t kDefaultCap = size_t{256} << 20;  // 256 MiB
  static constexpr size_t kBlockSize = size_t{1} << 20;

  // cap 0: no cap at all.
  explicit OutputText(size_t capBytes = kDefaultCap, size_t blockSize = kBlockSize);

  // At most this many lines are kept (0: no cap): past it the oldest blocks go as
  // they do for the byte cap, since every line costs an index entry.
  void SetLineCap(size_t lines) { lineCap_ = lines; }

  // Replaces the whole text.
  void Set(std::string_view text);
  // Appends text; with newLineFirst a line break goes before it.
  void Append(std::string_view text, bool newLineFirst);

  // Lines, counting the notice line when older text was dropped. An empty text
  // has one (empty) line, as an empty edit control does.
  size_t LineCount() const;
  // The line without its '\n' (and without a '\r' before it).
  std::string Line(size_t index) const;
  // The byte length of a line (as Line gives it) and up to count of its bytes from
  // byte from on, without copying the rest of a long line.
  size_t LineLength(size_t index) const;
  std::string LineSlice(size_t index, size_t from, size_t count) const;
  // Where a line starts, counted in bytes from the start of the last Set (dropped
  // text included); the notice line has none (UINT64_MAX).
  uint64_t LineOffset(size_t index) const;
  // One past the last byte, counted the same way.
  uint64_t EndOffset() const { return end_; }
  // Byte length of the longest line seen since the last Set.
  size_t LongestLine() const { return longest_; }

  // The retained text, with the notice line first when text was dropped.
  std::string Text() const;
  size_t DroppedBytes() const { return dropped_; }
  size_t StoredBytes() const { return static_cast<size_t>(end_ - base_); }
  // Grows each time the text changes; lets a view see whether it is current.
  uint64_t Revision() const { return revision_; }

  // The notice shown as the first line once older text was dropped.
  static std::string DroppedNotice(size_t bytes);

 private:
  void AppendBytes(std::string_view bytes);
  void DropOldest();
  std::string Bytes(uint64_t from, uint64_t to) const;
  bool HasNotice() const { return dropped_ > 0; }
  // The absolute byte range of a stored line, without its '\r' before the '\n'.
  void Range(size_t index, uint64_t& from, uint64_t& to) const;
  char ByteAt(uint64_t pos) const;

  size_t cap_;
  size_t lineCap_ = 0;
  size_t blockSize_;
  std::deque<std::string> blocks_;   // every block but the last is exactly blockSize_ long
  uint64_t base_ = 0;                // absolute offset of blocks_.front()[0]
  uint64_t end_ = 0;                 // absolute offset one past the last byte
  std::deque<uint64_t> lineStarts_;  // absolute offsets; front() is the first shown line
  size_t dropped_ = 0;
  size_t longest_ = 0;
  uint64_t currentLineStart_ = 0;
  uint64_t revision_ = 0;
};

// Display columns: a tab moves to the next multiple of 8, a UTF-8 continuation
// byte takes no column, every other byte takes one.
constexpr int kOutputTabWidth = 8;
size_t ColumnOfByte(std::string_view line, size_t byteIndex);
// The byte at which the column starts (line.size() when past the end).
size_t ByteOfColumn(std::string_view line, size_t column);

}  // namespace tamso
