// One still image presented as a source of exactly one frame.
#pragma once

#include "tarvo/source/vs_file.h"

#include <memory>

class vs_file_single : public vs_file {
public:
    static constexpr const char* registryKey = "null";

    // Loads the image at once; the file is closed again before this returns.
    explicit vs_file_single(const char* name);
    ~vs_file_single() override;

    const char* asciiDescriptor() const override;
    const char* typeName() const override { return registryKey; }
    std::int32_t size() const override { return 1; }
    const img_fmt& format() const override;
    std::int32_t timestamp() const override { return 0; }
    void getFrame(img_wrap& image) override;

private:
    struct imp;
    std::unique_ptr<imp> m;
};
