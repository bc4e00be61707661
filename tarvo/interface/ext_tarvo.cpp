// The eleven exported functions: the only way into the library. Everything
// behind them throws; here every failure is caught, reported and turned into
// the function's fixed failure value.
#include "tarvo.h"

#include "tarvo/interface/ext_tarvo_interface.h"
#include "tarvo/interface/vs_manager.h"
#include "tarvo/source/vs_file_util.h"

#include <cstring>
#include <exception>
#include <iostream>
#include <stdexcept>

namespace {

const char noText[] = "<none>";

// Reports the exception being handled: a standard exception with its
// description, a plain text message with its text where the caller takes
// such messages, anything else as "unknown exception".
void reportCaught(bool takesTextMessages)
{
    try {
        throw;
    } catch (const char* text) {
        ext_tarvo_interface(takesTextMessages && text ? text : "unknown exception");
    } catch (const std::exception& e) {
        ext_tarvo_interface(e.what());
    } catch (...) {
        ext_tarvo_interface("unknown exception");
    }
}

// Runs `body`; on any failure reports it and returns `failure`.
template <class Result, class Body>
Result guarded(Result failure, Body body)
{
    try {
        return body();
    } catch (...) {
        reportCaught(false);
    }
    return failure;
}

template <class Record>
Record& required(Record* record, const char* place)
{
    if (!record)
        throw std::runtime_error(std::string(place) + " - got a null record pointer");
    return *record;
}

} // namespace

extern "C" {

int32_t ext_tarvo_createVSFile(const char* name)
{
    std::cerr << "ext_tarvo_createVSFile: " << (name ? name : "(null)") << "\n";
    try {
        if (!name)
            throw std::runtime_error("ext_tarvo_createVSFile - got a null name");
        return vsManager.create(VSEntry(vs_file_util::create(name)));
    } catch (...) {
        reportCaught(true);
    }
    return -1;
}

int32_t ext_tarvo_createVSGrab(const char* /*name*/)
{
    try {
        throw std::runtime_error("ext_tarvo_createGrab: unsupported operation");
    } catch (...) {
        reportCaught(true);
    }
    return -1;
}

int32_t ext_tarvo_destroy(int32_t handle)
{
    return guarded<int32_t>(-1, [&] {
        vsManager.destroy(handle);
        return 0;
    });
}

int32_t ext_tarvo_getFmt(int32_t handle, ext_tarvo_fmt* format)
{
    return guarded<int32_t>(-1, [&] {
        VSEntry& entry = vsManager.get(handle);
        ext_tarvo_fmt& out = required(format, "ext_tarvo_getFmt");
        entry.source->getFrame(entry.image);
        entry.fetched = true;
        const img_fmt& f = entry.image.fmt();
        out.width = f.width();
        out.height = f.height();
        out.szPixel = f.szPixel();
        out.szLine = f.szLine();
        return 0;
    });
}

int32_t ext_tarvo_getFrame(int32_t handle, ext_tarvo_frame* frame)
{
    return guarded<int32_t>(-1, [&] {
        VSEntry& entry = vsManager.get(handle);
        ext_tarvo_frame& out = required(frame, "ext_tarvo_getFrame");
        if (!out.bits)
            throw std::runtime_error("ext_tarvo_getFrame - got a null frame buffer");
        if (entry.fetched)
            entry.fetched = false;
        else
            entry.source->getFrame(entry.image);
        std::memcpy(out.bits, entry.image.bits(), static_cast<std::size_t>(entry.image.fmt().szImage()));
        out.msDayUtc = entry.source->timestamp();
        return 0;
    });
}

int32_t ext_tarvo_seek(int32_t handle, int32_t position)
{
    return guarded<int32_t>(-1, [&] {
        vsManager.get(handle).source->seek(position);
        return 0;
    });
}

int32_t ext_tarvo_tell(int32_t handle)
{
    return guarded<int32_t>(-1, [&] { return vsManager.get(handle).source->tell(); });
}

double ext_tarvo_fps(int32_t handle)
{
    return guarded<double>(0.0, [&] { return vsManager.get(handle).source->fps(); });
}

int32_t ext_tarvo_size(int32_t handle)
{
    return guarded<int32_t>(0, [&] { return vsManager.get(handle).source->size(); });
}

const char* ext_tarvo_type(int32_t handle)
{
    return guarded<const char*>(noText, [&] { return vsManager.get(handle).source->type(); });
}

const char* ext_tarvo_asciiDescriptor(int32_t handle)
{
    return guarded<const char*>(noText, [&] { return vsManager.get(handle).source->asciiDescriptor(); });
}

} // extern "C"
