// Sun raster header record, reader, multi-image reader and writer: real
// files from ffmpeg, netpbm and ImageMagick against the tools' decodes,
// headers built in memory, and written files read back by ImageMagick.
#include "still_test_util.h"

#include "tarvo/imageio/img_io_load_rasMany.h"
#include "tarvo/imageio/img_io_ras.h"
#include "tarvo/imageio/util_ras_hdr.h"

#include <gtest/gtest.h>

#include <array>

namespace {

const int W = 14, H = 6;  // even width: the only kind the format allows here

std::string prematureEof(const std::string& path) { return "img_io_load_ras - got premature eof while reading " + path; }

// Runs the tools in `dir` on its noise pictures src.rgb, src.gray, src.rgba (14 x 6) and big.rgb (14 x 20).
void makeSources(const scratch_dir& dir)
{
    writeFile(dir / "src.rgb", noise(W * H * 3, 41));
    writeFile(dir / "src.gray", noise(W * H, 42));
    writeFile(dir / "src.rgba", noise(W * H * 4, 43));
    writeFile(dir / "big.rgb", noise(14 * 20 * 3, 44));  // more than 256 colours: netpbm writes 24 bits
    runTool("cd '" + dir.path() + "' && rawtoppm 14 6 src.rgb > src.ppm && rawtopgm 14 6 src.gray > src.pgm");
}

// ---- Real files ------------------------------------------------------------

enum class expect { grey, rgb, argb };

struct realCase {
    const char* label;
    const char* command;  // writes a.ras in the directory of makeSources
    int height;
    int depth, rasType, mapType;  // what the tool is known to write (checked in the header)
    const char* decode;           // independent decode of a.ras, top row first
    expect kind;
};

void PrintTo(const realCase& c, std::ostream* os) { *os << c.label; }

#define IM_RGB "/usr/bin/convert a.ras -depth 8 rgb:-"
#define FF_RAW "ffmpeg -v error -y -f rawvideo -s 14x6 "

const realCase realCases[] = {
    {"ffmpeg_grey", FF_RAW "-pix_fmt gray -i src.gray -c:v sunrast -rle 0 a.ras", H, 8, 1, 0, IM_RGB, expect::grey},
    {"ffmpeg_colour_map", "ffmpeg -v error -y -i src.ppm -pix_fmt pal8 -c:v sunrast -rle 0 a.ras", H, 8, 1, 1, IM_RGB,
     expect::rgb},
    {"ffmpeg_bgr24", FF_RAW "-pix_fmt rgb24 -i src.rgb -pix_fmt bgr24 -c:v sunrast -rle 0 a.ras", H, 24, 1, 0, IM_RGB,
     expect::rgb},
    {"netpbm_grey_map", "pnmtorast -standard src.pgm > a.ras", H, 8, 1, 1, IM_RGB, expect::grey},
    {"netpbm_colour_map", "ppmquant 20 src.ppm | pnmtorast -standard > a.ras", H, 8, 1, 1, IM_RGB, expect::rgb},
    {"netpbm_24", "rawtoppm 14 20 big.rgb | pnmtorast -standard > a.ras", 20, 24, 1, 0, IM_RGB, expect::rgb},
    {"imagemagick_24_red_first", "/usr/bin/convert -size 14x6 -depth 8 rgb:src.rgb a.ras", H, 24, 3, 0,
     "ffmpeg -v error -i a.ras -f rawvideo -pix_fmt rgb24 -", expect::rgb},
    {"imagemagick_32_red_first", "/usr/bin/convert -size 14x6 -depth 8 rgba:src.rgba a.ras", H, 32, 3, 0,
     "/usr/bin/convert a.ras -depth 8 rgba:-", expect::argb},
};

class RasRealFile : public ::testing::TestWithParam<realCase> {};

TEST_P(RasRealFile, MatchesToolDecode)
{
    const realCase& c = GetParam();
    scratch_dir dir;
    makeSources(dir);
    runTool("cd '" + dir.path() + "' && " + c.command);
    const std::string file = dir / "a.ras";

    const std::string raw = readFile(file);
    ASSERT_GE(raw.size(), 32u);
    ASSERT_EQ(raw.substr(12, 4), be32(c.depth));
    ASSERT_EQ(raw.substr(20, 4), be32(c.rasType));
    ASSERT_EQ(raw.substr(24, 4), be32(c.mapType));

    const std::string decoded = toolOutput(dir, "cd '" + dir.path() + "' && " + c.decode);
    std::string expected;
    int szPixel = 3;
    if (c.kind == expect::grey) {
        szPixel = 1;
        for (std::size_t i = 0; i + 2 < decoded.size(); i += 3) {
            ASSERT_TRUE(decoded[i] == decoded[i + 1] && decoded[i + 1] == decoded[i + 2]) << "not grey at " << i;
            expected += decoded[i];
        }
    } else if (c.kind == expect::argb) {
        // Stored alpha, red, green, blue; type 3 is delivered as stored.
        szPixel = 4;
        for (std::size_t i = 0; i + 3 < decoded.size(); i += 4)
            expected += std::string(1, decoded[i + 3]) + decoded.substr(i, 3);
    } else {
        expected = decoded;
    }
    ASSERT_EQ(expected.size(), std::size_t(W * c.height * szPixel));

    img_wrap image;
    ASSERT_EQ(loadFailure(file, image), "");
    EXPECT_EQ(image.fmt(), img_fmt(W, c.height, szPixel, 0));
    EXPECT_EQ(bytesOf(image), bottomUp(expected, W * szPixel));
}

INSTANTIATE_TEST_SUITE_P(Tools, RasRealFile, ::testing::ValuesIn(realCases),
                         [](const auto& info) { return std::string(info.param.label); });

struct refusedCase {
    const char* label;
    const char* command;
    const char* failure;
};

void PrintTo(const refusedCase& c, std::ostream* os) { *os << c.label; }

const refusedCase refusedCases[] = {
    {"imagemagick_short_colour_map", "/usr/bin/convert -size 14x6 -depth 8 rgb:src.rgb -colors 30 a.ras",
     "util_ras_hdr::check - error for RMT_EQUAL_RGB"},
    {"netpbm_run_length", "pnmtorast src.ppm > a.ras", "util_ras_hdr::check - unstandard type"},
    {"ffmpeg_run_length", "ffmpeg -v error -y -i src.ppm -pix_fmt bgr24 -c:v sunrast a.ras",
     "util_ras_hdr::check - unstandard type"},
};

class RasRefusedFile : public ::testing::TestWithParam<refusedCase> {};

TEST_P(RasRefusedFile, FailsWithItsMessage)
{
    scratch_dir dir;
    makeSources(dir);
    runTool("cd '" + dir.path() + "' && " + GetParam().command);
    EXPECT_EQ(loadFailure(dir / "a.ras"), GetParam().failure);
}

INSTANTIATE_TEST_SUITE_P(Tools, RasRefusedFile, ::testing::ValuesIn(refusedCases),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- Many images in one file -------------------------------------------------

// Three different pictures by ffmpeg, back to back, with half an image after them.
struct sequenceFile {
    std::string path;
    std::vector<std::string> images;  // each as we deliver it
};

sequenceFile makeSequence(const scratch_dir& dir, bool greyMap)
{
    sequenceFile s;
    s.path = dir / "seq.ras";
    std::string all;
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i);
        const int szPixel = greyMap ? 1 : 3;
        writeFile(dir / ("p" + n), noise(W * H * szPixel, 50 + i));
        if (greyMap)
            runTool("cd '" + dir.path() + "' && rawtopgm 14 6 p" + n + " | pnmtorast -standard > p" + n + ".ras");
        else
            runTool("cd '" + dir.path() + "' && " FF_RAW "-pix_fmt rgb24 -i p" + n +
                    " -pix_fmt bgr24 -c:v sunrast -rle 0 p" + n + ".ras");
        all += readFile(dir / ("p" + n + ".ras"));
        std::string decoded = toolOutput(dir, "/usr/bin/convert '" + (dir / ("p" + n + ".ras")) + "' -depth 8 rgb:-");
        if (greyMap) {
            std::string grey;
            for (std::size_t k = 0; k < decoded.size(); k += 3)
                grey += decoded[k];
            decoded = grey;
        }
        s.images.push_back(bottomUp(decoded, W * szPixel));
    }
    writeFile(s.path, all + all.substr(0, all.size() / 6));
    return s;
}

