// Damaged AVI files: truncated at many lengths, with corrupted bytes and
// size fields, with lying indexes. Each must open with a clear failure or
// deliver its frames or fail them with a clear failure: never a crash, a
// hang or a read outside a buffer (run under the sanitizers).
#include "avi_fixture.h"
#include "avi_test_files.h"

#include "tarvo/video/vs_file_avi.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

// Opens and reads every frame; counts what worked. Anything but a
// std::runtime_error escaping fails the test.
struct outcome {
    bool opened = false;
    int frames = 0, failures = 0;
};

outcome openAndRead(const std::string& path)
{
    outcome o;
    testing::internal::CaptureStderr();
    try {
        vs_file_avi source(vs_file_args{path.c_str()});
        o.opened = true;
        img_wrap image;
        for (int k = 0; k < source.size() && k < 64; ++k) {
            source.seek(k);
            try {
                source.getFrame(image);
                ++o.frames;
            } catch (const std::runtime_error&) {
                ++o.failures;
            }
        }
    } catch (const std::runtime_error&) {
    }
    testing::internal::GetCapturedStderr();
    return o;
}

std::string put32(std::string bytes, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4 && at + i < bytes.size(); ++i)
        bytes[at + i] = static_cast<char>(v >> (8 * i));
    return bytes;
}

// Every variant of one good file that the cases below make.
std::vector<std::pair<std::string, std::string>> variants(const std::string& good)
{
    std::vector<std::pair<std::string, std::string>> out;
    const std::size_t n = good.size();
    // Truncations: densely through the headers, then across the data.
    for (std::size_t length = 0; length < std::min<std::size_t>(n, 700); length += 11)
        out.push_back({"truncated at " + std::to_string(length), good.substr(0, length)});
    for (int part = 1; part < 24; ++part)
        out.push_back({"truncated at " + std::to_string(n * part / 24), good.substr(0, n * part / 24)});
    // Corrupted bytes through the headers.
    for (std::size_t at = 0; at < std::min<std::size_t>(n, 400); at += 5) {
        std::string b = good;
        b[at] = static_cast<char>(b[at] ^ 0xFF);
        out.push_back({"byte " + std::to_string(at) + " inverted", b});
    }
    // Size fields of every chunk kind that matters, made to lie.
    for (const char* id : {"RIFF", "LIST", "avih", "strh", "strf", "indx", "movi", "00dc", "ix00", "idx1", "AVIX", "JUNK"})
        for (std::size_t at = good.find(id); at != std::string::npos && at + 8 <= n; at = good.find(id, at + 4))
            for (std::uint32_t v : {0u, 1u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0x80000000u, 41u})
                out.push_back({std::string(id) + " at " + std::to_string(at) + " size " + std::to_string(v),
                               put32(good, at + 4, v)});
    // Lying idx1 entries: offsets beyond the file, sizes too large.
    const std::size_t idx1 = good.rfind("idx1");
    if (idx1 != std::string::npos)
        for (std::size_t e = idx1 + 8; e + 16 <= n && e < idx1 + 8 + 16 * 6; e += 16) {
            out.push_back({"idx1 offset beyond the file", put32(good, e + 8, 0xFFFFFF00u)});
            out.push_back({"idx1 size too large", put32(good, e + 12, 0x7FFFFFF0u)});
            out.push_back({"idx1 size slightly large", put32(good, e + 12, 100000u)});
            out.push_back({"idx1 no key frames", put32(good, e + 4, 0)});
        }
    // The format block's picture fields.
    const std::size_t strf = good.find("strf");
    if (strf != std::string::npos)
        for (std::size_t field : {4u, 8u, 14u, 16u, 0u})
            for (std::uint32_t v : {0u, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 8u, 65536u})
                out.push_back({"strf field " + std::to_string(field) + " = " + std::to_string(v),
                               put32(good, strf + 8 + field, v)});
    return out;
}

struct bad_base {
    const char* name;
    std::function<void(const std::string&)> make;
};

class avi_bad_input : public ::testing::TestWithParam<bad_base> {};

TEST_P(avi_bad_input, neverCrashes)
{
    scratch_dir dir;
    const std::string good = dir / "good.avi";
    GetParam().make(good);
    const outcome reference = openAndRead(good);
    ASSERT_TRUE(reference.opened);
    ASSERT_GT(reference.frames, 0);
    ASSERT_EQ(reference.failures, 0);

    const std::string bytes = readFile(good);
    int opened = 0, refused = 0;
    for (const auto& v : variants(bytes)) {
        writeFile(dir / "bad.avi", v.second);
        SCOPED_TRACE(v.first);
        const outcome o = openAndRead(dir / "bad.avi");
        (o.opened ? opened : refused) += 1;
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(opened, 0);
}

const ffmpeg_avi mjpegFile{"mjpeg", "64x48", 8, "-c:v mjpeg", "bgr24", 3, true, 0};
const ffmpeg_avi mpeg4File{"mpeg4", "64x48", 10, "-c:v mpeg4 -g 4", "bgr24", 3, true, 0};
const ffmpeg_avi rawFile{"raw", "33x7", 5, "-c:v rawvideo -pix_fmt bgr24", "bgr24", 3, true, 0};
const ffmpeg_avi h264File{"h264", "64x48", 10, "-c:v libx264 -preset fast -bf 2 -g 4 -pix_fmt yuv420p", "bgr24",
                          3, true, 0};

INSTANTIATE_TEST_SUITE_P(
    files, avi_bad_input,
    ::testing::Values(bad_base{"mjpeg", [](const std::string& p) { makeAvi(mjpegFile, p); }},
                      bad_base{"mpeg4", [](const std::string& p) { makeAvi(mpeg4File, p); }},
                      bad_base{"h264", [](const std::string& p) { makeAvi(h264File, p); }},
                      bad_base{"raw", [](const std::string& p) { makeAvi(rawFile, p); }},
                      bad_base{"opendml", [](const std::string& p) {
                                   avi_fixture f;
                                   f.index = avi_fixture::opendml;
                                   f.framesPerRiff = 2;
                                   for (int k = 0; k < 5; ++k)
                                       f.frames.push_back(std::string(48, static_cast<char>('a' + k)));
                                   f.write(p);
                               }}),
    [](const ::testing::TestParamInfo<bad_base>& i) { return std::string(i.param.name); });

} // namespace
