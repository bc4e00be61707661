// The interface every video source meets, and the position logic they share.
#pragma once

#include "tarvo/image/img_fmt.h"
#include "tarvo/image/img_wrap.h"

#include <cstdint>

class vs_base {
public:
    vs_base() = default;
    virtual ~vs_base() = default;
    vs_base(const vs_base&) = delete;
    vs_base& operator=(const vs_base&) = delete;

    virtual bool isFile() const = 0;
    virtual bool isGrab() const = 0;
    virtual const char* asciiDescriptor() const = 0;
    virtual const char* type() const = 0;
    virtual std::int32_t size() const = 0;
    virtual double fps() const { return 0.0; }
    // The frame format, without fetching a frame.
    virtual const img_fmt& format() const = 0;
    // Milliseconds: of the frame at the position (files) or of the call (live sources).
    virtual std::int32_t timestamp() const = 0;
    // Fills `image` with the frame at the position; never moves the position.
    virtual void getFrame(img_wrap& image) = 0;

    // Frames in the window [first, end); end < 0 means the end of the source.
    std::int32_t length() const;
    // Takes the position modulo length(), negative positions counted from the end.
    void seek(std::int32_t position);
    std::int32_t tell() const { return cur - first; }

protected:
    std::int32_t cur = 0;
    std::int32_t first = 0;
    std::int32_t end = -1;
};
