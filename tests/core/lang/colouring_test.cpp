#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "lang/language.h"
#include "lang_test_support.h"

namespace tamso {
namespace {

using testing::AttrString;
using testing::ColourAll;
using testing::VectorSource;

std::vector<std::string> AttrStrings(const Language& lang, std::vector<std::string> lines) {
  VectorSource text(std::move(lines));
  const testing::ColouredText c = ColourAll(lang, text);
  std::vector<std::string> out;
  for (const auto& a : c.attrs) out.push_back(AttrString(a));
  return out;
}

std::vector<bool> Marks(const Language& lang, std::vector<std::string> lines) {
  VectorSource text(std::move(lines));
  return ColourAll(lang, text).marks;
}

using S = std::vector<std::string>;

TEST(JavaColouring, ReservedWordsCommentsAndStrings) {
  // An attribute covers its token and the blanks before it.
  EXPECT_EQ(AttrStrings(JavaLanguage(), {"  int x; // int", "String s = \"if // for\"; return"}),
            (S{"rrrrr...ccccccc", ".......................rrrrrrr"}));
  EXPECT_EQ(AttrStrings(JavaLanguage(), {"a /* if */ if  "}), (S{".cccccccccrrr.."}));
  EXPECT_EQ(AttrStrings(JavaLanguage(), {"Synchronized synchronized"}),
            (S{"............rrrrrrrrrrrrr"}));
}

TEST(JavaColouring, WordsOfTodaysJava) {
  EXPECT_EQ(AttrStrings(JavaLanguage(), {"var v = switch (k) { default -> { yield 1; } };",
                                         "sealed interface S permits A {}",
                                         "non-sealed class B {} record R() {} enum E {}",
                                         "assert x; volatile strictfp"}),
            (S{"rrr....rrrrrrr......rrrrrrrr.....rrrrrr........", "rrrrrrrrrrrrrrrr..rrrrrrrr.....",
               "rrrrrrrrrrrrrrrr.....rrrrrrr.......rrrrr.....", "rrrrrr...rrrrrrrrrrrrrrrrrr"}));
  // "non" alone, or glued to more than "-sealed", is a plain word.
  EXPECT_EQ(AttrStrings(JavaLanguage(), {"non - sealed non-sealedX"}),
            (S{".....rrrrrrr............"}));
}

TEST(JavaColouring, ModuleWordsAreReservedOnlyInModuleInfoFiles) {
  const S module{"open module a.b {", "  requires transitive x;", "  provides S with T;"};
  EXPECT_EQ(AttrStrings(JavaModuleInfoLanguage(), module),
            (S{"rrrrrrrrrrr......", "rrrrrrrrrrrrrrrrrrrrr...", "rrrrrrrrrr..rrrrr..."}));
  // In other Java files they are names like any other.
  EXPECT_EQ(AttrStrings(JavaLanguage(), {"int module = to + with;"}),
            (S{"rrr...................."}));
  EXPECT_TRUE(IsModuleInfoFile("/src/app/module-info.java"));
  EXPECT_TRUE(IsModuleInfoFile("module-info.java"));
  EXPECT_FALSE(IsModuleInfoFile("/src/Xmodule-info.java"));
  EXPECT_FALSE(IsModuleInfoFile("/src/module-info.java.orig"));
  EXPECT_STREQ(JavaModuleInfoLanguage().Name(), "Java");
}

TEST(JavaColouring, TextBlocksAreStringsAcrossLines) {
  const S lines{"String s = \"\"\"", "  switch /* not */ if // no", "  \\\"\"\" \"\"\"; int x;",
                "int y = \"\"\"", "  while\"\"\"; for"};
  VectorSource text(lines);
  const testing::ColouredText c = ColourAll(JavaLanguage(), text);
  EXPECT_EQ(AttrString(c.attrs[0]), "..............");
  EXPECT_EQ(AttrString(c.attrs[1]), "...........................");
  EXPECT_EQ(AttrString(c.attrs[2]), "...........rrrr...");
  EXPECT_EQ(AttrString(c.attrs[3]), "rrr........");
  EXPECT_EQ(AttrString(c.attrs[4]), "...........rrrr");
  EXPECT_EQ(c.startsIn,
            (std::vector<OpenSpan>{OpenSpan::kNone, OpenSpan::kTextBlock, OpenSpan::kTextBlock,
                                   OpenSpan::kNone, OpenSpan::kTextBlock}));
  // "-->" belongs to markup: it does not end a Java comment.
  EXPECT_EQ(AttrStrings(JavaLanguage(), {"/* a --> b */ int"}), (S{"cccccccccccccrrrr"}));
}

TEST(JavaColouring, BlockCommentAcrossLines) {
  const S lines{"int a; /* open", "still */ int b;", "int c;"};
  VectorSource text(lines);
  const testing::ColouredText c = ColourAll(JavaLanguage(), text);
  EXPECT_EQ(AttrString(c.attrs[0]), "rrr...cccccccc");
  // A line that starts inside a comment is comment-coloured through the close only.
  EXPECT_EQ(AttrString(c.attrs[1]), "ccccccccrrrr...");
  EXPECT_EQ(AttrString(c.attrs[2]), "rrr...");
  EXPECT_EQ(c.startsInComment, (std::vector<bool>{false, true, false}));

  // The line ends inside a comment again when one opens after the close.
  std::vector<std::uint8_t> attrs(64);
  EXPECT_TRUE(JavaLanguage()
                  .ColourLine(VectorSource({"x */ y /* z"}), 0, OpenSpan::kComment, attrs.data())
                  .endsIn == OpenSpan::kComment);
  EXPECT_FALSE(
      JavaLanguage()
          .ColourLine(VectorSource({"x */ y /* z */"}), 0, OpenSpan::kComment, attrs.data())
          .endsIn == OpenSpan::kComment);
  EXPECT_TRUE(JavaLanguage()
                  .ColourLine(VectorSource({"   "}), 0, OpenSpan::kComment, attrs.data())
                  .endsIn == OpenSpan::kComment);
}

TEST(JavaColouring, QuotesInsideAContinuedCommentDoNotHideItsEnd) {
  std::vector<std::uint8_t> attrs(64);
  for (const char* line : {" * say \"hi */", " * see http://x */", " * a 'b */"}) {
    EXPECT_FALSE(JavaLanguage()
                     .ColourLine(VectorSource({line}), 0, OpenSpan::kComment, attrs.data())
                     .endsIn == OpenSpan::kComment)
        << line;
  }
}

TEST(JavaColouring, SeparatorMarks) {
  const Language& j = JavaLanguage();
  EXPECT_EQ(Marks(j, {"  public void run() {", "  }"}), (std::vector<bool>{true, false}));
  // Brace on the following line, also after blank lines and a comment.
  EXPECT_EQ(Marks(j, {"  int size(int[] a)", "", "  // body", "  {"}),
            (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(Marks(j, {"  void f() throws java.io.IOException,", "      Error {"}),
            (std::vector<bool>{true, false}));
  // Statements and calls get none.
  EXPECT_EQ(Marks(j, {"    if (x > 0) {"}), (std::vector<bool>{false}));
  EXPECT_EQ(Marks(j, {"    while(x(y)) {"}), (std::vector<bool>{false}));
  EXPECT_EQ(Marks(j, {"    synchronized (lock) {"}), (std::vector<bool>{false}));
  EXPECT_EQ(Marks(j, {"    foo(1);", "    {"}), (std::vector<bool>{false, false}));
  EXPECT_EQ(Marks(j, {"  void f() throws X;", "  {"}), (std::vector<bool>{false, false}));
  // A name separated from its parameter list by blanks gets none.
  EXPECT_EQ(Marks(j, {"  void run () {"}), (std::vector<bool>{false}));
  // A parameter list continued on the next line gets none.
  EXPECT_EQ(Marks(j, {"  void run(int a,", "          int b) {"}),
            (std::vector<bool>{false, false}));
  // Nested parentheses inside the parameter list.
  EXPECT_EQ(Marks(j, {"  Foo(@A(x) int a, String s) {"}), (std::vector<bool>{true}));
  // A "(" after blanks matches the ")" closing the level around it.
  EXPECT_EQ(Marks(j, {"  f(g (x)) {"}), (std::vector<bool>{true}));
  // A word in column 0 is never looked up, so "if(" there counts as a method.
  EXPECT_EQ(Marks(j, {"if(x) {"}), (std::vector<bool>{true}));
  // Inside a comment, or a "//" comment after the header.
  EXPECT_EQ(Marks(j, {"/* void f() {", " void g() { */"}), (std::vector<bool>{false, false}));
  EXPECT_EQ(Marks(j, {"  void f() // {"}), (std::vector<bool>{false}));
}

TEST(JavaColouring, LongLinesOfParenthesesStayLinear) {
  std::string line;
  for (int i = 0; i < 200000; ++i) line += "f(";
  std::string closed;
  for (int i = 0; i < 100000; ++i) closed += "a (b) ";
  closed += "{";
  EXPECT_EQ(Marks(JavaLanguage(), {line, closed}), (std::vector<bool>{false, false}));
}

TEST(HtmlColouring, TagsCommentsAndCase) {
  const Language& h = HtmlLanguage();
  // Tag names and attributes inside angle brackets, in either case; the same words
  // outside a tag stay normal.
  EXPECT_EQ(AttrStrings(h, {"<B>b</b> <a HREF=\"x\">A table</A>"}),
            (S{".r....r...rrrrrr..............r."}));
  EXPECT_EQ(AttrStrings(h, {"x > y <b>"}), (S{".......r."}));
  // A one-line comment is a comment and does not leave a tag open behind it.
  EXPECT_EQ(AttrStrings(h, {"<!-- a --> b <p>"}), (S{"cccccccccc....r."}));
  // A "//" in text is not a comment.
  EXPECT_EQ(AttrStrings(h, {"see http://x <b>"}), (S{"................"}));
}

TEST(HtmlColouring, CommentSpanningLines) {
  const S lines{"<p> <!-- start", "<b>still</b>", "end --> <b>", "<i>"};
  VectorSource text(lines);
  const testing::ColouredText c = ColourAll(HtmlLanguage(), text);
  EXPECT_EQ(AttrString(c.attrs[0]), ".r.ccccccccccc");
  EXPECT_EQ(AttrString(c.attrs[1]), "cccccccccccc");
  EXPECT_EQ(AttrString(c.attrs[2]), "ccccccc..r.");
  EXPECT_EQ(AttrString(c.attrs[3]), ".r.");
  EXPECT_EQ(c.startsInComment, (std::vector<bool>{false, true, true, false}));
  EXPECT_EQ(c.marks, (std::vector<bool>{false, false, false, false}));
}

TEST(PerlColouring, HashCommentsAndSubMarks) {
  const Language& p = PerlLanguage();
  EXPECT_EQ(AttrStrings(p, {"print $x; # print", "sub go {", "# sub x {", "$n = $#a;"}),
            (S{"rrrrr....cccccccc", "rrr.....", "ccccccccc", "........."}));
  EXPECT_EQ(Marks(p, {"sub go {", "# sub x {", "  my $f = sub {", "subway();", "$sub = 1;"}),
            (std::vector<bool>{true, false, true, false, false}));
  // No state is carried: a "/*" does not colour the next line.
  VectorSource text(S{"glob('/tmp/*');", "print 1;"});
  const testing::ColouredText c = ColourAll(p, text);
  EXPECT_EQ(c.startsInComment, (std::vector<bool>{false, false}));
  EXPECT_EQ(AttrString(c.attrs[1]), "rrrrr...");
}

// Typing line after line, recolouring from the changed line until a line already
// starts in the right state, must end with the colours of colouring it all at once.
TEST(Colouring, LineByLineEqualsAllAtOnce) {
  const S source{"package a;",
                 "/* head",
                 " * \"quoted */ class A {",
                 "  void f() {",
                 "    s = \"/*\"; // c",
                 "  }",
                 "  /** doc",
                 "   */",
                 "  int g()",
                 "  {",
                 "  String t = \"\"\"",
                 "    if /* not a comment",
                 "    \\\"\"\" still text \"\"\"; int after;",
                 "<!-- x",
                 "-->",
                 "sub x { # y",
                 "}"};
  std::mt19937 rng(3);
  for (const Language* lang : {&JavaLanguage(), &HtmlLanguage(), &PerlLanguage()}) {
    VectorSource typed;
    std::vector<std::vector<std::uint8_t>> attrs;
    std::vector<std::uint8_t> state;  // the state each line ends in (kState*)
    std::vector<bool> marks;
    auto recolour = [&](int from) {
      for (int i = from; i < typed.LineCount(); ++i) {
        const OpenSpan startIn =
            i > 0 ? SpanOfState(state[static_cast<std::size_t>(i - 1)]) : OpenSpan::kNone;
        attrs[static_cast<std::size_t>(i)].assign(typed.Line(i).size(), kAttrUncoloured);
        const LineColouring c =
            lang->ColourLine(typed, i, startIn, attrs[static_cast<std::size_t>(i)].data());
        marks[static_cast<std::size_t>(i)] = c.mark;
        const std::uint8_t ends = StateOfSpan(c.endsIn);
        if (i > from && state[static_cast<std::size_t>(i)] == ends) break;
        state[static_cast<std::size_t>(i)] = ends;
      }
      // A header's brace may arrive on a later line: the line above is recoloured too.
      if (from > 0) {
        const int i = from - 1;
        const OpenSpan startIn =
            i > 0 ? SpanOfState(state[static_cast<std::size_t>(i - 1)]) : OpenSpan::kNone;
        marks[static_cast<std::size_t>(i)] =
            lang->ColourLine(typed, i, startIn, attrs[static_cast<std::size_t>(i)].data()).mark;
      }
    };
    for (const std::string& line : source) {
      typed.lines().push_back("");
      attrs.emplace_back();
      state.push_back(kStateUnknown);
      marks.push_back(false);
      const int index = typed.LineCount() - 1;
      // Type the line in random chunks.
      for (std::size_t done = 0; done < line.size();) {
        const std::size_t n = std::min<std::size_t>(1 + rng() % 4, line.size() - done);
        typed.lines().back() += line.substr(done, n);
        done += n;
        recolour(index);
      }
      recolour(index);
    }
    const testing::ColouredText whole = ColourAll(*lang, typed);
    for (std::size_t i = 0; i < source.size(); ++i) {
      EXPECT_EQ(AttrString(attrs[i]), AttrString(whole.attrs[i])) << lang->Name() << " line " << i;
      EXPECT_EQ(marks[i], whole.marks[i]) << lang->Name() << " line " << i;
    }
  }
}

}  // namespace
}  // namespace tamso
