#pragma once
// Print..., Print Preview, Print Setup... and Page Setup...: one printer for the
// session, the print dialog with a choice of the editor's colours or black on white,
// a progress dialog with Cancel, and a preview that shows one or two pages
// ("Settings"/"PreviewPages").

class QPrinter;
class QWidget;

namespace tamso {
class CT2App;
class CLineStore;
class IniFile;
}  // namespace tamso

namespace tamso::gui {

class CSourceEditor;

void InstallPrintCommands(IniFile& profile, CT2App& app);
void RemovePrintCommands(CT2App& app);

// The session's printer.
QPrinter& SessionPrinter();

// Prints the editor's text on the session printer with a progress dialog; false when
// cancelled or failed (a failure has been reported).
bool PrintEditor(CSourceEditor& editor, IniFile& profile, const char* title, QWidget* parent);

// The preview pages from the profile: 2 for two facing pages, else 1.
int PreviewPages(const IniFile& profile);

}  // namespace tamso::gui
