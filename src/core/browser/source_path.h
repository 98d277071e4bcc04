#pragma once
// The source path: the ";"-separated list of places searched for the Java source of
// a class ("Java"/"SourcePath"). An entry is a directory, or a .zip/.jar archive of
// sources such as the JDK's lib/src.zip. The search never leaves an entry: a name
// holding ".." or starting at "/" is found nowhere, and a directory hit that a
// symbolic link takes outside its entry does not count.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamso {

class IniFile;
class Project;

// The JDK's src.zip (as JdkSourceZip finds it): $JAVA_HOME's, else the one of the JDK
// that `javac` on PATH belongs to; "" when neither has one.
std::string JdkSourceArchive();
std::string JdkSourceArchive(std::string_view javaHome, std::string_view pathEnv);
// "." followed by the JDK's src.zip when there is one, else ".".
std::string DefaultSourcePath();
std::string DefaultSourcePath(std::string_view javaHome, std::string_view pathEnv);
// "Java"/"SourcePath", DefaultSourcePath() when the key is absent.
std::string ReadSourcePath(const IniFile& profile);
// The same for the JDK chosen for the open project (may be null): that JDK's sources
// stand where the list names a JDK's src.zip, or come last.
std::string ReadSourcePath(const IniFile& profile, const Project* project);

// The relative file a class name leads to: empty parts dropped and ".java" added
// when the last part has no extension ("java/awt/Graphics" gives
// "java/awt/Graphics.java"). No value when the name is empty, absolute, or has a
// "." or ".." part.
std::optional<std::string> SourceRelativeName(std::string_view relative);

// Where a class source was found.
struct SourceHit {
  std::string path;       // the file, or the archive holding it; empty: not found
  std::string entry;      // the entry inside the archive; empty for a plain file
  bool indexing = false;  // path is an archive still being indexed: search again later
  bool Found() const { return !path.empty() && !indexing; }
  bool InArchive() const { return !entry.empty(); }
  // What the document is called: the file's path, or "src.zip!/java.base/...".
  std::string Title() const;
};

// Searches the entries of sourcePath in order for relative (see SourceRelativeName)
// and returns the first hit. Missing, unreadable or damaged entries are passed over.
// Without wait, an archive whose index is still being built ends the search with a
// hit that says so (see SourceArchiveNow); whenIndexed then runs once it is built.
SourceHit FindSourceFile(std::string_view sourcePath, std::string_view relative, bool wait = true,
                         std::function<void()> whenIndexed = {});

}  // namespace tamso
