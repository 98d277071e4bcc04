#pragma once
// A line store's text as a base plus the edits made since, for a journal that is
// written on another thread. Taking what changed costs the same for a 1 KB file and a
// 100 MB one: the base is the loaded text itself (shared, never copied), the edits are
// what was typed. Replaying them rebuilds the text anywhere, off the window's thread.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lang/language.h"
#include "platform/file_read.h"

namespace tamso {

// How a text splits into lines: LF, CR LF and a lone CR each end a line; a final
// line end adds no empty line; an empty text is one empty line. onLine gets each
// line's bytes (which never hold CR or LF).
struct LineSplit {
  bool sawLf = false;
  bool sawCrLf = false;
  bool sawCr = false;
  bool finalLineEnd = false;
};
template <class OnLine>
LineSplit SplitLines(std::string_view bytes, OnLine&& onLine);

// An immutable text shared between the store and the journal's thread.
using BaseText = SharedBytes;
// A base made of a copy of the text (splits with SplitLines).
BaseText MakeBaseText(std::string_view text);

// One change: erase bytes removed at (line, byte index), where the text counts '\n'
// between lines, then insert (its '\n' break lines).
struct TextEdit {
  int line = 0;
  int index = 0;
  std::uint64_t erase = 0;
  std::string insert;
};

// Hands every edit of a text to each of its followers (the recovery journal, the
// class browser), which take them when they like.
class EditLog {
 public:
  // Edits waiting to be taken beyond this many bytes are dropped, and the next Take
  // asks for a fresh base instead (nobody took them for a long time).
  static constexpr std::size_t kMaxPendingBytes = 64u << 20;

  struct Batch {
    bool newBase = false;  // base holds the text the edits count from
    bool lost = false;     // edits were dropped: the taker needs a fresh base
    BaseText base;
    std::vector<TextEdit> edits;
    bool empty() const { return !newBase && !lost && edits.empty(); }
  };

  // A new follower; its first batch holds base, the text as it is now.
  int Follow(BaseText base);
  void Unfollow(int follower);
  bool Followed() const { return active_ > 0; }

  // The text was replaced whole by base: what comes next counts from it.
  void Reset(const BaseText& base);
  void Inserted(int line, int index, std::string_view text);
  void Erased(int line, int index, std::size_t count);

  // Everything since the follower's last Take. Costs no copy of the text.
  Batch Take(int follower);

 private:
  struct Pending {
    bool active = false;
    Batch batch;
    std::size_t bytes = 0;
  };
  void Add(Pending& p, int line, int index, std::uint64_t erase, std::string_view text);
  std::vector<Pending> followers_;
  int active_ = 0;
};

// The text rebuilt from a base and edits, line by line (off the window's thread).
// Lines no edit touched stay where they are in the base, which must outlive the
// replay; only a changed line gets bytes of its own.
class LineReplay : public ILineSource {
 public:
  explicit LineReplay(std::string_view base);
  // False (and nothing changed) for an edit that does not fit the text: a damaged log.
  bool Apply(const TextEdit& edit);
  int LineCount() const override { return static_cast<int>(lines_.size()); }
  std::string_view Line(int line) const override {
    return line >= 0 && line < LineCount() ? lines_[static_cast<std::size_t>(line)].text
                                           : std::string_view();
  }
  // The lines joined by eol, the last one followed by eol when finalEol.
  std::string Joined(std::string_view eol, bool finalEol) const;
  // A base that splits back into exactly these lines: each line followed by '\n'.
  std::string AsBase() const { return Joined("\n", true); }

 private:
  struct Text {
    std::string_view text;
    std::unique_ptr<std::string> own;  // the line's bytes once an edit changed it
  };
  std::string& Own(std::size_t line);
  std::vector<Text> lines_;
};

template <class OnLine>
LineSplit SplitLines(std::string_view bytes, OnLine&& onLine) {
  LineSplit split;
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  const char* lineStart = p;
  bool any = false;
  // Both searches are memchr: the next LF, and a CR before it (CR LF or a lone CR).
  const char* nl = nullptr;
  while (p < end) {
    if (!nl || nl < p) {
      nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
      if (!nl) nl = end;
    }
    const char* cr =
        static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(nl - p)));
    const char* stop = cr ? cr : nl;
    if (stop == end) break;
    onLine(std::string_view(lineStart, static_cast<std::size_t>(stop - lineStart)));
    any = true;
    if (!cr) {
      split.sawLf = true;
      p = nl + 1;
    } else if (cr + 1 == nl && nl != end) {
      split.sawCrLf = true;
      p = nl + 1;
    } else {
      split.sawCr = true;
      p = cr + 1;
    }
    lineStart = p;
  }
  split.finalLineEnd = any && lineStart == end;
  if (!split.finalLineEnd)
    onLine(std::string_view(lineStart, static_cast<std::size_t>(end - lineStart)));
  return split;
}

}  // namespace tamso
