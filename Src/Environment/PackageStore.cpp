#include "Environment/PackageStore.h"

#include <string>

#include "Environment/Package.h"
#include "Foundation/XMLAssemblyProxy.h"
#include "Foundation/XMLProxy.h"
#include "Foundation/XMLReader.h"
#include "Foundation/XMLWriter.h"

namespace tarnwick {
namespace {

// The store as the XML reader and writer see it: one child per package, in code order. While reading it
// collects fresh packages, which the store files only after a read without error.
class StoreRecord : public XMLAssembly {
public:
    StoreRecord(const String& rootName, const PackageList::Map& packages)
        : XMLAssembly(rootName.getView()), packages_(packages) {}

    std::unique_ptr<XMLAssembly> clone() const override { return nullptr; }   // lives for one read or write
    std::size_t getChildCount() const override { return packages_.size(); }

    std::unique_ptr<XMLProxy> findChild(std::string_view name, bool attribute) override {
        if (attribute) return nullptr;   // packages are elements
        for (const auto& [code, package] : packages_) {
            if (package->getTag() != name) continue;
            std::unique_ptr<Package>& fresh = read_[code];   // a second element of a kind: the last counts
            fresh = package->makeEmpty();
            return std::make_unique<XMLAssemblyProxy>(*fresh);
        }
        return nullptr;
    }

    std::map<std::uint32_t, std::unique_ptr<Package>>& packagesRead() { return read_; }

protected:
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        auto it = packages_.begin();
        std::advance(it, static_cast<std::ptrdiff_t>(index));
        return std::make_unique<XMLAssemblyProxy>(*it->second);
    }

private:
    const PackageList::Map& packages_;
    std::map<std::uint32_t, std::unique_ptr<Package>> read_;
};

}   // namespace

PackageStore::PackageStore(const String& rootName, bool flag) : rootName_(rootName), flag_(flag) {}

PackageStore::~PackageStore() = default;

// --- Filing ------------------------------------------------------------------------------------------
Package& PackageStore::addPackage(const Package& package, bool notify) {
    const std::uint32_t code = package.getPackageCode();
    Package* filed = find(code);
    if (filed != &package) {
        std::unique_ptr<Package> copy =
            package.copy();   // made first: a failed copy leaves the store as it was
        filed = copy.get();
        packages_[code] = std::move(copy);
    }
    announce(code, notify);
    return *filed;
}

Package* PackageStore::adoptPackage(std::unique_ptr<Package> package, bool notify) {
    if (!package) return nullptr;
    const std::uint32_t code = package->getPackageCode();
    std::unique_ptr<Package>& slot = packages_[code];
    if (slot == package) {
        package.release();   // the store already owns it: the caller's pointer was a second owner
    } else {
        slot = std::move(package);
    }
    Package* const filed = slot.get();
    announce(code, notify);
    return filed;
}

std::unique_ptr<Package> PackageStore::removePackage(std::uint32_t code) {
    const auto it = packages_.find(code);
    if (it == packages_.end()) return nullptr;
    std::unique_ptr<Package> package = std::move(it->second);
    packages_.erase(it);
    return package;
}

void PackageStore::getTypes(std::vector<std::uint32_t>& codes) const {
    for (const auto& [code, package] : packages_) codes.push_back(code);
}

void PackageStore::clear() { packages_.clear(); }

void PackageStore::resetPackages(bool skipKept) {
    for (auto& [code, package] : packages_) {
        if (skipKept && package->isKeptOnReset()) continue;
        package = package->makeEmpty();
    }
}

void PackageStore::announce(std::uint32_t code, bool notify) const {
    if (notify && notifier_) notifier_(code);
}

// --- XML ---------------------------------------------------------------------------------------------
bool PackageStore::read(DataBufferIn& in) {
    StoreRecord record(rootName_, packages_);
    XMLReader reader(in);
    if (!reader.read(record)) return false;
    for (auto& [code, package] : record.packagesRead()) packages_[code] = std::move(package);
    return true;
}

bool PackageStore::write(DataBufferOut& out) {
    StoreRecord record(rootName_, packages_);
    XMLWriter writer(out);
    return writer.write(record);
}

}   // namespace tarnwick
