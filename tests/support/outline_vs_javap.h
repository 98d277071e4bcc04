#pragma once
// Measures the Java outline against the compiler's view of the same classes: for each
// source of a JDK's src.zip, the member names the outline lists under each class
// (nested classes by their binary names, Outer$Inner) against the fields, methods and
// constructors that javap -p lists as declared in the JDK's own class files. Members
// the compiler makes up are set aside: names holding '$' (lambdas, switch maps,
// accessors), a class initialiser, enum values/valueOf, and a constructor, equals,
// hashCode or toString that the source does not write (a default or canonical
// constructor, a record's generated methods). Shared by the test (a sample) and the
// benchmark (all of java.base).

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "browser/source_archive.h"
#include "lang/language.h"
#include "lang/outline.h"

extern char** environ;

namespace tamso::javap_check {

struct Jdk {
  std::string home;
  std::string javap, jimage, srcZip;
};

// The JDKs under /usr/lib/jvm that have javap, jimage and src.zip, once each.
inline std::vector<Jdk> FindJdks(const std::string& root = "/usr/lib/jvm") {
  std::vector<Jdk> out;
  std::set<std::string> seen;
  DIR* d = ::opendir(root.c_str());
  if (!d) return out;
  std::vector<std::string> names;
  while (dirent* e = ::readdir(d))
    if (e->d_name[0] != '.') names.push_back(e->d_name);
  ::closedir(d);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    char real[PATH_MAX];
    if (!::realpath((root + "/" + name).c_str(), real)) continue;
    Jdk j{real, std::string(real) + "/bin/javap", std::string(real) + "/bin/jimage",
          std::string(real) + "/lib/src.zip"};
    if (::access(j.javap.c_str(), X_OK) != 0 || ::access(j.jimage.c_str(), X_OK) != 0 ||
        ::access(j.srcZip.c_str(), R_OK) != 0 || !seen.insert(real).second)
      continue;
    out.push_back(j);
  }
  return out;
}

// Runs argv (no shell) and returns what it wrote to its output and error streams.
inline std::string Capture(const std::vector<std::string>& argv) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  std::string out;
  if (rc == 0) {
    char buf[65536];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) != 0;) {
      if (n < 0) break;
      out.append(buf, static_cast<std::size_t>(n));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
  }
  ::close(fds[0]);
  return out;
}

// An anonymous or local class (Outer$1, Outer$1Local) is no member of its outer class.
inline bool IsNamedClass(const std::string& binary) {
  for (std::size_t i = binary.find('$'); i != std::string::npos; i = binary.find('$', i + 1))
    if (i + 1 >= binary.size() || std::isdigit(static_cast<unsigned char>(binary[i + 1])))
      return false;
  return true;
}

// The named classes of a module, by binary name (java.lang.Character$UnicodeBlock).
inline std::set<std::string> ModuleClasses(const Jdk& jdk, const std::string& module) {
  const std::string listing = Capture({jdk.jimage, "list", jdk.home + "/lib/modules"});
  std::set<std::string> out;
  std::istringstream in(listing);
  bool inModule = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("Module: ", 0) == 0) {
      inModule = line.substr(8) == module;
      continue;
    }
    if (!inModule) continue;
    std::size_t b = line.find_first_not_of(" \t");
    if (b == std::string::npos) continue;
    std::string path = line.substr(b);
    if (path.size() < 7 || path.compare(path.size() - 6, 6, ".class") != 0) continue;
    path.resize(path.size() - 6);
    if (path.find("module-info") != std::string::npos ||
        path.find("package-info") != std::string::npos)
      continue;
    std::replace(path.begin(), path.end(), '/', '.');
    if (IsNamedClass(path)) out.insert(path);
  }
  return out;
}

struct ClassMembers {
  std::set<std::string> names;
  int constructors = 0;
  bool isEnum = false, isRecord = false;
  std::string sourceFile;  // "Compiled from" name
};

inline std::string SimpleName(const std::string& binary) {
  std::size_t cut = binary.find_last_of(".$");
  return cut == std::string::npos ? binary : binary.substr(cut + 1);
}

