#include "platform/share.h"

#ifndef _WIN32
#include "platform/native_path.h"

#include <sys/stat.h>

FILE* _fsopen(const char* name, const char* mode, int /*shflag: POSIX files are always shared*/)
{
    FILE* file = std::fopen(nativePath(name).c_str(), mode);
    if (!file)
        return nullptr;
    // A directory opens for reading on POSIX but not on Windows: refuse it the same way.
    struct stat info;
    if (fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}
#endif
