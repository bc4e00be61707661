#include "tarvo/image/img_fmt.h"

#include <limits>
#include <stdexcept>
#include <string>

namespace {

std::int32_t defaultPixelType(std::int32_t szPixel)
{
    switch (szPixel) {
    case 1: return 2;   // pix_gray8
    case 2: return 4;   // pix_fix16
    case 3: return 18;  // pix_rgb8
    case 4: return 21;  // pix_float
    case 6: return 20;  // pix_rgbfix16
    default: return 21; // 8: pix_double
    }
}

// Rows are packed; the product wraps like the 32-bit field it is stored in
// (images that large are refused by img_check_size before they get a buffer).
std::int32_t packedLine(std::int32_t szPixel, std::int32_t width)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(szPixel) * static_cast<std::uint32_t>(width));
}

} // namespace

img_fmt::img_fmt() : img_fmt(32, 32, 1, 0) {}

img_fmt::img_fmt(std::int32_t width, std::int32_t height, std::int32_t szPixel, std::int32_t pixelType)
    : width_(width), height_(height), szPixel_(szPixel), szLine_(packedLine(szPixel, width)), pixelType_(pixelType)
{
    validate();
}

img_fmt::img_fmt(const img_fmt& geometry, std::int32_t szPixel, std::int32_t pixelType)
    : img_fmt(geometry.width(), geometry.height(), szPixel, pixelType)
{
}

bool img_fmt::operator==(const img_fmt& other) const
{
    return width_ == other.width_ && height_ == other.height_ && szPixel_ == other.szPixel_ &&
           szLine_ == other.szLine_;
}

void img_fmt::validate()
{
    if (szPixel_ < 1 || szPixel_ == 5 || szPixel_ == 7 || szPixel_ > 8)
        throw std::runtime_error("img_wrap:img_fmt: unsupported pixel size (" + std::to_string(szPixel_) + ")");
    if (pixelType_ == 0)
        pixelType_ = defaultPixelType(szPixel_);
}

void img_check_size(const char* place, std::int64_t width, std::int64_t height, std::int64_t szPixel)
{
    const std::int64_t limit = std::numeric_limits<std::int32_t>::max();
    bool fits = width >= 0 && height >= 0 && szPixel >= 0 && width <= limit && height <= limit && szPixel <= 8;
    if (fits && width * szPixel > 0)
        fits = height <= limit / (width * szPixel);
    if (!fits)
        throw std::runtime_error(std::string(place) + " - image size out of range (" + std::to_string(width) + " x " +
                                 std::to_string(height) + " x " + std::to_string(szPixel) + " bytes)");
}
