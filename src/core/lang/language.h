#pragma once
// The language hooks of the editor: which words are reserved, which characters
// separate words, how one line is coloured, and how a file's outline is built.
// One object per language (Java, HTML, Perl); they hold no state of their own.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tamso {

// Colour attributes, one per byte of a line.
enum : std::uint8_t {
  kAttrReserved = 2,
  kAttrComment = 6,
  kAttrNormal = 32,
  kAttrUncoloured = 126,  // typed but not yet coloured; drawn as normal
};

// Colouring state at the start of a line.
enum : std::uint8_t {
  kStateInComment = 8,
  kStateOutside = 10,
  kStateInTextBlock = 12,
  kStateUnknown = 32,  // not yet coloured
};

// Outline item kinds (also the tree item's image index in the class browser).
enum OutlineKind : int {
  kOutlineImport = 1,
  kOutlineClass = 2,
  kOutlineExtends = 3,
  kOutlineMethod = 4,
  kOutlineImportsFolder = 6,
  kOutlineImplements = 7,
  kOutlinePackage = 8,
  kOutlineField = 9,
  kOutlineSubsFolder = 10,
};

// Read access to the lines of a text, each without its line end.
class ILineSource {
 public:
  virtual ~ILineSource() = default;
  virtual int LineCount() const = 0;
  virtual std::string_view Line(int index) const = 0;
};

// Where an outline goes (the class browser, or a recording sink in tests).
class IOutlineSink {
 public:
  virtual ~IOutlineSink() = default;
  // Clears the tree and inserts the root item; returns its handle.
  virtual int BeginOutline(const std::string& title) = 0;
  // Inserts text as the last child of parent; returns the new item's handle.
  virtual int AddOutlineItem(const std::string& text, int kind, int parent) = 0;
  virtual void EndOutline() = 0;
};

// Token types of the line tokenizer and the outline reader.
enum TokenType : int {
  kTokenEnd = 0,           // no more tokens on the line (or in the text)
  kTokenDelimiter = 1,     // one delimiter character
  kTokenReserved = 2,      // a word the language reserves
  kTokenString = 3,        // a double-quoted string (closed or running to the line end)
  kTokenWord = 4,          // any other word
  kTokenComment = 6,       // a comment that ends on this line
  kTokenOpenComment = 8,   // a comment left open at the line end
  kTokenCommentClose = 9,  // "*/" or "-->"
};

// One token of a line: bytes [start, end).
struct LineToken {
  int type = kTokenEnd;
  std::size_t start = 0;
  std::size_t end = 0;
};

// What a line ends inside of, so that the next line starts inside it too.
enum class OpenSpan : std::uint8_t {
  kNone,
  kComment,    // a block comment
  kTextBlock,  // a Java text block ("""...""")
};

inline OpenSpan SpanOfState(std::uint8_t state) {
  return state == kStateInComment     ? OpenSpan::kComment
         : state == kStateInTextBlock ? OpenSpan::kTextBlock
                                      : OpenSpan::kNone;
}
inline std::uint8_t StateOfSpan(OpenSpan span) {
  return span == OpenSpan::kComment     ? kStateInComment
         : span == OpenSpan::kTextBlock ? kStateInTextBlock
                                        : kStateOutside;
}

struct LineColouring {
  OpenSpan endsIn = OpenSpan::kNone;  // what the next line starts inside of
  bool mark = false;                  // a method body opens here: a separator is drawn above
};

class Language {
 public:
  virtual ~Language() = default;
  virtual const char* Name() const = 0;  // "Java", "HTML", "Perl"
  virtual bool IsReservedWord(std::string_view word) const = 0;
  virtual bool IsDelimiter(unsigned char c) const = 0;
  // The next token of line at or after pos (spaces and tabs skipped; other control
  // bytes are word characters); kTokenEnd at the end of the line.
  virtual LineToken NextToken(std::string_view line, std::size_t pos) const;
  // Colours line `index` of `text`, which starts inside what the line above left
  // open (a comment, a text block). Writes one attribute per byte of the line into attrs (which
  // holds at least Line(index).size() bytes). May look at following lines (a method
  // header's opening brace may stand on the next line).
  virtual LineColouring ColourLine(const ILineSource& text, int index, OpenSpan startsIn,
                                   std::uint8_t* attrs) const = 0;
  // Outlines the whole text into sink; title is the file name (no directory).
  virtual void BuildOutline(const ILineSource& text, const std::string& title,
                            IOutlineSink& sink) const = 0;
  // Find mode: the 0-based line where member memberName of class className is
  // declared, or no value when the text ends first.
  virtual std::optional<int> FindMember(const ILineSource& text, std::string_view className,
                                        std::string_view memberName) const = 0;
};

const Language& JavaLanguage();
// Java with the words of a module declaration (module, requires, exports, opens, uses,
// provides, with, to, transitive, open) reserved too, for module-info.java files.
const Language& JavaModuleInfoLanguage();
// True for a path whose file name is "module-info.java".
bool IsModuleInfoFile(std::string_view path);
const Language& HtmlLanguage();
const Language& PerlLanguage();

}  // namespace tamso
