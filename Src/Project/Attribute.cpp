#include "Project/Attribute.h"

#include <cstring>
#include <typeinfo>

#include <HostResult.h>

#include "Environment/HostApi.h"
#include "Foundation/Memory.h"
#include "Foundation/MemoryBlock.h"
#include "Project/Specification.h"

namespace tarnwick {
namespace {
constexpr std::uint16_t kMacPlatformSign = 0x4D4D;   // the sign of data written on the other platform
}   // namespace

void ExtensionDisposal::operator()(host::AttributeExtension* extension) const {
    if (extension == nullptr) return;
    hostApi().call<host::HostSlot::disposeAttributeExtension>(extension);
    disposePtr(reinterpret_cast<host::Ptr>(extension));
}

Attribute::Attribute(const AttributeLink& link, AttributeType type) : link_(link) { link_.setType(type); }

Attribute::Attribute(const Attribute& other) : link_(other.link_), loadFailed_(other.loadFailed_) {}

Attribute& Attribute::operator=(const Attribute& other) {
    link_ = other.link_;
    loadFailed_ = other.loadFailed_;
    return *this;
}

Attribute::~Attribute() = default;

bool Attribute::isValid() const { return getRecord().index != 0 && link_.isValid(); }

const AttributeLink& Attribute::getLink() const { return link_; }

std::int32_t Attribute::getIndex() const { return link_.getIndex(); }

std::uint16_t Attribute::getFlags() const { return getRecord().flags; }

String Attribute::getName() const {
    const host::AttributeHeader& header = getRecord();
    // A host name that fills the whole field has no terminator: stop at the field's end.
    const void* end = std::memchr(header.name, 0, host::kAttributeNameBytes);
    const std::size_t bytes =
        end != nullptr ? static_cast<const char*>(end) - header.name : host::kAttributeNameBytes;
    return String(header.name, static_cast<std::uint32_t>(bytes));
}

std::unique_ptr<MemoryBlock> Attribute::getUserData(std::int32_t* version, std::int32_t* platform) const {
    if (!isValid()) return nullptr;
    const host::AttributeHeader header = link_.toHeader();
    host::UserDataRecord data{};
    const std::uint32_t result = hostApi().call<host::HostSlot::getAttributeUserData>(&header, &data);
    if (result != 0 && result != host::kErrNoUserData) {
        MemoryBlock dropped(data.data);   // whatever the host left there is ours to free
        if (version) *version = 0;
        if (platform) *platform = 0;
        return nullptr;
    }
    if (version) *version = static_cast<std::int16_t>(data.version);
    if (platform) *platform = data.platformSign == kMacPlatformSign ? 1 : 2;
    return std::make_unique<MemoryBlock>(data.data);
}

void Attribute::setLink(const AttributeLink& link) {
    link_ = link;
    link_.setType(getType());
}

void Attribute::clearLink() {
    link_.setIndex(0);
    link_.setOwner(nullptr);
}

void Attribute::setFlags(std::uint16_t flags) { getRecord().flags = flags; }

void Attribute::setName(const String& name) {
    host::AttributeHeader& header = getRecord();
    std::memset(header.name, 0, host::kAttributeNameBytes);
    name.copyTo(header.name, host::kAttributeNameBytes);   // 255 bytes at most, never splitting a character
}

void Attribute::drawSwatch(NativeContext&, std::int32_t, std::int32_t) const {}

std::unique_ptr<Attribute> Attribute::fetchFromOwner() const {
    Specification* owner = link_.getOwner();
    if (owner == nullptr) return nullptr;
    std::unique_ptr<Attribute> fetched = owner->getAttribute(link_);
    if (!fetched) return nullptr;
    const Attribute& made = *fetched;
    if (typeid(made) != typeid(*this)) return nullptr;
    return fetched;
}

void Attribute::setLinkWhileLoading(const AttributeLink& link) const {
    const_cast<Attribute*>(this)->setLink(link);   // loading on demand completes the object's state
}

}   // namespace tarnwick
