#include "tarvo/image/img_wrap.h"

#include <cstring>

img_wrap::img_wrap() : img_wrap(img_fmt()) {}

img_wrap::img_wrap(const img_fmt& format) : format_(format), buffer_(nullptr), owns_(false)
{
    allocate();
}

img_wrap::img_wrap(const img_wrap& other) : format_(other.format_), buffer_(nullptr), owns_(false)
{
    if (other.buffer_) {
        allocate();
        std::memcpy(buffer_, other.buffer_, static_cast<std::size_t>(format_.szImage()));
    }
}

img_wrap& img_wrap::operator=(const img_wrap& other)
{
    if (this == &other)
        return *this;
    reformat(other.format_);
    if (other.buffer_)
        std::memcpy(buffer_, other.buffer_, static_cast<std::size_t>(format_.szImage()));
    return *this;
}

img_wrap::~img_wrap()
{
    release();
}

void img_wrap::reformat(const img_fmt& format)
{
    if (buffer_ && format == format_)
        return;
    release();
    format_ = format;
    allocate();
}

unsigned char* img_wrap::bits()
{
    if (!buffer_)
        allocate();
    return buffer_;
}

void img_wrap::copyBits(const void* source)
{
    std::memcpy(bits(), source, static_cast<std::size_t>(format_.szImage()));
}

void img_wrap::allocate()
{
    // A format can carry any width and height; only a describable size gets memory.
    img_check_size("img_wrap", format_.width(), format_.height(), format_.szPixel());
    buffer_ = new unsigned char[static_cast<std::size_t>(format_.szImage())];
    owns_ = true;
}

void img_wrap::release()
{
    if (owns_)
        delete[] buffer_;
    buffer_ = nullptr;
    owns_ = false;
}
