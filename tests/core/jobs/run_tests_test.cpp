// Run Tests: which tests a source holds and which the caret chooses, the launcher's
// command line, the reading of its recorded report, and one real run of the launcher
// on a small JUnit 5 class where the launcher and a JDK are installed.

#include "jobs/run_tests.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "build_test_support.h"
#include "jobs/compile.h"
#include "jobs/process_runner.h"
#include "platform/file_on_disk.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/project.h"

namespace tamso {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::HostWithOutput;
using testing::TempDir;
using testing::TestSlot;
using testing::TestUiThread;
namespace fs = std::filesystem;

void Write(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path) << text;
}

constexpr const char* kCalcTest = R"java(package calc;

import static org.junit.jupiter.api.Assertions.assertEquals;

import java.util.List;
import org.junit.jupiter.api.Test;

class CalcTest {
  // @Test in a comment is no test
  String s = "@Test void no() {}";

  @Test
  void adds() {
    assertEquals(4, 2 + 2);
  }

  @DisplayName("fails") @Test void fails() throws Exception {
    if (true) { assertEquals(5, 2 + 2, "sum"); }
  }

  @org.junit.jupiter.params.ParameterizedTest
  @ValueSource(strings = {"a", "b)"})
  void lengths(final String s, int[] n, List<Map<String, Integer>> m, Widget w, char... c) {}

  void helper() {}

  @Nested
  class Inner {
    @RepeatedTest(2) void again() {}
  }
}
)java";

TEST(RunTests, FindsTestMethodsWithTheirLinesClassesAndParameterTypes) {
  const TestSource t = FindTests(kCalcTest);
  EXPECT_EQ(t.package, "calc");
  ASSERT_EQ(t.methods.size(), 4u);
  EXPECT_EQ(t.methods[0].name, "adds");
  EXPECT_EQ(t.methods[0].firstLine, 11);
  EXPECT_EQ(t.methods[0].lastLine, 14);
  EXPECT_EQ(t.methods[1].name, "fails");
  EXPECT_EQ(t.methods[1].firstLine, 16);
  EXPECT_EQ(t.methods[1].lastLine, 18);
  EXPECT_EQ(t.methods[2].name, "lengths");
  EXPECT_EQ(t.methods[2].parameters,
            "java.lang.String, int[], java.util.List, calc.Widget, char[]");
  EXPECT_EQ(t.methods[3].className, "CalcTest$Inner");
  EXPECT_EQ(t.methods[3].name, "again");
  EXPECT_THAT(t.TopClasses(), ElementsAre("calc.CalcTest"));
  EXPECT_TRUE(FindTests("class Plain { void main() {} }").methods.empty());
  EXPECT_TRUE(FindTests("").methods.empty());
  // Broken text ends without a method rather than with a wrong one.
  EXPECT_TRUE(FindTests("class A { @Test void x(").methods.empty());
}

TEST(RunTests, TheCaretChoosesOneMethodElseTheClass) {
  const TestSource t = FindTests(kCalcTest);
  auto one = SelectTests(t, 17);
  ASSERT_TRUE(one);
  EXPECT_TRUE(one->oneMethod);
  EXPECT_THAT(one->selectors, ElementsAre("--select-method", "calc.CalcTest#fails()"));
  EXPECT_EQ(one->what, "calc.CalcTest.fails()");
  one = SelectTests(t, 28);
  ASSERT_TRUE(one);
  EXPECT_THAT(one->selectors, ElementsAre("--select-method", "calc.CalcTest$Inner#again()"));
  auto all = SelectTests(t, 9);  // on a field
  ASSERT_TRUE(all);
  EXPECT_FALSE(all->oneMethod);
  EXPECT_THAT(all->selectors, ElementsAre("--select-class", "calc.CalcTest"));
  EXPECT_FALSE(SelectTests(FindTests("class A {}"), 0));

  const TestSelection project =
      SelectTestClasses({t, FindTests("import org.junit.Test; public class OldTest { @Test public "
                                      "void old() {} }")});
  EXPECT_THAT(project.selectors,
              ElementsAre("--select-class", "calc.CalcTest", "--select-class", "OldTest"));
  EXPECT_EQ(project.what, "2 test classes");
}

