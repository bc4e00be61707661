// Layout of one image buffer: packed rows, bottom row first.
#pragma once

#include <cstdint>

class img_fmt {
public:
    // 32 x 32 pixels of one byte.
    img_fmt();
    img_fmt(std::int32_t width, std::int32_t height, std::int32_t szPixel, std::int32_t pixelType);
    // Same picture size as `geometry`, other pixel size.
    img_fmt(const img_fmt& geometry, std::int32_t szPixel, std::int32_t pixelType);

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    std::int32_t szPixel() const { return szPixel_; }
    std::int32_t szLine() const { return szLine_; }
    std::int32_t pixelType() const { return pixelType_; }
    std::int32_t szImage() const { return szLine_ * height_; }

    // The pixel type is not compared: it only says how bytes are read in conversions.
    bool operator==(const img_fmt& other) const;
    bool operator!=(const img_fmt& other) const { return !(*this == other); }

private:
    void validate();

    std::int32_t width_;
    std::int32_t height_;
    std::int32_t szPixel_;
    std::int32_t szLine_;
    std::int32_t pixelType_;
};

// Refuses, before any buffer exists, a geometry whose byte count is negative
// or does not fit a signed 32-bit integer. `place` starts the message.
void img_check_size(const char* place, std::int64_t width, std::int64_t height, std::int64_t szPixel);
