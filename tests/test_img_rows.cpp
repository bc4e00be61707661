// The row copy that turns blue-first pixels red-first: every row length,
// including those too short for its block loop and those ending inside a
// block, gives the pixel-by-pixel exchange, writes nothing past the row and
// reads nothing past it (under the address sanitizer).
#include "tarvo/image/img_rows.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

namespace {

constexpr unsigned char guard = 0xA5;
constexpr std::size_t guardBytes = 64;  // after the target row

struct rowCase {
    int szPixel;
    void (*copy)(unsigned char*, const unsigned char*, std::size_t);
};

class RowCopy : public testing::TestWithParam<rowCase> {};

TEST_P(RowCopy, ExchangesBytesZeroAndTwoOfEveryPixelAndNothingElse)
{
    const rowCase c = GetParam();
    std::vector<std::size_t> widths;
    for (std::size_t w = 0; w <= 120; ++w)
        widths.push_back(w);
    for (std::size_t w : {321, 640, 1920})
        widths.push_back(w);
    for (std::size_t width : widths) {
        const std::size_t bytes = width * static_cast<std::size_t>(c.szPixel);
        // The source is exactly one row long, so that a sanitizer sees any read past it.
        std::vector<unsigned char> from(bytes), to(bytes + guardBytes, guard);
        for (std::size_t i = 0; i < from.size(); ++i)
            from[i] = static_cast<unsigned char>(i * 7 + 3);
        const std::vector<unsigned char> original = from;
        c.copy(to.data(), from.data(), width);
        for (std::size_t i = 0; i < bytes; ++i) {
            const std::size_t inPixel = i % static_cast<std::size_t>(c.szPixel);
            const std::size_t source = inPixel == 0 ? i + 2 : inPixel == 2 ? i - 2 : i;
            ASSERT_EQ(to[i], from[source]) << "width " << width << ", byte " << i;
        }
        for (std::size_t i = bytes; i < to.size(); ++i)
            ASSERT_EQ(to[i], guard) << "width " << width << ": byte " << i << " past the row written";
        ASSERT_EQ(from, original) << "width " << width << ": source changed";
    }
}

INSTANTIATE_TEST_SUITE_P(PixelSizes, RowCopy,
                         testing::Values(rowCase{3, img_rows::copyRedFirst3},
                                         rowCase{4, img_rows::copyRedFirst4}),
                         [](const testing::TestParamInfo<rowCase>& info) {
                             return std::to_string(info.param.szPixel) + "bytes";
                         });

} // namespace
