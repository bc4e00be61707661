// Reading AVI files through the exported interface, in order and at 100
// random positions, beside a plain read + copy of the same chunk bytes (the
// limit: pread of each frame's chunk, then memcpy into a buffer). ffmpeg makes
// the files at start: raw bgr24 at 640 x 480 and 1920 x 1080, MJPEG, and
// MPEG-4 part 2 with a key frame every 12. Before timing, every file is read
// in order and at the random positions and the two must agree frame for
// frame. A table of frames per second and ratios closes the run.
#include "tarvo.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

constexpr int randomPositions = 100;
// The machine is shared: the table takes the median of several runs.
constexpr int repetitions = 5;
constexpr std::uint32_t randomSeed = 20050605;

struct chunk {
    off_t data;  // offset of the chunk's data
    std::size_t size;
};

struct clip {
    const char* label;
    const char* size;    // of testsrc2's pictures
    const char* coding;  // ffmpeg's output options
    int frames;
    std::string path;
    std::vector<chunk> chunks;  // the video chunks, from the file's idx1
    std::vector<int> inOrder, random;
};

std::uint32_t le32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

bool readAt(int fd, off_t offset, void* buffer, std::size_t bytes)
{
    return pread(fd, buffer, bytes, offset) == static_cast<ssize_t>(bytes);
}

// The chunks of stream 0 as the file's idx1 lists them. ffmpeg counts idx1
// offsets from the 'movi' fourcc; an absolute offset is taken too.
std::vector<chunk> videoChunks(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY);
    std::vector<chunk> chunks;
    if (fd < 0)
        return chunks;
    off_t movi = -1, idx1 = -1;
    std::uint32_t idx1Size = 0;
    unsigned char h[12];
    for (off_t at = 12; readAt(fd, at, h, 12);) {
        const std::uint32_t size = le32(h + 4);
        if (std::memcmp(h, "LIST", 4) == 0 && std::memcmp(h + 8, "movi", 4) == 0)
            movi = at + 8;
        else if (std::memcmp(h, "idx1", 4) == 0) {
            idx1 = at + 8;
            idx1Size = size;
        }
        at += 8 + size + (size & 1);
    }
    std::vector<unsigned char> index(idx1Size);
    if (movi < 0 || idx1 < 0 || !readAt(fd, idx1, index.data(), index.size())) {
        close(fd);
        return chunks;
    }
    for (std::size_t e = 0; e + 16 <= index.size(); e += 16) {
        const unsigned char* entry = &index[e];
        if (std::memcmp(entry, "00d", 3) != 0)
            continue;
        const off_t offset = le32(entry + 8);
        unsigned char id[4];
        const off_t header = readAt(fd, movi + offset, id, 4) && std::memcmp(id, entry, 4) == 0 ? movi + offset : offset;
        chunks.push_back({header + 8, le32(entry + 12)});
    }
    close(fd);
    return chunks;
}

