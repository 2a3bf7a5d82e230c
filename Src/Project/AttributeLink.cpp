#include "Project/AttributeLink.h"

#include "Environment/Host.h"
#include "Environment/HostApi.h"

namespace tarnwick {

AttributeLink::AttributeLink(const host::AttributeHeader& header)
    : index_(lowHalf(header.index)), type_(static_cast<AttributeType>(header.type & 0xFF)) {
    defaultOwner();
}

AttributeLink::AttributeLink(std::int32_t index, AttributeType type, Specification* owner)
    : index_(lowHalf(index)), owner_(owner), type_(type) {
    defaultOwner();
}

AttributeLink::AttributeLink(std::int16_t index, AttributeType type, Specification* owner)
    : index_(lowHalf(index)), owner_(owner), type_(type) {
    defaultOwner();
}

AttributeLink::AttributeLink(const String& name, AttributeType type, Specification* owner)
    : owner_(owner), type_(type) {
    host::AttributeHeader header{};
    header.type = toByte(type);
    name.copyTo(header.name, host::kAttributeNameBytes);   // never splits a character
    if (hostApi().call<host::HostSlot::searchAttributeByName>(&header) == 0) index_ = lowHalf(header.index);
    defaultOwner();
}

AttributeLink::~AttributeLink() = default;

std::unique_ptr<AttributeLink> AttributeLink::clone() const { return std::make_unique<AttributeLink>(*this); }

host::AttributeHeader AttributeLink::toHeader() const {
    host::AttributeHeader header{};
    header.type = toByte(type_);
    header.index = getShortIndex();
    return header;
}

void AttributeLink::setFromHeader(const host::AttributeHeader& header) {
    type_ = static_cast<AttributeType>(header.type & 0xFF);
    index_ = lowHalf(header.index);
}

void AttributeLink::defaultOwner() {
    if (owner_ == nullptr && getShortIndex() != 0) owner_ = Host::getSpecification();
}

}   // namespace tarnwick
