#include "tarvo/source/ms_day_utc.h"
#include "tarvo/source/vs_file.h"
#include "tarvo/source/vs_grab.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct counted : vs_file {
    explicit counted(std::int32_t n) : n(n) {}
    const char* asciiDescriptor() const override { return "counted"; }
    const char* typeName() const override { return "cnt"; }
    std::int32_t size() const override { return n; }
    const img_fmt& format() const override { return f; }
    std::int32_t timestamp() const override { return cur * 40; }
    void getFrame(img_wrap& image) override { image.reformat(f); }
    std::int32_t n;
    img_fmt f;
};

struct still_live : vs_grab {
    const char* typeName() const override { return "still"; }
    const img_fmt& format() const override { return f; }
    void getFrame(img_wrap& image) override { image.reformat(f); }
    img_fmt f;
};

} // namespace

TEST(Seek, TakesThePositionModuloTheLength)
{
    counted ten(10);
    const struct { std::int32_t to, at; } cases[] = {
        {3, 3}, {10, 0}, {-1, 9}, {-11, 9}, {23, 3}, {-10, 0}, {2147483647, 7}, {-2147483647 - 1, 2},
    };
    for (const auto& c : cases) {
        ten.seek(c.to);
        EXPECT_EQ(ten.tell(), c.at) << c.to;
    }
    counted one(1);
    one.seek(5);
    EXPECT_EQ(one.tell(), 0);
}

TEST(Seek, RefusesASourceWithoutFrames)
{
    counted none(0);
    EXPECT_EQ(none.length(), 0);
    try {
        none.seek(0);
        ADD_FAILURE();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "vs_base::seek - source has no frames");
    }
}

TEST(Bases, FileAndLiveAnswers)
{
    counted file(3);
    EXPECT_TRUE(file.isFile());
    EXPECT_FALSE(file.isGrab());
    EXPECT_STREQ(file.type(), "cnt");
    EXPECT_EQ(file.fps(), 0.0);

    still_live live;
    EXPECT_TRUE(live.isGrab());
    EXPECT_STREQ(live.type(), "still");
    EXPECT_STREQ(live.asciiDescriptor(), "still");
    EXPECT_EQ(live.size(), 2147483647);
    live.seek(-1);  // positions are modulo 2147483647
    EXPECT_EQ(live.tell(), 2147483646);
    const std::int32_t t = live.timestamp();
    EXPECT_GE(t, 0);
    EXPECT_LT(t, 5000);
}

TEST(Clock, StaysWithinOneDay)
{
    const std::int32_t now = msDayUtc();
    EXPECT_GE(now, 0);
    EXPECT_LT(now, msPerDay);
}

TEST(Clock, ElapsedTimeAcrossMidnightStaysTrue)
{
    EXPECT_EQ(msElapsed(1000, 1500), 500);
    EXPECT_EQ(msElapsed(msPerDay - 200, 300), 500);  // started before midnight, read after it
    EXPECT_EQ(msElapsed(42, 42), 0);
}
