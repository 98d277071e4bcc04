#include "jobs/run_tests.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "java/java_source.h"
#include "java/jdk.h"
#include "java/jdk_choice.h"
#include "java/source_roots.h"
#include "jobs/ansi_text.h"
#include "jobs/compile.h"
#include "jobs/process_runner.h"
#include "jobs/project_build.h"
#include "jobs/run_class_path.h"
#include "jobs/source_reference.h"
#include "platform/file_read.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/project.h"

namespace tamso {

namespace {

// Sources longer than this are read only this far for their tests.
constexpr std::size_t kTestsHead = 8 * 1024 * 1024;

using Token = JavaSourceToken;

bool IsTestAnnotation(const std::string& name) {
  return name == "Test" || name == "ParameterizedTest" || name == "RepeatedTest" ||
         name == "TestFactory" || name == "TestTemplate";
}

bool IsPrimitive(const std::string& t) {
  static const std::set<std::string> kPrimitives = {"boolean", "byte", "char",  "short",
                                                    "int",     "long", "float", "double"};
  return kPrimitives.count(t) > 0;
}

bool IsJavaLang(const std::string& t) {
  static const std::set<std::string> kLang = {
      "String",    "Object",           "Integer",       "Long",       "Short",        "Byte",
      "Boolean",   "Character",        "Double",        "Float",      "Number",       "Class",
      "Enum",      "Iterable",         "Runnable",      "Void",       "CharSequence", "Throwable",
      "Exception", "RuntimeException", "StringBuilder", "Comparable", "Record"};
  return kLang.count(t) > 0;
}

struct Parser {
  explicit Parser(const std::vector<Token>& tokens) : t(tokens) {}
  const std::vector<Token>& t;
  size_t i = 0;
  TestSource out;
  std::vector<std::pair<std::string, std::string>> imports;  // simple name, qualified

  struct Class {
    std::string name;
    int depth;  // the depth inside its body
  };
  std::vector<Class> classes;
  int depth = 0;
  std::string pendingClass;
  int pendingAnnotationLine = -1;  // a test annotation waits for its method
  bool testPending = false;
  // A test method whose body is open.
  std::optional<TestMethod> open;
  int openDepth = 0;

  bool At(size_t k, const char* s) const { return k < t.size() && t[k].text == s; }

  // A qualified name from i on ("a.b.C"); i moves past it.
  std::string QualifiedName() {
    std::string name;
    while (i < t.size() && t[i].word) {
      name += t[i].text;
      if (At(i + 1, ".") && i + 2 < t.size() && t[i + 2].word) {
        name += '.';
        i += 2;
      } else {
        ++i;
        break;
      }
    }
    return name;
  }

  // Skips a balanced ( ... ) starting at i; i moves past the ')'.
  void SkipParens() {
    int level = 0;
    for (; i < t.size(); ++i) {
      if (t[i].text == "(") ++level;
      if (t[i].text == ")" && --level == 0) {
        ++i;
        return;
      }
    }
  }

  std::string Qualify(const std::string& type) {
    if (type.empty() || IsPrimitive(type) || type.find('.') != std::string::npos) return type;
    for (const auto& [simple, full] : imports)
      if (simple == type) return full;
    if (IsJavaLang(type)) return "java.lang." + type;
    return out.package.empty() ? type : out.package + "." + type;
  }

