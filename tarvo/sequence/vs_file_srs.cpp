#include "tarvo/sequence/vs_file_srs.h"

#include "tarvo/imageio/img_io_load_rasMany.h"

#include <stdexcept>

vs_file_srs::vs_file_srs(const vs_file_args& args)
    : reader(new img_io_load_rasMany(args.name)), frameFormat(reader->format()), name(args.name),
      frameCount(reader->size())
{
    if (frameCount <= 0)
        throw std::runtime_error("vs_file_srs (" + name + ") - file is shorter than one image");
}

vs_file_srs::~vs_file_srs() = default;

void vs_file_srs::getFrame(img_wrap& image)
{
    reader->seek(cur);
    (*reader)(image);
}
