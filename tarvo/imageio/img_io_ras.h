// Sun raster images, one per file (the header record is util_ras_hdr.h, the
// reading engine img_io_ras_reader.h).
#pragma once

#include "tarvo/imageio/img_io_load.h"
#include "tarvo/imageio/img_io_save.h"

// Loads the first image of a Sun raster file.
class img_io_load_ras : public img_io_load {
public:
    static constexpr const char* registryKey = "ras";
    explicit img_io_load_ras(const img_io_load_args&) {}
    const char* typeName() const override { return registryKey; }
    void operator()(const char* name, img_wrap& target) override;
};

// Writes a type 1 raster without colour map: 1-byte images at 8 bits, 2- and
// 3-byte images at 24 bits (2-byte ones converted to colour), 4-byte images
// at 32 bits. Odd widths give files that readers refuse.
class img_io_save_ras : public img_io_save {
public:
    using img_io_save::img_io_save;
    void operator()(const img_wrap& image) override;
};
