// The AVI file source on files made by ffmpeg, compared with ffmpeg's own
// decode of the same files; its failures, diagnostic line, rate and times.
#include "avi_fixture.h"
#include "avi_test_files.h"

#include "tarvo.h"
#include "platform/vfw.h"
#include "tarvo/video/vs_file_avi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>

namespace {

std::string frameBytes(vs_file_avi& source, int position)
{
    img_wrap image;
    source.seek(position);
    source.getFrame(image);
    return std::string(reinterpret_cast<const char*>(image.rawBits()), static_cast<std::size_t>(image.fmt().szImage()));
}

std::unique_ptr<vs_file_avi> open(const std::string& path)
{
    testing::internal::CaptureStderr();
    try {
        std::unique_ptr<vs_file_avi> source(new vs_file_avi(vs_file_args{path.c_str()}));
        testing::internal::GetCapturedStderr();
        return source;
    } catch (...) {
        testing::internal::GetCapturedStderr();
        throw;
    }
}

// Removes the idx1 chunk (and everything after it) from a file ffmpeg wrote.
void dropIdx1(const std::string& path)
{
    std::string bytes = readFile(path);
    const std::size_t at = bytes.rfind("idx1");
    ASSERT_NE(at, std::string::npos);
    writeFile(path, bytes.substr(0, at));
}

// Scrambles the offsets of idx1 so that none points at its chunk.
void scrambleIdx1(const std::string& path)
{
    std::string bytes = readFile(path);
    const std::size_t at = bytes.rfind("idx1");
    ASSERT_NE(at, std::string::npos);
    for (std::size_t e = at + 8; e + 16 <= bytes.size(); e += 16)
        bytes[e + 9] = static_cast<char>(bytes[e + 9] ^ 0x5A);
    writeFile(path, bytes);
}

} // namespace

const ffmpeg_avi ffmpegCases[] = {
    {"bgr24", "321x37", 12, "-c:v rawvideo -pix_fmt bgr24", "bgr24", 3, true, 0},
    {"bgr24_bottom_up", "321x37", 6, "-vf vflip -c:v rawvideo -pix_fmt bgr24 -flipped_raw_rgb 1", "bgr24", 3, true, 0},
    {"bgra", "321x37", 6, "-c:v rawvideo -pix_fmt bgra", "bgra", 4, true, 0},
    {"pal8", "321x37", 6, "-c:v rawvideo -pix_fmt pal8", "pal8", 1, false, 1024},
    {"rgb555", "321x37", 6, "-c:v rawvideo -pix_fmt rgb555le", "rgb555le", 2, false, 0},
    {"rgb555_bottom_up", "321x37", 6, "-vf vflip -c:v rawvideo -pix_fmt rgb555le -flipped_raw_rgb 1", "rgb555le", 2,
     false, 0},
    {"gray_y800", "321x37", 6, "-c:v rawvideo -pix_fmt gray", "gray", 1, false, 0},
    {"mjpeg", "321x37", 12, "-c:v mjpeg -q:v 4", "bgr24", 3, true, 0},
    {"mpeg4", "321x37", 40, "-c:v mpeg4 -g 12", "bgr24", 3, true, 0},
    {"mpeg4_bframes", "320x36", 40, "-c:v mpeg4 -g 12 -bf 2 -flags +cgop -sc_threshold 1000000000", "bgr24", 3,
     true, 0},
    {"h264_bframes", "322x38", 40, "-c:v libx264 -preset fast -bf 3 -g 12 -pix_fmt yuv420p", "bgr24", 3, true, 0},
};

