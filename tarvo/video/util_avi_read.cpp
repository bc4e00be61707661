#include "tarvo/video/util_avi_read.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace util {

namespace {

[[noreturn]] void fail(const char* what) { throw std::runtime_error(std::string("util::AviRead::AviRead - ") + what); }

} // namespace

AviRead::AviRead(const char* name) : format_(0)
{
    std::memset(&info_, 0, sizeof info_);
    try {
        const HRESULT opened = AVIFileOpenA(&file_, name, OF_READ, nullptr);
        {
            // One insertion, so that the line cannot be torn apart.
            std::ostringstream line;
            line << static_cast<std::int32_t>(opened) << ':' << static_cast<std::int32_t>(AVIERR_BADFORMAT) << ','
                 << static_cast<std::int32_t>(REGDB_E_CLASSNOTREG) << '\n';
            std::cerr << line.str();
        }
        if (opened != AVIERR_OK)
            fail("can't open AVI file!");
        if (AVIFileGetStream(file_, &stream_, streamtypeVIDEO, 0) != AVIERR_OK)
            fail("can't open stream!");
        if (AVIStreamInfoA(stream_, &info_, sizeof info_) != AVIERR_OK)
            fail("can't init stream!");

        const LONG first = AVIStreamStart(stream_);
        if (hasRate())
            startSample_ = AVIStreamTimeToSample(stream_, std::min<LONG>(AVIStreamSampleToTime(stream_, first), 32767));
        else
            startSample_ = first;  // no rate: no time to limit, the start as it stands
        frameCount_ = std::max<LONG>(AVIStreamLength(stream_), 0);

        frame_ = AVIStreamGetFrameOpen(stream_, nullptr);
        if (!frame_)
            fail("can't initialise stream frame");

        LONG size = 0;
        if (AVIStreamReadFormat(stream_, 0, nullptr, &size) != AVIERR_OK)
            fail("error reading file format!");
        if (size < 0 || size > util_bmp_BI::recordBytes)
            fail("unsupported format size!");
        // The record is filled from its first byte on: header, then palette.
        unsigned char block[util_bmp_BI::recordBytes] = {0};
        LONG read = size;
        if (AVIStreamReadFormat(stream_, 0, block, &read) != AVIERR_OK || read != size)
            fail("error reading file format!");
        std::memcpy(format_.header.raw, block, util_bmp_BIH::bytes);
        std::memcpy(format_.paletteArea, block + util_bmp_BIH::bytes, sizeof format_.paletteArea);
        format_.defaultPaletteSize();
        format_.check();
        formatSize_ = size;
    } catch (...) {
        close();
        throw;
    }
}

AviRead::~AviRead() { close(); }

void AviRead::close()
{
    if (frame_)
        AVIStreamGetFrameClose(frame_);
    if (stream_)
        AVIStreamRelease(stream_);
    if (file_)
        AVIFileRelease(file_);
    frame_ = nullptr;
    stream_ = nullptr;
    file_ = nullptr;
}

double AviRead::fps() const
{
    if (!hasRate())
        return 0.0;
    return static_cast<double>(info_.dwRate) / static_cast<double>(info_.dwScale);
}

std::int32_t AviRead::sampleToTime(std::int32_t sample) const
{
    return hasRate() ? AVIStreamSampleToTime(stream_, sample) : 0;
}

const unsigned char* AviRead::getFrame(std::int64_t sample)
{
    if (sample < INT32_MIN || sample > INT32_MAX)
        throw std::runtime_error("util::AviRead::getFrame - sample " + std::to_string(sample) + " out of range");
    const void* bitmap = AVIStreamGetFrame(frame_, static_cast<LONG>(sample));
    if (!bitmap)
        throw std::runtime_error("util::AviRead::getFrame - the decoder yields no picture for sample " +
                                 std::to_string(sample));
    return static_cast<const unsigned char*>(bitmap);
}

} // namespace util
