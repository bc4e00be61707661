// The AVI file layer: container reading with every kind of index, the
// stream calls and their result codes, and the frame decoder's bitmaps.
#include "avi_fixture.h"
#include "test_files.h"

#include "platform/avi_container.h"
#include "platform/vfw.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

// Distinct bytes for every frame.
std::string pattern(std::size_t bytes, int frame)
{
    std::string s(bytes, '\0');
    for (std::size_t i = 0; i < bytes; ++i)
        s[i] = static_cast<char>((frame * 31 + i * 7 + 1) & 0xFF);
    return s;
}

avi_fixture rawFixture(int frames)
{
    avi_fixture f;  // 5 x 3, 24 bits: rows of 15 bytes padded to 16
    for (int k = 0; k < frames; ++k)
        f.frames.push_back(pattern(16 * 3, k));
    return f;
}

// File, first video stream and decoder, released in the right order.
struct opened {
    explicit opened(const std::string& path)
    {
        result = AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr);
        if (result == AVIERR_OK)
            result = AVIFileGetStream(file, &stream, streamtypeVIDEO, 0);
        if (result == AVIERR_OK)
            frame = AVIStreamGetFrameOpen(stream, nullptr);
    }
    ~opened()
    {
        if (frame)
            AVIStreamGetFrameClose(frame);
        if (stream)
            AVIStreamRelease(stream);
        if (file)
            AVIFileRelease(file);
    }
    // The pixel bytes of the bitmap of `sample`, or "" if there is none.
    std::string pixels(LONG sample, std::size_t headerBytes = 40, std::size_t imageBytes = 48)
    {
        const auto* bitmap = static_cast<const char*>(AVIStreamGetFrame(frame, sample));
        return bitmap ? std::string(bitmap + headerBytes, imageBytes) : std::string();
    }

    HRESULT result;
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    PGETFRAME frame = nullptr;
};

} // namespace

TEST(avi_layer, resultCodesHaveTheirWindowsValues)
{
    EXPECT_EQ(AVIERR_OK, 0);
    EXPECT_EQ(AVIERR_BADFORMAT, -2147205018);
    EXPECT_EQ(REGDB_E_CLASSNOTREG, -2147221164);
    EXPECT_EQ(AVIERR_FILEOPEN, static_cast<HRESULT>(0x8004406Fu));
    EXPECT_EQ(AVIERR_FILEREAD, static_cast<HRESULT>(0x8004406Du));
    EXPECT_EQ(AVIERR_NODATA, static_cast<HRESULT>(0x80044073u));
    EXPECT_EQ(AVIERR_MEMORY, static_cast<HRESULT>(0x80044067u));
    EXPECT_EQ(sizeof(AVISTREAMINFOA), 140u);
    EXPECT_EQ(streamtypeVIDEO, 0x73646976u);
}

struct index_case {
    const char* name;
    avi_fixture::index_kind kind;
    int framesPerRiff;
    const char* source;
};

class avi_index_kinds : public ::testing::TestWithParam<index_case> {};

// Every index kind finds every chunk; OpenDML's indexes win over an idx1
// that covers only the first RIFF list.
TEST_P(avi_index_kinds, deliversEveryFrameExactly)
{
    scratch_dir dir;
    avi_fixture f = rawFixture(8);
    f.index = GetParam().kind;
    f.framesPerRiff = GetParam().framesPerRiff;
    f.write(dir / "x.avi");

    avi_container container((dir / "x.avi").c_str());
    ASSERT_EQ(container.streams().size(), 1u);
    EXPECT_STREQ(container.streams()[0].indexSource, GetParam().source);

    opened avi(dir / "x.avi");
    ASSERT_EQ(avi.result, AVIERR_OK);
    ASSERT_NE(avi.frame, nullptr);
    ASSERT_EQ(AVIStreamLength(avi.stream), 8);
    for (int k : {0, 7, 3, 4, 1, 2, 6, 5, 0})
        EXPECT_EQ(avi.pixels(k), f.frames[k]) << "sample " << k;
}

