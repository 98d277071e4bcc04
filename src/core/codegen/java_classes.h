#pragma once
// The classes of a Java text as the code wizard lists them: each class (from the
// outline parser) with the fields whose declared type is an AWT or Swing component
// and its methods.

#include <string>
#include <string_view>
#include <vector>

namespace tamso {

class ILineSource;

struct JavaClassInfo {
  std::string name;
  std::vector<std::string> components;  // field names, in declaration order
  std::vector<std::string> methods;     // method names, each once, in order
};

std::vector<JavaClassInfo> ReadJavaClasses(const ILineSource& text);

// True for the simple name of an AWT or Swing component class (Button, JButton, ...),
// and for "JComboBox<>" and "JList<>".
bool IsComponentType(std::string_view typeName);

// The declared type of the field named name on this line ("JButton" for
// "private JButton ok, cancel;" and "javax.swing.JButton ok;", "JComboBox<>" for
// "JComboBox<String> box;"); empty when the line declares no such field or the type
// is a primitive or an array.
std::string FieldTypeOnLine(std::string_view line, std::string_view name);

}  // namespace tamso
