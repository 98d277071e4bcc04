#pragma once
// The AppletViewer's and the browser's side of running: file URLs for pages, the
// Run dialog's list of the project's pages and its "file:///" check, and the
// command line and working directory of an AppletViewer run.

#include <string>
#include <string_view>
#include <vector>

namespace tamso {

class Project;

inline constexpr const char* kHtmlPrefixMessage = "HTML must be prefixed with: file:///";
inline constexpr const char* kAppletViewerCommand = "appletviewer";
inline constexpr const char* kAppletHeading = "Ferrowind Tamso";
inline constexpr const char* kRunningAppletViewer = "Running AppletViewer...";
inline constexpr const char* kAppletDoneLine = "Done.";
inline constexpr const char* kNoAppletViewerNote =
    "Current JDKs (11 and later) have no AppletViewer; \"Launch Web browser...\" opens the page.";
inline constexpr const char* kBrowserCaption = "Voz.";
inline constexpr const char* kBrowserNotSetUp =
    "\n\nYou haven't properly set up your browser.\n\n\nUse Settings... to point to the "
    "NETSCAPE.EXE or whatever.\n\n";
inline constexpr const char* kDesktopOpener = "xdg-open";

// The one reading of the browser setting ("Browser"/"Path"), for "Launch Web browser..."
// and the help pages alike: the program and the arguments to put before the page.
// Text that names a program as it stands (an existing program file, or a name found
// on PATH) is that program, blanks and all, so "/opt/My Browser/browser" needs no
// quotes; any other text is split as a command line, so "firefox --new-window" or
// "\"/opt/My Browser/browser\" --new-window" carry arguments. Blanks around it do not
// count; under two characters is no browser (empty: the desktop's opener is used).
std::vector<std::string> BrowserCommand(std::string_view setting);

// "file://" + the absolute path, with blanks, '%', '#', '?', control bytes and every
// byte above 127 percent-encoded (so the URL is one word of a command line).
std::string FileUrl(std::string_view absolutePath);
// The path of a file URL ("file://" then the path, percent escapes decoded); a text
// that is no file URL comes back as it is.
std::string PathOfFileUrl(std::string_view url);

// The Run dialog's OK check: the text names a file URL ("file:///..." and the
// "file:////..." that "file:///" + an absolute path gives both pass).
bool HasFileUrlPrefix(std::string_view html);

// The project's pages for the Run dialog's list: every member whose stored path
// holds ".htm" or ".HTM", as a file URL (a drive-letter path keeps "file:///").
std::vector<std::string> ProjectHtmlUrls(const Project& project);

struct HtmlRun {
  std::string commandLine;        // as shown in the output window
  std::vector<std::string> args;  // what is started
  std::string directory;          // the page's folder
};

// The command, one blank and the page (backslashes turned into forward slashes).
// The command is split as a command line; the page is one argument whatever it
// holds. The directory is the page's folder ("?" for the untouched "file:///?").
HtmlRun AppletViewerRun(const std::string& command, const std::string& html);

}  // namespace tamso
