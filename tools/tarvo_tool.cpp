// tarvo: opens picture sources through the library's exported interface.
//
//   tarvo info NAME...    type, descriptor, frame count, rate and format of each source
//   tarvo dump NAME DIR   every frame as PGM (grey) or PPM (colour), top row first,
//                         and DIR/timestamps.txt with each frame's time stamp
//   tarvo                 info and dump of every bundled sample
#include "tarvo.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// Opens a handle and closes it on every way out.
class source {
public:
    explicit source(const std::string& name) : handle(ext_tarvo_createVSFile(name.c_str())) {}
    ~source()
    {
        if (ok())
            ext_tarvo_destroy(handle);
    }
    bool ok() const { return handle >= 0; }
    int32_t handle;
};

bool info(const std::string& name)
{
    source s(name);
    if (!s.ok())
        return false;
    ext_tarvo_fmt f;
    if (ext_tarvo_getFmt(s.handle, &f) != 0)
        return false;
    std::cout << name << "\n"
              << "  type        " << ext_tarvo_type(s.handle) << "\n"
              << "  descriptor  " << ext_tarvo_asciiDescriptor(s.handle) << "\n"
              << "  frames      " << ext_tarvo_size(s.handle) << "\n"
              << "  rate        " << ext_tarvo_fps(s.handle) << " frames/s\n"
              << "  format      " << f.width << " x " << f.height << ", " << f.szPixel << " bytes/pixel, "
              << f.szLine << " bytes/line\n";
    return true;
}

// Frames are bottom row first; PNM files top row first. Grey frames become
// PGM (16-bit ones with the most significant byte first, as PNM stores them),
// colour frames PPM (a fourth byte per pixel is dropped).
bool writePnm(const std::string& path, const ext_tarvo_fmt& f, const unsigned char* bits)
{
    const bool colour = f.szPixel >= 3;
    if (f.szPixel != 1 && f.szPixel != 2 && f.szPixel != 3 && f.szPixel != 4) {
        std::cerr << "tarvo: no picture file for " << f.szPixel << "-byte pixels\n";
        return false;
    }
    std::ofstream out(path, std::ios::binary);
    out << (colour ? "P6\n" : "P5\n") << f.width << " " << f.height << "\n" << (f.szPixel == 2 ? 65535 : 255) << "\n";
    std::vector<unsigned char> row(static_cast<std::size_t>(f.width) * (colour ? 3 : f.szPixel));
    for (int32_t y = f.height - 1; y >= 0; --y) {
        const unsigned char* in = bits + static_cast<std::size_t>(y) * f.szLine;
        for (int32_t x = 0; x < f.width; ++x) {
            const unsigned char* p = in + static_cast<std::size_t>(x) * f.szPixel;
            if (colour)
                std::copy(p, p + 3, &row[3 * static_cast<std::size_t>(x)]);
            else if (f.szPixel == 2)
                row[2 * x] = p[1], row[2 * x + 1] = p[0];
            else
                row[x] = p[0];
        }
        out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size()));
    }
    return static_cast<bool>(out);
}

bool dump(const std::string& name, const std::string& dir)
{
    if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
        std::cerr << "tarvo: can't make " << dir << ": " << std::strerror(errno) << "\n";
        return false;
    }
    source s(name);
    if (!s.ok())
        return false;
    const int32_t frames = ext_tarvo_size(s.handle);
    std::ofstream stamps(dir + "/timestamps.txt");
    std::vector<unsigned char> buffer;
    for (int32_t i = 0; i < frames; ++i) {
        ext_tarvo_fmt f;
        if (ext_tarvo_seek(s.handle, i) != 0 || ext_tarvo_getFmt(s.handle, &f) != 0)
            return false;
        buffer.resize(static_cast<std::size_t>(f.szLine) * f.height);
        ext_tarvo_frame frame = {buffer.data(), 0};
        if (ext_tarvo_getFrame(s.handle, &frame) != 0)
            return false;
        char file[32];
        std::snprintf(file, sizeof file, "frame%06d.%s", i, f.szPixel >= 3 ? "ppm" : "pgm");
        if (!writePnm(dir + "/" + file, f, buffer.data())) {
            std::cerr << "tarvo: can't write " << dir << "/" << file << "\n";
            return false;
        }
        stamps << file << " " << frame.msDayUtc << "\n";
        if (frames > 20 && (i + 1) % 10 == 0)
            std::cerr << "\rtarvo: " << name << ": frame " << i + 1 << " of " << frames << std::flush;
    }
    if (frames > 20)
        std::cerr << "\n";
    std::cout << name << ": " << frames << " frames written to " << dir << "\n";
    return true;
}

std::vector<std::string> bundledSamples()
{
    std::vector<std::string> names;
    if (DIR* d = opendir(TARVO_SAMPLE_DIR)) {
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n[0] != '.' && n != "README.md" && n.find('.') != std::string::npos)
                names.push_back(std::string(TARVO_SAMPLE_DIR) + "/" + n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

int usage()
{
    std::cerr << "usage: tarvo info NAME...\n"
                 "       tarvo dump NAME DIR\n"
                 "       tarvo            (info and dump of the bundled samples)\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        const std::vector<std::string> samples = bundledSamples();
        if (samples.empty()) {
            std::cerr << "tarvo: no samples in " << TARVO_SAMPLE_DIR << "\n";
            return 1;
        }
        bool ok = true;
        for (const std::string& name : samples) {
            const std::string base = name.substr(name.rfind('/') + 1);
            ok = info(name) && dump(name, "tarvo-samples-" + base.substr(0, base.rfind('.')) + "-" +
                                              base.substr(base.rfind('.') + 1)) && ok;
        }
        return ok ? 0 : 1;
    }
    if (args[0] == "info" && args.size() >= 2) {
        bool ok = true;
        for (std::size_t i = 1; i < args.size(); ++i)
            ok = info(args[i]) && ok;
        return ok ? 0 : 1;
    }
    if (args[0] == "dump" && args.size() == 3)
        return dump(args[1], args[2]) ? 0 : 1;
    return usage();
}
