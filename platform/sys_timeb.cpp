#include "platform/sys_timeb.h"

#ifndef _WIN32
#include <time.h>

void _ftime64(struct __timeb64* now)
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    now->time = static_cast<std::int64_t>(ts.tv_sec);
    now->millitm = static_cast<unsigned short>(ts.tv_nsec / 1000000);
    now->timezone = 0;
    now->dstflag = 0;
}
#endif