TEST(RunTests, LauncherCommandLineAndTheCompileClassPath) {
  EXPECT_THAT(TestLauncherArguments("java", "/j.jar", "out:lib/a b.jar", {"--select-class", "A"}),
              ElementsAre("java", "-jar", "/j.jar", "--disable-banner", "--disable-ansi-colors",
                          "--details=tree", "--details-theme=ascii", "--class-path",
                          "out:lib/a b.jar", "--select-class", "A"));
  EXPECT_TRUE(ImportsJUnit("package a;\nimport static org.junit.jupiter.api.Assertions.*;"));
  EXPECT_TRUE(ImportsJUnit("import org.junit.Test;"));
  EXPECT_FALSE(ImportsJUnit("import org.junitx.Test; // reimport org.junit.Test"));
  EXPECT_EQ(WithTestLauncher("", "out:.", "/j.jar"), "out:.:/j.jar");
  EXPECT_EQ(WithTestLauncher("lib/x.jar", "out", "/j.jar"), "lib/x.jar:/j.jar");

  TempDir dir;
  IniFile profile(dir / "Tamso.INI");
  EXPECT_EQ(TestLauncherJar(profile), kDefaultTestLauncher);
  profile.WriteString(kTestsSection, kLauncherKey, " /opt/j.jar ");
  EXPECT_EQ(TestLauncherJar(profile), "/opt/j.jar");
}

// The launcher's report as it printed it for two failing tests, one skipped, a
// parameterized one and a test that wrote colour escapes and a broken sequence.
constexpr const char* kRecorded =
    "\x1b[31mred\x1b[0m out \x1b[9\xff\xfe\n"
    ".\n"
    "+-- JUnit Jupiter [OK]\n"
    "| '-- CalcTest [OK]\n"
    "|   +-- adds() [OK]\n"
    "|   +-- fails() [X] sum ==> expected: <5> but was: <4>\n"
    "|   +-- throwsIt() [X] Cannot invoke \"Object.toString()\"\n"
    "|   '-- skipped() [S] void calc.CalcTest.skipped() is @Disabled\n"
    "'-- JUnit Vintage [OK]\n"
    "\n"
    "Failures (3):\n"
    "  JUnit Jupiter:CalcTest:fails()\n"
    "    MethodSource [className = 'calc.CalcTest', methodName = 'fails', "
    "methodParameterTypes = '']\n"
    "    => org.opentest4j.AssertionFailedError: sum ==> expected: <5> but was: <4>\n"
    "       org.junit.jupiter.api.AssertionFailureBuilder.build(AssertionFailureBuilder.java:151)\n"
    "       calc.Helper.check(Helper.java:7)\n"
    "       calc.CalcTest.fails(CalcTest.java:19)\n"
    "       [...]\n"
    "  JUnit Jupiter:CalcTest:throwsIt()\n"
    "    MethodSource [className = 'calc.CalcTest', methodName = 'throwsIt', "
    "methodParameterTypes = '']\n"
    "    => java.lang.NullPointerException: Cannot invoke \"Object.toString()\"\n"
    "       calc.Helper.boom(Helper.java:3)\n"
    "       [...]\n"
    "  JUnit Jupiter:CalcTest:lengths(String):[2] bb\n"
    "    MethodSource [className = 'calc.CalcTest', methodName = 'lengths', "
    "methodParameterTypes = 'java.lang.String']\n"
    "    => java.lang.AssertionError\n"
    "       java.base/java.lang.Thread.run(Thread.java:840)\n"
    "\n"
    "Test run finished after 336 ms\n"
    "[         5 containers found      ]\n"
    "[         0 containers failed     ]\n"
    "[         6 tests found           ]\n"
    "[         1 tests skipped         ]\n"
    "[         5 tests started         ]\n"
    "[         0 tests aborted         ]\n"
    "[         2 tests successful      ]\n"
    "[         3 tests failed          ]\n";

