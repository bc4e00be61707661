// Compressed pictures, decoded by libavcodec and converted by libswscale.
//
// Chunks go into the decoder in file order, and its pictures come out in
// display order, some later than the chunk that completed them (B-frames).
// Pictures are matched to samples by counting: the n-th picture out after
// starting at a key frame is the n-th sample from it. A key frame starts a
// group that references nothing before it, so a seek goes to the key frame
// at or before the wanted sample, flushes the decoder and counts from there;
// reading on in order keeps the decoder's state and decodes each chunk once.
#include "platform/avi_codec_tags.h"
#include "platform/avi_decoder.h"

#include "tarvo/imageio/byte_order.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/error.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace {

struct contextFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct packetFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct frameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct scaleFree {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};

std::string avText(int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {0};
    av_strerror(error, text, sizeof text);
    return text;
}

// The full-range ("J") formats are the plain ones with full-range levels;
// libswscale warns about the old names, so they are translated here.
AVPixelFormat withoutFullRangeName(AVPixelFormat format, bool& fullRange)
{
    fullRange = true;
    switch (format) {
    case AV_PIX_FMT_YUVJ420P: return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P: return AV_PIX_FMT_YUV411P;
    default: fullRange = false; return format;
    }
}

class avi_codec_decoder : public avi_frame_decoder {
public:
    avi_codec_decoder(std::shared_ptr<avi_container> container, int stream)
        : avi_frame_decoder(std::move(container), stream)
    {
        const std::vector<unsigned char>& f = this->stream().format;
        const DWORD compression = static_cast<DWORD>(readLE32(&f[16]));
        AVCodecID id = avi_codec_for(compression);
        if (id == AV_CODEC_ID_NONE)
            id = avi_codec_for(this->stream().fccHandler);
        const AVCodec* codec = id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_decoder(id);
        if (!codec)
            throw avi_error(AVIERR_NOCOMPRESSOR, "no decoder for compression '" + avi_fourcc_text(compression) + "'");

        context_.reset(avcodec_alloc_context3(codec));
        packet_.reset(av_packet_alloc());
        picture_.reset(av_frame_alloc());
        if (!context_ || !packet_ || !picture_)
            throw avi_error(AVIERR_MEMORY, "out of memory for a decoder");
        AVCodecContext* c = context_.get();
        c->codec_tag = compression;
        c->width = width();
        c->height = rows();
        c->bits_per_coded_sample = bitCount();
        c->thread_count = 1;        // the library starts no threads
        c->log_level_offset = 64;   // failures are reported by our results, not on the console
        if (f.size() > 40) {
            c->extradata = static_cast<std::uint8_t*>(av_mallocz(f.size() - 40 + AV_INPUT_BUFFER_PADDING_SIZE));
            if (!c->extradata)
                throw avi_error(AVIERR_MEMORY, "out of memory for codec data");
            std::memcpy(c->extradata, f.data() + 40, f.size() - 40);
            c->extradata_size = static_cast<int>(f.size() - 40);
        }
        const int opened = avcodec_open2(c, codec, nullptr);
        if (opened < 0)
            throw avi_error(AVIERR_COMPRESSOR, std::string("can't open the ") + codec->name + " decoder: " + avText(opened));

        const AVCodecDescriptor* descriptor = avcodec_descriptor_get(id);
        const bool intraOnly = descriptor && (descriptor->props & AV_CODEC_PROP_INTRA_ONLY);
        const std::vector<avi_index_entry>& index = this->stream().index;
        for (std::size_t q = 0; q < coded().size(); ++q)
            if (q == 0 || intraOnly || (this->stream().keyFlagsKnown && index[coded()[q]].key))
                keys_.push_back(static_cast<std::int64_t>(q));

        // The first picture shows whether the decoder's pictures fit the layout.
        if (!coded().empty())
            decode(0);
    }

private:
    std::int64_t keyAtOrBefore(std::int64_t ordinal) const
    {
        auto after = std::upper_bound(keys_.begin(), keys_.end(), ordinal);
        return after == keys_.begin() ? 0 : *(after - 1);
    }

    [[noreturn]] void fail(HRESULT code, std::int64_t ordinal, const std::string& what)
    {
        positioned_ = false;  // the decoder's state is unknown: restart at a key frame next time
        throw avi_error(code, "picture of chunk " + std::to_string(coded()[static_cast<std::size_t>(ordinal)]) + ": " + what);
    }

    void decode(std::int64_t ordinal) override
    {
        const std::int64_t key = keyAtOrBefore(ordinal);
        if (!positioned_ || ordinal < nextOut_ || key > nextIn_) {
            avcodec_flush_buffers(context_.get());
            nextIn_ = nextOut_ = key;
            draining_ = false;
            positioned_ = true;
        }
        for (;;) {
            const int received = avcodec_receive_frame(context_.get(), picture_.get());
            if (received == 0) {
                if (nextOut_++ == ordinal) {
                    convert(ordinal);
                    av_frame_unref(picture_.get());
                    return;
                }
                av_frame_unref(picture_.get());
            } else if (received == AVERROR(EAGAIN)) {
                feed(ordinal);
            } else if (received == AVERROR_EOF) {
                fail(AVIERR_NODATA, ordinal, "the decoder yields no picture");
            } else {
                fail(AVIERR_FILEREAD, ordinal, "the decoder fails: " + avText(received));
            }
        }
    }

