#include "tarvo/image/img_util.h"

#include "tarvo/image/img_rows.h"

#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

namespace img_util {

namespace {

// Exchanges bytes a and b in every pixel of size Size, row by row.
template <int Size, int A, int B>
void swapBytes(const img_fmt& f, unsigned char* bits)
{
    for (std::int32_t y = 0; y < f.height(); ++y) {
        unsigned char* p = bits + static_cast<std::ptrdiff_t>(y) * f.szLine();
        for (std::int32_t x = 0; x < f.width(); ++x, p += Size)
            std::swap(p[A], p[B]);
    }
}

// Exchanges bytes 0 and 2 of every pixel, a row at a time through a copy of
// the row, so the fast row copy does the work.
template <void (*CopyRow)(unsigned char*, const unsigned char*, std::size_t)>
void swapRedBlue(const img_fmt& f, unsigned char* bits)
{
    std::vector<unsigned char> row(static_cast<std::size_t>(f.szLine()));
    for (std::int32_t y = 0; y < f.height(); ++y) {
        unsigned char* line = bits + static_cast<std::ptrdiff_t>(y) * f.szLine();
        std::memcpy(row.data(), line, row.size());
        CopyRow(line, row.data(), static_cast<std::size_t>(f.width()));
    }
}

} // namespace

void flipEndian(img_wrap& image)
{
    switch (image.fmt().szPixel()) {
    case 1: return;
    case 2: flipEndian2(image); return;
    case 3: flipEndian3(image); return;
    case 4: flipEndian4(image); return;
    default: throw std::runtime_error("img_util::flipEndian -- unknown image format");
    }
}

void flipEndian2(img_wrap& image) { swapBytes<2, 0, 1>(image.fmt(), image.bits()); }
void flipEndian3(img_wrap& image) { swapRedBlue<img_rows::copyRedFirst3>(image.fmt(), image.bits()); }
void flipEndian3(const img_fmt& format, unsigned char* bits) { swapRedBlue<img_rows::copyRedFirst3>(format, bits); }
void flipEndian4(img_wrap& image) { swapRedBlue<img_rows::copyRedFirst4>(image.fmt(), image.bits()); }

void flipVertical(img_wrap& image)
{
    const img_fmt& f = image.fmt();
    const std::size_t line = static_cast<std::size_t>(f.szLine());
    std::vector<unsigned char> temp(line);
    unsigned char* bits = image.bits();
    for (std::int32_t i = 0; i < f.height() / 2; ++i) {
        unsigned char* a = bits + static_cast<std::size_t>(i) * line;
        unsigned char* b = bits + static_cast<std::size_t>(f.height() - 1 - i) * line;
        std::memcpy(temp.data(), a, line);
        std::memcpy(a, b, line);
        std::memcpy(b, temp.data(), line);
    }
}

void depaletise(img_wrap& image, const unsigned char table[256])
{
    if (image.fmt().szPixel() != 1)
        throw std::runtime_error("img_util::depaletise - unexpected image format");
    unsigned char* p = image.bits();
    const std::int32_t n = image.fmt().szImage();
    for (std::int32_t i = 0; i < n; ++i)
        p[i] = table[p[i]];
}

void depaletise(const unsigned char* indices, const unsigned char first[256], const unsigned char second[256],
                const unsigned char third[256], int /*count*/, img_wrap& target)
{
    const img_fmt& f = target.fmt();
    if (f.szPixel() != 3)
        throw std::runtime_error("img_util::depaletise - unexpected image format");
    unsigned char* bits = target.bits();
    for (std::int32_t r = 0; r < f.height(); ++r) {
        const unsigned char* x = indices + static_cast<std::ptrdiff_t>(r) * f.width();
        unsigned char* p = bits + static_cast<std::ptrdiff_t>(r) * f.szLine();
        for (std::int32_t c = 0; c < f.width(); ++c, p += 3) {
            const unsigned char k = x[c];
            p[0] = third[k];
            p[1] = second[k];
            p[2] = first[k];
        }
    }
}

} // namespace img_util