class avi_ffmpeg_files : public ::testing::TestWithParam<ffmpeg_avi> {
protected:
    void check(const std::string& path, const std::vector<std::string>& expected)
    {
        std::unique_ptr<vs_file_avi> source = open(path);
        ASSERT_EQ(source->size(), static_cast<std::int32_t>(expected.size()));
        // In order, then every position in a shuffled order, then in order again.
        std::vector<int> order(expected.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
        std::vector<int> shuffled = order;
        std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
        for (const auto* pass : {&order, &shuffled, &order})
            for (int k : *pass)
                ASSERT_TRUE(frameBytes(*source, k) == expected[static_cast<std::size_t>(k)])
                    << GetParam().name << ": frame " << k << " differs from ffmpeg's";
    }
};

TEST_P(avi_ffmpeg_files, framesEqualFfmpegsDecode)
{
    scratch_dir dir;
    const std::string path = dir / "f.avi";
    makeAvi(GetParam(), path);
    std::unique_ptr<vs_file_avi> source = open(path);
    const img_fmt f = source->format();
    EXPECT_EQ(f.szPixel(), GetParam().szPixel);
    EXPECT_EQ(f.szLine(), f.width() * f.szPixel());
    EXPECT_EQ(std::to_string(f.width()) + "x" + std::to_string(f.height()), GetParam().size);
    EXPECT_DOUBLE_EQ(source->fps(), 30000.0 / 1001.0);
    source.reset();

    const std::vector<std::string> expected = ffmpegFrames(GetParam(), path, f.width(), f.height());
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(GetParam().frames));
    check(path, expected);
}

// Without its index, or with a damaged one, the file is scanned: same frames.
TEST_P(avi_ffmpeg_files, framesWithoutUsableIndex)
{
    scratch_dir dir;
    const std::string path = dir / "f.avi";
    makeAvi(GetParam(), path);
    std::unique_ptr<vs_file_avi> source = open(path);
    const img_fmt f = source->format();
    source.reset();
    const std::vector<std::string> expected = ffmpegFrames(GetParam(), path, f.width(), f.height());

    const std::string bytes = readFile(path);
    dropIdx1(path);
    check(path, expected);
    writeFile(path, bytes);
    scrambleIdx1(path);
    check(path, expected);
}

INSTANTIATE_TEST_SUITE_P(files, avi_ffmpeg_files, ::testing::ValuesIn(ffmpegCases),
                         [](const ::testing::TestParamInfo<ffmpeg_avi>& i) { return std::string(i.param.name); });

TEST(avi_source, timestampsAndRate)
{
    scratch_dir dir;
    makeAvi(ffmpegCases[0], dir / "t.avi");
    std::unique_ptr<vs_file_avi> source = open(dir / "t.avi");
    EXPECT_STREQ(source->type(), "avi");
    EXPECT_STREQ(source->typeName(), "avi");
    EXPECT_EQ(std::string(source->asciiDescriptor()), dir / "t.avi");
    EXPECT_NEAR(source->fps(), 29.97, 0.001);
    for (int k = 0; k < source->size(); ++k) {
        source->seek(k);
        // k frames of 1001/30000 s, in milliseconds rounded to the nearest
        EXPECT_EQ(source->timestamp(), (k * 1001000 + 15000) / 30000) << "position " << k;
    }
}

// Opening writes one line: the open call's result, then the two constants.
struct opening_case {
    const char* name;
    std::function<void(const scratch_dir&, const std::string&)> make;
    const char* line;
    const char* message;  // null: opens
};

