#include "tarvo/imageio/util_ras_hdr.h"

#include "tarvo/image/img_fmt.h"
#include "tarvo/imageio/byte_order.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace {

enum field { magicAt = 0, widthAt = 4, heightAt = 8, depthAt = 12, lengthAt = 16, typeAt = 20, mapTypeAt = 24,
             mapLengthAt = 28 };

} // namespace

util_ras_hdr::util_ras_hdr()
{
    std::memset(raw, 0, sizeof raw);
    writeBE32(raw + magicAt, magicValue);
    writeBE32(raw + typeAt, typeStandard);
}

std::int32_t util_ras_hdr::magic() const { return readBE32(raw + magicAt); }
std::int32_t util_ras_hdr::width() const { return readBE32(raw + widthAt); }
std::int32_t util_ras_hdr::height() const { return readBE32(raw + heightAt); }
std::int32_t util_ras_hdr::depth() const { return readBE32(raw + depthAt); }
std::int32_t util_ras_hdr::length() const { return readBE32(raw + lengthAt); }
std::int32_t util_ras_hdr::rasterType() const { return readBE32(raw + typeAt); }
std::int32_t util_ras_hdr::mapType() const { return readBE32(raw + mapTypeAt); }
std::int32_t util_ras_hdr::mapLength() const { return readBE32(raw + mapLengthAt); }

void util_ras_hdr::check()
{
    if (magic() != magicValue)
        throw std::runtime_error("util_ras_hdr::check - unknown magic");
    if (rasterType() != typeStandard && rasterType() != typeRgb)
        throw std::runtime_error("util_ras_hdr::check - unstandard type");
    if (mapType() == 1) {
        if (mapLength() != mapBytes || depth() != 8)
            throw std::runtime_error("util_ras_hdr::check - error for RMT_EQUAL_RGB");
    } else {
        if (mapType() != 0)
            throw std::runtime_error("util_ras_hdr::check - unknown maptype");
        if (mapLength() != 0)
            throw std::runtime_error("util_ras_hdr::check - error for RMT_NONE");
    }
    if (width() % 2 != 0)
        throw std::runtime_error("util_ras_hdr::check - odd width");
    if (width() < 0 || height() < 0)
        throw std::runtime_error("util_ras_hdr::check - negative size (" + std::to_string(width()) + " x " +
                                 std::to_string(height()) + ")");
    // Whole bytes per pixel only: with 12 or 20 bits the length would not
    // match the image's buffer. Pixel sizes the image format cannot take
    // (5 and 7 bytes) are refused by it.
    if (depth() <= 0 || depth() % 8 != 0 || depth() > 64)
        throw std::runtime_error("util_ras_hdr::check - unsupported depth (" + std::to_string(depth()) + ")");
    img_check_size("util_ras_hdr::check", width(), height(), depth() / 8);

    // Fits: the size check bounds width * height * depth / 8 by 2^31 - 1.
    const std::int32_t expected = static_cast<std::int32_t>(std::int64_t(width()) * height() * (depth() / 8));
    if (length() == 0)
        writeBE32(raw + lengthAt, expected);
    if (length() != expected)
        throw std::runtime_error("util_ras_hdr::check - error in ras_length");
}

void util_ras_hdr::init(std::int32_t depth, std::int32_t width, std::int32_t height)
{
    if (depth != 8 && depth != 24 && depth != 32)
        throw std::runtime_error("util_ras_hdr::init - unsupported depth");
    writeBE32(raw + widthAt, width);
    writeBE32(raw + heightAt, height);
    writeBE32(raw + depthAt, depth);
    // The writer's images are describable, so the product fits 32 bits.
    writeBE32(raw + lengthAt, static_cast<std::int32_t>(std::int64_t(width) * height * (depth / 8)));
}