TEST(RunTests, TheRecordedReportGivesFailuresWithTheirPlacesAndTheCounts) {
  TempDir dir;
  const std::string root = paths::Canonical(dir.Path()) + "/src";
  Write(root + "/calc/CalcTest.java", "class CalcTest {}\n");
  Write(root + "/calc/Helper.java", "class Helper {}\n");
  // Fed in awkward pieces: lines and sequences split anywhere.
  for (size_t piece : {size_t{1}, size_t{7}, size_t{4096}}) {
    SCOPED_TRACE(piece);
    TestOutputReader reader({root});
    const std::string text = kRecorded;
    for (size_t at = 0; at < text.size(); at += piece)
      reader.Feed(std::string_view(text).substr(at, piece));
    const TestReport r = reader.Finish();
    ASSERT_TRUE(r.summary);
    EXPECT_EQ(TestSummaryLine(r), "6 tests, 2 passed, 3 failed, 1 skipped");
    EXPECT_EQ(TestVerdict(r, 1), "Tests failed: 6 tests, 2 passed, 3 failed, 1 skipped");
    ASSERT_EQ(r.failures.size(), 3u);
    // The test's own frame wins over a helper's.
    EXPECT_EQ(TestFailureLine(r.failures[0], paths::Canonical(dir.Path())),
              "src/calc/CalcTest.java:19: CalcTest.fails() failed: sum ==> expected: <5> but "
              "was: <4>");
    // Else the first frame of the project's sources; other exceptions keep their name.
    EXPECT_EQ(TestFailureLine(r.failures[1], "/elsewhere"),
              root +
                  "/calc/Helper.java:3: CalcTest.throwsIt() failed: NullPointerException: "
                  "Cannot invoke \"Object.toString()\"");
    EXPECT_EQ(TestFailureLine(r.failures[2], ""),
              "CalcTest.lengths() [2] bb failed: AssertionError");
    const auto marks = TestFailureMarks(r);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0].file, root + "/calc/CalcTest.java");
    EXPECT_EQ(marks[0].mark.line, 18);
    EXPECT_THAT(marks[0].mark.message, HasSubstr("CalcTest.fails() failed: sum"));
  }
  TestReport none;
  none.summary = true;
  EXPECT_EQ(TestVerdict(none, 0), "No tests found");
  EXPECT_EQ(TestVerdict(TestReport{}, 2), "Tests did not run (exit status 2)");
}

TEST(RunTests, ReadingStaysBoundedWhateverTheTestsPrint) {
  TestOutputReader reader({});
  // A line of 10 MB and a flood of lines hold nothing past the longest kept line.
  const std::string block(1 << 20, 'x');
  for (int i = 0; i < 10; ++i) reader.Feed(block);
  reader.Feed("\n");
  for (int i = 0; i < 100000; ++i) reader.Feed("[ 9 tests found ] is not a count\n");
  // Escapes and bytes that are no UTF-8 in a message come out as plain text.
  std::string many = "Failures (9999):\n";
  for (int i = 0; i < 600; ++i)
    many += "  JUnit Jupiter:T:t" + std::to_string(i) +
            "()\n    => java.lang.Error: \x1b[1mbold\x1b[0m \xc3\n";
  many += "\n[ 600 tests found ]\n[ 600 tests failed ]\n";
  reader.Feed(many);
  const TestReport r = reader.Finish();
  EXPECT_EQ(r.found, 600);
  EXPECT_EQ(r.failures.size(), TestOutputReader::kMaxFailures);
  EXPECT_EQ(r.failuresLeftOut, 600 - TestOutputReader::kMaxFailures);
  EXPECT_EQ(r.failures[0].message, "Error: bold \xc3");
}

// The command's refusals: no launcher, no test in the class.
TEST(RunTests, SaysWhatIsMissingBeforeRunningAnything) {
  TempDir dir;
  IniFile profile(dir / "Tamso.INI");
  TestUiThread ui;
  HostWithOutput host;
  TestSlot slot{host};
  TestRunContext context{host, profile, slot, ui};
  const std::string source = dir / "Plain.java";
  Write(source, "class Plain {}\n");
  FileOnDisk doc(source);
  profile.WriteString(kTestsSection, kLauncherKey, dir / "none.jar");
  TestRequest request{&doc, "class Plain {}\n", 0, false};
  EXPECT_FALSE(RunTestsCommand(request, context));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_THAT(host.messages[0].text, HasSubstr("apt-get install junit5"));

  Write(dir / "j.jar", "");
  profile.WriteString(kTestsSection, kLauncherKey, dir / "j.jar");
  EXPECT_FALSE(RunTestsCommand(request, context));
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_THAT(host.messages[1].text, HasSubstr("Plain has no tests"));
  request.wholeProject = true;
  EXPECT_FALSE(RunTestsCommand(request, context));
  EXPECT_EQ(host.messages.back().text, "There is no open project");
}

