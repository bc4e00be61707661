#pragma once

#include "tarvo/image/img_wrap.h"

// Converts the whole of `source` into `target`, keeping the target's pixel size.
void img_convert(const img_wrap& source, img_wrap& target);
