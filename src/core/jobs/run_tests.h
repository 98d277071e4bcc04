#pragma once
// Run Tests: the JUnit Platform console launcher on the active test class, on the
// test method the caret is in, or on every test class of the project. Which tests a
// source holds, the launcher's command line, the reading of its report (one line per
// failed test with its message and the place in the project's sources, then the
// counts) and the command that compiles first and runs the launcher on the build
// thread.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/build_job.h"
#include "jobs/diagnostics.h"

namespace tamso {

class IHost;
class IDocument;
class IniFile;
class Project;

inline constexpr const char* kTestsSection = "RunTests";
inline constexpr const char* kLauncherKey = "Launcher";
inline constexpr const char* kDefaultTestLauncher =
    "/usr/share/java/junit-platform-console-standalone.jar";
inline constexpr const char* kRunningTestsLine = "Running tests via JUnit...";

// The launcher jar: the "RunTests" "Launcher" setting, else Debian's.
std::string TestLauncherJar(const IniFile& profile);
// Said when the launcher jar is not there.
std::string MissingLauncherMessage(const std::string& jar);

// Whether a source imports anything of org.junit (then the launcher, which holds
// JUnit's annotations and assertions, goes on its compile class path).
bool ImportsJUnit(std::string_view source);
// The same for a file on disk (false when it cannot be read).
bool FileImportsJUnit(const std::string& path);
// A compiler class path with the launcher jar after it; an empty one stands for the
// folder given (where the compiler would look by default).
std::string WithTestLauncher(const std::string& classPath, const std::string& emptyStandsFor,
                             const std::string& jar);

struct TestMethod {
  std::string className;  // the binary name within the package: "CalcTest", "Outer$Inner"
  std::string name;
  std::string parameters;  // as the launcher names them: "int, java.lang.String"
  int firstLine = 0;       // 0-based: the first annotation's line
  int lastLine = 0;        // the line of the body's closing brace
};

struct TestSource {
  std::string package;
  std::vector<TestMethod> methods;
  // The top-level classes that hold tests, in order, each once.
  std::vector<std::string> TopClasses() const;
};

// The test methods of a source: methods annotated @Test, @ParameterizedTest,
// @RepeatedTest, @TestFactory or @TestTemplate (plain or qualified). Comments,
// strings, text blocks and character literals never count.
TestSource FindTests(std::string_view source);

// Whether a file on disk holds tests (false when it cannot be read).
bool FileHasTests(const std::string& path);

struct TestSelection {
  std::vector<std::string> selectors;  // the launcher's arguments that choose the tests
  std::string what;                    // for messages: "calc.CalcTest", "calc.CalcTest.fails()"
  bool oneMethod = false;
};

// The method the 0-based caret line is in, else every test of the source's classes;
// nullopt when the source has no tests.
std::optional<TestSelection> SelectTests(const TestSource& tests, int caretLine);
// Every test class of the given sources (full paths with their texts).
TestSelection SelectTestClasses(const std::vector<TestSource>& sources);

// java -jar LAUNCHER with plain output (no banner, no colours, an ASCII tree), the
// class path (when given) and the selectors.
std::vector<std::string> TestLauncherArguments(const std::string& java, const std::string& jar,
                                               const std::string& classPath,
                                               const std::vector<std::string>& selectors);

struct TestFailure {
  std::string test;     // "CalcTest.fails()"
  std::string message;  // "sum ==> expected: <5> but was: <4>", or "NullPointerException: ..."
  std::string file;     // the project's source the failure happened in ("" not found)
  int line = 0;         // 1-based
};

struct TestReport {
  bool summary = false;  // the launcher's counts were read
  long long found = 0, passed = 0, failed = 0, skipped = 0, containersFailed = 0;
  std::vector<TestFailure> failures;
  std::size_t failuresLeftOut = 0;  // past the ones kept
};

// Reads the launcher's output as it comes, in chunks, keeping only what the report
// needs: memory stays bounded whatever the tests print.
class TestOutputReader {
 public:
  static constexpr std::size_t kMaxLine = 64 * 1024;
  static constexpr std::size_t kMaxFailures = 500;
  static constexpr std::size_t kMaxMessage = 1000;

  // roots: where the sources of stack-trace lines are looked for.
  explicit TestOutputReader(std::vector<std::string> roots);
  void Feed(std::string_view chunk);
  TestReport Finish();

 private:
  void Line(std::string_view line);
  void EndFailure();
  std::vector<std::string> roots_;
  std::string line_;
  bool overlong_ = false;
  enum class State { Output, Failures } state_ = State::Output;
  TestReport report_;
  std::optional<TestFailure> current_;
  std::string currentClass_;
  bool haveMessage_ = false;
  std::string fallbackFile_;
  int fallbackLine_ = 0;
  int framesSeen_ = 0;
  long long aborted_ = 0;
};

// "4 tests, 3 passed, 1 failed, 0 skipped" (and the failed containers when any).
std::string TestSummaryLine(const TestReport& report);
// The status bar's verdict.
std::string TestVerdict(const TestReport& report, int exitCode);
// A failure as the output window shows it: "path:line: test failed: message", the
// path relative to baseDir when below it; without a place, "test failed: message".
std::string TestFailureLine(const TestFailure& failure, const std::string& baseDir);
// The failures as marks on their lines.
std::vector<CompileDiagnostic> TestFailureMarks(const TestReport& report);

struct TestRunContext {
  IHost& host;  // messages, status bar, output window
  IniFile& profile;
  IBuildSlot& slot;
  IUiThread& ui;
  const Project* project = nullptr;  // may be null or closed
  std::function<void()> showOutput = {};
  // Runs fn later with a context as valid as this one (after a compile); may be empty,
  // and then nothing is compiled first.
  std::function<void(std::function<void(TestRunContext&)>)> reenter = {};
  // On the user-interface thread once the run has ended: the sources run (whose old
  // marks go) and the failures to mark. May be empty.
  std::function<void(const std::vector<std::string>&, const std::vector<CompileDiagnostic>&)>
      markFailures = {};
};

struct TestRequest {
  IDocument* document = nullptr;  // the active document (may be null)
  std::string text;               // its text as the editor holds it
  int caretLine = -1;             // 0-based; -1 none
  bool wholeProject = false;      // every test class of the open project
};

// The command: refuses while a build runs; says so when there are no tests or no
// launcher; compiles first what is not compiled; then runs the launcher on the
// build thread (Stop Building ends it and its children). The running job, or null.
std::shared_ptr<IBuildJob> RunTestsCommand(const TestRequest& request, TestRunContext& context);

}  // namespace tamso
