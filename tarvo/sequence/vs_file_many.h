// A source made of a list of names: frame i is frame 0 of the source that
// name i opens as (a still image, a video, a raster sequence, another list).
#pragma once

#include "tarvo/source/vs_file.h"

#include <memory>
#include <string>
#include <vector>

class vs_file_many_imp;

class vs_file_many : public vs_file {
public:
    ~vs_file_many() override;

    std::int32_t size() const override;
    const img_fmt& format() const override;
    // The time stamp the member reported for the frame delivered last.
    std::int32_t timestamp() const override;
    void getFrame(img_wrap& image) override;

protected:
    explicit vs_file_many(const std::vector<std::string>& names);

private:
    std::unique_ptr<vs_file_many_imp> m;
};
