// The handle table of open sources.
#pragma once

#include "tarvo/image/img_wrap.h"
#include "tarvo/source/vs_base.h"

#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <limits>
#include <map>

struct VSEntry {
    explicit VSEntry(vs_base* source) : source(source) {}

    bool fetched = false;                 // image holds a frame that getFrame has not handed out
    boost::shared_ptr<vs_base> source;    // the only owner
    img_wrap image;                       // every frame of this handle lands here
};

class VSManager {
public:
    explicit VSManager(std::int32_t firstHandle = 0) : next(firstHandle) {}

    // Stores the entry under the next handle number; no number is handed out twice.
    std::int32_t create(const VSEntry& entry);
    // Throws "VSManager::get - illegal index" for a handle not in the table.
    VSEntry& get(std::int32_t handle);
    // A handle not in the table is ignored.
    void destroy(std::int32_t handle);

    static constexpr std::int32_t lastHandle = std::numeric_limits<std::int32_t>::max() - 1;

private:
    std::map<std::int32_t, VSEntry> table;
    std::int32_t next;
};

// The process-wide table, defined first among the library's static objects.
extern VSManager vsManager;
