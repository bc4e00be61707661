#include "tarvo/imageio/img_io_bmp.h"

#include "tarvo/image/img_util.h"
#include "tarvo/imageio/byte_order.h"
#include "tarvo/imageio/img_io_load_imp.h"
#include "tarvo/image/img_rows.h"
#include "tarvo/imageio/img_io_rows.h"
#include "tarvo/imageio/util_bmp.h"

#include <stdexcept>

namespace {

const char* const place = "img_io_load_bmp";

// Rows are padded to a multiple of four bytes.
std::int64_t paddedLine(std::int64_t bytes) { return (bytes + 3) / 4 * 4; }

} // namespace

void img_io_load_bmp::operator()(const char* name, img_wrap& target)
{
    img_io_load_imp file(name, place);
    util_bmp_BFH fileHeader;
    file.read(fileHeader.raw, util_bmp_BFH::bytes);
    fileHeader.check();

    // The information block lies between the two headers' ends and bfOffBits.
    const std::int32_t infoSize = fileHeader.infoSize();
    if (infoSize > util_bmp_BI::recordBytes || infoSize < util_bmp_BIH::bytes)
        throw std::runtime_error("img_io_load_bmp::init - unsupported file format");
    const std::int32_t entries = (infoSize - util_bmp_BIH::bytes) / 4;
    if (entries > util_bmp_BI::maxPaletteEntries)
        throw std::runtime_error("img_io_load_bmp::init - unsupported file format");

    util_bmp_BI info(entries);
    file.read(info.header.raw, util_bmp_BIH::bytes);
    if (entries != 0)
        file.read(info.palette(), 4 * entries);
    info.check();

    const std::int32_t width = info.header.width();
    const std::int32_t height = info.header.height();
    if (width < 0)
        throw std::runtime_error("img_io_load_bmp - negative width");
    if (height < 0)
        throw std::runtime_error("img_io_load_bmp - negative height (top-down bitmaps are not supported)");
    const std::int32_t filePixel = info.header.bitCount() / 8;  // 1, 2, 3 or 4
    const std::int32_t szPixel = filePixel == 4 ? 3 : filePixel;
    img_check_size(place, width, height, szPixel);
    const std::int64_t rowBytes = std::int64_t(width) * filePixel;
    const std::int64_t fileLine = paddedLine(rowBytes);

    // From bfOffBits, not from the palette's end: information blocks whose
    // size is not a multiple of four leave bytes before the pixels.
    file.seekTo(util_bmp_BFH::bytes + std::int64_t(infoSize));
    // The last row may lack its padding.
    file.require(height == 0 || rowBytes == 0 ? 0 : (height - 1) * fileLine + rowBytes);

    // Pixel values at or beyond the palette count have no entry: the table is
    // zeroed first, so they come out black (grey 0).
    unsigned char grey[256] = {};
    info.greyLevels(grey);

    target.reformat(img_fmt(width, height, szPixel, 0));
    unsigned char* bits = target.bits();
    const std::int64_t line = target.fmt().szLine();
    // File order is buffer order: both start with the bottom row.
    img_io_rows::read(file, height, rowBytes, fileLine, [&](std::int32_t row, const unsigned char* src) {
        unsigned char* dst = bits + row * line;
        switch (filePixel) {
        case 1:
            if (entries != 0)
                img_io_rows::lookup(dst, src, width, grey);
            else
                img_io_rows::copy(dst, src, rowBytes);
            break;
        case 2:
            if (hostIsBigEndian())
                img_io_rows::copySwap01(dst, src, width);
            else
                img_io_rows::copy(dst, src, rowBytes);
            break;
        case 3: img_rows::copyRedFirst3(dst, src, std::size_t(width)); break;
        default: img_io_rows::copyDrop4Swap(dst, src, width); break;
        }
    });
}

void img_io_save_bmp::operator()(const img_wrap& image)
{
    const img_fmt& f = image.fmt();
    const std::int32_t s = f.szPixel();
    util_bmp_BFH fileHeader;
    util_bmp_BI info(-1);
    const std::int32_t infoSize = info.init(s * 8, f.width(), f.height(), nullptr, 0);
    // Sizes count the row padding: readers check them against the file's length.
    fileHeader.set(infoSize, static_cast<std::int32_t>(util_bmp_BIH::paddedImageBytes(s * 8, f.width(), f.height())));
    write(fileHeader.raw, util_bmp_BFH::bytes);
    write(info.header.raw, util_bmp_BIH::bytes);
    write(info.palette(), infoSize - util_bmp_BIH::bytes);

    if (!image.rawBits())
        throw std::runtime_error("img_io_save_bmp::operator() - image without pixels");
    img_wrap copy(image);
    switch (s) {
    case 1: break;
    case 2:
        if (hostIsBigEndian())
            img_util::flipEndian2(copy);
        break;
    case 3: img_util::flipEndian(copy); break;
    default: throw "img_io_save_bmp::operator() - illegal szPixel()";
    }

    // Rows go out in buffer order, which is the file's bottom-row-first order.
    // Padding is written as zeros: a row can be shorter than its padding.
    const std::int64_t line = f.szLine();
    const std::int64_t pad = paddedLine(line) - line;
    const unsigned char zeros[3] = {0, 0, 0};
    const unsigned char* bits = copy.rawBits();
    for (std::int32_t row = 0; row < f.height(); ++row) {
        write(bits + row * line, line);
        if (pad != 0)
            write(zeros, pad);
    }
}
