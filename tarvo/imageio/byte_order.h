// Header fields are read and written byte by byte in the file's byte order,
// never by laying a struct over bytes, so headers work on any host.
#pragma once

#include <cstdint>

inline std::int32_t readBE32(const unsigned char* p)
{
    return static_cast<std::int32_t>(std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 |
                                     std::uint32_t(p[2]) << 8 | std::uint32_t(p[3]));
}

inline void writeBE32(unsigned char* p, std::int32_t value)
{
    const std::uint32_t v = static_cast<std::uint32_t>(value);
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

inline std::int32_t readLE32(const unsigned char* p)
{
    return static_cast<std::int32_t>(std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 |
                                     std::uint32_t(p[1]) << 8 | std::uint32_t(p[0]));
}

inline std::int32_t readLE16(const unsigned char* p)
{
    return static_cast<std::int32_t>(p[0] | p[1] << 8);
}

inline void writeLE32(unsigned char* p, std::int32_t value)
{
    const std::uint32_t v = static_cast<std::uint32_t>(value);
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

inline void writeLE16(unsigned char* p, std::int32_t value)
{
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
}

// True when the host stores the most significant byte first; decided once.
inline bool hostIsBigEndian()
{
    static const bool bigEndian = [] {
        const std::uint32_t one = 1;
        return *reinterpret_cast<const unsigned char*>(&one) == 0;
    }();
    return bigEndian;
}
