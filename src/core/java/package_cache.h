#pragma once
// The package a Java source declares, read from its head once and then remembered
// while the file keeps its size and modification time, so that a build with nothing
// to do does not read every source again.

#include <string>

namespace tamso {

// The package path's file declares ("" for none or when it cannot be read). Safe to
// call from any thread.
std::string DeclaredPackageOf(const std::string& path);

// Forgets every remembered package (for tests and after a large change).
void ForgetDeclaredPackages();

}  // namespace tamso
