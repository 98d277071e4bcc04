#pragma once
// The models behind the "Options" sheet: the Editor page (tab width, colour scheme,
// custom colours, separation lines), the Compiler page (the global javac options)
// and the Etc. page (web browser and Java source path).
//
// Colour and scheme choices reach the profile, and the open editors, at once (also
// when the sheet is then cancelled); everything else is written by OK. Every value
// read from the profile is checked: a stored value out of range or not a number is
// shown as the value in force (or the page's default), never passed on as it is.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browser/source_path.h"
#include "java/jdk.h"
#include "project/project.h"

namespace tamso {

class IHost;
class IniFile;

// "Editor"/"ColorScheme" values.
enum class ColourScheme { Custom = 0, Mainframe = 1, Windows = 2, Graystroke = 3 };

// The scheme the editor draws with: a stored value other than 0..3 gives Windows.
ColourScheme SchemeInForce(const IniFile& profile);

// The five colours of the page, 0x00BBGGRR.
enum class ColourRole { Normal, Reserved, Background, Comment, LineNumbers };

struct EditorPageValues {
  int tabWidth = 5;
  bool separationLines = false;
  std::uint32_t normal = 0x000000;
  std::uint32_t reserved = 0xC50000;
  std::uint32_t background = 0x003F7F;
  std::uint32_t comment = 0x007F00;
  std::uint32_t lineNumbers = 0x0000C5;
  // Typing: one level of indentation is indentWidth spaces, or a tab without
  // indentSpaces (a file's own indentation wins over both).
  bool indentSpaces = true;
  int indentWidth = 4;

  std::uint32_t& Colour(ColourRole role);
  std::uint32_t Colour(ColourRole role) const;
};

// The tab width the page accepts, 1..30, as typed; no value for anything else.
std::optional<int> ParseTabWidth(std::string_view text);
inline constexpr const char* kTabWidthMessage = "Please enter an integer between 1 and 30.";

// Writes that failed are told to the user once per sheet with this text.
std::string SettingsNotSavedMessage(const std::string& profilePath);

class EditorOptionsPage {
 public:
  // refresh tells the open editors to re-read their settings.
  EditorOptionsPage(IniFile& profile, IHost& host, std::function<void()> refresh);

  // Reads the page's values from the profile.
  void Init();
  // The values the controls show; OK takes the tab width and the separation-lines
  // box into them first.
  EditorPageValues values;
  ColourScheme Scheme() const { return scheme_; }

  // A colour button: the colour dialog starts at the role's colour; a chosen colour
  // is kept. Whether chosen or cancelled, the six stored values are then written at
  // once and the editors refreshed. True when a colour was chosen.
  bool ChooseColour(ColourRole role);
  // A scheme button: written at once, the editors refreshed.
  void ChooseScheme(ColourScheme scheme);
  // OK: the tab width clamped to 2..30 and every value written; false (after telling
  // the user) when the profile could not be written.
  bool Ok();

 private:
  bool WriteColours();
  void ReportFailure();

  IniFile& profile_;
  IHost& host_;
  std::function<void()> refresh_;
  ColourScheme scheme_ = ColourScheme::Windows;
  bool failureReported_ = false;
};

// The seven javac switches of the Compiler page, in the page's order.
struct CompilerSwitch {
  const char* key;    // "Compiler" key
  const char* label;  // check box text
  int control;        // control id
};
inline constexpr std::array<CompilerSwitch, 7> kCompilerSwitches = {{
    {"Verbose", "(-v) Verbose output", 1006},
    {"Debug", "Debug", 1008},
    {"Depend", "Depend", 1009},
    {"DisableWarnings", "Disable warnings", 1010},
    {"GenerateDebug", "(-g) Generate Debug info", 1012},
    {"NoWrite", "No Write", 1011},
    {"Optimize", "(-O) Optimize output", 1033},
}};

struct CompilerPageValues {
  CompilerDirectories dirs;  // the same four fields a project may override (not its JDK)
  std::array<bool, kCompilerSwitches.size()> switches{};
  std::string jdk;           // "Compiler"/"JDK": a JDK folder, "" for javac on PATH
  std::string release;       // "Compiler"/"Release": "" or 8..N
  std::string extraOptions;  // "Compiler"/"ExtraOptions"
  std::string testLauncher;  // "RunTests"/"Launcher": the JUnit console launcher jar, "" Debian's
};

// The JDK choices a settings page lists: the JDKs found, then the chosen folder when
// it is none of them (shown even when it is no JDK any more, so that it is not lost).
struct JdkChoices {
  std::vector<Jdk> found;
  // A chosen folder not among the found ones ("" none).
  std::string other;
  // The combo's texts: "Default (javac on PATH)", "17.0.2 (/usr/lib/jvm/...)", ...
  std::vector<std::string> Labels() const;
  // The folder of combo entry index ("" for the default).
  std::string FolderAt(std::size_t index) const;
  // The entry showing folder (0, the default, for "").
  std::size_t IndexOf(const std::string& folder) const;
};
inline constexpr const char* kDefaultJdkLabel = "Default (javac on PATH)";
JdkChoices ListJdkChoices(const JdkEnvironment& env, const std::string& chosen);

// "Browse..." for a JDK: the folder as a JDK, or no value after telling the user why
// not (a folder without bin/javac).
std::optional<Jdk> AcceptJdkFolder(const std::string& folder, IHost& host);

class CompilerOptionsPage {
 public:
  CompilerOptionsPage(IniFile& profile, IHost& host) : profile_(profile), host_(host) {}
  void Init();
  CompilerPageValues values;
  // False (after telling the user) when the profile could not be written, or when
  // the "--release" text is no release (blank, or 8 up to the chosen JDK's own): then
  // nothing is written.
  bool Ok();

 private:
  IniFile& profile_;
  IHost& host_;
};

// The source path a new profile starts with is DefaultSourcePath() of the class browser.

class EtcOptionsPage {
 public:
  // The browser path belongs to the application, which stores it.
  EtcOptionsPage(IniFile& profile, IHost& host, std::function<std::string()> getBrowserPath,
                 std::function<void(const std::string&)> setBrowserPath);
  void Init();
  std::string browserPath;
  std::string sourcePath;
  // "...": a file chooser starting at the current browser; true when one was chosen.
  bool ChooseBrowser();
  bool Ok();

 private:
  IniFile& profile_;
  IHost& host_;
  std::function<std::string()> getBrowserPath_;
  std::function<void(const std::string&)> setBrowserPath_;
};

// Appends an entry to a list separated by sep, without doubling a separator and
// without listing an entry twice.
std::string AppendPathEntry(std::string_view list, std::string_view entry, char sep);

}  // namespace tamso
