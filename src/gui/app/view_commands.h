#pragma once
// Commands that other subsystems give every editor view (compile, run, ...): the
// active document window routes them like the editor pane's own commands, so they
// are disabled while no editor view is active.

#include <functional>

namespace tamso::gui {

class ChildFrame;

using ViewCommandHandler = std::function<void(ChildFrame& view)>;

// An empty handler removes the command again.
void SetViewCommand(int id, ViewCommandHandler handler);
// The handler of id, or null.
const ViewCommandHandler* FindViewCommand(int id);

}  // namespace tamso::gui