TEST(avi_source, everyOpeningWritesItsLineAndEveryFailureItsMessage)
{
    auto fixture = [](auto change) {
        return [change](const scratch_dir&, const std::string& path) {
            avi_fixture f;
            f.frames = {std::string(48, 'x')};
            change(f);
            f.write(path);
        };
    };
    const opening_case cases[] = {
        {"ffmpeg file", [](const scratch_dir&, const std::string& p) { makeAvi(ffmpegCases[7], p); },
         "0:-2147205018,-2147221164\n", nullptr},
        {"text file", [](const scratch_dir&, const std::string& p) { writeFile(p, "no video in here\n"); },
         "-2147205018:-2147205018,-2147221164\n", "util::AviRead::AviRead - can't open AVI file!"},
        {"missing file", [](const scratch_dir&, const std::string&) {}, "-2147205009:-2147205018,-2147221164\n",
         "util::AviRead::AviRead - can't open AVI file!"},
        {"audio only",
         [](const scratch_dir&, const std::string& p) {
             runTool("ffmpeg -nostdin -v error -y -f lavfi -i sine=duration=0.2 -c:a pcm_s16le '" + p + "'");
         },
         "0:-2147205018,-2147221164\n", "util::AviRead::AviRead - can't open stream!"},
        {"unknown codec", fixture([](avi_fixture& f) { f.compression = mmioFOURCC('Z', 'Z', 'Z', '9'); }),
         "0:-2147205018,-2147221164\n", "util::AviRead::AviRead - can't initialise stream frame"},
        {"format block of 1069 bytes", fixture([](avi_fixture& f) { f.formatExtra.assign(1029, '\0'); }),
         "0:-2147205018,-2147221164\n", "util::AviRead::AviRead - unsupported format size!"},
        {"format block of 1068 bytes", fixture([](avi_fixture& f) { f.formatExtra.assign(1028, '\0'); }),
         "0:-2147205018,-2147221164\n", nullptr},
        {"108-byte header", fixture([](avi_fixture& f) { f.biSize = 108; f.formatExtra.assign(68, '\0'); }),
         "0:-2147205018,-2147221164\n", "util_bmp_BIH::check - unsupported format"},
        {"two planes", fixture([](avi_fixture& f) { f.planes = 2; }), "0:-2147205018,-2147221164\n",
         "util_bmp_BIH::check - unsupported format"},
    };
    for (const auto& c : cases) {
        scratch_dir dir;
        const std::string path = dir / "o.avi";
        c.make(dir, path);
        testing::internal::CaptureStderr();
        std::string message;
        try {
            vs_file_avi source(vs_file_args{path.c_str()});
        } catch (const std::runtime_error& e) {
            message = e.what();
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.line) << c.name;
        EXPECT_EQ(message, c.message ? c.message : "") << c.name;
    }
}

TEST(avi_source, streamWithoutRateHasNoFpsAndTimesZero)
{
    scratch_dir dir;
    avi_fixture f;
    f.frames = {std::string(48, 'a'), std::string(48, 'b')};
    f.rate = 0;
    f.write(dir / "z.avi");
    std::unique_ptr<vs_file_avi> source = open(dir / "z.avi");
    EXPECT_EQ(source->fps(), 0.0);
    source->seek(1);
    EXPECT_EQ(source->timestamp(), 0);
    EXPECT_EQ(frameBytes(*source, 1).substr(0, 3), "bbb");

    f.rate = 25;
    f.scale = 0;
    f.write(dir / "s.avi");
    EXPECT_EQ(open(dir / "s.avi")->fps(), 0.0);
}

// Position 0 is the stream's first sample, whatever number the stream gives it.
TEST(avi_source, streamStartIsPositionZero)
{
    scratch_dir dir;
    avi_fixture f;
    for (char c : {'a', 'b', 'c'})
        f.frames.push_back(std::string(48, c));
    f.start = 2;
    f.write(dir / "s.avi");
    std::unique_ptr<vs_file_avi> source = open(dir / "s.avi");
    ASSERT_EQ(source->size(), 3);
    EXPECT_EQ(frameBytes(*source, 0)[0], 'a');
    EXPECT_EQ(frameBytes(*source, 2)[0], 'c');

    f.start = 0x80000000u;  // read as a negative start: every position before sample 0
    f.write(dir / "n.avi");
    source = open(dir / "n.avi");
    img_wrap image;
    try {
        source->getFrame(image);
        FAIL() << "a negative sample was delivered";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("before the stream's first"), std::string::npos) << e.what();
    }
}

TEST(avi_source, missingPictureNamesTheSample)
{
    scratch_dir dir;
    avi_fixture f;
    f.frames = {std::string(48, 'a'), std::string(20, 'b')};  // too short for a picture
    f.write(dir / "m.avi");
    std::unique_ptr<vs_file_avi> source = open(dir / "m.avi");
    EXPECT_EQ(frameBytes(*source, 0)[0], 'a');
    source->seek(1);
    img_wrap image;
    try {
        source->getFrame(image);
        FAIL() << "a picture came from a short chunk";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "util::AviRead::getFrame - the decoder yields no picture for sample 1");
    }
}

