// Binary PNM images: grey P5 and colour P6 with one byte per sample.
//
//   magic      'P' '5' (grey) or 'P' '6' (red, green, blue)
//   width      decimal, ended by one white-space byte
//   height     decimal, ended by one white-space byte
//   maxval     decimal 0 to 255, ended by exactly one white-space byte
//   pixels     top row first, rows packed
//
// White space and '#' comments (to the end of the line) may stand before
// each number. Samples are taken over unscaled: maxval only has to fit a byte.
// Both keys read both magics; the file's magic decides the pixel size.
#pragma once

#include "tarvo/imageio/img_io_load.h"
#include "tarvo/imageio/img_io_save.h"

#include <cstdint>

class img_io_load_imp;

// What the header of a PNM file says.
struct img_io_pxm_header {
    std::int32_t width;
    std::int32_t height;
    std::int32_t samples;  // bytes per pixel: 1 for P5, 3 for P6
    std::int32_t maxval;
};

class img_io_load_pxm : public img_io_load {
public:
    void operator()(const char* name, img_wrap& target) override;

    // Reads and checks the header; leaves the file at the first pixel byte.
    static img_io_pxm_header readHeader(img_io_load_imp& file);
};

class img_io_load_pgm : public img_io_load_pxm {
public:
    static constexpr const char* registryKey = "pgm";
    explicit img_io_load_pgm(const img_io_load_args&) {}
    const char* typeName() const override { return registryKey; }
};

class img_io_load_ppm : public img_io_load_pxm {
public:
    static constexpr const char* registryKey = "ppm";
    explicit img_io_load_ppm(const img_io_load_args&) {}
    const char* typeName() const override { return registryKey; }
};

// Writes 1- and 2-byte images as P5 (2 bytes: maxval 65535, samples least
// significant byte first), 3- and 4-byte images as P6 (4 bytes converted to
// colour first).
class img_io_save_pxm : public img_io_save {
public:
    using img_io_save::img_io_save;
    void operator()(const img_wrap& image) override;
};
