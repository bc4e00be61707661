// Our stand-ins for the run time's file, directory-search and clock calls.
#include "test_files.h"

#include "platform/io.h"
#include "platform/share.h"
#include "platform/sys_timeb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

namespace {

std::vector<std::string> find(const std::string& pattern)
{
    std::vector<std::string> names;
    struct _finddata64i32_t match;
    const std::intptr_t search = _findfirst64i32(pattern.c_str(), &match);
    if (search == -1)
        return names;
    do
        names.push_back(match.name);
    while (_findnext64i32(search, &match) == 0);
    _findclose(search);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(DirectorySearch, MatchesLikeTheWindowsRunTime)
{
    scratch_dir dir;
    for (const char* name : {"a.pgm", "B.PGM", "ab.txt", "noext", ".hidden"})
        writeFile(dir / name, "");
    using names = std::vector<std::string>;
    const struct { std::string pattern; names found; } cases[] = {
        {"*.*", {".", "..", ".hidden", "B.PGM", "a.pgm", "ab.txt", "noext"}},
        {"*.pgm", {"B.PGM", "a.pgm"}},  // without regard to case
        {"a?.txt", {"ab.txt"}},
        {"noext.*", {"noext"}},          // a trailing ".*" also matches names without a dot
        {"*.bmp", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(find(dir / c.pattern), c.found) << c.pattern;
        EXPECT_EQ(find(dir.path() + "\\" + c.pattern), c.found) << "backslash " << c.pattern;
    }
    EXPECT_EQ(find(dir / "missing/*.*"), names{});
    EXPECT_EQ(_findclose(-1), -1);

    struct _finddata64i32_t match;
    const std::intptr_t search = _findfirst64i32((dir / "ab.txt").c_str(), &match);
    ASSERT_NE(search, -1);
    EXPECT_EQ(match.attrib, unsigned(_A_NORMAL));
    _findclose(search);
}

TEST(SharedOpen, TakesBackslashesAndRefusesDirectories)
{
    scratch_dir dir;
    runTool("mkdir " + (dir / "sub"));
    writeFile(dir / "sub/f.txt", "x");
    std::FILE* f = _fsopen((dir.path() + "\\sub\\f.txt").c_str(), "rb", _SH_DENYNO);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(std::fgetc(f), 'x');
    std::fclose(f);
    EXPECT_EQ(_fsopen((dir / "sub").c_str(), "r", _SH_DENYNO), nullptr);
    EXPECT_EQ(_fsopen((dir / "none").c_str(), "r", _SH_DENYNO), nullptr);
}

TEST(Clock, GivesSecondsAndMilliseconds)
{
    struct __timeb64 now;
    _ftime64(&now);
    EXPECT_LE(std::abs(now.time - static_cast<std::int64_t>(std::time(nullptr))), 2);
    EXPECT_LT(now.millitm, 1000);
}
