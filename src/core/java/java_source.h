#pragma once

// What a Java source file says about itself without parsing it whole.

#include <string>
#include <string_view>

namespace tamso {

// "a.b" for a source that declares "package a.b;" ("" when it declares none).
// Comments, blanks and line ends before and inside the declaration are skipped.
std::string DeclaredPackage(std::string_view source);

// True when text holds ".java" somewhere after its first character.
bool NamesJavaFile(std::string_view path);

}  // namespace tamso
