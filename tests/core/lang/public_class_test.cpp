#include <gtest/gtest.h>

#include "lang/outline.h"
#include "lang_test_support.h"

namespace tamso {
namespace {

using testing::VectorSource;

std::string NameOf(std::string_view text) {
  return FirstPublicClassName(VectorSource::FromText(text));
}

TEST(FirstPublicClassName, SkipsCommentsStringsAndOtherPublicMembers) {
  EXPECT_EQ(NameOf("public class Greeter {}\n"), "Greeter");
  EXPECT_EQ(NameOf("package a.b;\nimport java.util.*;\n\nclass Helper {}\n"
                   "public abstract\n  final class\n Main$1 extends Helper {}\n"),
            "Main$1");
  // Comments (one open across lines), strings and characters are not code.
  EXPECT_EQ(NameOf("// public class Old\n/* public class\n Older */ String s = \"public class "
                   "Str\"; char c = '\\'';\npublic interface Shape {}\n"),
            "Shape");
  // A public method or field of a class that is not public names nothing.
  EXPECT_EQ(
      NameOf("class A {\n  public static void main(String[] a) {}\n  public int classes;\n}\n"),
      "");
  EXPECT_EQ(NameOf("public enum Colour { RED }\npublic class Later {}\n"), "Colour");
  EXPECT_EQ(NameOf(""), "");
  EXPECT_EQ(NameOf("public class"), "");  // the text ends before the name
}

}  // namespace
}  // namespace tamso
