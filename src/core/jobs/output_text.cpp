#include "jobs/output_text.h"

#include <algorithm>
#include <cstring>

namespace tamso {

OutputText::OutputText(size_t capBytes, size_t blockSize)
    : cap_(capBytes), blockSize_(blockSize == 0 ? kBlockSize : blockSize) {
  lineStarts_.push_back(0);
}

std::string OutputText::DroppedNotice(size_t bytes) {
  return "(Earlier output dropped to save memory: " + std::to_string(bytes) + " bytes)";
}

void OutputText::Set(std::string_view text) {
  blocks_.clear();
  base_ = end_ = 0;
  lineStarts_.clear();
  lineStarts_.push_back(0);
  dropped_ = 0;
  longest_ = 0;
  currentLineStart_ = 0;
  AppendBytes(text);
  ++revision_;
}

void OutputText::Append(std::string_view text, bool newLineFirst) {
  if (newLineFirst) AppendBytes("\n");
  AppendBytes(text);
  ++revision_;
}

void OutputText::AppendBytes(std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    if (blocks_.empty() || blocks_.back().size() == blockSize_) {
      blocks_.emplace_back();
      blocks_.back().reserve(std::min(blockSize_, std::max(left, size_t{4096})));
    }
    std::string& block = blocks_.back();
    const size_t take = std::min(left, blockSize_ - block.size());
    // Line starts: one after every '\n'.
    const char* scan = p;
    const char* stop = p + take;
    while (scan < stop) {
      const void* nl = std::memchr(scan, '\n', static_cast<size_t>(stop - scan));
      if (!nl) break;
      const char* at = static_cast<const char*>(nl);
      const uint64_t abs = end_ + static_cast<uint64_t>(at - p);
      longest_ = std::max(longest_, static_cast<size_t>(abs - currentLineStart_));
      currentLineStart_ = abs + 1;
      lineStarts_.push_back(currentLineStart_);
      scan = at + 1;
    }
    block.append(p, take);
    end_ += take;
    p += take;
    left -= take;
    longest_ = std::max(longest_, static_cast<size_t>(end_ - currentLineStart_));
    if ((cap_ > 0 && end_ - base_ > cap_) || (lineCap_ > 0 && lineStarts_.size() > lineCap_))
      DropOldest();
  }
}

void OutputText::DropOldest() {
  // Drop whole blocks until a quarter of the cap is free again, but never the block
  // being written.
  // The same for the lines: each costs an index entry, however short it is.
  const uint64_t target = cap_ > 0 ? cap_ - cap_ / 4 : UINT64_MAX;
  const size_t lineTarget = lineCap_ > 0 ? lineCap_ - lineCap_ / 4 : SIZE_MAX;
  auto linesFrom = [&](uint64_t from) {
    return static_cast<size_t>(lineStarts_.end() -
                               std::lower_bound(lineStarts_.begin(), lineStarts_.end(), from));
  };
  while (blocks_.size() > 1 &&
         (end_ - base_ > target || (lineCap_ > 0 && linesFrom(base_) > lineTarget))) {
    const size_t n = blocks_.front().size();
    blocks_.pop_front();
    base_ += n;
  }
  // The first shown line is the first one that starts inside the kept text; the
  // bytes of a line cut in two are counted as dropped.
  while (lineStarts_.size() > 1 && lineStarts_[0] < base_) lineStarts_.pop_front();
  if (lineStarts_[0] < base_) {
    // Only one (very long) line remains: show what is left of it.
    lineStarts_[0] = base_;
    if (currentLineStart_ < base_) currentLineStart_ = base_;
  }
  dropped_ = static_cast<size_t>(lineStarts_[0]);
}

std::string OutputText::Bytes(uint64_t from, uint64_t to) const {
  std::string out;
  if (to <= from) return out;
  out.reserve(static_cast<size_t>(to - from));
  uint64_t pos = from;
  while (pos < to) {
    const size_t block = static_cast<size_t>((pos - base_) / blockSize_);
    const size_t offset = static_cast<size_t>((pos - base_) % blockSize_);
    const std::string& b = blocks_[block];
    const size_t take = std::min(b.size() - offset, static_cast<size_t>(to - pos));
    out.append(b, offset, take);
    pos += take;
  }
  return out;
}

size_t OutputText::LineCount() const {
  return lineStarts_.size() + (HasNotice() ? 1 : 0);
}

char OutputText::ByteAt(uint64_t pos) const {
  return blocks_[static_cast<size_t>((pos - base_) / blockSize_)]
                [static_cast<size_t>((pos - base_) % blockSize_)];
}

void OutputText::Range(size_t index, uint64_t& from, uint64_t& to) const {
  from = lineStarts_[index];
  to = index + 1 < lineStarts_.size() ? lineStarts_[index + 1] - 1 : end_;
  if (to > from && ByteAt(to - 1) == '\r') --to;
}

uint64_t OutputText::LineOffset(size_t index) const {
  if (HasNotice()) {
    if (index == 0) return UINT64_MAX;
    --index;
  }
  return index < lineStarts_.size() ? lineStarts_[index] : end_;
}

std::string OutputText::Line(size_t index) const {
  return LineSlice(index, 0, std::string::npos);
}

size_t OutputText::LineLength(size_t index) const {
  if (HasNotice()) {
    if (index == 0) return DroppedNotice(dropped_).size();
    --index;
  }
  if (index >= lineStarts_.size()) return 0;
  uint64_t from, to;
  Range(index, from, to);
  return static_cast<size_t>(to - from);
}

std::string OutputText::LineSlice(size_t index, size_t from, size_t count) const {
  if (HasNotice()) {
    if (index == 0) {
      const std::string notice = DroppedNotice(dropped_);
      return from < notice.size() ? notice.substr(from, count) : std::string();
    }
    --index;
  }
  if (index >= lineStarts_.size()) return std::string();
  uint64_t start, end;
  Range(index, start, end);
  const uint64_t length = end - start;
  if (from >= length) return std::string();
  const uint64_t take = std::min<uint64_t>(count, length - from);
  return Bytes(start + from, start + from + take);
}

std::string OutputText::Text() const {
  std::string out;
  if (HasNotice()) out = DroppedNotice(dropped_) + "\n";
  out += Bytes(lineStarts_.front(), end_);
  return out;
}

size_t ColumnOfByte(std::string_view line, size_t byteIndex) {
  size_t col = 0;
  const size_t n = std::min(byteIndex, line.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (c == '\t') {
      col = (col / kOutputTabWidth + 1) * kOutputTabWidth;
    } else if ((c & 0xC0) != 0x80) {
      ++col;
    }
  }
  return col;
}

size_t ByteOfColumn(std::string_view line, size_t column) {
  size_t col = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if ((c & 0xC0) == 0x80) continue;
    size_t next = c == '\t' ? (col / kOutputTabWidth + 1) * kOutputTabWidth : col + 1;
    if (column < next) return i;
    col = next;
  }
  return line.size();
}

}  // namespace tamso