std::size_t hashOf(const std::vector<unsigned char>& bytes)
{
    return std::hash<std::string_view>()(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

struct openFile {
    explicit openFile(const std::string& path) : handle(ext_tarvo_createVSFile(path.c_str())) {}
    ~openFile() { ext_tarvo_destroy(handle); }
    const int32_t handle;
};

// Frame hashes in order, then at the random positions on a second handle;
// the two must agree. An empty text means they do.
std::string checkExact(const clip& c)
{
    std::vector<std::size_t> hashes;
    std::vector<unsigned char> buffer;
    {
        const openFile file(c.path);
        ext_tarvo_fmt format;
        if (file.handle < 0 || ext_tarvo_getFmt(file.handle, &format) != 0)
            return "can't open";
        if (ext_tarvo_size(file.handle) != c.frames)
            return "frame count " + std::to_string(ext_tarvo_size(file.handle));
        buffer.resize(static_cast<std::size_t>(format.szLine) * format.height);
        ext_tarvo_frame frame = {buffer.data(), 0};
        for (int p = 0; p < c.frames; ++p) {
            if (ext_tarvo_seek(file.handle, p) != 0 || ext_tarvo_getFrame(file.handle, &frame) != 0)
                return "frame " + std::to_string(p) + " fails in order";
            hashes.push_back(hashOf(buffer));
        }
    }
    const openFile file(c.path);
    ext_tarvo_frame frame = {buffer.data(), 0};
    for (int p : c.random) {
        if (ext_tarvo_seek(file.handle, p) != 0 || ext_tarvo_getFrame(file.handle, &frame) != 0)
            return "frame " + std::to_string(p) + " fails at random";
        if (hashOf(buffer) != hashes[static_cast<std::size_t>(p)])
            return "frame " + std::to_string(p) + " differs at random from in order";
    }
    return "";
}

void throughTheLibrary(benchmark::State& state, const clip* c, const std::vector<int>* order)
{
    const int32_t h = ext_tarvo_createVSFile(c->path.c_str());
    ext_tarvo_fmt format;
    if (h < 0 || ext_tarvo_getFmt(h, &format) != 0) {
        state.SkipWithError("can't open the file");
        return;
    }
    std::vector<unsigned char> buffer(static_cast<std::size_t>(format.szLine) * format.height);
    ext_tarvo_frame frame = {buffer.data(), 0};
    std::size_t i = 0;
    bool failed = false;
    for (auto _ : state) {
        ext_tarvo_seek(h, (*order)[i++ % order->size()]);
        if (ext_tarvo_getFrame(h, &frame) != 0) {
            state.SkipWithError("frame failed");
            failed = true;
            break;
        }
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    ext_tarvo_destroy(h);
    if (!failed)  // a failed run has no rate, so the table leaves it out
        state.SetItemsProcessed(state.iterations());
}

// The limit: the chunk's bytes from the file into one buffer, then copied
// into the caller's.
void plainRead(benchmark::State& state, const clip* c, const std::vector<int>* order)
{
    std::size_t largest = 0;
    for (const chunk& k : c->chunks)
        largest = std::max(largest, k.size);
    std::vector<unsigned char> file(largest), buffer(largest);
    const int fd = open(c->path.c_str(), O_RDONLY);
    std::size_t i = 0;
    bool failed = false;
    for (auto _ : state) {
        const chunk& k = c->chunks[static_cast<std::size_t>((*order)[i++ % order->size()])];
        if (!readAt(fd, k.data, file.data(), k.size)) {
            state.SkipWithError("short read");
            failed = true;
            break;
        }
        std::memcpy(buffer.data(), file.data(), k.size);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    close(fd);
    if (!failed)
        state.SetItemsProcessed(state.iterations());
}

// The console output, keeping the median frames per second of each
// benchmark's repetitions for the table.
class tableReporter : public benchmark::ConsoleReporter {
public:
    tableReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto rate = run.counters.find("items_per_second");
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && rate != run.counters.end())
                fps[run.run_name.function_name] = rate->second;
        }
    }
    std::map<std::string, double> fps;
};

const char* orderName(bool random) { return random ? "random" : "in_order"; }

void printTable(const std::vector<clip>& clips, const std::map<std::string, double>& fps)
{
    std::printf("\nframes per second, median of %d runs (ratio = tarvo / plain read + copy)\n", repetitions);
    std::printf("%-22s %-9s %12s %12s %8s\n", "file", "order", "plain", "tarvo", "ratio");
    for (const clip& c : clips)
        for (bool random : {false, true}) {
            const std::string base = std::string(c.label) + "/" + orderName(random);
            const auto plain = fps.find(base + "/plain_read"), ours = fps.find(base + "/tarvo");
            if (plain == fps.end() || ours == fps.end())
                continue;
            std::printf("%-22s %-9s %12.1f %12.1f %8.3f\n", c.label, orderName(random), plain->second, ours->second,
                        ours->second / plain->second);
        }
    std::printf("OpenCV's cv::VideoCapture is not installed: the comparison with it is absent.\n");
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    char pattern[] = "/tmp/tarvo-bench-avi-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string dir = pattern;
    struct removal {
        const std::string& dir;
        ~removal() { std::system(("rm -rf " + dir).c_str()); }
    } removeAtEnd{dir};
    std::vector<clip> clips = {
        {"bgr24_640x480", "640x480", "-c:v rawvideo -pix_fmt bgr24", 300, "", {}, {}, {}},
        {"bgr24_1920x1080", "1920x1080", "-c:v rawvideo -pix_fmt bgr24", 60, "", {}, {}, {}},
        {"mjpeg_640x480", "640x480", "-c:v mjpeg -q:v 3", 300, "", {}, {}, {}},
        {"mpeg4_640x480_gop12", "640x480", "-c:v mpeg4 -g 12 -q:v 4", 300, "", {}, {}, {}},
    };
    std::mt19937 random(randomSeed);
    int failures = 0;
    for (clip& c : clips) {
        c.path = dir + "/" + c.label + ".avi";
        const std::string command = std::string("ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=") + c.size +
                                    ":rate=25 -frames:v " + std::to_string(c.frames) + " " + c.coding + " -y " + c.path;
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stdout, "can't make %s with: %s\n", c.label, command.c_str());
            return 1;
        }
        c.chunks = videoChunks(c.path);
        if (static_cast<int>(c.chunks.size()) != c.frames) {
            std::fprintf(stdout, "%s: %zu chunks in idx1, %d frames made\n", c.label, c.chunks.size(), c.frames);
            return 1;
        }
        for (int p = 0; p < c.frames; ++p)
            c.inOrder.push_back(p);
        for (int i = 0; i < randomPositions; ++i)
            c.random.push_back(static_cast<int>(random() % static_cast<std::uint32_t>(c.frames)));
    }

    std::fflush(stdout);
    std::freopen("/dev/null", "w", stderr);  // the library writes a line per opening
    for (const clip& c : clips) {
        const std::string fault = checkExact(c);
        std::printf("%s: random access %s\n", c.label, fault.empty() ? "gives the frames of in-order reading" : fault.c_str());
        failures += !fault.empty();
    }

    for (const clip& c : clips)
        for (bool r : {false, true}) {
            const std::vector<int>* order = r ? &c.random : &c.inOrder;
            const std::string base = std::string(c.label) + "/" + orderName(r);
            benchmark::RegisterBenchmark((base + "/plain_read").c_str(), plainRead, &c, order)
                ->Repetitions(repetitions)
                ->DisplayAggregatesOnly(true);
            benchmark::RegisterBenchmark((base + "/tarvo").c_str(), throughTheLibrary, &c, order)
                ->Repetitions(repetitions)
                ->DisplayAggregatesOnly(true);
        }
    tableReporter reporter;
    reporter.SetErrorStream(&std::cout);  // stderr is closed off; the run's context goes with the results
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printTable(clips, reporter.fps);
    return failures ? 1 : 0;
}
