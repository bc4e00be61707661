// The seven pixel kinds: how the bytes of one pixel are read and written.
//
// Pixels are loaded and stored through memcpy, so no pixel pointer has to be
// aligned or of the pixel's type; the compiler turns these into plain moves.
#pragma once

#include <cstdint>
#include <cstring>

template <class Value, int Channels>
struct pix_kind {
    using value = Value;
    static constexpr int channels = Channels;
    static constexpr int size = static_cast<int>(sizeof(Value)) * Channels;

    static Value load(const unsigned char* pixel, int channel = 0)
    {
        Value v;
        std::memcpy(&v, pixel + channel * sizeof(Value), sizeof(Value));
        return v;
    }
    static void store(unsigned char* pixel, Value v, int channel = 0)
    {
        std::memcpy(pixel + channel * sizeof(Value), &v, sizeof(Value));
    }
};

struct pix_gray8 : pix_kind<std::uint8_t, 1> {};
struct pix_fix16 : pix_kind<std::int16_t, 1> {};   // real value = stored / 64
struct pix_rgb8 : pix_kind<std::uint8_t, 3> {};
struct pix_float : pix_kind<float, 1> {};
struct pix_int : pix_kind<std::int32_t, 1> {};
struct pix_rgbfix16 : pix_kind<std::int16_t, 3> {};
struct pix_double : pix_kind<double, 1> {};

// Stores into narrow fields keep the low bits of the integer: never clamped.
inline std::uint8_t pix_low8(std::int64_t n) { return static_cast<std::uint8_t>(n & 0xFF); }
inline std::int16_t pix_low16(std::int64_t n) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(n & 0xFFFF)); }
inline std::int32_t pix_low32(std::int64_t n) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(n & 0xFFFFFFFF)); }

// Writing an integer n into one pixel of each kind.
inline void pix_write_int(pix_gray8, unsigned char* p, std::int32_t n) { pix_gray8::store(p, pix_low8(n)); }
inline void pix_write_int(pix_fix16, unsigned char* p, std::int32_t n) { pix_fix16::store(p, pix_low16(std::int64_t(n) * 64)); }
inline void pix_write_int(pix_rgb8, unsigned char* p, std::int32_t n)
{
    for (int c = 0; c < 3; ++c)
        pix_rgb8::store(p, pix_low8(n), c);
}
inline void pix_write_int(pix_float, unsigned char* p, std::int32_t n) { pix_float::store(p, static_cast<float>(n)); }
inline void pix_write_int(pix_int, unsigned char* p, std::int32_t n) { pix_int::store(p, n); }
inline void pix_write_int(pix_rgbfix16, unsigned char* p, std::int32_t n)
{
    for (int c = 0; c < 3; ++c)
        pix_rgbfix16::store(p, pix_low16(std::int64_t(n) * 64), c);
}
inline void pix_write_int(pix_double, unsigned char* p, std::int32_t n) { pix_double::store(p, n); }
