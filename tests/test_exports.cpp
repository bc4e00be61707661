// The exported functions, driven through the public header with a test source.
#include "tarvo.h"

#include "tarvo/interface/vs_manager.h"
#include "tarvo/source/registry.h"
#include "tarvo/source/vs_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

int framesDecoded = 0;

// "N.tvs" has N frames; frame p is p + 1 pixels wide, one row, every byte p,
// stamped p * 100 ms. "throw.tvs" fails at construction with a text message.
struct test_video : vs_file {
    static constexpr const char* registryKey = "tvs";
    explicit test_video(const vs_file_args& args) : name(args.name), frames(std::atoi(args.name))
    {
        if (name == "throw.tvs")
            throw "test_video - refused by a text message";
        if (name == "bad.tvs")
            throw std::runtime_error("test_video - refused");
    }
    const char* asciiDescriptor() const override { return name.c_str(); }
    const char* typeName() const override { return registryKey; }
    std::int32_t size() const override { return frames; }
    double fps() const override { return 25.0; }
    const img_fmt& format() const override { return f; }
    std::int32_t timestamp() const override { return cur * 100; }
    void getFrame(img_wrap& image) override
    {
        if (cur == 13)
            throw "test_video - frame 13 fails with a text message";
        ++framesDecoded;
        image.reformat(img_fmt(cur + 1, 1, 1, 0));
        std::memset(image.bits(), cur, static_cast<std::size_t>(image.fmt().szImage()));
    }
    std::string name;
    std::int32_t frames;
    img_fmt f{1, 1, 1, 0};
};

util::RegistryCreator<vs_file, test_video> testVideoCreator;

const std::string reportHead = "ext_tarvo_interface: caught exception in library object:\n";

std::string report(const std::string& message) { return reportHead + message + "\n\n"; }

struct Exports : testing::Test {
    void SetUp() override { testing::internal::CaptureStderr(); }
    std::string stderrText() { return testing::internal::GetCapturedStderr(); }
};

} // namespace

// Runs first: handle numbers start at 0 in a fresh process.
TEST_F(Exports, HandlesAreNumberedInOrderAndNeverReused)
{
    EXPECT_EQ(ext_tarvo_createVSFile("3.tvs"), 0);
    EXPECT_EQ(ext_tarvo_createVSFile("3.tvs"), 1);
    EXPECT_EQ(ext_tarvo_destroy(0), 0);
    EXPECT_EQ(ext_tarvo_createVSFile("bad.tvs"), -1);  // consumes no number
    EXPECT_EQ(ext_tarvo_createVSFile("3.tvs"), 2);
    EXPECT_EQ(ext_tarvo_size(0), 0);                   // destroyed
    EXPECT_EQ(ext_tarvo_destroy(1), 0);
    EXPECT_EQ(ext_tarvo_destroy(2), 0);
    stderrText();
}

TEST_F(Exports, CreationWritesTheEntryLineThenTheReport)
{
    EXPECT_EQ(ext_tarvo_createVSFile("bad.tvs"), -1);
    EXPECT_EQ(ext_tarvo_createVSFile("throw.tvs"), -1);
    EXPECT_EQ(stderrText(), "ext_tarvo_createVSFile: bad.tvs\n" + report("test_video - refused") +
                                "ext_tarvo_createVSFile: throw.tvs\n" +
                                report("test_video - refused by a text message"));
}

TEST_F(Exports, GrabCreationIsUnsupported)
{
    EXPECT_EQ(ext_tarvo_createVSGrab("test"), -1);
    EXPECT_EQ(ext_tarvo_createVSGrab(nullptr), -1);
    EXPECT_EQ(stderrText(), report("ext_tarvo_createGrab: unsupported operation") +
                                report("ext_tarvo_createGrab: unsupported operation"));
}

TEST_F(Exports, UnknownHandlesGiveTheFailureValues)
{
    ext_tarvo_fmt f;
    unsigned char buffer[4];
    ext_tarvo_frame frame = {buffer, 0};
    for (int32_t handle : {-1, 12345}) {
        EXPECT_EQ(ext_tarvo_getFmt(handle, &f), -1);
        EXPECT_EQ(ext_tarvo_getFrame(handle, &frame), -1);
        EXPECT_EQ(ext_tarvo_seek(handle, 0), -1);
        EXPECT_EQ(ext_tarvo_tell(handle), -1);
        EXPECT_EQ(ext_tarvo_fps(handle), 0.0);
        EXPECT_EQ(ext_tarvo_size(handle), 0);
        EXPECT_STREQ(ext_tarvo_type(handle), "<none>");
        EXPECT_STREQ(ext_tarvo_asciiDescriptor(handle), "<none>");
    }
    std::string expected;
    for (int i = 0; i < 16; ++i)
        expected += report("VSManager::get - illegal index");
    EXPECT_EQ(stderrText(), expected);
}

TEST_F(Exports, DestroyingUnknownHandlesSucceedsSilently)
{
    const int32_t h = ext_tarvo_createVSFile("2.tvs");
    stderrText();
    testing::internal::CaptureStderr();
    EXPECT_EQ(ext_tarvo_destroy(h), 0);
    EXPECT_EQ(ext_tarvo_destroy(h), 0);
    EXPECT_EQ(ext_tarvo_destroy(987654), 0);
    EXPECT_EQ(stderrText(), "");
}

