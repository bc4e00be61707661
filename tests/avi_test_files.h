// AVI files made by ffmpeg, and ffmpeg's own decode of them, for tests.
#pragma once

#include "test_files.h"

#include <string>
#include <vector>

struct ffmpeg_avi {
    const char* name;
    const char* size;      // picture size given to the test source
    int frames;
    const char* encode;    // ffmpeg output options
    const char* pixFmt;    // the raw layout ffmpeg decodes it to for comparison
    int szPixel;           // bytes per pixel of that layout and of our frames
    bool swapRedBlue;      // its pixels are blue first: ours are red first
    int frameExtra;        // bytes after each raw frame (a pal8 frame carries its palette)
};

// Writes the file; the test fails when ffmpeg does.
inline void makeAvi(const ffmpeg_avi& c, const std::string& path)
{
    runTool(std::string("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=") + c.size +
            ":rate=30000/1001 -frames:v " + std::to_string(c.frames) + " " + c.encode + " '" + path + "'");
}

// ffmpeg's decode of `path`, every picture in decoding order, turned into our
// layout: bottom row first, red first.
inline std::vector<std::string> ffmpegFrames(const ffmpeg_avi& c, const std::string& path, int width, int height)
{
    const std::string raw = path + ".raw";
    runTool(std::string("ffmpeg -nostdin -v error -y -i '") + path + "' -f rawvideo -pix_fmt " + c.pixFmt +
            " -fps_mode passthrough '" + raw + "'");
    const std::string bytes = readFile(raw);
    const std::size_t line = static_cast<std::size_t>(width) * c.szPixel;
    const std::size_t frame = line * height + c.frameExtra;
    std::vector<std::string> frames;
    for (std::size_t at = 0; at + frame <= bytes.size(); at += frame) {
        std::string pixels = bytes.substr(at, line * height);
        if (c.swapRedBlue)
            for (std::size_t p = 0; p + c.szPixel <= pixels.size(); p += c.szPixel)
                std::swap(pixels[p], pixels[p + 2]);
        frames.push_back(bottomUp(pixels, line));
    }
    return frames;
}
