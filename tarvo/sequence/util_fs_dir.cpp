#include "tarvo/sequence/util_fs_dir.h"

#include "platform/io.h"

#include <algorithm>
#include <iostream>
#include <stdexcept>

namespace util_fs {

bool readDir(const std::string& name, std::vector<std::string>& list)
{
    std::cerr << "Beware, util_fs::readDir not tested\n";
    std::string dir = name;
    if (dir.empty() || dir.back() != '/')
        dir += "/";

    struct _finddata64i32_t match;
    const std::intptr_t search = _findfirst64i32((dir + "*.*").c_str(), &match);
    if (search == -1)
        return false;
    do {
        if (match.name[0] != '.')
            list.push_back(dir + match.name);
    } while (_findnext64i32(search, &match) == 0);
    std::sort(list.begin(), list.end());
    _findclose(search);
    return true;
}

bool isDir(const std::string& /*path*/)
{
    throw std::runtime_error("util_fs::isDir not implemented");
}

} // namespace util_fs
