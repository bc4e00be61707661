#include "tarvo/image/img_fmt.h"
#include "tarvo/image/img_vector.h"
#include "tarvo/image/img_wrap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

TEST(ImgFmt, PacksRowsAndPicksTheDefaultCode)
{
    const struct { int szPixel, code, expectedCode; } cases[] = {
        {1, 0, 2}, {2, 0, 4}, {3, 0, 18}, {4, 0, 21}, {6, 0, 20}, {8, 0, 21},
        {4, 17, 17},  // an explicit code is kept: a pix_int image
        {1, 99, 99},  // and not validated
    };
    for (const auto& c : cases) {
        img_fmt f(10, 4, c.szPixel, c.code);
        EXPECT_EQ(f.szLine(), 10 * c.szPixel);
        EXPECT_EQ(f.szImage(), 40 * c.szPixel);
        EXPECT_EQ(f.pixelType(), c.expectedCode) << c.szPixel;
    }
    const img_fmt geometry(7, 5, 1, 0);
    const img_fmt sameSize(geometry, 6, 0);
    EXPECT_EQ(sameSize.width(), 7);
    EXPECT_EQ(sameSize.height(), 5);
    EXPECT_EQ(sameSize.szLine(), 42);
}

TEST(ImgFmt, RefusesUnsupportedPixelSizes)
{
    for (int size : {0, 5, 7, 9, -1}) {
        try {
            img_fmt(2, 2, size, 0);
            ADD_FAILURE() << size;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()),
                      "img_wrap:img_fmt: unsupported pixel size (" + std::to_string(size) + ")");
        }
    }
}

TEST(ImgFmt, EqualityIgnoresThePixelType)
{
    EXPECT_EQ(img_fmt(3, 3, 4, 17), img_fmt(3, 3, 4, 0));
    EXPECT_NE(img_fmt(3, 3, 4, 0), img_fmt(3, 3, 1, 0));
    EXPECT_NE(img_fmt(3, 3, 1, 0), img_fmt(3, 4, 1, 0));
    const img_fmt def;
    EXPECT_EQ(def, img_fmt(32, 32, 1, 0));
    EXPECT_EQ(def.pixelType(), 2);
}

TEST(ImgCheckSize, RefusesWhatA32BitByteCountCannotDescribe)
{
    EXPECT_NO_THROW(img_check_size("x", 0, 0, 3));
    EXPECT_NO_THROW(img_check_size("x", 46340, 46340, 1));
    EXPECT_NO_THROW(img_check_size("x", 2147483647, 1, 1));
    const struct { std::int64_t w, h, s; } refused[] = {
        {-1, 1, 1}, {1, -1, 1}, {65536, 32768, 1}, {2147483647, 1, 2}, {30000, 30000, 3}, {1LL << 40, 1, 1},
    };
    for (const auto& r : refused) {
        try {
            img_check_size("reader", r.w, r.h, r.s);
            ADD_FAILURE() << r.w << " x " << r.h;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("reader - image size out of range", 0), 0u) << e.what();
        }
    }
}

TEST(ImgWrap, DefaultImageHasABuffer)
{
    img_wrap image;
    EXPECT_EQ(image.fmt(), img_fmt(32, 32, 1, 0));
    ASSERT_NE(image.rawBits(), nullptr);
    std::memset(image.bits(), 7, 1024);  // all 1024 bytes are there (ASan checks)
}

TEST(ImgWrap, ReformatToTheSameGeometryKeepsBufferContentsAndCode)
{
    img_wrap image(img_fmt(4, 4, 4, 17));
    unsigned char* before = image.bits();
    before[5] = 42;
    image.reformat(img_fmt(4, 4, 4, 0));
    EXPECT_EQ(image.rawBits(), before);
    EXPECT_EQ(image.rawBits()[5], 42);
    EXPECT_EQ(image.fmt().pixelType(), 17);

    image.reformat(img_fmt(8, 2, 1, 0));
    EXPECT_EQ(image.fmt(), img_fmt(8, 2, 1, 0));
    EXPECT_EQ(image.fmt().pixelType(), 2);
}

TEST(ImgWrap, RefusesToAllocateANegativeOrHugeGeometry)
{
    img_wrap image;
    EXPECT_THROW(image.reformat(img_fmt(-2, 4, 1, 0)), std::runtime_error);
    EXPECT_EQ(image.rawBits(), nullptr);  // new format, no buffer
    EXPECT_THROW(image.bits(), std::runtime_error);
    image.reformat(img_fmt(2, 2, 1, 0));
    EXPECT_NE(image.rawBits(), nullptr);
    EXPECT_THROW(img_wrap(img_fmt(100000, 100000, 3, 0)), std::runtime_error);
}

TEST(ImgWrap, CopyAndAssignmentCopyPixels)
{
    img_wrap a(img_fmt(3, 2, 3, 0));
    for (int i = 0; i < 18; ++i)
        a.bits()[i] = static_cast<unsigned char>(i);
    img_wrap b(a);
    EXPECT_NE(b.rawBits(), a.rawBits());
    EXPECT_EQ(0, std::memcmp(b.rawBits(), a.rawBits(), 18));

    img_wrap c;
    c = a;
    EXPECT_EQ(c.fmt(), a.fmt());
    EXPECT_EQ(0, std::memcmp(c.rawBits(), a.rawBits(), 18));

    const unsigned char* own = c.rawBits();
    c = c;
    EXPECT_EQ(c.rawBits(), own);
    EXPECT_EQ(0, std::memcmp(c.rawBits(), a.rawBits(), 18));

    img_wrap d;
    d.copyBits(std::vector<unsigned char>(1024, 9).data());
    EXPECT_EQ(d.rawBits()[1023], 9);
}

TEST(ImgVector, KeepsCopiesInOrder)
{
    img_vector list;
    img_wrap a(img_fmt(1, 1, 1, 0));
    a.bits()[0] = 1;
    list.push_back(a);
    a.bits()[0] = 2;
    list.push_back(a);
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list.at(0).rawBits()[0], 1);
    EXPECT_EQ(list.at(1).rawBits()[0], 2);
    EXPECT_THROW(list.at(2), std::out_of_range);
    EXPECT_THROW(list.at(-1), std::out_of_range);
    list.clear();
    EXPECT_EQ(list.size(), 0);
}
