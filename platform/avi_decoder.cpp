#include "platform/avi_decoder.h"

#include "tarvo/imageio/byte_order.h"

#include <limits>

namespace {

bool passesThrough(DWORD compression, int bitCount)
{
    return (compression == BI_RGB || compression == BI_BITFIELDS) &&
           (bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32);
}

} // namespace

std::unique_ptr<avi_frame_decoder> avi_frame_decoder::open(std::shared_ptr<avi_container> container, int stream)
{
    const avi_stream& s = container->streams().at(static_cast<std::size_t>(stream));
    if (s.fccType != streamtypeVIDEO)
        throw avi_error(AVIERR_BADFORMAT, "stream " + std::to_string(stream) + " is no video stream");
    if (s.format.size() < 40)
        throw avi_error(AVIERR_BADFORMAT, "video format block of " + std::to_string(s.format.size()) + " bytes");
    const DWORD compression = static_cast<DWORD>(readLE32(&s.format[16]));
    const int bitCount = readLE16(&s.format[14]);
    if (passesThrough(compression, bitCount))
        return avi_open_raw_decoder(std::move(container), stream);
    if (compression == BI_RGB || compression == BI_BITFIELDS)
        throw avi_error(AVIERR_BADFORMAT, "uncompressed pictures of " + std::to_string(bitCount) + " bits");
    return avi_open_codec_decoder(std::move(container), stream);
}

avi_frame_decoder::avi_frame_decoder(std::shared_ptr<avi_container> container, int stream)
    : container_(std::move(container)), stream_(stream)
{
    const std::vector<unsigned char>& f = this->stream().format;
    const std::int32_t biSize = readLE32(&f[0]);
    width_ = readLE32(&f[4]);
    height_ = readLE32(&f[8]);
    bitCount_ = readLE16(&f[14]);
    if (biSize < 40 || width_ <= 0 || height_ == 0 || height_ == std::numeric_limits<std::int32_t>::min())
        throw avi_error(AVIERR_BADFORMAT, "picture of " + std::to_string(width_) + " x " + std::to_string(height_) +
                                              " pixels (header size " + std::to_string(biSize) + ")");
    if (bitCount_ != 8 && bitCount_ != 16 && bitCount_ != 24 && bitCount_ != 32)
        throw avi_error(AVIERR_BADFORMAT, "no decoded layout of " + std::to_string(bitCount_) + " bits per pixel");
    const std::uint64_t line = (static_cast<std::uint64_t>(width_) * bitCount_ + 31) / 32 * 4;
    if (line * static_cast<std::uint64_t>(rows()) > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
        throw avi_error(AVIERR_BADFORMAT, "picture of " + std::to_string(width_) + " x " + std::to_string(height_) +
                                              " pixels is too large");
    stride_ = static_cast<std::size_t>(line);
    headerBytes_ = f.size();

    const std::vector<avi_index_entry>& index = this->stream().index;
    ordinalOf_.resize(index.size());
    std::int64_t last = -1;
    for (std::size_t i = 0; i < index.size(); ++i) {
        if (index[i].size > 0) {
            last = static_cast<std::int64_t>(coded_.size());
            coded_.push_back(i);
        }
        ordinalOf_[i] = last;
    }
}

void avi_frame_decoder::allocate(DWORD compression)
{
    dib_.assign(headerBytes_ + imageBytes(), 0);
    const std::vector<unsigned char>& f = stream().format;
    std::copy(f.begin(), f.end(), dib_.begin());
    writeLE32(&dib_[16], static_cast<std::int32_t>(compression));                // biCompression
    writeLE32(&dib_[20], static_cast<std::int32_t>(imageBytes()));               // biSizeImage
}

const unsigned char* avi_frame_decoder::frame(std::int64_t sample)
{
    if (sample < 0 || sample >= static_cast<std::int64_t>(ordinalOf_.size()))
        throw avi_error(AVIERR_NODATA, "sample " + std::to_string(sample) + " lies outside the stream's " +
                                           std::to_string(ordinalOf_.size()) + " samples");
    const std::int64_t ordinal = ordinalOf_[static_cast<std::size_t>(sample)];
    if (ordinal < 0)
        throw avi_error(AVIERR_NODATA, "sample " + std::to_string(sample) + " is an empty chunk with no picture before it");
    if (ordinal != cached_) {
        cached_ = -1;
        decode(ordinal);
        cached_ = ordinal;
    }
    return dib_.data();
}
