// Live sources: endless, stamped with the time elapsed since construction.
#pragma once

#include "tarvo/source/ms_day_utc.h"
#include "tarvo/source/vs_base.h"
#include "tarvo/source/vs_file_args.h"

#include <limits>

class vs_grab : public vs_base {
public:
    using creation_args = vs_grab_args;
    static const char* registryName() { return "class vs_grab"; }

    vs_grab() : start(msDayUtc()) {}

    bool isFile() const override { return false; }
    bool isGrab() const override { return true; }
    const char* asciiDescriptor() const override { return typeName(); }
    const char* type() const override { return typeName(); }
    std::int32_t size() const override { return std::numeric_limits<std::int32_t>::max(); }
    std::int32_t timestamp() const override { return msElapsed(start, msDayUtc()); }
    virtual const char* typeName() const = 0;

protected:
    std::int32_t start;
};
