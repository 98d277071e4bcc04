#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>

#include "lang/language.h"
#include "lang/reserved_words.h"

namespace tamso {
namespace {

TEST(ReservedWords, TablesHoldTheirEntries) {
  EXPECT_EQ(JavaReservedWords().size(), 60u);
  EXPECT_EQ(HtmlReservedWords().size(), 106u);
  EXPECT_EQ(PerlReservedWords().size(), 174u);
  auto count = [](std::string_view w) {
    return std::count(HtmlReservedWords().begin(), HtmlReservedWords().end(), w);
  };
  EXPECT_EQ(count("TYPE"), 2);
  EXPECT_EQ(count("LINK"), 2);
  EXPECT_EQ(
      std::set<std::string_view>(HtmlReservedWords().begin(), HtmlReservedWords().end()).size(),
      104u);
  EXPECT_EQ(HtmlReservedWords().front(), "HTML");
  EXPECT_EQ(HtmlReservedWords().back(), "VALUE");
  EXPECT_EQ(PerlReservedWords().front(), "if");
  EXPECT_EQ(PerlReservedWords().back(), "warn");
  // Entries kept as the editor has always spelled them.
  for (std::string_view w : {"setsocktopt", "getpwnet", "chmode", "setprotent", "getrent"}) {
    EXPECT_TRUE(PerlLanguage().IsReservedWord(w)) << w;
  }
  for (const auto& [lang, table] : {std::pair{&JavaLanguage(), JavaReservedWords()},
                                    {&HtmlLanguage(), HtmlReservedWords()},
                                    {&PerlLanguage(), PerlReservedWords()}}) {
    for (std::string_view w : table) EXPECT_TRUE(lang->IsReservedWord(w)) << w;
  }
}

TEST(ReservedWords, CaseRules) {
  const Language& j = JavaLanguage();
  EXPECT_TRUE(j.IsReservedWord("synchronized"));
  EXPECT_FALSE(j.IsReservedWord("Synchronized"));
  EXPECT_FALSE(j.IsReservedWord("CLASS"));
  EXPECT_FALSE(j.IsReservedWord("String"));
  const Language& h = HtmlLanguage();
  for (std::string_view w : {"B", "b", "Href", "href", "bLiNk", "cellspacing", "h1"}) {
    EXPECT_TRUE(h.IsReservedWord(w)) << w;
  }
  EXPECT_FALSE(h.IsReservedWord("SPAN"));
  const Language& p = PerlLanguage();
  EXPECT_TRUE(p.IsReservedWord("sub"));
  EXPECT_FALSE(p.IsReservedWord("Sub"));
  EXPECT_FALSE(p.IsReservedWord("PRINT"));
}

TEST(ReservedWords, WholeWordsOnly) {
  for (const Language* lang : {&JavaLanguage(), &HtmlLanguage(), &PerlLanguage()}) {
    EXPECT_FALSE(lang->IsReservedWord("")) << lang->Name();
  }
  EXPECT_FALSE(JavaLanguage().IsReservedWord("abstrac"));
  EXPECT_FALSE(JavaLanguage().IsReservedWord("abstracts"));
  EXPECT_FALSE(JavaLanguage().IsReservedWord("i"));
  EXPECT_FALSE(PerlLanguage().IsReservedWord("su"));
  EXPECT_FALSE(PerlLanguage().IsReservedWord("subs"));
  EXPECT_FALSE(HtmlLanguage().IsReservedWord("BB"));
  // A word of 100 characters or more never matches, whatever it starts with.
  EXPECT_FALSE(HtmlLanguage().IsReservedWord("B" + std::string(120, ' ')));
  EXPECT_FALSE(HtmlLanguage().IsReservedWord(std::string(100, 'A')));
  EXPECT_FALSE(JavaLanguage().IsReservedWord(std::string("int\0", 4)));
}

// The hashed lookup must answer exactly as a scan over the table would.
TEST(ReservedWords, LookupAgreesWithLinearScan) {
  std::mt19937 rng(7);
  for (const auto& [lang, table, fold] : {std::tuple{&JavaLanguage(), JavaReservedWords(), false},
                                          {&HtmlLanguage(), HtmlReservedWords(), true},
                                          {&PerlLanguage(), PerlReservedWords(), false}}) {
    auto linear = [&, t = table, f = fold](const std::string& w) {
      for (std::string_view e : t) {
        if (e.size() != w.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < w.size() && same; ++i) {
          char a = e[i], b = w[i];
          if (f) {
            a = static_cast<char>(std::toupper(static_cast<unsigned char>(a)));
            b = (b >= 'a' && b <= 'z') ? static_cast<char>(b - 32) : b;
          }
          same = a == b;
        }
        if (same) return true;
      }
      return false;
    };
    for (std::string_view e : table) {
      for (int k = 0; k < 20; ++k) {
        std::string w(e);
        switch (rng() % 4) {
          case 0:
            w[rng() % w.size()] ^= static_cast<char>(1 << (rng() % 6));
            break;
          case 1:
            w.pop_back();
            break;
          case 2:
            w += static_cast<char>('a' + rng() % 26);
            break;
          default:
            for (char& c : w) c = (rng() % 2) ? static_cast<char>(std::tolower(c)) : c;
        }
        EXPECT_EQ(lang->IsReservedWord(w), linear(w)) << lang->Name() << " '" << w << "'";
      }
    }
  }
}

}  // namespace
}  // namespace tamso
