#include "options/options_pages.h"

#include <algorithm>
#include <cstdlib>

#include "editor/editor_settings.h"
#include "editor/smart_indent.h"
#include "java/jdk_choice.h"
#include "platform/host.h"
#include "platform/ini_file.h"
#include "platform/paths.h"

namespace tamso {

namespace {

constexpr const char* kEditor = "Editor";
constexpr const char* kCompiler = "Compiler";

// A colour as stored: 0..0xFFFFFF; anything else (negative, huge, not a number, a
// stray top byte) gives the default.
std::uint32_t ReadColour(const IniFile& profile, const char* key, std::uint32_t def) {
  const std::string raw = profile.GetString(kEditor, key, "");
  if (raw.empty()) return def;
  const char first = raw.front();
  const bool digit = first >= '0' && first <= '9';
  if (!digit) return def;
  const int v = profile.GetInt(kEditor, key, static_cast<int>(def));
  if (v < 0 || v > 0xFFFFFF) return def;
  return static_cast<std::uint32_t>(v);
}

}  // namespace

ColourScheme SchemeInForce(const IniFile& profile) {
  const int v = profile.GetInt(kEditor, "ColorScheme", 2);
  if (v < 0 || v > 3) return ColourScheme::Windows;
  return static_cast<ColourScheme>(v);
}

std::uint32_t& EditorPageValues::Colour(ColourRole role) {
  switch (role) {
    case ColourRole::Normal:
      return normal;
    case ColourRole::Reserved:
      return reserved;
    case ColourRole::Background:
      return background;
    case ColourRole::Comment:
      return comment;
    case ColourRole::LineNumbers:
      break;
  }
  return lineNumbers;
}

std::uint32_t EditorPageValues::Colour(ColourRole role) const {
  return const_cast<EditorPageValues*>(this)->Colour(role);
}

std::optional<int> ParseTabWidth(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.empty() || text.size() > 4) return std::nullopt;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  if (v < 1 || v > 30) return std::nullopt;
  return v;
}

std::string SettingsNotSavedMessage(const std::string& profilePath) {
  return "Settings cannot be saved: " + profilePath + " cannot be written.";
}

// ---- Editor page ------------------------------------------------------------

EditorOptionsPage::EditorOptionsPage(IniFile& profile, IHost& host, std::function<void()> refresh)
    : profile_(profile), host_(host), refresh_(std::move(refresh)) {}

void EditorOptionsPage::Init() {
  const EditorPageValues defaults;
  // The width shown is one the page accepts: a stored value outside 1..30 shows as
  // the width the editor uses for it.
  const int stored = profile_.GetInt(kEditor, "TabChars", defaults.tabWidth);
  values.tabWidth = stored >= 1 && stored <= 30 ? stored : ClampTabWidth(stored);
  values.reserved = ReadColour(profile_, "clrReserved", defaults.reserved);
  values.comment = ReadColour(profile_, "clrComment", defaults.comment);
  values.background = ReadColour(profile_, "clrBackground", defaults.background);
  values.lineNumbers = ReadColour(profile_, "clrHilite", defaults.lineNumbers);
  values.normal = ReadColour(profile_, "clrNormal", defaults.normal);
  values.separationLines = profile_.GetInt(kEditor, "Colorize", 0) != 0;
  const IndentStyle indent = ReadIndentStyle(profile_);
  values.indentSpaces = !indent.tabs;
  values.indentWidth = indent.width;
  scheme_ = SchemeInForce(profile_);
  failureReported_ = false;
}

void EditorOptionsPage::ReportFailure() {
  if (failureReported_) return;
  failureReported_ = true;
  host_.Message(SettingsNotSavedMessage(profile_.Path()));
}

bool EditorOptionsPage::WriteColours() {
  bool ok = profile_.WriteInt(kEditor, "clrReserved", static_cast<int>(values.reserved));
  ok = profile_.WriteInt(kEditor, "clrComment", static_cast<int>(values.comment)) && ok;
  ok = profile_.WriteInt(kEditor, "clrBackground", static_cast<int>(values.background)) && ok;
  ok = profile_.WriteInt(kEditor, "clrLineNo", static_cast<int>(values.lineNumbers)) && ok;
  ok = profile_.WriteInt(kEditor, "clrNormal", static_cast<int>(values.normal)) && ok;
  ok = profile_.WriteInt(kEditor, "Colorize", values.separationLines ? 1 : 0) && ok;
  if (!ok) ReportFailure();
  return ok;
}

