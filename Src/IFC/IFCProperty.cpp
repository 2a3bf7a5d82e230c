#include "IFC/IFCProperty.h"

#include "Foundation/StringSetting.h"
#include "IFC/HostUniText.h"
#include "IFC/IFCBoundedValue.h"
#include "IFC/IFCCalendarDate.h"
#include "IFC/IFCEnumeratedValue.h"
#include "IFC/IFCListValue.h"
#include "IFC/IFCSingleValue.h"
#include "IFC/IFCTableValue.h"

namespace tarnwick {

IFCProperty::IFCProperty(const String& name, const String& setName, const String& typeName,
                         const String& description)
    : IFCData(name, typeName, 0), setName_(shareName(setName)), description_(shareName(description)) {}

IFCProperty::~IFCProperty() = default;

String IFCProperty::getSetName() const { return setName_ ? *setName_ : String(); }
String IFCProperty::getDescription() const { return description_ ? *description_ : String(); }

std::unique_ptr<IFCProperty> IFCProperty::create(const host::IFCPropertyRecord& record) {
    switch (record.kind) {
        case host::kIFCSingleValue:
            return IFCSingleValue::create(record);
        case host::kIFCListValue:
            return IFCListValue::create(record);
        case host::kIFCBoundedValue:
            return IFCBoundedValue::create(record);
        case host::kIFCEnumeratedValue:
            return IFCEnumeratedValue::create(record);
        case host::kIFCTableValue:
            return IFCTableValue::create(record);
        case host::kIFCReferenceValue:
            return IFCCalendarDate::create(record);
        default:
            return nullptr;
    }
}

bool IFCProperty::takeHead(const host::IFCPropertyRecord& record, const host::UniString& typeName) {
    name_ = shareName(fromUniString(record.propertyName));
    setName_ = shareName(fromUniString(record.propertySetName));
    description_ = shareName(fromUniString(record.description));
    valueType_ = lookupValueType(fromUniString(typeName));
    return name_ && setName_;
}

bool IFCProperty::writeHead(host::IFCPropertyRecord& record) const {
    record.kind = static_cast<std::int32_t>(getKind());
    record.propertyName = toUniString(getName());
    record.propertySetName = toUniString(getSetName());
    record.description = toUniString(getDescription());
    record.flag = flag_;
    return name_ && setName_;
}

std::unique_ptr<Setting> IFCProperty::readSetting(const host::IFCPropertyValueRecord& value,
                                                  const IFCValueType* type) const {
    std::unique_ptr<Setting> setting = makeSetting(nullptr, type);
    if (setting && readValue(*setting, value, type) && setting->getState() != SettingState::notSet)
        return setting;
    // A type that makes no Setting (a date), or a text its kind refuses (an IFC compressed id for a
    // GUID): the value is kept as the host's text rather than lost.
    IFCValueType text;
    auto kept = std::make_unique<StringSetting>();
    readValue(*kept, value, &text);
    if (setting && fromUniString(value.stringValue).isEmpty()) return setting;
    return kept;
}

}   // namespace tarnwick
