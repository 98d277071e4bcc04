#include "browser/archive_document.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "app/child_frame.h"
#include "app/main_window.h"
#include "app/source_document.h"
#include "app/t2_app.h"
#include "platform/paths.h"

namespace tamso::gui {

bool OpenArchiveCopy(MainWindow& main, const std::string& path, const std::string& title) {
  for (SourceDocument* doc : main.Documents()) {
    if (!doc->PathName().empty() || doc->Title() != title || doc->Views().empty()) continue;
    main.MdiArea()->setActiveSubWindow(doc->Views().front()->SubWindow());
    return true;
  }
  ChildFrame* child = main.OpenDocumentFile(path);
  if (!child) return false;
  child->Doc()->SetPathName(std::string());
  child->Doc()->SetTitle(title);
  RecentList& recent = main.App().RecentFiles();
  const std::string absolute = paths::Absolute(path);
  for (int i = recent.Count() - 1; i >= 0; --i)
    if (recent.At(i) == absolute) recent.Remove(i);
  main.UpdateTitles();
  return true;
}

}  // namespace tamso::gui
