#include "tarvo/image/img_convert.h"

#include "tarvo/image/img_access_copy.h"

void img_convert(const img_wrap& source, img_wrap& target)
{
    target.reformat(img_fmt(source.fmt(), target.fmt().szPixel(), 0));
    img_access_copy copy(0, 0);
    img_access_dispatch2(source, target, copy);
}
