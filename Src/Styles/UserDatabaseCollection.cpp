#include "Styles/UserDatabaseCollection.h"

#include <string>

#include "Environment/Host.h"
#include "Environment/Package.h"
#include "Environment/PackageStore.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/String.h"
#include "Foundation/TracedException.h"
#include "Foundation/XMLAssemblyProxy.h"
#include "Foundation/XMLProxy.h"
#include "Foundation/XMLReader.h"
#include "Foundation/XMLWriter.h"
#include "Project/Project.h"

namespace tarnwick {
namespace {
constexpr const char* kStoreName = "userDatabaseCollection";
}   // namespace

UserDatabaseCollection::UserDatabaseCollection(std::string_view rootTag) : XMLAssembly(rootTag) {}

UserDatabaseCollection::~UserDatabaseCollection() = default;

std::unique_ptr<XMLAssembly> UserDatabaseCollection::clone() const {
    throw TracedException("bad_access", "UserDatabaseCollection::clone");
}

std::unique_ptr<XMLProxy> UserDatabaseCollection::findChild(std::string_view name, bool attribute) {
    if (attribute) return nullptr;
    for (std::size_t index = 0; index < items_.size(); ++index)
        if (items_[index]->getTag() == name) return makeItemProxy(index);
    return nullptr;
}

void UserDatabaseCollection::add(std::unique_ptr<XMLProxy> item, std::unique_ptr<Package> package) {
    if (package) {
        if (!store_) store_ = std::make_shared<PackageStore>(String(kStoreName), false);
        store_->adoptPackage(std::move(package), /*notify=*/false);
    }
    if (item) items_.push_back(std::move(item));
}

bool UserDatabaseCollection::moveToProject() {
    if (!store_) return true;
    std::vector<std::uint32_t> codes;
    store_->getTypes(codes);
    Project* const project = Host::getProject();
    for (const std::uint32_t code : codes) {
        std::unique_ptr<Package> package = store_->removePackage(code);
        if (project) project->getPackageStore().adoptPackage(std::move(package), /*notify=*/false);
    }
    return project != nullptr;
}

std::unique_ptr<XMLProxy> UserDatabaseCollection::makeItemProxy(std::size_t index) {
    if (index >= items_.size()) return nullptr;
    XMLProxy& item = *items_[index];
    XMLAssembly* const record = item.getRecord();
    if (!record) return nullptr;
    // A borrowing proxy: the item stays ours for the next read or write step.
    return std::make_unique<XMLAssemblyProxy>(*record, item.getTag(), false, item.getNamespace(),
                                              item.isPresent());
}

Package* UserDatabaseCollection::findPackage(std::uint32_t code) const {
    return store_ ? store_->find(code) : nullptr;
}

std::unique_ptr<Package> UserDatabaseCollection::takePackage(std::uint32_t code) {
    return store_ ? store_->removePackage(code) : nullptr;
}

bool UserDatabaseCollection::read(DataBufferIn& in, String& error) {
    XMLReader reader(in);
    if (reader.read(*this)) {
        error.clear();
        return true;
    }
    error = String(std::string_view("line " + std::to_string(reader.errorLine()) + ", column " +
                                    std::to_string(reader.errorColumn()) + ": " + reader.errorText()));
    return false;
}

bool UserDatabaseCollection::write(DataBufferOut& out) {
    XMLWriter writer(out);
    return writer.write(*this) && out.flush();
}

}   // namespace tarnwick
