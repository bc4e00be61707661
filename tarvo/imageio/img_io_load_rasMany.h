// Sun raster images stored back to back in one file, read one at a time.
// All images are taken to have the first image's header and colour map.
#pragma once

#include "tarvo/image/img_fmt.h"
#include "tarvo/image/img_wrap.h"

#include <cstdint>
#include <memory>

class img_io_ras_reader;

class img_io_load_rasMany {
public:
    // Opens the file, which stays open for the object's lifetime, and reads
    // the first image's header and colour map.
    explicit img_io_load_rasMany(const char* name);
    virtual ~img_io_load_rasMany();
    img_io_load_rasMany(const img_io_load_rasMany&) = delete;
    img_io_load_rasMany& operator=(const img_io_load_rasMany&) = delete;

    const img_fmt& format() const;
    // Whole images in the file; a partial image at the end does not count.
    std::int32_t size() const;
    // The next read delivers image `index`. An index at or beyond size() makes
    // that read fail with the premature-eof message; a negative one fails here.
    void seek(std::int32_t index);
    // Reads the next image (image 0 after construction) and moves on by one.
    void operator()(img_wrap& target);

private:
    std::unique_ptr<img_io_ras_reader> reader;
};
