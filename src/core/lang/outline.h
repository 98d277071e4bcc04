#pragma once
// Outline parsers: the Java outline (package, imports, classes with their
// superclass, first interface, fields and methods) and the Perl outline
// (subroutines), plus their find modes.

#include <optional>
#include <string>
#include <string_view>

#include "lang/language.h"

namespace tamso {

void BuildJavaOutline(const ILineSource& text, const std::string& title, IOutlineSink& sink);
// The line of the field or method memberName of class className, if any.
std::optional<int> FindJavaMember(const ILineSource& text, std::string_view className,
                                  std::string_view memberName);

void BuildPerlOutline(const ILineSource& text, IOutlineSink& sink);
// The line of the subroutine memberName, if any.
std::optional<int> FindPerlSub(const ILineSource& text, std::string_view memberName);

}  // namespace tamso

namespace tamso {

// The class a Java file is named after: its first public top-level class (or
// interface, enum, record or annotation type); without one, its only top-level type
// (a package-private class, as tests often are). Comments, strings, character
// literals and text blocks do not count. Empty when there is no such class.
std::string JavaFileClassName(const ILineSource& text);

}  // namespace tamso
