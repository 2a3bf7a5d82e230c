// Helpers that build the host's IFC records for the IFC tests.
#pragma once

#include <string>

#include <HostIFCRecords.h>
#include <HostText.h>

inline host::UniString uni(const std::string& text) { return host::UniString(host::utf8ToUtf16(text)); }
inline std::string utf8(const host::UniString& text) { return host::utf16ToUtf8(text.view()); }

inline host::IFCPropertyValueRecord ifcText(const std::string& text, const std::string& type = "IfcLabel") {
    host::IFCPropertyValueRecord value{};
    value.stringValue = uni(text);
    value.valueType = uni(type);
    return value;
}

inline host::IFCPropertyRecord ifcProperty(host::IFCPropertyKind kind, const std::string& set,
                                           const std::string& name) {
    host::IFCPropertyRecord record{};
    record.kind = kind;
    record.propertySetName = uni(set);
    record.propertyName = uni(name);
    return record;
}

inline host::IFCAttributeRecord ifcAttribute(const std::string& name, const std::string& type,
                                             const std::string& value) {
    host::IFCAttributeRecord record{};
    record.name = uni(name);
    record.valueType = uni(type);
    record.value = uni(value);
    record.hasValue = value.empty() ? 0 : 1;
    return record;
}
