#include "IFC/IFCTableValue.h"

#include <algorithm>

#include "IFC/HostUniText.h"

namespace tarnwick {

IFCTableValue::IFCTableValue(const String& name, const String& setName, const String& typeName,
                             const String& description, const String& keyTypeName)
    : IFCProperty(name, setName, typeName, description), keyType_(lookupValueType(keyTypeName)) {}

IFCTableValue::IFCTableValue(const IFCTableValue& other) : IFCProperty(other), keyType_(other.keyType_) {
    for (const auto& [key, value] : other.rows_) rows_.emplace(key, value ? value->clone() : nullptr);
}

IFCTableValue::~IFCTableValue() = default;

std::unique_ptr<IFCTableValue> IFCTableValue::create(const host::IFCPropertyRecord& record) {
    if (record.tableDefinedValues.empty()) return nullptr;
    std::unique_ptr<IFCTableValue> property(new IFCTableValue());
    if (!property->takeHead(record, record.tableDefinedValues[0].valueType) ||
        !property->valueType_.hasName())
        return nullptr;
    const std::uint32_t rows = std::min(record.tableDefiningValues.size(), record.tableDefinedValues.size());
    for (std::uint32_t i = 0; i < rows; ++i) {
        // The key's type is the first defining value that names one.
        if (!property->keyType_.hasName())
            property->keyType_ = lookupValueType(fromUniString(record.tableDefiningValues[i].valueType));
        std::unique_ptr<Setting> defined = property->readSetting(record.tableDefinedValues[i]);
        SharedValue key = property->readSetting(record.tableDefiningValues[i], &property->keyType_);
        if (!key) continue;
        property->rows_[shareValue(std::move(key))] = std::move(defined);
    }
    return property;
}

std::unique_ptr<IFCData> IFCTableValue::clone() const { return std::make_unique<IFCTableValue>(*this); }
IFCDataKind IFCTableValue::getKind() const { return IFCDataKind::tableValue; }

bool IFCTableValue::toHost(host::IFCPropertyRecord& record) const {
    const bool head = writeHead(record);
    for (const auto& [key, value] : rows_) {
        if (!key || !value) continue;
        host::IFCPropertyValueRecord defining{};
        host::IFCPropertyValueRecord defined{};
        if (!writeValue(defining, *key, &keyType_) || !writeValue(defined, *value)) continue;
        record.tableDefiningValues.push_back(std::move(defining));
        record.tableDefinedValues.push_back(std::move(defined));
    }
    return head && !record.tableDefiningValues.empty() &&
           record.tableDefiningValues.size() == record.tableDefinedValues.size();
}

}   // namespace tarnwick