INSTANTIATE_TEST_SUITE_P(kinds, avi_index_kinds,
                         ::testing::Values(index_case{"idx1_relative", avi_fixture::idx1_relative, 0, "idx1"},
                                           index_case{"idx1_absolute", avi_fixture::idx1_absolute, 0, "idx1"},
                                           index_case{"no_index", avi_fixture::no_index, 0, "scan"},
                                           index_case{"opendml_one_riff", avi_fixture::opendml, 0, "indx"},
                                           index_case{"opendml_avix", avi_fixture::opendml, 3, "indx"}),
                         [](const ::testing::TestParamInfo<index_case>& i) { return std::string(i.param.name); });

TEST(avi_layer, keyFlagsComeFromIdx1AndFromIx)
{
    scratch_dir dir;
    for (auto kind : {avi_fixture::idx1_relative, avi_fixture::opendml}) {
        avi_fixture f = rawFixture(6);
        f.index = kind;
        f.framesPerRiff = 4;
        f.keys = {true, false, false, true, false, true};
        f.write(dir / "k.avi");
        avi_container container((dir / "k.avi").c_str());
        const auto& index = container.streams()[0].index;
        ASSERT_EQ(index.size(), kind == avi_fixture::opendml ? 6u : 6u);
        for (std::size_t i = 0; i < index.size(); ++i)
            EXPECT_EQ(index[i].key, f.keys[i]) << "entry " << i << ", " << container.streams()[0].indexSource;
    }
}

// The last extension list lies past 4 GB (a sparse gap): its chunks are
// found through 64-bit offsets in the super index and ix00's base offset.
TEST(avi_layer, openDmlFilePastFourGigabytes)
{
    scratch_dir dir;
    avi_fixture f = rawFixture(9);
    f.index = avi_fixture::opendml;
    f.framesPerRiff = 3;
    f.gapBeforeLastRiff = 0xFFFFFF00;
    f.write(dir / "big.avi");

    avi_container container((dir / "big.avi").c_str());
    ASSERT_GT(container.file().size(), 0x100000000LL);
    const auto& index = container.streams()[0].index;
    ASSERT_EQ(index.size(), 9u);
    EXPECT_GT(index[8].data, 0x100000000LL);

    opened avi(dir / "big.avi");
    ASSERT_NE(avi.frame, nullptr);
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(avi.pixels(k), f.frames[k]) << "sample " << k;
}

// A damaged idx1 (offsets pointing nowhere) gives way to a scan of movi.
TEST(avi_layer, damagedIdx1FallsBackToScan)
{
    scratch_dir dir;
    avi_fixture f = rawFixture(4);
    f.write(dir / "d.avi");
    std::string bytes = readFile(dir / "d.avi");
    const std::size_t idx1 = bytes.rfind("idx1");
    ASSERT_NE(idx1, std::string::npos);
    bytes[idx1 + 8 + 8 + 2] = '\x7F';  // first entry's offset beyond the file
    writeFile(dir / "d.avi", bytes);

    avi_container container((dir / "d.avi").c_str());
    EXPECT_STREQ(container.streams()[0].indexSource, "scan");
    opened avi(dir / "d.avi");
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(avi.pixels(k), f.frames[k]);
}

// A lying index entry (the right place is found, but the chunk there is of
// another size) gives no picture rather than wrong bytes.
TEST(avi_layer, lyingEntryGivesNoPicture)
{
    scratch_dir dir;
    avi_fixture f = rawFixture(3);
    f.write(dir / "l.avi");
    std::string bytes = readFile(dir / "l.avi");
    const std::size_t idx1 = bytes.rfind("idx1");
    bytes[idx1 + 8 + 16 + 12] = 60;  // second entry: 60 bytes instead of 48
    writeFile(dir / "l.avi", bytes);

    opened avi(dir / "l.avi");
    ASSERT_NE(avi.frame, nullptr);
    EXPECT_EQ(avi.pixels(0), f.frames[0]);
    EXPECT_EQ(avi.pixels(1), "");
    EXPECT_EQ(avi.pixels(2), f.frames[2]);
}

