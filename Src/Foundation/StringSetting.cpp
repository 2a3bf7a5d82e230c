#include "Foundation/StringSetting.h"

namespace tarnwick {

StringSetting::StringSetting(const String& value) : Setting(SettingState::defined), value_(value) {}

std::unique_ptr<Setting> StringSetting::clone() const { return std::make_unique<StringSetting>(*this); }

String StringSetting::getText() const { return value_; }
bool StringSetting::isEmpty() const { return value_.isEmpty(); }
SettingKind StringSetting::getKind() const { return SettingKind::string; }

bool StringSetting::setText(const String& text) {
    value_ = text;
    markDefined();
    return true;
}

void StringSetting::copyValue(const Setting& other) { value_ = other.getText(); }
void StringSetting::clearValue() { value_.clear(); }
bool StringSetting::isValueLess(const Setting& other) const { return value_ < other.getText(); }
bool StringSetting::isValueEqual(const Setting& other) const { return value_ == other.getText(); }

}   // namespace tarnwick
