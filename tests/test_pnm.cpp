// PNM reader and writer: real files from netpbm and ImageMagick against
// netpbm's plain-text decode, header edge cases built in memory, and
// written files read back by the tools.
#include "still_test_util.h"

#include "tarvo/imageio/img_io_pxm.h"
#include "tarvo/imageio/img_io_load_imp.h"

#include <gtest/gtest.h>

namespace {

const int W = 13, H = 7;

std::string prematureEof(const std::string& path) { return "img_io_load_pxm - got premature eof while reading " + path; }

// ---- Real files ----------------------------------------------------------

struct realCase {
    const char* label;
    const char* file;     // name of the written file (its extension picks the loader)
    const char* command;  // makes it from raw.rgb / raw.gray (13 x 7)
    int samples;
};

void PrintTo(const realCase& c, std::ostream* os) { *os << c.label; }

const realCase realCases[] = {
    {"netpbm_P6", "a.ppm", "rawtoppm 13 7 raw.rgb > a.ppm", 3},
    {"netpbm_P5", "a.pgm", "rawtopgm 13 7 raw.gray > a.pgm", 1},
    {"netpbm_P5_maxval15", "a.pgm", "rawtopgm 13 7 raw.gray | pnmdepth 15 > a.pgm", 1},
    {"netpbm_P6_named_pgm", "a.pgm", "rawtoppm 13 7 raw.rgb > a.pgm", 3},
    {"imagemagick_P6", "a.ppm", "/usr/bin/convert -size 13x7 -depth 8 rgb:raw.rgb a.ppm", 3},
    {"imagemagick_P5", "a.PGM", "/usr/bin/convert -size 13x7 -depth 8 gray:raw.gray pgm:a.PGM", 1},
};

class PnmRealFile : public ::testing::TestWithParam<realCase> {};

TEST_P(PnmRealFile, MatchesNetpbmPlainDecode)
{
    const realCase& c = GetParam();
    scratch_dir dir;
    writeFile(dir / "raw.rgb", noise(W * H * 3, 1));
    writeFile(dir / "raw.gray", noise(W * H, 2));
    runTool("cd '" + dir.path() + "' && " + c.command);
    const std::string file = dir / c.file;

    // Independent decode: netpbm's text form, samples unscaled.
    const plainPnm plain = parsePlainPnm(toolOutput(dir, "pnmtopnm -plain '" + file + "'"));
    ASSERT_EQ(plain.samples, c.samples);
    ASSERT_EQ(plain.values.size(), std::size_t(W * H * c.samples));
    std::string topFirst;
    for (int v : plain.values)
        topFirst += static_cast<char>(v);

    img_wrap image;
    ASSERT_EQ(loadFailure(file, image), "");
    EXPECT_EQ(image.fmt().width(), W);
    EXPECT_EQ(image.fmt().height(), H);
    EXPECT_EQ(image.fmt().szPixel(), c.samples);
    EXPECT_EQ(image.fmt().pixelType(), c.samples == 1 ? 2 : 18);
    EXPECT_EQ(bytesOf(image), bottomUp(topFirst, W * c.samples));
}

INSTANTIATE_TEST_SUITE_P(Tools, PnmRealFile, ::testing::ValuesIn(realCases),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- Headers built in memory -----------------------------------------------

struct memCase {
    const char* label;
    std::string file;
    std::string expectedBytes;  // when it loads
    int width, height, samples;
    std::string failure;        // when it fails; "@" stands for the path
};

void PrintTo(const memCase& c, std::ostream* os) { *os << c.label; }

std::vector<memCase> memCases()
{
    const std::string px = bytes({1, 2, 3, 4, 5, 6});
    const std::string flipped = bytes({4, 5, 6, 1, 2, 3});
    return {
        {"rows_reversed", "P5 3 2 255\n" + px, flipped, 3, 2, 1, ""},
        {"digit_right_after_magic", "P53 2 255\n" + px, flipped, 3, 2, 1, ""},
        {"comments_everywhere", "P5# after magic\n#two\n# lines\n3\n# mid\n2 #x\n255\n" + px, flipped, 3, 2, 1, ""},
        {"tabs_and_cr", "P5\t3\r2\r\n255\t" + px, flipped, 3, 2, 1, ""},
        {"hash_inside_token_ends_digits", "P5 3#x 2 255\n" + px, flipped, 3, 2, 1, ""},
        {"maxval_15_unscaled", "P5 3 2 15\n" + bytes({0, 15, 7, 1, 2, 3}), bytes({1, 2, 3, 0, 15, 7}), 3, 2, 1, ""},
        {"maxval_0", "P5 3 2 0\n" + px, flipped, 3, 2, 1, ""},
        {"p6_red_first", "P6 1 2 255\n" + bytes({10, 20, 30, 40, 50, 60}), bytes({40, 50, 60, 10, 20, 30}), 1, 2, 3,
         ""},
        {"trailing_bytes_ignored", "P5 3 2 255\n" + px + "garbage", flipped, 3, 2, 1, ""},
        {"zero_width", "P5 0 2 255\n", "", 0, 2, 1, ""},
        {"zero_height", "P6 4 0 255\n", "", 4, 0, 3, ""},
        {"maxval_256", "P5 3 2 256\n" + px, "", 0, 0, 0, "img_io_load_pxm - illegal maxval: 256"},
        {"magic_P3", "P3 3 2 255\n1 2 3 4 5 6\n", "", 0, 0, 0, "img_io_load_pxm - illegal magic string"},
        {"magic_P4", "P4 3 2\n", "", 0, 0, 0, "img_io_load_pxm - illegal magic string"},
        {"magic_bitmap", "BM\x36\x00", "", 0, 0, 0, "img_io_load_pxm - illegal magic string"},
        {"malformed_letter", "P5 3 x 255\n" + px, "", 0, 0, 0,
         "img_io_load_pxm - malformed header (byte 120 where the height should be)"},
        {"malformed_minus_sign", "P5 -3 2 255\n" + px, "", 0, 0, 0,
         "img_io_load_pxm - malformed header (byte 45 where the width should be)"},
        {"malformed_high_byte", "P5\xa0" "3 2 255\n" + px, "", 0, 0, 0,
         "img_io_load_pxm - malformed header (byte 160 where the width should be)"},
        {"width_overflows", "P5 4294967299 2 255\n" + px, "", 0, 0, 0, "img_io_load_pxm - width out of range"},
        {"height_overflows", "P5 3 2147483648 255\n" + px, "", 0, 0, 0, "img_io_load_pxm - height out of range"},
        {"maxval_overflows", "P5 3 2 99999999999999999999999\n" + px, "", 0, 0, 0,
         "img_io_load_pxm - maxval out of range"},
        {"size_beyond_32_bits", "P6 50000 50000 255\n" + px, "", 0, 0, 0,
         "img_io_load_pxm - image size out of range (50000 x 50000 x 3 bytes)"},
        {"large_claim_small_file", "P5 40000 40000 255\n" + px, "", 0, 0, 0, "@eof"},
        {"empty_file", "", "", 0, 0, 0, "@eof"},
        {"eof_in_comment", "P5 # no end", "", 0, 0, 0, "@eof"},
        {"eof_after_maxval_digits", "P5 3 2 255", "", 0, 0, 0, "@eof"},
        {"eof_in_pixels", "P5 3 2 255\n" + px.substr(0, 5), "", 0, 0, 0, "@eof"},
    };
}

class PnmInMemory : public ::testing::TestWithParam<memCase> {};

TEST_P(PnmInMemory, LoadsOrFailsClearly)
{
    const memCase& c = GetParam();
    scratch_dir dir;
    const std::string file = dir / "x.pgm";
    writeFile(file, c.file);
    img_wrap image;
    const std::string failure = loadFailure(file, image);
    if (c.failure.empty()) {
        ASSERT_EQ(failure, "");
        EXPECT_EQ(image.fmt().width(), c.width);
        EXPECT_EQ(image.fmt().height(), c.height);
        EXPECT_EQ(image.fmt().szPixel(), c.samples);
        EXPECT_EQ(bytesOf(image), c.expectedBytes);
    } else {
        EXPECT_EQ(failure, c.failure == "@eof" ? prematureEof(file) : c.failure);
    }
}

INSTANTIATE_TEST_SUITE_P(Headers, PnmInMemory, ::testing::ValuesIn(memCases()),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(PnmHeader, ReadAloneLeavesFileAtFirstPixel)
{
    scratch_dir dir;
    writeFile(dir / "h.ppm", "P6\n# c\n640 480\n200\nXYZ");
    img_io_load_imp file(dir / "h.ppm", "img_io_load_pxm");
    const img_io_pxm_header h = img_io_load_pxm::readHeader(file);
    EXPECT_EQ(h.width, 640);
    EXPECT_EQ(h.height, 480);
    EXPECT_EQ(h.samples, 3);
    EXPECT_EQ(h.maxval, 200);
    char next = 0;
    file.read(&next, 1);
    EXPECT_EQ(next, 'X');
}

TEST(PnmLoad, TruncatedAtEveryLengthFailsWithPrematureEof)
{
    scratch_dir dir;
    const std::string whole = "P6\n# comment\n4 3\n255\n" + noise(4 * 3 * 3, 3);
    const std::string file = dir / "t.ppm";
    for (std::size_t n = 0; n < whole.size(); ++n) {
        writeFile(file, whole.substr(0, n));
        EXPECT_EQ(loadFailure(file), prematureEof(file)) << "length " << n;
    }
    writeFile(file, whole);
    EXPECT_EQ(loadFailure(file), "");
}

TEST(PnmLoad, ReplacesTheTargetsFormat)
{
    scratch_dir dir;
    writeFile(dir / "g.ppm", "P5 3 2 255\n" + bytes({1, 2, 3, 4, 5, 6}));
    img_wrap image(img_fmt(100, 50, 8, 0));
    ASSERT_EQ(loadFailure(dir / "g.ppm", image), "");
    EXPECT_EQ(image.fmt(), img_fmt(3, 2, 1, 0));
    EXPECT_EQ(image.fmt().pixelType(), 2);
}

TEST(PnmLoad, MissingFileNamesLoaderAndPath)
{
    EXPECT_EQ(loadFailure("/nonexistent/dir/x.ppm"), "img_io_load_pxm - can't open /nonexistent/dir/x.ppm");
}

// ---- Writer -----------------------------------------------------------------

TEST(PnmSave, GreyAndColourReadBackByNetpbm)
{
    for (int szPixel : {1, 3}) {
        scratch_dir dir;
        const img_wrap image = noiseImage(W, H, szPixel, 10 + szPixel);
        const std::string file = dir / "w.pnm";
        save<img_io_save_pxm>(file, image);
        const plainPnm plain = parsePlainPnm(toolOutput(dir, "pnmtopnm -plain '" + file + "'"));
        EXPECT_EQ(plain.samples, szPixel);
        EXPECT_EQ(plain.width, W);
        EXPECT_EQ(plain.height, H);
        EXPECT_EQ(plain.maxval, 255);
        std::string topFirst;
        for (int v : plain.values)
            topFirst += static_cast<char>(v);
        EXPECT_EQ(topFirst, bottomUp(bytesOf(image), W * szPixel)) << "szPixel " << szPixel;
    }
}

TEST(PnmSave, GreyFileLayoutIsExact)
{
    scratch_dir dir;
    const img_wrap image = noiseImage(640, 480, 1, 4);
    save<img_io_save_pxm>(dir / "big.pgm", image);
    const std::string written = readFile(dir / "big.pgm");
    const std::string header = "P5\n640 480\n255\n";
    ASSERT_EQ(written.size(), header.size() + 640 * 480);
    EXPECT_EQ(written.substr(0, header.size()), header);
    EXPECT_EQ(written.substr(header.size()), bottomUp(bytesOf(image), 640));
}

TEST(PnmSave, SixteenBitSamplesGoLeastSignificantByteFirst)
{
    scratch_dir dir;
    const img_wrap image = noiseImage(3, 2, 2, 5);
    save<img_io_save_pxm>(dir / "s.pgm", image);
    const plainPnm plain = parsePlainPnm(toolOutput(dir, "pnmtopnm -plain '" + dir.path() + "/s.pgm'"));
    ASSERT_EQ(plain.maxval, 65535);
    ASSERT_EQ(plain.values.size(), 6u);
    // netpbm reads most significant byte first, so it sees the two bytes exchanged.
    const std::string top = bottomUp(bytesOf(image), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(plain.values[i], (std::uint8_t(top[2 * i]) << 8) | std::uint8_t(top[2 * i + 1])) << i;
}

TEST(PnmSave, FourByteImageIsConvertedToColour)
{
    scratch_dir dir;
    img_wrap image(img_fmt(2, 1, 4, 0));  // pix_float
    const float values[2] = {2.5f, 200.75f};
    image.copyBits(values);
    save<img_io_save_pxm>(dir / "f.ppm", image);
    const plainPnm plain = parsePlainPnm(toolOutput(dir, "pnmtopnm -plain '" + dir.path() + "/f.ppm'"));
    EXPECT_EQ(plain.samples, 3);
    EXPECT_EQ(plain.values, (std::vector<int>{2, 2, 2, 200, 200, 200}));
}

TEST(PnmSave, RefusesSixAndEightBytePixels)
{
    for (int szPixel : {6, 8}) {
        scratch_dir dir;
        try {
            save<img_io_save_pxm>(dir / "x.pgm", img_wrap(img_fmt(2, 2, szPixel, 0)));
            ADD_FAILURE() << "no failure for " << szPixel;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "img_io_save_pxm::operator() - illegal szPixel()");
        }
    }
}

} // namespace
