#include "tarvo/imageio/vs_file_single.h"

#include "tarvo/imageio/img_io_load.h"

#include <string>

struct vs_file_single::imp {
    img_wrap image;
    std::string name;
};

vs_file_single::vs_file_single(const char* name) : m(new imp{img_wrap(), name})
{
    img_io_load_util::load(name, m->image);
}

vs_file_single::~vs_file_single() = default;

const char* vs_file_single::asciiDescriptor() const { return m->name.c_str(); }

const img_fmt& vs_file_single::format() const { return m->image.fmt(); }

void vs_file_single::getFrame(img_wrap& image) { image = m->image; }
