// Reading image sequences frame by frame through the exported interface: a
// text list of 300 640 x 480 PGM files and a raster-sequence file of 300 such
// 8-bit images, each beside a plain read + copy of the same pixel bytes.
#include "tarvo.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int frames = 300, width = 640, height = 480;

struct fixture {
    std::string dir;
    std::string list, srs;
    std::vector<std::string> pictures;

    fixture()
    {
        char pattern[] = "/tmp/tarvo-bench-XXXXXX";
        dir = mkdtemp(pattern);
        list = dir + "/list.txt";
        srs = dir + "/seq.srs";
        std::FILE* l = std::fopen(list.c_str(), "w");
        std::FILE* s = std::fopen(srs.c_str(), "wb");
        std::vector<unsigned char> pixels(width * height);
        for (int i = 0; i < frames; ++i) {
            std::memset(pixels.data(), i, pixels.size());
            const std::string name = "f" + std::to_string(i) + ".pgm";
            pictures.push_back(dir + "/" + name);
            std::FILE* p = std::fopen(pictures.back().c_str(), "wb");
            std::fprintf(p, "P5\n%d %d\n255\n", width, height);
            std::fwrite(pixels.data(), 1, pixels.size(), p);
            std::fclose(p);
            std::fprintf(l, "%s\n", name.c_str());
            // Sun raster header: magic, width, height, depth, length, type 1, no colour map
            const unsigned int header[8] = {0x59A66A95u, width, height, 8, width * height, 1, 0, 0};
            for (unsigned int field : header) {
                const unsigned char be[4] = {static_cast<unsigned char>(field >> 24), static_cast<unsigned char>(field >> 16),
                                             static_cast<unsigned char>(field >> 8), static_cast<unsigned char>(field)};
                std::fwrite(be, 1, 4, s);
            }
            std::fwrite(pixels.data(), 1, pixels.size(), s);
        }
        std::fclose(l);
        std::fclose(s);
    }
    ~fixture() { std::system(("rm -rf " + dir).c_str()); }
};

fixture& files()
{
    static fixture f;
    return f;
}

void throughTheLibrary(benchmark::State& state, const std::string& name)
{
    std::freopen("/dev/null", "w", stderr);  // the creation export writes a line per opening
    std::vector<unsigned char> buffer(width * height);
    ext_tarvo_frame frame = {buffer.data(), 0};
    const int32_t h = ext_tarvo_createVSFile(name.c_str());
    if (h < 0) {
        state.SkipWithError("can't open the sequence");
        return;
    }
    int32_t position = 0;
    for (auto _ : state) {
        ext_tarvo_seek(h, position++);
        if (ext_tarvo_getFrame(h, &frame) != 0) {
            state.SkipWithError("frame failed");
            break;
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    ext_tarvo_destroy(h);
    state.SetItemsProcessed(state.iterations());
}

// The limit: open, read and copy the pixel bytes of one picture per frame.
void plainRead(benchmark::State& state, bool onePicturePerFile)
{
    std::vector<unsigned char> file(width * height + 64), buffer(width * height);
    const int srs = onePicturePerFile ? -1 : open(files().srs.c_str(), O_RDONLY);
    int i = 0;
    for (auto _ : state) {
        const int n = i++ % frames;
        if (onePicturePerFile) {
            const int fd = open(files().pictures[n].c_str(), O_RDONLY);
            benchmark::DoNotOptimize(read(fd, file.data(), file.size()));
            close(fd);
        } else {
            benchmark::DoNotOptimize(pread(srs, file.data(), width * height + 32, off_t(n) * (width * height + 32)));
        }
        std::memcpy(buffer.data(), file.data() + 32, buffer.size());
        benchmark::DoNotOptimize(buffer.data());
    }
    if (srs >= 0)
        close(srs);
    state.SetItemsProcessed(state.iterations());
}

void BM_list_plain_read(benchmark::State& state) { plainRead(state, true); }
void BM_list_tarvo(benchmark::State& state) { throughTheLibrary(state, files().list); }
void BM_srs_plain_read(benchmark::State& state) { plainRead(state, false); }
void BM_srs_tarvo(benchmark::State& state) { throughTheLibrary(state, files().srs); }

} // namespace

BENCHMARK(BM_list_plain_read);
BENCHMARK(BM_list_tarvo);
BENCHMARK(BM_srs_plain_read);
BENCHMARK(BM_srs_tarvo);
BENCHMARK_MAIN();