    // Sends the next chunk, or the end of the stream once all are in.
    void feed(std::int64_t ordinal)
    {
        int sent;
        if (nextIn_ < static_cast<std::int64_t>(coded().size())) {
            const avi_index_entry& entry = stream().index[coded()[static_cast<std::size_t>(nextIn_)]];
            av_packet_unref(packet_.get());
            if (av_new_packet(packet_.get(), static_cast<int>(std::min<std::uint32_t>(entry.size, 0x7FFFFFF0u))) < 0)
                fail(AVIERR_MEMORY, ordinal, "out of memory for a chunk");
            try {
                container().readChunk(stream(), entry, packet_->data, static_cast<std::size_t>(packet_->size));
            } catch (const avi_error& e) {
                fail(e.code, ordinal, e.what());
            }
            packet_->pts = packet_->dts = nextIn_;
            if (entry.key)
                packet_->flags |= AV_PKT_FLAG_KEY;
            ++nextIn_;
            sent = avcodec_send_packet(context_.get(), packet_.get());
        } else if (!draining_) {
            draining_ = true;
            sent = avcodec_send_packet(context_.get(), nullptr);
        } else {
            fail(AVIERR_NODATA, ordinal, "the decoder yields no picture");
        }
        if (sent < 0 && sent != AVERROR(EAGAIN))
            fail(AVIERR_FILEREAD, ordinal, "the decoder fails: " + avText(sent));
    }

    void convert(std::int64_t ordinal)
    {
        const AVFrame* p = picture_.get();
        if (p->width != width() || p->height != rows())
            fail(AVIERR_BADFORMAT, ordinal, "the decoder gives " + std::to_string(p->width) + " x " +
                                                std::to_string(p->height) + " pixels, the format block " +
                                                std::to_string(width()) + " x " + std::to_string(rows()));
        if (!allocated_) {
            allocate(BI_RGB);
            allocated_ = true;
        }
        const std::size_t line = static_cast<std::size_t>(width()) * static_cast<std::size_t>(bitCount() / 8);
        const AVPixelFormat format = static_cast<AVPixelFormat>(p->format);
        if (bitCount() == 8) {
            if (format != AV_PIX_FMT_GRAY8 && format != AV_PIX_FMT_PAL8)
                fail(AVIERR_BADFORMAT, ordinal, std::string("8-bit layout for ") + av_get_pix_fmt_name(format) +
                                                    " pictures");
            for (std::int32_t y = 0; y < rows(); ++y)
                std::memcpy(row(y), p->data[0] + static_cast<std::ptrdiff_t>(y) * p->linesize[0], line);
            return;
        }

        const AVPixelFormat target = bitCount() == 24 ? AV_PIX_FMT_BGR24
                                     : bitCount() == 32 ? AV_PIX_FMT_BGRA
                                                        : AV_PIX_FMT_RGB555LE;
        bool fullRange = false;
        const AVPixelFormat source = withoutFullRangeName(format, fullRange);
        fullRange = fullRange || p->color_range == AVCOL_RANGE_JPEG;
        scale_.reset(sws_getCachedContext(scale_.release(), width(), rows(), source, width(), rows(), target,
                                          SWS_BICUBIC, nullptr, nullptr, nullptr));
        if (!scale_)
            fail(AVIERR_BADFORMAT, ordinal, std::string("no conversion from ") +
                                                (av_get_pix_fmt_name(format) ? av_get_pix_fmt_name(format) : "?") +
                                                " pictures");
        if (fullRange) {
            const int* coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
            sws_setColorspaceDetails(scale_.get(), coefficients, 1, coefficients, 0, 0, 1 << 16, 1 << 16);
        }

        // Converted top row first, then placed in the bitmap's row order. The
        // vector code of libswscale converts whole blocks of pixels and skips the
        // last few of a row unless the row has room beyond them: rows get that room.
        const std::size_t room = (line + 64 + 63) / 64 * 64;
        scratch_.resize(room * static_cast<std::size_t>(rows()) + 64);
        std::uint8_t* planes[4] = {scratch_.data(), nullptr, nullptr, nullptr};
        int strides[4] = {static_cast<int>(room), 0, 0, 0};
        sws_scale(scale_.get(), p->data, p->linesize, 0, rows(), planes, strides);
        for (std::int32_t y = 0; y < rows(); ++y)
            std::memcpy(row(y), scratch_.data() + static_cast<std::size_t>(y) * room, line);
    }

    // Picture row y (0 = top) in the bitmap.
    unsigned char* row(std::int32_t y)
    {
        const std::int32_t stored = height() < 0 ? y : rows() - 1 - y;
        return pixels() + static_cast<std::size_t>(stored) * stride();
    }

    std::unique_ptr<AVCodecContext, contextFree> context_;
    std::unique_ptr<AVPacket, packetFree> packet_;
    std::unique_ptr<AVFrame, frameFree> picture_;
    std::unique_ptr<SwsContext, scaleFree> scale_;
    std::vector<std::int64_t> keys_;  // ordinals where decoding may start
    std::vector<unsigned char> scratch_;
    bool allocated_ = false;
    bool positioned_ = false;
    bool draining_ = false;
    std::int64_t nextIn_ = 0;   // the next chunk ordinal to send
    std::int64_t nextOut_ = 0;  // the ordinal the next picture out belongs to
};

} // namespace

std::unique_ptr<avi_frame_decoder> avi_open_codec_decoder(std::shared_ptr<avi_container> container, int stream)
{
    return std::unique_ptr<avi_frame_decoder>(new avi_codec_decoder(std::move(container), stream));
}
