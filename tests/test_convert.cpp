#include "pixel_test_util.h"

#include "tarvo/image/img_access_copy.h"
#include "tarvo/image/img_convert.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct conversion {
    kind from;
    std::vector<double> in;
    kind to;
    std::vector<double> out;  // one value stands for all channels
};

std::ostream& operator<<(std::ostream& os, const conversion& c)
{
    os << info(c.from).name << "(";
    for (double x : c.in)
        os << x << " ";
    return os << ") -> " << info(c.to).name;
}

const double third = 2.5 / 3.0;  // mean of the rgbfix16 pixel (64, 128, -32): (1 + 2 - 0.5) / 3

// Every ordered pair of the seven kinds, with values chosen so that rounding,
// truncation and the low-bits rule each show.
const conversion conversions[] = {
    // pix_gray8
    {kind::gray8, {200}, kind::gray8, {200}},
    {kind::gray8, {200}, kind::fix16, {12800}},
    {kind::gray8, {200}, kind::rgb8, {200}},
    {kind::gray8, {200}, kind::float32, {200}},
    {kind::gray8, {200}, kind::int32, {200}},
    {kind::gray8, {200}, kind::rgbfix16, {12800}},
    {kind::gray8, {200}, kind::float64, {200}},
    {kind::gray8, {3}, kind::fix16, {192}},
    // pix_fix16: stored value s, real value s / 64
    {kind::fix16, {96}, kind::gray8, {2}},
    {kind::fix16, {95}, kind::gray8, {1}},
    {kind::fix16, {192}, kind::gray8, {3}},
    {kind::fix16, {-95}, kind::gray8, {255}},     // floor(-63 / 64) = -1
    {kind::fix16, {-95}, kind::fix16, {-95}},
    {kind::fix16, {-95}, kind::rgb8, {255}},      // trunc(-1.48) = -1
    {kind::fix16, {-95}, kind::float32, {-1.484375}},
    {kind::fix16, {-95}, kind::int32, {-1}},
    {kind::fix16, {-95}, kind::rgbfix16, {-95}},
    {kind::fix16, {-95}, kind::float64, {-1.484375}},
    // pix_rgb8: m = rounded mean
    {kind::rgb8, {10, 20, 31}, kind::gray8, {20}},
    {kind::rgb8, {1, 2, 2}, kind::gray8, {2}},
    {kind::rgb8, {10, 20, 31}, kind::fix16, {1280}},
    {kind::rgb8, {10, 20, 31}, kind::rgb8, {10, 20, 31}},
    {kind::rgb8, {10, 20, 31}, kind::float32, {20}},
    {kind::rgb8, {10, 20, 31}, kind::int32, {20}},
    {kind::rgb8, {10, 20, 31}, kind::rgbfix16, {640, 1280, 1984}},
    {kind::rgb8, {10, 20, 31}, kind::float64, {20}},
    // pix_float
    {kind::float32, {2.5}, kind::gray8, {3}},
    {kind::float32, {-2.5}, kind::gray8, {254}},  // up(-2.5) = trunc(-2.0)
    {kind::float32, {300.0}, kind::gray8, {44}},  // low 8 bits
    {kind::float32, {2.5}, kind::fix16, {160}},
    {kind::float32, {40000.0}, kind::fix16, {4096}},  // low 16 bits of 2560000
    {kind::float32, {-0.0078125}, kind::fix16, {-1}},
    {kind::float32, {2.5}, kind::rgb8, {2}},
    {kind::float32, {-2.5}, kind::rgb8, {254}},
    {kind::float32, {2.5}, kind::float32, {2.5}},
    {kind::float32, {-2.5}, kind::int32, {-2}},
    {kind::float32, {-0.0078125}, kind::rgbfix16, {-1}},
    {kind::float32, {2.5}, kind::float64, {2.5}},
    // pix_int
    {kind::int32, {-3}, kind::gray8, {254}},      // up(-3) = -2
    {kind::int32, {-3}, kind::fix16, {-192}},
    {kind::int32, {-3}, kind::rgb8, {253}},
    {kind::int32, {-3}, kind::float32, {-3}},
    {kind::int32, {-3}, kind::int32, {-3}},
    {kind::int32, {-3}, kind::rgbfix16, {-192}},
    {kind::int32, {-3}, kind::float64, {-3}},
    {kind::int32, {70000}, kind::fix16, {23552}},  // low 16 bits of 4480000
    // pix_rgbfix16: M = mean of the real values
    {kind::rgbfix16, {64, 128, -32}, kind::gray8, {1}},
    {kind::rgbfix16, {-64, -64, -65}, kind::gray8, {255}},  // rnd(-1.005) = -1
    {kind::rgbfix16, {64, 128, -32}, kind::fix16, {53}},
    {kind::rgbfix16, {64, 128, -32}, kind::rgb8, {1, 2, 0}},
    {kind::rgbfix16, {64, 128, -32}, kind::float32, {static_cast<float>(third)}},
    {kind::rgbfix16, {64, 128, -32}, kind::int32, {0}},
    {kind::rgbfix16, {-64, -64, -65}, kind::int32, {-1}},
    {kind::rgbfix16, {64, 128, -32}, kind::rgbfix16, {64, 128, -32}},
    {kind::rgbfix16, {64, 128, -32}, kind::float64, {third}},
    // pix_double
    {kind::float64, {-0.0078125}, kind::gray8, {0}},
    {kind::float64, {0.0078125}, kind::fix16, {1}},
    {kind::float64, {-0.0078125}, kind::fix16, {-1}},
    {kind::float64, {7.9}, kind::rgb8, {7}},
    {kind::float64, {0.1}, kind::float32, {0.1f}},
    {kind::float64, {-7.9}, kind::int32, {-7}},
    {kind::float64, {1.5}, kind::rgbfix16, {96}},
    {kind::float64, {-7.9}, kind::float64, {-7.9}},
    // values far outside every integer range keep their low bits, without undefined casts
    {kind::float64, {1e20}, kind::gray8, {0}},
    {kind::float64, {1e20}, kind::int32, {1661992960}},
    {kind::float64, {NAN}, kind::int32, {0}},
};

} // namespace

