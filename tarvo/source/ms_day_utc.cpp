#include "tarvo/source/ms_day_utc.h"

#include "platform/sys_timeb.h"

std::int32_t msDayUtc()
{
    struct __timeb64 now;
    _ftime64(&now);
    // All 64 bits of the seconds: a 32-bit remainder would turn negative after 2038.
    std::int64_t secondOfDay = now.time % 86400;
    if (secondOfDay < 0)
        secondOfDay += 86400;
    return static_cast<std::int32_t>(secondOfDay * 1000 + now.millitm);
}
