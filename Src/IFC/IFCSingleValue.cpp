#include "IFC/IFCSingleValue.h"

#include "IFC/HostUniText.h"

namespace tarnwick {

IFCSingleValue::IFCSingleValue(const String& name, const String& setName, const String& typeName,
                               const String& description, const Setting& value)
    : IFCProperty(name, setName, typeName, description), value_(value.clone()) {}

IFCSingleValue::IFCSingleValue(const IFCSingleValue& other)
    : IFCProperty(other), value_(other.value_->clone()) {}

IFCSingleValue::~IFCSingleValue() = default;

std::unique_ptr<IFCSingleValue> IFCSingleValue::create(const host::IFCPropertyRecord& record) {
    std::unique_ptr<IFCSingleValue> property(new IFCSingleValue());
    if (!property->takeHead(record, record.singleValue.valueType) || !property->valueType_.hasName())
        return nullptr;
    property->value_ = property->readSetting(record.singleValue);
    return property;
}

std::unique_ptr<IFCData> IFCSingleValue::clone() const { return std::make_unique<IFCSingleValue>(*this); }
IFCDataKind IFCSingleValue::getKind() const { return IFCDataKind::singleValue; }
Setting& IFCSingleValue::getValue() const { return *value_; }
void IFCSingleValue::setValue(const Setting& value) { value_->assign(value); }

bool IFCSingleValue::toHost(host::IFCPropertyRecord& record) const {
    const bool head = writeHead(record);
    record.singleValue = host::IFCPropertyValueRecord{};
    return writeValue(record.singleValue, *value_) && head;
}

}   // namespace tarnwick
