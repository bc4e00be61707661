#include "tarvo/source/vs_file_util.h"

#include "tarvo/imageio/vs_file_single.h"
#include "tarvo/sequence/vs_file_dir.h"
#include "tarvo/source/registry.h"
#include "tarvo/source/util_fs.h"

#include <cstring>
#include <stdexcept>

namespace vs_file_util {

vs_file* create(const char* name)
{
    const std::size_t length = std::strlen(name);
    if (length > 0 && name[length - 1] == util_fs::dirSeparator())
        return new vs_file_dir(name);
    if (!std::strchr(name, '.'))
        throw std::runtime_error("vs_file_util::create - got file without extension");

    auto creator = util::registry::find<vs_file>(util_fs::extension(name));
    if (creator != util::registry::end<vs_file>())
        return util::registry::create<vs_file>(creator, vs_file_args{name});
    return new vs_file_single(name);
}

} // namespace vs_file_util
