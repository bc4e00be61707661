#include "platform/native_path.h"

#include <algorithm>

std::string nativePath(const char* name)
{
    std::string path(name);
#ifndef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    return path;
}
