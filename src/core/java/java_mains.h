#pragma once
// Which classes of a Java source can be launched: those that declare a main method
// in any form current launchers accept (static or instance, with a String[] or
// String... parameter or none), and the class a compact source file (methods with
// no class around them) is given implicitly, named after the file.

#include <string>
#include <string_view>
#include <vector>

namespace tamso {

struct JavaClassMain {
  std::string name;  // binary name within the package: "Outer" or "Outer$Inner"
  bool hasMain = false;
};

struct JavaMains {
  std::string package;
  // Every class, interface, enum and record the text declares, in order of
  // appearance; a compact source file's implicit class comes first.
  std::vector<JavaClassMain> classes;

  // The fully qualified names of the classes with a main, in order.
  std::vector<std::string> Launchable() const;
  // The one to run: the class named after the file when it has a main, else the
  // first that has one; "" when none does.
  std::string Preferred(std::string_view fileBaseName) const;
};

// Reads a source's classes; fileBaseName ("Hello" of Hello.java) names the implicit
// class of a compact source file. Comments, strings, text blocks and character
// literals never count.
JavaMains FindJavaMains(std::string_view source, std::string_view fileBaseName);

// The same for a file on disk (nothing when it cannot be read).
JavaMains FindJavaMainsOfFile(const std::string& path);

}  // namespace tamso
