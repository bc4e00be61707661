// Uncompressed pictures: the chunk is the bitmap's pixel area. Some writers
// leave the rows unpadded; a chunk of exactly that size is padded here.
#include "platform/avi_decoder.h"

#include "tarvo/imageio/byte_order.h"

#include <cstring>

namespace {

class avi_raw_decoder : public avi_frame_decoder {
public:
    avi_raw_decoder(std::shared_ptr<avi_container> container, int stream)
        : avi_frame_decoder(std::move(container), stream),
          packedLine_(static_cast<std::size_t>(width()) * static_cast<std::size_t>(bitCount() / 8))
    {
        // A picture larger than the whole file can never be stored in it.
        if (static_cast<std::uint64_t>(packedLine_) * static_cast<std::uint64_t>(rows()) >
            static_cast<std::uint64_t>(this->container().file().size()))
            throw avi_error(AVIERR_BADFORMAT, "a picture of " + std::to_string(imageBytes()) +
                                                  " bytes is larger than the file");
        allocate(static_cast<DWORD>(readLE32(&this->stream().format[16])));  // BI_RGB or BI_BITFIELDS, as stored
    }

private:
    void decode(std::int64_t ordinal) override
    {
        const avi_index_entry& entry = stream().index[coded()[static_cast<std::size_t>(ordinal)]];
        const std::size_t packed = packedLine_ * static_cast<std::size_t>(rows());
        if (entry.size >= imageBytes()) {
            container().readChunk(stream(), entry, pixels(), imageBytes());
        } else if (entry.size == packed) {
            scratch_.resize(packed);
            container().readChunk(stream(), entry, scratch_.data(), packed);
            for (std::int32_t y = 0; y < rows(); ++y)
                std::memcpy(pixels() + y * stride(), scratch_.data() + y * packedLine_, packedLine_);
        } else {
            throw avi_error(AVIERR_FILEREAD, "chunk of " + std::to_string(entry.size) + " bytes for a picture of " +
                                                 std::to_string(imageBytes()) + " bytes");
        }
    }

    std::size_t packedLine_;
    std::vector<unsigned char> scratch_;
};

} // namespace

std::unique_ptr<avi_frame_decoder> avi_open_raw_decoder(std::shared_ptr<avi_container> container, int stream)
{
    return std::unique_ptr<avi_frame_decoder>(new avi_raw_decoder(std::move(container), stream));
}
