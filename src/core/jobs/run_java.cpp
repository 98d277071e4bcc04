#include "jobs/run_java.h"

#include <cctype>

#include "jobs/run_class_path.h"
#include "platform/command_line.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/project.h"

namespace tamso {

namespace {

RunTarget RunTargetIn(std::string_view path, std::string_view package, const char* separators) {
  const size_t sep = path.find_last_of(separators);
  RunTarget t;
  std::string file;
  if (sep == std::string_view::npos) {
    // A bare file name lies in the current directory; its own text is no directory.
    t.directory = ".";
    file = std::string(path);
  } else {
    t.directory = std::string(path.substr(0, sep));
    file = std::string(path.substr(sep + 1));
  }
  const size_t dot = file.find_last_of('.');
  t.className = dot == std::string::npos ? file : file.substr(0, dot);
  if (package.empty() || sep == std::string_view::npos) return t;

  // Take the package's folders off the end of the directory, last one first.
  std::string dir = t.directory;
  std::string rest(package);
  for (;;) {
    const size_t pdot = rest.find_last_of('.');
    const std::string last = pdot == std::string::npos ? rest : rest.substr(pdot + 1);
    const size_t dsep = dir.find_last_of(separators);
    const std::string tail = dsep == std::string::npos ? dir : dir.substr(dsep + 1);
    if (tail != last) return t;
    dir = dsep == std::string::npos ? std::string() : dir.substr(0, dsep);
    if (pdot == std::string::npos) break;
    rest.resize(pdot);
  }
  if (dir.empty()) dir = path[0] == '/' && t.directory.find_first_of(separators) == 0 ? "/" : ".";
  t.directory = dir;
  t.className = std::string(package) + "." + t.className;
  return t;
}

bool Blank(std::string_view s) {
  return s.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

}  // namespace

RunJavaValues LoadRunJavaValues(const IniFile& profile) {
  RunJavaValues v;
  v.command = profile.GetString(kRunJavaSection, "Command", "java");
  v.options = profile.GetString(kRunJavaSection, "Options", " ");
  v.arguments = profile.GetString(kRunJavaSection, "Args", "");
  v.className = profile.GetString(kRunJavaSection, "Class", "?");
  if (profile.GetString("Compiler", "UseDirectory", "N") == "Y")
    v.directory = profile.GetString("Compiler", "Directory", "");
  else
    v.directory = profile.GetString(kRunJavaSection, "Directory", "");
  return v;
}

bool SaveRunJavaValues(IniFile& profile, const RunJavaValues& v) {
  return profile.WriteString(kRunJavaSection, "Command", v.command) &&
         profile.WriteString(kRunJavaSection, "Options", v.options) &&
         profile.WriteString(kRunJavaSection, "Args", v.arguments) &&
         profile.WriteString(kRunJavaSection, "Class", v.className);
}

std::string ComposeRunJavaLine(const RunJavaValues& v) {
  std::string options = v.options;
  if (!Blank(v.classPath) && !OptionsNameClassPath(SplitShellWords(v.options))) {
    if (!options.empty() && options.back() != ' ') options += ' ';
    options += "-classpath " + QuoteShellWord(v.classPath);
  }
  return v.command + " " + options + " " + v.className + " " + v.arguments;
}

std::vector<std::string> RunJavaArguments(const RunJavaValues& v) {
  std::vector<std::string> args = SplitShellWords(v.command);
  const std::vector<std::string> options = SplitShellWords(v.options);
  args.insert(args.end(), options.begin(), options.end());
  if (!Blank(v.classPath) && !OptionsNameClassPath(options)) {
    args.emplace_back("-classpath");
    args.push_back(v.classPath);
  }
  // The class and the arguments are split as typed, so 'a b' in quotes stays one.
  for (auto& a : SplitShellWords(v.className + " " + v.arguments)) args.push_back(std::move(a));
  return args;
}

std::string RunJavaHeading(const RunJavaValues& v) {
  std::string heading = ComposeRunJavaLine(v);
  if (!Blank(v.classPath) && OptionsNameClassPath(SplitShellWords(v.options)))
    heading += "\n(The class path of the Options replaces the project's: " + v.classPath + ")";
  return heading;
}

std::string RunClassPath(const IniFile& profile, const Project* project,
                         const std::string& sourcePath) {
  // Inside a project the classes are in the project's output directory.
  if (project && project->Encloses(sourcePath)) return project->OutputDirectory();
  if (project && !sourcePath.empty()) {
    const CompilerOverrides own = project->CompilerOverridesFor(sourcePath);
    if (own.directory)
      return Blank(*own.directory) ? std::string()
                                   : ResolveOutputDirectory(*own.directory, project, sourcePath);
  }
  if (profile.GetString("Compiler", "UseDirectory", "N") != "Y") return {};
  std::string dir = profile.GetString("Compiler", "Directory", "");
  return Blank(dir) ? std::string() : ResolveOutputDirectory(dir, project, sourcePath);
}

std::string ResolveOutputDirectory(const std::string& directory, const Project* project,
                                   const std::string& sourcePath) {
  if (Blank(directory) || paths::IsAbsolute(directory)) return directory;
  const std::string base =
      project && project->IsOpen() ? project->ProjectDirectory() : paths::Directory(sourcePath);
  if (!paths::IsAbsolute(base)) return directory;
  return paths::Absolute(paths::Join(base, directory));
}

RunTarget RunTargetFor(std::string_view path, std::string_view package, bool backslashSeparates) {
  const char* separators = backslashSeparates ? "/\\" : "/";
  RunTarget t = RunTargetIn(path, package, separators);
  t.className = NotAnOption(t.className);
  return t;
}

std::string NoJavaMainFileMessage(const std::string& projectFile, const std::string& mainFile) {
  return std::string("The open project does not have a\n") +
         "Main file selected with a .java extension" + "\n\nProject:" + projectFile +
         "\nMain file: " + mainFile + "\n\nSorry.  Cannot run java interpreter";
}

}  // namespace tamso
