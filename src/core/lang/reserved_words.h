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
  bool Contains(std::string_view word) const {
    if (word.empty() || word.size() > maxLength_) return false;
    const std::uint8_t first = Fold(static_cast<unsigned char>(word[0]));
    for (std::size_t slot = Hash(word);; slot = (slot + 1) & (kSlots - 1)) {
      const Slot& s = slots_[slot];
      if (s.length == 0) return false;
      if (s.length == word.size() && s.first == first &&
          Equal(words_[static_cast<std::size_t>(s.index)], word)) {
        return true;
      }
    }
  }

 private:
  static constexpr std::size_t kSlots = 1024;  // a power of two, over 4x the largest table
  std::uint8_t Fold(unsigned char c) const {
    return (caseInsensitive_ && c >= 'a' && c <= 'z') ? static_cast<std::uint8_t>(c - 32) : c;
  }
  // Length, first, second and last byte: enough to spread these tables.
  std::size_t Hash(std::string_view word) const {
    const std::size_t n = word.size();
    const std::size_t h = n * 131 + Fold(static_cast<unsigned char>(word[0])) * 31 +
                          Fold(static_cast<unsigned char>(word[n > 1 ? 1 : 0])) * 7 +
                          Fold(static_cast<unsigned char>(word[n - 1])) * 17;
    return h & (kSlots - 1);
  }
  bool Equal(std::string_view entry, std::string_view word) const;

  std::span<const std::string_view> words_;
  bool caseInsensitive_;
  std::size_t maxLength_ = 0;
  struct Slot {
    std::uint8_t length = 0;  // 0: empty
    std::uint8_t first = 0;   // first byte, folded when caseInsensitive
    std::int16_t index = -1;  // into words_
  };
  std::vector<Slot> slots_;
};

const WordTable& JavaWordTable();
const WordTable& HtmlWordTable();
const WordTable& PerlWordTable();

}  // namespace tamso
