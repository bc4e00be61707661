// Directory search with wildcard patterns, as the C run time's <io.h> gives it.
// In a pattern '*' matches any run of characters and '?' one character,
// without regard to case; "*.*" matches every name.
#pragma once

#ifdef _WIN32
#include <io.h>
#else
#include <cstdint>

typedef std::int64_t __time64_t;
typedef unsigned long _fsize_t;

#define _A_NORMAL 0x00
#define _A_RDONLY 0x01
#define _A_SUBDIR 0x10

struct _finddata64i32_t {
    unsigned attrib;
    __time64_t time_create;
    __time64_t time_access;
    __time64_t time_write;
    _fsize_t size;
    char name[260];
};

// A search handle, or -1 when nothing matches or the directory cannot be read.
std::intptr_t _findfirst64i32(const char* filespec, struct _finddata64i32_t* fileinfo);
// 0 with the next match, or -1 when there are no more.
int _findnext64i32(std::intptr_t handle, struct _finddata64i32_t* fileinfo);
int _findclose(std::intptr_t handle);
#endif
