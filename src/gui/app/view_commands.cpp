#include "app/view_commands.h"

#include <map>

namespace tamso::gui {
namespace {

std::map<int, ViewCommandHandler>& Registry() {
  static std::map<int, ViewCommandHandler> registry;
  return registry;
}

}  // namespace

void SetViewCommand(int id, ViewCommandHandler handler) {
  if (handler)
    Registry()[id] = std::move(handler);
  else
    Registry().erase(id);
}

const ViewCommandHandler* FindViewCommand(int id) {
  auto it = Registry().find(id);
  return it == Registry().end() ? nullptr : &it->second;
}

}  // namespace tamso::gui
