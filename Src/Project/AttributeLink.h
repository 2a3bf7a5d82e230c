// AttributeLink: a light reference to one host attribute: its type, its 16-bit index and the
// Specification (attribute database) it belongs to.
#pragma once

#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Foundation/String.h"
#include "Project/AttributeType.h"

namespace tarnwick {

class Specification;

// A value; copy freely. The index field is 32 bits whose low half is the host's signed 16-bit index and
// whose high half is 0. The owner is not owned; null for an unlinked attribute. In every constructor a
// missing owner with a non-zero index becomes the project's Specification (Host::getSpecification).
class AttributeLink {
public:
    AttributeLink() = default;                                     // type 0, index 0, no owner
    explicit AttributeLink(const host::AttributeHeader& header);   // the header's type and index
    AttributeLink(std::int32_t index, AttributeType type, Specification* owner = nullptr);
    AttributeLink(std::int16_t index, AttributeType type, Specification* owner = nullptr);
    // Searches the host's attributes of the type by name (at most 256 bytes, cut on a character);
    // index 0 when there is none or the search fails.
    AttributeLink(const String& name, AttributeType type, Specification* owner = nullptr);
    virtual ~AttributeLink();
    AttributeLink(const AttributeLink&) = default;
    AttributeLink& operator=(const AttributeLink&) = default;   // index, owner and type

    virtual std::unique_ptr<AttributeLink> clone() const;   // a heap copy

    bool isValid() const { return type_ != AttributeType::none && index_ != 0; }
    bool operator==(const AttributeLink& other) const {
        return index_ == other.index_ && type_ == other.type_ && owner_ == other.owner_;
    }
    bool operator!=(const AttributeLink& other) const { return !(*this == other); }

    std::int32_t getIndex() const { return index_; }   // the 32-bit field (high half 0)
    std::int16_t getShortIndex() const { return static_cast<std::int16_t>(index_ & 0xFFFF); }
    AttributeType getType() const { return type_; }
    Specification* getOwner() const { return owner_; }

    void setIndex(std::int32_t index) { index_ = lowHalf(index); }
    void setType(AttributeType type) { type_ = type; }
    void setOwner(Specification* owner) { owner_ = owner; }

    host::AttributeHeader toHeader() const;                    // a zeroed header with type and index
    void setFromHeader(const host::AttributeHeader& header);   // type and index; the owner stays

private:
    static std::int32_t lowHalf(std::int32_t index) { return index & 0xFFFF; }
    void defaultOwner();   // the project's Specification for a non-zero index without an owner

    std::int32_t index_ = 0;
    Specification* owner_ = nullptr;
    AttributeType type_ = AttributeType::none;
};

}   // namespace tarnwick
