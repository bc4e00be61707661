#include "tarvo/sequence/vs_file_many_imp.h"

#include "platform/share.h"
#include "tarvo/source/vs_file_util.h"

#include <limits>
#include <stdexcept>

vs_file_many_imp::vs_file_many_imp(const std::vector<std::string>& list)
{
    for (const std::string& name : list) {
        std::FILE* probe = _fsopen(name.c_str(), "r", _SH_DENYNO);
        if (!probe)
            throw std::runtime_error("vs_file_many (" + name + ") - access error");
        std::fclose(probe);
        if (frameCount == std::numeric_limits<std::int32_t>::max())
            throw std::runtime_error("vs_file_many (" + name + ") - too many names");
        members.emplace(name, boost::shared_ptr<vs_file>());
        names.push_back(name);
        ++frameCount;
    }
    if (frameCount == 0)
        throw "vs_file_many_imp::vs_file_many_imp - got an empty sequence";
    announced = open(names[0])->format();
}

boost::shared_ptr<vs_file> vs_file_many_imp::open(const std::string& name)
{
    try {
        return boost::shared_ptr<vs_file>(vs_file_util::create(name.c_str()));
    } catch (const std::exception& e) {
        throw std::runtime_error("vs_file_many - error while creating " + name + " :\n" + e.what());
    }
}

void vs_file_many_imp::getFrame(std::int32_t position, img_wrap& image)
{
    const std::string& name = names[static_cast<std::size_t>(position)];
    boost::shared_ptr<vs_file> member = members[name];
    if (!member) {
        member = open(name);
        if (members.size() < cacheLimit)
            members[name] = member;
    }
    if (member->length() <= 0)
        throw std::runtime_error("vs_file_many (" + name + ") - member has no frames");
    member->seek(0);
    member->getFrame(image);
    lastTimestamp = member->timestamp();
}
