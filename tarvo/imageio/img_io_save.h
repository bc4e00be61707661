// Still-image writers. Nothing in the library creates one; they exist for
// callers that write the formats the loaders read.
#pragma once

#include "tarvo/image/img_wrap.h"

#include <cstdint>
#include <cstdio>
#include <string>

class img_io_save_imp {
public:
    img_io_save_imp(std::FILE* file, bool closes) : file(file), closes(closes) {}
    // Throws when the stream is missing or in error.
    void check(const char* text) const;

    std::FILE* file;
    bool closes;  // the saver closes the stream when it is destroyed
};

class img_io_save {
public:
    // Writes into a new file at `path` (binary), closed by the saver.
    explicit img_io_save(const std::string& path);
    // Writes into an open stream, which the caller keeps and closes.
    explicit img_io_save(std::FILE* file);
    virtual ~img_io_save();
    img_io_save(const img_io_save&) = delete;
    img_io_save& operator=(const img_io_save&) = delete;

    virtual void operator()(const img_wrap& image) = 0;

protected:
    void write(const void* bytes, std::int64_t count);

private:
    img_io_save_imp* imp;
};
