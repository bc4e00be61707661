#pragma once

#include "tarvo/source/vs_file.h"

#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class vs_file_many_imp {
public:
    // Lists of this many distinct names or more keep no member open.
    static constexpr std::size_t cacheLimit = 250;

    explicit vs_file_many_imp(const std::vector<std::string>& names);

    void getFrame(std::int32_t position, img_wrap& image);

    img_fmt announced;
    std::int32_t frameCount = 0;
    std::int32_t lastTimestamp = 0;
    std::vector<std::string> names;
    std::map<std::string, boost::shared_ptr<vs_file>> members;

private:
    static boost::shared_ptr<vs_file> open(const std::string& name);
};
