#include "editor/find_text.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_host.h"

namespace tamso {
namespace {

using testing::FakeHost;

const std::string kNotFound =
    "Searched for: foo\n\n\nDidn't find it.\n\n\nDo you want to start again at the top ?\n\n";

TEST(FindText, ForwardFindsAtOrAfterTheCaretThenTheNext) {
  CLineStore s;
  s.SetText("x foo\nbar foo\n");
  s.SetSelection(0, 2);
  ASSERT_TRUE(FindText(s, "foo", {}));
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 2}));
  EXPECT_EQ(s.SelectionEnd(), (TextPos{0, 5}));
  ASSERT_TRUE(FindText(s, "foo", {}));
  EXPECT_EQ(s.SelectionStart(), (TextPos{1, 4}));
  EXPECT_FALSE(FindText(s, "foo", {}));
  EXPECT_EQ(s.SelectionStart(), (TextPos{1, 4}));  // unchanged without a match
  EXPECT_FALSE(FindText(s, "", {}));
}

TEST(FindText, BackwardFindsTheNearestMatchBeforeTheSelection) {
  CLineStore s;
  s.SetText("end;\nab;ab\nab");
  s.SetSelection(1, 5);
  const FindOptions back{false, false, false};
  ASSERT_TRUE(FindText(s, "ab", back));  // the one right before the caret
  EXPECT_EQ(s.SelectionStart(), (TextPos{1, 3}));
  ASSERT_TRUE(FindText(s, "ab", back));
  EXPECT_EQ(s.SelectionStart(), (TextPos{1, 0}));
  ASSERT_TRUE(FindText(s, ";", back));  // the last character of an earlier line
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 3}));
  s.SetSelection(0, 0);
  EXPECT_FALSE(FindText(s, "e", back));
}

TEST(FindText, CaseAndWholeWordRules) {
  CLineStore s;
  s.SetText("String string strings");
  ASSERT_TRUE(FindText(s, "STRING", {}));
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 0}));
  s.SetSelection(0, 0);
  ASSERT_TRUE(FindText(s, "string", {true, true, false}));
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 7}));
  s.SetSelection(0, 8);
  EXPECT_FALSE(FindText(s, "string", {true, true, true}));  // "strings" is not a whole word
  s.SetSelection(0, 0);
  ASSERT_TRUE(FindText(s, "strings", {true, false, true}));
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 14}));
  // Bytes above 0x7F match only exactly.
  s.SetText("\xC3\xA9 \xC3\x89");
  ASSERT_TRUE(FindText(s, "\xC3\x89", {}));
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 2}));
}

TEST(FindText, SelectsDisplayColumnsAcrossTabsAndUtf8) {
  CLineStore s;
  s.SetTabWidth(4);
  s.SetText("\t\xC3\xA9x = \"\t\";");
  ASSERT_TRUE(FindText(s, "x", {}));
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 5}));
  EXPECT_EQ(s.SelectionEnd(), (TextPos{0, 6}));
  ASSERT_TRUE(FindText(s, "\"\t\"", {}));
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 9}));
  EXPECT_EQ(s.SelectionEnd(), (TextPos{0, 13}));
}

TEST(QuickFind, NotFoundOffersToStartAgainAtTheTop) {
  FakeHost host;
  FindHistory history;
  CLineStore s;
  s.SetText("foo\nbar\n");
  s.SetSelection(1, 0);
  host.answers = {Answer::Yes};
  EXPECT_TRUE(QuickFind(s, host, history, "foo"));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, kNotFound);
  EXPECT_EQ(host.messages[0].caption, "Text not found");
  EXPECT_EQ(host.messages[0].icon, MsgIcon::Question);
  EXPECT_EQ(host.messages[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(host.beeps, std::vector<BeepKind>{BeepKind::Default});
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 0}));
  EXPECT_EQ(s.SelectionEnd(), (TextPos{0, 3}));
  EXPECT_EQ(host.waitDepth, 0);
}

