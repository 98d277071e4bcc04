#include "help/docs_index.h"

#include <gtest/gtest.h>

#include "core/help/docs_tree.h"

namespace tamso {
namespace {

using testing::JavadocTree;

std::vector<std::string> Names(const std::vector<const DocEntry*>& hits) {
  std::vector<std::string> v;
  for (const DocEntry* e : hits) v.push_back(e->QualifiedName());
  return v;
}

std::vector<std::string> Urls(const std::vector<const DocEntry*>& hits) {
  std::vector<std::string> v;
  for (const DocEntry* e : hits) v.push_back(e->url);
  return v;
}

TEST(DocsIndex, FindsTypesAndMembersOfRealJavadocOutput) {
  if (JavadocTree().empty()) GTEST_SKIP() << "no javadoc";
  DocsIndex index;
  std::string error;
  ASSERT_TRUE(index.Load(JavadocTree(), &error)) << error;

  EXPECT_EQ(Urls(index.Lookup("Widget")), std::vector<std::string>{"com/ex/Widget.html"});
  // A nested type by its own name or with its outer class; a type wins over its
  // constructor of the same name.
  EXPECT_EQ(Urls(index.Lookup("Part")), std::vector<std::string>{"com/ex/Widget.Part.html"});
  EXPECT_EQ(Urls(index.Lookup("Widget.Part")), std::vector<std::string>{"com/ex/Widget.Part.html"});
  EXPECT_EQ(Urls(index.Lookup("org.other.Gadget")),
            std::vector<std::string>{"org/other/Gadget.html"});
  // Several members of one name, in order of their qualified names.
  EXPECT_EQ(Names(index.Lookup("draw")),
            (std::vector<std::string>{"com.ex.Widget.draw(int)", "com.ex.Widget.draw(int, String)",
                                      "org.other.Gadget.draw()"}));
  // Narrowed by the class or by the parameters (blanks do not matter).
  EXPECT_EQ(index.Lookup("Gadget.draw").size(), 1u);
  auto exact = index.Lookup("draw(int,java.lang.String)");
  ASSERT_EQ(exact.size(), 1u);
  EXPECT_EQ(exact[0]->url.substr(0, 19), "com/ex/Widget.html#");
  EXPECT_EQ(Urls(index.Lookup("com.ex.Widget.size")),
            std::vector<std::string>{"com/ex/Widget.html#size"});
  // Letter case counts only when it picks something; blanks and line ends around
  // the name are dropped.
  EXPECT_EQ(index.Lookup("widget").size(), 1u);
  EXPECT_EQ(index.Lookup("  Widget\r\n").size(), 1u);
  EXPECT_TRUE(index.Lookup("Nothing").empty());
  EXPECT_TRUE(index.Lookup("Widget.").empty());
  EXPECT_TRUE(index.Lookup("").empty());
}

TEST(DocsIndex, ModulePackagesAndUnnamedPackageGiveThePagePaths) {
  DocsIndex index;
  index.LoadScripts(
      R"js(typeSearchIndex = [{"l":"All Classes and Interfaces","u":"allclasses-index.html"},)js"
      R"js({"p":"java.lang","l":"String"},{"m":"java.desktop","p":"java.awt","l":"List"},)js"
      R"js({"p":"java.util","l":"List"},{"p":"<Unnamed>","l":"Hello"}];updateSearchResults();)js",
      R"js(memberSearchIndex = [{"p":"java.lang","c":"String","l":"valueOf(char[], int, int)",)js"
      R"js("u":"valueOf(char[],int,int)"},{"p":"java.lang","c":"String","l":"String()",)js"
      R"js("u":"%3Cinit%3E()"},{"p":"<Unnamed>","c":"Hello","l":"main(String[])"}];)js",
      R"js(packageSearchIndex = [{"m":"java.base","l":"java.lang"},{"m":"java.base","l":"java.util"}];)js");
  EXPECT_EQ(Urls(index.Lookup("String")),
            std::vector<std::string>{"java.base/java/lang/String.html"});
  EXPECT_EQ(Urls(index.Lookup("List")),
            (std::vector<std::string>{"java.desktop/java/awt/List.html",
                                      "java.base/java/util/List.html"}));
  EXPECT_EQ(Urls(index.Lookup("String.valueOf")),
            std::vector<std::string>{"java.base/java/lang/String.html#valueOf(char[],int,int)"});
  EXPECT_EQ(Urls(index.Lookup("Hello")), std::vector<std::string>{"Hello.html"});
  EXPECT_EQ(Urls(index.Lookup("main")), std::vector<std::string>{"Hello.html#main(String[])"});
  // The "All Classes" entry is no type.
  EXPECT_EQ(index.size(), 7u);
}

TEST(DocsIndex, OlderAllClassesPage) {
  DocsIndex index;
  index.LoadAllClassesPage(
      "<ul><li><a href=\"java/util/List.html\" title=\"interface in java.util\" "
      "target=\"classFrame\"><span class=\"interfaceName\">List</span></a></li>\n"
      "<li><a href=\"java/util/Map.Entry.html\" title=\"interface in java.util\">"
      "<span class=\"interfaceName\">Map.Entry</span></a></li>\n"
      "<li><a href=\"overview-summary.html\">Overview</a></li></ul>");
  EXPECT_EQ(index.size(), 2u);
  EXPECT_EQ(Urls(index.Lookup("Entry")), std::vector<std::string>{"java/util/Map.Entry.html"});
  EXPECT_EQ(Names(index.Lookup("java.util.List")), std::vector<std::string>{"java.util.List"});
}

TEST(DocsIndex, DamagedScriptsKeepWhatCouldBeReadAndAFolderWithoutIndexSaysSo) {
  // Escapes, values that are not strings, and a script cut off in the middle.
  auto objects = ParseSearchScript(
      R"js(x = [{"l":"A\u00e9\"b","n":12,"z":{"q":[1,2]},"p":"p"},{"l":"B","p":"p"},{"l":"C)js");
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0][0].second, "A\xC3\xA9\"b");
  EXPECT_EQ(objects[0].size(), 2u);
  for (std::string_view junk : {"", "[", "[{", "[{\"l\"", "[{\"l\":", "]{}[", "[{\"l\":\"\\u12"})
    EXPECT_NO_THROW(ParseSearchScript(junk));

  testing::TempDir dir;
  dir.Write("index.html", "<html></html>");
  DocsIndex index;
  std::string error;
  EXPECT_FALSE(index.Load(dir.path(), &error));
  EXPECT_NE(error.find(dir.path()), std::string::npos);
  // A search script that is a directory is not read.
  std::filesystem::create_directories(dir.File("type-search-index.js"));
  EXPECT_FALSE(index.Load(dir.path(), &error));
}

}  // namespace
}  // namespace tamso
