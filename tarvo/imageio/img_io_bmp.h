// Windows bitmaps of 8, 16, 24 and 32 bits per pixel with the 40-byte
// information header (records in util_bmp.h).
//
//   file header        14 bytes; bfOffBits - 14 is the information block's size
//   information block  40-byte header, then up to 256 palette entries
//   pixels             from bfOffBits on, bottom row first, each row padded to
//                      a multiple of 4 bytes
//
// 8-bit pixels with a palette become the palette entry's grey level, 16-bit
// pixels keep their little-endian value (bit-field masks are not applied),
// 24- and 32-bit pixels become red-first 3-byte pixels. The compression field
// is not looked at.
#pragma once

#include "tarvo/imageio/img_io_load.h"
#include "tarvo/imageio/img_io_save.h"

class img_io_load_bmp : public img_io_load {
public:
    static constexpr const char* registryKey = "bmp";
    explicit img_io_load_bmp(const img_io_load_args&) {}
    const char* typeName() const override { return registryKey; }
    void operator()(const char* name, img_wrap& target) override;
};

// Writes 1-, 2- and 3-byte images as 8-bit (grey ramp palette), 16-bit and
// 24-bit files. A 4-byte image fails with a character-string exception after
// the headers are written.
class img_io_save_bmp : public img_io_save {
public:
    using img_io_save::img_io_save;
    void operator()(const img_wrap& image) override;
};
