#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "lang/language.h"
#include "lang/outline.h"
#include "lang_test_support.h"

namespace tamso {
namespace {

using testing::RecordingSink;
using testing::VectorSource;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Outline(const Language& lang, std::string_view text,
                    const std::string& title = "Test.java") {
  RecordingSink sink;
  lang.BuildOutline(VectorSource::FromText(text), title, sink);
  EXPECT_EQ(sink.begins, 1);
  EXPECT_EQ(sink.ends, 1);
  return sink.Text();
}

// Compares the outline of tests/data/lang/<name> with <name>.outline; on a
// mismatch the actual outline is written to <name>.outline.actual for review.
void ExpectGoldenOutline(const Language& lang, const std::string& name) {
  const std::string dir = std::string(TAMSO_TEST_DATA) + "/lang/";
  const std::string source = ReadFile(dir + name);
  ASSERT_FALSE(source.empty()) << dir + name;
  const std::string actual = Outline(lang, source, name);
  const std::string expected = ReadFile(dir + name + ".outline");
  if (actual != expected) {
    std::ofstream(dir + name + ".outline.actual", std::ios::binary) << actual;
  }
  EXPECT_EQ(actual, expected) << "actual outline written to " << dir + name + ".outline.actual";
}

TEST(JavaOutline, GoldenFile) {
  ExpectGoldenOutline(JavaLanguage(), "Clock.java");
}
// Sealed types, records, nested types at any depth, enum constants, text blocks.
TEST(JavaOutline, GoldenFileOfTodaysJava) {
  ExpectGoldenOutline(JavaLanguage(), "Shapes.java");
}
TEST(PerlOutline, GoldenFile) {
  ExpectGoldenOutline(PerlLanguage(), "report.pl");
}

TEST(JavaOutline, PackageAndImports) {
  EXPECT_EQ(Outline(JavaLanguage(),
                    "package a.b.c;\nimport java.awt.*;\nimport java.util\n"
                    "  .List;\nimport static a.B.c;\n"),
            "Test.java\n"
            "  6 Imports\n"
            "    1 java.awt.*\n"
            "    1 java.util.List\n"
            "    1 static a.B.c\n"
            "  8 a.b.c\n");
}

TEST(JavaOutline, ClassMembers) {
  EXPECT_EQ(Outline(JavaLanguage(),
                    "class A extends B implements C, D {\n"
                    "  int x, y = f(1, 2), z;\n"
                    "  A() { int local; g(h); }\n"
                    "  void m(int p, String q) throws E, F;\n"
                    "  java.util.Map<K, V> map;\n"
                    "  int[] arr = { 1, 2 };\n"
                    "}\n"),
            "Test.java\n"
            "  6 Imports\n"
            "  2 A\n"
            "    3 B\n"
            "    7 C\n"
            "    9 x\n"
            "    9 y\n"
            "    9 z\n"
            "    4 A()\n"
            "    4 m(int, String)\n"
            "    9 map\n"
            "    9 arr\n");
}

TEST(JavaOutline, BracesInLiteralsAndInitialisersKeepTheDepth) {
  EXPECT_EQ(Outline(JavaLanguage(),
                    "class A {\n"
                    "  char c = '{'; String s = \"\\\"{\";\n"
                    "  Object o = new Object() { int hidden; public String toString() {\n"
                    "    return \"}\"; } };\n"
                    "  void after() { char d = '}'; }\n"
                    "}\n"
                    "class B { int b; }\n"),
            "Test.java\n"
            "  6 Imports\n"
            "  2 A\n"
            "    9 c\n"
            "    9 s\n"
            "    9 o\n"
            "    4 after()\n"
            "  2 B\n"
            "    9 b\n");
}

TEST(JavaOutline, HostileInputs) {
  const std::string inputs[] = {"",
                                "class",
                                "class A extends",
                                "public class A {\n  void f(",
                                "/* never closed\nclass A {}",
                                "import java.util.List\npublic class A { int x; }",
                                "}}}} class A { int x; } ))) ;;;",
                                std::string("\0", 1),
                                "class A { int x = ",
                                "\"open string\nclass A { int y; }"};
  for (const std::string& in : inputs) Outline(JavaLanguage(), in);
  // A broken import does not swallow the class after it; stray closers do no harm.
  EXPECT_EQ(Outline(JavaLanguage(), inputs[5]),
            "Test.java\n  6 Imports\n    1 java.util.List\n  2 A\n    9 x\n");
  EXPECT_EQ(Outline(JavaLanguage(), inputs[6]), "Test.java\n  6 Imports\n  2 A\n    9 x\n");
  EXPECT_EQ(Outline(JavaLanguage(), inputs[9]), "Test.java\n  6 Imports\n  2 A\n    9 y\n");
}

TEST(JavaOutline, ControlBytesBetweenTokensAreBlanks) {
  // Form feeds (white space in Java) and stray control bytes do not glue or add words.
  const std::string plain = "class A {\n  int x;\n\n  void f() {}\n}\n";
  const std::string marked(
      "\x0c"
      "class\x0c"
      "A {\n  int\x01x;\n\x0c\n  void f() {}\x7f\n}\0\n",
      40);
  EXPECT_EQ(Outline(JavaLanguage(), marked), Outline(JavaLanguage(), plain));
}

TEST(JavaOutline, MethodLabelsCarryTheirParameterTypes) {
  const std::string text =
      "record P(@Deprecated int x, java.util.List<? extends Number> ys) {\n"
      "  P { if (x < 0) throw new IllegalArgumentException(); }\n"
      "}\n"
      "class A {\n"
      "  int area() { return 0; }\n"
      "  int area(final int w, @Size(min = 1, max = 2) int h) { return w * h; }\n"
      "  <T extends Comparable<T>> T max(Map<String, List<T>> m, T... rest) { return null; }\n"
      "  void old(int a[], char[] b[], String ... more) {}\n"
      "  void self(A this, int n) {}\n"
      "}\n";
  EXPECT_EQ(Outline(JavaLanguage(), text),
            "Test.java\n"
            "  6 Imports\n"
            "  2 P\n"
            "    9 x\n"
            "    9 ys\n"
            "    4 P(int, java.util.List<? extends Number>)\n"
            "  2 A\n"
            "    4 area()\n"
            "    4 area(int, int)\n"
            "    4 max(Map<String, List<T>>, T...)\n"
            "    4 old(int[], char[][], String...)\n"
            "    4 self(int)\n");
  // A label finds its own overload; a bare name finds the first.
  const VectorSource source = VectorSource::FromText(text);
  const Language& j = JavaLanguage();
  EXPECT_EQ(j.FindMember(source, "A", "area(int, int)"), 5);
  EXPECT_EQ(j.FindMember(source, "A", "area()"), 4);
  EXPECT_EQ(j.FindMember(source, "A", "area"), 4);
  EXPECT_EQ(j.FindMember(source, "A", "area(long)"), std::nullopt);
  EXPECT_EQ(j.FindMember(source, "P", "P(int, java.util.List<? extends Number>)"), 1);
  EXPECT_EQ(OutlineMemberName("max(Map<String, List<T>>, T...)"), "max");
  EXPECT_EQ(OutlineMemberName("x"), "x");
}

TEST(JavaOutline, FindMember) {
  const VectorSource text = VectorSource::FromText(
      "class A {\n"
      "  int x;\n"
      "  void run() {}\n"
      "}\n"
      "class B {\n"
      "  int x;\n"
      "  // void run() {}\n"
      "  void run()\n"
      "  {}\n"
      "}\n");
  const Language& j = JavaLanguage();
  EXPECT_EQ(j.FindMember(text, "A", "x"), 1);
  EXPECT_EQ(j.FindMember(text, "A", "run"), 2);
  EXPECT_EQ(j.FindMember(text, "B", "x"), 5);
  EXPECT_EQ(j.FindMember(text, "B", "run"), 7);
  EXPECT_EQ(j.FindMember(text, "B", "missing"), std::nullopt);
  EXPECT_EQ(j.FindMember(text, "C", "x"), std::nullopt);

  // Members of a nested type are found under it, not under the type around it, and a
  // text block that holds code-like text does not end the scan.
  const VectorSource nested = VectorSource::FromText(
      "class Outer {\n"
      "  String doc = \"\"\"\n"
      "    class Fake { int x; } \\\"\"\" }\n"
      "    \"\"\";\n"
      "  static class Inner {\n"
      "    int x;\n"
      "  }\n"
      "  int x;\n"
      "}\n");
  EXPECT_EQ(j.FindMember(nested, "Inner", "x"), 5);
  EXPECT_EQ(j.FindMember(nested, "Outer", "x"), 7);
  EXPECT_EQ(j.FindMember(nested, "Fake", "x"), std::nullopt);
}

TEST(PerlOutline, PackagesAreFoldersOfTheirSubs) {
  const std::string text =
      "sub top { }\n"
      "package Shape::Circle;\n"
      "sub area { }\n"
      "package Shape::Square 1.02 {\n"
      "  sub area { my %h = (a => 1); $h{a} }\n"
      "}\n"
      "sub back_in_circle { }\n"
      "package main;\n"
      "sub run { }\n"
      "my $package = 'x'; $self->{package} = 1;\n"
      "package Shape::Circle;\n"
      "sub radius { }\n";
  EXPECT_EQ(Outline(PerlLanguage(), text),
            "Perl\n  6 Requires\n  10 Subs\n    4 top\n"
            "  10 Shape::Circle\n    4 area\n    4 back_in_circle\n    4 radius\n"
            "  10 Shape::Square\n    4 area\n"
            "  10 main\n    4 run\n");
  // A double click names the folder: the sub of that package is found.
  const VectorSource source = VectorSource::FromText(text);
  const Language& perl = PerlLanguage();
  EXPECT_EQ(perl.FindMember(source, "Shape::Square", "area"), 4);
  EXPECT_EQ(perl.FindMember(source, "Shape::Circle", "area"), 2);
  EXPECT_EQ(perl.FindMember(source, "Subs", "top"), 0);
  EXPECT_EQ(perl.FindMember(source, "Subs", "radius"), 11);  // not in Subs: the first anywhere
  EXPECT_EQ(perl.FindMember(source, "Shape::Circle", "back_in_circle"), 6);
}

TEST(PerlOutline, SubsAndFind) {
  const std::string text =
      "sub a { }\n"
      "# sub commented { }\n"
      "my $f = sub { 1 };\n"
      "print \"sub quoted\";\n"
      "sub Pkg::b\n"
      "{\n"
      "}\n";
  EXPECT_EQ(Outline(PerlLanguage(), text),
            "Perl\n  6 Requires\n  10 Subs\n    4 a\n    4 Pkg::b\n");
  const VectorSource source = VectorSource::FromText(text);
  EXPECT_EQ(PerlLanguage().FindMember(source, "", "Pkg::b"), 4);
  EXPECT_EQ(PerlLanguage().FindMember(source, "", "commented"), std::nullopt);
}

TEST(HtmlOutline, RootOnly) {
  EXPECT_EQ(Outline(HtmlLanguage(), "<html><body>class A { int x; }</body></html>", "a.html"),
            "a.html\n");
  EXPECT_EQ(HtmlLanguage().FindMember(VectorSource({"class A { int x; }"}), "A", "x"),
            std::nullopt);
}

}  // namespace
}  // namespace tamso
