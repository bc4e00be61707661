// BMP reader and writer: real files from ffmpeg, ImageMagick and netpbm
// against the tools' own decodes, headers built in memory, and written
// files read back by ImageMagick.
#include "still_test_util.h"

#include "tarvo/imageio/img_io_bmp.h"
#include "tarvo/imageio/util_bmp.h"

#include <gtest/gtest.h>

#include <array>

namespace {

const int W = 13, H = 7;  // odd width: 8-, 16- and 24-bit rows carry padding

std::string prematureEof(const std::string& path) { return "img_io_load_bmp - got premature eof while reading " + path; }

// Our grey level of a palette colour: the rounded mean.
char greyOf(unsigned char r, unsigned char g, unsigned char b) { return static_cast<char>((2 * (r + g + b) + 3) / 6); }

// ---- Real files ------------------------------------------------------------

enum class expect { grey, rgb, raw16 };

struct realCase {
    const char* label;
    const char* command;  // writes a.bmp from src.ppm (13 x 7)
    int bitCount;         // what the tool is known to write (checked in the header)
    const char* decode;   // independent decode of a.bmp to stdout, top row first
    expect kind;
};

void PrintTo(const realCase& c, std::ostream* os) { *os << c.label; }

#define FF "ffmpeg -v error -y -i src.ppm "
#define IM_RGB "/usr/bin/convert a.bmp -depth 8 rgb:-"
#define FF_RGB "ffmpeg -v error -i a.bmp -f rawvideo -pix_fmt rgb24 -"

const realCase realCases[] = {
    {"ffmpeg_pal8", FF "-pix_fmt pal8 -c:v bmp a.bmp", 8, IM_RGB, expect::grey},
    {"ffmpeg_gray", FF "-pix_fmt gray -c:v bmp a.bmp", 8, IM_RGB, expect::grey},
    {"ffmpeg_rgb555", FF "-pix_fmt rgb555le -c:v bmp a.bmp", 16,
     "ffmpeg -v error -i a.bmp -f rawvideo -pix_fmt rgb555le -", expect::raw16},
    {"ffmpeg_rgb565_bitfields", FF "-pix_fmt rgb565le -c:v bmp a.bmp", 16,
     "ffmpeg -v error -i a.bmp -f rawvideo -pix_fmt rgb565le -", expect::raw16},
    {"ffmpeg_bgr24", FF "-pix_fmt bgr24 -c:v bmp a.bmp", 24, IM_RGB, expect::rgb},
    {"ffmpeg_bgra", FF "-pix_fmt bgra -c:v bmp a.bmp", 32, IM_RGB, expect::rgb},
    {"imagemagick_24", "/usr/bin/convert src.ppm -compress none BMP3:a.bmp", 24, FF_RGB, expect::rgb},
    {"imagemagick_palette", "/usr/bin/convert src.ppm -colors 40 -compress none BMP3:a.bmp", 8, FF_RGB,
     expect::grey},
    {"netpbm_24", "ppmtobmp -bpp 24 src.ppm > a.bmp", 24, FF_RGB, expect::rgb},
    {"netpbm_palette", "ppmquant 20 src.ppm | ppmtobmp -bpp 8 > a.bmp", 8, FF_RGB, expect::grey},
};

class BmpRealFile : public ::testing::TestWithParam<realCase> {};

TEST_P(BmpRealFile, MatchesToolDecode)
{
    const realCase& c = GetParam();
    scratch_dir dir;
    writeFile(dir / "src.rgb", noise(W * H * 3, 7));
    runTool("cd '" + dir.path() + "' && rawtoppm 13 7 src.rgb > src.ppm && " + c.command);
    const std::string file = dir / "a.bmp";

    // The fixture is what we think it is: 40-byte information header, positive height.
    const std::string raw = readFile(file);
    ASSERT_GE(raw.size(), 54u);
    EXPECT_EQ(raw.substr(14, 4), le32(40));
    EXPECT_EQ(raw.substr(22, 4), le32(H));
    ASSERT_EQ(raw.substr(28, 2), le16(c.bitCount));

    const std::string decoded = toolOutput(dir, "cd '" + dir.path() + "' && " + c.decode);
    std::string expected;
    if (c.kind == expect::grey) {
        ASSERT_EQ(decoded.size(), std::size_t(W * H * 3));
        for (std::size_t i = 0; i < decoded.size(); i += 3)
            expected += greyOf(decoded[i], decoded[i + 1], decoded[i + 2]);
    } else {
        expected = decoded;
    }
    const int szPixel = c.kind == expect::grey ? 1 : c.kind == expect::raw16 ? 2 : 3;
    ASSERT_EQ(expected.size(), std::size_t(W * H * szPixel));

    img_wrap image;
    ASSERT_EQ(loadFailure(file, image), "");
    EXPECT_EQ(image.fmt(), img_fmt(W, H, szPixel, 0));
    EXPECT_EQ(bytesOf(image), bottomUp(expected, W * szPixel));
}

INSTANTIATE_TEST_SUITE_P(Tools, BmpRealFile, ::testing::ValuesIn(realCases),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- Files built in memory -------------------------------------------------

struct bmpFile {
    int bits = 24;
    std::int64_t width = 1, height = 1;
    std::vector<std::array<int, 4>> palette;  // blue, green, red, reserved
    std::string rows;                         // pixel data as stored, padding included
    std::int64_t offBits = -1;                // -1: right after the palette
    int biSize = 40, planes = 1, compression = 0;
    std::string magic = "BM";
};

// Bytes between the palette and bfOffBits are filled with 0xEE.
std::string makeBmp(const bmpFile& f)
{
    std::string info = le32(f.biSize) + le32(f.width) + le32(f.height) + le16(f.planes) + le16(f.bits) +
                       le32(f.compression) + le32(0) + le32(0) + le32(0) + le32(std::int64_t(f.palette.size())) +
                       le32(0);
    for (const auto& e : f.palette)
        info += bytes({e[0], e[1], e[2], e[3]});
    const std::int64_t off = f.offBits < 0 ? 14 + std::int64_t(info.size()) : f.offBits;
    std::string out = f.magic + le32(0) + le16(0) + le16(0) + le32(off) + info;
    if (off > std::int64_t(out.size()) && off < 4096)
        out += std::string(static_cast<std::size_t>(off) - out.size(), '\xee');
    return out + f.rows;
}

std::vector<std::array<int, 4>> greyRamp()
{
    std::vector<std::array<int, 4>> p;
    for (int i = 0; i < 256; ++i)
        p.push_back({i, i, i, 0});
    return p;
}

struct memCase {
    const char* label;
    bmpFile file;
    int szPixel;            // of the loaded image
    std::string expected;   // its bytes
    std::string failure;    // "@eof": the premature-end message
};

void PrintTo(const memCase& c, std::ostream* os) { *os << c.label; }

std::vector<memCase> memCases()
{
    std::vector<memCase> cases;
    auto ok = [&](const char* label, bmpFile f, int szPixel, std::string expected) {
        cases.push_back({label, std::move(f), szPixel, std::move(expected), ""});
    };
    auto fails = [&](const char* label, bmpFile f, std::string failure) {
        cases.push_back({label, std::move(f), 0, "", std::move(failure)});
    };
    const std::string initFailure = "img_io_load_bmp::init - unsupported file format";
    const std::string bihFailure = "util_bmp_BIH::check - unsupported format";
    bmpFile f;

    f = {};
    f.width = 3, f.height = 2;  // 9 pixel bytes + 3 padding per row
    f.rows = bytes({10, 20, 30, 1, 2, 3, 4, 5, 6, 0xaa, 0xbb, 0xcc, 7, 8, 9, 11, 12, 13, 14, 15, 16, 0, 0, 0});
    ok("rgb24_width3_padding_and_row_order", f, 3,
       bytes({30, 20, 10, 3, 2, 1, 6, 5, 4, 9, 8, 7, 13, 12, 11, 16, 15, 14}));

    f = {};
    f.bits = 32, f.width = 2;
    f.rows = bytes({1, 2, 3, 4, 5, 6, 7, 8});
    ok("bgra32_fourth_byte_dropped", f, 3, bytes({3, 2, 1, 7, 6, 5}));

    f = {};
    f.bits = 8, f.width = 3, f.height = 2, f.palette = greyRamp();
    f.rows = bytes({0, 128, 255, 0x99, 7, 8, 9, 0x99});  // one padding byte per row
    ok("grey_palette_keeps_values_skips_padding", f, 1, bytes({0, 128, 255, 7, 8, 9}));

    f.palette[1] = {0, 0, 255, 0};
    f.rows = bytes({1, 2, 3, 0, 4, 5, 6, 0});
    ok("palette_red_becomes_85", f, 1, bytes({85, 2, 3, 4, 5, 6}));

    f = {};
    f.bits = 8, f.width = 4, f.offBits = 54;
    f.rows = bytes({9, 200, 17, 3});
    ok("no_palette_keeps_indices", f, 1, bytes({9, 200, 17, 3}));

    f = {};
    f.bits = 8, f.width = 4, f.palette = {{30, 60, 90, 0}, {255, 255, 254, 0}};
    f.rows = bytes({0, 1, 2, 255});
    ok("indices_beyond_palette_are_black", f, 1, bytes({60, 255, 0, 0}));

    f = {};
    f.bits = 16, f.width = 3, f.compression = 3;
    f.palette = {{0, 0xf8, 0, 0}, {0xe0, 7, 0, 0}, {0x1f, 0, 0, 0}};  // masks, not applied
    f.rows = bytes({0x34, 0x12, 0xff, 0xff, 0x01, 0x80, 0, 0});
    ok("rgb16_values_kept_masks_ignored", f, 2, bytes({0x34, 0x12, 0xff, 0xff, 0x01, 0x80}));

    f = {};
    f.width = 0, f.height = 5;
    ok("zero_width", f, 3, "");
    f = {};
    f.width = 5, f.height = 0;
    ok("zero_height", f, 3, "");

    f = {};
    f.bits = 8, f.width = 2, f.palette = greyRamp(), f.offBits = 1081;  // 256 entries and 3 spare bytes
    f.rows = bytes({5, 6, 0, 0});
    ok("offbits_1081_pixels_read_from_offbits", f, 1, bytes({5, 6}));
    f.offBits = 1082;  // 257 entries
    fails("offbits_1082", f, initFailure);

    f = {};
    f.width = 3;
    f.rows = bytes({1, 2, 3, 4, 5, 6, 7, 8, 9});  // last row without its padding byte
    ok("last_row_without_padding", f, 3, bytes({3, 2, 1, 6, 5, 4, 9, 8, 7}));

    f = {};
    f.rows = bytes({1, 2, 3, 0});
    f.offBits = 14 + 39;
    fails("info_size_below_40", f, initFailure);
    f.offBits = 0;
    fails("offbits_0", f, initFailure);
    f.offBits = 0x7fffffff;
    fails("offbits_huge", f, initFailure);
    f.offBits = 0x80000000LL;  // read as a negative number
    fails("offbits_negative", f, initFailure);
    f.biSize = 12;
    f.offBits = 14 + 12;
    fails("core_header_12_bytes", f, initFailure);
    f.biSize = 108;
    f.offBits = 14 + 108;
    fails("v4_header_108_bytes", f, bihFailure);
    f.offBits = -1;
    f.biSize = 40;
    f.planes = 2;
    fails("two_planes", f, bihFailure);
    f.planes = 1;
    const struct { int bits; const char* label; } unsupportedBits[] = {
        {0, "bits_0"}, {1, "bits_1"}, {4, "bits_4"}, {15, "bits_15"}, {48, "bits_48"}};
    for (const auto& u : unsupportedBits) {
        bmpFile g = f;
        g.bits = u.bits;
        fails(u.label, g, bihFailure);
    }
    f.magic = "BA";
    fails("wrong_magic", f, "util_bmp_BFH::check - unsupported format");
    f.magic = "MB";
    fails("swapped_magic", f, "util_bmp_BFH::check - unsupported format");

    f = {};
    f.width = -2;
    fails("negative_width", f, "img_io_load_bmp - negative width");
    f.width = 2, f.height = -2;
    f.rows = std::string(16, 'x');
    fails("negative_height_top_down", f, "img_io_load_bmp - negative height (top-down bitmaps are not supported)");
    f.width = 50000, f.height = 50000;
    fails("size_beyond_32_bits", f, "img_io_load_bmp - image size out of range (50000 x 50000 x 3 bytes)");
    f.bits = 8, f.width = 40000, f.height = 40000;
    fails("large_claim_small_file", f, "@eof");
    f = {};
    f.width = 2, f.height = 2;
    f.rows = bytes({1, 2, 3, 4, 5, 6, 0, 0});
    fails("eof_in_last_row", f, "@eof");
    f.offBits = 1000;  // palette read from the filler, no pixels after it
    f.rows = "";
    fails("no_pixels_after_offbits", f, "@eof");
    return cases;
}

class BmpInMemory : public ::testing::TestWithParam<memCase> {};

TEST_P(BmpInMemory, LoadsOrFailsClearly)
{
    const memCase& c = GetParam();
    scratch_dir dir;
    const std::string file = dir / "x.bmp";
    writeFile(file, makeBmp(c.file));
    img_wrap image;
    const std::string failure = loadFailure(file, image);
    if (c.failure.empty()) {
        ASSERT_EQ(failure, "");
        EXPECT_EQ(image.fmt(), img_fmt(std::int32_t(c.file.width), std::int32_t(c.file.height), c.szPixel, 0));
        EXPECT_EQ(bytesOf(image), c.expected);
    } else {
        EXPECT_EQ(failure, c.failure == "@eof" ? prematureEof(file) : c.failure);
    }
}

INSTANTIATE_TEST_SUITE_P(Headers, BmpInMemory, ::testing::ValuesIn(memCases()),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(BmpLoad, TruncatedAtEveryLengthFailsWithPrematureEof)
{
    scratch_dir dir;
    bmpFile f;
    f.bits = 8, f.width = 3, f.height = 3, f.palette = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}};
    f.rows = bytes({0, 1, 2, 0, 2, 1, 0, 0, 1, 1, 1, 0});
    const std::string whole = makeBmp(f);
    const std::string file = dir / "t.bmp";
    // Everything short of the last row's pixels is truncated; its padding may go.
    for (std::size_t n = 0; n + 1 < whole.size(); ++n) {
        writeFile(file, whole.substr(0, n));
        EXPECT_EQ(loadFailure(file), prematureEof(file)) << "length " << n;
    }
    writeFile(file, whole);
    img_wrap image;
    ASSERT_EQ(loadFailure(file, image), "");
    EXPECT_EQ(bytesOf(image), bytes({2, 5, 8, 8, 5, 2, 5, 5, 5}));
}

TEST(BmpLoad, UpperCaseExtensionSelectsTheBmpLoader)
{
    scratch_dir dir;
    bmpFile f;
    f.rows = bytes({1, 2, 3, 0});
    writeFile(dir / "Photo.BMP", makeBmp(f));
    img_wrap image;
    ASSERT_EQ(loadFailure(dir / "Photo.BMP", image), "");
    EXPECT_EQ(bytesOf(image), bytes({3, 2, 1}));
    EXPECT_EQ(loadFailure(dir / "missing.bmp"), "img_io_load_bmp - can't open " + (dir / "missing.bmp"));
}

// ---- Header records alone ----------------------------------------------------

TEST(BmpRecords, PaletteCountsNearTwoToTheThirtyAreRefused)
{
    // count * 4 wraps to a small number for these; they are no palette.
    for (std::int32_t count : {257, 0x40000001, -1}) {
        util_bmp_BI info(count);
        info.header.set(8, 2, 2, 0);
        EXPECT_THROW(info.check(), std::runtime_error) << count;
        util_bmp_BI other(0);
        const unsigned char palette[4] = {};
        EXPECT_THROW(other.init(8, 2, 2, palette, count), std::runtime_error) << count;
    }
    util_bmp_BI ok(256);
    ok.header.set(8, 2, 2, 256);
    EXPECT_NO_THROW(ok.check());
}

// ---- Writer -------------------------------------------------------------------

TEST(BmpSave, GreyAndColourReadBackByImageMagick)
{
    for (int szPixel : {1, 3}) {
        scratch_dir dir;
        const img_wrap image = noiseImage(W, H, szPixel, 20 + szPixel);
        save<img_io_save_bmp>(dir / "w.bmp", image);
        const std::string decoded = toolOutput(dir, "/usr/bin/convert '" + (dir / "w.bmp") + "' -depth 8 rgb:-");
        std::string expected;
        for (char v : bottomUp(bytesOf(image), W * szPixel))
            expected += szPixel == 1 ? std::string(3, v) : std::string(1, v);
        EXPECT_EQ(decoded, expected) << "szPixel " << szPixel;
    }
}

TEST(BmpSave, TwoByTwoGreyFileLayout)
{
    scratch_dir dir;
    img_wrap image(img_fmt(2, 2, 1, 0));
    image.copyBits(bytes({1, 2, 3, 4}).data());
    save<img_io_save_bmp>(dir / "g.bmp", image);
    const std::string written = readFile(dir / "g.bmp");
    ASSERT_EQ(written.size(), 1078u + 2 * 4);
    EXPECT_EQ(written.substr(0, 2), "BM");
    EXPECT_EQ(written.substr(2, 4), le32(1078 + 8));  // file size, padding included
    EXPECT_EQ(written.substr(34, 4), le32(8));        // image size, padding included
    EXPECT_EQ(written.substr(10, 4), le32(1078));
    EXPECT_EQ(written.substr(46, 4), le32(256));      // colours used
    EXPECT_EQ(written.substr(54 + 4 * 200, 4), bytes({200, 200, 200, 0}));
    EXPECT_EQ(written.substr(1078), bytes({1, 2, 0, 0, 3, 4, 0, 0}));
}

TEST(BmpSave, SixteenBitFileHasMasksAndReadsBack)
{
    scratch_dir dir;
    const img_wrap image = noiseImage(3, 2, 2, 30);
    save<img_io_save_bmp>(dir / "s.bmp", image);
    const std::string written = readFile(dir / "s.bmp");
    EXPECT_EQ(written.substr(10, 4), le32(14 + 40 + 12));
    EXPECT_EQ(written.substr(28, 2), le16(16));
    EXPECT_EQ(written.substr(30, 4), le32(3));  // bit fields
    EXPECT_EQ(written.substr(54, 12), le32(0x3fff) + le32(0x4000) + le32(0x8000));
    ASSERT_EQ(written.size(), 66u + 2 * 8);
    const std::string px = bytesOf(image);
    EXPECT_EQ(written.substr(66), px.substr(0, 6) + bytes({0, 0}) + px.substr(6, 6) + bytes({0, 0}));
}

TEST(BmpSave, RefusesFourSixAndEightBytePixels)
{
    scratch_dir dir;
    try {
        save<img_io_save_bmp>(dir / "f.bmp", img_wrap(img_fmt(2, 2, 4, 0)));
        ADD_FAILURE() << "4-byte image written";
    } catch (const char* text) {
        EXPECT_STREQ(text, "img_io_save_bmp::operator() - illegal szPixel()");
    }
    for (int szPixel : {6, 8}) {
        try {
            save<img_io_save_bmp>(dir / "d.bmp", img_wrap(img_fmt(2, 2, szPixel, 0)));
            ADD_FAILURE() << szPixel << "-byte image written";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "util_bmp_BI::init - illegal count of bits per pixel");
        }
    }
}

} // namespace
