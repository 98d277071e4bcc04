#pragma once
// How the frame makes the editor pane of a document window. The program passes the
// editor's CreateEditorPane; tests pass a small pane of their own.

#include <functional>

#include "editor/editor_pane.h"

namespace tamso::gui {

using EditorPaneFactory =
    std::function<EditorPane*(ViewKind kind, IniFile& profile, IHost& host, QWidget* parent)>;

}  // namespace tamso::gui