  // The parameter list from the '(' at i to its ')': types as the launcher names them.
  std::string Parameters() {
    std::vector<std::string> params;
    std::vector<const Token*> current;
    int level = 0;
    auto flush = [&] {
      // Drop annotations and "final"; the last word is the parameter's name.
      std::string base;
      std::string dims;
      int angle = 0;
      std::vector<const Token*> kept;
      for (size_t k = 0; k < current.size(); ++k) {
        const Token* tok = current[k];
        if (tok->text == "@") {
          ++k;  // the annotation's name (qualified) and any arguments
          while (k + 1 < current.size() && current[k + 1]->text == ".") k += 2;
          if (k + 1 < current.size() && current[k + 1]->text == "(") {
            int p = 0;
            for (++k; k < current.size(); ++k) {
              if (current[k]->text == "(") ++p;
              if (current[k]->text == ")" && --p == 0) break;
            }
          }
          continue;
        }
        if (tok->text == "final") continue;
        kept.push_back(tok);
      }
      if (!kept.empty() && kept.back()->word) kept.pop_back();  // the name
      for (size_t k = 0; k < kept.size(); ++k) {
        const std::string& s = kept[k]->text;
        if (s == "<")
          ++angle;
        else if (s == ">")
          --angle;
        else if (angle > 0)
          continue;
        else if (s == "[")
          dims += "[]";
        else if (s == "." && k + 2 < kept.size() && kept[k + 1]->text == "." &&
                 kept[k + 2]->text == ".") {
          dims += "[]";
          k += 2;
        } else if (s != "]")
          base += s;
      }
      if (!base.empty()) params.push_back(Qualify(base) + dims);
      current.clear();
    };
    for (; i < t.size(); ++i) {
      const std::string& s = t[i].text;
      if (s == "(") {
        if (level++ == 0) continue;
      } else if (s == ")") {
        if (--level == 0) {
          ++i;
          break;
        }
      } else if (s == "<" || s == ">") {
        // generic brackets are kept in current and tracked by flush
      } else if (s == "," && level == 1) {
        // a comma inside <...> belongs to a type
        int angle = 0;
        for (const Token* tok : current) {
          if (tok->text == "<") ++angle;
          if (tok->text == ">") --angle;
        }
        if (angle == 0) {
          flush();
          continue;
        }
      }
      current.push_back(&t[i]);
    }
    flush();
    std::string joined;
    for (const std::string& p : params) joined += (joined.empty() ? "" : ", ") + p;
    return joined;
  }

  std::string ClassName() const {
    std::string name;
    for (const Class& c : classes) name += (name.empty() ? "" : "$") + c.name;
    return name;
  }

