#include "tarvo/source/util_fs.h"

#include <cstring>

namespace util_fs {

const char* extension(const char* name)
{
    const char* dot = std::strrchr(name, '.');
    return dot ? dot + 1 : name + std::strlen(name);
}

void splitPath(const std::string& path, std::string& dir, std::string& file)
{
    const std::string::size_type cut = path.find_last_of("/\\");
    if (cut == std::string::npos) {
        dir.clear();
        file = path;
    } else {
        dir = path.substr(0, cut + 1);
        file = path.substr(cut + 1);
    }
}

} // namespace util_fs
