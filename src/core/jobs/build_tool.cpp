#include "jobs/build_tool.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"

namespace tamso {

namespace {

bool IsFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

BuildToolChoice ChooseBuildTool(const std::string& projectDir, bool rebuild,
                                const ProgramFinder& find) {
  BuildToolChoice choice;
  if (projectDir.empty()) return choice;
  const bool pom = IsFile(paths::Join(projectDir, "pom.xml"));
  std::string gradleFile;
  for (const char* name : {"build.gradle", "build.gradle.kts"})
    if (gradleFile.empty() && IsFile(paths::Join(projectDir, name))) gradleFile = name;
  if (!pom && gradleFile.empty()) return choice;

  // The project's own wrapper pins the tool version it was written for.
  auto wrapper = [&](const char* name) {
    const std::string path = paths::Join(projectDir, name);
    return IsFile(path) && ::access(path.c_str(), X_OK) == 0 ? "./" + std::string(name)
                                                             : std::string();
  };
  std::string maven = pom ? wrapper("mvnw") : std::string();
  if (pom && maven.empty() && !find("mvn").empty()) maven = "mvn";
  if (!maven.empty()) {
    choice.kind = BuildToolKind::Maven;
    choice.marker = "pom.xml";
    choice.args = {maven, "-B", "-q"};
    if (rebuild) choice.args.emplace_back("clean");
    choice.args.emplace_back("compile");
    return choice;
  }
  if (!gradleFile.empty()) {
    std::string program = wrapper("gradlew");
    if (program.empty() && !find("gradle").empty()) program = "gradle";
    if (!program.empty()) {
      choice.kind = BuildToolKind::Gradle;
      choice.marker = gradleFile;
      choice.args = {program, "-q"};
      if (rebuild) choice.args.emplace_back("clean");
      choice.args.emplace_back("classes");
      return choice;
    }
  }
  choice.marker = pom ? "pom.xml" : gradleFile;
  choice.missing = pom ? "mvn" : "gradle";
  return choice;
}

std::string BuildToolName(const BuildToolChoice& choice) {
  return choice.args.empty() ? std::string("javac") : choice.args.front();
}

std::string MissingToolNote(const BuildToolChoice& choice) {
  return "The project folder holds " + choice.marker + ", but " + choice.missing +
         " was not found on PATH.";
}

std::string MissingToolQuestion(const BuildToolChoice& choice) {
  return MissingToolNote(choice) + "\n\nBuild the project with javac instead?";
}

}  // namespace tamso