  void Run() {
    while (i < t.size()) {
      const Token& tok = t[i];
      if (depth == 0 && tok.text == "package") {
        ++i;
        out.package = QualifiedName();
        continue;
      }
      if (depth == 0 && tok.text == "import") {
        ++i;
        if (At(i, "static")) ++i;
        const std::string name = QualifiedName();
        const size_t dot = name.find_last_of('.');
        if (dot != std::string::npos && !At(i, "."))
          imports.emplace_back(name.substr(dot + 1), name);
        continue;
      }
      if (tok.text == "@" && i + 1 < t.size() && t[i + 1].word && t[i + 1].text != "interface") {
        const int line = tok.line;
        ++i;
        std::string name = QualifiedName();
        if (const size_t dot = name.find_last_of('.'); dot != std::string::npos)
          name = name.substr(dot + 1);
        if (At(i, "(")) SkipParens();
        if (IsTestAnnotation(name) && !classes.empty() && depth == classes.back().depth && !open) {
          if (!testPending && pendingAnnotationLine < 0) pendingAnnotationLine = line;
          testPending = true;
        } else if (!testPending && !classes.empty() && depth == classes.back().depth) {
          // An annotation before the test one still starts the method.
          if (pendingAnnotationLine < 0) pendingAnnotationLine = line;
        }
        continue;
      }
      if (tok.word &&
          (tok.text == "class" || tok.text == "interface" || tok.text == "enum" ||
           tok.text == "record") &&
          !(i > 0 && t[i - 1].text == ".") && i + 1 < t.size() && t[i + 1].word) {
        pendingClass = t[i + 1].text;
        i += 2;
        testPending = false;
        pendingAnnotationLine = -1;
        continue;
      }
      if (testPending && tok.word && At(i + 1, "(") && !classes.empty() &&
          depth == classes.back().depth) {
        TestMethod m;
        m.className = ClassName();
        m.name = tok.text;
        m.firstLine = pendingAnnotationLine >= 0 ? pendingAnnotationLine : tok.line;
        ++i;
        m.parameters = Parameters();
        testPending = false;
        pendingAnnotationLine = -1;
        // Up to its body (past a throws clause); an abstract one has none.
        while (i < t.size() && t[i].text != "{" && t[i].text != ";" && t[i].text != "}") ++i;
        if (At(i, "{")) {
          open = std::move(m);
          openDepth = depth;
        }
        continue;
      }
      if (!testPending && (tok.text == "{" || tok.text == "}" || tok.text == ";"))
        pendingAnnotationLine = -1;
      if (tok.text == "{") {
        ++depth;
        if (!pendingClass.empty()) {
          classes.push_back({pendingClass, depth});
          pendingClass.clear();
        }
      } else if (tok.text == "}") {
        if (!classes.empty() && classes.back().depth == depth) classes.pop_back();
        if (depth > 0) --depth;
        if (open && depth == openDepth) {
          open->lastLine = tok.line;
          out.methods.push_back(std::move(*open));
          open.reset();
        }
      }
      ++i;
    }
  }
};

std::string TopClass(const std::string& className) {
  return className.substr(0, className.find('$'));
}

std::string Qualified(const std::string& package, const std::string& name) {
  return package.empty() ? name : package + "." + name;
}

std::string Trim(std::string_view s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string_view::npos) return {};
  const size_t b = s.find_last_not_of(" \t\r");
  return std::string(s.substr(a, b - a + 1));
}

// What a message may show: escapes taken out, other control characters as blanks,
// at most max bytes.
std::string Printable(std::string_view text, size_t max) {
  AnsiFilter filter;
  std::string s = filter.FeedPlain(text.substr(0, std::min(text.size(), max * 4)));
  s += filter.Flush();
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  if (s.size() > max) {
    s.resize(max);
    s += "...";
  }
  return s;
}

// The value of key = '...' in a launcher's source line.
std::string SourceField(std::string_view line, std::string_view key) {
  const std::string pattern = std::string(key) + " = '";
  const size_t at = line.find(pattern);
  if (at == std::string_view::npos) return {};
  const size_t from = at + pattern.size();
  const size_t end = line.find('\'', from);
  return std::string(
      line.substr(from, end == std::string_view::npos ? line.size() - from : end - from));
}

std::string ReadHead(const std::string& path) {
  std::string text;
  if (!ReadFileHead(path, kTestsHead, text)) return {};
  return text;
}

}  // namespace

std::string TestLauncherJar(const IniFile& profile) {
  std::string jar = Trim(profile.GetString(kTestsSection, kLauncherKey, ""));
  return jar.empty() ? std::string(kDefaultTestLauncher) : jar;
}

std::string MissingLauncherMessage(const std::string& jar) {
  return "The JUnit console launcher " + jar +
         " is not there.\n\nInstall it with\n    apt-get install junit5\nor name the jar in "
         "Settings (section RunTests, key Launcher).";
}

bool ImportsJUnit(std::string_view source) {
  for (size_t at = source.find("import"); at != std::string_view::npos;
       at = source.find("import", at + 6)) {
    if (at > 0 && !std::isspace(static_cast<unsigned char>(source[at - 1])) &&
        source[at - 1] != ';')
      continue;
    size_t k = at + 6;
    auto blanks = [&] {
      while (k < source.size() && std::isspace(static_cast<unsigned char>(source[k]))) ++k;
    };
    blanks();
    if (source.compare(k, 6, "static") == 0) {
      k += 6;
      blanks();
    }
    if (source.compare(k, 10, "org.junit.") == 0) return true;
  }
  return false;
}

bool FileImportsJUnit(const std::string& path) {
  return ImportsJUnit(ReadHead(path));
}

