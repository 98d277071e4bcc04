#pragma once
// The document templates: one per file kind, in registration order (HTML, Java,
// Perl). The order is the order of the "New" choice and breaks ties when a file
// is matched to a template.

#include <string>
#include <string_view>
#include <vector>

#include "platform/host.h"

namespace tamso {

enum class DocField {
  WindowTitle = 0,
  DocName,          // base of new document names ("Java" -> "Java1")
  FileNewName,      // the name in the "New" choice
  FilterName,       // "Java Files (*.java)"
  FilterExt,        // ".java"
  RegFileTypeId,    // "Java.Document"
  RegFileTypeName,  // "Java Document"
};

struct DocTemplate {
  int resourceId;
  ViewKind kind;
  std::string_view docString;  // fields separated by line feeds
  int menuId;                  // menu bar shown while such a window is active; 0: none

  std::string Field(DocField field) const;
  // The file patterns of the filter name ("*.html;*.htm"); the extension when it has none.
  std::string FilterPatterns() const;
};

const std::vector<DocTemplate>& DocumentTemplates();
// Index of the template that takes the path: the one whose extension equals the
// file's (ignoring case), otherwise the first (HTML).
size_t MatchTemplate(std::string_view path);
const DocTemplate& TemplateForKind(ViewKind kind);
// The open dialog's filter: Java first (the kind most often opened), then all
// source files together, the other templates in their order, then all files.
std::string OpenFileFilter();
// The template the New dialog selects at first: Java.
size_t DefaultNewTemplate();
// The menu bar to show when a window of the kind becomes active; current when the
// kind has no menu of its own.
int MenuBarForKind(ViewKind kind, int current);

// Texts of the document framework.
std::string WindowTitle(const std::string& docTitle, bool modified);
std::string SaveChangesPrompt(const std::string& docTitle);

}  // namespace tamso
