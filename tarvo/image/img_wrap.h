// An image: a heap buffer of pixel rows together with its format.
#pragma once

#include "tarvo/image/img_fmt.h"

class img_wrap {
public:
    // Default format (32 x 32, one byte per pixel), buffer allocated.
    img_wrap();
    explicit img_wrap(const img_fmt& format);
    img_wrap(const img_wrap& other);
    img_wrap& operator=(const img_wrap& other);
    ~img_wrap();

    // Keeps buffer, contents and pixel type when the geometry already matches;
    // otherwise takes the new format and a fresh (uncleared) buffer.
    void reformat(const img_fmt& format);

    // The buffer for writing; allocated first if there is none.
    unsigned char* bits();
    // The buffer as it is (possibly null), for reading.
    const unsigned char* rawBits() const { return buffer_; }
    // Copies szImage() bytes from `source` into the buffer.
    void copyBits(const void* source);

    const img_fmt& fmt() const { return format_; }

private:
    void allocate();
    void release();

    img_fmt format_;
    unsigned char* buffer_;
    bool owns_;
};
