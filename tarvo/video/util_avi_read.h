// Opens an AVI file's first video stream with its decoder and hands out its
// decoded pictures as packed bitmaps.
#pragma once

#include "platform/vfw.h"
#include "tarvo/imageio/util_bmp.h"

#include <cstdint>

namespace util {

class AviRead {
public:
    // Writes the result line of the opening to the standard error stream;
    // throws std::runtime_error on every failure, releasing what it had obtained.
    explicit AviRead(const char* name);
    ~AviRead();
    AviRead(const AviRead&) = delete;
    AviRead& operator=(const AviRead&) = delete;

    const AVISTREAMINFOA& info() const { return info_; }
    const util_bmp_BI& format() const { return format_; }
    std::int32_t formatSize() const { return formatSize_; }
    std::int32_t startSample() const { return startSample_; }
    std::int32_t frameCount() const { return frameCount_; }
    // rate / scale; 0.0 for a stream without a rate (rate or scale 0).
    double fps() const;
    // Milliseconds of a sample counted from the stream's first; 0 without a rate.
    std::int32_t sampleToTime(std::int32_t sample) const;
    // The packed bitmap of stream sample `sample` (valid until the next call):
    // formatSize() bytes of header, then the rows. Throws std::runtime_error
    // when the decoder has no picture for it.
    const unsigned char* getFrame(std::int64_t sample);

private:
    void close();
    bool hasRate() const { return info_.dwRate != 0 && info_.dwScale != 0; }

    PAVIFILE file_ = nullptr;
    PAVISTREAM stream_ = nullptr;
    PGETFRAME frame_ = nullptr;
    AVISTREAMINFOA info_;
    util_bmp_BI format_;
    std::int32_t formatSize_ = 0;
    std::int32_t startSample_ = 0;
    std::int32_t frameCount_ = 0;
};

} // namespace util
