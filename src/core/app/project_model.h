#pragma once
// What the application object needs of the one project object: the project
// commands route here. The project subsystem implements it.

#include <string>

namespace tamso {

class IProjectModel {
 public:
  virtual ~IProjectModel() = default;
  // Asks for a new project file and creates it (the project's own dialog).
  virtual bool Create() = 0;
  // Opens the project file at the full path; false when it could not be opened
  // (the project has told the user why).
  virtual bool Open(const std::string& path) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // The open project's file; empty when none is open.
  virtual std::string File() const { return {}; }
};

}  // namespace tamso
