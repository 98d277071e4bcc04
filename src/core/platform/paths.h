#pragma once
// Path helpers. Paths are bytes as the system gives them and use '/' only: a
// backslash is a legal file-name character ("back\slash.java" is one name). Only
// Windows-style text (a stored project member like ".\Name", a path pasted into the
// settings) has its backslashes read as separators, through FromStored.

#include <string>
#include <string_view>
#include <vector>

namespace tamso::paths {

// Windows-style text in this system's form: when the text holds no '/', its
// backslashes become '/' (".\A.java" gives "./A.java"); text with a '/' is
// taken as it is ("./back\slash.java" stays).
std::string FromStored(std::string_view stored);
// The part after the last '/'.
std::string FileName(std::string_view path);
// Everything before the last '/' ("" when there is none; "/" for "/x").
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
