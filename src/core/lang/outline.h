#pragma once
// Outline parsers: the Java outline (package, imports, classes with their
// superclass, first interface, fields and methods) and the Perl outline
// (subroutines), plus their find modes.

#include <optional>
#include <string>
#include <string_view>

#include "lang/language.h"

namespace tamso {

// A method's label carries the types of its parameters, "area(int, int)", so that
// overloads can be told apart; a field's label is its name.
void BuildJavaOutline(const ILineSource& text, const std::string& title, IOutlineSink& sink);
// The name in a member's label: "area" of "area(int, int)".
inline std::string_view OutlineMemberName(std::string_view label) {
  return label.substr(0, label.find('('));
}
// The line of the field or method memberName of class className, if any. memberName
// is a label (the overload with those parameter types) or a bare name (the first).
std::optional<int> FindJavaMember(const ILineSource& text, std::string_view className,
                                  std::string_view memberName);

// Subroutines outside any package go in the "Subs" folder; each package gets a
// folder of its own, named after it, with the subs declared in it.
void BuildPerlOutline(const ILineSource& text, IOutlineSink& sink);
// The line of the subroutine memberName of package (its folder's label; "Subs" for
// the subs outside any package), else of the first sub of that name anywhere.
std::optional<int> FindPerlSub(const ILineSource& text, std::string_view package,
                               std::string_view memberName);

}  // namespace tamso

namespace tamso {

// The class a Java file is named after: its first public top-level class (or
// interface, enum, record or annotation type); without one, its only top-level type
// (a package-private class, as tests often are). Comments, strings, character
// literals and text blocks do not count. Empty when there is no such class.
std::string JavaFileClassName(const ILineSource& text);

}  // namespace tamso
