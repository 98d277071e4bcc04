#pragma once
// The reserved-word tables of the three languages and a fast lookup over them.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tamso {

// The tables as stored, in order (the HTML table holds "TYPE" and "LINK" twice).
std::span<const std::string_view> JavaReservedWords();
std::span<const std::string_view> HtmlReservedWords();
std::span<const std::string_view> PerlReservedWords();

// Exact-match set over one table, ASCII case folded when caseInsensitive. The
// answer is the same as comparing the word with every entry in turn.
class WordTable {
 public:
  WordTable(std::span<const std::string_view> words, bool caseInsensitive);
  bool Contains(std::string_view word) const;

 private:
  static constexpr std::size_t kSlots = 1024;  // a power of two, over 4x the largest table
  std::size_t Hash(std::string_view word) const;
  bool Equal(std::string_view entry, std::string_view word) const;

  std::span<const std::string_view> words_;
  bool caseInsensitive_;
  std::size_t maxLength_ = 0;
  std::vector<std::int16_t> slots_;  // index into words_, -1 when empty
};

const WordTable& JavaWordTable();
const WordTable& HtmlWordTable();
const WordTable& PerlWordTable();

}  // namespace tamso
