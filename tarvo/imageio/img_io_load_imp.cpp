#include "tarvo/imageio/img_io_load_imp.h"

#include "platform/share.h"

#include <limits>
#include <stdexcept>

img_io_load_imp::img_io_load_imp(const std::string& path, const std::string& owner)
    : file(_fsopen(path.c_str(), "rb", _SH_DENYNO)), owner(owner), path(path), size_(0)
{
    if (!file)
        throw std::runtime_error(owner + " - can't open " + path);
    std::int64_t end = -1;
    if (fseeko(file, 0, SEEK_END) == 0)
        end = ftello(file);
    if (end < 0 || end > std::numeric_limits<std::int32_t>::max()) {
        std::fclose(file);
        throw std::runtime_error(owner + " - file size not supported (" + std::to_string(end) + " bytes) " + path);
    }
    size_ = static_cast<std::int32_t>(end);
    fseeko(file, 0, SEEK_SET);
}

img_io_load_imp::~img_io_load_imp()
{
    std::fclose(file);
}

void img_io_load_imp::read(void* buffer, std::int64_t count)
{
    if (count < 0 || std::fread(buffer, 1, static_cast<std::size_t>(count), file) != static_cast<std::size_t>(count))
        throw std::runtime_error(owner + " - got premature eof while reading " + path);
    if (std::ferror(file))
        throw std::runtime_error(owner + " - got error while reading " + path);
}

void img_io_load_imp::skip(std::int64_t count)
{
    fseeko(file, count, SEEK_CUR);
}

void img_io_load_imp::seekTo(std::int64_t position)
{
    fseeko(file, position, SEEK_SET);
}

void img_io_load_imp::require(std::int64_t count)
{
    const std::int64_t position = ftello(file);
    if (count < 0 || position < 0 || count > std::int64_t(size_) - position)
        throw std::runtime_error(owner + " - got premature eof while reading " + path);
}