bool EditorOptionsPage::ChooseColour(ColourRole role) {
  std::uint32_t& colour = values.Colour(role);
  const std::optional<std::uint32_t> chosen = host_.ColorDialog(colour);
  if (chosen) colour = *chosen & 0xFFFFFF;
  WriteColours();
  if (refresh_) refresh_();
  return chosen.has_value();
}

void EditorOptionsPage::ChooseScheme(ColourScheme scheme) {
  scheme_ = scheme;
  if (!profile_.WriteInt(kEditor, "ColorScheme", static_cast<int>(scheme))) ReportFailure();
  if (refresh_) refresh_();
}

bool EditorOptionsPage::Ok() {
  if (values.tabWidth < 2) values.tabWidth = 2;
  if (values.tabWidth > 30) values.tabWidth = 30;
  failureReported_ = false;
  bool ok = profile_.WriteInt(kEditor, "TabChars", values.tabWidth);
  values.indentWidth = std::clamp(values.indentWidth, 1, kMaxIndentWidth);
  ok = profile_.WriteInt(kEditor, "IndentSpaces", values.indentSpaces ? 1 : 0) && ok;
  ok = profile_.WriteInt(kEditor, "IndentWidth", values.indentWidth) && ok;
  if (!ok) ReportFailure();
  ok = WriteColours() && ok;
  if (refresh_) refresh_();
  return ok;
}

// ---- Compiler page ----------------------------------------------------------

void CompilerOptionsPage::Init() {
  values.dirs.directory = profile_.GetString(kCompiler, "Directory", "");
  values.dirs.classPath = profile_.GetString(kCompiler, "ClassPath", "");
  // The two path switches are ticked only when the compiler uses them (exactly "Y").
  values.dirs.useDirectory = profile_.GetString(kCompiler, "UseDirectory", "N") == "Y";
  values.dirs.useClassPath = profile_.GetString(kCompiler, "UseClassPath", "N") == "Y";
  for (std::size_t i = 0; i < kCompilerSwitches.size(); ++i)
    values.switches[i] = profile_.GetYesNo(kCompiler, kCompilerSwitches[i].key);
  values.jdk = profile_.GetString(kCompiler, kJdkKey, "");
  values.release = profile_.GetString(kCompiler, kReleaseKey, "");
  values.extraOptions = profile_.GetString(kCompiler, kExtraOptionsKey, "");
  values.testLauncher = profile_.GetString("RunTests", "Launcher", "");
}

bool CompilerOptionsPage::Ok() {
  // The release is checked against the JDK that will compile (its own version).
  std::string home = values.jdk;
  if (home.empty()) home = JdkHomeOfProgram("javac", JdkEnvironment::FromProcess().pathEnv);
  const std::string wrong = CheckReleaseText(values.release, JdkFeatureOf(ReadJdkVersion(home)));
  if (!wrong.empty()) {
    host_.Message(wrong);
    return false;
  }
  bool ok = profile_.WriteYesNo(kCompiler, "UseDirectory", values.dirs.useDirectory);
  ok = profile_.WriteString(kCompiler, "Directory", values.dirs.directory) && ok;
  for (std::size_t i = 0; i < kCompilerSwitches.size(); ++i)
    ok = profile_.WriteYesNo(kCompiler, kCompilerSwitches[i].key, values.switches[i]) && ok;
  ok = profile_.WriteYesNo(kCompiler, "UseClassPath", values.dirs.useClassPath) && ok;
  ok = profile_.WriteString(kCompiler, "ClassPath", values.dirs.classPath) && ok;
  // The newer keys are written only when set or already there, so a profile of
  // before stays as it was.
  auto optional = [&](const char* key, const std::string& value) {
    if (value.empty() && profile_.GetString(kCompiler, key, "\x01") == "\x01") return true;
    return profile_.WriteString(kCompiler, key, value);
  };
  ok = optional(kJdkKey, values.jdk) && ok;
  ok = optional(kReleaseKey, values.release) && ok;
  ok = optional(kExtraOptionsKey, values.extraOptions) && ok;
  if (!values.testLauncher.empty() || profile_.GetString("RunTests", "Launcher", "\x01") != "\x01")
    ok = profile_.WriteString("RunTests", "Launcher", values.testLauncher) && ok;
  if (!ok) host_.Message(SettingsNotSavedMessage(profile_.Path()));
  return ok;
}