TEST(QuickFind, StillNotFoundAndDeclined) {
  FakeHost host;
  FindHistory history;
  CLineStore s;
  s.SetText("bar\n");
  host.answers = {Answer::Yes, Answer::Ok, Answer::No};
  EXPECT_FALSE(QuickFind(s, host, history, "foo"));
  EXPECT_EQ(host.MessageTexts(),
            (std::vector<std::string>{kNotFound, "Nope. Still couldn't find it."}));
  EXPECT_EQ(host.messages[1].caption, "");
  EXPECT_EQ(host.messages[1].buttons, MsgButtons::Ok);
  EXPECT_FALSE(QuickFind(s, host, history, "foo"));  // answered No: no second message
  EXPECT_EQ(host.messages.size(), 3u);
  EXPECT_EQ(host.beeps.size(), 2u);
}

TEST(QuickFind, TwiceFindsBothOccurrencesAndRemembersTheText) {
  FakeHost host;
  FindHistory history;
  CLineStore s;
  s.SetText("a Foo b foo");
  ASSERT_TRUE(QuickFind(s, host, history, "foo"));
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 2}));
  ASSERT_TRUE(QuickFind(s, host, history, "foo"));
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 8}));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(history.Items(), std::vector<std::string>{"foo"});
  history.Add("bar");
  history.Add("FO");  // an entry already begins with it
  EXPECT_EQ(history.Items(), (std::vector<std::string>{"bar", "foo"}));
  EXPECT_FALSE(QuickFind(s, host, history, ""));
}

TEST(FindReplace, ReplaceAllIsOneStepFromTheTopAndReportsTheCount) {
  FakeHost host;
  FindHistory history;
  CLineStore s;
  s.SetText("aXa\nxx\nnone\n");
  s.SetSelection(2, 2);
  FindReplaceModel m;
  m.findWhat = "x";
  m.replaceWith = "xy";  // holds the text found: must not loop
  m.searchDown = false;  // direction does not matter
  EXPECT_EQ(m.ReplaceAll(s, host, history), 3);
  EXPECT_EQ(s.JoinedText("\n"), "axya\nxyxy\nnone\n");
  EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"Replaced 3 occurrences."});
  ASSERT_TRUE(s.Undo());
  EXPECT_EQ(s.JoinedText("\n"), "aXa\nxx\nnone\n");
  EXPECT_FALSE(s.CanUndo());
  EXPECT_EQ(ReplaceAllMessage(1), "Replaced 1 occurrence.");
  EXPECT_EQ(ReplaceAllMessage(0), "Replaced 0 occurrences.");
}

TEST(FindReplace, ReplaceAllWithLineBreaksAndWholeWords) {
  CLineStore s;
  s.SetText("int i; int j;\nprint(int);");
  EXPECT_EQ(ReplaceAll(s, "int", "long\r\n", {true, true, true}), 3);
  EXPECT_EQ(s.JoinedText("\n"), "long\n i; long\n j;\nprint(long\n);\n");
}

TEST(FindReplace, ReplaceNeedsASelectionAndFindNextContinuesAfterIt) {
  FakeHost host;
  FindHistory history;
  CLineStore s;
  s.SetText("cat cat cat");
  s.SetSelection(0, 0, 0, 3);
  FindReplaceModel m = FindReplaceModel::FromSelection(s);
  EXPECT_EQ(m.findWhat, "cat");
  EXPECT_EQ(m.replaceWith, "cat");
  EXPECT_TRUE(m.searchDown);
  m.replaceWith = "dog";
  ASSERT_TRUE(m.Replace(s, host, history));
  EXPECT_EQ(s.Line(0), "dog cat cat");
  ASSERT_TRUE(m.FindNext(s, host, history));
  EXPECT_EQ(s.SelectionStart(), (TextPos{0, 4}));
  s.SetSelection(0, 11);
  EXPECT_FALSE(m.Replace(s, host, history));
  host.answers = {Answer::No};
  EXPECT_FALSE(m.FindNext(s, host, history));
  EXPECT_EQ(host.beeps, (std::vector<BeepKind>{BeepKind::Default, BeepKind::Default}));
  EXPECT_EQ(s.Caret(), (TextPos{0, 11}));  // declined: no wrap
  s.SetSelection(0, 0, 0, 11);             // the selection's first line only
  s.SetText("a\nb");
  s.SelectAll();
  EXPECT_EQ(FindReplaceModel::FromSelection(s).findWhat, "a");
}

