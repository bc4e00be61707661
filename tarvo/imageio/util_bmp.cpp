#include "tarvo/imageio/util_bmp.h"

#include "tarvo/imageio/byte_order.h"

#include <cstring>
#include <stdexcept>

util_bmp_BFH::util_bmp_BFH()
{
    std::memset(raw, 0, sizeof raw);
    raw[0] = 'B';
    raw[1] = 'M';
}

void util_bmp_BFH::check() const
{
    if (readLE16(raw) != 0x4D42)
        throw std::runtime_error("util_bmp_BFH::check - unsupported format");
}

std::int32_t util_bmp_BFH::infoSize() const
{
    // bfOffBits at offset 10; 64-bit arithmetic keeps a hostile offset from overflowing.
    const std::int64_t offBits = readLE32(raw + 10);
    const std::int64_t info = offBits - bytes;
    return info < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(info);
}

std::int32_t util_bmp_BFH::set(std::int32_t infoSize, std::int32_t pixelDataSize)
{
    writeLE32(raw + 2, bytes + infoSize + pixelDataSize);  // bfSize
    writeLE32(raw + 10, bytes + infoSize);                 // bfOffBits
    return bytes;
}

std::int64_t util_bmp_BIH::paddedImageBytes(std::int32_t bitCount, std::int32_t width, std::int32_t height)
{
    const std::int64_t line = (std::int64_t(width) * bitCount + 31) / 32 * 4;
    return line * height;
}

util_bmp_BIH::util_bmp_BIH()
{
    std::memset(raw, 0, sizeof raw);
    writeLE32(raw + 0, bytes);  // biSize
    writeLE16(raw + 12, 1);     // biPlanes
}

void util_bmp_BIH::check() const
{
    const std::int32_t bits = bitCount();
    if (size() != bytes || planes() != 1 || (bits != 8 && bits != 16 && bits != 24 && bits != 32))
        throw std::runtime_error("util_bmp_BIH::check - unsupported format");
}

std::int32_t util_bmp_BIH::size() const { return readLE32(raw + 0); }
std::int32_t util_bmp_BIH::width() const { return readLE32(raw + 4); }
std::int32_t util_bmp_BIH::height() const { return readLE32(raw + 8); }
std::int32_t util_bmp_BIH::planes() const { return readLE16(raw + 12); }
std::int32_t util_bmp_BIH::bitCount() const { return readLE16(raw + 14); }
std::int32_t util_bmp_BIH::compression() const { return readLE32(raw + 16); }

void util_bmp_BIH::set(std::int32_t bitCount, std::int32_t width, std::int32_t height, std::int32_t paletteEntries)
{
    writeLE32(raw + 4, width);
    writeLE32(raw + 8, height);
    writeLE16(raw + 14, bitCount);
    writeLE32(raw + 16, bitCount == 16 ? 3 : 0);  // compression: bit fields for 16 bits
    // Image size with the rows padded to four bytes, as they are stored:
    // readers compare it with the file's length and refuse files where it is short.
    writeLE32(raw + 20, static_cast<std::int32_t>(paddedImageBytes(bitCount, width, height)));
    writeLE32(raw + 32, paletteEntries);  // biClrUsed
    writeLE32(raw + 36, 0);               // biClrImportant
}

util_bmp_BI::util_bmp_BI(std::int32_t paletteEntries) : paletteSize(paletteEntries)
{
    std::memset(paletteArea, 0, sizeof paletteArea);
}

void util_bmp_BI::check() const
{
    header.check();
    // Unsigned, so a negative count fails too; compared as a count, since
    // count * 4 wraps for counts near 2^30.
    if (static_cast<std::uint32_t>(paletteSize) > static_cast<std::uint32_t>(maxPaletteEntries))
        throw std::runtime_error("util_bmp_BI::check - unsupported format");
}

void util_bmp_BI::defaultPaletteSize()
{
    switch (header.bitCount()) {
    case 8: paletteSize = 256; break;
    case 16: paletteSize = 3; break;
    case 24:
    case 32: paletteSize = 0; break;
    default: break;
    }
}

std::int32_t util_bmp_BI::init(std::int32_t bitCount, std::int32_t width, std::int32_t height,
                               const unsigned char* palette, std::int32_t entries)
{
    if (!palette) {
        switch (bitCount) {
        case 8:
            for (int i = 0; i < 256; ++i) {
                unsigned char* e = paletteArea + 4 * i;
                e[0] = e[1] = e[2] = static_cast<unsigned char>(i);
                e[3] = 0;
            }
            paletteSize = 256;
            break;
        case 16:  // red, green and blue masks
            writeLE32(paletteArea + 0, 0x3FFF);
            writeLE32(paletteArea + 4, 0x4000);
            writeLE32(paletteArea + 8, 0x8000);
            paletteSize = 3;
            break;
        case 24:
        case 32: paletteSize = 0; break;
        default: throw std::runtime_error("util_bmp_BI::init - illegal count of bits per pixel");
        }
    } else {
        if (static_cast<std::uint32_t>(entries) > static_cast<std::uint32_t>(maxPaletteEntries))
            throw std::runtime_error("util_bmp_BI::init - illegal palette size");
        std::memcpy(paletteArea, palette, static_cast<std::size_t>(entries) * 4);
        paletteSize = entries;
    }
    header.set(bitCount, width, height, paletteSize);
    return util_bmp_BIH::bytes + 4 * paletteSize;
}

void util_bmp_BI::greyLevels(unsigned char table[256]) const
{
    for (std::int32_t i = 0; i < paletteSize && i < maxPaletteEntries; ++i) {
        const unsigned char* e = paletteArea + 4 * i;
        table[i] = static_cast<unsigned char>((2 * (e[0] + e[1] + e[2]) + 3) / 6);
    }
}
