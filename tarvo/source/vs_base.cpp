#include "tarvo/source/vs_base.h"

#include <stdexcept>

std::int32_t vs_base::length() const
{
    return (end >= 0 ? end : size()) - first;
}

void vs_base::seek(std::int32_t position)
{
    const std::int32_t n = length();
    if (n <= 0)
        throw std::runtime_error("vs_base::seek - source has no frames");
    std::int32_t p = position % n;
    if (p < 0)
        p += n;
    cur = p + first;
}
