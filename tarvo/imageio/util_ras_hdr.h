// The 32-byte Sun raster header: eight 32-bit fields, most significant byte
// first, held as the file's bytes and read through readBE32/writeBE32.
//
//   0  magic       0x59A66A95
//   4  width       even (rows are padded to 16 bits, so an odd width would pad)
//   8  height
//   12 depth       bits per pixel; 8 with a colour map
//   16 length      pixel bytes of one image; 0 means width * height * depth / 8
//   20 type        1 standard (blue first), 3 red first; 2 (run-length) is refused
//   24 map type    0 none (RMT_NONE), 1 red, green and blue tables (RMT_EQUAL_RGB)
//   28 map length  0, or 768 for RMT_EQUAL_RGB
//
// An image is the header, the colour map (256 red, 256 green, 256 blue) if
// any, then `length` bytes of pixels, top row first.
#pragma once

#include <cstdint>

class util_ras_hdr {
public:
    static constexpr int bytes = 32;
    static constexpr std::int32_t magicValue = 0x59A66A95;
    static constexpr std::int32_t typeStandard = 1;
    static constexpr std::int32_t typeRgb = 3;
    static constexpr std::int32_t mapBytes = 768;

    // Magic, type 1, no colour map; sizes left for reading or init().
    util_ras_hdr();

    // Validates a header read from a file and fills in a zero length.
    void check();
    // For writing: depth 8, 24 or 32.
    void init(std::int32_t depth, std::int32_t width, std::int32_t height);

    std::int32_t magic() const;
    std::int32_t width() const;
    std::int32_t height() const;
    std::int32_t depth() const;
    std::int32_t length() const;
    std::int32_t rasterType() const;
    std::int32_t mapType() const;
    std::int32_t mapLength() const;
    bool hasMap() const { return mapType() != 0; }

    unsigned char raw[bytes];
};
