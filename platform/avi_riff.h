// Reading RIFF files: a checked random-access file and the chunk headers
// found in it. Every read is bounded by the file's size, so a lying size
// field can never make us allocate or read beyond the file.
//
//   chunk  := fourcc, size (32-bit LE), data, one pad byte if size is odd
//   list   := 'LIST' or 'RIFF', size, form fourcc, chunks
#pragma once

#include "platform/vfw.h"

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

// A failure inside the AVI layer: the result code its calls report, and why.
class avi_error : public std::runtime_error {
public:
    avi_error(HRESULT code, const std::string& what) : std::runtime_error(what), code(code) {}
    HRESULT code;
};

constexpr DWORD avi_fourcc(const char (&s)[5])
{
    return DWORD(BYTE(s[0])) | DWORD(BYTE(s[1])) << 8 | DWORD(BYTE(s[2])) << 16 | DWORD(BYTE(s[3])) << 24;
}

std::string avi_fourcc_text(DWORD fourcc);

class avi_file {
public:
    // Throws avi_error AVIERR_FILEOPEN when the file cannot be opened.
    explicit avi_file(const char* name);
    ~avi_file();
    avi_file(const avi_file&) = delete;
    avi_file& operator=(const avi_file&) = delete;

    std::int64_t size() const { return size_; }
    // Exactly `bytes` bytes at `offset`; throws avi_error AVIERR_FILEREAD when
    // they lie beyond the file or cannot be read.
    void read(std::int64_t offset, void* buffer, std::size_t bytes);
    // Like read, but false instead of a throw.
    bool tryRead(std::int64_t offset, void* buffer, std::size_t bytes);

private:
    std::FILE* file_;
    std::int64_t size_;
    std::int64_t position_;  // where the stream stands, to spare seeks on sequential reads
};

struct avi_chunk {
    DWORD id;
    std::int64_t data;       // offset of the first data byte
    std::uint32_t size;      // size as the header declares it
    std::int64_t next;       // offset of the next chunk header (data + size + pad)
    bool isList() const;     // 'LIST' or 'RIFF': data starts with the form fourcc
    DWORD form;              // the form of a list, else 0
};

// The chunk whose header starts at `offset`, if its header lies before
// `end`; false when fewer than 8 bytes remain. The data may reach beyond
// `end` (a truncated or lying chunk): callers check `data + size` themselves.
bool avi_read_chunk(avi_file& file, std::int64_t offset, std::int64_t end, avi_chunk& chunk);
