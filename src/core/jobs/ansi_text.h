#pragma once
// Terminal escape sequences in a program's output: colour and bold (SGR) are read
// into styles for the console to draw; every other sequence (cursor moves, titles,
// erasing) is taken out. Output arrives in chunks, so a sequence split between two
// chunks is held back until its end comes; one that never ends within a sane length,
// or is broken by a byte no sequence may hold, loses only its escape character and
// the rest shows as text. Bytes that are no valid UTF-8 pass through untouched.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tamso {

struct AnsiStyle {
  int foreground = -1;  // 0..15 (8..15 bright), -1 the default
  bool bold = false;
  bool operator==(const AnsiStyle&) const = default;
};

// A run of plain text and the style it is drawn in.
struct AnsiRun {
  std::string text;
  AnsiStyle style;
};

class AnsiFilter {
 public:
  // The longest sequence held back waiting for its end.
  static constexpr std::size_t kMaxSequence = 256;

  // The text of chunk without sequences, split where the style changes. Runs of the
  // same style are merged; empty runs are not returned.
  std::vector<AnsiRun> Feed(std::string_view chunk);
  // The plain text only.
  std::string FeedPlain(std::string_view chunk);
  // Whatever is held back, as text (at the end of the output).
  std::string Flush();
  const AnsiStyle& Style() const { return style_; }
  // Whether the start of a sequence is held back.
  bool Holding() const { return !held_.empty(); }

 private:
  void ApplySgr(std::string_view params);
  AnsiStyle style_;
  std::string held_;  // the start of a sequence whose end has not come
};

}  // namespace tamso
