// ComponentLink: the light reference to one library part of the open project: its host type code, its
// library index and the Library the index belongs to.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

namespace tarnwick {

class FamilyGuid;
class Library;
class String;

// A value; copy freely. The Library is borrowed, never owned. Index 0 means "no part"; host indexes count
// from 1. A link given a non-zero index but no library takes the current project's Library.
class ComponentLink {
public:
    using TypeIndex = std::pair<std::uint32_t, std::int32_t>;   // (host type code, library index)

    ComponentLink() = default;   // type 0, index 0, no library
    ComponentLink(std::int32_t index, std::uint32_t type, Library* library);
    ComponentLink(const TypeIndex& typeIndex, Library* library);
    // The part of that document name (Library::searchByName) in the library, else the current project's.
    // Index 0 when there is no library or no such part. A search that yields type 0 keeps requestedType.
    ComponentLink(const String& name, std::uint32_t requestedType, Library* library);
    // The same by unique-id text (Library::searchByGuid).
    ComponentLink(const FamilyGuid& uniqueId, std::uint32_t requestedType, Library* library);
    ComponentLink(const ComponentLink&) = default;
    ComponentLink& operator=(const ComponentLink&) = default;
    ComponentLink& operator=(const TypeIndex& typeIndex);   // the library becomes none
    virtual ~ComponentLink();

    virtual std::unique_ptr<ComponentLink> clone() const;

    bool isValid() const { return index_ != 0; }
    std::uint32_t getType() const { return type_; }
    std::int32_t getIndex() const { return index_; }
    Library* getLibrary() const { return library_; }   // null when none
    void setType(std::uint32_t type) { type_ = type; }
    void setIndex(std::int32_t index) { index_ = index; }
    void setLibrary(Library* library) { library_ = library; }

    // Equal when type, index and library are. The order is by type, then index, and ignores the library:
    // links of two libraries can be unequal while neither orders first.
    bool operator==(const ComponentLink& other) const;
    bool operator!=(const ComponentLink& other) const { return !(*this == other); }
    bool operator<(const ComponentLink& other) const;
    bool operator>(const ComponentLink& other) const { return other < *this; }

private:
    std::uint32_t type_ = 0;       // host library-part type code
    std::int32_t index_ = 0;       // host library index from 1; 0: no part
    Library* library_ = nullptr;   // not owned
};

}   // namespace tarnwick
