// The checked input file every loader reads through: a failure to open or a
// short read becomes a std::runtime_error naming the loader and the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class img_io_load_imp {
public:
    // Opens `path` for binary reading and measures its size.
    img_io_load_imp(const std::string& path, const std::string& owner);
    ~img_io_load_imp();
    img_io_load_imp(const img_io_load_imp&) = delete;
    img_io_load_imp& operator=(const img_io_load_imp&) = delete;

    // Exactly `count` bytes, or a premature-eof / read-error exception.
    void read(void* buffer, std::int64_t count);
    // Relative and absolute moves of the read position; unchecked, a later read reports.
    void skip(std::int64_t count);
    void seekTo(std::int64_t position);
    // The premature-eof exception unless `count` bytes follow the read position;
    // lets a reader refuse a truncated file before it allocates for its pixels.
    void require(std::int64_t count);
    std::int32_t size() const { return size_; }

private:
    std::FILE* file;
    std::string owner;
    std::string path;
    std::int32_t size_;
};
