#include "tarvo/video/vs_file_avi.h"

#include "tarvo/imageio/byte_order.h"
#include "tarvo/video/util_avi_read.h"
#include "tarvo/image/img_rows.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace {

// A stored height of -h means h rows, top row first.
std::int32_t rowCount(std::int32_t height) { return height < 0 ? -height : height; }

img_fmt frameFormat(const util_bmp_BIH& header)
{
    const std::int32_t width = header.width(), height = header.height(), szPixel = header.bitCount() / 8;
    if (height == INT32_MIN)
        throw std::runtime_error("vs_file_avi::vs_file_avi - height out of range");
    img_check_size("vs_file_avi::vs_file_avi", width, rowCount(height), szPixel);
    return img_fmt(width, rowCount(height), szPixel, 0);
}

} // namespace

struct vs_file_avi::imp {
    explicit imp(const char* name) : reader(name), format(frameFormat(reader.format().header)), name(name) {}

    util::AviRead reader;
    img_fmt format;
    std::string name;
};

vs_file_avi::vs_file_avi(const vs_file_args& args) : imp_(new imp(args.name)) {}

vs_file_avi::~vs_file_avi() = default;

const char* vs_file_avi::asciiDescriptor() const { return imp_->name.c_str(); }
std::int32_t vs_file_avi::size() const { return imp_->reader.frameCount(); }
double vs_file_avi::fps() const { return imp_->reader.fps(); }
const img_fmt& vs_file_avi::format() const { return imp_->format; }
std::int32_t vs_file_avi::timestamp() const { return imp_->reader.sampleToTime(cur); }

void vs_file_avi::getFrame(img_wrap& image)
{
    const img_fmt& f = imp_->format;
    image.reformat(f);

    // Samples are numbered from the stream's start: position 0 is its first sample.
    const std::int64_t sample = std::int64_t(cur) + imp_->reader.startSample();
    if (sample < 0)
        throw std::runtime_error("vs_file_avi::getFrame - position " + std::to_string(cur) + " gives sample " +
                                 std::to_string(sample) + ", before the stream's first");
    const unsigned char* bitmap = imp_->reader.getFrame(sample);

    // The decoder promises the stream's own layout; a picture of another shape
    // would be read past its end, so it is refused.
    util_bmp_BIH header;
    std::memcpy(header.raw, bitmap, util_bmp_BIH::bytes);
    if (header.width() != f.width() || rowCount(header.height()) != f.height() ||
        header.bitCount() != f.szPixel() * 8)
        throw std::runtime_error("vs_file_avi::getFrame - the decoder gives " + std::to_string(header.width()) +
                                 " x " + std::to_string(header.height()) + " pixels of " +
                                 std::to_string(header.bitCount()) + " bits instead of the stream's format");

    const std::size_t line = static_cast<std::size_t>(f.szLine());
    const std::size_t stride = (line + 3) / 4 * 4;
    const unsigned char* rows = bitmap + imp_->reader.formatSize();
    const bool topDown = header.height() < 0;
    unsigned char* bits = image.bits();
    const std::size_t pixels = static_cast<std::size_t>(f.width());
    // Colour pixels turn red first while they are copied: one pass over the
    // frame instead of a copy and then a flip in place. The bitmap is read in
    // its stored order, forward through memory, also when its rows land in
    // the image in reverse: large frames come out of memory markedly faster.
    for (std::int32_t stored = 0; stored < f.height(); ++stored) {
        const std::int32_t y = topDown ? f.height() - 1 - stored : stored;
        unsigned char* to = bits + static_cast<std::size_t>(y) * line;
        const unsigned char* from = rows + static_cast<std::size_t>(stored) * stride;
        if (f.szPixel() == 3)
            img_rows::copyRedFirst3(to, from, pixels);
        else if (f.szPixel() == 4)
            img_rows::copyRedFirst4(to, from, pixels);
        else
            std::memcpy(to, from, line);
    }
}
