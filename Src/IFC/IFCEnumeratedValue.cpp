#include "IFC/IFCEnumeratedValue.h"

#include <set>

namespace tarnwick {

IFCEnumeratedValue::IFCEnumeratedValue(const String& name, const String& setName, const String& typeName,
                                       const String& description)
    : IFCProperty(name, setName, typeName, description) {}

IFCEnumeratedValue::IFCEnumeratedValue(const IFCEnumeratedValue& other) = default;
IFCEnumeratedValue::~IFCEnumeratedValue() = default;

std::unique_ptr<IFCEnumeratedValue> IFCEnumeratedValue::create(const host::IFCPropertyRecord& record) {
    // The type is that of the first chosen value: an enumeration with none chosen gives no datum.
    const host::Array<host::IFCPropertyValueRecord>& typed = record.enumerationReferenceValues;
    if (typed.empty()) return nullptr;
    std::unique_ptr<IFCEnumeratedValue> property(new IFCEnumeratedValue());
    if (!property->takeHead(record, typed[0].valueType) || !property->valueType_.hasName()) return nullptr;
    // 1. The chosen values.
    std::set<SharedValue, SettingOrder> chosen;
    for (const host::IFCPropertyValueRecord& value : record.enumerationReferenceValues)
        if (SharedValue setting = property->readSetting(value)) chosen.insert(std::move(setting));
    // 2. Every value once, flagged when chosen.
    for (const host::IFCPropertyValueRecord& value : record.enumerationValues) {
        SharedValue setting = property->readSetting(value);
        if (!setting) continue;
        const bool isChosen = chosen.count(setting) != 0;
        property->values_.emplace(shareValue(std::move(setting)), isChosen);   // a repeat changes nothing
    }
    return property;
}

std::unique_ptr<IFCData> IFCEnumeratedValue::clone() const {
    return std::make_unique<IFCEnumeratedValue>(*this);
}
IFCDataKind IFCEnumeratedValue::getKind() const { return IFCDataKind::enumeratedValue; }

bool IFCEnumeratedValue::toHost(host::IFCPropertyRecord& record) const {
    const bool head = writeHead(record);
    for (const auto& [value, isChosen] : values_) {
        if (!value) continue;
        host::IFCPropertyValueRecord written{};
        if (!writeValue(written, *value)) continue;
        if (isChosen) record.enumerationReferenceValues.push_back(written);
        record.enumerationValues.push_back(std::move(written));
    }
    return head && !record.enumerationValues.empty();
}

}   // namespace tarnwick
