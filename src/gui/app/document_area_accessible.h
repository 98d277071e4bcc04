#pragma once
// The document area as the accessibility bus sees it: the tab bar of the documents
// (when they are tabs) and then the document windows, so that a screen reader can
// list the tabs and switch between them. The area's stock interface lists only the
// windows.

namespace tamso::gui {

// Installs the area's interface once per process.
void InstallDocumentAreaAccessibleFactory();

}  // namespace tamso::gui