// A launcher that never ends: Stop Building ends it and what it started, and the
// run says nothing more.
TEST(RunTests, StopEndsTheLauncherAndItsChildren) {
  TempDir dir;
  IniFile profile(dir / "Tamso.INI");
  TestUiThread ui;
  HostWithOutput host;
  TestSlot slot{host};
  const std::string home = paths::Canonical(dir.Path()) + "/jdk";
  Write(home + "/release", "JAVA_VERSION=\"17\"\n");
  Write(home + "/bin/javac", "#!/bin/sh\nexit 0\n");
  Write(home + "/bin/java",
        "#!/bin/sh\nsleep 1000 &\necho $! > \"" + dir / "child" + "\"\necho started\nwait\n");
  ::chmod((home + "/bin/javac").c_str(), 0755);
  ::chmod((home + "/bin/java").c_str(), 0755);
  profile.WriteString("Compiler", "JDK", home);
  Write(dir / "j.jar", "");
  profile.WriteString(kTestsSection, kLauncherKey, dir / "j.jar");
  const std::string source = dir / "T.java";
  const std::string text = "class T { @Test void t() {} }\n";
  Write(source, text);
  FileOnDisk doc(source);
  TestRunContext context{host, profile, slot, ui};
  std::shared_ptr<IBuildJob> job;
  ui.Run([&] { job = RunTestsCommand(TestRequest{&doc, text, 0, false}, context); });
  ASSERT_TRUE(job);
  ASSERT_TRUE(host.watched.WaitFor("started")) << host.watched.Text();
  long child = 0;
  std::ifstream(dir / "child") >> child;
  ASSERT_GT(child, 0);
  ui.Run([&] { StopBuilding(slot, job, host); });
  ASSERT_TRUE(job->WaitFinished(20000));
  ui.Run([] {});
  EXPECT_TRUE(testing::ProcessEnded(child));
  EXPECT_THAT(host.watched.Text(), ::testing::EndsWith("Terminated at user request."));
}

// The real launcher compiles nothing itself: Run Tests compiles the class first (with
// the launcher on its class path), runs it, and a method-only run follows the caret.
TEST(RunTests, RunsARealJUnit5ClassCompiledFirst) {
  if (!fs::exists(kDefaultTestLauncher)) GTEST_SKIP() << "no " << kDefaultTestLauncher;
  if (FindProgram("javac").empty() || FindProgram("java").empty()) GTEST_SKIP() << "no JDK";
  TempDir dir;
  IniFile profile(dir / "Tamso.INI");
  TestUiThread ui;
  HostWithOutput host;
  TestSlot slot{host};
  const std::string root = paths::Canonical(dir.Path()) + "/src";
  const std::string source = root + "/calc/CalcTest.java";
  const std::string text =
      "package calc;\n"
      "import static org.junit.jupiter.api.Assertions.assertEquals;\n"
      "import org.junit.jupiter.api.Test;\n"
      "class CalcTest {\n"
      "  @Test void adds() { assertEquals(4, 2 + 2); }\n"
      "  @Test void fails() {\n"
      "    assertEquals(5, 2 + 2, \"sum\");\n"
      "  }\n"
      "}\n";
  Write(source, text);
  FileOnDisk doc(source);
  std::vector<std::string> markedFiles;
  std::vector<CompileDiagnostic> marks;
  TestRunContext context{host, profile, slot, ui};
  context.reenter = [&context](std::function<void(TestRunContext&)> fn) { fn(context); };
  context.markFailures = [&](const std::vector<std::string>& files,
                             const std::vector<CompileDiagnostic>& found) {
    markedFiles = files;
    marks = found;
  };
  auto run = [&](int caret) {
    std::shared_ptr<IBuildJob> job;
    ui.Run([&] { job = RunTestsCommand(TestRequest{&doc, text, caret, false}, context); });
    // The compile first (when needed), then the launcher it starts.
    while (job) {
      EXPECT_TRUE(job->WaitFinished(120000));
      ui.Run([] {});
      std::shared_ptr<IBuildJob> next;
      ui.Run([&] { next = slot.job != job ? slot.job : nullptr; });
      job = next;
    }
    return host.watched.Text();
  };
  std::string out = run(0);
  ASSERT_TRUE(fs::exists(root + "/calc/CalcTest.class")) << out;
  EXPECT_THAT(out, HasSubstr("\ncalc/CalcTest.java:7: CalcTest.fails() failed: sum ==> "
                             "expected: <5> but was: <4>\n"));
  EXPECT_THAT(out, HasSubstr("\n2 tests, 1 passed, 1 failed, 0 skipped\n"));
  EXPECT_EQ(host.statusTexts.back(), "Tests failed: 2 tests, 1 passed, 1 failed, 0 skipped");
  EXPECT_THAT(markedFiles, ElementsAre(source));
  ASSERT_EQ(marks.size(), 1u);
  EXPECT_EQ(marks[0].mark.line, 6);

  // The caret in adds(): that method alone, with the class already compiled.
  const auto compiled = fs::last_write_time(root + "/calc/CalcTest.class");
  out = run(4);
  EXPECT_EQ(fs::last_write_time(root + "/calc/CalcTest.class"), compiled);
  EXPECT_THAT(out, HasSubstr("--select-method calc.CalcTest#adds()"));
  EXPECT_THAT(out, HasSubstr("\n1 test, 1 passed, 0 failed, 0 skipped\n"));
}

