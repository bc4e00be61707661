#include "platform/io.h"

#ifndef _WIN32
#include "platform/native_path.h"

#include <cctype>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>

namespace {

struct search {
    DIR* dir;
    std::string directory;  // ends in '/', or empty for the current directory
    std::string pattern;
};

bool matches(const char* pattern, const char* name)
{
    for (; *pattern; ++pattern, ++name) {
        if (*pattern == '*') {
            for (const char* rest = name;; ++rest) {
                if (matches(pattern + 1, rest))
                    return true;
                if (!*rest)
                    return false;
            }
        }
        if (!*name)
            return false;
        if (*pattern != '?' && std::tolower(static_cast<unsigned char>(*pattern)) !=
                                   std::tolower(static_cast<unsigned char>(*name)))
            return false;
    }
    return !*name;
}

// A trailing ".*" also matches names without any dot, as on Windows.
bool matchesWindows(const std::string& pattern, const char* name)
{
    if (matches(pattern.c_str(), name))
        return true;
    const std::string::size_type n = pattern.size();
    return n >= 2 && pattern.compare(n - 2, 2, ".*") == 0 && !std::strchr(name, '.') &&
           matches(pattern.substr(0, n - 2).c_str(), name);
}

bool nextMatch(search& s, struct _finddata64i32_t* info)
{
    while (dirent* entry = readdir(s.dir)) {
        if (!matchesWindows(s.pattern, entry->d_name) || std::strlen(entry->d_name) >= sizeof info->name)
            continue;
        std::memset(info, 0, sizeof *info);
        std::strcpy(info->name, entry->d_name);
        struct stat st;
        if (stat((s.directory + entry->d_name).c_str(), &st) == 0) {
            info->attrib = S_ISDIR(st.st_mode) ? _A_SUBDIR : _A_NORMAL;
            info->time_create = info->time_write = st.st_mtime;
            info->time_access = st.st_atime;
            info->size = static_cast<_fsize_t>(st.st_size);
        }
        return true;
    }
    return false;
}

} // namespace

std::intptr_t _findfirst64i32(const char* filespec, struct _finddata64i32_t* fileinfo)
{
    const std::string searchPath = nativePath(filespec);
    const std::string::size_type cut = searchPath.rfind('/');
    search* s = new search{nullptr, cut == std::string::npos ? "" : searchPath.substr(0, cut + 1),
                           cut == std::string::npos ? searchPath : searchPath.substr(cut + 1)};
    s->dir = opendir(s->directory.empty() ? "." : s->directory.c_str());
    if (!s->dir || !nextMatch(*s, fileinfo)) {
        _findclose(reinterpret_cast<std::intptr_t>(s));
        return -1;
    }
    return reinterpret_cast<std::intptr_t>(s);
}

int _findnext64i32(std::intptr_t handle, struct _finddata64i32_t* fileinfo)
{
    return nextMatch(*reinterpret_cast<search*>(handle), fileinfo) ? 0 : -1;
}

int _findclose(std::intptr_t handle)
{
    if (handle == -1)
        return -1;
    search* s = reinterpret_cast<search*>(handle);
    if (s->dir)
        closedir(s->dir);
    delete s;
    return 0;
}
#endif
