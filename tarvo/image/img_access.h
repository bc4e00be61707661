// Runs an operation written once over typed pixels on images of any pixel kind.
//
// An operation provides a member template entry:
//   one image:  template <class Kind> int apply(img_wrap& image);
//   two images: template <class Src, class Dst> void apply(const img_wrap& source, img_wrap& target);
// The dispatchers pick the kind once per call from the formats, never per pixel.
#pragma once

#include "tarvo/image/img_pixel.h"
#include "tarvo/image/img_wrap.h"

#include <stdexcept>

// Walks the rows of one image: row y starts at base + y * stride * szPixel.
template <class Byte>
class img_access_rows {
public:
    img_access_rows(Byte* base, const img_fmt& f)
        : base_(base), rowBytes_(static_cast<std::ptrdiff_t>(f.szLine() / f.szPixel()) * f.szPixel()),
          rows_(f.height())
    {
    }
    Byte* row(std::int32_t y) const { return base_ + y * rowBytes_; }
    std::int32_t rows() const { return rows_; }

private:
    Byte* base_;
    std::ptrdiff_t rowBytes_;
    std::int32_t rows_;
};

enum class img_pixel_kind { gray8, fix16, rgb8, floating, integer, rgbfix16, real64, unsupported };

// Bit 2 of the pixel type tells float from int; every other size decides alone.
inline img_pixel_kind img_kind_of(const img_fmt& f)
{
    switch (f.szPixel()) {
    case 1: return img_pixel_kind::gray8;
    case 2: return img_pixel_kind::fix16;
    case 3: return img_pixel_kind::rgb8;
    case 4: return (f.pixelType() & 4) ? img_pixel_kind::floating : img_pixel_kind::integer;
    case 6: return img_pixel_kind::rgbfix16;
    case 8: return img_pixel_kind::real64;
    default: return img_pixel_kind::unsupported;
    }
}

template <class Visit>
decltype(auto) img_visit_kind(img_pixel_kind kind, const char* failure, Visit&& visit)
{
    switch (kind) {
    case img_pixel_kind::gray8: return visit(pix_gray8());
    case img_pixel_kind::fix16: return visit(pix_fix16());
    case img_pixel_kind::rgb8: return visit(pix_rgb8());
    case img_pixel_kind::floating: return visit(pix_float());
    case img_pixel_kind::integer: return visit(pix_int());
    case img_pixel_kind::rgbfix16: return visit(pix_rgbfix16());
    case img_pixel_kind::real64: return visit(pix_double());
    default: throw std::runtime_error(failure);
    }
}

template <class Operation>
int img_access_dispatch1(img_wrap& image, Operation& op)
{
    return img_visit_kind(img_kind_of(image.fmt()), "img_access_dispatch1 - unsupported format",
                          [&](auto kind) { return op.template apply<decltype(kind)>(image); });
}

template <class Operation>
void img_access_dispatch2(const img_wrap& source, img_wrap& target, Operation& op)
{
    img_visit_kind(img_kind_of(source.fmt()), "img_access_dispatch2 - unsupported format", [&](auto src) {
        img_visit_kind(img_kind_of(target.fmt()), "img_access_dispatch2helper - unsupported format", [&](auto dst) {
            op.template apply<decltype(src), decltype(dst)>(source, target);
        });
    });
}
