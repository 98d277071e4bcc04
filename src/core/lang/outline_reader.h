#pragma once
// Token reader for the outline parsers: runs over the whole text, line after line,
// skipping comments (also across lines). A word may hold full stops, so a dotted
// name such as java.awt.Graphics is one word.

#include <string_view>

#include "lang/language.h"
#include "lang/reserved_words.h"

namespace tamso::lang_detail {

struct OutlineToken {
  int type = kTokenEnd;  // kTokenEnd, kTokenDelimiter, kTokenReserved, kTokenString, kTokenWord
  int line = 0;
  std::string_view text;  // points into the line source
};

enum class OutlineSyntax {
  kJava,  // "//" and "/* */" comments, backslash escapes, 'x' character literals
  kPerl,  // "#" comments, POD blocks, "__END__"; "::" inside words
};

class OutlineReader {
 public:
  OutlineReader(const ILineSource& text, OutlineSyntax syntax, const WordTable& words);
  OutlineToken Next();
  // Hands token back: the next Next() returns it again.
  void PushBack(const OutlineToken& token) {
    pushedBack_ = token;
    havePushedBack_ = true;
  }

 private:
  void EnterLine(int index);
  void SkipTextBlock();  // after the opening """ of a text block, through its closing one
  OutlineToken Make(int type, std::size_t start, std::size_t end) const;

  const ILineSource& text_;
  OutlineSyntax syntax_;
  const WordTable& words_;
  int lineCount_;
  int lineIndex_ = 0;
  std::string_view line_;
  std::size_t pos_ = 0;
  bool inBlockComment_ = false;
  OutlineToken pushedBack_;
  bool havePushedBack_ = false;
};

}  // namespace tamso::lang_detail
