// The image model's whole-frame operations on a 1920 x 1080 frame, each
// beside a memcpy of the same bytes, the limit they are measured against.
#include "tarvo/image/img_convert.h"
#include "tarvo/image/img_util.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

const img_fmt colourFrame(1920, 1080, 3, 0);

img_wrap filled(const img_fmt& f)
{
    img_wrap image(f);
    for (std::int32_t i = 0; i < f.szImage(); ++i)
        image.bits()[i] = static_cast<unsigned char>(i * 7);
    return image;
}

void copyBytes(benchmark::State& state, std::int32_t bytes)
{
    std::vector<unsigned char> from(static_cast<std::size_t>(bytes), 1), to(static_cast<std::size_t>(bytes));
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_memcpy_rgb8(benchmark::State& state) { copyBytes(state, colourFrame.szImage()); }

void BM_convert_rgb8_to_gray8(benchmark::State& state)
{
    const img_wrap source = filled(colourFrame);
    img_wrap target(img_fmt(colourFrame, 1, 0));
    for (auto _ : state) {
        img_convert(source, target);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * colourFrame.szImage());
}

void BM_flipVertical_rgb8(benchmark::State& state)
{
    img_wrap image = filled(colourFrame);
    for (auto _ : state) {
        img_util::flipVertical(image);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * colourFrame.szImage());
}

void BM_flipEndian3_rgb8(benchmark::State& state)
{
    img_wrap image = filled(colourFrame);
    for (auto _ : state) {
        img_util::flipEndian3(image);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * colourFrame.szImage());
}

} // namespace

BENCHMARK(BM_memcpy_rgb8);
BENCHMARK(BM_convert_rgb8_to_gray8);
BENCHMARK(BM_flipVertical_rgb8);
BENCHMARK(BM_flipEndian3_rgb8);
BENCHMARK_MAIN();