std::string WithTestLauncher(const std::string& classPath, const std::string& emptyStandsFor,
                             const std::string& jar) {
  const std::string base = Trim(classPath).empty() ? emptyStandsFor : classPath;
  return base.empty() ? jar : base + ":" + jar;
}

std::vector<std::string> TestSource::TopClasses() const {
  std::vector<std::string> out;
  for (const TestMethod& m : methods) {
    const std::string top = Qualified(package, TopClass(m.className));
    if (std::find(out.begin(), out.end(), top) == out.end()) out.push_back(top);
  }
  return out;
}

TestSource FindTests(std::string_view source) {
  const std::vector<Token> tokens = JavaSourceTokens(source);
  Parser parser(tokens);
  parser.Run();
  return std::move(parser.out);
}

bool FileHasTests(const std::string& path) {
  return !FindTests(ReadHead(path)).methods.empty();
}

std::optional<TestSelection> SelectTests(const TestSource& tests, int caretLine) {
  if (tests.methods.empty()) return std::nullopt;
  TestSelection selection;
  for (const TestMethod& m : tests.methods) {
    if (caretLine >= m.firstLine && caretLine <= m.lastLine) {
      const std::string cls = Qualified(tests.package, m.className);
      selection.selectors = {"--select-method", cls + "#" + m.name + "(" + m.parameters + ")"};
      std::string shown = cls;
      std::replace(shown.begin(), shown.end(), '$', '.');
      selection.what = shown + "." + m.name + "()";
      selection.oneMethod = true;
      return selection;
    }
  }
  for (const std::string& top : tests.TopClasses()) {
    selection.selectors.push_back("--select-class");
    selection.selectors.push_back(top);
    selection.what += (selection.what.empty() ? "" : ", ") + top;
  }
  return selection;
}

TestSelection SelectTestClasses(const std::vector<TestSource>& sources) {
  TestSelection selection;
  size_t classes = 0;
  for (const TestSource& s : sources)
    for (const std::string& top : s.TopClasses()) {
      selection.selectors.push_back("--select-class");
      selection.selectors.push_back(top);
      ++classes;
    }
  selection.what = std::to_string(classes) + (classes == 1 ? " test class" : " test classes");
  return selection;
}

std::vector<std::string> TestLauncherArguments(const std::string& java, const std::string& jar,
                                               const std::string& classPath,
                                               const std::vector<std::string>& selectors) {
  std::vector<std::string> args = {java,
                                   "-jar",
                                   jar,
                                   "--disable-banner",
                                   "--disable-ansi-colors",
                                   "--details=tree",
                                   "--details-theme=ascii"};
  if (!classPath.empty()) {
    args.emplace_back("--class-path");
    args.push_back(classPath);
  }
  args.insert(args.end(), selectors.begin(), selectors.end());
  return args;
}

// --- Reading the launcher's report ---------------------------------------------

TestOutputReader::TestOutputReader(std::vector<std::string> roots) : roots_(std::move(roots)) {}

void TestOutputReader::Feed(std::string_view chunk) {
  while (!chunk.empty()) {
    const size_t nl = chunk.find('\n');
    const std::string_view part = chunk.substr(0, nl);
    if (!overlong_) {
      const size_t room = kMaxLine - line_.size();
      line_.append(part.substr(0, std::min(room, part.size())));
      if (part.size() > room) overlong_ = true;
    }
    if (nl == std::string_view::npos) return;
    // A line longer than any the report needs is no line of the report.
    if (!overlong_) Line(line_);
    line_.clear();
    overlong_ = false;
    chunk.remove_prefix(nl + 1);
  }
}

void TestOutputReader::EndFailure() {
  if (!current_) return;
  if (current_->file.empty() && !fallbackFile_.empty()) {
    current_->file = fallbackFile_;
    current_->line = fallbackLine_;
  }
  if (report_.failures.size() < kMaxFailures)
    report_.failures.push_back(std::move(*current_));
  else
    ++report_.failuresLeftOut;
  current_.reset();
}

