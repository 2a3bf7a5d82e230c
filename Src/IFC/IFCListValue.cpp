#include "IFC/IFCListValue.h"

namespace tarnwick {

IFCListValue::IFCListValue(const String& name, const String& setName, const String& typeName,
                           const String& description, std::size_t capacity)
    : IFCProperty(name, setName, typeName, description) {
    reserve(capacity);
}

IFCListValue::IFCListValue(const IFCListValue& other) : IFCProperty(other), Vector<Setting>() {
    reserve(other.size());
    for (const auto& value : other) push_back(value ? value->clone() : nullptr);
}

IFCListValue::~IFCListValue() = default;

std::unique_ptr<IFCListValue> IFCListValue::create(const host::IFCPropertyRecord& record) {
    if (record.listValues.empty()) return nullptr;
    std::unique_ptr<IFCListValue> property(new IFCListValue());
    if (!property->takeHead(record, record.listValues[0].valueType) || !property->valueType_.hasName())
        return nullptr;
    property->reserve(record.listValues.size());
    for (const host::IFCPropertyValueRecord& value : record.listValues)
        property->push_back(property->readSetting(value));
    return property;
}

std::unique_ptr<IFCData> IFCListValue::clone() const { return std::make_unique<IFCListValue>(*this); }
IFCDataKind IFCListValue::getKind() const { return IFCDataKind::listValue; }

bool IFCListValue::toHost(host::IFCPropertyRecord& record) const {
    const bool head = writeHead(record);
    for (const auto& value : *this) {
        if (!value) continue;
        host::IFCPropertyValueRecord written{};
        if (writeValue(written, *value)) record.listValues.push_back(std::move(written));
    }
    return head && !record.listValues.empty();
}

}   // namespace tarnwick
