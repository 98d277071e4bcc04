#include <algorithm>
#include <vector>

#include "lang/language.h"
#include "lang/line_tokenizer.h"
#include "lang/outline.h"
#include "lang/reserved_words.h"

namespace tamso {
namespace {

using namespace lang_detail;

// How far past a method header's ")" the opening brace is looked for.
constexpr int kHeaderLookAheadLines = 256;
constexpr int kHeaderLookAheadTokens = 64;

inline LineToken JavaToken(const WordTable& words, std::string_view line, std::size_t pos) {
  return ScanLineToken(line, pos, true, [&words](std::string_view w) { return words.Contains(w); });
}

struct ColourToken {
  std::size_t end;
  char ch;         // the delimiter character, 0 for other tokens
  bool candidate;  // a "(" that may open a method's parameter list
  bool adjacent;   // ... written directly after the token before it
};

// Work space of one colouring, kept between lines so that colouring does not
// allocate; released again after a huge line.
struct Scratch {
  std::vector<ColourToken> tokens;  // the parentheses of the line
  std::vector<int> depth;           // parenthesis depth before each of them
  std::vector<int> nextClose;
  std::vector<signed char> followed;

  void ReleaseIfHuge() {
    if (tokens.capacity() > (1u << 16)) *this = Scratch();
  }
};

Scratch& LineScratch() {
  thread_local Scratch scratch;
  return scratch;
}

// One past the """ that closes a text block, searching from `from` (a backslash
// escapes the byte after it); npos when the block goes on past the line.
std::size_t TextBlockEnd(std::string_view line, std::size_t from) {
  for (std::size_t i = from; i < line.size();) {
    if (line[i] == '\\') {
      i += 2;
    } else if (line[i] == '"' && i + 2 < line.size() && line[i + 1] == '"' && line[i + 2] == '"') {
      return i + 3;
    } else {
      ++i;
    }
  }
  return std::string_view::npos;
}

bool TokenIs(std::string_view line, const LineToken& t, std::string_view text) {
  return line.substr(t.start, t.end - t.start) == text;
}

// Whether the first token after position pos of line index (on following lines too)
// is "{", past comments and a throws clause.
bool BraceFollows(const ILineSource& text, int index, std::size_t pos) {
  const int lastLine = std::min(text.LineCount() - 1, index + kHeaderLookAheadLines);
  std::string_view line = text.Line(index);
  const WordTable& words = JavaWordTable();
  bool inThrows = false;
  for (int tokens = 0; tokens < kHeaderLookAheadTokens;) {
    const LineToken t = JavaToken(words, line, pos);
    if (t.type == kTokenEnd) {
      if (index >= lastLine) return false;
      line = text.Line(++index);
      pos = 0;
      continue;
    }
    pos = t.end;
    ++tokens;
    if (t.type == kTokenComment) continue;
    if (t.type == kTokenDelimiter && line[t.start] == '{') return true;
    if (t.type == kTokenReserved && TokenIs(line, t, "throws")) {
      inThrows = true;
      continue;
    }
    const bool throwsPart =
        t.type == kTokenWord ||
        (t.type == kTokenDelimiter && (line[t.start] == '.' || line[t.start] == ','));
    if (!inThrows || !throwsPart) return false;
  }
  return false;
}

class JavaLanguageImpl final : public Language {
 public:
  explicit JavaLanguageImpl(const WordTable& words) : words_(words) {}
  const char* Name() const override { return "Java"; }
  bool IsReservedWord(std::string_view word) const override { return words_.Contains(word); }
  bool IsDelimiter(unsigned char c) const override { return IsDelimiterByte(c); }
  LineToken NextToken(std::string_view line, std::size_t pos) const override {
    return JavaToken(words_, line, pos);
  }