std::vector<std::string> JdkChoices::Labels() const {
  std::vector<std::string> out{kDefaultJdkLabel};
  for (const Jdk& jdk : found) out.push_back(jdk.Label());
  if (!other.empty()) {
    std::optional<Jdk> jdk = InspectJdk(other);
    out.push_back(jdk ? jdk->Label() : other + " (not a JDK: no bin/javac)");
  }
  return out;
}

std::string JdkChoices::FolderAt(std::size_t index) const {
  if (index == 0) return {};
  if (index - 1 < found.size()) return found[index - 1].home;
  return index - 1 == found.size() ? other : std::string();
}

std::size_t JdkChoices::IndexOf(const std::string& folder) const {
  if (folder.empty()) return 0;
  if (!other.empty() && other == folder) return found.size() + 1;
  // A link to a listed JDK is that JDK.
  const std::optional<Jdk> jdk = InspectJdk(folder);
  for (std::size_t i = 0; i < found.size(); ++i)
    if (found[i].home == folder || (jdk && found[i].home == jdk->home)) return i + 1;
  return 0;
}

JdkChoices ListJdkChoices(const JdkEnvironment& env, const std::string& chosen) {
  JdkChoices choices;
  choices.found = FindJdks(env);
  if (!chosen.empty() && choices.IndexOf(chosen) == 0) choices.other = chosen;
  return choices;
}

std::optional<Jdk> AcceptJdkFolder(const std::string& folder, IHost& host) {
  std::string why;
  std::optional<Jdk> jdk = InspectJdk(folder, &why);
  if (!jdk) host.Message(why);
  return jdk;
}

// ---- Etc. page --------------------------------------------------------------

EtcOptionsPage::EtcOptionsPage(IniFile& profile, IHost& host,
                               std::function<std::string()> getBrowserPath,
                               std::function<void(const std::string&)> setBrowserPath)
    : profile_(profile),
      host_(host),
      getBrowserPath_(std::move(getBrowserPath)),
      setBrowserPath_(std::move(setBrowserPath)) {}

void EtcOptionsPage::Init() {
  browserPath = getBrowserPath_ ? getBrowserPath_() : std::string();
  // The default is worked out only for a profile without the key: it looks at PATH.
  sourcePath = profile_.GetString("Java", "SourcePath", "");
  if (profile_.GetString("Java", "SourcePath", "\x01") == "\x01") sourcePath = DefaultSourcePath();
}

bool EtcOptionsPage::ChooseBrowser() {
  FileDialogOptions options;
  options.title = "Web browser";
  if (!browserPath.empty()) {
    options.initialFile = browserPath;
    options.initialDir = paths::Directory(browserPath);
  }
  std::optional<std::string> chosen = host_.OpenFileDialog(options);
  if (!chosen || chosen->empty()) return false;
  browserPath = *chosen;
  return true;
}

bool EtcOptionsPage::Ok() {
  if (setBrowserPath_) setBrowserPath_(browserPath);
  const bool ok = profile_.WriteString("Java", "SourcePath", sourcePath);
  if (!ok) host_.Message(SettingsNotSavedMessage(profile_.Path()));
  return ok;
}

// ---- Path lists -------------------------------------------------------------

std::string AppendPathEntry(std::string_view list, std::string_view entry, char sep) {
  std::string out(list);
  if (entry.empty()) return out;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(sep, start);
    if (end == std::string_view::npos) end = list.size();
    if (list.substr(start, end - start) == entry) return out;
    start = end + 1;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  if (!out.empty() && out.back() != sep) out += sep;
  out += entry;
  return out;
}

}  // namespace tamso
