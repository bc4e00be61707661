// Reading and writing single pixels of any kind by value, for tests.
#pragma once

#include "tarvo/image/img_wrap.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

enum class kind { gray8, fix16, rgb8, float32, int32, rgbfix16, float64 };

struct kindInfo {
    const char* name;
    int szPixel;
    int pixelType;  // explicit code, so a 4-byte int image stays int
};

inline kindInfo info(kind k)
{
    switch (k) {
    case kind::gray8: return {"gray8", 1, 2};
    case kind::fix16: return {"fix16", 2, 4};
    case kind::rgb8: return {"rgb8", 3, 18};
    case kind::float32: return {"float", 4, 21};
    case kind::int32: return {"int", 4, 17};
    case kind::rgbfix16: return {"rgbfix16", 6, 20};
    default: return {"double", 8, 21};
    }
}

inline int channels(kind k) { return k == kind::rgb8 || k == kind::rgbfix16 ? 3 : 1; }

inline void writePixel(kind k, unsigned char* p, const std::vector<double>& v)
{
    for (int c = 0; c < channels(k); ++c) {
        const double x = v.size() == 1 ? v[0] : v[c];
        switch (k) {
        case kind::gray8:
        case kind::rgb8: p[c] = static_cast<unsigned char>(x); break;
        case kind::fix16:
        case kind::rgbfix16: { std::int16_t s = static_cast<std::int16_t>(x); std::memcpy(p + 2 * c, &s, 2); break; }
        case kind::float32: { float f = static_cast<float>(x); std::memcpy(p, &f, 4); break; }
        case kind::int32: { std::int32_t i = static_cast<std::int32_t>(x); std::memcpy(p, &i, 4); break; }
        case kind::float64: std::memcpy(p, &x, 8); break;
        }
    }
}

inline std::vector<double> readPixel(kind k, const unsigned char* p)
{
    std::vector<double> v;
    for (int c = 0; c < channels(k); ++c) {
        switch (k) {
        case kind::gray8:
        case kind::rgb8: v.push_back(p[c]); break;
        case kind::fix16:
        case kind::rgbfix16: { std::int16_t s; std::memcpy(&s, p + 2 * c, 2); v.push_back(s); break; }
        case kind::float32: { float f; std::memcpy(&f, p, 4); v.push_back(f); break; }
        case kind::int32: { std::int32_t i; std::memcpy(&i, p, 4); v.push_back(i); break; }
        case kind::float64: { double d; std::memcpy(&d, p, 8); v.push_back(d); break; }
        }
    }
    return v;
}

inline img_wrap onePixel(kind k, const std::vector<double>& v)
{
    img_wrap image(img_fmt(1, 1, info(k).szPixel, info(k).pixelType));
    writePixel(k, image.bits(), v);
    return image;
}
