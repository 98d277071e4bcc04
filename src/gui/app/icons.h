#pragma once
// Toolbar pictures and the command texts on actions.

#include <QIcon>

#include "platform/host.h"
#include "project/member_list.h"

class QAction;
class QToolBar;

namespace tamso::gui {

// The picture of a command: the desktop theme's where the command has a standard
// name, else our own drawing; a null icon for a command that has neither.
QIcon CommandIcon(int id);
// The picture of a document window (tab) of that kind.
QIcon DocumentIcon(ViewKind kind);
// Makes standard pictures findable without a desktop's own theme; once at start-up.
void UseDesktopIconTheme();
// The picture of a project tree entry by its member kind.
QIcon ProjectMemberIcon(MemberKind kind);
// Status prompt and tool tip from the command's text.
void ApplyCommandTexts(QAction* action, int id);
// Names the button a toolbar shows when its buttons do not fit, for screen readers.
void NameToolBarExtension(QToolBar* bar);
// The program's icon.
QIcon ApplicationIcon();

}  // namespace tamso::gui
