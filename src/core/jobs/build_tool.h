#pragma once
// Which program builds a project: a project folder that holds pom.xml is built by
// its ./mvnw (when it is there and executable) or by mvn, one that holds build.gradle
// or build.gradle.kts by its ./gradlew or by gradle; every other project by javac. The tool runs
// in the project folder, started without a shell.

#include <functional>
#include <string>
#include <vector>

namespace tamso {

enum class BuildToolKind { Javac, Maven, Gradle };

struct BuildToolChoice {
  BuildToolKind kind = BuildToolKind::Javac;
  // The tool's arguments, the program first; empty for javac.
  std::vector<std::string> args;
  // The project file that asks for a tool ("pom.xml", "build.gradle", ...), also when
  // the tool is missing; "" for a plain project.
  std::string marker;
  // The program that was not found on PATH ("mvn", "gradle"); "" when none is missing.
  std::string missing;
};

// Finds a program on PATH: its full path, "" when there is none.
using ProgramFinder = std::function<std::string(const std::string&)>;

// The tool for a build (rebuild: the clean goal or task first) of the project in
// projectDir. pom.xml comes before the Gradle files when both are there and Maven is
// found; a tool that is missing falls back to the other one when that is there.
BuildToolChoice ChooseBuildTool(const std::string& projectDir, bool rebuild,
                                const ProgramFinder& find);

// The name the output window shows for the tool: "mvn", "./mvnw", "gradle", "./gradlew".
std::string BuildToolName(const BuildToolChoice& choice);

// The note for a project file whose tool is missing:
// "The project folder holds pom.xml, but mvn was not found on PATH."
std::string MissingToolNote(const BuildToolChoice& choice);

// The question that offers javac instead.
std::string MissingToolQuestion(const BuildToolChoice& choice);

}  // namespace tamso
