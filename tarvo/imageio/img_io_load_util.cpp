#include "tarvo/imageio/img_io_load.h"

#include "tarvo/source/registry.h"
#include "tarvo/source/util_fs.h"
#include "tarvo/source/util_string.h"

#include <memory>
#include <string>

namespace img_io_load_util {

void load(const char* name, img_wrap& target)
{
    std::string key = util_fs::extension(name);
    util_string::toLower(key);
    std::unique_ptr<img_io_load> loader(util::registry::create<img_io_load>(key, img_io_load_args{}));
    (*loader)(name, target);
}

} // namespace img_io_load_util
