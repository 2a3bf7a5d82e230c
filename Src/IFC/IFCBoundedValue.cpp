#include "IFC/IFCBoundedValue.h"

namespace tarnwick {

IFCBoundedValue::IFCBoundedValue(const String& name, const String& setName, const String& typeName,
                                 const String& description, const Setting& lower, const Setting& upper)
    : IFCProperty(name, setName, typeName, description), lower_(lower.clone()), upper_(upper.clone()) {}

IFCBoundedValue::IFCBoundedValue(const IFCBoundedValue& other)
    : IFCProperty(other), lower_(other.lower_->clone()), upper_(other.upper_->clone()) {}

IFCBoundedValue::~IFCBoundedValue() = default;

std::unique_ptr<IFCBoundedValue> IFCBoundedValue::create(const host::IFCPropertyRecord& record) {
    std::unique_ptr<IFCBoundedValue> property(new IFCBoundedValue());
    if (!property->takeHead(record, record.lowerBound.valueType) || !property->valueType_.hasName())
        return nullptr;
    property->lower_ = property->readSetting(record.lowerBound);
    property->upper_ = property->readSetting(record.upperBound);
    return property;
}

std::unique_ptr<IFCData> IFCBoundedValue::clone() const { return std::make_unique<IFCBoundedValue>(*this); }
IFCDataKind IFCBoundedValue::getKind() const { return IFCDataKind::boundedValue; }
Setting& IFCBoundedValue::getLower() const { return *lower_; }
Setting& IFCBoundedValue::getUpper() const { return *upper_; }
void IFCBoundedValue::setLower(const Setting& value) { lower_->assign(value); }
void IFCBoundedValue::setUpper(const Setting& value) { upper_->assign(value); }

bool IFCBoundedValue::toHost(host::IFCPropertyRecord& record) const {
    const bool head = writeHead(record);
    record.lowerBound = host::IFCPropertyValueRecord{};
    record.upperBound = host::IFCPropertyValueRecord{};
    const bool lower = writeValue(record.lowerBound, *lower_);
    const bool upper = writeValue(record.upperBound, *upper_);   // both are always written
    return head && lower && upper;
}

}   // namespace tarnwick
