#include <gtest/gtest.h>

#include "java/java_mains.h"

namespace tamso {
namespace {

using Names = std::vector<std::string>;

TEST(JavaMains, EveryLaunchableFormIsFound) {
  const char* forms[] = {
      "public class A { public static void main(String[] args) {} }",
      "class A { static void main(String... a) {} }",
      "class A { public static void main(final String args[]) {} }",
      "class A { static public void main(java.lang.String[] a) {} }",
      "class A { void main() {} }",                 // an instance main
      "class A { void main(String[] a) {} }",       // an instance main with arguments
      "interface A { static void main(String[] a) {} }",
      "record A(int x) { public static void main(String[] a) {} }",
      "enum A { X; public static void main(String[] a) {} }",
  };
  for (const char* text : forms) {
    SCOPED_TRACE(text);
    EXPECT_EQ(FindJavaMains(text, "A").Launchable(), (Names{"A"}));
  }
}

TEST(JavaMains, LookalikesAreNotMains) {
  const char* texts[] = {
      "class A { int main(String[] a) { return 0; } }",
      "class A { void main(int x) {} }",
      "class A { void main(String a) {} }",
      "class A { void run() { main(args); other.main(null); } }",
      "class A { // void main() {}\n /* void main() {} */ String s = \"void main() {}\"; }",
      "class A { String t = \"\"\"\n  void main() {}\n  \"\"\"; }",
      "class A { Object c = A.class; void mainly() {} }",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    const JavaMains m = FindJavaMains(text, "A");
    EXPECT_TRUE(m.Launchable().empty());
    ASSERT_EQ(m.classes.size(), 1u);
    EXPECT_EQ(m.classes[0].name, "A");
  }
}

TEST(JavaMains, PackageNestedClassesAndTheFilesOwnClassFirst) {
  const JavaMains m = FindJavaMains(
      "package a.b;\n"
      "class Helper { public static void main(String[] a) {} }\n"
      "public class Main {\n"
      "  static class Inner { public static void main(String[] a) {} }\n"
      "  void run() { new Thread(() -> { }).start(); }\n"
      "  public static void main(String[] args) {}\n"
      "}\n",
      "Main");
  EXPECT_EQ(m.package, "a.b");
  EXPECT_EQ(m.Launchable(), (Names{"a.b.Helper", "a.b.Main", "a.b.Main$Inner"}));
  EXPECT_EQ(m.Preferred("Main"), "a.b.Main");
  EXPECT_EQ(m.Preferred("Other"), "a.b.Helper");
  // A method of a nested class is not the outer class's main.
  const JavaMains nested =
      FindJavaMains("class Out { class In { void main() {} } void other() {} }", "Out");
  EXPECT_EQ(nested.Launchable(), (Names{"Out$In"}));
}

TEST(JavaMains, CompactSourceFileIsItsOwnImplicitClass) {
  const JavaMains m = FindJavaMains(
      "import java.util.*;\n\nString greet() { return \"hi\"; }\n\nvoid main() {\n"
      "  System.out.println(greet());\n}\n\nrecord Point(int x, int y) {}\n",
      "Greeter");
  EXPECT_EQ(m.Launchable(), (Names{"Greeter"}));
  EXPECT_EQ(m.Preferred("Greeter"), "Greeter");
  // Broken text never throws or loops: unbalanced braces, a cut-off declaration.
  EXPECT_TRUE(FindJavaMains("}}} class { void main( String[", "X").Launchable().empty());
  EXPECT_TRUE(FindJavaMains("", "X").classes.empty());
}

}  // namespace
}  // namespace tamso
