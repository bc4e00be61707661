// Text lists, directories and raster sequences, on files made by ImageMagick.
#include "test_files.h"

#include "tarvo/sequence/util_fs_dir.h"
#include "tarvo/sequence/vs_file_many_imp.h"
#include "tarvo/sequence/vs_file_srs.h"
#include "tarvo/sequence/vs_file_txt.h"
#include "tarvo/source/registry.h"
#include "tarvo/source/vs_file_util.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

// "empty.nof" opens as a source without frames.
struct no_frames : vs_file {
    static constexpr const char* registryKey = "nof";
    explicit no_frames(const vs_file_args&) {}
    const char* asciiDescriptor() const override { return "no frames"; }
    const char* typeName() const override { return registryKey; }
    std::int32_t size() const override { return 0; }
    const img_fmt& format() const override { return f; }
    std::int32_t timestamp() const override { return 0; }
    void getFrame(img_wrap&) override {}
    img_fmt f;
};
util::RegistryCreator<vs_file, no_frames> noFramesCreator;

std::unique_ptr<vs_file> open(const std::string& name) { return std::unique_ptr<vs_file>(vs_file_util::create(name.c_str())); }

std::string failureOf(const std::string& name)
{
    try {
        open(name);
    } catch (const std::exception& e) {
        return e.what();
    } catch (const char* text) {
        return text;
    }
    return "<created>";
}

std::string frameBytes(vs_file& source, std::int32_t position)
{
    img_wrap image;
    source.seek(position);
    source.getFrame(image);
    return std::string(reinterpret_cast<const char*>(image.rawBits()), static_cast<std::size_t>(image.fmt().szImage()));
}

std::string frameFailure(vs_file& source, std::int32_t position)
{
    try {
        frameBytes(source, position);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<delivered>";
}

// A w x h grey picture whose every byte is `value`, written by ImageMagick.
void greyPicture(const std::string& path, int w, int h, int value)
{
    runTool("convert -size " + std::to_string(w) + "x" + std::to_string(h) + " xc:'gray(" + std::to_string(value) +
            ")' -depth 8 " + path);
}

struct Lists : testing::Test {
    scratch_dir dir;
    void SetUp() override
    {
        greyPicture(dir / "a.pgm", 4, 2, 10);
        greyPicture(dir / "b.pgm", 4, 2, 20);
        runTool("mkdir " + (dir / "frames") + " " + (dir / "frames/more"));
        greyPicture(dir / "frames/c.pgm", 6, 3, 30);
        greyPicture(dir / "frames/more/d.pgm", 2, 2, 40);
    }
    std::string list(const std::string& name, const std::string& text)
    {
        writeFile(dir / name, text);
        return dir / name;
    }
};

} // namespace

TEST_F(Lists, CommentsBlanksAndTrimming)
{
    auto s = open(list("l.txt", "a.pgm\n   b.pgm \t # second\n\n# only a comment\n\r\n"));
    EXPECT_STREQ(s->type(), "txt");
    EXPECT_EQ(s->asciiDescriptor(), dir / "l.txt");
    EXPECT_EQ(s->size(), 2);
    EXPECT_EQ(s->fps(), 0.0);
    EXPECT_EQ(s->format(), img_fmt(4, 2, 1, 0));
    EXPECT_EQ(frameBytes(*s, 0), std::string(8, char(10)));
    EXPECT_EQ(frameBytes(*s, 1), std::string(8, char(20)));
    EXPECT_EQ(s->timestamp(), 0);
    EXPECT_EQ(vs_file_txt::readList(dir / "l.txt"), (std::vector<std::string>{dir / "a.pgm", dir / "b.pgm"}));
}

