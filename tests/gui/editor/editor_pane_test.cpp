// The editor pane as the frame uses it: commands by id, settings, find and replace,
// bracket matching, load and save failures, the outline.

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "editor/find_dialog.h"
#include "editor/go_to_line.h"
#include "editor_test_support.h"

namespace tamso::gui::testing {
namespace {

std::string Status(const EditorFixture& f) {
  return f.editor->StatusText().toStdString();
}

TEST(EditorPane, CreatesEachKindWithItsLanguage) {
  EditorFixture f;
  tamso::testing::FakeHost host;
  for (ViewKind kind : {ViewKind::Java, ViewKind::Html, ViewKind::Perl}) {
    std::unique_ptr<EditorPane> pane(CreateEditorPane(kind, f.Profile(), host, nullptr));
    EXPECT_EQ(pane->Kind(), kind);
  }
  EXPECT_STREQ(LanguageForKind(ViewKind::Perl)->Name(), "Perl");
  EXPECT_EQ(LanguageForKind(ViewKind::Other), nullptr);
}

TEST(EditorPane, FontCommandsWriteThePointSizeAndSettingsReload) {
  EditorFixture f(ViewKind::Java, "[Font]\nPointSize=10\n");
  const int lineHeight = f.editor->LineHeight();
  ASSERT_TRUE(f.pane->ExecuteCommand(32911));
  EXPECT_EQ(f.Profile().GetInt("Font", "PointSize", 0), 11);
  EXPECT_GT(f.editor->LineHeight(), lineHeight);
  f.pane->ExecuteCommand(32912);
  f.pane->ExecuteCommand(32912);
  EXPECT_EQ(f.Profile().GetInt("Font", "PointSize", 0), 9);

  // Hint 78: point size, tab width (clamped) and colours are read again.
  f.Profile().WriteInt("Font", "PointSize", 14);
  f.Profile().WriteInt("Editor", "TabChars", 40);
  f.Profile().WriteInt("Editor", "ColorScheme", 1);
  f.pane->ReloadSettings();
  EXPECT_EQ(f.editor->PointSize(), 14);
  EXPECT_EQ(f.editor->Store().TabWidth(), 8);
  EXPECT_EQ(f.editor->BackgroundColour(), QColor(Qt::black));
  f.Profile().WriteInt("Editor", "TabChars", 1);
  f.pane->ReloadSettings();
  EXPECT_EQ(f.editor->Store().TabWidth(), 2);
}

TEST(EditorPane, GoToLinePutsTheCaretAtTheLineStart) {
  EditorFixture f;
  f.Load("a\nb\nc\nd\ne\n");
  f.pane->GoToLine(3);
  EXPECT_EQ(f.pane->StatusText().toStdString(), "(  3,  0)-(  3,  0) Ln   3, Col   0");
  EXPECT_EQ(f.editor->FirstVisibleLine(), 0);  // in view already: the view stays
  f.pane->GoToLine(99);                        // past the end: the last line
  EXPECT_EQ(Status(f), "(  4,  0)-(  4,  0) Ln   4, Col   0");
}

TEST(EditorPane, QuickFindSelectsEachOccurrenceThenOffersTheTop) {
  EditorFixture f;
  f.Load("foo bar\nFoo baz\n");
  f.host.answers.push_back(Answer::Yes);
  f.pane->QuickFind("foo");
  EXPECT_EQ(Status(f), "(  0,  0)-(  0,  3) Ln   0, Col   0");
  f.pane->ExecuteCommand(57640);  // Find Next repeats the text
  EXPECT_EQ(Status(f), "(  1,  0)-(  1,  3) Ln   1, Col   0");
  EXPECT_TRUE(f.host.messages.empty());
  f.pane->ExecuteCommand(57640);
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].caption, "Text not found");
  EXPECT_EQ(Status(f), "(  0,  0)-(  0,  3) Ln   0, Col   0");
}

TEST(EditorPane, ReplaceDialogReplacesAllAsOneUndoStep) {
  EditorFixture f;
  f.Load("int a = a + a;\n");
  f.editor->Store().SetSelection(0, 4, 0, 5);
  QSignalSpy used(f.pane.get(), &EditorPane::findTextUsed);
  ASSERT_TRUE(f.pane->ExecuteCommand(57641));
  FindReplaceDialog* dialog = f.editor->LastFindDialog();
  ASSERT_NE(dialog, nullptr);
  auto* what = dialog->findChild<QLineEdit*>(QStringLiteral("findWhat"));
  auto* with = dialog->findChild<QLineEdit*>(QStringLiteral("replaceWith"));
  ASSERT_TRUE(what && with);
  EXPECT_EQ(what->text(), QStringLiteral("a"));  // the selection
  with->setText(QStringLiteral("bb"));
  QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("replaceAll")), Qt::LeftButton);
  EXPECT_EQ(f.Saved(), "int bb = bb + bb;\n");
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].text, ReplaceAllMessage(3));
  ASSERT_EQ(used.count(), 1);
  EXPECT_EQ(used.at(0).at(0).toString(), QStringLiteral("a"));
  f.pane->ExecuteCommand(57643);
  EXPECT_EQ(f.Saved(), "int a = a + a;\n");
  dialog->close();
}