// Run All Tests on a project: its build (with the launcher on the class path, as the
// tests import JUnit) runs first, then every test class, JUnit 4 ones through their
// engine.
TEST(RunTests, RunsEveryTestClassOfAProjectAfterItsBuild) {
  if (!fs::exists(kDefaultTestLauncher)) GTEST_SKIP() << "no " << kDefaultTestLauncher;
  if (FindProgram("javac").empty() || FindProgram("java").empty()) GTEST_SKIP() << "no JDK";
  TempDir temp;
  const std::string dir = paths::Canonical(temp.Path()) + "/calc";
  IniFile profile(temp / "Tamso.INI");
  TestUiThread ui;
  HostWithOutput host;
  TestSlot slot{host};
  const std::string cwd = paths::CurrentDirectory();
  Write(dir + "/src/main/java/calc/Calc.java",
        "package calc;\npublic class Calc {\n  public static int add(int a, int b) { return a + b; "
        "}\n}\n");
  Write(dir + "/src/test/java/calc/CalcTest.java",
        "package calc;\nimport static org.junit.jupiter.api.Assertions.assertEquals;\n"
        "import org.junit.jupiter.api.Test;\nclass CalcTest {\n"
        "  @Test void adds() { assertEquals(4, Calc.add(2, 2)); }\n"
        "  @Test void fails() { assertEquals(5, Calc.add(2, 2)); }\n}\n");
  Write(dir + "/src/test/java/calc/OldTest.java",
        "package calc;\nimport org.junit.Test;\nimport static org.junit.Assert.assertEquals;\n"
        "public class OldTest {\n  @Test public void old() { assertEquals(3, Calc.add(1, 2)); "
        "}\n}\n");
  Write(dir + "/calc.jap",
        "[Files]\nfile1=./src/main/java/calc/Calc.java\nfile2=./src/test/java/calc/CalcTest.java\n"
        "file3=./src/test/java/calc/OldTest.java\n");
  {
    Project project{host, profile};
    project.Open(dir + "/calc.jap");
    TestRunContext context{host, profile, slot, ui, &project};
    context.reenter = [&context](std::function<void(TestRunContext&)> fn) { fn(context); };
    std::shared_ptr<IBuildJob> job;
    ui.Run([&] { job = RunTestsCommand(TestRequest{nullptr, {}, -1, true}, context); });
    ASSERT_TRUE(job);
    while (job) {
      EXPECT_TRUE(job->WaitFinished(120000));
      ui.Run([] {});
      std::shared_ptr<IBuildJob> next;
      ui.Run([&] { next = slot.job != job ? slot.job : nullptr; });
      job = next;
    }
    const std::string out = host.watched.Text();
    EXPECT_THAT(out, HasSubstr("--select-class calc.CalcTest --select-class calc.OldTest"));
    EXPECT_THAT(out, HasSubstr("\nsrc/test/java/calc/CalcTest.java:6: CalcTest.fails() failed: "
                               "expected: <5> but was: <4>\n3 tests, 2 passed, 1 failed, 0 "
                               "skipped\n"));
    project.Close();
  }
  paths::SetCurrentDirectory(cwd);
}

}  // namespace
}  // namespace tamso
