// The entries of a directory (a name ending in a backslash) as a sequence.
// The sub-directory test is not implemented, so every directory is refused.
#pragma once

#include "tarvo/sequence/vs_file_many.h"

class vs_file_dir : public vs_file_many {
public:
    static constexpr const char* registryKey = "/";

    explicit vs_file_dir(const char* name);

    const char* asciiDescriptor() const override { return name.c_str(); }
    const char* typeName() const override { return registryKey; }

private:
    static std::vector<std::string> listEntries(const std::string& name);

    std::string name;
};
