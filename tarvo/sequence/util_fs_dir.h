// Directory listing for the directory source.
#pragma once

#include <string>
#include <vector>

namespace util_fs {

// Appends the entries of directory `name` whose names do not begin with '.'
// (as name + "/" + entry) and sorts the whole list byte-wise; false when the
// directory cannot be listed.
bool readDir(const std::string& name, std::vector<std::string>& list);

// The sub-directory test. Not implemented: throws on every call.
bool isDir(const std::string& path);

} // namespace util_fs
