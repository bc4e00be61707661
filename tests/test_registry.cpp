#include "tarvo/imageio/img_io_load.h"
#include "tarvo/source/registry.h"
#include "tarvo/source/vs_file.h"
#include "tarvo/source/vs_grab.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <typeinfo>

namespace {

// A base of its own, so these tests see a registry unaffected by the library's creators.
struct widget {
    struct creation_args { int size; };
    static const char* registryName() { return "class widget"; }
    virtual ~widget() = default;
    virtual int size() const = 0;
};

struct small_widget : widget {
    static constexpr const char* registryKey = "small";
    explicit small_widget(const creation_args& args) : size_(args.size) {}
    int size() const override { return size_; }
    int size_;
};

struct other_small_widget : small_widget {
    using small_widget::small_widget;
    int size() const override { return -1; }
};

struct failing_widget : widget {
    static constexpr const char* registryKey = "failing";
    explicit failing_widget(const creation_args&) { throw std::runtime_error("failing_widget - refused"); }
    int size() const override { return 0; }
};

util::RegistryCreator<widget, small_widget> smallCreator;
util::RegistryCreator<widget, other_small_widget> duplicateCreator;  // same key: ignored
util::RegistryCreator<widget, failing_widget> failingCreator;

std::string messageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<no exception>";
}

} // namespace

TEST(Registry, CreatesByKeyWithTheArgument)
{
    std::unique_ptr<widget> w(util::registry::create<widget>("small", widget::creation_args{7}));
    EXPECT_EQ(w->size(), 7);  // the first creator under "small" stayed
}

TEST(Registry, KeysMatchExactlyWithCase)
{
    EXPECT_NE(util::registry::find<widget>("small"), util::registry::end<widget>());
    EXPECT_EQ(util::registry::find<widget>("Small"), util::registry::end<widget>());
    EXPECT_EQ(messageOf([] { util::registry::create<widget>("Small", widget::creation_args{1}); }),
              "util::registry::create<class widget> - unsupported type: Small");
    EXPECT_EQ(messageOf([] { util::registry::create<widget>(util::registry::end<widget>(), widget::creation_args{1}); }),
              "util::registry::create<class widget> - unsupported type");
}

TEST(Registry, ConstructorFailuresPassThrough)
{
    EXPECT_EQ(messageOf([] { util::registry::create<widget>("failing", widget::creation_args{1}); }),
              "failing_widget - refused");
}

TEST(Registry, UnknownBaseNameIsRefused)
{
    EXPECT_EQ(messageOf([] { util::registry::instance().getCreators("class nothing"); }),
              "Registry::getCreators - illegal name_base: class nothing");
}

TEST(Registry, CreatorOfAnotherBaseGivesBadCast)
{
    // A creator used as one of another base is caught by the checked conversion.
    auto position = util::registry::find<widget>("small");
    EXPECT_THROW(
        {
            auto& c = dynamic_cast<const util::RegistryCreatorAbstract<vs_file>&>(*position->second);
            (void)c;
        },
        std::bad_cast);
}

TEST(Registry, LibraryBasesHoldTheirKeysInOrder)
{
    std::vector<std::string> files;
    for (const auto& entry : util::registry::instance().getCreators("class vs_file"))
        files.push_back(entry.first);
    EXPECT_NE(std::find(files.begin(), files.end(), "txt"), files.end());
    EXPECT_TRUE(std::is_sorted(files.begin(), files.end()));
    EXPECT_EQ(util::registry::find<vs_file>("AVI"), util::registry::end<vs_file>());
}
