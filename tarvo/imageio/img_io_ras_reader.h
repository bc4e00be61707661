// The Sun raster reading engine behind img_io_load_ras (one image) and
// img_io_load_rasMany (images stored back to back). It keeps its file open.
//
// Every image of a file is read with the first image's header and colour
// map: later headers are skipped unread.
//
// Delivered: bottom row first; 8-bit pixels as stored or through a grey map;
// colour-mapped pixels as red-first 3-byte pixels; 16-bit pixels least
// significant byte first; 24- and 32-bit pixels with bytes 0 and 2
// exchanged for type 1 (blue first) and as stored for type 3 (red first).
#pragma once

#include "tarvo/image/img_fmt.h"
#include "tarvo/image/img_wrap.h"
#include "tarvo/imageio/img_io_load_imp.h"

#include <cstdint>

class img_io_ras_reader {
public:
    // Opens the file and reads the first image's header and colour map.
    explicit img_io_ras_reader(const char* name);

    const img_fmt& format() const { return format_; }
    // Whole images in the file; a partial one at the end does not count.
    std::int32_t size() const;
    // The next read delivers the image with this index (not below 0).
    void seek(std::int32_t index);
    // Reads the next image into `target`.
    void read(img_wrap& target);

private:
    img_io_load_imp file;
    std::int32_t mapLength;
    bool greyMap;
    unsigned char red[256];
    unsigned char green[256];
    unsigned char blue[256];
    bool redFirst;           // type 3: 24- and 32-bit pixels stored red first
    std::int32_t fileDepth;  // bits per pixel in the file
    img_fmt format_;
    bool firstPending;       // the first image's pixels come next in the file
    std::int32_t fileSize;
    std::int64_t recordSize;  // header, colour map and pixels of one image
    std::int32_t length;
};
