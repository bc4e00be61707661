// Row-wise reading shared by the still-image readers.
//
// A reader hands each file row to a small function that puts it into the
// image: reversing the row order, dropping padding, exchanging channels or
// expanding a palette in the same pass. Rows are read a chunk of some
// hundred kilobytes at a time, so there are few reads, and each row is
// converted while it is still in the cache.
#pragma once

#include "tarvo/imageio/img_io_load_imp.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace img_io_rows {

constexpr std::int64_t chunkBytes = 256 * 1024;

// Reads `rows` rows that start `fileLine` bytes apart, of which the first
// `rowBytes` carry pixels (the rest is padding; the last row's padding may be
// missing from the file), and calls take(row index from the file's start, row
// bytes) for each, in file order.
template <class Take>
void read(img_io_load_imp& file, std::int32_t rows, std::int64_t rowBytes, std::int64_t fileLine, Take take)
{
    if (rows <= 0 || rowBytes <= 0)
        return;
    const std::int64_t chunkRows = std::max<std::int64_t>(1, std::min<std::int64_t>(rows, chunkBytes / fileLine));
    std::vector<unsigned char> chunk(static_cast<std::size_t>(chunkRows * fileLine));
    for (std::int32_t first = 0; first < rows;) {
        const std::int32_t count = static_cast<std::int32_t>(std::min<std::int64_t>(chunkRows, rows - first));
        const bool last = first + count == rows;
        file.read(chunk.data(), (count - 1) * fileLine + (last ? rowBytes : fileLine));
        for (std::int32_t k = 0; k < count; ++k)
            take(first + k, chunk.data() + k * fileLine);
        first += count;
    }
}

// Row converters: `width` pixels from `src` (file layout) to `dst` (image layout).

inline void copy(unsigned char* dst, const unsigned char* src, std::int64_t bytes)
{
    std::memcpy(dst, src, static_cast<std::size_t>(bytes));
}

// Four-byte blue, green, red, unused pixels to three-byte red-first ones.
inline void copyDrop4Swap(unsigned char* dst, const unsigned char* src, std::int32_t width)
{
    for (std::int32_t x = 0; x < width; ++x, dst += 3, src += 4) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}

// Two-byte pixels with their bytes exchanged (little-endian file values on a
// big-endian host).
inline void copySwap01(unsigned char* dst, const unsigned char* src, std::int32_t width)
{
    for (std::int32_t x = 0; x < width; ++x, dst += 2, src += 2) {
        dst[0] = src[1];
        dst[1] = src[0];
    }
}

// One index byte per pixel through a 256-entry table.
inline void lookup(unsigned char* dst, const unsigned char* src, std::int32_t width, const unsigned char table[256])
{
    for (std::int32_t x = 0; x < width; ++x)
        dst[x] = table[src[x]];
}

} // namespace img_io_rows
