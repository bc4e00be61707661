#pragma once

#include "tarvo/source/vs_file.h"

namespace vs_file_util {

// Opens the source a name stands for: a trailing backslash is a directory, a
// registered extension its product, any other extension a still image.
// The caller owns the result.
vs_file* create(const char* name);

} // namespace vs_file_util
