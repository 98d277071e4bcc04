#include "lang/language.h"
#include "lang/line_tokenizer.h"
#include "lang/reserved_words.h"

namespace tamso {
namespace {

using namespace lang_detail;

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

class HtmlLanguageImpl final : public Language {
 public:
  const char* Name() const override { return "HTML"; }
  bool IsReservedWord(std::string_view word) const override {
    return HtmlWordTable().Contains(word);
  }
  bool IsDelimiter(unsigned char c) const override { return IsDelimiterByte(c); }

  // A backslash is an ordinary character in HTML, so strings have no escapes.
  LineToken NextToken(std::string_view line, std::size_t pos) const override {
    const WordTable& words = HtmlWordTable();
    return ScanLineToken(line, pos, false,
                         [&words](std::string_view w) { return words.Contains(w); });
  }

  // Tag names and attributes are coloured only inside "<" ... ">"; comments carry
  // over to the next line.
  LineColouring ColourLine(const ILineSource& text, int index, OpenSpan startsIn,
                           std::uint8_t* attrs) const override {
    const std::string_view line = text.Line(index);
    // A comment that closes on this line is comment-coloured through its closer only:
    // what follows it is code again.
    bool inComment = startsIn == OpenSpan::kComment;
    int openTags = 0;
    std::size_t pos = 0;
    for (;;) {
      const LineToken t =
          inComment ? ScanCommentBody(line, pos, "*/", "-->") : NextToken(line, pos);
      if (t.type == kTokenEnd) break;
      if (t.type == kTokenOpenComment) inComment = true;
      if (t.type == kTokenDelimiter) {
        if (line[t.start] == '<') {
          ++openTags;
        } else if (line[t.start] == '>' && openTags > 0) {
          --openTags;
        }
      }
      std::uint8_t attr = kAttrNormal;
      if (inComment) {
        attr = kAttrComment;
      } else if (t.type == kTokenComment) {
        // "//" is left alone: it is far more often part of a URL than a comment.
        const std::string_view s = line.substr(t.start, t.end - t.start);
        if (StartsWith(s, "<!--") || StartsWith(s, "/*")) attr = kAttrComment;
      } else if (openTags != 0 && t.type == kTokenReserved) {
        attr = kAttrReserved;
      }
      FillAttrs(attrs, pos, t.end, attr);
      if (t.type == kTokenCommentClose) inComment = false;
      pos = t.end;
    }
    FillAttrs(attrs, pos, line.size(), inComment ? kAttrComment : kAttrNormal);
    return {inComment ? OpenSpan::kComment : OpenSpan::kNone, false};
  }

  // HTML files are not outlined: the tree holds just its root.
  void BuildOutline(const ILineSource& /*text*/, const std::string& title,
                    IOutlineSink& sink) const override {
    sink.BeginOutline(title);
    sink.EndOutline();
  }
  std::optional<int> FindMember(const ILineSource&, std::string_view,
                                std::string_view) const override {
    return std::nullopt;
  }
};

}  // namespace

const Language& HtmlLanguage() {
  static const HtmlLanguageImpl language;
  return language;
}

}  // namespace tamso