// javap -p -v of the classes, by binary name. Members the compiler flags as synthetic
// or bridges are left out.
inline std::map<std::string, ClassMembers> JavapMembers(const Jdk& jdk,
                                                        const std::vector<std::string>& classes) {
  std::map<std::string, ClassMembers> out;
  for (std::size_t from = 0; from < classes.size(); from += 200) {
    std::vector<std::string> argv{jdk.javap, "-p", "-v"};
    for (std::size_t i = from; i < std::min(classes.size(), from + 200); ++i)
      argv.push_back(classes[i]);
    std::istringstream in(Capture(argv));
    ClassMembers* current = nullptr;
    std::string currentName, sourceFile, pending;
    bool inMembers = false;
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("  Compiled from \"", 0) == 0) {
        sourceFile = line.substr(17, line.size() - 18);
        continue;
      }
      if (line.empty()) continue;
      if (line == "{" || line == "}") {
        inMembers = line == "{";
        continue;
      }
      if (line[0] != ' ' && !inMembers &&
          (line.find("class ") != std::string::npos ||
           line.find("interface ") != std::string::npos)) {
        // A class header: "... (class|interface) name<...> [extends ...] ...".
        std::istringstream words(line);
        std::string w, prev;
        currentName.clear();
        while (words >> w) {
          if (prev == "class" || prev == "interface") {
            currentName = w.substr(0, w.find('<'));
            break;
          }
          prev = w;
        }
        current = currentName.empty() ? nullptr : &out[currentName];
        if (current) {
          current->isEnum = line.find(" extends java.lang.Enum<") != std::string::npos;
          current->isRecord = line.find(" extends java.lang.Record") != std::string::npos;
          current->sourceFile = sourceFile;
        }
        pending.clear();
        continue;
      }
      if (!current || !inMembers) continue;
      if (line.rfind("    flags:", 0) == 0) {
        if (!pending.empty() && line.find("ACC_SYNTHETIC") == std::string::npos &&
            line.find("ACC_BRIDGE") == std::string::npos)
          current->names.insert(pending);
        pending.clear();
        continue;
      }
      if (line.size() < 3 || line[0] != ' ' || line[1] != ' ' || line[2] == ' ' ||
          line.back() != ';' || line.find('{') != std::string::npos)
        continue;
      std::string decl = line.substr(0, line.size() - 1);
      std::size_t paren = decl.find('(');
      if (paren != std::string::npos) decl.resize(paren);
      while (!decl.empty() && decl.back() == ' ') decl.pop_back();
      std::size_t space = decl.find_last_of(' ');
      pending = space == std::string::npos ? decl : decl.substr(space + 1);
      if (paren != std::string::npos && pending == currentName) {
        ++current->constructors;
        pending = SimpleName(currentName);
      }
    }
  }
  return out;
}

// The outline's classes of one source, by binary name, with their member names.
class BinaryNameSink : public IOutlineSink {
 public:
  explicit BinaryNameSink(std::string package) : package_(std::move(package)) {}
  int BeginOutline(const std::string&) override {
    items_.assign(1, {});
    return 0;
  }
  int AddOutlineItem(const std::string& text, int kind, int parent) override {
    const std::string& parentClass = items_.at(static_cast<std::size_t>(parent));
    std::string self;
    if (kind == kOutlineClass) {
      self = parentClass.empty() ? (package_.empty() ? text : package_ + "." + text)
                                 : parentClass + "$" + text;
      classes[self];
    } else if ((kind == kOutlineField || kind == kOutlineMethod) && !parentClass.empty()) {
      classes[parentClass].insert(std::string(OutlineMemberName(text)));
    }
    items_.push_back(self);
    return static_cast<int>(items_.size()) - 1;
  }
  void EndOutline() override {}
  std::map<std::string, std::set<std::string>> classes;

 private:
  std::string package_;
  std::vector<std::string> items_;  // per item: the class it is, else empty
};

struct Score {
  std::size_t truth = 0;                   // members javap lists (made-up ones aside)
  std::size_t outline = 0;                 // members the outline lists
  std::size_t matched = 0;                 // in both
  std::vector<std::string> missed, extra;  // "Class#name", a few for the report
  double Precision() const { return outline ? double(matched) / double(outline) : 1.0; }
  double Recall() const { return truth ? double(matched) / double(truth) : 1.0; }
};

