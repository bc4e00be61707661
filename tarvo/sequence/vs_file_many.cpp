#include "tarvo/sequence/vs_file_many.h"

#include "tarvo/sequence/vs_file_many_imp.h"

vs_file_many::vs_file_many(const std::vector<std::string>& names) : m(new vs_file_many_imp(names)) {}

vs_file_many::~vs_file_many() = default;

std::int32_t vs_file_many::size() const { return m->frameCount; }

const img_fmt& vs_file_many::format() const { return m->announced; }

std::int32_t vs_file_many::timestamp() const { return m->lastTimestamp; }

void vs_file_many::getFrame(img_wrap& image) { m->getFrame(cur, image); }