TEST(avi_layer, emptyChunkRepeatsThePictureBeforeIt)
{
    scratch_dir dir;
    avi_fixture f = rawFixture(4);
    f.frames[2].clear();
    f.write(dir / "e.avi");
    opened avi(dir / "e.avi");
    EXPECT_EQ(avi.pixels(2), f.frames[1]);
    EXPECT_EQ(avi.pixels(3), f.frames[3]);

    f.frames[0].clear();  // nothing before it to repeat
    f.write(dir / "e0.avi");
    opened first(dir / "e0.avi");
    EXPECT_EQ(first.pixels(0), "");
    EXPECT_EQ(first.pixels(1), f.frames[1]);
}

TEST(avi_layer, unpaddedRowsArePadded)
{
    scratch_dir dir;
    avi_fixture f;
    f.frames = {pattern(15 * 3, 0)};
    f.write(dir / "u.avi");
    opened avi(dir / "u.avi");
    const std::string got = avi.pixels(0);
    ASSERT_EQ(got.size(), 48u);
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(got.substr(16 * y, 15), f.frames[0].substr(15 * y, 15)) << "row " << y;
}

TEST(avi_layer, bitmapHeaderIsTheFormatBlockWithPlainRgb)
{
    scratch_dir dir;
    avi_fixture f = rawFixture(1);
    f.height = -3;
    f.formatExtra = "codecdata";
    f.write(dir / "h.avi");
    opened avi(dir / "h.avi");
    ASSERT_NE(avi.frame, nullptr);
    const auto* bitmap = static_cast<const unsigned char*>(AVIStreamGetFrame(avi.frame, 0));
    ASSERT_NE(bitmap, nullptr);
    LONG size = 0;
    ASSERT_EQ(AVIStreamReadFormat(avi.stream, 0, nullptr, &size), AVIERR_OK);
    ASSERT_EQ(size, 49);
    std::vector<unsigned char> format(static_cast<std::size_t>(size));
    ASSERT_EQ(AVIStreamReadFormat(avi.stream, 0, format.data(), &size), AVIERR_OK);
    EXPECT_EQ(std::memcmp(format.data() + 40, "codecdata", 9), 0);
    EXPECT_EQ(std::memcmp(bitmap, format.data(), 16), 0);  // up to the compression field
    EXPECT_EQ(bitmap[20], 48);                              // biSizeImage
    EXPECT_EQ(std::memcmp(bitmap + 24, format.data() + 24, 25), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bitmap) + 49, 48), f.frames[0]);  // stored order

    LONG small = 10;
    ASSERT_EQ(AVIStreamReadFormat(avi.stream, 0, format.data(), &small), AVIERR_OK);
    EXPECT_EQ(small, 10);
}

TEST(avi_layer, streamInformationComesFromTheStreamHeader)
{
    scratch_dir dir;
    avi_fixture f = rawFixture(4);
    f.rate = 30000;
    f.scale = 1001;
    f.start = 2;
    f.length = 100;  // a header that claims more than the index holds
    f.write(dir / "i.avi");
    opened avi(dir / "i.avi");
    ASSERT_EQ(avi.result, AVIERR_OK);
    AVISTREAMINFOA info;
    std::memset(&info, 0xAB, sizeof info);
    ASSERT_EQ(AVIStreamInfoA(avi.stream, &info, sizeof info), AVIERR_OK);
    EXPECT_EQ(info.fccType, streamtypeVIDEO);
    EXPECT_EQ(info.dwRate, 30000u);
    EXPECT_EQ(info.dwScale, 1001u);
    EXPECT_EQ(info.dwStart, 2u);
    EXPECT_EQ(info.dwLength, 4u);
    EXPECT_EQ(info.rcFrame.right, 5);
    EXPECT_EQ(info.rcFrame.bottom, 3);
    EXPECT_EQ(info.szName[0], '\0');
    EXPECT_EQ(AVIStreamStart(avi.stream), 2);
    EXPECT_EQ(AVIStreamLength(avi.stream), 4);
    // Samples count from the start: sample 2 is the first chunk.
    EXPECT_EQ(avi.pixels(2), f.frames[0]);
    EXPECT_EQ(avi.pixels(5), f.frames[3]);
    EXPECT_EQ(avi.pixels(1), "");
    EXPECT_EQ(avi.pixels(6), "");
}