// Pixels (blue, green, red) come red first, rows bottom first, padding skipped.
TEST(avi_source, rowLayoutOfAStoredPicture)
{
    scratch_dir dir;
    avi_fixture f;
    f.width = 2;
    f.height = 2;
    // bottom row: (1,2,3) (4,5,6) + 2 padding; top row: (7,8,9) (10,11,12) + padding
    f.frames = {std::string("\1\2\3\4\5\6\xEE\xEE\7\x8\x9\xA\xB\xC\xEE\xEE", 16)};
    f.write(dir / "p.avi");
    EXPECT_EQ(frameBytes(*open(dir / "p.avi"), 0), std::string("\3\2\1\6\5\4\x9\x8\7\xC\xB\xA", 12));

    f.height = -2;  // stored top row first: delivered bottom row first all the same
    f.write(dir / "q.avi");
    std::unique_ptr<vs_file_avi> topDown = open(dir / "q.avi");
    EXPECT_EQ(topDown->format().height(), 2);
    EXPECT_EQ(frameBytes(*topDown, 0), std::string("\x9\x8\7\xC\xB\xA\3\2\1\6\5\4", 12));

    f.height = 2;
    f.bitCount = 32;
    f.frames = {std::string("\1\2\3\4\5\6\7\x8\x9\xA\xB\xC\xD\xE\xF\x10", 16)};
    f.write(dir / "r.avi");
    EXPECT_EQ(frameBytes(*open(dir / "r.avi"), 0), std::string("\3\2\1\4\7\6\5\x8\xB\xA\x9\xC\xF\xE\xD\x10", 16));
}

// Through the exported functions, as a caller of the library sees it.
TEST(avi_source, throughTheExports)
{
    scratch_dir dir;
    const std::string path = dir / "e.avi";
    makeAvi(ffmpegCases[0], path);
    const std::vector<std::string> expected = ffmpegFrames(ffmpegCases[0], path, 321, 37);

    testing::internal::CaptureStderr();
    const int32_t handle = ext_tarvo_createVSFile(path.c_str());
    const std::string log = testing::internal::GetCapturedStderr();
    ASSERT_GE(handle, 0) << log;
    EXPECT_EQ(log, "ext_tarvo_createVSFile: " + path + "\n0:-2147205018,-2147221164\n");
    EXPECT_STREQ(ext_tarvo_type(handle), "avi");
    EXPECT_EQ(std::string(ext_tarvo_asciiDescriptor(handle)), path);
    EXPECT_EQ(ext_tarvo_size(handle), 12);
    EXPECT_DOUBLE_EQ(ext_tarvo_fps(handle), 30000.0 / 1001.0);
    ext_tarvo_fmt format;
    ASSERT_EQ(ext_tarvo_getFmt(handle, &format), 0);
    EXPECT_EQ(format.width, 321);
    EXPECT_EQ(format.height, 37);
    EXPECT_EQ(format.szPixel, 3);
    EXPECT_EQ(format.szLine, 963);
    std::vector<unsigned char> buffer(963 * 37);
    for (int32_t position : {0, 5, -1, 3}) {
        ASSERT_EQ(ext_tarvo_seek(handle, position), 0);
        ext_tarvo_frame frame{buffer.data(), -7};
        ASSERT_EQ(ext_tarvo_getFrame(handle, &frame), 0);
        const int k = position < 0 ? 11 : position;
        EXPECT_TRUE(std::string(buffer.begin(), buffer.end()) == expected[static_cast<std::size_t>(k)]) << k;
        EXPECT_EQ(frame.msDayUtc, (k * 1001000 + 15000) / 30000);
    }
    EXPECT_EQ(ext_tarvo_destroy(handle), 0);

    testing::internal::CaptureStderr();
    EXPECT_EQ(ext_tarvo_createVSFile((dir / "nothing.avi").c_str()), -1);
    const std::string failure = testing::internal::GetCapturedStderr();
    EXPECT_NE(failure.find("util::AviRead::AviRead - can't open AVI file!"), std::string::npos) << failure;
}
