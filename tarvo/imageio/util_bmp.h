// The bitmap file header, information header and information block with
// palette. Each record holds the file's bytes as they are (little-endian)
// and reads and writes its fields through the byte-order helpers.
//
//   file header (14)      'B' 'M', file size, 2 reserved words, pixel data offset
//   information (40)      size, width, height, planes, bit count, compression,
//                         image size, x and y resolution, colours used, important
//   palette (4 per entry) blue, green, red, reserved
#pragma once

#include <cstdint>

class util_bmp_BFH {
public:
    static constexpr int bytes = 14;

    util_bmp_BFH();
    // Throws unless the type is 'B', 'M'.
    void check() const;
    // Bytes between the end of this header and the pixel data.
    std::int32_t infoSize() const;
    // Fills size and offset for writing; returns the size of this header.
    std::int32_t set(std::int32_t infoSize, std::int32_t pixelDataSize);

    unsigned char raw[bytes];
};

class util_bmp_BIH {
public:
    static constexpr int bytes = 40;

    util_bmp_BIH();
    // Throws unless size 40, one plane and 8, 16, 24 or 32 bits.
    void check() const;
    std::int32_t size() const;
    std::int32_t width() const;
    std::int32_t height() const;
    std::int32_t planes() const;
    std::int32_t bitCount() const;
    std::int32_t compression() const;
    void set(std::int32_t bitCount, std::int32_t width, std::int32_t height, std::int32_t paletteEntries);
    // Bytes of pixel data with every row padded to a multiple of four bytes.
    static std::int64_t paddedImageBytes(std::int32_t bitCount, std::int32_t width, std::int32_t height);

    unsigned char raw[bytes];
};

class util_bmp_BI {
public:
    static constexpr int maxPaletteEntries = 256;
    // The whole record: the largest information block it can take.
    static constexpr int recordBytes = util_bmp_BIH::bytes + 4 * maxPaletteEntries + 4;

    explicit util_bmp_BI(std::int32_t paletteEntries);

    unsigned char* palette() { return paletteArea; }
    const unsigned char* palette() const { return paletteArea; }
    // The header check, then the palette count (0 to 256).
    void check() const;
    // Palette count from the bit count: 8 bits 256, 16 bits 3, 24 and 32 bits 0.
    void defaultPaletteSize();
    // Fills the record for writing (a grey ramp or the 16-bit masks without a
    // palette given); returns the information block's size.
    std::int32_t init(std::int32_t bitCount, std::int32_t width, std::int32_t height,
                      const unsigned char* palette, std::int32_t entries);
    // Rounded mean of blue, green and red of every valid palette entry.
    void greyLevels(unsigned char table[256]) const;

    util_bmp_BIH header;
    unsigned char paletteArea[4 * maxPaletteEntries];
    std::int32_t paletteSize;
};