void TestOutputReader::Line(std::string_view raw) {
  std::string_view line = raw;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const std::string trimmed = Trim(line);
  // The counts: "[         4 tests found           ]".
  if (trimmed.size() > 2 && trimmed.front() == '[' && trimmed.back() == ']') {
    const std::string inner = Trim(std::string_view(trimmed).substr(1, trimmed.size() - 2));
    size_t digits = 0;
    while (digits < inner.size() && std::isdigit(static_cast<unsigned char>(inner[digits])))
      ++digits;
    if (digits > 0 && digits <= 18 && digits < inner.size() && inner[digits] == ' ') {
      const long long n = std::stoll(inner.substr(0, digits));
      const std::string what = Trim(std::string_view(inner).substr(digits));
      if (what == "tests found") {
        report_.found = n;
        report_.summary = true;
      } else if (what == "tests successful") {
        report_.passed = n;
      } else if (what == "tests failed") {
        report_.failed = n;
      } else if (what == "tests skipped") {
        report_.skipped = n;
      } else if (what == "tests aborted") {
        aborted_ = n;
      } else if (what == "containers failed") {
        report_.containersFailed = n;
      }
      return;
    }
  }
  if (state_ == State::Output) {
    if (line.rfind("Failures (", 0) == 0 && !line.empty() && line.back() == ':')
      state_ = State::Failures;
    return;
  }
  if (trimmed.empty() || line.rfind("Test run finished", 0) == 0) {
    EndFailure();
    state_ = State::Output;
    return;
  }
  const size_t indent = line.find_first_not_of(' ');
  if (indent == 2) {
    // "  JUnit Jupiter:CalcTest:fails()": the engine, then the display names.
    EndFailure();
    current_ = TestFailure{};
    const size_t colon = trimmed.find(':');
    current_->test =
        Printable(colon == std::string::npos ? trimmed : trimmed.substr(colon + 1), kMaxMessage);
    currentClass_.clear();
    haveMessage_ = false;
    fallbackFile_.clear();
    fallbackLine_ = 0;
    framesSeen_ = 0;
    return;
  }
  if (!current_) return;
  if (trimmed.rfind("MethodSource [", 0) == 0 || trimmed.rfind("ClassSource [", 0) == 0) {
    currentClass_ = SourceField(trimmed, "className");
    const std::string method = SourceField(trimmed, "methodName");
    if (!currentClass_.empty()) {
      std::string simple = currentClass_.substr(currentClass_.find_last_of('.') + 1);
      std::replace(simple.begin(), simple.end(), '$', '.');
      // "CalcTest:lengths(String):[1] a" keeps the invocation after the method.
      std::string invocation;
      if (const size_t last = current_->test.find_last_of(':');
          last != std::string::npos && current_->test.compare(last + 1, 1, "[") == 0)
        invocation = " " + current_->test.substr(last + 1);
      current_->test = method.empty() ? simple : simple + "." + method + "()" + invocation;
    }
    return;
  }
  if (trimmed.rfind("=> ", 0) == 0) {
    if (haveMessage_) return;
    haveMessage_ = true;
    std::string text = trimmed.substr(3);
    // "org.opentest4j.AssertionFailedError: text": an assertion says only its text;
    // anything else keeps its simple name.
    const size_t colon = text.find(": ");
    const std::string type = colon == std::string::npos ? text : text.substr(0, colon);
    const std::string simple = type.substr(type.find_last_of('.') + 1);
    const bool assertion = simple == "AssertionFailedError" || simple == "AssertionError" ||
                           simple == "ComparisonFailure" || simple == "MultipleFailuresError";
    if (colon == std::string::npos)
      text = simple;
    else
      text = assertion ? text.substr(colon + 2) : simple + text.substr(colon);
    current_->message = Printable(text, kMaxMessage);
    return;
  }
  // A stack frame "calc.CalcTest.fails(CalcTest.java:19)": the test's own class wins,
  // else the first frame of the project's sources.
  if (indent != std::string_view::npos && indent >= 4 && current_->file.empty() &&
      framesSeen_ < 200 && !trimmed.empty() && trimmed.back() == ')') {
    ++framesSeen_;
    if (auto ref = ParseStackFrameReference("at " + trimmed, roots_)) {
      const std::string method = trimmed.substr(0, trimmed.find('('));
      const std::string cls = method.substr(0, method.find_last_of('.'));
      const std::string slashless = cls.substr(cls.find_last_of('/') + 1);
      const bool own =
          !currentClass_.empty() &&
          (slashless == currentClass_ || slashless.rfind(TopClass(currentClass_) + "$", 0) == 0 ||
           slashless == TopClass(currentClass_));
      if (own) {
        current_->file = ref->file;
        current_->line = ref->line;
      } else if (fallbackFile_.empty()) {
        fallbackFile_ = ref->file;
        fallbackLine_ = ref->line;
      }
    }
  }
}

