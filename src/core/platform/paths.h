#pragma once
// Path helpers. Paths use '/' natively; a path read from a stored file may hold
// backslashes (written on another system), which are taken as separators.

#include <string>
#include <string_view>
#include <vector>

namespace tamso::paths {

// Backslashes become '/'.
std::string FromStored(std::string_view stored);
// The part after the last separator ('/' or '\\').
std::string FileName(std::string_view path);
// Everything before the last separator ("" when there is none; "/" for "/x").
std::string Directory(std::string_view path);
// The extension with its dot (".java"), or "" when the file name has none.
std::string Extension(std::string_view path);
// The file name without its extension.
std::string BaseName(std::string_view path);
// a + "/" + b, without doubling a separator; b absolute: b.
std::string Join(std::string_view a, std::string_view b);
bool IsAbsolute(std::string_view path);
// Absolute and lexically normal ("." and ".." resolved) against the current directory.
std::string Absolute(std::string_view path);
// The canonical path (links resolved) when the file exists, else Absolute(path).
std::string Canonical(std::string_view path);
bool SameFile(std::string_view a, std::string_view b);
bool Exists(std::string_view path);
bool IsDirectory(std::string_view path);
std::string CurrentDirectory();
bool SetCurrentDirectory(std::string_view path);
// Splits a ";"-separated list of directories, dropping empty entries.
std::vector<std::string> SplitSearchPath(std::string_view list);
// Case-insensitive (ASCII) equality.
bool EqualsNoCase(std::string_view a, std::string_view b);
// '*' and '?' wildcard match of a file name (case-sensitive, as file names here are).
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace tamso::paths
