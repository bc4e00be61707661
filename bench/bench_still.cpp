// Loading 1920 x 1080 colour still images through the exported functions
// (create, format, frame, destroy), beside the limit they are measured
// against: one read() of the same file and one memcpy of its bytes. With
// OpenCV found at configure time, its imread of the same files as well.
//
// The files are written once, by the library's own writers, into a fresh
// directory under $TMPDIR (or /tmp); they stay in the page cache, so the
// numbers are those of decoding, not of the disk.
#include "tarvo.h"
#include "tarvo/imageio/img_io_bmp.h"
#include "tarvo/imageio/img_io_load.h"
#include "tarvo/imageio/img_io_pxm.h"
#include "tarvo/imageio/img_io_ras.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef TARVO_BENCH_OPENCV
#include <opencv2/imgcodecs.hpp>
#endif

namespace {

const int width = 1920, height = 1080;

struct stillFiles {
    std::string dir, ppm, bmp, ras;

    stillFiles()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp ? tmp : "/tmp") + "/tarvo-bench-XXXXXX";
        if (!mkdtemp(&pattern[0]))
            throw std::runtime_error("bench_still - mkdtemp failed");
        dir = pattern;
        img_wrap image(img_fmt(width, height, 3, 0));
        std::uint32_t x = 12345;
        unsigned char* bits = image.bits();
        for (std::int32_t i = 0; i < image.fmt().szImage(); ++i) {
            x = x * 1103515245u + 12345u;
            bits[i] = static_cast<unsigned char>(x >> 23);
        }
        ppm = dir + "/still.ppm";
        bmp = dir + "/still.bmp";
        ras = dir + "/still.ras";
        { img_io_save_pxm save(ppm); save(image); }
        { img_io_save_bmp save(bmp); save(image); }
        { img_io_save_ras save(ras); save(image); }
    }
    ~stillFiles()
    {
        for (const std::string* f : {&ppm, &bmp, &ras})
            std::remove(f->c_str());
        rmdir(dir.c_str());
    }
};

const stillFiles& files()
{
    static const stillFiles instance;
    return instance;
}

const std::string& fileOf(int format)
{
    return format == 0 ? files().ppm : format == 1 ? files().bmp : files().ras;
}

const char* labelOf(int format) { return format == 0 ? "ppm_P6" : format == 1 ? "bmp_24" : "ras_24"; }

// The limit: the file's bytes read into memory once and copied once.
void BM_read_memcpy(benchmark::State& state)
{
    const std::string& name = fileOf(static_cast<int>(state.range(0)));
    state.SetLabel(labelOf(static_cast<int>(state.range(0))));
    std::vector<unsigned char> file, frame;
    for (auto _ : state) {
        const int fd = open(name.c_str(), O_RDONLY);
        const off_t size = lseek(fd, 0, SEEK_END);
        lseek(fd, 0, SEEK_SET);
        file.resize(static_cast<std::size_t>(size));
        frame.resize(file.size());
        for (std::size_t got = 0; got < file.size();) {
            const ssize_t n = read(fd, file.data() + got, file.size() - got);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        close(fd);
        std::memcpy(frame.data(), file.data(), frame.size());
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(width) * height * 3);
}

// The same limit when, as on every open, both buffers are new memory: the
// first touch of each page costs a page fault.
void BM_read_memcpy_fresh(benchmark::State& state)
{
    const std::string& name = fileOf(static_cast<int>(state.range(0)));
    state.SetLabel(labelOf(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        const int fd = open(name.c_str(), O_RDONLY);
        const off_t size = lseek(fd, 0, SEEK_END);
        lseek(fd, 0, SEEK_SET);
        std::unique_ptr<unsigned char[]> file(new unsigned char[static_cast<std::size_t>(size)]);
        std::unique_ptr<unsigned char[]> frame(new unsigned char[static_cast<std::size_t>(size)]);
        for (off_t got = 0; got < size;) {
            const ssize_t n = read(fd, file.get() + got, static_cast<std::size_t>(size - got));
            if (n <= 0)
                break;
            got += n;
        }
        close(fd);
        std::memcpy(frame.get(), file.get(), static_cast<std::size_t>(size));
        benchmark::DoNotOptimize(frame.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(width) * height * 3);
}

// The reader alone, into an image that keeps its buffer between loads.
void BM_reader_only(benchmark::State& state)
{
    const std::string& name = fileOf(static_cast<int>(state.range(0)));
    state.SetLabel(labelOf(static_cast<int>(state.range(0))));
    img_wrap image(img_fmt(width, height, 3, 0));
    for (auto _ : state) {
        img_io_load_util::load(name.c_str(), image);
        benchmark::DoNotOptimize(image.bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(width) * height * 3);
}

void BM_tarvo_load(benchmark::State& state)
{
    const std::string& name = fileOf(static_cast<int>(state.range(0)));
    state.SetLabel(labelOf(static_cast<int>(state.range(0))));
    std::vector<unsigned char> frame(std::size_t(width) * height * 3);
    for (auto _ : state) {
        const int32_t handle = ext_tarvo_createVSFile(name.c_str());
        ext_tarvo_fmt format;
        ext_tarvo_frame out{frame.data(), 0};
        if (handle < 0 || ext_tarvo_getFmt(handle, &format) != 0 ||
            std::size_t(format.szLine) * format.height != frame.size() || ext_tarvo_getFrame(handle, &out) != 0) {
            state.SkipWithError("loading failed");
            break;
        }
        ext_tarvo_destroy(handle);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(width) * height * 3);
}

#ifdef TARVO_BENCH_OPENCV
void BM_opencv_imread(benchmark::State& state)
{
    const std::string& name = fileOf(static_cast<int>(state.range(0)));
    state.SetLabel(labelOf(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        cv::Mat image = cv::imread(name, cv::IMREAD_UNCHANGED);
        benchmark::DoNotOptimize(image.data);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(width) * height * 3);
}
BENCHMARK(BM_opencv_imread)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
#endif

} // namespace

BENCHMARK(BM_read_memcpy)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_reader_only)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_read_memcpy_fresh)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_tarvo_load)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
