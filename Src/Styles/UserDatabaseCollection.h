// UserDatabaseCollection: the root of a file of user databases (a style file, a starter style file, a
// file of deleted records). It gathers what is written or read as its items, and keeps the databases
// that belong to the file (copies made for it, databases read from it) in a package store of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "Foundation/XMLAssembly.h"

namespace tarnwick {

class DataBufferIn;
class DataBufferOut;
class Package;
class PackageStore;
class String;
class XMLProxy;

// Owned by whoever reads or writes the file. Its items (proxies over databases and other records) are
// owned by it and borrow their targets, which must outlive it; its packages are owned by its store,
// which it shares with no one unless asked. Not copyable.
class UserDatabaseCollection : public XMLAssembly {
public:
    // The root tag is given by the first database added (createProxy); it is borrowed.
    explicit UserDatabaseCollection(std::string_view rootTag = {});
    ~UserDatabaseCollection() override;
    UserDatabaseCollection(const UserDatabaseCollection&) = delete;
    UserDatabaseCollection& operator=(const UserDatabaseCollection&) = delete;

    void setRootTag(std::string_view tag) { setTag(tag); }
    std::unique_ptr<XMLAssembly> clone() const override;   // throws TracedException "bad_access"

    // --- Virtual operations, in the order of the interface ------------------------------------------
    // The item whose tag matches; null when none does.
    std::unique_ptr<XMLProxy> findChild(std::string_view name, bool attribute) override;
    // Appends the item when one is given; files the package (adopted, without notice) when one is given.
    void add(std::unique_ptr<XMLProxy> item, std::unique_ptr<Package> package);
    // Hands every package, in code order, to the open project's store (adopted, without notice). With no
    // project the packages are deleted. False then.
    bool moveToProject();
    std::unique_ptr<XMLProxy> makeItemProxy(std::size_t index);   // null past the end

    // --- Non-virtual ------------------------------------------------------------------------------
    Package* findPackage(std::uint32_t code) const;             // null when none, or no store
    std::unique_ptr<Package> takePackage(std::uint32_t code);   // null when none, or no store
    std::size_t getChildCount() const override { return items_.size(); }
    std::size_t getItemCount() const { return items_.size(); }

    // The file: false when it cannot be read (error says where: "line L, column C: what") or written.
    bool read(DataBufferIn& in, String& error);
    bool write(DataBufferOut& out);

protected:
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override { return makeItemProxy(index); }

private:
    std::shared_ptr<PackageStore> store_;   // made with the first package; before the items, so outlives them
    std::vector<std::unique_ptr<XMLProxy>> items_;
};

}   // namespace tarnwick
