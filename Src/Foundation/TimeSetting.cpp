#include "Foundation/TimeSetting.h"

namespace tarnwick {

TimeSetting::TimeSetting(const DateTime& value) : Setting(SettingState::defined), value_(value) {}

std::unique_ptr<Setting> TimeSetting::clone() const { return std::make_unique<TimeSetting>(*this); }

DateTime TimeSetting::getTime() const { return value_; }
String TimeSetting::getText() const { return value_.format(); }
bool TimeSetting::isEmpty() const { return value_ == DateTime(); }
SettingKind TimeSetting::getKind() const { return SettingKind::time; }

bool TimeSetting::setTime(const DateTime& value) {
    value_ = value;
    markDefined();
    return true;
}

bool TimeSetting::setText(const String& text) {
    if (!value_.parse(text)) return false;   // parse changes nothing when it fails
    markDefined();
    return true;
}

void TimeSetting::copyValue(const Setting& other) { value_ = other.getTime(); }
void TimeSetting::clearValue() { value_ = DateTime(); }
bool TimeSetting::isValueLess(const Setting& other) const { return value_ < other.getTime(); }
bool TimeSetting::isValueEqual(const Setting& other) const { return value_ == other.getTime(); }

}   // namespace tarnwick
