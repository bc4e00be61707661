// Turning the chunks of a video stream into packed device-independent
// bitmaps in the layout its format block announces: the format block itself
// (compression as stored for uncompressed streams, plain RGB for decoded
// ones), then |height| rows of width x bits / 8 bytes padded to a multiple
// of 4, bottom row first for a positive height, top row first for a
// negative one.
//
// Uncompressed streams (BI_RGB, BI_BITFIELDS; 8, 16, 24, 32 bits) are passed
// through as stored; everything else goes to a libavcodec decoder, whose
// pictures are converted to that layout (24 bits: blue-green-red; 32 bits:
// blue-green-red-alpha; 16 bits: 5-5-5; 8 bits: the decoder's own palette
// indices or grey levels).
#pragma once

#include "platform/avi_container.h"

#include <cstdint>
#include <memory>
#include <vector>

class avi_frame_decoder {
public:
    // Throws avi_error (AVIERR_BADFORMAT, AVIERR_NOCOMPRESSOR, ...) when the
    // stream cannot be decoded into its announced layout.
    static std::unique_ptr<avi_frame_decoder> open(std::shared_ptr<avi_container> container, int stream);
    virtual ~avi_frame_decoder() = default;

    // The bitmap of the stream's picture `sample` (0 = its first chunk); valid
    // until the next call. Throws avi_error when there is no picture for it.
    const unsigned char* frame(std::int64_t sample);

protected:
    avi_frame_decoder(std::shared_ptr<avi_container> container, int stream);

    // Fills pixels() with the picture of coded chunk `ordinal` (an index into coded()).
    virtual void decode(std::int64_t ordinal) = 0;

    const avi_stream& stream() const { return container_->streams()[stream_]; }
    avi_container& container() { return *container_; }
    // The stream's non-empty chunks, in order: empty chunks repeat the picture before them.
    const std::vector<std::size_t>& coded() const { return coded_; }

    // Output layout, from the format block.
    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }  // signed: negative is top row first
    std::int32_t rows() const { return height_ < 0 ? -height_ : height_; }
    int bitCount() const { return bitCount_; }
    std::size_t stride() const { return stride_; }
    std::size_t imageBytes() const { return stride_ * static_cast<std::size_t>(rows()); }
    unsigned char* pixels() { return dib_.data() + headerBytes_; }
    // Allocates the bitmap; `compression` goes into its header.
    void allocate(DWORD compression);

private:
    std::shared_ptr<avi_container> container_;
    int stream_;
    std::vector<std::size_t> coded_;
    std::vector<std::int64_t> ordinalOf_;  // per sample: its coded chunk, or -1 before the first
    std::int32_t width_ = 0, height_ = 0;
    int bitCount_ = 0;
    std::size_t stride_ = 0, headerBytes_ = 0;
    std::vector<unsigned char> dib_;
    std::int64_t cached_ = -1;  // the ordinal whose picture dib_ holds
};

// The two kinds, made by avi_frame_decoder::open.
std::unique_ptr<avi_frame_decoder> avi_open_raw_decoder(std::shared_ptr<avi_container> container, int stream);
std::unique_ptr<avi_frame_decoder> avi_open_codec_decoder(std::shared_ptr<avi_container> container, int stream);
