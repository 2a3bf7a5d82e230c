#include "Foundation/IDSetting.h"

namespace tarnwick {

IDSetting::IDSetting(const Guid& value) : Setting(SettingState::defined), value_(value) {}

std::unique_ptr<Setting> IDSetting::clone() const { return std::make_unique<IDSetting>(*this); }

String IDSetting::getText() const { return value_.toString(); }
bool IDSetting::isEmpty() const { return !value_.isValid(); }
SettingKind IDSetting::getKind() const { return SettingKind::id; }

bool IDSetting::setText(const String& text) {
    Guid parsed;
    if (!parsed.fromString(text)) return false;
    value_ = parsed;
    markDefined();
    return true;
}

void IDSetting::copyValue(const Setting& other) { value_ = guidOf(other); }
void IDSetting::clearValue() { value_.clear(); }
bool IDSetting::isValueLess(const Setting& other) const { return value_ < guidOf(other); }
bool IDSetting::isValueEqual(const Setting& other) const { return value_ == guidOf(other); }

Guid IDSetting::guidOf(const Setting& other) {
    if (const auto* id = dynamic_cast<const IDSetting*>(&other)) return id->value_;
    return Guid(other.getText());   // another class of kind 5: its text is a GUID text
}

}   // namespace tarnwick
