#include "browser/class_browser.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "browser/source_archive.h"
#include "platform/host.h"
#include "platform/paths.h"

namespace tamso {

namespace {

constexpr const char* kPackageMessage = "Error: Cant handle package";
constexpr const char* kNotFoundCaption = "Error openning file";

bool IsPackageKind(int kind) {
  return kind == 5 || kind == kOutlinePackage;
}

// Whether an import names the class: "java.applet.Applet" names Applet, and so does
// "Applet" itself; "foo.MyApplet" does not.
bool ImportNames(const std::string& import, const std::string& name) {
  if (name.empty() || import.size() < name.size()) return false;
  if (import.compare(import.size() - name.size(), name.size(), name) != 0) return false;
  return import.size() == name.size() || import[import.size() - name.size() - 1] == '.';
}

std::string DotsToSlashes(std::string text) {
  for (char& c : text)
    if (c == '.') c = '/';
  return text;
}

// Creates dir and its missing parents, each new one private to the user.
bool MakeDirectories(const std::string& dir, std::string* error) {
  std::string path;
  for (std::size_t pos = 0; pos <= dir.size();) {
    std::size_t slash = dir.find('/', pos);
    if (slash == std::string::npos) slash = dir.size();
    path = dir.substr(0, slash);
    pos = slash + 1;
    if (path.empty()) continue;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
      *error = "Cannot create " + path + ": " + std::strerror(errno) + ".";
      return false;
    }
  }
  if (!paths::IsDirectory(dir)) {
    *error = "Cannot create " + dir + ": it is not a directory.";
    return false;
  }
  return true;
}

// Writes bytes to path through a temporary file beside it, readable by the user only.
bool WritePrivateFile(const std::string& path, std::string_view bytes, std::string* error) {
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    *error = "Cannot write " + path + ": " + std::strerror(errno) + ".";
    return false;
  }
  ::fchmod(fd, 0600);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      *error = "Cannot write " + path + ": " + std::strerror(n < 0 ? errno : ENOSPC) + ".";
      ::close(fd);
      ::unlink(temp.c_str());
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
    *error = "Cannot write " + path + ": " + std::strerror(errno) + ".";
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::string NotFoundPrompt(const std::string& name) {
  return "Could not source file for: " + name + "\n\n\nUse Settings->Etc to set search path\n\n" +
         "\n\n\nDo you want to find the file yourself ?\n\n";
}

std::string ClassBrowser::Activate(const OutlineModel& tree, int node) {
  indexing_.clear();
  if (!tree.Has(node)) return indexing_;
  const OutlineNode& n = tree.Node(node);
  switch (n.kind) {
    case kOutlineImport:
      OpenClassSource(tree, node, n.parent, true);
      break;
    case kOutlineExtends:
    case kOutlineImplements:
      FindClassSource(tree, node);
      break;
    case kOutlineMethod:
    case kOutlineField:
      if (site_.showMember)
        site_.showMember(tree.Has(n.parent) ? tree.Node(n.parent).label : std::string(), n.label);
      break;
    case 5:
    case kOutlinePackage:
      if (n.children.empty()) site_.host->Message(kPackageMessage);
      break;
    default:
      break;
  }
  return indexing_;
}

bool ClassBrowser::StoppedAtIndexing(const SourceHit& hit) {
  if (!hit.indexing) return false;
  indexing_ = hit.path;
  return true;
}

bool ClassBrowser::OpenClassSource(const OutlineModel& tree, int node, int start, bool prompt) {
  return Lookup(tree, node, start, prompt) == Step::kOpened;
}

ClassBrowser::Step ClassBrowser::Lookup(const OutlineModel& tree, int node, int start,
                                        bool prompt) {
  if (!tree.Has(node)) return Step::kNotFound;
  const std::string name = tree.Node(node).label;
  std::string relative = name;
  while (tree.Has(start) && IsPackageKind(tree.Node(start).kind)) {
    std::string text = tree.Node(start).label;
    if (!text.empty() && text.back() == '.') text.pop_back();
    relative = text + "/" + relative;
    start = tree.Node(start).parent;
  }
  SourceHit hit = FindSourceFile(DotsToSlashes(relative));
  if (StoppedAtIndexing(hit)) return Step::kFailed;  // asked again once it is indexed
  if (!hit.Found()) {
    if (!prompt) return Step::kNotFound;
    const Answer answer = site_.host->MessageBox(NotFoundPrompt(name), kNotFoundCaption,
                                                 MsgIcon::Question, MsgButtons::YesNo);
    if (answer != Answer::Yes) return Step::kFailed;
    const std::optional<std::string> chosen = site_.host->OpenFileDialog(FileDialogOptions{});
    if (!chosen || chosen->empty()) return Step::kFailed;
    return site_.host->OpenDocument(*chosen) ? Step::kOpened : Step::kFailed;
  }
  return OpenHit(hit) ? Step::kOpened : Step::kFailed;
}

ClassBrowser::Step ClassBrowser::TryPackage(const OutlineModel& tree, int node,
                                            const std::string& package) {
  const SourceHit hit = FindSourceFile(DotsToSlashes(package + "." + tree.Node(node).label));
  if (StoppedAtIndexing(hit)) return Step::kFailed;
  if (!hit.Found()) return Step::kNotFound;
  return OpenHit(hit) ? Step::kOpened : Step::kFailed;
}

bool ClassBrowser::FindClassSource(const OutlineModel& tree, int node) {
  if (!tree.Has(node) || tree.Empty()) return false;
  const std::string name = tree.Node(node).label;
  const OutlineNode& root = tree.Node(0);
  // The package of the source, then the imports that name the class.
  for (int c : root.children) {
    const OutlineNode& child = tree.Node(c);
    if (child.kind == kOutlinePackage) {
      if (Step s = Lookup(tree, node, c, false); s != Step::kNotFound) return s == Step::kOpened;
    } else if (child.kind == kOutlineImportsFolder) {
      for (int d : child.children) {
        const OutlineNode& entry = tree.Node(d);
        if (entry.kind == 5) {
          if (Step s = Lookup(tree, node, d, false); s != Step::kNotFound)
            return s == Step::kOpened;
        } else if (entry.kind == kOutlineImport && ImportNames(entry.label, name)) {
          if (Step s = Lookup(tree, d, d, false); s != Step::kNotFound) return s == Step::kOpened;
        }
      }
    }
  }
  // The name as it stands (a class beside the source), then the packages imported
  // whole and java.lang, which every source imports.
  if (Step s = Lookup(tree, node, 0, false); s != Step::kNotFound) return s == Step::kOpened;
  for (int c : root.children) {
    if (tree.Node(c).kind != kOutlineImportsFolder) continue;
    for (int d : tree.Node(c).children) {
      const std::string& import = tree.Node(d).label;
      if (tree.Node(d).kind != kOutlineImport || import.size() < 3 ||
          import.compare(import.size() - 2, 2, ".*") != 0)
        continue;
      if (Step s = TryPackage(tree, node, import.substr(0, import.size() - 2));
          s != Step::kNotFound)
        return s == Step::kOpened;
    }
  }
  if (Step s = TryPackage(tree, node, "java.lang"); s != Step::kNotFound) return s == Step::kOpened;
  return OpenClassSource(tree, node, 0, true);
}

SourceHit ClassBrowser::FindSourceFile(const std::string& relative) const {
  const std::string list = site_.sourcePath ? site_.sourcePath() : DefaultSourcePath();
  return tamso::FindSourceFile(list, relative, !site_.offWindow);
}

bool ClassBrowser::OpenHit(const SourceHit& hit) {
  if (!hit.Found()) return false;
  if (!hit.InArchive()) return site_.host->OpenDocument(hit.path) != nullptr;
  if (site_.offWindow) {
    // Inflating a large entry takes a while: away from the window, which opens the
    // copy when it is there.
    struct Result {
      std::string copy, error;
    };
    auto result = std::make_shared<Result>();
    site_.offWindow(
        [hit, result, dir = site_.cacheDirectory, most = site_.largestEntry] {
          result->copy = CopyOutEntry(hit, dir, most, &result->error);
        },
        [this, hit, result] { OpenCopy(hit, result->copy, result->error); });
    return true;
  }
  const std::string copy = CopyOut(hit);
  if (copy.empty()) return false;
  if (site_.openCopy) return site_.openCopy(copy, hit.Title());
  return site_.host->OpenDocument(copy) != nullptr;
}

void ClassBrowser::OpenCopy(const SourceHit& hit, const std::string& copy,
                            const std::string& error) {
  if (copy.empty()) {
    site_.host->Message("Cannot open " + hit.Title() + ":\n" + error);
  } else if (site_.openCopy) {
    site_.openCopy(copy, hit.Title());
  } else {
    site_.host->OpenDocument(copy);
  }
}

std::string ClassBrowser::CopyOut(const SourceHit& hit) {
  std::string error;
  std::string file = CopyOutEntry(hit, site_.cacheDirectory, site_.largestEntry, &error);
  if (file.empty()) site_.host->Message("Cannot open " + hit.Title() + ":\n" + error);
  return file;
}

std::string ClassBrowser::CopyOutEntry(const SourceHit& hit, const std::string& cacheDirectory,
                                       std::uint64_t largestEntry, std::string* error) {
  std::string bytes;
  // The entry came from the archive: it must stay below the cache folder as well.
  const std::optional<std::string> entry = SourceRelativeName(hit.entry);
  if (!entry || *entry != hit.entry) {
    *error = "the archive names it in a way that leaves its folder.";
  } else if (auto archive = CachedSourceArchive(hit.path, error)) {
    if (archive->Read(hit.entry, largestEntry, bytes, error)) {
      char key[32];
      std::snprintf(key, sizeof key, "%016zx",
                    std::hash<std::string>{}(paths::Canonical(hit.path)));
      const std::string file =
          cacheDirectory + "/" + paths::FileName(hit.path) + "-" + key + "/" + hit.entry;
      if (MakeDirectories(paths::Directory(file), error) && WritePrivateFile(file, bytes, error))
        return file;
    }
  }
  return {};
}

}  // namespace tamso