TestReport TestOutputReader::Finish() {
  if (!line_.empty() && !overlong_) Line(line_);
  line_.clear();
  EndFailure();
  TestReport report = report_;
  report.skipped += aborted_;
  return report;
}

std::string TestSummaryLine(const TestReport& r) {
  std::string line = std::to_string(r.found) + (r.found == 1 ? " test, " : " tests, ") +
                     std::to_string(r.passed) + " passed, " + std::to_string(r.failed) +
                     " failed, " + std::to_string(r.skipped) + " skipped";
  if (r.containersFailed > 0)
    line +=
        "; " + std::to_string(r.containersFailed) +
        (r.containersFailed == 1 ? " class or container failed" : " classes or containers failed");
  return line;
}

std::string TestVerdict(const TestReport& r, int exitCode) {
  if (!r.summary)
    return "Tests did not run" +
           (exitCode >= 0 ? " (exit status " + std::to_string(exitCode) + ")" : std::string());
  if (r.found == 0) return "No tests found";
  if (r.failed > 0 || r.containersFailed > 0) return "Tests failed: " + TestSummaryLine(r);
  return "Tests passed: " + TestSummaryLine(r);
}

std::string TestFailureLine(const TestFailure& f, const std::string& baseDir) {
  std::string text = f.test + " failed";
  if (!f.message.empty()) text += ": " + f.message;
  if (f.file.empty()) return text;
  std::string file = f.file;
  if (!baseDir.empty() && file.size() > baseDir.size() + 1 &&
      file.compare(0, baseDir.size(), baseDir) == 0 && file[baseDir.size()] == '/')
    file = file.substr(baseDir.size() + 1);
  return file + ":" + std::to_string(f.line) + ": " + text;
}

std::vector<CompileDiagnostic> TestFailureMarks(const TestReport& report) {
  std::vector<CompileDiagnostic> marks;
  for (const TestFailure& f : report.failures) {
    if (f.file.empty() || f.line <= 0) continue;
    CompileDiagnostic d;
    d.file = f.file;
    d.mark.line = f.line - 1;
    d.mark.severity = DiagnosticSeverity::Error;
    d.mark.message = f.test + " failed" + (f.message.empty() ? "" : ": " + f.message);
    marks.push_back(std::move(d));
  }
  return marks;
}

// --- The command ---------------------------------------------------------------

