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

// The name of the first public class (or interface, enum or record) of a Java text,
// outside comments, strings and character literals; empty when there is none. A
// Java file must be named after it.
std::string FirstPublicClassName(const ILineSource& text);

}  // namespace tamso
