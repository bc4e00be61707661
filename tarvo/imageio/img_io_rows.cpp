#include "tarvo/imageio/img_io_rows.h"

namespace img_io_rows {

namespace {

// Byte i of a swapped row comes from byte i + 2, i or i - 2 of the source as
// i mod 3 is 0, 1 or 2. Over 24 bytes (eight pixels, three 64-bit words) the
// pattern repeats, so each output word is three overlapping unaligned loads
// under masks. The masks are bytes loaded like the data, which keeps the
// code independent of the host's byte order.
struct swapMasks {
    std::uint64_t fromRight[3];  // bytes taken from i + 2
    std::uint64_t keep[3];       // bytes that stay
    std::uint64_t fromLeft[3];   // bytes taken from i - 2

    swapMasks()
    {
        unsigned char right[24], middle[24], left[24];
        for (int i = 0; i < 24; ++i) {
            right[i] = i % 3 == 0 ? 0xff : 0;
            middle[i] = i % 3 == 1 ? 0xff : 0;
            left[i] = i % 3 == 2 ? 0xff : 0;
        }
        std::memcpy(fromRight, right, sizeof right);
        std::memcpy(keep, middle, sizeof middle);
        std::memcpy(fromLeft, left, sizeof left);
    }
};

inline std::uint64_t load64(const unsigned char* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void swapPixel(unsigned char* dst, const unsigned char* src)
{
    dst[0] = src[2];
    dst[1] = src[1];
    dst[2] = src[0];
}

} // namespace

void copySwap3(unsigned char* dst, const unsigned char* src, std::int32_t width)
{
    static const swapMasks masks;
    std::int32_t x = 0;
    if (width >= 10) {
        // Pixel 0 alone, so the loads 2 bytes before each block stay in the row;
        // the loop stops a pixel early, so those 2 bytes after it do too.
        swapPixel(dst, src);
        for (x = 1; x + 9 <= width; x += 8) {
            const unsigned char* p = src + 3 * std::ptrdiff_t(x);
            unsigned char* q = dst + 3 * std::ptrdiff_t(x);
            for (int k = 0; k < 3; ++k) {
                const std::uint64_t v = (load64(p + 8 * k + 2) & masks.fromRight[k]) |
                                        (load64(p + 8 * k) & masks.keep[k]) |
                                        (load64(p + 8 * k - 2) & masks.fromLeft[k]);
                std::memcpy(q + 8 * k, &v, sizeof v);
            }
        }
    }
    for (; x < width; ++x)
        swapPixel(dst + 3 * std::ptrdiff_t(x), src + 3 * std::ptrdiff_t(x));
}

} // namespace img_io_rows
