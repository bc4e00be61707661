// A file of Sun raster images stored back to back, all shaped like the
// first, delivered as a video with a fixed 125 ms step.
#pragma once

#include "tarvo/source/vs_file.h"

#include <memory>
#include <string>

class img_io_load_rasMany;

class vs_file_srs : public vs_file {
public:
    static constexpr const char* registryKey = "srs";
    static constexpr std::int32_t msPerFrame = 125;

    explicit vs_file_srs(const vs_file_args& args);
    ~vs_file_srs() override;

    const char* asciiDescriptor() const override { return name.c_str(); }
    const char* typeName() const override { return registryKey; }
    // Whole images only: a partial image at the end does not count.
    std::int32_t size() const override { return frameCount; }
    const img_fmt& format() const override { return frameFormat; }
    std::int32_t timestamp() const override { return cur * msPerFrame; }
    void getFrame(img_wrap& image) override;

private:
    std::unique_ptr<img_io_load_rasMany> reader;
    img_fmt frameFormat;
    std::string name;
    std::int32_t frameCount;
};
