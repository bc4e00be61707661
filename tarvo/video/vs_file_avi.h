// The first video stream of an AVI file, frame by frame.
//
// Frames come bottom row first, colour pixels red first (the fourth byte of a
// 4-byte pixel kept in place), 8-bit pixels as palette indices and 16-bit
// pixels as stored. Streams stored top row first are delivered the same way.
#pragma once

#include "tarvo/source/vs_file.h"

#include <memory>

class vs_file_avi : public vs_file {
public:
    static constexpr const char* registryKey = "avi";

    // Throws std::runtime_error when the file, its video stream or a decoder
    // for it cannot be had.
    explicit vs_file_avi(const vs_file_args& args);
    ~vs_file_avi() override;

    const char* asciiDescriptor() const override;
    const char* typeName() const override { return registryKey; }
    std::int32_t size() const override;
    double fps() const override;
    const img_fmt& format() const override;
    std::int32_t timestamp() const override;
    void getFrame(img_wrap& image) override;

private:
    struct imp;
    std::unique_ptr<imp> imp_;
};
