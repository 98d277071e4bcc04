#include "codegen/code_wizard.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/lang/lang_test_support.h"
#include "support/fake_host.h"

namespace tamso {
namespace {

using testing::FakeHost;
using testing::VectorSource;

TEST(CodeWizard, SelectingAComponentListsThe28EventsSortedAndClearingEmptiesIt) {
  const std::vector<std::string>& added = AwtEventNames();
  ASSERT_EQ(added.size(), 28u);
  EXPECT_EQ(added.front(), "WINDOW_DESTROY");
  EXPECT_EQ(added.back(), "LOST_FOCUS");
  const std::vector<std::string> shown = EventsForComponent("okButton");
  ASSERT_EQ(shown.size(), 28u);
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
  EXPECT_EQ(shown.front(), "ACTION_EVENT");
  EXPECT_EQ(shown[1], "GOT_FOCUS");
  EXPECT_EQ(shown.back(), "WINDOW_MOVED");
  EXPECT_TRUE(std::is_permutation(shown.begin(), shown.end(), added.begin()));
  EXPECT_TRUE(EventsForComponent("").empty());
}

TEST(CodeWizard, FieldTypesAreFoundThroughModifiersQualifiersAndGenerics) {
  EXPECT_EQ(FieldTypeOnLine("  private final JButton ok = new JButton(\"OK\");", "ok"), "JButton");
  EXPECT_EQ(FieldTypeOnLine("Button a, b;", "b"), "Button");
  EXPECT_EQ(FieldTypeOnLine("protected java.awt.TextField name;", "name"), "TextField");
  EXPECT_EQ(FieldTypeOnLine("JComboBox<String> box;", "box"), "JComboBox<>");
  EXPECT_EQ(FieldTypeOnLine("Map<String, List<JButton>> m;", "m"), "Map<>");
  EXPECT_EQ(FieldTypeOnLine("@Inject JLabel title;", "title"), "JLabel");
  EXPECT_EQ(FieldTypeOnLine("int x; Label l;", "l"), "Label");
  EXPECT_EQ(FieldTypeOnLine("JButton[] buttons;", "buttons"), "");
  EXPECT_EQ(FieldTypeOnLine("static int count;", "count"), "");
  EXPECT_EQ(FieldTypeOnLine("nothing here", "ok"), "");
}

TEST(CodeWizard, PageListsClassesSortedWithTheirComponentsAndMethods) {
  const VectorSource text = VectorSource::FromText(
      "import java.awt.*;\n"
      "import javax.swing.*;\n"
      "public class Zeta extends Frame {\n"
      "  Button quit, help;\n"
      "  private JComboBox<String> size = new JComboBox<>();\n"
      "  java.util.List<JButton> extra;\n"
      "  int count = 0;\n"
      "  String title;\n"
      "  Zeta() { quit = new Button(\"Quit\"); }\n"
      "  Zeta(String t) { this(); }\n"
      "  public boolean handleEvent(Event e) { return false; }\n"
      "}\n"
      "class Alpha extends Panel {\n"
      "  TextArea notes;\n"
      "  void paint() {}\n"
      "}\n");
  const WizardPage page = MakeWizardPage("/src/Zeta.java", text);
  EXPECT_EQ(page.file, "/src/Zeta.java");
  ASSERT_EQ(page.classes.size(), 2u);
  EXPECT_EQ(page.classes[0].name, "Alpha");
  EXPECT_EQ(page.classes[1].name, "Zeta");
  EXPECT_EQ(page.ComponentsOf("Zeta"), (std::vector<std::string>{"help", "quit", "size"}));
  EXPECT_EQ(page.MethodsOf("Zeta"), (std::vector<std::string>{"Zeta", "handleEvent"}));
  EXPECT_EQ(page.ComponentsOf("Alpha"), (std::vector<std::string>{"notes"}));
  EXPECT_EQ(page.MethodsOf("Alpha"), (std::vector<std::string>{"paint"}));
  EXPECT_TRUE(page.ComponentsOf("Missing").empty());
}

struct FlowRecord {
  std::vector<std::string> calls;
  std::optional<NewClassChoice> newClass;
  std::optional<std::string> skeleton;
  NewClassDialogs Dialogs() {
    return {[this](const NewClassChoice& initial) {
              calls.push_back("ask " + initial.className + "|" + initial.sourceFile + "|" +
                              std::to_string(initial.typeIndex));
              return newClass;
            },
            [this](const std::string& name, const std::string& type) {
              calls.push_back("skeletons " + name + "|" + type);
              return skeleton;
            },
            [this](const std::string& name, const std::string& text) {
              calls.push_back("open " + name + "|" + text);
            }};
  }
};

TEST(CodeWizard, CreateNewClassRunsTheDesignerSkeletonsThenShowsAndOpensTheText) {
  FakeHost host;
  FlowRecord flow;
  flow.newClass = NewClassChoice{"Clock", "Clock.java", 4};
  flow.skeleton = "public class Clock extends Frame {\r\n}";
  CreateNewClass(host, flow.Dialogs());
  EXPECT_EQ(flow.calls,
            (std::vector<std::string>{"ask Unknown|This FileName|-1", "skeletons Clock|Frame",
                                      "open Clock.java|public class Clock extends Frame {\r\n}"}));
  EXPECT_EQ(host.MessageTexts(),
            (std::vector<std::string>{"public class Clock extends Frame {\r\n}"}));
}

TEST(CodeWizard, TheNewDocumentIsNamedAfterTheSourceFileField) {
  auto name = [](const std::string& cls, const std::string& file) {
    return NewClassDocumentName(NewClassChoice{cls, file, -1});
  };
  EXPECT_EQ(name("Clock", "Clock.java"), "Clock.java");
  EXPECT_EQ(name("Clock", "  /home/me/src/Timing.java "), "Timing.java");
  // The placeholder, or nothing, leaves the class name.
  EXPECT_EQ(name("Clock", "This FileName"), "Clock");
  EXPECT_EQ(name("Clock", ""), "Clock");
  EXPECT_EQ(name("Clock", "/home/me/"), "Clock");
  EXPECT_EQ(NewClassTypeName(0), "Applet");
  EXPECT_EQ(NewClassTypeName(-1), "");
  EXPECT_EQ(NewClassTypeName(7), "");
}

TEST(CodeWizard, CancelPathsOfCreateNewClass) {
  {
    // Cancelling the first dialog ends the flow with no further dialog.
    FakeHost host;
    FlowRecord flow;
    CreateNewClass(host, flow.Dialogs());
    EXPECT_EQ(flow.calls, (std::vector<std::string>{"ask Unknown|This FileName|-1"}));
    EXPECT_TRUE(host.messages.empty());
  }
  {
    // Cancelling the skeletons still shows the message box, empty, and opens nothing.
    FakeHost host;
    FlowRecord flow;
    flow.newClass = NewClassChoice{};
    CreateNewClass(host, flow.Dialogs());
    EXPECT_EQ(flow.calls,
              (std::vector<std::string>{"ask Unknown|This FileName|-1", "skeletons Unknown|"}));
    EXPECT_EQ(host.MessageTexts(), (std::vector<std::string>{""}));
  }
}

}  // namespace
}  // namespace tamso