TEST(RasMany, ReadsImagesInTurnAndAfterSeek)
{
    for (bool greyMap : {false, true}) {
        SCOPED_TRACE(greyMap ? "grey map (800-byte headers)" : "24 bits (32-byte headers)");
        scratch_dir dir;
        const sequenceFile s = makeSequence(dir, greyMap);
        img_io_load_rasMany many(s.path.c_str());
        EXPECT_EQ(many.size(), 3);
        EXPECT_EQ(many.format(), img_fmt(W, H, greyMap ? 1 : 3, 0));
        img_wrap image;
        for (int i = 0; i < 3; ++i) {
            many(image);
            EXPECT_EQ(bytesOf(image), s.images[i]) << "image " << i;
        }
        many.seek(1);
        many(image);
        EXPECT_EQ(bytesOf(image), s.images[1]);
        many(image);
        EXPECT_EQ(bytesOf(image), s.images[2]);
        many.seek(0);
        many(image);
        EXPECT_EQ(bytesOf(image), s.images[0]);
    }
}

TEST(RasMany, FailuresLeaveTheReaderUsable)
{
    scratch_dir dir;
    const sequenceFile s = makeSequence(dir, false);
    img_io_load_rasMany many(s.path.c_str());
    img_wrap image;
    many.seek(3);  // the partial image
    try {
        many(image);
        ADD_FAILURE() << "partial image read";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), prematureEof(s.path));
    }
    try {
        many.seek(-1);
        ADD_FAILURE() << "negative index accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "img_io_load_rasMany::seek - negative image index -1");
    }
    many.seek(2);
    many(image);
    EXPECT_EQ(bytesOf(image), s.images[2]);
}

