#include "tarvo/source/registry.h"

#include <stdexcept>

void Registry::registerCreator(const std::string& baseName, util::RegistryCreatorBase* creator)
{
    bases_[baseName].emplace(creator->key(), creator);
}

Registry::Creators& Registry::getCreators(const std::string& baseName)
{
    auto base = bases_.find(baseName);
    if (base == bases_.end())
        throw std::runtime_error("Registry::getCreators - illegal name_base: " + baseName);
    return base->second;
}

namespace util {
namespace registry {

Registry& instance()
{
    static Registry theRegistry;
    return theRegistry;
}

void unsupportedType(const std::string& baseName, const std::string& suffix)
{
    throw std::runtime_error("util::registry::create<" + baseName + "> - unsupported type" + suffix);
}

} // namespace registry
} // namespace util
