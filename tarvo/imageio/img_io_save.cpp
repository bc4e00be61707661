#include "tarvo/imageio/img_io_save.h"

#include "platform/share.h"

#include <stdexcept>

void img_io_save_imp::check(const char* text) const
{
    if (!file || std::ferror(file))
        throw std::runtime_error(std::string("img_io_save_imp::check - file check failed (") + text + ")");
}

img_io_save::img_io_save(const std::string& path)
    : imp(new img_io_save_imp(_fsopen(path.c_str(), "wb", _SH_DENYNO), true))
{
    try {
        imp->check(("<while opening " + path + ">").c_str());
    } catch (...) {
        delete imp;
        throw;
    }
}

img_io_save::img_io_save(std::FILE* file) : imp(new img_io_save_imp(file, false)) {}

img_io_save::~img_io_save()
{
    if (imp->closes && imp->file)
        std::fclose(imp->file);
    delete imp;
}

void img_io_save::write(const void* bytes, std::int64_t count)
{
    imp->check("<while writing>");
    std::fwrite(bytes, 1, static_cast<std::size_t>(count), imp->file);
    imp->check("<while writing>");
}
