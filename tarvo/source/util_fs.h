// Path functions shared by creation by name, loader selection and the lists.
#pragma once

#include <string>

namespace util_fs {

// The character that marks a name as a directory.
inline char dirSeparator() { return '\\'; }

// The text after the last '.' anywhere in the name (directories included),
// pointing into `name`; the empty text at its end when there is no '.'.
const char* extension(const char* name);

// Splits at the last '/' or '\\': `dir` keeps that separator, `file` the rest.
void splitPath(const std::string& path, std::string& dir, std::string& file);

} // namespace util_fs