namespace {

struct TestLaunch {
  std::vector<std::string> args;
  std::string directory;
  std::vector<std::string> roots;
  std::vector<std::string> sources;  // whose marks the run replaces
  std::string what;
};

// Writes the heading and runs the launcher on the build thread.
std::shared_ptr<IBuildJob> StartTestLaunch(const TestLaunch& launch, TestRunContext& context) {
  IHost& host = context.host;
  if (!context.slot.IsIdle()) {
    host.Message(kBusyMessage);
    return nullptr;
  }
  if (context.showOutput) context.showOutput();
  IOutput& out = host.Output();
  const std::string line = ToolCommandLine(launch.args);
  out.SetOutput(kCompileHeading);
  out.SetReferenceDirectory(launch.directory);
  out.SetReferenceRoots(launch.roots);
  out.AppendOutput(kRunningTestsLine, true);
  out.AppendOutput(kSeparator, true);
  out.AppendOutput(line, true);
  out.AppendOutput("", true);

  auto mark = context.markFailures;
  auto body = [launch, line, mark](WorkerContext& c) {
    // The launcher's output goes to the window as it comes and is read on the way.
    struct Tee : IOutput {
      IOutput& to;
      TestOutputReader reader;
      Tee(IOutput& o, std::vector<std::string> roots) : to(o), reader(std::move(roots)) {}
      void SetOutput(const std::string& text) override { to.SetOutput(text); }
      void AppendOutput(const std::string& text, bool newLineFirst) override {
        if (newLineFirst) reader.Feed("\n");
        reader.Feed(text);
        to.AppendOutput(text, newLineFirst);
      }
    } tee(c.output, launch.roots);
    struct NoSlot : IBuildSlot {
      bool IsIdle() const override { return false; }
      void SetBuildThread(std::shared_ptr<IBuildJob>) override {}
    } noSlot;
    int exitCode = -1;
    const bool started = RunCapturedArguments(launch.args, line, launch.directory, c.host, tee,
                                              noSlot, &c.control, &exitCode) == 0 ||
                         exitCode >= 0;
    if (c.control.Cancelled()) return;
    const TestReport report = tee.reader.Finish();
    c.slot.SetBuildThread(nullptr);
    IOutput& out = c.output;
    out.AppendOutput("", false);
    out.AppendOutput(kSeparator, true);
    for (const TestFailure& f : report.failures)
      out.AppendOutput(TestFailureLine(f, launch.directory), true);
    if (report.failuresLeftOut > 0)
      out.AppendOutput("... and " + std::to_string(report.failuresLeftOut) + " more failures",
                       true);
    if (report.summary && report.found == 0)
      out.AppendOutput("No tests found in " + launch.what + ".", true);
    else if (report.summary)
      out.AppendOutput(TestSummaryLine(report), true);
    else if (started)
      out.AppendOutput(
          "The launcher ended without its counts (exit status " + std::to_string(exitCode) + ").",
          true);
    out.AppendOutput(kSeparator, true);
    out.AppendOutput(kDoneLine, true);
    c.host.ShowStatus(TestVerdict(report, exitCode));
    if (mark) {
      auto marks = TestFailureMarks(report);
      auto sources = launch.sources;
      c.onUi([mark, sources, marks] { mark(sources, marks); });
    }
    c.host.Beep(BeepKind::Default);
  };
  auto running = StartWorkerJob(std::move(body), host, out, context.slot, context.ui);
  context.slot.SetBuildThread(running);
  return running;
}

std::vector<std::string> RootsFor(const std::string& sourceRoot, const Project* project) {
  std::vector<std::string> roots;
  if (!sourceRoot.empty()) roots.push_back(sourceRoot);
  if (project)
    for (std::string& r : ProjectJavaLayout(*project).sourceRoots)
      if (std::find(roots.begin(), roots.end(), r) == roots.end()) roots.push_back(std::move(r));
  return roots;
}

std::string BaseName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

std::shared_ptr<IBuildJob> RunTestsCommand(const TestRequest& request, TestRunContext& context) {
  IHost& host = context.host;
  if (!context.slot.IsIdle()) {
    host.Message(kBusyMessage);
    return nullptr;
  }
  const Project* project = context.project && context.project->IsOpen() ? context.project : nullptr;
  const std::string jar = TestLauncherJar(context.profile);
  if (!paths::Exists(jar) || paths::IsDirectory(jar)) {
    host.Message(MissingLauncherMessage(jar));
    return nullptr;
  }
  // The chosen JDK's java, as an argument (not a command line to split).
  const std::string jdkHome = ChosenJdk(context.profile, project).home;
  std::string java = jdkHome.empty() ? std::string() : JdkJava(jdkHome);
  if (java.empty()) java = "java";

  if (request.wholeProject) {
    if (!project) {
      host.Message("There is no open project");
      return nullptr;
    }
    std::vector<std::string> sources;
    std::vector<TestSource> tests;
    for (const std::string& path : ProjectJavaSources(*project)) {
      TestSource t = FindTests(ReadHead(path));
      if (t.methods.empty()) continue;
      sources.push_back(path);
      tests.push_back(std::move(t));
    }
    if (tests.empty()) {
      host.Message(
          "The project has no test classes: no method of its Java files is annotated "
          "@Test.");
      return nullptr;
    }
    std::string root = SourceRootOfFile(sources.front());
    const std::vector<std::string> roots = RootsFor(root, project);
    TestLaunch launch{
        TestLauncherArguments(java, jar,
                              JoinSearchPath(RunClassPathEntries(context.profile, project,
                                                                 sources.front(), root, "")),
                              SelectTestClasses(tests).selectors),
        project->ProjectDirectory(), roots, sources, SelectTestClasses(tests).what};
    // Built first when any class is missing or older than its source.
    const std::vector<std::string> all = ProjectJavaSources(*project);
    std::vector<std::string> packages;
    for (const std::string& s : all) {
      std::string pkg;
      SourceRootOfFile(s, &pkg);
      packages.push_back(pkg);
    }
    IDocument* active = host.ActiveDocument();
    const bool edited = active && active->IsModified() && project->Encloses(active->PathName());
    if (context.reenter &&
        (edited || !ClassesUpToDate(all, packages, project->OutputDirectory()))) {
      CompileContext compile{host,       context.profile,    context.slot,
                             context.ui, context.showOutput, project};
      compile.afterSuccess = [launch, reenter = context.reenter] {
        reenter([&launch](TestRunContext& c) { StartTestLaunch(launch, c); });
      };
      return BuildProject(compile, false);
    }
    return StartTestLaunch(launch, context);
  }

  IDocument* document = request.document;
  const std::string source = document ? document->PathName() : std::string();
  if (source.empty() || !NamesJavaFile(source)) {
    host.Message("Run Tests needs a Java test class in the active window.");
    return nullptr;
  }
  const TestSource tests = FindTests(request.text);
  const std::optional<TestSelection> selection = SelectTests(tests, request.caretLine);
  if (!selection) {
    host.Message(BaseName(source) +
                 " has no tests: none of its methods is annotated @Test (or "
                 "@ParameterizedTest, @RepeatedTest, @TestFactory).");
    return nullptr;
  }
  std::string pkg;
  std::string root = SourceRootOfFile(source, &pkg);
  if (root.empty()) root = CompileDirectory(source);
  const std::string className = tests.TopClasses().front();
  const std::string classPath =
      JoinSearchPath(RunClassPathEntries(context.profile, project, source, root, className));
  TestLaunch launch{TestLauncherArguments(java, jar, classPath, selection->selectors),
                    project && project->Encloses(source) ? project->ProjectDirectory() : root,
                    RootsFor(root, project),
                    {source},
                    selection->what};
  if (selection->oneMethod) host.ShowStatus("Running " + selection->what);

  // Compiled first when its class is missing, older than the source, or the editor
  // holds changes.
  const std::string classes = ClassesDirectoryFor(context.profile, project, source, root);
  bool current = ClassIsCurrent(ClassFileFor(classes, className), source);
  if (document->IsModified()) current = false;
  if (!current && context.reenter) {
    CompileContext compile{host,       context.profile,    context.slot,
                           context.ui, context.showOutput, project};
    compile.afterSuccess = [launch, reenter = context.reenter] {
      reenter([&launch](TestRunContext& c) { StartTestLaunch(launch, c); });
    };
    return CompileDocument(*document, compile);
  }
  return StartTestLaunch(launch, context);
}

}  // namespace tamso
