#include "tarvo/imageio/img_io_ras.h"

#include "tarvo/image/img_convert.h"
#include "tarvo/image/img_util.h"
#include "tarvo/imageio/img_io_ras_reader.h"
#include "tarvo/imageio/util_ras_hdr.h"

#include <stdexcept>

void img_io_load_ras::operator()(const char* name, img_wrap& target)
{
    img_io_ras_reader reader(name);
    reader.read(target);
}

void img_io_save_ras::operator()(const img_wrap& image)
{
    if (!image.rawBits())
        throw std::runtime_error("img_io_save_ras::operator() - image without pixels");
    const std::int32_t s = image.fmt().szPixel();
    const std::int32_t t = s == 2 ? 3 : s;
    // A pixel size the file keeps is copied byte for byte: converting a 4-byte
    // image float to float would change the bytes of signalling-NaN patterns.
    img_wrap out(img_fmt(image.fmt(), t, 0));
    if (t == s)
        out = image;
    else
        img_convert(image, out);

    util_ras_hdr header;
    header.init(t * 8, out.fmt().width(), out.fmt().height());
    write(header.raw, util_ras_hdr::bytes);
    if (t == 3 || t == 4)
        img_util::flipEndian(out);  // red first back to blue first
    img_util::flipVertical(out);    // top row first in the file
    write(out.rawBits(), out.fmt().szImage());
}
