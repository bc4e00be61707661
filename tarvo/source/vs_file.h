// Sources read from files.
#pragma once

#include "tarvo/source/vs_base.h"
#include "tarvo/source/vs_file_args.h"

class vs_file : public vs_base {
public:
    using creation_args = vs_file_args;
    static const char* registryName() { return "class vs_file"; }

    bool isFile() const override { return true; }
    bool isGrab() const override { return false; }
    const char* type() const override { return typeName(); }
    // The fixed type name of the concrete class, which is its registry key.
    virtual const char* typeName() const = 0;
};