  // A text block is drawn as a string: nothing inside it is a keyword or a comment,
  // and a line inside one starts inside it.
  LineColouring ColourLine(const ILineSource& text, int index, OpenSpan startsIn,
                           std::uint8_t* attrs) const override {
    const std::string_view line = text.Line(index);
    Scratch& scratch = LineScratch();
    std::vector<ColourToken>& tokens = scratch.tokens;
    tokens.clear();
    // A comment that closes on this line is comment-coloured through its closer only:
    // what follows it is code again.
    bool inComment = startsIn == OpenSpan::kComment;
    bool anyCandidate = false;
    LineToken prev;  // type kTokenEnd: none yet
    std::size_t pos = 0;
    if (startsIn == OpenSpan::kTextBlock) {
      const std::size_t close = TextBlockEnd(line, 0);
      if (close == std::string_view::npos) {
        FillAttrs(attrs, 0, line.size(), kAttrNormal);
        return {OpenSpan::kTextBlock, false};
      }
      FillAttrs(attrs, 0, close, kAttrNormal);
      pos = close;
    }
    for (;;) {
      LineToken t = inComment ? ScanCommentBody(line, pos, "*/", "") : JavaToken(words_, line, pos);
      if (t.type == kTokenEnd) break;
      if (t.type == kTokenString && t.end == t.start + 2 && t.end < line.size() &&
          line[t.end] == '"') {
        // """ opens a text block, closed on this line or a later one.
        const std::size_t close = TextBlockEnd(line, t.start + 3);
        if (close == std::string_view::npos) {
          FillAttrs(attrs, pos, line.size(), kAttrNormal);
          scratch.ReleaseIfHuge();
          return {OpenSpan::kTextBlock, anyCandidate && HasHeaderMark(text, index, scratch)};
        }
        t.end = close;
      }
      if (t.type == kTokenOpenComment) inComment = true;
      std::uint8_t attr = kAttrNormal;
      if (inComment) {
        attr = kAttrComment;
      } else if (t.type == kTokenReserved) {
        attr = kAttrReserved;
      } else if (t.type == kTokenComment) {
        attr = kAttrComment;
      } else if (t.type == kTokenWord && line.substr(t.start, t.end - t.start) == "non" &&
                 line.substr(t.end, 7) == "-sealed" &&
                 (t.end + 7 == line.size() ||
                  IsDelimiterByte(static_cast<unsigned char>(line[t.end + 7])))) {
        t.end += 7;  // non-sealed is one word of the language
        attr = kAttrReserved;
      }
      FillAttrs(attrs, pos, t.end, attr);
      // Only parentheses take part in finding method headers.
      const char ch = t.type == kTokenDelimiter ? line[t.start] : '\0';
      if (ch == '(' || ch == ')') {
        ColourToken ct{t.end, ch, false, false};
        if (ch == '(' && !inComment) {
          // "if (", "while (" and the like open no method. A word in column 0 is
          // not looked up.
          const bool afterReserved = prev.type == kTokenReserved && prev.start > 0;
          if (!afterReserved) {
            ct.candidate = true;
            ct.adjacent = prev.type != kTokenEnd ? prev.end == t.start : t.start == 0;
            anyCandidate = true;
          }
        }
        tokens.push_back(ct);
      }
      if (t.type == kTokenCommentClose) inComment = false;
      prev = t;
      pos = t.end;
    }
    FillAttrs(attrs, pos, line.size(), inComment ? kAttrComment : kAttrNormal);
    const bool mark = anyCandidate && HasHeaderMark(text, index, scratch);
    scratch.ReleaseIfHuge();
    return {inComment ? OpenSpan::kComment : OpenSpan::kNone, mark};
  }

  void BuildOutline(const ILineSource& text, const std::string& title,
                    IOutlineSink& sink) const override {
    BuildJavaOutline(text, title, sink);
  }
  std::optional<int> FindMember(const ILineSource& text, std::string_view className,
                                std::string_view memberName) const override {
    return FindJavaMember(text, className, memberName);
  }

 private:
  const WordTable& words_;

  // A "(" written directly after a name is matched with its own ")"; one separated
  // from the name by blanks is matched with the ")" that closes the level it stands
  // on. When the token after the match is "{", the line holds a method header.
  // Matching runs right to left over the line's tokens in one pass, so a long line
  // full of parentheses costs linear time.
  static bool HasHeaderMark(const ILineSource& text, int index, Scratch& scratch) {
    const std::vector<ColourToken>& tokens = scratch.tokens;
    const int n = static_cast<int>(tokens.size());
    std::vector<int>& depth = scratch.depth;
    std::vector<int>& nextClose = scratch.nextClose;
    depth.resize(static_cast<std::size_t>(n));
    int d = 0;
    for (int i = 0; i < n; ++i) {
      depth[static_cast<std::size_t>(i)] = d;
      if (tokens[static_cast<std::size_t>(i)].ch == '(') ++d;
      if (tokens[static_cast<std::size_t>(i)].ch == ')') --d;
    }
    // nextClose[v + offset]: the nearest ")" to the right with depth v before it.
    const int offset = n + 1;
    nextClose.assign(static_cast<std::size_t>(2 * n + 3), -1);
    std::vector<signed char>& followed = scratch.followed;  // per ")": -1 not yet looked at
    followed.assign(static_cast<std::size_t>(n), -1);
    for (int i = n - 1; i >= 0; --i) {
      const ColourToken& t = tokens[static_cast<std::size_t>(i)];
      const int v = depth[static_cast<std::size_t>(i)];
      if (t.candidate) {
        const int match = nextClose[static_cast<std::size_t>(v + (t.adjacent ? 1 : 0) + offset)];
        if (match >= 0) {
          signed char& f = followed[static_cast<std::size_t>(match)];
          if (f < 0) f = BraceFollows(text, index, tokens[static_cast<std::size_t>(match)].end);
          if (f > 0) return true;
        }
      }
      if (t.ch == ')') nextClose[static_cast<std::size_t>(v + offset)] = i;
    }
    return false;
  }
};

}  // namespace

const Language& JavaLanguage() {
  static const JavaLanguageImpl language(JavaWordTable());
  return language;
}

namespace {

// The words of a module declaration, reserved only in a module-info file: elsewhere
// "module", "to" or "with" are ordinary names.
constexpr std::string_view kModuleWords[] = {"module",     "requires", "exports", "opens",
                                             "uses",       "provides", "with",    "to",
                                             "transitive", "open"};

const WordTable& ModuleInfoWordTable() {
  static const std::vector<std::string_view> words = [] {
    std::vector<std::string_view> all(JavaReservedWords().begin(), JavaReservedWords().end());
    all.insert(all.end(), std::begin(kModuleWords), std::end(kModuleWords));
    return all;
  }();
  static const WordTable table(words, false);
  return table;
}

}  // namespace

const Language& JavaModuleInfoLanguage() {
  static const JavaLanguageImpl language(ModuleInfoWordTable());
  return language;
}

bool IsModuleInfoFile(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  return path.substr(slash == std::string_view::npos ? 0 : slash + 1) == "module-info.java";
}

}  // namespace tamso
