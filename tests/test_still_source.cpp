// Still images end to end through the exported functions, and the readers'
// robustness against truncated and corrupted real files.
#include "still_test_util.h"

#include "tarvo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

// ---- End to end ----------------------------------------------------------------

struct e2eCase {
    const char* label;
    const char* file;
    const char* command;  // from src.ppm
    int width, height;
};

void PrintTo(const e2eCase& c, std::ostream* os) { *os << c.label; }

const e2eCase e2eCases[] = {
    {"bmp_24", "a.bmp", "ffmpeg -v error -y -i src.ppm -pix_fmt bgr24 -c:v bmp a.bmp", 13, 7},
    {"ppm", "a.ppm", "cp src.ppm a.ppm", 13, 7},
    {"ras_24", "a.ras", "ffmpeg -v error -y -i src.ppm -pix_fmt bgr24 -c:v sunrast -rle 0 a.ras", 14, 7},
};

class StillEndToEnd : public ::testing::TestWithParam<e2eCase> {};

TEST_P(StillEndToEnd, DeliversTheToolsPixelsThroughTheExports)
{
    const e2eCase& c = GetParam();
    scratch_dir dir;
    writeFile(dir / "src.rgb", noise(std::size_t(c.width) * c.height * 3, 90));
    runTool("cd '" + dir.path() + "' && rawtoppm " + std::to_string(c.width) + " " + std::to_string(c.height) +
            " src.rgb > src.ppm && " + c.command);
    const std::string file = dir / c.file;
    const std::string decoded = toolOutput(dir, std::string(imConvert()) + " '" + file + "' -depth 8 rgb:-");
    const std::string expected = bottomUp(decoded, std::size_t(c.width) * 3);

    const int32_t handle = ext_tarvo_createVSFile(file.c_str());
    ASSERT_GE(handle, 0);
    EXPECT_EQ(ext_tarvo_size(handle), 1);
    EXPECT_STREQ(ext_tarvo_type(handle), "null");
    EXPECT_STREQ(ext_tarvo_asciiDescriptor(handle), file.c_str());
    ext_tarvo_fmt format{};
    ASSERT_EQ(ext_tarvo_getFmt(handle, &format), 0);
    EXPECT_EQ(format.width, c.width);
    EXPECT_EQ(format.height, c.height);
    EXPECT_EQ(format.szPixel, 3);
    EXPECT_EQ(format.szLine, c.width * 3);
    std::vector<unsigned char> buffer(expected.size(), 0);
    ext_tarvo_frame frame{buffer.data(), -1};
    ASSERT_EQ(ext_tarvo_getFrame(handle, &frame), 0);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), expected);
    EXPECT_EQ(frame.msDayUtc, 0);
    EXPECT_EQ(ext_tarvo_destroy(handle), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, StillEndToEnd, ::testing::ValuesIn(e2eCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(StillEndToEnd, BadFileIsRefusedAtCreation)
{
    scratch_dir dir;
    writeFile(dir / "bad.bmp", "BM");
    EXPECT_EQ(ext_tarvo_createVSFile((dir / "bad.bmp").c_str()), -1);
    writeFile(dir / "bad.ras", be32(0x59a66a95) + be32(2) + be32(2) + be32(48) + be32(0) + be32(1) + be32(0) +
                                   be32(0) + std::string(24, 'x'));
    EXPECT_EQ(ext_tarvo_createVSFile((dir / "bad.ras").c_str()), -1);  // the character-string failure
}

// ---- Robustness ---------------------------------------------------------------------

struct fuzzCase {
    const char* label;
    const char* file;
    const char* command;  // from src.ppm (14 x 6)
};

void PrintTo(const fuzzCase& c, std::ostream* os) { *os << c.label; }

const fuzzCase fuzzCases[] = {
    {"bmp_palette", "a.bmp", "ffmpeg -v error -y -i src.ppm -pix_fmt pal8 -c:v bmp a.bmp"},
    {"bmp_16", "a.bmp", "ffmpeg -v error -y -i src.ppm -pix_fmt rgb565le -c:v bmp a.bmp"},
    {"bmp_24", "a.bmp", "ppmtobmp -bpp 24 src.ppm > a.bmp"},
    {"bmp_32", "a.bmp", "ffmpeg -v error -y -i src.ppm -pix_fmt bgra -c:v bmp a.bmp"},
    {"ppm", "a.ppm", "cp src.ppm a.ppm"},
    {"pgm", "a.pgm", "ppmtopgm src.ppm > a.pgm"},
    {"ras_colour_map", "a.ras", "ffmpeg -v error -y -i src.ppm -pix_fmt pal8 -c:v sunrast -rle 0 a.ras"},
    {"ras_24", "a.ras", "/usr/bin/convert src.ppm a.ras"},
};

// Loads and reports whether it ended in a failure the exports can report;
// anything else (another exception type, a crash under the sanitizers) fails.
void loadSurvives(const std::string& file, const std::string& what)
{
    img_wrap image;
    try {
        img_io_load_util::load(file.c_str(), image);
        ASSERT_NE(image.rawBits(), nullptr) << what;
        ASSERT_GE(image.fmt().szImage(), 0) << what;
    } catch (const std::exception& e) {
        ASSERT_NE(std::strlen(e.what()), 0u) << what;
    } catch (const char* text) {
        ASSERT_NE(std::strlen(text), 0u) << what;
    }
}

class StillRobustness : public ::testing::TestWithParam<fuzzCase> {};

TEST_P(StillRobustness, TruncationsAndCorruptionsEndCleanly)
{
    const fuzzCase& c = GetParam();
    scratch_dir dir;
    writeFile(dir / "src.rgb", noise(14 * 6 * 3, 91));
    runTool("cd '" + dir.path() + "' && rawtoppm 14 6 src.rgb > src.ppm && " + c.command);
    const std::string original = readFile(dir / c.file);
    ASSERT_GT(original.size(), 32u);
    ASSERT_EQ(loadFailure(dir / c.file), "");
    const std::string file = dir / (std::string("f") + c.file);

    for (std::size_t n = 0; n < original.size(); ++n) {
        writeFile(file, original.substr(0, n));
        loadSurvives(file, "truncated to " + std::to_string(n));
        if (HasFatalFailure())
            return;
    }
    // Extreme values over every 32-bit field of the headers.
    const std::int64_t extremes[] = {0, 1, -1, 0x7fffffff, 0x80000000LL, 0x40000001, 65536};
    for (std::size_t at = 0; at + 4 <= std::min<std::size_t>(original.size(), 64); at += 2)
        for (std::int64_t v : extremes) {
            std::string bad = original;
            bad.replace(at, 4, le32(v));
            writeFile(file, bad);
            loadSurvives(file, "value " + std::to_string(v) + " at " + std::to_string(at));
            bad.replace(at, 4, be32(v));
            writeFile(file, bad);
            loadSurvives(file, "value " + std::to_string(v) + " (big-endian) at " + std::to_string(at));
            if (HasFatalFailure())
                return;
        }
    // Random bytes, mostly in the headers.
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        std::string bad = original;
        const int changes = 1 + int(random() % 4);
        for (int k = 0; k < changes; ++k) {
            const std::size_t limit = random() % 4 == 0 ? bad.size() : std::min<std::size_t>(bad.size(), 64);
            bad[random() % limit] = static_cast<char>(random());
        }
        writeFile(file, bad);
        loadSurvives(file, "round " + std::to_string(round));
        if (HasFatalFailure())
            return;
    }
}

INSTANTIATE_TEST_SUITE_P(RealFiles, StillRobustness, ::testing::ValuesIn(fuzzCases),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