class ConvertTest : public testing::TestWithParam<conversion> {};

TEST_P(ConvertTest, OnePixel)
{
    const conversion& c = GetParam();
    img_wrap source = onePixel(c.from, c.in);
    img_wrap target(img_fmt(1, 1, info(c.to).szPixel, info(c.to).pixelType));
    img_convert(source, target);
    const std::vector<double> got = readPixel(c.to, target.rawBits());
    ASSERT_EQ(got.size(), static_cast<std::size_t>(channels(c.to)));
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i], c.out.size() == 1 ? c.out[0] : c.out[i]) << "channel " << i;
}

INSTANTIATE_TEST_SUITE_P(AllPairs, ConvertTest, testing::ValuesIn(conversions));

TEST(ConvertCoverage, EveryOrderedPairHasACase)
{
    bool seen[7][7] = {};
    for (const conversion& c : conversions)
        seen[static_cast<int>(c.from)][static_cast<int>(c.to)] = true;
    for (int a = 0; a < 7; ++a)
        for (int b = 0; b < 7; ++b)
            EXPECT_TRUE(seen[a][b]) << info(kind(a)).name << " -> " << info(kind(b)).name;
}

TEST(Convert, FourByteSourceWithBitTwoClearIsReadAsInteger)
{
    img_wrap source(img_fmt(1, 1, 4, 17));
    const std::int32_t value = 7;
    std::memcpy(source.bits(), &value, 4);
    img_wrap target(img_fmt(1, 1, 8, 0));
    img_convert(source, target);
    EXPECT_EQ(readPixel(kind::float64, target.rawBits())[0], 7.0);
}

TEST(Convert, TargetTakesSourceGeometryAndKeepsItsPixelSize)
{
    img_wrap source(img_fmt(5, 3, 3, 0));
    for (int i = 0; i < 15; ++i)
        writePixel(kind::rgb8, source.bits() + 3 * i, {double(i), double(i), double(i)});
    img_wrap target;  // 32 x 32 grey
    img_convert(source, target);
    EXPECT_EQ(target.fmt(), img_fmt(5, 3, 1, 0));
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(target.rawBits()[i], i);
}

TEST(RegionCopy, WritesOnlyTheTargetsSizeFromTheOrigin)
{
    img_wrap source(img_fmt(4, 3, 1, 0));
    for (int i = 0; i < 12; ++i)
        source.bits()[i] = static_cast<unsigned char>(i);
    img_wrap target(img_fmt(2, 2, 1, 0));
    std::memset(target.bits(), 0xEE, 4);
    img_access_copy copy(1, 1);
    img_access_dispatch2(source, target, copy);
    const unsigned char expected[] = {5, 6, 9, 10};
    EXPECT_EQ(0, std::memcmp(target.rawBits(), expected, 4));
}

TEST(RegionCopy, OriginBeyondTheSourceWritesNothing)
{
    img_wrap source(img_fmt(4, 3, 1, 0));
    std::memset(source.bits(), 1, 12);
    img_wrap target(img_fmt(2, 2, 1, 0));
    std::memset(target.bits(), 0xEE, 4);
    img_access_copy copy(4, 0);
    img_access_dispatch2(source, target, copy);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(target.rawBits()[i], 0xEE);
}

// A one-image operation: writes the integer 9 into every pixel through the kind's integer write.
struct fillNine {
    template <class Kind>
    int apply(img_wrap& image)
    {
        unsigned char* p = image.bits();
        for (std::int32_t i = 0; i < image.fmt().width() * image.fmt().height(); ++i, p += Kind::size)
            pix_write_int(Kind(), p, 9);
        return Kind::size;
    }
};

TEST(Dispatch1, SelectsTheKindAndWritesIntegers)
{
    const struct { kind k; double stored; } cases[] = {
        {kind::gray8, 9}, {kind::fix16, 576}, {kind::rgb8, 9}, {kind::float32, 9},
        {kind::int32, 9}, {kind::rgbfix16, 576}, {kind::float64, 9},
    };
    for (const auto& c : cases) {
        img_wrap image(img_fmt(2, 1, info(c.k).szPixel, info(c.k).pixelType));
        fillNine op;
        EXPECT_EQ(img_access_dispatch1(image, op), info(c.k).szPixel) << info(c.k).name;
        for (double v : readPixel(c.k, image.rawBits() + info(c.k).szPixel))
            EXPECT_EQ(v, c.stored) << info(c.k).name;
    }
}
