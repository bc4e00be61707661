// Converting region copy: the source region starting at (x0, y0) goes to the
// target's first row and column, each pixel converted into the target's kind.
#pragma once

#include "tarvo/image/img_access.h"
#include "tarvo/image/pix_convert.h"

#include <algorithm>

class img_access_copy {
public:
    img_access_copy(std::int32_t x0, std::int32_t y0) : x0_(x0), y0_(y0) {}

    template <class Src, class Dst>
    void apply(const img_wrap& source, img_wrap& target)
    {
        const std::int32_t cols = std::min(source.fmt().width() - x0_, target.fmt().width());
        const std::int32_t rows = std::min(source.fmt().height() - y0_, target.fmt().height());
        if (cols <= 0 || rows <= 0)
            return;
        img_access_rows to(target.bits(), target.fmt());
        img_access_rows from(source.rawBits(), source.fmt());
        for (std::int32_t r = 0; r < rows; ++r) {
            const unsigned char* s = from.row(y0_ + r) + static_cast<std::ptrdiff_t>(x0_) * Src::size;
            unsigned char* d = to.row(r);
            for (std::int32_t c = 0; c < cols; ++c, s += Src::size, d += Dst::size)
                pix_convert<Src, Dst>(s, d);
        }
    }

private:
    std::int32_t x0_;
    std::int32_t y0_;
};