TEST(EditorPane, FindDialogFindsNextAndReplaceReplacesTheSelection) {
  EditorFixture f;
  f.Load("one Two two\n");
  f.pane->ExecuteCommand(57636);
  FindReplaceDialog* dialog = f.editor->LastFindDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("replaceWith")), nullptr);
  dialog->findChild<QLineEdit*>(QStringLiteral("findWhat"))->setText(QStringLiteral("two"));
  dialog->findChild<QCheckBox*>(QStringLiteral("matchCase"))->setChecked(true);
  auto* next = dialog->findChild<QPushButton*>(QStringLiteral("findNext"));
  QTest::mouseClick(next, Qt::LeftButton);
  EXPECT_EQ(Status(f), "(  0,  8)-(  0, 11) Ln   0, Col   8");
  QTest::mouseClick(next, Qt::LeftButton);  // no other match with this case
  EXPECT_EQ(f.host.beeps.size(), 1u);
  dialog->close();

  // Replace, then Find Next continues after the replaced text.
  f.editor->Store().SetSelection(0, 0);
  f.pane->ExecuteCommand(57641);
  dialog = f.editor->LastFindDialog();
  dialog->findChild<QLineEdit*>(QStringLiteral("findWhat"))->setText(QStringLiteral("t"));
  dialog->findChild<QLineEdit*>(QStringLiteral("replaceWith"))->setText(QStringLiteral("tt"));
  QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("findNext")), Qt::LeftButton);
  QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("replace")), Qt::LeftButton);
  QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("findNext")), Qt::LeftButton);
  EXPECT_EQ(Status(f), "(  0,  9)-(  0, 10) Ln   0, Col   9");
  EXPECT_EQ(f.Saved(), "one ttwo two\n");
  dialog->close();
}

TEST(EditorPane, MatchBracketMovesTheCaretAndFlashes) {
  EditorFixture f;
  f.Load("f(a(b)\n\")\" c)\n");
  f.editor->Store().SetSelection(0, 1);
  EXPECT_TRUE(f.pane->IsCommandEnabled(32850));
  f.pane->ExecuteCommand(32850);
  // The bracket inside the string counts like any other.
  EXPECT_EQ(Status(f), "(  1,  1)-(  1,  1) Ln   1, Col   1");
  EXPECT_TRUE(f.editor->IsFlashing());
  ASSERT_EQ(f.host.beeps.size(), 1u);
  EXPECT_EQ(f.host.beeps[0], BeepKind::Hand);
  f.editor->Store().SetSelection(0, 2);
  EXPECT_FALSE(f.pane->IsCommandEnabled(32850));
}

TEST(EditorPane, LoadAndSaveFailuresKeepTheText) {
  EditorFixture f;
  f.Load("keep me\n");
  QTest::keyClicks(f.editor, "x");
  std::string error;
  EXPECT_FALSE(f.pane->LoadFromFile(f.Path("."), &error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(f.pane->LoadFromFile(f.Path("missing.java"), &error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(f.pane->SaveToFile(f.Path("no/such/dir/A.java"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(f.pane->IsModified());
  EXPECT_EQ(f.Saved(), "xkeep me\n");
}

class RecordingSink : public IOutlineSink {
 public:
  int BeginOutline(const std::string& title) override {
    items.push_back("root " + title);
    return 0;
  }
  int AddOutlineItem(const std::string& text, int kind, int parent) override {
    items.push_back(std::to_string(parent) + " " + std::to_string(kind) + " " + text);
    return static_cast<int>(items.size()) - 1;
  }
  void EndOutline() override { items.push_back("end"); }
  std::vector<std::string> items;
};

TEST(EditorPane, OutlineGoesToTheAttachedSinkAndMembersCanBeShown) {
  RecordingSink sink;
  EditorFixture java;
  java.pane->SetOutlineSink(&sink);
  std::string text = "class A {\n";
  for (int i = 0; i < 60; ++i) text += "  int f" + std::to_string(i) + ";\n";
  text += "  void run() {\n  }\n}\n";
  java.Load(text);
  ASSERT_FALSE(sink.items.empty());
  EXPECT_EQ(sink.items.front(), "root Loaded.java");
  EXPECT_EQ(sink.items.back(), "end");
  EXPECT_TRUE(std::find(sink.items.begin(), sink.items.end(), "0 2 A") != sink.items.end());
  // The caret lands on the member's name, and its line shows below a few lines of
  // context, the editor taking the keys.
  EXPECT_TRUE(java.pane->ShowMember("A", "run"));
  EXPECT_EQ(Status(java), "( 61,  7)-( 61,  7) Ln  61, Col   7");
  EXPECT_EQ(java.editor->FirstVisibleLine(), 61 - JumpContextLines(java.editor->VisibleLines()));
  EXPECT_GT(JumpContextLines(java.editor->VisibleLines()), 0);
  EXPECT_EQ(java.editor->window()->focusWidget(), java.editor);
  EXPECT_FALSE(java.pane->ShowMember("A", "absent"));
  EXPECT_EQ(java.host.beeps.size(), 1u);

  RecordingSink perlSink;
  EditorFixture perl(ViewKind::Perl);
  perl.pane->SetOutlineSink(&perlSink);
  perl.Load("sub hello {\n}\n");
  ASSERT_FALSE(perlSink.items.empty());
  EXPECT_EQ(perlSink.items.front(), "root Perl");

  RecordingSink htmlSink;
  EditorFixture html(ViewKind::Html);
  html.pane->SetOutlineSink(&htmlSink);
  html.Load("<html></html>\n");
  EXPECT_TRUE(htmlSink.items.empty());
}

}  // namespace
}  // namespace tamso::gui::testing
