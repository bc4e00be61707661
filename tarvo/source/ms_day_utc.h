#pragma once

#include <cstdint>

constexpr std::int32_t msPerDay = 86400000;

// Milliseconds since midnight UTC, 0 to 86 399 999.
std::int32_t msDayUtc();

// Milliseconds from `start` to `now`, both times of day; a `now` past
// midnight counts one day on instead of going negative.
inline std::int32_t msElapsed(std::int32_t start, std::int32_t now)
{
    const std::int32_t elapsed = now - start;
    return elapsed < 0 ? elapsed + msPerDay : elapsed;
}
