// Maps a product base and a key to the creator that builds such a product.
//
// Each base declares `creation_args` (the record its creators take) and
// `registryName()` (the text "class " + its name). Every concrete product that
// takes part has one static util::RegistryCreator; constructing it registers
// it. All of them are defined, in load order, in tarvo/load_order.cpp.
#pragma once

#include <map>
#include <string>

namespace util {

class RegistryCreatorBase {
public:
    virtual ~RegistryCreatorBase() = default;
    virtual const char* key() const = 0;
};

template <class Base>
class RegistryCreatorAbstract : public RegistryCreatorBase {
public:
    // A new product, owned by the caller.
    virtual Base* create(const typename Base::creation_args& args) const = 0;
};

} // namespace util

class Registry {
public:
    using Creators = std::map<std::string, util::RegistryCreatorBase*>;

    // The first creator registered under a key stays; later ones are ignored.
    void registerCreator(const std::string& baseName, util::RegistryCreatorBase* creator);
    Creators& getCreators(const std::string& baseName);

private:
    std::map<std::string, Creators> bases_;
};

namespace util {
namespace registry {

// Built empty by its first caller, the first creator to register.
Registry& instance();

template <class Base>
Registry::Creators::iterator find(const std::string& key)
{
    return instance().getCreators(Base::registryName()).find(key);
}

template <class Base>
Registry::Creators::iterator end()
{
    return instance().getCreators(Base::registryName()).end();
}

[[noreturn]] void unsupportedType(const std::string& baseName, const std::string& suffix);

template <class Base>
Base* create(Registry::Creators::iterator position, const typename Base::creation_args& args)
{
    if (position == end<Base>())
        unsupportedType(Base::registryName(), "");
    // A creator registered under another base fails here with std::bad_cast.
    auto& creator = dynamic_cast<const RegistryCreatorAbstract<Base>&>(*position->second);
    return creator.create(args);
}

template <class Base>
Base* create(const std::string& key, const typename Base::creation_args& args)
{
    auto position = find<Base>(key);
    if (position == end<Base>())
        unsupportedType(Base::registryName(), ": " + key);
    return create<Base>(position, args);
}

} // namespace registry

// Registers itself at construction under Product::registryKey.
template <class Base, class Product>
class RegistryCreator : public RegistryCreatorAbstract<Base> {
public:
    RegistryCreator() { registry::instance().registerCreator(Base::registryName(), this); }
    const char* key() const override { return Product::registryKey; }
    Base* create(const typename Base::creation_args& args) const override { return new Product(args); }
};

} // namespace util
