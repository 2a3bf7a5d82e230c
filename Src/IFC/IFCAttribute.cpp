#include "IFC/IFCAttribute.h"

#include "Foundation/StringSetting.h"
#include "IFC/HostUniText.h"

namespace tarnwick {

IFCAttribute::IFCAttribute(const Setting& initial, const String& name, const String& typeName,
                           std::uint8_t flag)
    : IFCData(name, typeName, flag), value_(makeSetting(&initial)) {
    if (!value_) value_ = std::make_unique<StringSetting>(initial.getText());
}

IFCAttribute::IFCAttribute(const IFCAttribute& other) : IFCData(other), value_(other.value_->clone()) {}

IFCAttribute::~IFCAttribute() = default;

std::unique_ptr<IFCAttribute> IFCAttribute::create(const host::IFCAttributeRecord& record) {
    const String name = fromUniString(record.name);
    const String typeName = fromUniString(record.valueType);
    if (name.isEmpty() || typeName.isEmpty()) return nullptr;
    std::unique_ptr<IFCAttribute> attribute(new IFCAttribute());
    attribute->name_ = shareName(name);
    attribute->valueType_ = lookupValueType(typeName);
    attribute->takeText(fromUniString(record.value));
    return attribute;
}

void IFCAttribute::takeText(const String& text) {
    value_ = makeSetting();
    if (value_ && value_->setText(text)) return;
    value_ = std::make_unique<StringSetting>(text);
}

std::unique_ptr<IFCData> IFCAttribute::clone() const { return std::make_unique<IFCAttribute>(*this); }
IFCDataKind IFCAttribute::getKind() const { return IFCDataKind::attribute; }
Setting& IFCAttribute::getValue() const { return *value_; }
void IFCAttribute::setValue(const Setting& value) { value_->assign(value); }

bool IFCAttribute::toHost(host::IFCAttributeRecord& record) const {
    record.name = toUniString(getName());
    if (valueType_.hasName()) record.valueType = toUniString(*valueType_.name);
    const String text = value_->getText();
    record.value = toUniString(text);
    record.hasValue = text.isEmpty() ? 0 : 1;
    record.flag = flag_;
    return !record.name.empty() && !record.valueType.empty();
}

}   // namespace tarnwick
