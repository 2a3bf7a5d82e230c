// A project's preference store read with the host's nth allocation failing: the store stays as it was.
#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include <FourCC.h>

#include "Environment/Package.h"
#include "Environment/PackageStore.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/String.h"
#include "Foundation/XMLTypeProxy.h"
#include "Support/AllocationSweep.h"

using namespace tarnwick;

namespace {

// The active configuration name of each source kind, as the product keeps them.
class SourcePrefs : public Package {
public:
    SourcePrefs() : Package("skellowingPrefs") {}
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<SourcePrefs>(*this); }
    std::uint32_t getPackageCode() const override { return host::fourcc("SKPP"); }

    String sources[5] = {"Default", "Default", "Default", "Default", "Default"};

protected:
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        return index < 5 ? std::make_unique<XMLTypeProxy<String>>(sources[index], kTags[index]) : nullptr;
    }

private:
    static constexpr std::string_view kTags[] = {"ifcSource", "dwgSource", "gsmSource", "missingSource",
                                                 "legaceSource"};
};

class Counter : public Package {
public:
    Counter() : Package("counter") {}
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<Counter>(*this); }
    std::uint32_t getPackageCode() const override { return host::fourcc("TCNT"); }

    int count = 0;

protected:
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        return index == 0 ? std::make_unique<XMLTypeProxy<int>>(count, kTags[0], /*isAttribute=*/true)
                          : nullptr;
    }

private:
    static constexpr std::string_view kTags[] = {"count"};
};

std::unique_ptr<PackageStore> freshStore() {
    auto store = std::make_unique<PackageStore>("frameworkPreferenceStore", true);
    store->adoptPackage(std::make_unique<SourcePrefs>(), false);
    store->adoptPackage(std::make_unique<Counter>(), false);
    return store;
}

std::string written(PackageStore& store) {
    String text;
    DataBufferOut out;
    out.open(text);
    const bool ok = store.write(out);
    out.close();
    return ok ? std::string(text.getView()) : std::string("<failed>");
}

}   // namespace

TEST(PackageStoreAllocation, LeavesTheStoreAsItWasWhereverAnAllocationFailsWhileReading) {
    std::string stored;
    {
        auto store = freshStore();
        auto& prefs = static_cast<SourcePrefs&>(*store->find(host::fourcc("SKPP")));
        prefs.sources[0] = "Site survey 2024 with the consultants' furniture names";   // a block of its own
        prefs.sources[2] = String(std::string(600, 'g'));   // past the largest kept
        static_cast<Counter&>(*store->find(host::fourcc("TCNT"))).count = 7;
        stored = written(*store);
    }
    const auto allocations =
        sweep::sweepAllocations([] { return freshStore(); },
                                [&stored](PackageStore& store) {
                                    DataBufferIn in{std::string_view(stored)};
                                    ASSERT_TRUE(store.read(in));
                                },
                                [](PackageStore& store) { return written(store); }, /*keptOnFailure=*/true);
    EXPECT_GT(allocations, 2u);
}
