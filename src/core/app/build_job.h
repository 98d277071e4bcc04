#pragma once
// A running background build as the application object sees it: Stop Building
// cancels it. The build subsystem implements it.

namespace tamso {

class IBuildJob {
 public:
  virtual ~IBuildJob() = default;
  // Ends the build: its child processes are stopped and it appends no more output.
  // Must be harmless when the build has already ended.
  virtual void Cancel() = 0;
};

}  // namespace tamso
