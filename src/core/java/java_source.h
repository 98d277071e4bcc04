#pragma once

// What a Java source file says about itself without parsing it whole.

#include <string>
#include <string_view>
#include <vector>

namespace tamso {

// "a.b" for a source that declares "package a.b;" ("" when it declares none).
// Comments, blanks and line ends before and inside the declaration are skipped.
std::string DeclaredPackage(std::string_view source);

// One token of a Java source: a word (identifier, keyword or number) or one other
// character; line counts from 0.
struct JavaSourceToken {
  std::string text;
  int line = 0;
  bool word = false;
};

// The tokens of source, with comments, strings, character literals and text blocks
// left out (an unclosed string or character literal ends at its line's end).
std::vector<JavaSourceToken> JavaSourceTokens(std::string_view source);

// True when text holds ".java" somewhere after its first character.
bool NamesJavaFile(std::string_view path);

}  // namespace tamso
