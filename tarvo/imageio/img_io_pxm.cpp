#include "tarvo/imageio/img_io_pxm.h"

#include "tarvo/image/img_convert.h"
#include "tarvo/image/img_util.h"
#include "tarvo/imageio/byte_order.h"
#include "tarvo/imageio/img_io_load_imp.h"
#include "tarvo/imageio/img_io_rows.h"

#include <limits>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

const char* const place = "img_io_load_pxm";

bool isDigit(unsigned char ch) { return ch >= '0' && ch <= '9'; }

// isspace() of the "C" locale, without its locale and its trouble with
// negative chars: bytes of 0x80 and above are never white space.
bool isSpace(unsigned char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// The header scan holds one current byte; `next` replaces it by the
// following one (the checked read ends the load at the end of the file).
class headerScan {
public:
    explicit headerScan(img_io_load_imp& file) : file(file) {}

    void next() { file.read(&ch, 1); }

    // Skips white space and comments to the number's first digit, reads the
    // token up to the white-space byte that ends it (which is consumed) and
    // returns the value of its leading digits; "12#x" counts as 12.
    std::int32_t number(const char* what)
    {
        while (!isDigit(ch)) {
            if (ch == '#') {
                while (ch != '\n')
                    next();
            } else if (isSpace(ch)) {
                next();
            } else {
                throw std::runtime_error(std::string(place) + " - malformed header (byte " +
                                         std::to_string(unsigned(ch)) + " where the " + what + " should be)");
            }
        }
        // Accumulation stops beyond 2^31, so nothing overflows however long the token.
        const std::int64_t limit = std::numeric_limits<std::int32_t>::max();
        std::int64_t value = 0;
        bool inDigits = true;
        while (!isSpace(ch)) {
            if (inDigits && isDigit(ch)) {
                if (value <= limit)
                    value = value * 10 + (ch - '0');
            } else {
                inDigits = false;
            }
            next();
        }
        if (value > limit)
            throw std::runtime_error(std::string(place) + " - " + what + " out of range");
        return static_cast<std::int32_t>(value);
    }

private:
    img_io_load_imp& file;
    unsigned char ch = 0;
};

} // namespace

img_io_pxm_header img_io_load_pxm::readHeader(img_io_load_imp& file)
{
    unsigned char magic[2];
    file.read(magic, 2);
    if (magic[0] != 'P' || (magic[1] != '5' && magic[1] != '6'))
        throw std::runtime_error("img_io_load_pxm - illegal magic string");

    img_io_pxm_header header{};
    header.samples = magic[1] == '5' ? 1 : 3;
    headerScan scan(file);
    scan.next();
    header.width = scan.number("width");
    if (header.width < 0)
        throw std::runtime_error("img_io_load_pxm - negative width");
    header.height = scan.number("height");
    if (header.height < 0)
        throw std::runtime_error("img_io_load_pxm - negative height");
    header.maxval = scan.number("maxval");
    if (header.maxval > 255)
        throw std::runtime_error("img_io_load_pxm - illegal maxval: " + std::to_string(header.maxval));
    return header;
}

void img_io_load_pxm::operator()(const char* name, img_wrap& target)
{
    img_io_load_imp file(name, place);
    const img_io_pxm_header header = readHeader(file);
    img_check_size(place, header.width, header.height, header.samples);
    const std::int64_t line = std::int64_t(header.width) * header.samples;
    file.require(line * header.height);

    target.reformat(img_fmt(header.width, header.height, header.samples, 0));
    // The file's top row becomes the buffer's last.
    unsigned char* bits = target.bits();
    const std::int32_t bottom = header.height - 1;
    img_io_rows::read(file, header.height, line, line, [&](std::int32_t row, const unsigned char* src) {
        img_io_rows::copy(bits + (bottom - row) * line, src, line);
    });
}

void img_io_save_pxm::operator()(const img_wrap& image)
{
    const img_fmt& f = image.fmt();
    const std::int32_t s = f.szPixel();
    write(s < 3 ? "P5\n" : "P6\n", 3);
    const std::string sizes =
        std::to_string(f.width()) + " " + std::to_string(f.height()) + "\n" + (s == 2 ? "65535\n" : "255\n");
    write(sizes.data(), static_cast<std::int64_t>(sizes.size()));

    // Samples as they go into the file: the image itself where its bytes are
    // already right, else a private copy.
    std::unique_ptr<img_wrap> copy;
    if (s == 2 && hostIsBigEndian()) {
        copy.reset(new img_wrap(image));
        img_util::flipEndian2(*copy);
    } else if (s == 4) {
        copy.reset(new img_wrap(img_fmt(f, 3, 0)));
        img_convert(image, *copy);
    } else if (s != 1 && s != 2 && s != 3) {
        throw std::runtime_error("img_io_save_pxm::operator() - illegal szPixel()");
    }
    const img_wrap& out = copy ? *copy : image;
    const unsigned char* bits = out.rawBits();
    if (!bits)
        throw std::runtime_error("img_io_save_pxm::operator() - image without pixels");
    // Top row first: the buffer's rows from the last to the first.
    const std::int64_t line = out.fmt().szLine();
    for (std::int32_t row = out.fmt().height() - 1; row >= 0; --row)
        write(bits + row * line, line);
}
