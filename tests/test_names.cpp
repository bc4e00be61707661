#include "tarvo/source/util_fs.h"
#include "tarvo/source/util_string.h"
#include "tarvo/source/vs_file_util.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

TEST(Extension, IsTheTextAfterTheLastDotAnywhere)
{
    const struct { const char* name; const char* extension; } cases[] = {
        {"clip.avi", "avi"}, {"a.b/c", "b/c"}, {"frame.", ""}, {"frame", ""},
        {"C:\\old.set\\frame", "set\\frame"}, {"x.tar.PGM", "PGM"}, {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(util_fs::extension(c.name), c.extension) << c.name;
    const char name[] = "seq.srs";
    EXPECT_EQ(util_fs::extension(name), name + 4);  // a position inside the name, no copy
}

TEST(SplitPath, CutsAfterTheLastSlashOrBackslash)
{
    const struct { const char* path; const char* dir; const char* file; } cases[] = {
        {"dir/sub\\f.pgm", "dir/sub\\", "f.pgm"}, {"f.pgm", "", "f.pgm"}, {"/f", "/", "f"}, {"d\\", "d\\", ""},
    };
    for (const auto& c : cases) {
        std::string dir = "junk", file = "junk";
        util_fs::splitPath(c.path, dir, file);
        EXPECT_EQ(dir, c.dir) << c.path;
        EXPECT_EQ(file, c.file) << c.path;
    }
}

TEST(Trim, RemovesTheFiveBlanksButNotTheVerticalTab)
{
    const struct { const char* in; const char* out; } cases[] = {
        {" \tname \r\n", "name"}, {" \t\r\n\f", ""}, {"", ""}, {"\va b\v", "\va b\v"}, {"a b", "a b"},
    };
    for (const auto& c : cases) {
        std::string text = c.in;
        util_string::trim(text);
        EXPECT_EQ(text, c.out);
    }
}

TEST(ToLower, ChangesOnlyAsciiCapitals)
{
    std::string text = "Photo.BMP\xC4Z@[";
    util_string::toLower(text);
    EXPECT_EQ(text, "photo.bmp\xC4z@[");
}

namespace {

std::string creationFailure(const char* name)
{
    try {
        std::unique_ptr<vs_file> source(vs_file_util::create(name));
    } catch (const std::exception& e) {
        return e.what();
    } catch (const char* text) {
        return text;
    }
    return "<created>";
}

} // namespace

TEST(CreateByName, DecidesByTrailingBackslashAndExtension)
{
    const struct { const char* name; const char* failure; } cases[] = {
        {"", "vs_file_util::create - got file without extension"},
        {"C:/data/seq/", "vs_file_util::create - got file without extension"},
        {"noextension", "vs_file_util::create - got file without extension"},
        // still images: the loader is chosen by the lower-cased extension
        {"clip.AVI", "util::registry::create<class img_io_load> - unsupported type: avi"},
        {"frame.jpg", "util::registry::create<class img_io_load> - unsupported type: jpg"},
        {"frame.", "util::registry::create<class img_io_load> - unsupported type: "},
        {"C:\\old.set\\frame", "util::registry::create<class img_io_load> - unsupported type: set\\frame"},
        // a registered extension reaches its own source
        {"missing-list.txt", "vs_file_txt (missing-list.txt) - access error"},
        {"no-such-dir\\", "vs_file_dir (no-such-dir\\) - access error or not a directory"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(creationFailure(c.name), c.failure) << c.name;
}