TEST(FindReplace, FindNextSaysNotFoundAndWrapsOnlyWhenAsked) {
  FakeHost host;
  FindHistory history;
  CLineStore s;
  s.SetText("Cat\nmid\ncat");
  FindReplaceModel m;
  m.findWhat = "cat";
  m.matchCase = true;
  s.SetSelection(1, 0);
  // Down, declined: the question names the top, nothing moves.
  host.answers = {Answer::No};
  EXPECT_TRUE(m.FindNext(s, host, history));  // the one below
  EXPECT_EQ(s.SelectionStart(), (TextPos{2, 0}));
  EXPECT_FALSE(m.FindNext(s, host, history));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].caption, "Text not found");
  EXPECT_EQ(host.messages[0].icon, MsgIcon::Question);
  EXPECT_EQ(host.messages[0].text,
            "Searched for: cat\n\n\nDidn't find it.\n\n\nDo you want to start again at the top "
            "?\n\n");
  EXPECT_EQ(s.SelectionStart(), (TextPos{2, 0}));
  // Up from the first line, accepted: goes on from the bottom and finds the last one;
  // letter case is kept, so "Cat" on line 0 is not a match.
  m.searchDown = false;
  s.SetSelection(0, 3);
  host.answers = {Answer::Yes};
  EXPECT_TRUE(m.FindNext(s, host, history));
  EXPECT_EQ(s.SelectionStart(), (TextPos{2, 0}));
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_NE(host.messages[1].text.find("start again at the bottom ?"), std::string::npos);
  // Nowhere at all: the second answer.
  m.findWhat = "dog";
  host.answers = {Answer::Yes};
  EXPECT_FALSE(m.FindNext(s, host, history));
  EXPECT_EQ(host.MessageTexts().back(), "Nope. Still couldn't find it.");
}

TEST(MatchBracket, NestedAcrossLinesInBothDirections) {
  FakeHost host;
  CLineStore s;
  // The brace inside the string closes the inner one, like any other.
  s.SetText("void f() {\n  if (a) { \"}\"\n}\n");
  s.SetSelection(0, 9);
  BracketMatch m = MatchBracket(s, host);
  ASSERT_TRUE(m.found);
  EXPECT_EQ(m.line, 2);
  EXPECT_EQ(m.index, 0);
  EXPECT_EQ(s.Caret(), (TextPos{2, 0}));
  s.SetSelection(2, 0);
  m = MatchBracket(s, host);
  ASSERT_TRUE(m.found);
  EXPECT_EQ(m.line, 0);
  EXPECT_EQ(m.index, 9);
  s.SetSelection(1, 5);
  m = MatchBracket(s, host);  // ( counts only parentheses
  ASSERT_TRUE(m.found);
  EXPECT_EQ(m.index, 7);
  EXPECT_TRUE(host.beeps.empty());
}

TEST(MatchBracket, BeepsWithoutBracketOrMatch) {
  FakeHost host;
  CLineStore s;
  s.SetText("x (\n");
  s.SetSelection(0, 0);
  EXPECT_FALSE(CaretOnBracket(s));
  EXPECT_FALSE(MatchBracket(s, host).found);
  s.SetSelection(0, 2);
  EXPECT_TRUE(CaretOnBracket(s));
  EXPECT_FALSE(MatchBracket(s, host).found);
  EXPECT_EQ(host.beeps, (std::vector<BeepKind>{BeepKind::Asterisk, BeepKind::Default}));
  s.SetSelection(0, 2, 0, 3);
  EXPECT_FALSE(MatchBracket(s, host).found);  // a selection: nothing at all
  EXPECT_EQ(host.beeps.size(), 2u);
}

}  // namespace
}  // namespace tamso
