#include "tarvo/imageio/img_io_load_rasMany.h"

#include "tarvo/imageio/img_io_ras_reader.h"

img_io_load_rasMany::img_io_load_rasMany(const char* name) : reader(new img_io_ras_reader(name)) {}

img_io_load_rasMany::~img_io_load_rasMany() = default;

const img_fmt& img_io_load_rasMany::format() const { return reader->format(); }

std::int32_t img_io_load_rasMany::size() const { return reader->size(); }

void img_io_load_rasMany::seek(std::int32_t index) { reader->seek(index); }

void img_io_load_rasMany::operator()(img_wrap& target) { reader->read(target); }
