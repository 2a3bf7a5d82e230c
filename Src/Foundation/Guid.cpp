#include "Foundation/Guid.h"

#include <cstring>

namespace tarnwick {

Guid::Guid(const host::GuidRecord& record) : record_(record) {}

Guid::Guid(const String& text) { fromString(text); }

Guid::~Guid() = default;

Guid Guid::generate() { return Guid(host::generateGuid()); }

bool Guid::isValid() const {
    const host::GuidRecord null{};
    return std::memcmp(&record_, &null, sizeof record_) != 0;
}

void Guid::clear() { record_ = host::GuidRecord{}; }

bool Guid::fromString(const String& text) {
    host::GuidRecord parsed{};
    const bool ok = host::guidFromText(text.getView(), parsed);
    record_ = ok ? parsed : host::GuidRecord{};   // the host promises all zero on failure; do not rely on it
    return ok;
}

String Guid::toString() const { return String(std::string_view(host::guidToText(record_))); }

void Guid::writeTo(String& text) const { text = toString(); }

bool Guid::operator<(const Guid& other) const { return host::compareGuids(record_, other.record_) < 0; }

bool Guid::operator==(const Guid& other) const {
    return std::memcmp(&record_, &other.record_, sizeof record_) == 0;
}

}   // namespace tarnwick
