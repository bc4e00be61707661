#include "tarvo/interface/vs_manager.h"

#include <stdexcept>

std::int32_t VSManager::create(const VSEntry& entry)
{
    if (next > lastHandle)
        throw std::runtime_error("VSManager::create - all handle numbers are used up");
    table.emplace(next, entry);
    return next++;
}

VSEntry& VSManager::get(std::int32_t handle)
{
    auto found = table.find(handle);
    if (found == table.end())
        throw std::runtime_error("VSManager::get - illegal index");
    return found->second;
}

void VSManager::destroy(std::int32_t handle)
{
    table.erase(handle);
}
