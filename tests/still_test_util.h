// Helpers for the still-image reader tests: test pictures, the tools' own
// decodes, and loading with the failure text caught.
#pragma once

#include "test_files.h"

#include "tarvo/image/img_wrap.h"
#include "tarvo/imageio/img_io_load.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// ImageMagick by its Debian path.
inline const char* imConvert() { return "/usr/bin/convert"; }

// Deterministic noise bytes: every pixel different, so a byte out of place shows.
inline std::string noise(std::size_t count, std::uint32_t seed)
{
    std::string bytes(count, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<char>(x >> 24);
    }
    return bytes;
}

// A w x h image of noise bytes.
inline img_wrap noiseImage(int width, int height, int szPixel, std::uint32_t seed)
{
    img_wrap image(img_fmt(width, height, szPixel, 0));
    image.copyBits(noise(static_cast<std::size_t>(image.fmt().szImage()), seed).data());
    return image;
}

// Writes `image` to a new file with the saver class Saver.
template <class Saver>
void save(const std::string& path, const img_wrap& image)
{
    Saver saver(path);
    saver(image);
}


// Runs `command`, whose standard output is the returned bytes; a failing
// command fails the test.
inline std::string toolOutput(const scratch_dir& dir, const std::string& command)
{
    const std::string out = dir / "tool-output";
    const std::string err = dir / "tool-errors";
    const int status = std::system((command + " > '" + out + "' 2> '" + err + "'").c_str());
    EXPECT_EQ(status, 0) << "command failed: " << command << "\n" << readFile(err);
    return readFile(out);
}

// The samples of a plain (text) PNM, as netpbm's pnmtopnm -plain writes it.
struct plainPnm {
    int width = 0, height = 0, samples = 0, maxval = 0;
    std::vector<int> values;  // top row first
};

inline plainPnm parsePlainPnm(const std::string& text)
{
    std::istringstream in(text);
    std::string magic;
    plainPnm p;
    in >> magic >> p.width >> p.height >> p.maxval;
    p.samples = magic == "P3" ? 3 : 1;
    int v;
    while (in >> v)
        p.values.push_back(v);
    return p;
}

inline std::string bytesOf(const img_wrap& image)
{
    return std::string(reinterpret_cast<const char*>(image.rawBits()),
                       static_cast<std::size_t>(image.fmt().szImage()));
}

// The load's failure text ("" when it loaded), whatever it throws.
inline std::string loadFailure(const std::string& name, img_wrap& image)
{
    try {
        img_io_load_util::load(name.c_str(), image);
    } catch (const std::exception& e) {
        return e.what();
    } catch (const char* text) {
        return std::string("text: ") + text;
    }
    return "";
}

inline std::string loadFailure(const std::string& name)
{
    img_wrap image;
    return loadFailure(name, image);
}

// Byte strings built from a list of values.
inline std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

inline std::string le16(int v) { return bytes({v & 255, (v >> 8) & 255}); }
inline std::string le32(std::int64_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    return bytes({int(u & 255), int((u >> 8) & 255), int((u >> 16) & 255), int(u >> 24)});
}
inline std::string be32(std::int64_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    return bytes({int(u >> 24), int((u >> 16) & 255), int((u >> 8) & 255), int(u & 255)});
}
