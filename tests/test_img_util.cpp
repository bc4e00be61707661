#include "tarvo/image/img_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

img_wrap imageOf(int width, int height, int szPixel, std::vector<unsigned char> bytes)
{
    img_wrap image(img_fmt(width, height, szPixel, 0));
    std::memcpy(image.bits(), bytes.data(), bytes.size());
    return image;
}

std::vector<unsigned char> bytesOf(const img_wrap& image)
{
    return {image.rawBits(), image.rawBits() + image.fmt().szImage()};
}

} // namespace

TEST(FlipEndian, ExchangesTheRightBytesForEachPixelSize)
{
    const struct { int szPixel; std::vector<unsigned char> in, out; } cases[] = {
        {1, {1, 2}, {1, 2}},
        {2, {1, 2, 3, 4}, {2, 1, 4, 3}},
        {3, {10, 20, 30, 40, 50, 60}, {30, 20, 10, 60, 50, 40}},
        {4, {1, 2, 3, 4, 5, 6, 7, 8}, {3, 2, 1, 4, 7, 6, 5, 8}},
    };
    for (const auto& c : cases) {
        img_wrap image = imageOf(2, 1, c.szPixel, c.in);
        img_util::flipEndian(image);
        EXPECT_EQ(bytesOf(image), c.out) << c.szPixel;
    }
    for (int size : {6, 8}) {
        img_wrap image(img_fmt(2, 1, size, 0));
        EXPECT_THROW(img_util::flipEndian(image), std::runtime_error);
    }
}

TEST(FlipEndian, RawBufferFormWalksEveryRow)
{
    const img_fmt f(1, 2, 3, 0);
    unsigned char bytes[] = {1, 2, 3, 4, 5, 6};
    img_util::flipEndian3(f, bytes);
    const unsigned char expected[] = {3, 2, 1, 6, 5, 4};
    EXPECT_EQ(0, std::memcmp(bytes, expected, 6));
}

TEST(FlipVertical, ReversesRowsAndKeepsTheMiddleOne)
{
    const struct { int height; std::vector<unsigned char> in, out; } cases[] = {
        {1, {1, 2}, {1, 2}},
        {2, {1, 2, 3, 4}, {3, 4, 1, 2}},
        {3, {1, 2, 3, 4, 5, 6}, {5, 6, 3, 4, 1, 2}},
    };
    for (const auto& c : cases) {
        img_wrap image = imageOf(2, c.height, 1, c.in);
        img_util::flipVertical(image);
        EXPECT_EQ(bytesOf(image), c.out) << c.height;
    }
}

TEST(Depaletise, OneTableMapsEveryByte)
{
    unsigned char table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<unsigned char>(255 - i);
    img_wrap image = imageOf(2, 1, 1, {0, 255});
    img_util::depaletise(image, table);
    EXPECT_EQ(bytesOf(image), (std::vector<unsigned char>{255, 0}));

    img_wrap colour(img_fmt(1, 1, 3, 0));
    EXPECT_THROW(img_util::depaletise(colour, table), std::runtime_error);
}

TEST(Depaletise, ThreeTablesGiveThirdSecondFirst)
{
    unsigned char red[256] = {}, green[256] = {}, blue[256] = {};
    red[1] = 10, green[1] = 20, blue[1] = 30;
    red[2] = 11, green[2] = 21, blue[2] = 31;
    const unsigned char indices[] = {1, 2, 2, 1};
    img_wrap target(img_fmt(2, 2, 3, 0));
    img_util::depaletise(indices, red, green, blue, 256, target);
    EXPECT_EQ(bytesOf(target), (std::vector<unsigned char>{30, 20, 10, 31, 21, 11, 31, 21, 11, 30, 20, 10}));

    img_wrap grey(img_fmt(2, 2, 1, 0));
    try {
        img_util::depaletise(indices, red, green, blue, 256, grey);
        ADD_FAILURE();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "img_util::depaletise - unexpected image format");
    }
}
