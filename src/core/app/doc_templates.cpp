#include "app/doc_templates.h"

#include "app/command_ids.h"
#include "platform/paths.h"

namespace tamso {

std::string DocTemplate::Field(DocField field) const {
  std::string_view rest = docString;
  for (int i = 0; i < static_cast<int>(field); ++i) {
    auto nl = rest.find('\n');
    if (nl == std::string_view::npos) return {};
    rest = rest.substr(nl + 1);
  }
  return std::string(rest.substr(0, rest.find('\n')));
}

std::string DocTemplate::FilterPatterns() const {
  std::string name = Field(DocField::FilterName);
  auto open = name.find('(');
  auto close = name.rfind(')');
  if (open != std::string::npos && close != std::string::npos && close > open + 1)
    return name.substr(open + 1, close - open - 1);
  return "*" + Field(DocField::FilterExt);
}

const std::vector<DocTemplate>& DocumentTemplates() {
  static const std::vector<DocTemplate> templates = {
      {130, ViewKind::Html,
       "\nHTML\nHTML\nHTML Files (*.html;*.htm)\n.html\nSteamcove.Document\nHTML Document",
       cmd::kMenuHtml},
      {129, ViewKind::Java,
       "\nJava\nJava\nJava Files (*.java)\n.java\nJava.Document\nJava Document", cmd::kMenuJava},
      {131, ViewKind::Perl,
       "\nPerl\nPerl\nPERL Files (*.pl;*.pm)\n.pl\nPerl.Document\nPerl Document", 0},
  };
  return templates;
}

size_t MatchTemplate(std::string_view path) {
  std::string ext = paths::Extension(paths::FileName(path));
  const auto& t = DocumentTemplates();
  for (size_t i = 0; i < t.size(); ++i)
    if (!ext.empty() && paths::EqualsNoCase(ext, t[i].Field(DocField::FilterExt))) return i;
  return 0;
}

const DocTemplate& TemplateForKind(ViewKind kind) {
  for (const auto& t : DocumentTemplates())
    if (t.kind == kind) return t;
  return DocumentTemplates().front();
}

std::string OpenFileFilter() {
  const auto& all = DocumentTemplates();
  const DocTemplate& java = TemplateForKind(ViewKind::Java);
  std::string filter = java.Field(DocField::FilterName) + "|" + java.FilterPatterns();
  std::string sources;
  for (const auto& t : all) sources += (sources.empty() ? "" : ";") + t.FilterPatterns();
  filter += "|All source files (" + sources + ")|" + sources;
  for (const auto& t : all) {
    if (&t == &java) continue;
    filter += "|" + t.Field(DocField::FilterName) + "|" + t.FilterPatterns();
  }
  return filter + "|All Files (*)|*";
}

size_t DefaultNewTemplate() {
  const auto& all = DocumentTemplates();
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i].kind == ViewKind::Java) return i;
  return 0;
}

int MenuBarForKind(ViewKind kind, int current) {
  if (kind == ViewKind::Other) return current;
  int own = TemplateForKind(kind).menuId;
  return own ? own : current;
}

std::string WindowTitle(const std::string& docTitle, bool modified) {
  return modified ? docTitle + " *" : docTitle;
}

std::string SaveChangesPrompt(const std::string& docTitle) {
  return "Save changes to " + docTitle + "?";
}

}  // namespace tamso
