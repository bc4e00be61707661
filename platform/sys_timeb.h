// Time of day with milliseconds, as the C run time's <sys/timeb.h> gives it.
#pragma once

#ifdef _WIN32
#include <sys/timeb.h>
#else
#include <cstdint>

struct __timeb64 {
    std::int64_t time;       // seconds since 1970-01-01 00:00:00 UTC
    unsigned short millitm;  // milliseconds, 0 to 999
    short timezone;          // minutes west of UTC; always 0 here
    short dstflag;           // always 0 here
};

void _ftime64(struct __timeb64* now);
#endif
