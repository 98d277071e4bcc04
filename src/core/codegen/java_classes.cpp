#include "codegen/java_classes.h"

#include <algorithm>
#include <map>

#include "lang/language.h"
#include "lang/outline.h"

namespace tamso {

namespace {

// Simple names of the java.awt and javax.swing classes a user places in a window.
constexpr std::string_view kComponentTypes[] = {
    "Button",
    "Canvas",
    "Checkbox",
    "Choice",
    "Component",
    "Container",
    "Dialog",
    "FileDialog",
    "Frame",
    "JApplet",
    "JButton",
    "JCheckBox",
    "JCheckBoxMenuItem",
    "JColorChooser",
    "JComboBox",
    "JComponent",
    "JDesktopPane",
    "JDialog",
    "JEditorPane",
    "JFileChooser",
    "JFormattedTextField",
    "JFrame",
    "JInternalFrame",
    "JLabel",
    "JLayeredPane",
    "JList",
    "JMenu",
    "JMenuBar",
    "JMenuItem",
    "JOptionPane",
    "JPanel",
    "JPasswordField",
    "JPopupMenu",
    "JProgressBar",
    "JRadioButton",
    "JRadioButtonMenuItem",
    "JRootPane",
    "JScrollBar",
    "JScrollPane",
    "JSeparator",
    "JSlider",
    "JSpinner",
    "JSplitPane",
    "JTabbedPane",
    "JTable",
    "JTextArea",
    "JTextField",
    "JTextPane",
    "JToggleButton",
    "JToolBar",
    "JToolTip",
    "JTree",
    "JViewport",
    "JWindow",
    "Label",
    "List",
    "Panel",
    "Scrollbar",
    "ScrollPane",
    "TextArea",
    "TextComponent",
    "TextField",
    "Window",
    "Applet",
    "JLayer",
    "Box",
};

struct Token {
  int type;
  std::string_view text;
};

bool IsName(const Token& t) {
  return t.type == kTokenWord && !t.text.empty() && t.text.front() != '@';
}
bool IsDelim(const Token& t, char c) {
  return t.type == kTokenDelimiter && t.text.front() == c;
}

// Records the outline's classes with their field and method names.
class ClassSink : public IOutlineSink {
 public:
  struct Member {
    std::string name;
    int kind;
  };
  struct Class {
    std::string name;
    std::vector<Member> members;
  };
  int BeginOutline(const std::string&) override {
    classes.clear();
    parents_.clear();
    return Remember(-1);
  }
  int AddOutlineItem(const std::string& text, int kind, int parent) override {
    if (kind == kOutlineClass) {
      classes.push_back({text, {}});
      return Remember(static_cast<int>(classes.size()) - 1);
    }
    const int cls =
        parent >= 0 && parent < static_cast<int>(parents_.size()) ? parents_[parent] : -1;
    if (cls >= 0 && (kind == kOutlineField || kind == kOutlineMethod))
      classes[static_cast<std::size_t>(cls)].members.push_back({text, kind});
    return Remember(-1);
  }
  void EndOutline() override {}

  std::vector<Class> classes;

 private:
  // Handle -> index of the class it is (-1 for any other item).
  int Remember(int classIndex) {
    parents_.push_back(classIndex);
    return static_cast<int>(parents_.size()) - 1;
  }
  std::vector<int> parents_;
};

}  // namespace

bool IsComponentType(std::string_view typeName) {
  // Of the components only these two take a type argument; a generic List is a
  // collection, not the AWT list.
  if (typeName == "JComboBox<>" || typeName == "JList<>") return true;
  return std::find(std::begin(kComponentTypes), std::end(kComponentTypes), typeName) !=
         std::end(kComponentTypes);
}

std::string FieldTypeOnLine(std::string_view line, std::string_view name) {
  const Language& java = JavaLanguage();
  std::vector<Token> tokens;
  for (LineToken t = java.NextToken(line, 0); t.type != kTokenEnd;
       t = java.NextToken(line, t.end)) {
    tokens.push_back({t.type, line.substr(t.start, t.end - t.start)});
    if (t.end <= t.start) break;
  }
  auto at = std::find_if(tokens.begin(), tokens.end(),
                         [&](const Token& t) { return IsName(t) && t.text == name; });
  if (at == tokens.end()) return {};
  const std::size_t k = static_cast<std::size_t>(at - tokens.begin());
  // The declaration starts after the last statement or block boundary before the name.
  std::size_t start = 0;
  for (std::size_t i = 0; i < k; ++i)
    if (IsDelim(tokens[i], ';') || IsDelim(tokens[i], '{') || IsDelim(tokens[i], '}'))
      start = i + 1;
  // Its type is what stands before the first declared name ("Type name").
  for (std::size_t i = start; i < k; ++i) {
    if (!IsName(tokens[i + 1])) continue;
    if (IsName(tokens[i])) return std::string(tokens[i].text);
    if (!IsDelim(tokens[i], '>')) continue;
    // A generic type: the word before its matching "<".
    int depth = 0;
    for (std::size_t j = i + 1; j-- > start;) {
      if (IsDelim(tokens[j], '>')) ++depth;
      if (IsDelim(tokens[j], '<') && --depth == 0)
        return j > start && IsName(tokens[j - 1]) ? std::string(tokens[j - 1].text) + "<>"
                                                  : std::string();
    }
    return {};
  }
  return {};
}

std::vector<JavaClassInfo> ReadJavaClasses(const ILineSource& text) {
  ClassSink sink;
  BuildJavaOutline(text, std::string(), sink);
  std::vector<JavaClassInfo> out;
  for (const ClassSink::Class& c : sink.classes) {
    JavaClassInfo info{c.name, {}, {}};
    for (const ClassSink::Member& m : c.members) {
      if (m.kind == kOutlineMethod) {
        const std::string name(OutlineMemberName(m.name));
        if (std::find(info.methods.begin(), info.methods.end(), name) == info.methods.end())
          info.methods.push_back(name);
        continue;
      }
      const std::optional<int> line = FindJavaMember(text, c.name, m.name);
      if (!line) continue;
      if (IsComponentType(FieldTypeOnLine(text.Line(*line), m.name)) &&
          std::find(info.components.begin(), info.components.end(), m.name) ==
              info.components.end())
        info.components.push_back(m.name);
    }
    out.push_back(std::move(info));
  }
  return out;
}

}  // namespace tamso