TEST_F(Exports, NullPointersGiveTheUniformFailure)
{
    EXPECT_EQ(ext_tarvo_createVSFile(nullptr), -1);
    const int32_t h = ext_tarvo_createVSFile("2.tvs");
    EXPECT_EQ(ext_tarvo_getFmt(h, nullptr), -1);
    EXPECT_EQ(ext_tarvo_getFrame(h, nullptr), -1);
    ext_tarvo_frame noBuffer = {nullptr, 0};
    EXPECT_EQ(ext_tarvo_getFrame(h, &noBuffer), -1);
    ext_tarvo_destroy(h);
    EXPECT_EQ(stderrText(), "ext_tarvo_createVSFile: (null)\n" + report("ext_tarvo_createVSFile - got a null name") +
                                "ext_tarvo_createVSFile: 2.tvs\n" +
                                report("ext_tarvo_getFmt - got a null record pointer") +
                                report("ext_tarvo_getFrame - got a null record pointer") +
                                report("ext_tarvo_getFrame - got a null frame buffer"));
}

TEST_F(Exports, QueriesAnswerFromTheSource)
{
    const int32_t h = ext_tarvo_createVSFile("10.tvs");
    EXPECT_EQ(ext_tarvo_size(h), 10);
    EXPECT_EQ(ext_tarvo_fps(h), 25.0);
    EXPECT_STREQ(ext_tarvo_type(h), "tvs");
    EXPECT_STREQ(ext_tarvo_asciiDescriptor(h), "10.tvs");
    const struct { int32_t to, at; } seeks[] = {{3, 3}, {10, 0}, {-1, 9}, {-11, 9}, {23, 3}};
    for (const auto& s : seeks) {
        EXPECT_EQ(ext_tarvo_seek(h, s.to), 0);
        EXPECT_EQ(ext_tarvo_tell(h), s.at) << s.to;
    }
    ext_tarvo_destroy(h);
    stderrText();
}

TEST_F(Exports, FormatQueryFetchesTheFrameThatGetFrameHandsOut)
{
    const int32_t h = ext_tarvo_createVSFile("10.tvs");
    std::vector<unsigned char> buffer(16, 0xEE);
    ext_tarvo_frame frame = {buffer.data(), -1};
    ext_tarvo_fmt f = {};

    framesDecoded = 0;
    ext_tarvo_seek(h, 2);
    EXPECT_EQ(ext_tarvo_getFmt(h, &f), 0);
    EXPECT_EQ(f.width, 3);
    EXPECT_EQ(f.height, 1);
    EXPECT_EQ(f.szPixel, 1);
    EXPECT_EQ(f.szLine, 3);
    EXPECT_EQ(ext_tarvo_getFrame(h, &frame), 0);
    EXPECT_EQ(framesDecoded, 1);  // handed out the fetched frame
    EXPECT_EQ(ext_tarvo_getFrame(h, &frame), 0);
    EXPECT_EQ(framesDecoded, 2);  // then decodes anew: the same frame
    EXPECT_EQ(buffer[2], 2);
    EXPECT_EQ(frame.msDayUtc, 200);

    // getFmt, seek, getFrame: the old position's frame with the new position's stamp
    EXPECT_EQ(ext_tarvo_getFmt(h, &f), 0);
    ext_tarvo_seek(h, 5);
    std::fill(buffer.begin(), buffer.end(), 0xEE);
    EXPECT_EQ(ext_tarvo_getFrame(h, &frame), 0);
    EXPECT_EQ(buffer[0], 2);
    EXPECT_EQ(buffer[3], 0xEE);  // copy length follows the frame delivered (3 bytes)
    EXPECT_EQ(frame.msDayUtc, 500);
    EXPECT_EQ(ext_tarvo_getFrame(h, &frame), 0);
    EXPECT_EQ(buffer[5], 5);
    EXPECT_EQ(buffer[6], 0xEE);
    ext_tarvo_destroy(h);
    stderrText();
}

TEST_F(Exports, AFailedFrameLeavesTheHandleOpen)
{
    const int32_t h = ext_tarvo_createVSFile("20.tvs");
    unsigned char buffer[32];
    ext_tarvo_frame frame = {buffer, 0};
    ext_tarvo_seek(h, 13);
    EXPECT_EQ(ext_tarvo_getFrame(h, &frame), -1);  // text messages are unknown here
    EXPECT_EQ(ext_tarvo_seek(h, 14), 0);
    EXPECT_EQ(ext_tarvo_getFrame(h, &frame), 0);
    EXPECT_EQ(buffer[0], 14);
    ext_tarvo_destroy(h);
    EXPECT_EQ(stderrText(), "ext_tarvo_createVSFile: 20.tvs\n" + report("unknown exception"));
}

TEST_F(Exports, SeekOnASourceWithoutFramesFails)
{
    const int32_t h = ext_tarvo_createVSFile("0.tvs");
    EXPECT_EQ(ext_tarvo_seek(h, 0), -1);
    ext_tarvo_destroy(h);
    EXPECT_EQ(stderrText(), "ext_tarvo_createVSFile: 0.tvs\n" + report("vs_base::seek - source has no frames"));
}

TEST(HandleTable, RefusesToRunPastTheLargestHandle)
{
    VSManager table(VSManager::lastHandle);
    EXPECT_EQ(table.create(VSEntry(new test_video(vs_file_args{"1.tvs"}))), VSManager::lastHandle);
    try {
        table.create(VSEntry(new test_video(vs_file_args{"1.tvs"})));
        ADD_FAILURE();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "VSManager::create - all handle numbers are used up");
    }
    EXPECT_EQ(table.get(VSManager::lastHandle).source->size(), 1);
}