TEST(RasMany, ConstructionFailsOnABadFirstHeader)
{
    scratch_dir dir;
    writeFile(dir / "bad.ras", be32(0x59a66a95) + be32(3) + be32(2));
    EXPECT_THROW(img_io_load_rasMany((dir / "bad.ras").c_str()), std::runtime_error);
    EXPECT_THROW(img_io_load_rasMany((dir / "none.ras").c_str()), std::runtime_error);
}

// ---- Header record alone ---------------------------------------------------------

struct hdrFields {
    std::int64_t magic = 0x59a66a95, width = 4, height = 2, depth = 8, length = 0, type = 1, mapType = 0,
                 mapLength = 0;
};

std::string headerBytes(const hdrFields& f)
{
    return be32(f.magic) + be32(f.width) + be32(f.height) + be32(f.depth) + be32(f.length) + be32(f.type) +
           be32(f.mapType) + be32(f.mapLength);
}

struct hdrCase {
    const char* label;
    hdrFields fields;
    std::string failure;         // "" when it passes
    std::int32_t lengthAfter;   // when it passes
};

void PrintTo(const hdrCase& c, std::ostream* os) { *os << c.label; }

std::vector<hdrCase> hdrCases()
{
    std::vector<hdrCase> cases;
    auto add = [&](const char* label, auto change, std::string failure, std::int32_t lengthAfter = 0) {
        hdrFields f;
        change(f);
        cases.push_back({label, f, std::move(failure), lengthAfter});
    };
    const std::string p = "util_ras_hdr::check - ";
    add("zero_length_filled_in", [](hdrFields&) {}, "", 8);
    add("length_given", [](hdrFields& f) { f.length = 8; }, "", 8);
    add("length_7", [](hdrFields& f) { f.length = 7; }, p + "error in ras_length");
    add("colour_map", [](hdrFields& f) { f.mapType = 1, f.mapLength = 768; }, "", 8);
    add("depth_32", [](hdrFields& f) { f.depth = 32; }, "", 32);
    add("type_3", [](hdrFields& f) { f.type = 3; }, "", 8);
    add("bad_magic", [](hdrFields& f) { f.magic = 0x956aa659; }, p + "unknown magic");
    add("magic_checked_first", [](hdrFields& f) { f.magic = 0, f.type = 2, f.width = 3; }, p + "unknown magic");
    add("type_0_old", [](hdrFields& f) { f.type = 0; }, p + "unstandard type");
    add("type_2_run_length", [](hdrFields& f) { f.type = 2; }, p + "unstandard type");
    add("type_4", [](hdrFields& f) { f.type = 4; }, p + "unstandard type");
    add("map_length_767", [](hdrFields& f) { f.mapType = 1, f.mapLength = 767; }, p + "error for RMT_EQUAL_RGB");
    add("map_with_depth_24", [](hdrFields& f) { f.mapType = 1, f.mapLength = 768, f.depth = 24; },
        p + "error for RMT_EQUAL_RGB");
    add("map_type_2", [](hdrFields& f) { f.mapType = 2; }, p + "unknown maptype");
    add("map_type_0_with_length", [](hdrFields& f) { f.mapLength = 768; }, p + "error for RMT_NONE");
    add("odd_width", [](hdrFields& f) { f.width = 3; }, p + "odd width");
    add("negative_odd_width", [](hdrFields& f) { f.width = -3; }, p + "odd width");
    add("negative_width", [](hdrFields& f) { f.width = -4; }, p + "negative size (-4 x 2)");
    add("negative_height", [](hdrFields& f) { f.height = -2; }, p + "negative size (4 x -2)");
    add("depth_1", [](hdrFields& f) { f.depth = 1; }, p + "unsupported depth (1)");
    add("depth_12", [](hdrFields& f) { f.depth = 12; }, p + "unsupported depth (12)");
    add("depth_0", [](hdrFields& f) { f.depth = 0; }, p + "unsupported depth (0)");
    add("depth_minus_8", [](hdrFields& f) { f.depth = -8; }, p + "unsupported depth (-8)");
    add("depth_72", [](hdrFields& f) { f.depth = 72; }, p + "unsupported depth (72)");
    add("size_beyond_32_bits", [](hdrFields& f) { f.width = 65536, f.height = 65536; },
        p + "image size out of range (65536 x 65536 x 1 bytes)");
    add("length_wraps_32_bits", [](hdrFields& f) { f.width = 65536, f.height = 16384, f.depth = 32, f.length = 0; },
        p + "image size out of range (65536 x 16384 x 4 bytes)");
    return cases;
}

