#include <gtest/gtest.h>

#include "lang/outline.h"
#include "lang_test_support.h"

namespace tamso {
namespace {

using testing::VectorSource;

std::string NameOf(std::string_view text) {
  return JavaFileClassName(VectorSource::FromText(text));
}

TEST(JavaFileClassName, TheFirstPublicTopLevelTypeOutsideCommentsAndStrings) {
  EXPECT_EQ(NameOf("public class Greeter {}\n"), "Greeter");
  EXPECT_EQ(NameOf("package a.b;\nimport java.util.*;\n\nclass Helper {}\n"
                   "public abstract\n  final class\n Main$1 extends Helper {}\n"),
            "Main$1");
  // Comments (one open across lines), strings and characters are not code.
  EXPECT_EQ(NameOf("// public class Old\n/* public class\n Older */ String s = \"public class "
                   "Str\"; char c = '\\'';\npublic interface Shape {}\n"),
            "Shape");
  EXPECT_EQ(NameOf("public enum Colour { RED }\npublic class Later {}\n"), "Colour");
  EXPECT_EQ(NameOf("@Deprecated(since = \"1\") public @interface Marker {}\n"), "Marker");
  EXPECT_EQ(NameOf(""), "");
  EXPECT_EQ(NameOf("public class"), "");  // the text ends before the name
}

TEST(JavaFileClassName, WithoutAPublicTypeTheOnlyTopLevelClassNamesTheFile) {
  // A package-private test class, public methods and all.
  EXPECT_EQ(
      NameOf("class ATest {\n  public static void main(String[] a) {}\n  public int classes;\n}\n"),
      "ATest");
  // Nested types, public or not, and class literals are not top-level types.
  EXPECT_EQ(NameOf("import static x.record.Y;\n@Tag(Outer.class)\nfinal class Outer {\n"
                   "  public static class Inner { Object o = Inner.class; }\n"
                   "  String t = \"\"\"\n    } class Fake {\n    \"\"\";\n"
                   "  enum Kind { A }\n}\n"),
            "Outer");
  // Two package-private classes: neither is the file's.
  EXPECT_EQ(NameOf("class A {}\nclass B {}\n"), "");
  EXPECT_EQ(NameOf("record Point(int x, int y) { }\n"), "Point");
}

}  // namespace
}  // namespace tamso
