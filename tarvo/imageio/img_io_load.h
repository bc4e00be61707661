// Still-image loaders, chosen by the lower-cased file extension.
#pragma once

#include "tarvo/image/img_wrap.h"
#include "tarvo/source/vs_file_args.h"

class img_io_load {
public:
    using creation_args = img_io_load_args;
    static const char* registryName() { return "class img_io_load"; }

    virtual ~img_io_load() = default;
    // The loader's registry key.
    virtual const char* typeName() const = 0;
    // Reads the file into `target`, reformatting it to the file's picture.
    virtual void operator()(const char* name, img_wrap& target) = 0;
};

namespace img_io_load_util {

// Loads a still image with the loader registered for its lower-cased extension.
void load(const char* name, img_wrap& target);

} // namespace img_io_load_util