// Compares the outline of the given entries of the JDK's src.zip ("java.base/java/..")
// with javap. The module is the entries' first folder.
inline Score Compare(const Jdk& jdk, const std::vector<std::string>& entries,
                     const std::set<std::string>& moduleClasses) {
  std::string error;
  std::unique_ptr<SourceArchive> zip = SourceArchive::Open(jdk.srcZip, &error);
  Score score;
  if (!zip) return score;
  std::map<std::string, std::set<std::string>> outlined;
  std::vector<std::string> wanted;
  std::map<std::string, std::string> fileOfTopLevel;  // binary name -> source file name
  for (const std::string& entry : entries) {
    std::string text;
    if (!zip->Read(entry, 64u << 20, text, &error)) continue;
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(std::move(line));
      start = end + 1;
    }
    struct Lines : ILineSource {
      const std::vector<std::string>* v;
      int LineCount() const override { return static_cast<int>(v->size()); }
      std::string_view Line(int i) const override { return (*v)[static_cast<std::size_t>(i)]; }
    } source;
    source.v = &lines;
    // The package is the entry's folder below the module.
    const std::size_t slash = entry.find('/');
    const std::size_t last = entry.rfind('/');
    std::string package = slash < last ? entry.substr(slash + 1, last - slash - 1) : "";
    std::replace(package.begin(), package.end(), '/', '.');
    const std::string fileName = entry.substr(last + 1);
    BinaryNameSink sink(package);
    BuildJavaOutline(source, fileName, sink);
    // The compiler's classes from this file: the file's own class and every class
    // the outline names at the top, with their nested classes. A source this JDK
    // does not compile (another system's) is left out.
    std::set<std::string> tops{(package.empty() ? "" : package + ".") +
                               fileName.substr(0, fileName.size() - 5)};
    for (const auto& entryClass : sink.classes)
      if (entryClass.first.find('$') == std::string::npos) tops.insert(entryClass.first);
    if (std::none_of(tops.begin(), tops.end(),
                     [&](const std::string& top) { return moduleClasses.count(top) > 0; }))
      continue;
    for (auto& [cls, names] : sink.classes) outlined[cls].insert(names.begin(), names.end());
    for (const std::string& top : tops)
      for (auto it = moduleClasses.lower_bound(top); it != moduleClasses.end(); ++it) {
        if (it->compare(0, top.size(), top) != 0) break;
        if (it->size() == top.size() || (*it)[top.size()] == '$') {
          wanted.push_back(*it);
          fileOfTopLevel[*it] = fileName;
        }
      }
  }
  std::sort(wanted.begin(), wanted.end());
  wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
  const std::map<std::string, ClassMembers> javap = JavapMembers(jdk, wanted);
  for (const auto& [cls, members] : javap) {
    if (members.sourceFile != fileOfTopLevel[cls]) continue;  // another file's class
    const auto found = outlined.find(cls);
    const std::set<std::string> none;
    const std::set<std::string>& mine = found == outlined.end() ? none : found->second;
    const std::string simple = SimpleName(cls);
    for (const std::string& name : members.names) {
      const bool synthetic = name.find('$') != std::string::npos ||
                             (members.isEnum && (name == "values" || name == "valueOf"));
      const bool implicitCtor =
          name == simple && (members.constructors == 1 || members.isEnum || members.isRecord);
      const bool recordMethod =
          members.isRecord && (name == "equals" || name == "hashCode" || name == "toString");
      const bool madeUp = synthetic || ((implicitCtor || recordMethod) && !mine.count(name));
      if (madeUp) continue;
      ++score.truth;
      if (mine.count(name)) {
        ++score.matched;
      } else if (score.missed.size() < 40) {
        score.missed.push_back(cls + "#" + name);
      }
    }
  }
  for (const auto& [cls, names] : outlined) {
    const auto truth = javap.find(cls);
    for (const std::string& name : names) {
      ++score.outline;
      if ((truth == javap.end() || !truth->second.names.count(name)) && score.extra.size() < 40)
        score.extra.push_back(cls + "#" + name);
    }
  }
  return score;
}

// The .java entries of a module in src.zip, sorted.
inline std::vector<std::string> ModuleSources(const Jdk& jdk, const std::string& module) {
  std::string error;
  std::unique_ptr<SourceArchive> zip = SourceArchive::Open(jdk.srcZip, &error);
  std::vector<std::string> out;
  if (!zip) return out;
  for (const std::string& name : zip->Names())
    if (name.rfind(module + "/", 0) == 0 && name.size() > 5 &&
        name.compare(name.size() - 5, 5, ".java") == 0 &&
        name.find("-info.java") == std::string::npos)
      out.push_back(name);
  return out;
}

}  // namespace tamso::javap_check
