#include "tarvo/sequence/vs_file_dir.h"

#include "tarvo/sequence/util_fs_dir.h"

#include <stdexcept>

std::vector<std::string> vs_file_dir::listEntries(const std::string& name)
{
    std::vector<std::string> entries;
    if (!util_fs::readDir(name, entries))
        throw std::runtime_error("vs_file_dir (" + name + ") - access error or not a directory");
    if (!entries.empty())
        util_fs::isDir(entries.back());
    return entries;
}

vs_file_dir::vs_file_dir(const char* name) : vs_file_many(listEntries(name)), name(name) {}
