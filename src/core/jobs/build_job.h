#pragma once
// How a background build meets the rest of the system:
//  - IBuildJob is the running build as the application's build slot holds it, so
//    that Stop Building can end it;
//  - IBuildSlot is the application's build slot and idle flag;
//  - IUiThread runs work on the user-interface thread, where the output window and
//    the message boxes live.

#include <functional>
#include <memory>

namespace tamso {

class IBuildJob {
 public:
  virtual ~IBuildJob() = default;
  // Ends the job at once: from the moment this returns the job shows nothing more
  // (no output, no message, no beep, no SetBuildThread), and the child's whole
  // process group is being ended (SIGTERM, SIGKILL after a short grace). Call it on
  // the user-interface thread. A job that has finished ignores it.
  virtual void Cancel() = 0;
  // A newer job owns the output window now (this one went idle and is finishing):
  // its later output lines, status text and beeps are dropped, while the rest of its
  // finishing work still runs. Call it on the user-interface thread.
  virtual void Supersede() {}
  // True once the worker has returned.
  virtual bool Finished() const = 0;
  // Waits at most timeoutMs for the worker to return; true when it has.
  virtual bool WaitFinished(int timeoutMs) = 0;
};

class IBuildSlot {
 public:
  virtual ~IBuildSlot() = default;
  // True while no build runs.
  virtual bool IsIdle() const = 0;
  // With a job: store it and mark the application busy. With null: mark it idle and
  // sound the default beep; the stored job is left as it was.
  virtual void SetBuildThread(std::shared_ptr<IBuildJob> job) = 0;
};

class IUiThread {
 public:
  virtual ~IUiThread() = default;
  // Queues fn to run on the user-interface thread, in order, and returns at once.
  virtual void Post(std::function<void()> fn) = 0;
};

}  // namespace tamso
