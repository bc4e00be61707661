#include "platform/avi_riff.h"

#include "platform/share.h"
#include "tarvo/imageio/byte_order.h"

#include <sys/types.h>

std::string avi_fourcc_text(DWORD fourcc)
{
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = static_cast<unsigned char>(fourcc >> (8 * i));
        text += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
    }
    return text;
}

avi_file::avi_file(const char* name) : file_(_fsopen(name, "rb", _SH_DENYNO)), size_(0), position_(0)
{
    if (!file_)
        throw avi_error(AVIERR_FILEOPEN, std::string("can't open ") + name);
    if (fseeko(file_, 0, SEEK_END) != 0 || (size_ = ftello(file_)) < 0 || fseeko(file_, 0, SEEK_SET) != 0) {
        std::fclose(file_);
        throw avi_error(AVIERR_FILEREAD, std::string("can't find the size of ") + name);
    }
}

avi_file::~avi_file() { std::fclose(file_); }

bool avi_file::tryRead(std::int64_t offset, void* buffer, std::size_t bytes)
{
    if (offset < 0 || offset > size_ || static_cast<std::uint64_t>(size_ - offset) < bytes)
        return false;
    if (offset != position_) {
        if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) {
            position_ = -1;
            return false;
        }
        position_ = offset;
    }
    const std::size_t got = std::fread(buffer, 1, bytes, file_);
    position_ += static_cast<std::int64_t>(got);
    if (got != bytes) {
        std::clearerr(file_);
        position_ = -1;  // unknown after a failed read: seek next time
        return false;
    }
    return true;
}

void avi_file::read(std::int64_t offset, void* buffer, std::size_t bytes)
{
    if (!tryRead(offset, buffer, bytes))
        throw avi_error(AVIERR_FILEREAD, "can't read " + std::to_string(bytes) + " bytes at offset " +
                                             std::to_string(offset) + " of a file of " + std::to_string(size_) +
                                             " bytes");
}

bool avi_chunk::isList() const { return id == avi_fourcc("LIST") || id == avi_fourcc("RIFF"); }

bool avi_read_chunk(avi_file& file, std::int64_t offset, std::int64_t end, avi_chunk& chunk)
{
    unsigned char header[12];
    if (offset < 0 || end - offset < 8 || !file.tryRead(offset, header, 8))
        return false;
    chunk.id = static_cast<DWORD>(readLE32(header));
    chunk.size = static_cast<std::uint32_t>(readLE32(header + 4));
    chunk.data = offset + 8;
    chunk.next = chunk.data + chunk.size + (chunk.size & 1);
    chunk.form = 0;
    if (chunk.isList()) {
        if (chunk.size < 4 || !file.tryRead(chunk.data, header + 8, 4))
            return false;
        chunk.form = static_cast<DWORD>(readLE32(header + 8));
    }
    return true;
}
