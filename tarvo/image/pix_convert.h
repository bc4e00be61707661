// Conversion of one pixel between any two pixel kinds, with fixed arithmetic:
// colour reaches grey as the unweighted mean, grey reaches colour by
// replication, and stores keep the low bits of the integer (never clamped).
#pragma once

#include "tarvo/image/img_pixel.h"

#include <cmath>
#include <cstdint>

namespace pix_detail {

// trunc() to an integer without the undefined cast of out-of-range values:
// the low 32 bits of the truncated value are kept, which is all any store uses.
inline std::int64_t trunc(double x)
{
    if (!std::isfinite(x))
        return 0;
    return static_cast<std::int64_t>(std::fmod(std::trunc(x), 4294967296.0));
}
inline std::int64_t up(double x) { return trunc(x + 0.5); }
inline std::int64_t rnd(double x) { return x >= 0 ? trunc(x + 0.5) : trunc(x - 0.5); }
inline std::int64_t floorDiv64(std::int64_t a) { return a >= 0 ? a / 64 : -((-a + 63) / 64); }

// What a source pixel is, for the purpose of conversion.
struct integer { std::int64_t n; };        // pix_gray8, pix_int
struct fixed { std::int64_t s; };          // pix_fix16 stored value
struct rgb { std::uint32_t c[3]; };        // pix_rgb8
struct real { double x; };                 // pix_float, pix_double
struct rgbfixed { std::int64_t t[3]; };    // pix_rgbfix16 stored values

inline std::int64_t mean(const rgb& v) { return (2u * (v.c[0] + v.c[1] + v.c[2]) + 3u) / 6u; }
inline double mean(const rgbfixed& v) { return ((v.t[0] / 64.0 + v.t[1] / 64.0) + v.t[2] / 64.0) / 3.0; }

inline integer read(pix_gray8, const unsigned char* p) { return {pix_gray8::load(p)}; }
inline fixed read(pix_fix16, const unsigned char* p) { return {pix_fix16::load(p)}; }
inline rgb read(pix_rgb8, const unsigned char* p) { return {{p[0], p[1], p[2]}}; }
inline real read(pix_float, const unsigned char* p) { return {pix_float::load(p)}; }
inline integer read(pix_int, const unsigned char* p) { return {pix_int::load(p)}; }
inline rgbfixed read(pix_rgbfix16, const unsigned char* p)
{
    return {{pix_rgbfix16::load(p, 0), pix_rgbfix16::load(p, 1), pix_rgbfix16::load(p, 2)}};
}
inline real read(pix_double, const unsigned char* p) { return {pix_double::load(p)}; }

// pix_gray8
inline void put(pix_gray8, unsigned char* p, integer v) { *p = pix_low8(up(double(v.n))); }
inline void put(pix_gray8, unsigned char* p, fixed v) { *p = pix_low8(floorDiv64(v.s + 32)); }
inline void put(pix_gray8, unsigned char* p, rgb v) { *p = pix_low8(mean(v)); }
inline void put(pix_gray8, unsigned char* p, real v) { *p = pix_low8(up(v.x)); }
inline void put(pix_gray8, unsigned char* p, rgbfixed v) { *p = pix_low8(rnd(mean(v))); }

// pix_fix16
inline void put(pix_fix16, unsigned char* p, integer v) { pix_fix16::store(p, pix_low16(v.n * 64)); }
inline void put(pix_fix16, unsigned char* p, fixed v) { pix_fix16::store(p, pix_low16(v.s)); }
inline void put(pix_fix16, unsigned char* p, rgb v) { pix_fix16::store(p, pix_low16(mean(v) * 64)); }
inline void put(pix_fix16, unsigned char* p, real v) { pix_fix16::store(p, pix_low16(rnd(v.x * 64))); }
inline void put(pix_fix16, unsigned char* p, rgbfixed v) { pix_fix16::store(p, pix_low16(rnd(mean(v) * 64))); }

// pix_rgb8
inline void put3(unsigned char* p, std::int64_t n) { p[0] = p[1] = p[2] = pix_low8(n); }
inline void put(pix_rgb8, unsigned char* p, integer v) { put3(p, v.n); }
inline void put(pix_rgb8, unsigned char* p, fixed v) { put3(p, v.s / 64); }
inline void put(pix_rgb8, unsigned char* p, rgb v)
{
    for (int c = 0; c < 3; ++c)
        p[c] = pix_low8(v.c[c]);
}
inline void put(pix_rgb8, unsigned char* p, real v) { put3(p, trunc(v.x)); }
inline void put(pix_rgb8, unsigned char* p, rgbfixed v)
{
    for (int c = 0; c < 3; ++c)
        p[c] = pix_low8(v.t[c] / 64);
}

// pix_float
inline void put(pix_float, unsigned char* p, integer v) { pix_float::store(p, static_cast<float>(v.n)); }
inline void put(pix_float, unsigned char* p, fixed v) { pix_float::store(p, static_cast<float>(v.s / 64.0)); }
inline void put(pix_float, unsigned char* p, rgb v) { pix_float::store(p, static_cast<float>(mean(v))); }
inline void put(pix_float, unsigned char* p, real v) { pix_float::store(p, static_cast<float>(v.x)); }
inline void put(pix_float, unsigned char* p, rgbfixed v) { pix_float::store(p, static_cast<float>(mean(v))); }

// pix_int
inline void put(pix_int, unsigned char* p, integer v) { pix_int::store(p, pix_low32(v.n)); }
inline void put(pix_int, unsigned char* p, fixed v) { pix_int::store(p, pix_low32(v.s / 64)); }
inline void put(pix_int, unsigned char* p, rgb v) { pix_int::store(p, pix_low32(mean(v))); }
inline void put(pix_int, unsigned char* p, real v) { pix_int::store(p, pix_low32(trunc(v.x))); }
inline void put(pix_int, unsigned char* p, rgbfixed v) { pix_int::store(p, pix_low32(trunc(mean(v)))); }

// pix_rgbfix16
inline void put3fix(unsigned char* p, std::int64_t s)
{
    for (int c = 0; c < 3; ++c)
        pix_rgbfix16::store(p, pix_low16(s), c);
}
inline void put(pix_rgbfix16, unsigned char* p, integer v) { put3fix(p, v.n * 64); }
inline void put(pix_rgbfix16, unsigned char* p, fixed v) { put3fix(p, v.s); }
inline void put(pix_rgbfix16, unsigned char* p, rgb v)
{
    for (int c = 0; c < 3; ++c)
        pix_rgbfix16::store(p, pix_low16(std::int64_t(v.c[c]) * 64), c);
}
inline void put(pix_rgbfix16, unsigned char* p, real v) { put3fix(p, rnd(v.x * 64)); }
inline void put(pix_rgbfix16, unsigned char* p, rgbfixed v)
{
    for (int c = 0; c < 3; ++c)
        pix_rgbfix16::store(p, pix_low16(v.t[c]), c);
}

// pix_double
inline void put(pix_double, unsigned char* p, integer v) { pix_double::store(p, static_cast<double>(v.n)); }
inline void put(pix_double, unsigned char* p, fixed v) { pix_double::store(p, v.s / 64.0); }
inline void put(pix_double, unsigned char* p, rgb v) { pix_double::store(p, static_cast<double>(mean(v))); }
inline void put(pix_double, unsigned char* p, real v) { pix_double::store(p, v.x); }
inline void put(pix_double, unsigned char* p, rgbfixed v) { pix_double::store(p, mean(v)); }

} // namespace pix_detail

template <class Src, class Dst>
inline void pix_convert(const unsigned char* source, unsigned char* target)
{
    pix_detail::put(Dst(), target, pix_detail::read(Src(), source));
}
