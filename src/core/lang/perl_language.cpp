#include "lang/language.h"
#include "lang/line_tokenizer.h"
#include "lang/outline.h"
#include "lang/reserved_words.h"

namespace tamso {
namespace {

using namespace lang_detail;

class PerlLanguageImpl final : public Language {
 public:
  const char* Name() const override { return "Perl"; }
  bool IsReservedWord(std::string_view word) const override {
    return PerlWordTable().Contains(word);
  }
  bool IsDelimiter(unsigned char c) const override { return IsDelimiterByte(c); }
  LineToken NextToken(std::string_view line, std::size_t pos) const override {
    const WordTable& words = PerlWordTable();
    return ScanLineToken(line, pos, true,
                         [&words](std::string_view w) { return words.Contains(w); });
  }

  // "#" comments end with the line, so no state is carried to the next line. A line
  // holding the word "sub" gets a separator above it.
  LineColouring ColourLine(const ILineSource& text, int index, OpenSpan /*startsIn*/,
                           std::uint8_t* attrs) const override {
    const std::string_view line = text.Line(index);
    bool mark = false;
    std::size_t pos = 0;
    for (;;) {
      const LineToken t = NextToken(line, pos);
      if (t.type == kTokenEnd) break;
      if ((t.type == kTokenWord || t.type == kTokenReserved) && line[t.start] == '#') break;
      const std::string_view s = line.substr(t.start, t.end - t.start);
      if (t.type == kTokenReserved && s == "sub") mark = true;
      std::uint8_t attr = kAttrNormal;
      if (t.type == kTokenReserved) {
        attr = kAttrReserved;
      } else if (t.type == kTokenComment || t.type == kTokenOpenComment) {
        attr = kAttrComment;
      }
      FillAttrs(attrs, pos, t.end, attr);
      pos = t.end;
    }
    // The rest of the line: a "#" comment, or trailing blanks.
    FillAttrs(attrs, pos, line.size(),
              pos < line.size() && LineHasCommentAt(line, pos) ? kAttrComment : kAttrNormal);
    return {OpenSpan::kNone, mark};
  }

  void BuildOutline(const ILineSource& text, const std::string& /*title*/,
                    IOutlineSink& sink) const override {
    BuildPerlOutline(text, sink);
  }
  std::optional<int> FindMember(const ILineSource& text, std::string_view className,
                                std::string_view memberName) const override {
    return FindPerlSub(text, className, memberName);
  }

 private:
  // Whether the first non-blank byte at or after pos is "#".
  static bool LineHasCommentAt(std::string_view line, std::size_t pos) {
    while (pos < line.size() && IsBlankByte(static_cast<unsigned char>(line[pos]))) ++pos;
    return pos < line.size() && line[pos] == '#';
  }
};

}  // namespace

const Language& PerlLanguage() {
  static const PerlLanguageImpl language;
  return language;
}

}  // namespace tamso
