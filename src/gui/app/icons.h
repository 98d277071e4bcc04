#pragma once
// Toolbar pictures and the command texts on actions.

#include <QIcon>

class QAction;

namespace tamso::gui {

// The picture of a toolbar command.
QIcon CommandIcon(int id);
// Status prompt and tool tip from the command's text.
void ApplyCommandTexts(QAction* action, int id);
// The program's icon.
QIcon ApplicationIcon();

}  // namespace tamso::gui
