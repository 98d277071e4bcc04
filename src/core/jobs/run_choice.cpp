#include "jobs/run_choice.h"

#include <cctype>

#include "java/java_mains.h"
#include "java/java_source.h"
#include "java/source_roots.h"
#include "jobs/run_class_path.h"
#include "platform/command_line.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "project/project.h"

namespace tamso {

namespace {

constexpr const char* kUnset = "\x01";

bool IsJavaSource(const std::string& path) {
  return paths::Extension(path) == ".java";
}

// The stored keys of a scope (project file or per-class section) over the values.
// Options and arguments are the class's own: without stored ones, the last run's
// only when the class is the last one (another class would get, say, its -cp).
void ApplyStored(const IniFile& file, const std::string& section, RunOffer& offer,
                 bool classIsLast) {
  RunJavaValues& v = offer.values;
  if (!classIsLast) {
    v.arguments.clear();
    v.options = RunJavaValues{}.options;
  }
  if (section.empty()) return;
  for (const auto& [key, value] : file.ReadSection(section)) {
    if (key == "Command")
      v.command = value;
    else if (key == "Options")
      v.options = value;
    else if (key == "Args")
      v.arguments = value;
    else if (key == "Directory" && !value.empty())
      v.directory = value;
    else if (key == "Console")
      v.privateConsole = value == "Y";
  }
}

}  // namespace

std::string RunChoiceSection(const std::string& className) {
  if (className.empty() || className == "?") return {};
  for (char c : className) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (!(std::isalnum(u) || c == '.' || c == '$' || c == '_' || u >= 0x80)) return {};
  }
  return kRunChoicePrefix + className;
}

std::string NoMainNote(const std::string& className) {
  return className + " declares no main method.";
}

RunOffer MakeRunOffer(const IniFile& profile, const Project* project, IDocument* document) {
  RunOffer offer;
  if (project && !project->IsOpen()) project = nullptr;
  offer.values = LoadRunJavaValues(profile);
  // 1. The active Java file, when it declares a main.
  const std::string active = document ? document->PathName() : std::string();
  if (IsJavaSource(active)) {
    const JavaMains mains = FindJavaMainsOfFile(active);
    const std::string preferred = mains.Preferred(paths::BaseName(active));
    const std::string own =
        (mains.package.empty() ? "" : mains.package + ".") + paths::BaseName(active);
    if (!preferred.empty()) {
      offer.source = active;
      offer.offeredClass = preferred;
      // The file's own class has none: say which of its classes runs instead.
      bool ownDeclared = false;
      for (const JavaClassMain& c : mains.classes)
        ownDeclared = ownDeclared || c.name == paths::BaseName(active);
      if (preferred != own && ownDeclared)
        offer.note = NoMainNote(own) + " Running " + preferred + ", which has one.";
    } else {
      offer.note = NoMainNote(own);
    }
  }
  // 2. The project's main file.
  if (offer.source.empty() && project) {
    const std::string main = project->MainFileForRun();
    if (NamesJavaFile(main)) {
      offer.source = project->ResolveMember(main);
      const JavaMains mains = FindJavaMainsOfFile(offer.source);
      offer.offeredClass = mains.Preferred(paths::BaseName(offer.source));
      if (offer.offeredClass.empty()) {
        // Run it anyway under its own name; the launcher says what is missing.
        offer.offeredClass = (mains.package.empty() ? "" : mains.package + ".") +
                             paths::BaseName(offer.source);
        offer.note = NoMainNote(offer.offeredClass);
      }
    } else {
      // The last class run in this project, when there is one.
      const std::string last = IniFile(project->ProjectFile()).GetString(kRunJavaSection,
                                                                         "Class", kUnset);
      if (last == kUnset)
        offer.refusal = NoJavaMainFileMessage(project->ProjectFile(), main);
      else
        offer.values.className = last;
    }
  }
  if (!offer.source.empty()) {
    std::string package;
    offer.sourceRoot = SourceRootOfFile(offer.source, &package);
    offer.inProject = project && project->Encloses(offer.source);
    offer.offeredDirectory = !offer.sourceRoot.empty() ? offer.sourceRoot
                             : offer.inProject        ? project->ProjectDirectory()
                                                      : paths::Directory(offer.source);
    offer.values.className = QuoteShellWord(NotAnOption(offer.offeredClass));
    if (!offer.inProject) {
      const std::string classes =
          ClassesDirectoryFor(profile, project, offer.source, offer.sourceRoot);
      if (classes.empty() || !paths::Exists(ClassFileFor(classes, offer.offeredClass))) {
        // Nothing compiled yet: the launcher compiles and runs the one file itself.
        offer.singleFile = true;
        offer.values.className = QuoteShellWord(NotAnOption(offer.source));
        offer.offeredDirectory = paths::Directory(offer.source);
      }
    }
    offer.values.directory = offer.offeredDirectory;
  } else if (project) {
    offer.offeredDirectory = project->ProjectDirectory();
    offer.values.directory = offer.offeredDirectory;
  } else if (profile.GetString("Compiler", "UseDirectory", "N") == "Y") {
    // The last class runs where the compiler's output directory is, as before.
    offer.values.directory = ResolveOutputDirectory(offer.values.directory, nullptr, active);
    offer.offeredDirectory = offer.values.directory;
  }

  // What the user typed last time for this project or class.
  const bool classIsLast = offer.source.empty();
  // A file outside the open project is no business of the project's.
  if (project && (offer.source.empty() || offer.inProject)) {
    ApplyStored(IniFile(project->ProjectFile()), kRunJavaSection, offer, classIsLast);
  } else {
    const std::string cls = offer.offeredClass.empty() ? offer.values.className
                                                       : offer.offeredClass;
    ApplyStored(profile, RunChoiceSection(cls), offer, classIsLast);
  }
  return offer;
}

void KeepRunChoice(IniFile& profile, const Project* project, const RunOffer& offer,
                   const RunJavaValues& chosen) {
  SaveRunJavaValues(profile, chosen);
  std::vector<std::pair<std::string, std::string>> entries{
      {"Command", chosen.command},
      {"Options", chosen.options},
      {"Class", chosen.className},
      {"Args", chosen.arguments},
  };
  if (chosen.directory != offer.offeredDirectory) entries.emplace_back("Directory", chosen.directory);
  entries.emplace_back("Console", chosen.privateConsole ? "Y" : "N");
  if (project && project->IsOpen() && (offer.source.empty() || offer.inProject)) {
    IniFile file(project->ProjectFile());
    file.ReplaceSection(kRunJavaSection, entries);
    return;
  }
  const std::string section = RunChoiceSection(
      offer.offeredClass.empty() ? chosen.className : offer.offeredClass);
  if (!section.empty()) profile.ReplaceSection(section, entries);
}

}  // namespace tamso
