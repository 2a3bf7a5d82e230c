#include "Project/ComponentLink.h"

#include "Environment/Host.h"
#include "LibraryParts/FamilyGuid.h"
#include "Project/Library.h"

namespace tarnwick {
namespace {

// A part index belongs to some library: the given one, else the current project's.
Library* libraryFor(std::int32_t index, Library* library) {
    if (index == 0 || library != nullptr) return library;
    return Host::getLibrary();
}

}   // namespace

ComponentLink::ComponentLink(std::int32_t index, std::uint32_t type, Library* library)
    : type_(type), index_(index), library_(libraryFor(index, library)) {}

ComponentLink::ComponentLink(const TypeIndex& typeIndex, Library* library)
    : ComponentLink(typeIndex.second, typeIndex.first, library) {}

ComponentLink::ComponentLink(const String& name, std::uint32_t requestedType, Library* library)
    : type_(requestedType), library_(library != nullptr ? library : Host::getLibrary()) {
    if (library_ == nullptr) return;
    std::uint32_t type = requestedType;
    index_ = library_->searchByName(name, type);
    if (type != 0) type_ = type;
}

ComponentLink::ComponentLink(const FamilyGuid& uniqueId, std::uint32_t requestedType, Library* library)
    : type_(requestedType), library_(library != nullptr ? library : Host::getLibrary()) {
    if (library_ == nullptr) return;
    std::uint32_t type = requestedType;
    index_ = library_->searchByGuid(uniqueId, type);
    if (type != 0) type_ = type;
}

ComponentLink& ComponentLink::operator=(const TypeIndex& typeIndex) {
    type_ = typeIndex.first;
    index_ = typeIndex.second;
    library_ = nullptr;
    return *this;
}

ComponentLink::~ComponentLink() = default;

std::unique_ptr<ComponentLink> ComponentLink::clone() const { return std::make_unique<ComponentLink>(*this); }

bool ComponentLink::operator==(const ComponentLink& other) const {
    return type_ == other.type_ && index_ == other.index_ && library_ == other.library_;
}

bool ComponentLink::operator<(const ComponentLink& other) const {
    if (type_ != other.type_) return type_ < other.type_;
    return index_ < other.index_;
}

}   // namespace tarnwick