class RasHeader : public ::testing::TestWithParam<hdrCase> {};

TEST_P(RasHeader, Check)
{
    const hdrCase& c = GetParam();
    util_ras_hdr header;
    const std::string raw = headerBytes(c.fields);
    std::copy(raw.begin(), raw.end(), header.raw);
    std::string failure;
    try {
        header.check();
    } catch (const std::runtime_error& e) {
        failure = e.what();
    }
    EXPECT_EQ(failure, c.failure);
    if (c.failure.empty()) {
        EXPECT_EQ(header.length(), c.lengthAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, RasHeader, ::testing::ValuesIn(hdrCases()),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(RasHeaderRecord, ConstructorAndInit)
{
    util_ras_hdr header;
    EXPECT_EQ(header.magic(), util_ras_hdr::magicValue);
    EXPECT_EQ(header.rasterType(), 1);
    EXPECT_FALSE(header.hasMap());
    EXPECT_EQ(header.mapLength(), 0);
    header.init(24, 6, 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(header.raw), 32),
              headerBytes({0x59a66a95, 6, 5, 24, 90, 1, 0, 0}));
    for (int depth : {1, 16, 48})
        EXPECT_THROW(header.init(depth, 2, 2), std::runtime_error) << depth;
}

// ---- Files built in memory ---------------------------------------------------------

struct memCase {
    const char* label;
    hdrFields fields;
    std::string map;       // written after the header
    std::string pixels;    // as stored
    int szPixel;           // of the loaded image
    std::string expected;  // its bytes
    std::string failure;   // "@eof": premature end
};

void PrintTo(const memCase& c, std::ostream* os) { *os << c.label; }

std::string colourMap(int differingEntry)
{
    std::string m;
    for (int t = 0; t < 3; ++t)
        for (int i = 0; i < 256; ++i)
            m += static_cast<char>(t == 2 && i == differingEntry ? 7 : 255 - i);
    return m;
}

std::vector<memCase> memCases()
{
    std::vector<memCase> cases;
    const std::string eight = bytes({1, 2, 3, 4, 5, 6, 7, 8});
    const std::string p = "util_ras_hdr::check - ";
    hdrFields f;
    cases.push_back({"grey_rows_reversed", f, "", eight, 1, bytes({5, 6, 7, 8, 1, 2, 3, 4}), ""});
    f.length = 7;
    cases.push_back({"length_mismatch", f, "", eight, 0, "", p + "error in ras_length"});
    f = {};
    f.width = 3;
    cases.push_back({"odd_width", f, "", eight, 0, "", p + "odd width"});

    f = {};
    f.mapType = 1, f.mapLength = 768;
    cases.push_back({"grey_map", f, colourMap(-1), eight, 1, bytes({250, 249, 248, 247, 254, 253, 252, 251}), ""});
    // One blue entry differs, even one no pixel uses: the picture is colour.
    cases.push_back({"colour_map_red_first", f, colourMap(200), eight, 3,
                     bytes({250, 250, 250, 249, 249, 249, 248, 248, 248, 247, 247, 247, 254, 254, 254, 253, 253, 253,
                            252, 252, 252, 251, 251, 251}),
                     ""});
    f.type = 3;
    cases.push_back({"colour_map_ignores_type_3", f, colourMap(4), bytes({4, 0, 0, 0, 0, 0, 0, 0}), 3,
                     std::string(12, '\xff') + bytes({251, 251, 7}) + std::string(9, '\xff'), ""});

    f = {};
    f.width = 2, f.height = 1, f.depth = 24;
    cases.push_back({"rgb24_type1_blue_first", f, "", bytes({10, 20, 30, 40, 50, 60}), 3,
                     bytes({30, 20, 10, 60, 50, 40}), ""});
    f.type = 3;
    cases.push_back({"rgb24_type3_red_first", f, "", bytes({10, 20, 30, 40, 50, 60}), 3,
                     bytes({10, 20, 30, 40, 50, 60}), ""});
    f = {};
    f.width = 2, f.height = 1, f.depth = 32;
    cases.push_back({"depth32_type1", f, "", eight, 4, bytes({3, 2, 1, 4, 7, 6, 5, 8}), ""});
    f.type = 3;
    cases.push_back({"depth32_type3", f, "", eight, 4, eight, ""});
    f = {};
    f.width = 2, f.height = 2, f.depth = 16;
    cases.push_back({"depth16_least_significant_first", f, "", eight, 2, bytes({5, 6, 7, 8, 1, 2, 3, 4}), ""});
    f.depth = 48, f.height = 1, f.width = 2;
    cases.push_back({"depth48", f, "", std::string(12, 'x'), 0, "",
                     "text: img_io_load_ras::operator() - illegal szPixel()"});
    f.depth = 40;
    cases.push_back({"depth40", f, "", std::string(10, 'x'), 0, "", "img_wrap:img_fmt: unsupported pixel size (5)"});
    f.depth = 20;
    cases.push_back({"depth20", f, "", std::string(5, 'x'), 0, "", p + "unsupported depth (20)"});
    f = {};
    f.height = -1;
    cases.push_back({"negative_height", f, "", eight, 0, "", p + "negative size (4 x -1)"});
    f = {};
    f.width = 30000, f.height = 30000, f.mapType = 1, f.mapLength = 768;  // 1 byte fits, 3 do not
    cases.push_back({"colour_map_beyond_32_bits", f, colourMap(0), eight, 0, "",
                     "img_io_load_ras - image size out of range (30000 x 30000 x 3 bytes)"});
    f = {};
    f.width = 40000, f.height = 40000;
    cases.push_back({"large_claim_small_file", f, "", eight, 0, "", "@eof"});
    f = {};
    cases.push_back({"eof_in_pixels", f, "", eight.substr(0, 7), 0, "", "@eof"});
    f.mapType = 1, f.mapLength = 768;
    cases.push_back({"eof_in_map", f, colourMap(-1).substr(0, 700), "", 0, "", "@eof"});
    return cases;
}

class RasInMemory : public ::testing::TestWithParam<memCase> {};

TEST_P(RasInMemory, LoadsOrFailsClearly)
{
    const memCase& c = GetParam();
    scratch_dir dir;
    const std::string file = dir / "x.ras";
    writeFile(file, headerBytes(c.fields) + c.map + c.pixels);
    img_wrap image;
    const std::string failure = loadFailure(file, image);
    if (c.failure.empty()) {
        ASSERT_EQ(failure, "");
        EXPECT_EQ(image.fmt(), img_fmt(std::int32_t(c.fields.width), std::int32_t(c.fields.height), c.szPixel, 0));
        EXPECT_EQ(bytesOf(image), c.expected);
    } else {
        EXPECT_EQ(failure, c.failure == "@eof" ? prematureEof(file) : c.failure);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, RasInMemory, ::testing::ValuesIn(memCases()),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(RasLoad, TruncatedAtEveryLengthFailsWithPrematureEof)
{
    scratch_dir dir;
    hdrFields f;
    f.mapType = 1, f.mapLength = 768;
    const std::string whole = headerBytes(f) + colourMap(9) + noise(8, 60);
    const std::string file = dir / "t.ras";
    for (std::size_t n = 0; n < whole.size(); ++n) {
        writeFile(file, whole.substr(0, n));
        EXPECT_EQ(loadFailure(file), prematureEof(file)) << "length " << n;
    }
    writeFile(file, whole);
    EXPECT_EQ(loadFailure(file), "");
    EXPECT_EQ(loadFailure(dir / "missing.ras"), "img_io_load_ras - can't open " + (dir / "missing.ras"));
}

TEST(RasMany, SizeCountsWholeImagesOnly)
{
    scratch_dir dir;
    const std::string one = headerBytes({}) + bytes({1, 2, 3, 4, 5, 6, 7, 8});  // 40 bytes
    writeFile(dir / "m.ras", one + one + one + one.substr(0, 20));
    img_io_load_rasMany many((dir / "m.ras").c_str());
    EXPECT_EQ(many.size(), 3);
    writeFile(dir / "one.ras", one);
    EXPECT_EQ(img_io_load_rasMany((dir / "one.ras").c_str()).size(), 1);
}

// ---- Writer -------------------------------------------------------------------

TEST(RasSave, GreyAndColourReadBackByImageMagick)
{
    for (int szPixel : {1, 3}) {
        scratch_dir dir;
        const img_wrap image = noiseImage(W, H, szPixel, 70 + szPixel);
        save<img_io_save_ras>(dir / "w.ras", image);
        const std::string written = readFile(dir / "w.ras");
        EXPECT_EQ(written.substr(0, 32), headerBytes({0x59a66a95, W, H, szPixel * 8, W * H * szPixel, 1, 0, 0}));
        const std::string decoded = toolOutput(dir, "/usr/bin/convert '" + (dir / "w.ras") + "' -depth 8 rgb:-");
        std::string expected;
        for (char v : bottomUp(bytesOf(image), W * szPixel))
            expected += szPixel == 1 ? std::string(3, v) : std::string(1, v);
        EXPECT_EQ(decoded, expected) << "szPixel " << szPixel;
    }
}

TEST(RasSave, SixteenBitImageGoesOutAsGreyColour)
{
    scratch_dir dir;
    img_wrap image(img_fmt(2, 1, 2, 0));
    const std::int16_t values[2] = {64 * 100 + 63, -64};  // 100.98 and -1.0
    image.copyBits(values);
    save<img_io_save_ras>(dir / "f.ras", image);
    const std::string decoded = toolOutput(dir, "/usr/bin/convert '" + (dir / "f.ras") + "' -depth 8 rgb:-");
    EXPECT_EQ(decoded, bytes({100, 100, 100, 255, 255, 255}));
}

TEST(RasSave, FourBytePixelsRoundTripByteForByte)
{
    scratch_dir dir;
    img_wrap image(img_fmt(2, 2, 4, 0));  // pix_float
    // The second pixel is a signalling NaN as a float: a float-to-float
    // conversion would set its quiet bit.
    image.copyBits(bytes({1, 2, 3, 4, 0x01, 0x00, 0x80, 0x7f, 9, 10, 11, 12, 13, 14, 15, 16}).data());
    save<img_io_save_ras>(dir / "q.ras", image);
    const std::string written = readFile(dir / "q.ras");
    // Top row first, bytes 0 and 2 exchanged.
    EXPECT_EQ(written.substr(32), bytes({11, 10, 9, 12, 15, 14, 13, 16, 3, 2, 1, 4, 0x80, 0x00, 0x01, 0x7f}));
    img_wrap back;
    ASSERT_EQ(loadFailure(dir / "q.ras", back), "");
    EXPECT_EQ(bytesOf(back), bytesOf(image));
}

TEST(RasSave, RefusedSizes)
{
    scratch_dir dir;
    for (int szPixel : {6, 8}) {
        try {
            save<img_io_save_ras>(dir / "d.ras", img_wrap(img_fmt(2, 2, szPixel, 0)));
            ADD_FAILURE() << szPixel;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "util_ras_hdr::init - unsupported depth");
        }
    }
    // An odd width is written, and refused when read.
    save<img_io_save_ras>(dir / "odd.ras", noiseImage(3, 2, 1, 80));
    EXPECT_EQ(loadFailure(dir / "odd.ras"), "util_ras_hdr::check - odd width");
}

} // namespace
