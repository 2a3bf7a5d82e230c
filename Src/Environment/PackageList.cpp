#include "Environment/PackageList.h"

#include "Environment/Package.h"

namespace tarnwick {

PackageList::PackageList() = default;

PackageList::~PackageList() = default;

Package* PackageList::find(std::uint32_t code) const {
    const auto it = packages_.find(code);
    return it == packages_.end() ? nullptr : it->second.get();
}

}   // namespace tarnwick
