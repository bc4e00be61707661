#include "tarvo/imageio/img_io_ras_reader.h"

#include "tarvo/imageio/byte_order.h"
#include "tarvo/image/img_rows.h"
#include "tarvo/imageio/img_io_rows.h"
#include "tarvo/imageio/util_ras_hdr.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace {

const char* const place = "img_io_load_ras";

} // namespace

img_io_ras_reader::img_io_ras_reader(const char* name)
    : file(name, place), mapLength(0), greyMap(false), redFirst(false), fileDepth(0), firstPending(true),
      fileSize(file.size()), recordSize(0), length(0)
{
    util_ras_hdr header;
    file.read(header.raw, util_ras_hdr::bytes);
    header.check();

    std::int32_t szPixel = header.depth() / 8;
    if (header.hasMap()) {
        unsigned char map[util_ras_hdr::mapBytes];
        file.read(map, sizeof map);
        std::memcpy(red, map, 256);
        std::memcpy(green, map + 256, 256);
        std::memcpy(blue, map + 512, 256);
        greyMap = std::memcmp(red, green, 256) == 0 && std::memcmp(green, blue, 256) == 0;
        mapLength = util_ras_hdr::mapBytes;
        if (!greyMap)
            szPixel = 3;
    }
    img_check_size(place, header.width(), header.height(), szPixel);
    format_ = img_fmt(header.width(), header.height(), szPixel, 0);
    redFirst = header.rasterType() == util_ras_hdr::typeRgb;
    fileDepth = header.depth();
    length = header.length();
    recordSize = util_ras_hdr::bytes + std::int64_t(mapLength) + length;
}

std::int32_t img_io_ras_reader::size() const
{
    return static_cast<std::int32_t>(fileSize / recordSize);
}

void img_io_ras_reader::seek(std::int32_t index)
{
    if (index < 0)
        throw std::runtime_error("img_io_load_rasMany::seek - negative image index " + std::to_string(index));
    firstPending = false;
    file.seekTo(index * recordSize);
}

void img_io_ras_reader::read(img_wrap& target)
{
    if (firstPending) {
        firstPending = false;
    } else {
        unsigned char skipped[util_ras_hdr::bytes + util_ras_hdr::mapBytes];  // header and map, unread
        file.read(skipped, util_ras_hdr::bytes + mapLength);
    }
    const std::int32_t szPixel = format_.szPixel();
    if (szPixel == 6 || szPixel == 8)
        throw "img_io_load_ras::operator() - illegal szPixel()";
    file.require(length);

    target.reformat(format_);
    unsigned char* bits = target.bits();
    const std::int32_t width = format_.width();
    const std::int64_t line = format_.szLine();
    const std::int64_t fileLine = std::int64_t(width) * (fileDepth / 8);
    const std::int32_t bottom = format_.height() - 1;
    // The file's top row becomes the buffer's last.
    img_io_rows::read(file, format_.height(), fileLine, fileLine, [&](std::int32_t row, const unsigned char* src) {
        unsigned char* dst = bits + (bottom - row) * line;
        if (mapLength != 0 && greyMap) {
            img_io_rows::lookup(dst, src, width, green);
        } else if (mapLength != 0) {
            for (std::int32_t x = 0; x < width; ++x, dst += 3) {
                const unsigned char k = src[x];
                dst[0] = red[k];
                dst[1] = green[k];
                dst[2] = blue[k];
            }
        } else if (szPixel == 2 && hostIsBigEndian()) {
            img_io_rows::copySwap01(dst, src, width);
        } else if (szPixel == 3 && !redFirst) {
            img_rows::copyRedFirst3(dst, src, std::size_t(width));
        } else if (szPixel == 4 && !redFirst) {
            img_rows::copyRedFirst4(dst, src, std::size_t(width));
        } else {
            img_io_rows::copy(dst, src, fileLine);
        }
    });
}
