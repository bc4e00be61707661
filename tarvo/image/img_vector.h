// An ordered, growable list of images.
#pragma once

#include "tarvo/image/img_wrap.h"

#include <cstdint>
#include <vector>

class img_vectorAbstract {
public:
    virtual ~img_vectorAbstract() = default;
    virtual void clear() = 0;
    virtual void push_back(const img_wrap& image) = 0;
    virtual std::int32_t size() const = 0;
    virtual img_wrap& at(std::int32_t index) = 0;
};

class img_vector : public img_vectorAbstract {
public:
    void clear() override { images_.clear(); }
    void push_back(const img_wrap& image) override { images_.push_back(image); }
    std::int32_t size() const override { return static_cast<std::int32_t>(images_.size()); }
    // Throws std::out_of_range for an index outside the list.
    img_wrap& at(std::int32_t index) override { return images_.at(static_cast<std::size_t>(index)); }

private:
    std::vector<img_wrap> images_;
};