TEST_F(Lists, BaseDirectoryLines)
{
    const std::string d = dir.path() + "/";
    const struct { std::string text; std::vector<std::string> members; } cases[] = {
        {"@frames\nc.pgm\n@more/\nd.pgm\n", {d + "frames/c.pgm", d + "frames/more/d.pgm"}},
        {"@/data\nx.pgm\n", {"/data/x.pgm"}},
        {"@\\data\\\nx.pgm\n", {"\\data\\x.pgm"}},
        {"C:\\x.pgm\n", {d + "C:\\x.pgm"}},
        {"@\na.pgm\n", {d + "a.pgm"}},  // a bare '@' leaves the base as it is
        {"last-line-without-feed.pgm", {d + "last-line-without-feed.pgm"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vs_file_txt::readList(list("base.txt", c.text)), c.members) << c.text;
}

TEST_F(Lists, NamesWithoutDirectoryAreRelativeToTheProcess)
{
    EXPECT_EQ(vs_file_txt::readList(list("r.txt", "x.pgm\n")).size(), 1u);
    writeFile("relative-list-test.txt", "frames/x.pgm\n");
    EXPECT_EQ(vs_file_txt::readList("relative-list-test.txt"), std::vector<std::string>{"frames/x.pgm"});
    std::remove("relative-list-test.txt");
}

TEST_F(Lists, BackslashesWorkAsSeparators)
{
    auto s = open(list("win.txt", "@frames\\more\\\nd.pgm\n"));
    EXPECT_EQ(frameBytes(*s, 0), std::string(4, char(40)));
}

TEST_F(Lists, NestedListsContributeTheirFirstFrame)
{
    list("inner.txt", "@frames\nc.pgm\n../b.pgm\n");
    auto s = open(list("outer.txt", "a.pgm\ninner.txt\n"));
    EXPECT_EQ(s->size(), 2);
    img_wrap image;
    s->seek(1);
    s->getFrame(image);
    EXPECT_EQ(image.fmt(), img_fmt(6, 3, 1, 0));  // the member's own format
    EXPECT_EQ(image.rawBits()[0], 30);
}

TEST_F(Lists, SelfReferenceFailsClearly)
{
    list("self.txt", "self.txt\n");
    list("ping.txt", "pong.txt\na.pgm\n");
    list("pong.txt", "ping.txt\n");
    for (const char* name : {"self.txt", "ping.txt"}) {
        const std::string message = failureOf(dir / name);
        EXPECT_NE(message.find("a list names itself, directly or through other lists"), std::string::npos) << message;
    }
    // Naming itself at a later position is fine: that member shows the list's first frame.
    auto s = open(list("later.txt", "a.pgm\nlater.txt\n"));
    EXPECT_EQ(frameBytes(*s, 1), std::string(8, char(10)));
}

TEST_F(Lists, Failures)
{
    const std::string d = dir.path() + "/";
    writeFile(dir / "junk.pgm", "not a picture");
    const struct { std::string text, failure; } cases[] = {
        {"", "vs_file_many_imp::vs_file_many_imp - got an empty sequence"},
        {"# nothing\n@frames\n\n", "vs_file_many_imp::vs_file_many_imp - got an empty sequence"},
        {"a.pgm\nmissing.pgm\n", "vs_file_many (" + d + "missing.pgm) - access error"},
        {"frames\n", "vs_file_many (" + d + "frames) - access error"},  // a directory is no member
        {"junk.pgm\n", "vs_file_many - error while creating " + d + "junk.pgm :\nimg_io_load_pxm - illegal magic string"},
        {"empty.txt\n", "vs_file_many_imp::vs_file_many_imp - got an empty sequence"},  // plain text passes through
    };
    writeFile(dir / "empty.txt", "");
    for (const auto& c : cases)
        EXPECT_EQ(failureOf(list("f.txt", c.text)), c.failure) << c.text;
    EXPECT_EQ(failureOf(dir / "absent.txt"), "vs_file_txt (" + d + "absent.txt) - access error");
}

TEST_F(Lists, AMemberFailingAtItsFrameLeavesTheOthersAvailable)
{
    writeFile(dir / "junk.pgm", "not a picture");
    auto s = open(list("f.txt", "a.pgm\njunk.pgm\nb.pgm\n"));
    EXPECT_EQ(frameFailure(*s, 1),
              "vs_file_many - error while creating " + (dir / "junk.pgm") + " :\nimg_io_load_pxm - illegal magic string");
    EXPECT_EQ(frameBytes(*s, 2), std::string(8, char(20)));
    EXPECT_EQ(frameBytes(*s, 0), std::string(8, char(10)));
}

TEST_F(Lists, AMemberWithoutFramesFailsClearly)
{
    writeFile(dir / "empty.nof", "");
    auto s = open(list("f.txt", "a.pgm\nempty.nof\n"));
    EXPECT_EQ(frameFailure(*s, 1), "vs_file_many (" + (dir / "empty.nof") + ") - member has no frames");
}

// Below 250 distinct names every member stays open after its first frame, so
// deleting its file changes nothing; from 250 on, every frame reopens its file.
TEST_F(Lists, MembersAreKeptOnlyBelow250DistinctNames)
{
    for (int distinct : {249, 250}) {
        scratch_dir many;
        std::string text;
        for (int i = 0; i < distinct; ++i) {
            const std::string name = "p" + std::to_string(i) + ".pgm";
            writeFile(many / name, "P5 1 1 255\n" + std::string(1, char(i)));
            text += name + "\n";
        }
        text += "p0.pgm\n";  // a repeated name adds a frame, not a member
        writeFile(many / "l.txt", text);
        auto s = open(many / "l.txt");
        EXPECT_EQ(s->size(), distinct + 1);
        EXPECT_EQ(frameBytes(*s, 0), std::string(1, char(0)));
        std::remove((many / "p0.pgm").c_str());
        if (distinct == 249) {
            EXPECT_EQ(frameBytes(*s, 0), std::string(1, char(0)));
            EXPECT_EQ(frameBytes(*s, distinct), std::string(1, char(0)));
        } else {
            EXPECT_THROW(frameBytes(*s, 0), std::runtime_error);
            EXPECT_EQ(frameBytes(*s, 1), std::string(1, char(1)));
        }
    }
}

TEST(Directories, ListingIsSortedByteWiseAndSkipsDotNames)
{
    scratch_dir dir;
    for (const char* name : {"b.png", "A.png", "a.png", ".hidden"})
        writeFile(dir / name, "");
    std::vector<std::string> list;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(util_fs::readDir(dir.path(), list));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Beware, util_fs::readDir not tested\n");
    EXPECT_EQ(list, (std::vector<std::string>{dir / "A.png", dir / "a.png", dir / "b.png"}));

    std::vector<std::string> missing;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(util_fs::readDir(dir / "nothing-here", missing));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(missing.empty());
}

TEST(Directories, EveryDirectoryIsRefused)
{
    scratch_dir dir;
    runTool("mkdir " + (dir / "files") + " " + (dir / "dots") + " && touch " + (dir / "files/x.pgm") + " " +
            (dir / "dots/.a"));
    const std::string files = dir / "files\\", dots = dir / "dots\\", none = dir / "none\\";
    const struct { std::string name, failure; } cases[] = {
        {files, "util_fs::isDir not implemented"},
        {dots, "vs_file_many_imp::vs_file_many_imp - got an empty sequence"},
        {none, "vs_file_dir (" + none + ") - access error or not a directory"},
        {dir / "files/x.pgm\\", "vs_file_dir (" + dir / "files/x.pgm\\" + ") - access error or not a directory"},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(failureOf(c.name), c.failure);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Beware, util_fs::readDir not tested\n");
    }
}

namespace {

// Ten 6 x 4 rasters written by ImageMagick, each a different colour, plus
// the PPM of each picture as ImageMagick decodes it.
struct RasterSequence : testing::Test {
    scratch_dir dir;
    std::vector<std::string> expected;  // bottom row first, red first
    std::string file;

    void SetUp() override
    {
        std::string all;
        for (int i = 0; i < 10; ++i) {
            const std::string ras = dir / ("f" + std::to_string(i) + ".ras");
            runTool("convert -size 6x4 gradient:'rgb(" + std::to_string(20 * i) + ",10,200)-rgb(0," +
                    std::to_string(25 * i) + ",50)' -depth 8 -type TrueColor " + ras);
            runTool("convert " + ras + " -depth 8 ppm:" + ras + ".ppm");
            expected.push_back(bottomUp(pnmPixels(readFile(ras + ".ppm"), 6, 4, 3), 18));
            all += readFile(ras);
        }
        file = dir / "seq.srs";
        writeFile(file, all + all.substr(0, 40));  // and a partial eleventh image
    }
};

} // namespace

TEST_F(RasterSequence, FramesInAnyOrderMatchTheToolsDecode)
{
    auto s = open(file);
    EXPECT_STREQ(s->type(), "srs");
    EXPECT_EQ(s->asciiDescriptor(), file);
    EXPECT_EQ(s->size(), 10);
    EXPECT_EQ(s->fps(), 0.0);
    EXPECT_EQ(s->format(), img_fmt(6, 4, 3, 0));
    for (int p : {3, 0, 9, 9, 1, 7, 2, 8, 4, 6, 5})
        EXPECT_EQ(frameBytes(*s, p), expected[p]) << p;
    s->seek(4);
    EXPECT_EQ(s->timestamp(), 500);
    EXPECT_EQ(frameBytes(*s, 12), expected[2]);
}

TEST_F(RasterSequence, OneImageAndTooShortFiles)
{
    const std::string one = dir / "one.srs";
    runTool("cp " + (dir / "f5.ras") + " " + one);
    auto s = open(one);
    EXPECT_EQ(s->size(), 1);
    EXPECT_EQ(frameBytes(*s, 0), expected[5]);
    EXPECT_EQ(s->timestamp(), 0);

    const std::string shortFile = dir / "short.srs";
    writeFile(shortFile, readFile(one).substr(0, 40));
    EXPECT_EQ(failureOf(shortFile), "vs_file_srs (" + shortFile + ") - file is shorter than one image");
    writeFile(shortFile, readFile(one).substr(0, 20));
    EXPECT_EQ(failureOf(shortFile), "img_io_load_ras - got premature eof while reading " + shortFile);
}

TEST_F(RasterSequence, ListsMayNameVideos)
{
    writeFile(dir / "l.txt", "seq.srs\nf3.ras\n");
    auto s = open(dir / "l.txt");
    EXPECT_EQ(frameBytes(*s, 0), expected[0]);
    EXPECT_EQ(s->timestamp(), 0);
    EXPECT_EQ(frameBytes(*s, 1), expected[3]);
}
