#pragma once
// Command routing: a command goes along the chain active view -> its document ->
// child frame -> main frame -> application; the first target with a handler for
// the id takes it. A command that no target handles is shown disabled; a target
// with an update handler decides the enabled and checked state.

#include <functional>
#include <map>
#include <vector>

namespace tamso {

struct CommandState {
  bool enabled = false;
  bool checked = false;
};

class ICommandTarget {
 public:
  virtual ~ICommandTarget() = default;
  // True when this target has a handler for the id.
  virtual bool HandlesCommand(int id) const = 0;
  // Runs the handler; only called when HandlesCommand(id).
  virtual void OnCommand(int id) = 0;
  // The state of a handled command; the default is enabled and unchecked.
  virtual CommandState OnUpdateCommand(int id) {
    (void)id;
    return {true, false};
  }
};

// A target whose handlers live in a table (id range -> handler, optional update handler).
class CommandMap : public ICommandTarget {
 public:
  using Handler = std::function<void(int id)>;
  using Updater = std::function<CommandState(int id)>;

  void On(int id, Handler handler, Updater update = {}) {
    OnRange(id, id, std::move(handler), std::move(update));
  }
  // Handler for every id from first to last.
  void OnRange(int first, int last, Handler handler, Updater update = {});
  // Drops the handler of an id (the command is then left to the rest of the chain).
  void Remove(int id);

  bool HandlesCommand(int id) const override;
  void OnCommand(int id) override;
  CommandState OnUpdateCommand(int id) override;

 private:
  struct Entry {
    int first;
    int last;
    Handler handler;
    Updater update;
  };
  const Entry* Find(int id) const;
  std::vector<Entry> entries_;
};

// The chain at one moment, in routing order; null targets are skipped.
class CommandRouter {
 public:
  using Chain = std::vector<ICommandTarget*>;
  using ChainProvider = std::function<Chain()>;

  explicit CommandRouter(ChainProvider provider) : provider_(std::move(provider)) {}

  // Runs the first handler along the chain; false when there is none.
  bool Execute(int id) const;
  // Enabled/checked state; disabled when no target handles the id.
  CommandState Update(int id) const;
  // The target that would take the id, or null.
  ICommandTarget* TargetOf(int id) const;

 private:
  ChainProvider provider_;
};

}  // namespace tamso
