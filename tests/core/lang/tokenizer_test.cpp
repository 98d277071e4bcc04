#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/language.h"

namespace tamso {
namespace {

// "type:text" for every token of line.
std::vector<std::string> Tokens(const Language& lang, std::string_view line) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  for (;;) {
    const LineToken t = lang.NextToken(line, pos);
    if (t.type == kTokenEnd) {
      EXPECT_EQ(t.start, line.size());
      break;
    }
    EXPECT_GE(t.start, pos);
    EXPECT_GT(t.end, t.start);
    EXPECT_LE(t.end, line.size());
    out.push_back(std::to_string(t.type) + ":" +
                  std::string(line.substr(t.start, t.end - t.start)));
    pos = t.end;
  }
  return out;
}

using V = std::vector<std::string>;

TEST(Tokenizer, WordsDelimitersAndReservedWords) {
  EXPECT_EQ(Tokens(JavaLanguage(), "  public int x_1=a.b;"),
            (V{"2:public", "2:int", "4:x_1", "1:=", "4:a", "1:.", "4:b", "1:;"}));
  // Hash, dollar, at, apostrophe, backslash, backquote and tilde are word characters.
  EXPECT_EQ(Tokens(PerlLanguage(), "$x @y #z a'b c\\d `e` ~f"),
            (V{"4:$x", "4:@y", "4:#z", "4:a'b", "4:c\\d", "4:`e`", "4:~f"}));
  // Tabs separate tokens and are skipped; other control bytes are word characters,
  // so a marked byte takes the colour of the word it stands in.
  EXPECT_EQ(Tokens(JavaLanguage(), "\tif\x01(x)\x7f"),
            (V{"4:if\x01", "1:(", "4:x", "1:)", "4:\x7f"}));
  EXPECT_EQ(Tokens(JavaLanguage(), std::string_view("\x0c\0 int", 6)),
            (V{std::string("4:\x0c\0", 4), "2:int"}));
  EXPECT_EQ(Tokens(JavaLanguage(), ""), V{});
  EXPECT_EQ(Tokens(JavaLanguage(), " \t "), V{});
}

TEST(Tokenizer, BytesAbove127AreWordCharacters) {
  EXPECT_EQ(Tokens(JavaLanguage(),
                   "int gr\xc3\xb6\xc3\x9f"
                   "e=\xe2\x82\xac;"),
            (V{"2:int",
               "4:gr\xc3\xb6\xc3\x9f"
               "e",
               "1:=", "4:\xe2\x82\xac", "1:;"}));
}

TEST(Tokenizer, Strings) {
  EXPECT_EQ(Tokens(JavaLanguage(), "s = \"if // x\" + y"),
            (V{"4:s", "1:=", "3:\"if // x\"", "1:+", "4:y"}));
  EXPECT_EQ(Tokens(JavaLanguage(), "s = \"open to the end"),
            (V{"4:s", "1:=", "3:\"open to the end"}));
  // A backslash keeps an escaped quote inside Java and Perl strings...
  EXPECT_EQ(Tokens(JavaLanguage(), "\"a\\\"b\" // c"), (V{"3:\"a\\\"b\"", "6:// c"}));
  EXPECT_EQ(Tokens(JavaLanguage(), "\"\\\\\" x"), (V{"3:\"\\\\\"", "4:x"}));
  EXPECT_EQ(Tokens(PerlLanguage(), "\"\\\"\" # c"), (V{"3:\"\\\"\"", "4:#", "4:c"}));
  // ...but is an ordinary character in HTML attribute values.
  EXPECT_EQ(Tokens(HtmlLanguage(), "<a href=\"c:\\dir\\\">"),
            (V{"1:<", "2:a", "2:href", "1:=", "3:\"c:\\dir\\\"", "1:>"}));
}

TEST(Tokenizer, Comments) {
  const Language& j = JavaLanguage();
  EXPECT_EQ(Tokens(j, "a // b */ c"), (V{"4:a", "6:// b */ c"}));
  EXPECT_EQ(Tokens(j, "a /* b */ c"), (V{"4:a", "6:/* b */", "4:c"}));
  EXPECT_EQ(Tokens(j, "a /* b"), (V{"4:a", "8:/* b"}));
  EXPECT_EQ(Tokens(j, "/*/ x"), (V{"8:/*/ x"}));  // the opener's star does not close it
  EXPECT_EQ(Tokens(j, "/**/x"), (V{"6:/**/", "4:x"}));
  EXPECT_EQ(Tokens(j, "b */ c"), (V{"4:b", "9:*/", "4:c"}));
  EXPECT_EQ(Tokens(j, "x * / y"), (V{"4:x", "1:*", "1:/", "4:y"}));
  const Language& h = HtmlLanguage();
  EXPECT_EQ(Tokens(h, "<!-- x --> <b>"), (V{"6:<!-- x -->", "1:<", "2:b", "1:>"}));
  EXPECT_EQ(Tokens(h, "z <!-- x"), (V{"4:z", "8:<!-- x"}));
  EXPECT_EQ(Tokens(h, "<!-->"), (V{"8:<!-->"}));
  EXPECT_EQ(Tokens(h, "x --> y"), (V{"4:x", "9:-->", "4:y"}));
  EXPECT_EQ(Tokens(h, "<!- -- >"), (V{"1:<", "1:!", "1:-", "1:-", "1:-", "1:>"}));
  EXPECT_EQ(Tokens(j, "i-->0"), (V{"4:i", "9:-->", "4:0"}));
  EXPECT_EQ(Tokens(j, "i--"), (V{"4:i", "1:-", "1:-"}));
}

TEST(Tokenizer, CommonDelimiterRule) {
  const std::string delimiters = " !\"%&()*+,-./:;<=>?[]^{}|";
  for (const Language* lang : {&JavaLanguage(), &HtmlLanguage(), &PerlLanguage()}) {
    for (int c = 0; c < 256; ++c) {
      const bool expected =
          c == '\t' || (c != 0 && delimiters.find(static_cast<char>(c)) != std::string::npos);
      EXPECT_EQ(lang->IsDelimiter(static_cast<unsigned char>(c)), expected)
          << lang->Name() << " byte " << c;
    }
  }
}

}  // namespace
}  // namespace tamso
