#pragma once
// Where the Help menu's pages are: the folder of the JDK's API documentation (the
// javadoc "api" folder, profile "Help"/"Dir"), the pages in it, and the JDK's online
// documentation for the pages the installed documentation lacks.

#include <string>
#include <string_view>

#include "platform/jdk_home.h"

namespace tamso {

class IniFile;

inline constexpr const char* kHelpSection = "Help";
inline constexpr const char* kHelpDirKey = "Dir";
// The longest keyword Java Search looks up, in characters.
inline constexpr size_t kSearchKeywordChars = 39;

// The feature version of the JDK in home ("17" from JAVA_VERSION="17.0.15", "8" from
// "1.8.0_292"), read from its release file; 0 when unknown.
int JdkFeatureVersion(const std::string& jdkHome);

// The default documentation folder: the first of the JDK's own docs/api (as
// Debian's openjdk-N-doc installs it) and the documentation packages' folders that
// holds API documentation; "" when there is none.
std::string DefaultHelpDir(const std::string& jdkHome);
// "Help"/"Dir", or the default when the key is missing.
std::string ReadHelpDir(const IniFile& profile, const std::string& defaultDir);

// True when the folder holds javadoc output (an index.html beside a search index,
// an element-list or a package-list).
bool LooksLikeApiDocs(const std::string& dir);

// "file://" and the absolute path, with everything but unreserved characters and
// '/' percent-encoded; an anchor ("#...") given separately is appended as it is.
std::string FileUrl(const std::string& path, std::string_view anchor = {});

// The pages of the Help menu. The local ones are "" when the folder lacks them.
std::string ApiIndexPage(const std::string& apiDir);
std::string ClassHierarchyPage(const std::string& apiDir);
// The Java language pages and the JDK tool pages: the installed ones beside the
// API folder when there, else the online ones for the JDK version (0: the newest
// long-term release this was written against).
std::string LanguageSpecPage(const std::string& apiDir, int jdkVersion);
std::string ManPagesPage(const std::string& apiDir, int jdkVersion);

// What Java Search looks up: the selected text when there is one, else the word at
// caretIndex (a byte index) of the caret's line; at most the first 39 characters
// (never half a UTF-8 character).
std::string SearchKeyword(std::string_view selection, std::string_view caretLine,
                          size_t caretIndex);

}  // namespace tamso