TEST(avi_layer, sampleTimesRoundTrip)
{
    scratch_dir dir;
    avi_fixture f = rawFixture(1);
    f.rate = 30000;
    f.scale = 1001;
    f.write(dir / "t.avi");
    opened avi(dir / "t.avi");
    const struct {
        LONG sample, ms;
    } times[] = {{0, 0}, {1, 33}, {2, 67}, {3, 100}, {29, 968}, {30, 1001}, {-1, -33}, {2000000000, 2147483647}};
    for (const auto& t : times)
        EXPECT_EQ(AVIStreamSampleToTime(avi.stream, t.sample), t.ms) << "sample " << t.sample;
    for (LONG n = 0; n < 3000; ++n)
        ASSERT_EQ(AVIStreamTimeToSample(avi.stream, AVIStreamSampleToTime(avi.stream, n)), n);
    EXPECT_EQ(AVIStreamTimeToSample(avi.stream, 32), 0);
    EXPECT_EQ(AVIStreamTimeToSample(avi.stream, 66), 1);

    f.rate = 0;
    f.write(dir / "z.avi");
    opened zero(dir / "z.avi");
    EXPECT_EQ(AVIStreamSampleToTime(zero.stream, 1), -1);
    EXPECT_EQ(AVIStreamTimeToSample(zero.stream, 1), -1);
    EXPECT_EQ(zero.pixels(0), f.frames[0]);  // the pictures do not need a rate
}

struct open_failure {
    const char* name;
    std::string bytes;
    HRESULT result;
};

TEST(avi_layer, openingReportsWhyItFails)
{
    scratch_dir dir;
    const open_failure cases[] = {
        {"empty", "", AVIERR_BADFORMAT},
        {"text", "just some text, no RIFF here\n", AVIERR_BADFORMAT},
        {"wave", std::string("RIFF\x04\0\0\0WAVE", 12), REGDB_E_CLASSNOTREG},
        {"no header list", std::string("RIFF\x04\0\0\0AVI ", 12), AVIERR_BADFORMAT},
    };
    for (const auto& c : cases) {
        writeFile(dir / "f.avi", c.bytes);
        PAVIFILE file = reinterpret_cast<PAVIFILE>(1);
        EXPECT_EQ(AVIFileOpenA(&file, (dir / "f.avi").c_str(), OF_READ, nullptr), c.result) << c.name;
        EXPECT_EQ(file, nullptr) << c.name;
    }
    PAVIFILE file = nullptr;
    EXPECT_EQ(AVIFileOpenA(&file, (dir / "missing.avi").c_str(), OF_READ, nullptr), AVIERR_FILEOPEN);
    EXPECT_EQ(AVIFileOpenA(&file, dir.path().c_str(), OF_READ, nullptr), AVIERR_FILEOPEN);

    rawFixture(1).write(dir / "ok.avi");
    EXPECT_EQ(AVIFileOpenA(&file, (dir / "ok.avi").c_str(), OF_WRITE, nullptr), AVIERR_READONLY);
    AVIFileExit();  // the library's own start is undone for a moment
    EXPECT_EQ(AVIFileOpenA(&file, (dir / "ok.avi").c_str(), OF_READ, nullptr), CO_E_NOTINITIALIZED);
    AVIFileInit();
    ASSERT_EQ(AVIFileOpenA(&file, (dir / "ok.avi").c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM stream = nullptr;
    EXPECT_EQ(AVIFileGetStream(file, &stream, streamtypeAUDIO, 0), AVIERR_NODATA);
    EXPECT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 1), AVIERR_NODATA);
    ASSERT_EQ(AVIFileGetStream(file, &stream, 0, 0), AVIERR_OK);
    // The stream outlives the file handle that gave it.
    EXPECT_EQ(AVIFileRelease(file), 0u);
    EXPECT_EQ(AVIStreamLength(stream), 1);
    EXPECT_EQ(AVIStreamRelease(stream), 0u);
}

