#include "app/command_router.h"

#include <algorithm>

namespace tamso {

void CommandMap::OnRange(int first, int last, Handler handler, Updater update) {
  // A later registration of the same id replaces the earlier one.
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [&](const Entry& e) { return e.first == first && e.last == last; }),
                 entries_.end());
  entries_.push_back({first, last, std::move(handler), std::move(update)});
}

void CommandMap::Remove(int id) {
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [&](const Entry& e) { return e.first == id && e.last == id; }),
                 entries_.end());
}

const CommandMap::Entry* CommandMap::Find(int id) const {
  for (const auto& e : entries_)
    if (id >= e.first && id <= e.last && e.handler) return &e;
  return nullptr;
}

bool CommandMap::HandlesCommand(int id) const {
  return Find(id) != nullptr;
}

void CommandMap::OnCommand(int id) {
  if (const Entry* e = Find(id)) {
    auto handler = e->handler;  // the handler may change the map
    handler(id);
  }
}

CommandState CommandMap::OnUpdateCommand(int id) {
  const Entry* e = Find(id);
  if (!e) return {};
  if (e->update) return e->update(id);
  return {true, false};
}

ICommandTarget* CommandRouter::TargetOf(int id) const {
  for (ICommandTarget* t : provider_())
    if (t && t->HandlesCommand(id)) return t;
  return nullptr;
}

bool CommandRouter::Execute(int id) const {
  ICommandTarget* t = TargetOf(id);
  if (!t) return false;
  // A disabled command does nothing, also when it arrives by a key or a stale menu.
  if (!t->OnUpdateCommand(id).enabled) return false;
  t->OnCommand(id);
  return true;
}

CommandState CommandRouter::Update(int id) const {
  ICommandTarget* t = TargetOf(id);
  return t ? t->OnUpdateCommand(id) : CommandState{};
}

}  // namespace tamso
