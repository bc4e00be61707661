// A text file naming the frames of a sequence, one name per line.
//
//   # comment (everything from '#' to the end of a line)
//   a.pgm            relative names are taken from the base directory,
//   @frames          which starts as the list's own directory; '@' + rest
//   b.pgm            appends rest to it, '@/' or '@\' + rest replaces it
#pragma once

#include "tarvo/sequence/vs_file_many.h"

class vs_file_txt : public vs_file_many {
public:
    static constexpr const char* registryKey = "txt";
    // Lists may name lists; nesting deeper than this means a list names itself.
    static constexpr int maxNesting = 32;

    explicit vs_file_txt(const vs_file_args& args);

    const char* asciiDescriptor() const override { return name.c_str(); }
    const char* typeName() const override { return registryKey; }

    // The member names a list file gives, in order; `name` is the list's own name.
    static std::vector<std::string> readList(const std::string& name);

private:
    std::string name;
};