struct decoder_refusal {
    const char* name;
    avi_fixture fixture;
};

// Streams whose pictures cannot be had in their format block's layout get no decoder.
TEST(avi_layer, decoderRefusesWhatItCannotDeliver)
{
    auto with = [](auto change) {
        avi_fixture f = rawFixture(2);
        change(f);
        return f;
    };
    const decoder_refusal cases[] = {
        {"unknown codec", with([](avi_fixture& f) { f.compression = mmioFOURCC('A', 'B', 'C', 'D'); })},
        {"4-bit pixels", with([](avi_fixture& f) { f.bitCount = 4; })},
        {"12-bit I420", with([](avi_fixture& f) { f.compression = mmioFOURCC('I', '4', '2', '0'); f.bitCount = 12; })},
        {"width 0", with([](avi_fixture& f) { f.width = 0; })},
        {"negative width", with([](avi_fixture& f) { f.width = -5; })},
        {"height 0", with([](avi_fixture& f) { f.height = 0; })},
        {"larger than the file", with([](avi_fixture& f) { f.width = 30000; f.height = 30000; })},
        {"undecodable MJPEG", with([](avi_fixture& f) { f.compression = mmioFOURCC('M', 'J', 'P', 'G'); })},
        {"short format block", with([](avi_fixture& f) { f.biSize = 12; })},
        {"audio stream", with([](avi_fixture& f) { f.streamType = "auds"; })},
    };
    scratch_dir dir;
    for (const auto& c : cases) {
        c.fixture.write(dir / "r.avi");
        PAVIFILE file = nullptr;
        ASSERT_EQ(AVIFileOpenA(&file, (dir / "r.avi").c_str(), OF_READ, nullptr), AVIERR_OK) << c.name;
        PAVISTREAM stream = nullptr;
        ASSERT_EQ(AVIFileGetStream(file, &stream, 0, 0), AVIERR_OK) << c.name;
        EXPECT_EQ(AVIStreamGetFrameOpen(stream, nullptr), nullptr) << c.name;
        AVIStreamRelease(stream);
        AVIFileRelease(file);
    }
}

TEST(avi_layer, wantedFormatMustBeTheStreamsOwn)
{
    scratch_dir dir;
    rawFixture(1).write(dir / "w.avi");
    opened avi(dir / "w.avi");
    BITMAPINFOHEADER wanted;
    std::memset(&wanted, 0, sizeof wanted);
    wanted.biSize = 40;
    wanted.biWidth = 5;
    wanted.biHeight = 3;
    wanted.biBitCount = 24;
    PGETFRAME same = AVIStreamGetFrameOpen(avi.stream, &wanted);
    EXPECT_NE(same, nullptr);
    AVIStreamGetFrameClose(same);
    wanted.biBitCount = 32;
    EXPECT_EQ(AVIStreamGetFrameOpen(avi.stream, &wanted), nullptr);
}

TEST(avi_layer, nullHandlesAreRefused)
{
    EXPECT_EQ(AVIStreamLength(nullptr), -1);
    EXPECT_EQ(AVIStreamStart(nullptr), -1);
    EXPECT_EQ(AVIStreamSampleToTime(nullptr, 0), -1);
    EXPECT_EQ(AVIStreamGetFrameOpen(nullptr, nullptr), nullptr);
    EXPECT_EQ(AVIStreamGetFrame(nullptr, 0), nullptr);
    EXPECT_EQ(AVIStreamGetFrameClose(nullptr), AVIERR_BADHANDLE);
    EXPECT_EQ(AVIFileRelease(nullptr), 0u);
    EXPECT_EQ(AVIStreamRelease(nullptr), 0u);
    LONG size = 0;
    EXPECT_EQ(AVIStreamReadFormat(nullptr, 0, nullptr, &size), AVIERR_BADHANDLE);
    AVISTREAMINFOA info;
    EXPECT_EQ(AVIStreamInfoA(nullptr, &info, sizeof info), AVIERR_BADHANDLE);
    EXPECT_EQ(AVIFileOpenA(nullptr, "x.avi", OF_READ, nullptr), AVIERR_BADPARAM);
}
