// PackageList: packages by their four-character code, each owned, at most one per code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

namespace tarnwick {

class Package;

// Owns its packages and deletes them with itself. Not copyable. Iterates in ascending code order.
class PackageList {
public:
    using Map = std::map<std::uint32_t, std::unique_ptr<Package>>;

    PackageList();
    ~PackageList();
    PackageList(const PackageList&) = delete;
    PackageList& operator=(const PackageList&) = delete;

    Package* find(std::uint32_t code) const;   // owned by the list; null when none has the code
    std::size_t size() const { return packages_.size(); }
    bool empty() const { return packages_.empty(); }
    Map::const_iterator begin() const { return packages_.begin(); }
    Map::const_iterator end() const { return packages_.end(); }

protected:
    Map packages_;
};

}   // namespace tarnwick
