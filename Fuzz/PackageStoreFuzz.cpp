// The package store on any bytes, as a project's "frameworkPreferenceStore" module data or a preference
// file brings them. A refused text leaves the store as it was; an accepted one writes, and what is
// written reads back to the same packages and kept elements of unknown kinds, and writes again byte for
// byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "Environment/Package.h"
#include "Environment/PackageStore.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/String.h"
#include "Foundation/XMLTypeProxy.h"

namespace {

using namespace tarnwick;

// A package with a text and a number attribute, like the add-ons' preference packages.
class Note : public Package {
public:
    Note() : Package("note") {}
    Note(const Note& other) : Package(other), text(other.text), count(other.count) {}
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<Note>(*this); }
    std::uint32_t getPackageCode() const override { return 0x4E4F5445; }   // 'NOTE'
    void clear() override {
        Package::clear();
        text = "Default";
        count = 0;
    }

    String text = "Default";
    int count = 0;

protected:
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        if (index == 0) return std::make_unique<XMLTypeProxy<String>>(text, kTags[0]);
        if (index == 1) return std::make_unique<XMLTypeProxy<int>>(count, kTags[1], /*isAttribute=*/true);
        return nullptr;
    }

private:
    static constexpr std::string_view kTags[] = {"text", "count"};
};

std::unique_ptr<PackageStore> freshStore() {
    auto store = std::make_unique<PackageStore>("frameworkPreferenceStore", true);
    store->adoptPackage(std::make_unique<Note>(), false);
    return store;
}

std::string written(PackageStore& store) {
    String text;
    DataBufferOut out;
    if (!out.open(text) || !store.write(out) || !out.close()) std::abort();
    return std::string(text.getView());
}

bool read(PackageStore& store, std::string_view text) {
    DataBufferIn in(text);
    return store.read(in);
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto store = freshStore();
    const std::string base = written(*store);
    if (!read(*store, text)) {
        if (written(*store) != base || store->getUnknownCount() != 0) std::abort();   // unchanged
        return 0;
    }
    const std::string first = written(*store);
    const auto again = freshStore();
    if (!read(*again, first)) std::abort();
    if (again->getUnknownCount() != store->getUnknownCount() || written(*again) != first) std::abort();
    return 0;
}
