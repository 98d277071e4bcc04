// A compile's diagnostics in the gutter of the real editors: marked after the
// compile, moved with the lines while the user types, shown as the gutter's
// tooltip, given to a window opened later, and cleared by the next compile.

#include <QTest>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/view_commands.h"
#include "jobs/compile_wiring.h"
#include "jobs/output_bar.h"
#include "jobs/process_runner.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "gui_fixture.h"
#include "platform/command_line.h"

namespace tamso::gui::testing {
namespace {

class CompileMarksTest : public ShellTest {
 protected:
  CompileMarksTest() {
    realEditors = true;
    SetOutputBarFactory([this](QWidget* parent) {
      OutputBar* bar = CreateOutputBarWidget(host, parent);
      return OutputBarParts{bar, bar};
    });
  }
  ~CompileMarksTest() override {
    SetViewCommand(cmd::kCompile, {});
    SetOutputBarFactory({});
  }
  static CSourceEditor* EditorOf(ChildFrame* child) {
    return static_cast<SourceEditorPane*>(child->Pane())->Editor();
  }
  // The compiler is a stand-in that writes one diagnostic line on standard error.
  void CompilerSays(const std::string& line) {
    profile->WriteString(
        "Compiler", "javac",
        QuoteArgument(TAMSO_CHILD_PATH, false) + " stderr " + QuoteArgument(line, true));
  }
  void Compile() {
    const size_t beeps = host.beeps.size();
    ASSERT_TRUE(window()->Router().Execute(cmd::kCompile));
    // The application goes idle (one beep), then the worker writes its closing lines
    // and beeps once more as its last call; only then may the test go on.
    const OutputText& text = dynamic_cast<OutputBar&>(window()->OutputWindow()).Text();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
          return host.beeps.size() >= beeps + 2 && text.Line(text.LineCount() - 1) == kDoneLine;
        },
        30000));
  }
};

TEST_F(CompileMarksTest, DiagnosticsMarkTheirLinesAndFollowTheText) {
  Start();
  InstallCompileCommand(host, *profile, *shell, nullptr);
  const std::string a = File("A.java", "class A {\n  void f() {\n    g();\n  }\n}\n");
  const std::string b = File("B.java", "class B {\n  int x;\n}\n");
  ChildFrame* child = window()->OpenDocumentFile(a);
  ASSERT_NE(child, nullptr);
  CSourceEditor* editor = EditorOf(child);

  CompilerSays("A.java:3: error: cannot find symbol");
  Compile();
  ASSERT_EQ(editor->Diagnostics().All().size(), 1u);
  EXPECT_EQ(editor->Diagnostics().SeverityAt(2), DiagnosticSeverity::Error);
  const int y = (2 - editor->FirstVisibleLine()) * editor->LineHeight() + 1;
  EXPECT_EQ(editor->GutterToolTip(QPoint(1, y)), "cannot find symbol");
  EXPECT_EQ(editor->GutterToolTip(QPoint(1, y + editor->LineHeight())), "");

  // A line opened above the marked one pushes the mark down with its text.
  editor->GoToLine(2);
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(editor->Diagnostics().SeverityAt(3), DiagnosticSeverity::Error);
  EXPECT_FALSE(editor->Diagnostics().SeverityAt(2));

  // The output names another file: a window opened on it afterwards shows the mark.
  CompilerSays("B.java:2: warning: [serial] no serialVersionUID");
  Compile();
  EXPECT_TRUE(editor->Diagnostics().Empty());  // A compiled clean this time
  ChildFrame* other = window()->OpenDocumentFile(b);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(EditorOf(other)->Diagnostics().SeverityAt(1), DiagnosticSeverity::Warning);
  EXPECT_EQ(EditorOf(other)->Diagnostics().MessageAt(1), "[serial] no serialVersionUID");
}

}  // namespace
}  // namespace tamso::gui::testing
